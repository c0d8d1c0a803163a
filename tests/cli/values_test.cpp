#include "cli/values.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

namespace triex::cli {
namespace {

std::string not_a_number(const std::string& shown) {
  std::string problem = "\"";
  problem += shown;
  return problem += "\" is not a number";
}

TEST(ParseNumber, ReadsTheFormsPeopleAndSpreadsheetsWrite) {
  const struct {
    const char* text;
    double value;
  } cases[] = {{"30", 30},   {" 2.5 ", 2.5}, {"-1.5e3", -1500}, {"+4", 4},   {"1E-2", 0.01},
               {"0.1", 0.1}, {"1e-400", 0},  {"-0", -0.0},      {".5", 0.5}, {"4.9406564584124654e-324", 5e-324}};
  for (const auto& c : cases) {
    std::string problem;
    const auto value = parse_number(c.text, problem);
    ASSERT_TRUE(value) << c.text << ": " << problem;
    EXPECT_EQ(*value, c.value) << c.text;
  }
  std::string problem;
  EXPECT_TRUE(std::isinf(*parse_number("inf", problem)));
  EXPECT_TRUE(std::isnan(*parse_number("nan", problem)));
  // Spreadsheets of files separated by semicolons write a decimal comma.
  for (const auto& [text, value] : {std::pair{"22,5", 22.5}, {" -1,5e3 ", -1500.0}, {"22.5", 22.5}, {"7", 7.0}})
    EXPECT_EQ(parse_number(text, problem, true), value) << text;
  for (const char* text : {"1.234,5", "1,2,3", ","}) {
    EXPECT_FALSE(parse_number(text, problem, true)) << text;
    EXPECT_EQ(problem, not_a_number(text));
  }
}

TEST(ParseNumber, RefusesTextEmptinessAndOverflowSayingWhy) {
  const struct {
    std::string text;
    std::string problem;
  } cases[] = {{"", "empty"},
               {"  ", "empty"},
               {"abc", "\"abc\" is not a number"},
               {"1.5D3", "\"1.5D3\" is not a number"},
               {"+-1", "\"+-1\" is not a number"},
               {"++1", "\"++1\" is not a number"},
               {"1,5", "\"1,5\" is not a number"},
               {"0x10", "\"0x10\" is not a number"},
               {"1e400", "\"1e400\" is beyond the range of a double"},
               {"-1e400", "\"-1e400\" is beyond the range of a double"},
               {"a\x1b[2Jb", "\"a?[2Jb\" is not a number"},
               // 40 bytes are shown, never part of a character.
               {"x\xC3\xA9" + std::string(37, 'y'), not_a_number("x\xC3\xA9" + std::string(37, 'y'))},
               {std::string(39, 'y') + "\xC3\xA9", not_a_number(std::string(39, 'y') + "...")},
               {std::string(38, 'y') + "\xC3\xA9z", not_a_number(std::string(38, 'y') + "\xC3\xA9...")},
               {std::string(37, 'y') + "\xE2\x82\xAC", not_a_number(std::string(37, 'y') + "\xE2\x82\xAC")},
               {std::string(38, 'y') + "\xE2\x82\xAC", not_a_number(std::string(38, 'y') + "...")}};
  for (const auto& c : cases) {
    std::string problem;
    EXPECT_FALSE(parse_number(c.text, problem)) << c.text;
    EXPECT_EQ(problem, c.problem) << c.text;
  }
}

TEST(Grid, EndPointsAreExactlyAsTypedAndTheValuesMonotone) {
  for (const Spacing spacing : {Spacing::Log, Spacing::Linear}) {
    const std::vector<double> v = grid_values(parse_grid("0.1:1000:1000", "--ab"), spacing);
    ASSERT_EQ(v.size(), 1000u);
    EXPECT_EQ(v.front(), 0.1);
    EXPECT_EQ(v.back(), 1000.0);
    for (std::size_t i = 1; i < v.size(); ++i) EXPECT_LT(v[i - 1], v[i]) << i;
  }
  const std::vector<double> down = grid_values(parse_grid("100:1:3", "--ab"), Spacing::Log);
  EXPECT_EQ(down, (std::vector<double>{100, 10, 1}));
  EXPECT_EQ(grid_values(parse_grid("1:3:3", "--bc"), Spacing::Linear), (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(grid_values(parse_grid("2.5:2.5:1", "--bc"), Spacing::Log), (std::vector<double>{2.5}));
  // Ends whose logarithm does not return them exactly through the power.
  for (const char* text : {"3:7:5", "0.3:3.3:4", "0.2:4.9:3"}) {
    const GridSpec g = parse_grid(text, "--ab");
    for (const Spacing spacing : {Spacing::Log, Spacing::Linear}) {
      const std::vector<double> v = grid_values(g, spacing);
      EXPECT_EQ(v.front(), g.lo) << text;
      EXPECT_EQ(v.back(), g.hi) << text;
    }
  }
}

TEST(Grid, LogSpacingHasEqualRatiosAndHitsDecadesExactly) {
  EXPECT_EQ(grid_values(parse_grid("1:1000:4", "--ab"), Spacing::Log), (std::vector<double>{1, 10, 100, 1000}));
  EXPECT_EQ(grid_values(parse_grid("0.01:100:5", "--ab"), Spacing::Log),
            (std::vector<double>{0.01, 0.1, 1, 10, 100}));
  const std::vector<double> v = grid_values(parse_grid("2:32:5", "--ab"), Spacing::Log);
  for (std::size_t i = 1; i < v.size(); ++i) EXPECT_NEAR(v[i] / v[i - 1], 2.0, 1e-15);
}

TEST(Grid, RefusesMalformedSpecifications) {
  const struct {
    const char* text;
    const char* message;
  } cases[] = {
      {"1:10", "--ab 1:10: expected LO:HI:N"},
      {"1:10:5:2", "--ab 1:10:5:2: expected LO:HI:N"},
      {"x:10:5", "--ab x:10:5: LO \"x\" is not a number"},
      {"1::5", "--ab 1::5: HI empty"},
      {"0:10:5", "--ab 0:10:5: an axial ratio = 0 must be a positive number"},
      {"1:-2:5", "--ab 1:-2:5: an axial ratio = -2 must be a positive number"},
      {"1:inf:5", "--ab 1:inf:5: an axial ratio = inf must be a positive number"},
      {"1:10:0", "--ab 1:10:0: N must be a whole number from 1 to 1000000"},
      {"1:10:2.5", "--ab 1:10:2.5: N must be a whole number from 1 to 1000000"},
      {"1:10:1000001", "--ab 1:10:1000001: N must be a whole number from 1 to 1000000"},
      {"1:10:1", "--ab 1:10:1: one point needs LO = HI"},
  };
  for (const auto& c : cases) {
    try {
      parse_grid(c.text, "--ab");
      ADD_FAILURE() << c.text << " was accepted";
    } catch (const std::invalid_argument& e) {
      EXPECT_EQ(std::string(e.what()), c.message);
    }
  }
}

}  // namespace
}  // namespace triex::cli

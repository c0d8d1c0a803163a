#include "app/answers.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <tuple>

namespace triex {
namespace {

std::string padded(std::string s) {
  s.resize(kTextLength, ' ');
  return s;
}

// How a message shows the first 40 characters of a longer answer.
std::string quoted_excerpt(const std::string& first40) {
  std::string s = "\"";
  s.append(first40).append("...\"");
  return s;
}

struct Reader {
  explicit Reader(std::string text) : in(std::move(text)), answers(in) {}
  std::istringstream in;
  AnswerReader answers;
};

TEST(AnswerReals, AxesOnOneLineWithCommasOrOnThreeLinesReadTheSame) {
  for (const char* input : {"30 20 10\n", "30,20,10\n", "30, 20 ,10\n", "30\n20\n10\n", "\t30\t20  10 99 98\n",
                            "\n\n30 20\n\n10\n", "30 20 10", "30 20 10\r\n", "3*10\n"}) {
    Reader r(input);
    double v[3];
    ASSERT_TRUE(r.answers.read_reals(v)) << input << r.answers.problem().what;
    if (std::string(input) == "3*10\n") {
      EXPECT_EQ(v[0], 10);
      EXPECT_EQ(v[2], 10);
    } else {
      EXPECT_EQ(v[0], 30) << input;
      EXPECT_EQ(v[1], 20) << input;
      EXPECT_EQ(v[2], 10) << input;
    }
  }
}

TEST(AnswerReals, TheNextReadStartsOnAFreshLine) {
  Reader r("1 2 3 4 5\n6\n7, 8\n");
  double three[3], one = 0;
  ASSERT_TRUE(r.answers.read_reals(three));
  ASSERT_TRUE(r.answers.read_reals(std::span<double>(&one, 1)));
  EXPECT_EQ(one, 6);
  ASSERT_TRUE(r.answers.read_reals(std::span<double>(&one, 1)));
  EXPECT_EQ(one, 7);
}

// What a read drops is told apart: values (the dialogue notes them) from
// blanks, commas and a comment after a slash.
TEST(AnswerReals, ValuesLeftOnTheLineAreToldApartFromBlanksCommasAndComments) {
  const std::tuple<const char*, std::size_t, bool> rows[] = {  // a count of 0 reads a text
      {"66,400\n", 1, true},       {"14.3 kDa\n", 1, true},    {"66000 / g/mol\n", 1, false}, {"66000/4\n", 1, false},
      {"66000 , ,\t\r\n", 1, false}, {"66000", 1, false},       {"22,5 15 15\n", 3, true},     {"4*1 / c\n", 3, true},
      {"30\n20\n10 99\n", 3, true},  {"1 2*3\n", 3, false},     {"hen egg-white\n", 0, true},  {"'hen egg'\n", 0, false},
      {"'a' b\n", 0, true},         {"/ x y\n", 0, false},      {"2*\n", 0, true}};
  for (const auto& [input, count, unread] : rows) {
    Reader r(input);
    double v[3];
    std::string text;
    ASSERT_TRUE(count > 0 ? r.answers.read_reals(std::span<double>(v, count)) : r.answers.read_text(text)) << input;
    EXPECT_EQ(r.answers.left_values_unread(), unread) << input;
  }
}

TEST(AnswerReals, AcceptsEveryNumberForm) {
  const std::pair<const char*, double> cases[] = {
      {"42", 42},          {"-3", -3},          {"+2.5", 2.5},         {".5", 0.5},     {"5.", 5},
      {"1.5E3", 1500},     {"1.5e-3", 0.0015},  {"2.5D2", 250},        {"2.5d+2", 250}, {"1.5+3", 1500},
      {"2.0-4", 2.0e-4},   {"0.73", 0.73},      {"6.0221367e+23", 6.0221367e+23}, {"1e-400", 0.0},
      {"4.9406564584124654e-324", 4.9406564584124654e-324},
      {"0.1000000000000000055511151231257827021181583404541015625", 0.1},
  };
  for (const auto& [text, expected] : cases) {
    Reader r(std::string(text) + "\n");
    double v = -1;
    ASSERT_TRUE(r.answers.read_reals(std::span<double>(&v, 1))) << text << ": " << r.answers.problem().what;
    EXPECT_EQ(v, expected) << text;
  }
}

TEST(AnswerReals, RoundsLongNumbersCorrectly) {
  // 1 followed by a hundred thousand zeros after the point, then a 1: rounds to 1.
  std::string tiny_excess = "1." + std::string(100000, '0') + "1";
  Reader r(tiny_excess + "\n");
  double v = 0;
  ASSERT_TRUE(r.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_EQ(v, 1.0);
  // The exact halfway point between 1 and the next double, plus a far-away 1, rounds up.
  std::string above_half = "1.00000000000000011102230246251565404236316680908203125" + std::string(2000, '0') + "1";
  Reader up(above_half + "\n");
  ASSERT_TRUE(up.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_EQ(v, std::nextafter(1.0, 2.0));
  Reader tie("1.00000000000000011102230246251565404236316680908203125\n");
  ASSERT_TRUE(tie.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_EQ(v, 1.0);  // a tie goes to the even neighbour
}

TEST(AnswerReals, RefusesWhatIsNotANumber) {
  const std::pair<const char*, const char*> cases[] = {
      {"abc\n", "\"abc\" is not a number"},
      {"1e400\n", "\"1e400\" is beyond the range of a double"},
      {"1.2.3\n", "\"1.2.3\" is not a number"},
      {"inf\n", "\"inf\" is not a number"},
      {"1e\n", "\"1e\" is not a number"},
      {"-\n", "\"-\" is not a number"},
      {"\n\n", "end of input"},
      {"", "end of input"},
      {",\n", "no value was given"},
      {"/\n", "no value was given"},
      {"2*\n", "no value was given"},
      {"0*5\n", "\"0*5\" has a bad repeat count"},
      {"x\x01\xff\n", "\"x?\xff\" is not a number"},
  };
  for (const auto& [input, message] : cases) {
    Reader r(input);
    double v = 0;
    EXPECT_FALSE(r.answers.read_reals(std::span<double>(&v, 1))) << input;
    EXPECT_EQ(r.answers.problem().what, message) << input;
  }
}

TEST(AnswerReals, ASlashOrNullLeavesLaterItemsWithoutValue) {
  Reader slash("1 2 / 3\n");
  double v[3];
  EXPECT_FALSE(slash.answers.read_reals(v));
  EXPECT_EQ(slash.answers.problem().what, "no value was given");
  Reader null("1,,3\n");
  EXPECT_FALSE(null.answers.read_reals(v));
  Reader comma_after_line_end("1\n,2, 3\n");  // a line end and a comma make one separator
  EXPECT_TRUE(comma_after_line_end.answers.read_reals(v));
  EXPECT_EQ(v[1], 2);
}

TEST(AnswerReals, ShowsOnlyTheStartOfALongBadAnswer) {
  Reader r(std::string(1000, 'x') + "\n");
  double v;
  EXPECT_FALSE(r.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_EQ(r.answers.problem().what, quoted_excerpt(std::string(40, 'x')) + " is not a number");
}

TEST(AnswerInteger, TakesIntegersOnly) {
  const std::pair<const char*, int> good[] = {{"1\n", 1}, {"2 3\n", 2}, {"-1\n", -1}, {"+7\n", 7}, {"007\n", 7},
                                              {"2147483647\n", 2147483647}};
  for (const auto& [input, expected] : good) {
    Reader r(input);
    int v = 0;
    ASSERT_TRUE(r.answers.read_integer(v)) << input;
    EXPECT_EQ(v, expected);
  }
  const std::pair<const char*, const char*> bad[] = {{"1.0\n", "\"1.0\" is not an integer"},
                                                     {"1e2\n", "\"1e2\" is not an integer"},
                                                     {"one\n", "\"one\" is not an integer"},
                                                     {"2147483648\n", "\"2147483648\" is out of range"}};
  for (const auto& [input, message] : bad) {
    Reader r(input);
    int v = 0;
    EXPECT_FALSE(r.answers.read_integer(v)) << input;
    EXPECT_EQ(r.answers.problem().what, message);
  }
}

TEST(AnswerText, UnquotedTextEndsAtBlankCommaOrSlash) {
  const std::pair<const char*, const char*> cases[] = {
      {"lysozyme\n", "lysozyme"}, {"serum albumin\n", "serum"}, {"a,b\n", "a"}, {"a/b\n", "a"},
      {"   yes please\n", "yes"},  {"\n\nname\n", "name"},      {",\n", ""},     {"/\n", ""},
      {"2*\n", ""},
  };
  for (const auto& [input, expected] : cases) {
    Reader r(input);
    std::string v;
    ASSERT_TRUE(r.answers.read_text(v)) << input;
    EXPECT_EQ(v, padded(expected)) << input;
  }
}

TEST(AnswerText, QuotedTextKeepsBlanksAndDoubledQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"'serum albumin'\n", "serum albumin"}, {"\"serum albumin\"\n", "serum albumin"},
      {"'it''s'\n", "it's"},                  {"\"say \"\"hi\"\"\"\n", "say \"hi\""},
      {"'a, b / c'\n", "a, b / c"},           {"'two\nlines'\n", "twolines"},
      {"'yes'\n", "yes"},
  };
  for (const auto& [input, expected] : cases) {
    Reader r(input);
    std::string v;
    ASSERT_TRUE(r.answers.read_text(v)) << input;
    EXPECT_EQ(v, padded(expected)) << input;
  }
}

TEST(AnswerText, IsCutTo80Characters) {
  const std::string long_name(100, 'n');
  Reader r(long_name + "\nnext\n");
  std::string v;
  ASSERT_TRUE(r.answers.read_text(v));
  EXPECT_EQ(v, std::string(80, 'n'));
  ASSERT_TRUE(r.answers.read_text(v));
  EXPECT_EQ(v, padded("next"));
}

TEST(AnswerText, AnUnclosedQuoteIsEndOfInput) {
  Reader r("'never closed\n");
  std::string v;
  EXPECT_FALSE(r.answers.read_text(v));
  EXPECT_EQ(r.answers.problem().what, "end of input inside a quoted text");
}

TEST(AnswerText, AByteOrderMarkAtTheStartOfTheInputIsSkipped) {
  const std::string mark = "\xEF\xBB\xBF";
  const struct {
    std::string input, first;
  } rows[] = {
      {mark + "lysozyme\n", "lysozyme"},
      {mark + "'serum albumin'\n", "serum albumin"},
      {mark + "\nlysozyme\n", "lysozyme"},
      {mark + mark + "x\n", mark + "x"},     // only the first mark is the input's
      {"\xEF\xBBx\n", "\xEF\xBBx"},          // the start of a mark stays part of the answer
      {"\xEFx\n", "\xEFx"},
      {"\xEF\xBB", "\xEF\xBB"},               // and is read up to the end of the input
      {"x" + mark + "\n", "x" + mark},       // a mark later in the input is an ordinary character
  };
  for (const auto& row : rows) {
    Reader r(row.input);
    std::string v;
    ASSERT_TRUE(r.answers.read_text(v)) << row.input;
    EXPECT_EQ(v, padded(row.first)) << row.input;
  }
  Reader numbers(mark + "30 20 10\n");
  double axes[3];
  ASSERT_TRUE(numbers.answers.read_reals(axes));
  EXPECT_EQ(axes[0], 30.0);
  Reader only_mark(mark);
  std::string v;
  EXPECT_FALSE(only_mark.answers.read_text(v));
  EXPECT_EQ(only_mark.answers.problem().what, "end of input");
}

TEST(HostileInput, NulBytesAndInvalidUtf8AreOrdinaryCharacters) {
  Reader r(std::string("na\0me\xff\xfe\n1\0\n", 11));
  std::string name;
  ASSERT_TRUE(r.answers.read_text(name));
  EXPECT_EQ(name, padded(std::string("na\0me\xff\xfe", 7)));
  int entry = 0;
  EXPECT_FALSE(r.answers.read_integer(entry));
  EXPECT_EQ(r.answers.problem().what, "\"1?\" is not an integer");
}

TEST(HostileInput, CarriageReturnsCountAsBlanks) {
  Reader r("'name'\r\n2\r\n1.5\r2\r\n");
  std::string name;
  int entry = 0;
  double ratios[2];
  ASSERT_TRUE(r.answers.read_text(name));
  ASSERT_TRUE(r.answers.read_integer(entry));
  ASSERT_TRUE(r.answers.read_reals(ratios));
  EXPECT_EQ(name, padded("name"));
  EXPECT_EQ(entry, 2);
  EXPECT_EQ(ratios[1], 2.0);
}

TEST(HostileInput, AQuoteThatNeverClosesEndsAtEndOfInput) {
  std::string unclosed = "'";
  unclosed.append(1 << 20, 'q').append("\n").append(1 << 20, 'r');
  Reader r(unclosed);
  std::string name;
  EXPECT_FALSE(r.answers.read_text(name));
  EXPECT_EQ(r.answers.problem().what, "end of input inside a quoted text");
}

TEST(HostileInput, AHundredThousandDigitNumberIsReadOrRefusedExactly) {
  Reader big(std::string(100000, '9') + "\n");
  double v = 0;
  EXPECT_FALSE(big.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_EQ(big.answers.problem().what, quoted_excerpt(std::string(40, '9')) + " is beyond the range of a double");
  Reader small("0." + std::string(100000, '0') + "7\n");
  ASSERT_TRUE(small.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_EQ(v, 0.0);  // below the range of a double: the nearest double
  Reader scaled(std::string(100000, '1') + "e-99990\n");
  ASSERT_TRUE(scaled.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_DOUBLE_EQ(v, 1.1111111111111111e9);
  Reader huge_exponent("1e99999999999999999999\n");
  EXPECT_FALSE(huge_exponent.answers.read_reals(std::span<double>(&v, 1)));
  Reader tiny_exponent("1e-99999999999999999999\n");
  ASSERT_TRUE(tiny_exponent.answers.read_reals(std::span<double>(&v, 1)));
  EXPECT_EQ(v, 0.0);
}

TEST(HostileInput, BinaryNoiseEndsInAValueOrAReason) {
  std::uint32_t state = 12345;
  for (int trial = 0; trial < 300; ++trial) {
    std::string noise;
    for (int i = 0; i < 2000; ++i) {
      state = state * 1664525u + 1013904223u;
      noise.push_back(static_cast<char>(state >> 24));
    }
    Reader r(noise);
    std::string text;
    int integer;
    double reals[3];
    for (int k = 0; k < 20; ++k) {
      const bool ok = k % 3 == 0 ? r.answers.read_text(text)
                                 : k % 3 == 1 ? r.answers.read_integer(integer) : r.answers.read_reals(reals);
      if (ok && k % 3 == 0) {
        EXPECT_EQ(text.size(), kTextLength);
      }
      if (!ok) {
        EXPECT_FALSE(r.answers.problem().what.empty());
      }
    }
  }
}

}  // namespace
}  // namespace triex

#include "app/report.hpp"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace triex {
namespace {

std::vector<std::string> report_lines(const RunData& run) {
  std::ostringstream out;
  write_report(out, run);
  std::vector<std::string> lines;
  std::istringstream in(out.str());
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

RunData example(const char* exclusion, const char* polyelectrolyte) {
  RunData run;
  run.name = std::string("lysozyme") + std::string(72, ' ');
  run.entry = 1;
  run.a = 50;
  run.b = 30;
  run.c = 10;
  run.ured = 8;
  run.vs = 1;
  run.molar_mass = 10000;
  run.exclusion_answer = exclusion;
  run.polyelectrolyte_answer = polyelectrolyte;
  Virial& v = run.virial;
  v.U = 80000;
  v.u = 80000 / NA;
  v.Bex = is_yes(run.exclusion_answer) ? 0.0004 : 0;
  v.Bz = is_yes(run.polyelectrolyte_answer) ? 0.0015356 : 0;
  v.B = v.Bex + v.Bz;
  v.BM = run.molar_mass * v.B;
  v.BM2 = run.molar_mass * v.BM * 0.0010000000474974513;
  v.BM2_per_uM = v.BM2 * 9.999999974752427e-07;
  return run;
}

TEST(Report, HasTheFramedTitleAndTheRowsOfTheSphereExample) {
  const auto lines = report_lines(example("yes", "no"));
  ASSERT_EQ(lines.size(), 27u);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(lines[static_cast<std::size_t>(i)], "");
  EXPECT_EQ(lines[10], " " + std::string(50, '*'));
  EXPECT_EQ(lines[11], "                TRIEX Output Data ");
  EXPECT_EQ(lines[12], lines[10]);
  EXPECT_EQ(lines[13], "");
  EXPECT_EQ(lines[14], " " + std::string("Name of molecule: lysozyme") + std::string(54, ' '));
  EXPECT_EQ(lines[15], "");
  const std::vector<std::string> rows = {
      " (a, b, c) =    50.0000   30.0000   10.0000 A",
      " Reduced excluded volume (sphere = 8), ured =     8.0000",
      " Excluded volume, u =  0.13284E-18 ml",
      " vs =     1.0000ml/g",
      " Molar mass, M =  0.10000E+05 g/mol",
      " Molar covolume, U =  0.80000E+05 ml/mol",
      " B(ex) =  0.40000E-03 ml.mol/g**2",
      " B = B(ex) + B(z) =   0.4000E-03 ml.mol/g**2",
      " BM =  0.40000E+01 ml/g",
      " BM**2 =  0.40000E+02 litre/mol",
      "       =  0.40000E-04 uM**-1",
  };
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(lines[16 + i], rows[i]);
}

TEST(Report, VirialRowsFollowTheStoredAnswers) {
  EXPECT_EQ(report_lines(example("no", "no")).size(), 26u);
  EXPECT_EQ(report_lines(example("Yes", "N")).size(), 27u);
  EXPECT_EQ(report_lines(example("y", "yes")).size(), 28u);
  const auto only_bz = report_lines(example("1", "yes"));
  ASSERT_EQ(only_bz.size(), 27u);
  EXPECT_EQ(only_bz[22], " B(z) =  0.15356E-02 ml.mol/g**2");
  const auto none = report_lines(example("no", "no"));
  EXPECT_EQ(none[22], " B = B(ex) + B(z) =   0.0000E+00 ml.mol/g**2");
}

TEST(Report, NameLineHoldsTheFirst62Characters) {
  RunData run = example("no", "no");
  const std::string name70 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789abcdefgh";
  ASSERT_EQ(name70.size(), 70u);
  run.name = name70 + std::string(10, ' ');
  EXPECT_EQ(report_lines(run)[14], " Name of molecule: " + name70.substr(0, 62));
  run.name = "serum albumin" + std::string(67, ' ');
  EXPECT_EQ(report_lines(run)[14], " Name of molecule: serum albumin" + std::string(49, ' '));
}

// True when `s` is well-formed UTF-8 (no truncated or stray sequences).
bool is_valid_utf8(const std::string& s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto lead = static_cast<unsigned char>(s[i]);
    const std::size_t n = lead < 0x80 ? 1 : (lead >> 5) == 0x6 ? 2 : (lead >> 4) == 0xE ? 3 : (lead >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || i + n > s.size()) return false;
    for (std::size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

// A character of 2, 3 or 4 bytes placed so that byte 62 of the name falls in
// each of its bytes: the line keeps its 81 bytes, stays valid UTF-8 and ends
// the name before the character whenever the character would be split.
TEST(Report, NameLineNeverSplitsAUtf8Character) {
  for (const std::string character : {"\xC3\xA9", "\xE2\x82\xAC", "\xF0\x9F\x98\x80"}) {
    for (std::size_t start = 62 - character.size() + 1; start <= 62; ++start) {
      const std::string before(start - 1, 'a');  // the character begins at byte `start` (1-based)
      std::string name = before + character;
      name.resize(70, 'z');
      RunData run = example("no", "no");
      run.name = name + std::string(10, ' ');
      const std::string line = report_lines(run)[14];
      EXPECT_EQ(line.size(), 81u) << character.size() << " " << start;
      EXPECT_TRUE(is_valid_utf8(line)) << line;
      const bool fits = start - 1 + character.size() <= 62;
      const std::string shown = fits ? name.substr(0, 62) : before + std::string(62 - before.size(), ' ');
      EXPECT_EQ(line, " Name of molecule: " + shown) << character.size() << " " << start;
    }
  }
}

TEST(Report, ControlCharactersOfTheNameAreShownAsQuestionMarks) {
  RunData run = example("no", "no");
  run.name = std::string("a\x1b[2Jb\0c\x7f\td\xC3\xA9", 13) + std::string(67, ' ');
  EXPECT_EQ(report_lines(run)[14], " Name of molecule: a?[2Jb?c??d\xC3\xA9" + std::string(49, ' '));
}

TEST(Report, RatiosAreShownAsEntered) {
  RunData run = example("no", "no");
  run.entry = 2;
  run.a_over_b = 1.5;
  run.b_over_c = 2;
  EXPECT_EQ(report_lines(run)[16], " (a/b, b/c) =     1.5000    2.0000");
}

TEST(Report, ValuesTooWideForTheirFieldShowAsterisks) {
  RunData run = example("no", "no");
  run.vs = 100000;
  EXPECT_EQ(report_lines(run)[19], " vs = **********ml/g");
  run.vs = 99999.99;
  EXPECT_EQ(report_lines(run)[19], " vs = 99999.9900ml/g");
  run.molar_mass = 1e200 * 1e200;
  EXPECT_EQ(report_lines(run)[20], " Molar mass, M =     Infinity g/mol");
}

}  // namespace
}  // namespace triex

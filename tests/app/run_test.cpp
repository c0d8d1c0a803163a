#include "app/run.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "shape/closed_form.hpp"
#include "shape/shape_section.hpp"
#include "support/edit.hpp"
#include "tests/common/failing_streams.hpp"

namespace triex {
namespace {

struct Transcript {
  int status;
  std::string out, err;
  std::vector<std::string> lines() const {
    std::vector<std::string> v;
    std::istringstream s(out);
    for (std::string line; std::getline(s, line);) v.push_back(line);
    return v;
  }
  bool has_line(const std::string& line) const {
    for (const auto& l : lines())
      if (l == line) return true;
    return false;
  }
};

Transcript run_with(const std::string& answers) {
  std::istringstream in(answers);
  std::ostringstream out, err;
  const int status = run(in, out, err);
  return {status, out.str(), err.str()};
}

TEST(Dialogue, AsksEveryQuestionInOrderOnTheHydrationAndPolyelectrolytePath) {
  const Transcript t = run_with("'x y'\n1\n30 20 10\n2\n0.35 1.0 0.73\n66000\nno\nyes\n-3\n0.15\n0\n");
  ASSERT_EQ(t.status, 0) << t.err;
  const std::vector<std::string> lines = t.lines();
  const std::vector<std::string> expected = {
      " Name of molecule",
      " You need to enter the data as either (a, b, c) or (a/b, b/c)",
      " Choose 1 (a, b, c) or 2 (a/b, b/c)",
      " Enter a, b and c in Angstroms [separate by spaces]",
      "",  // the URED line, checked elsewhere
      " You will need to enter either (1) the swollen specific volume, vs (ml/g); or ",
      " (2) the hydration (g/g), solvent density and partial specific volume, vbar",
      " Which method (1 or 2)?",
      "  Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)",
      " Enter molar mass, M (g/mol)",
      "",  // U line
      " Do you want the exclusion volume contribution to the virial",
      " coefficient, B(ex)?",
      " Is there any contribution from the polyelectrolyte behaviour?",
      "  Enter valency on macromolecule, Z",
      " Enter ionic strength of solvent, I (mol/l)",
  };
  ASSERT_GE(lines.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    if (!expected[i].empty()) {
      EXPECT_EQ(lines[i], expected[i]) << i;
    }
  }
  EXPECT_EQ(lines[4].rfind(" Reduced excluded volume, ured = ", 0), 0u);
  EXPECT_EQ(lines[10].rfind(" Molar covolume, U = ", 0), 0u);
  EXPECT_EQ(t.err, "");
}

// Axial ratios a/b = 1.5, b/c = 2 are the semi-axes (3, 2, 1).
TEST(Dialogue, ShapeRuleSetsTheSemiAxes) {
  const auto ured_line = [](const std::string& shape) {
    const Transcript t = run_with("x\n" + shape + "\n1\n1\n1\nno\nno\n0\n");
    return t.lines().at(4);
  };
  EXPECT_EQ(ured_line("2\n1.5 2"), ured_line("1\n3 2 1"));
  EXPECT_EQ(ured_line("1\n3 2 1"), " Reduced excluded volume, ured =  0.10174E+02");
}

TEST(Dialogue, EveryChoiceOtherThanOneSelectsTheSecondAlternative) {
  for (const char* entry : {"2", "0", "7", "-1"}) {
    const Transcript t = run_with(std::string("x\n") + entry + "\n1.5 2\n1\n1\n1\nno\nno\n0\n");
    EXPECT_EQ(t.status, 0) << entry;
    EXPECT_TRUE(t.has_line(" Enter ellipsoidal axial ratios a/b and b/c")) << entry;
    EXPECT_TRUE(t.has_line(" (a/b, b/c) =     1.5000    2.0000")) << entry;
  }
  for (const char* method : {"2", "0", "5"}) {
    const Transcript t = run_with(std::string("x\n1\n1 1 1\n") + method + "\n0.35 1.0 0.73\n1\nno\nno\n0\n");
    EXPECT_EQ(t.status, 0) << method;
    EXPECT_TRUE(t.has_line("  Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)")) << method;
    EXPECT_TRUE(t.has_line(" vs =     1.0800ml/g")) << method;
  }
}

TEST(Dialogue, OnlyAFirstCharacterYMeansYes) {
  for (const char* yes : {"yes", "y", "Y", "yes please", "  yep", "'yes'"}) {
    const Transcript t = run_with(std::string("x\n1\n1 1 1\n1\n1\n10000\n") + yes + "\nno\n0\n");
    EXPECT_TRUE(t.has_line(" Bex =  0.40000E-03ml.mol/g**2")) << yes;
    EXPECT_TRUE(t.has_line(" B(ex) =  0.40000E-03 ml.mol/g**2")) << yes;
  }
  for (const char* no : {"no", "N", "sure", "1", "ok", "' yes'", ","}) {
    const Transcript t = run_with(std::string("x\n1\n1 1 1\n1\n1\n10000\n") + no + "\nno\n0\n");
    EXPECT_EQ(t.status, 0) << no;
    EXPECT_EQ(t.out.find("Bex"), std::string::npos) << no;
    EXPECT_EQ(t.out.find("B(ex) ="), std::string::npos) << no;
    EXPECT_TRUE(t.has_line(" B =  0.00000E+00ml.mol/g**2")) << no;
  }
}

// The closing answer is one line, an empty one included; its value is not
// used and gets no note. What follows it is not read.
TEST(Dialogue, TheClosingPauseAcceptsAnythingOrNothing) {
  const std::string answers = "x\n1\n1 1 1\n1\n1\n10000\nno\nno\n";
  const Transcript at_end = run_with(answers);
  EXPECT_EQ(at_end.status, 0);
  EXPECT_EQ(at_end.err, "");
  for (const char* pause : {"0\n", "anything at all\n", "/\n", ",\n", "\n", "  \r\n", "1 2 3\n", "'open\n"}) {
    std::istringstream in(answers + pause + "after\n");
    std::ostringstream out, err;
    EXPECT_EQ(run(in, out, err), 0) << pause;
    EXPECT_EQ(err.str(), "") << pause;
    std::string rest;
    std::getline(in, rest);
    EXPECT_EQ(rest, "after") << pause;
  }
}

// An accepted answer whose line held more than was read gets one note naming
// its question, before anything else on standard error; standard output and
// the status are those of the answers as read.
TEST(Dialogue, AnAnswerWhoseLineHeldMoreThanWasReadGetsOneNote) {
  const std::string note = "triex: note: answer to \"", rest = " read; the rest of the line was ignored\n";
  const struct {
    const char *answers, *as_read;
    std::string notes;
  } rows[] = {
      {"x\n1\n1 1 1\n1\n1\n66,400\nno\nno\n", "x\n1\n1 1 1\n1\n1\n66\nno\nno\n",
       note + "Enter molar mass, M (g/mol)\": only the first value was" + rest},
      {"x\n2\n1.5 2 3\n2\n0.35 1 0.73 9\n1000\nyes please\nno\n1 2\n", "x\n2\n1.5 2\n2\n0.35 1 0.73\n1000\nyes\nno\n",
       note + "Enter ellipsoidal axial ratios a/b and b/c\": only the first 2 values were" + rest + note +
           "Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)\": only the first 3 values were" +
           rest + note + "Do you want the exclusion volume contribution to the virial coefficient, B(ex)?\": only the " +
           "first value was" + rest},
      {"x\n1\n1 1 1e-7 9\n1\n1\n1000\nno\nno\n", "x\n1\n1 1 1e-7\n1\n1\n1000\nno\nno\n",  // then the quadrature's
       note + "Enter a, b and c in Angstroms [separate by spaces]\": only the first 3 values were" + rest},
      {"hen egg\n1\n0 1 1 5\n", "hen\n1\n0 1 1\n",  // a refused answer gets its refusal alone
       note + "Name of molecule\": only the first value was" + rest},
  };
  for (const auto& row : rows) {
    const Transcript t = run_with(row.answers), as_read = run_with(row.as_read);
    EXPECT_EQ(t.err, row.notes + as_read.err) << row.answers;
    EXPECT_EQ(t.out, as_read.out) << row.answers;
    EXPECT_EQ(t.status, as_read.status) << row.answers;
  }
}

struct RefusedCase {
  const char* answers;
  const char* message;
  const char* last_line;  // the last line on standard output: the prompt answered
};

TEST(Dialogue, RefusesUnusableAnswersWithOneLineAndStatusTwo) {
  const RefusedCase cases[] = {
      {"", "triex: answer to \"Name of molecule\": end of input\n", " Name of molecule"},
      {"x\n1.5\n", "triex: answer to \"Choose 1 (a, b, c) or 2 (a/b, b/c)\": \"1.5\" is not an integer\n",
       " Choose 1 (a, b, c) or 2 (a/b, b/c)"},
      {"x\n1\n1 1\n",
       "triex: answer to \"Enter a, b and c in Angstroms [separate by spaces]\": end of input\n",
       " Enter a, b and c in Angstroms [separate by spaces]"},
      {"x\n1\n0 1 1\n",
       "triex: answer to \"Enter a, b and c in Angstroms [separate by spaces]\": a = 0 must be a positive number\n",
       " Enter a, b and c in Angstroms [separate by spaces]"},
      {"x\n1\n1 -1 1\n",
       "triex: answer to \"Enter a, b and c in Angstroms [separate by spaces]\": b = -1 must be a positive number\n",
       " Enter a, b and c in Angstroms [separate by spaces]"},
      {"x\n1\n1 1 1e400\n",
       "triex: answer to \"Enter a, b and c in Angstroms [separate by spaces]\": \"1e400\" is beyond the range of a double\n",
       " Enter a, b and c in Angstroms [separate by spaces]"},
      {"x\n2\n1.5 0\n", "triex: answer to \"Enter ellipsoidal axial ratios a/b and b/c\": b/c = 0 must be a positive number\n",
       " Enter ellipsoidal axial ratios a/b and b/c"},
      {"x\n2\n1e200 1e200\n",
       "triex: answer to \"Enter ellipsoidal axial ratios a/b and b/c\": a = (a/b)(b/c) = inf must be a positive number\n",
       " Enter ellipsoidal axial ratios a/b and b/c"},
      {"x\n1\n1 1 1\n1\nabc\n", "triex: answer to \"Enter vs\": \"abc\" is not a number\n", " Enter vs"},
      {"x\n1\n1 1 1\n1\n,\n", "triex: answer to \"Enter vs\": no value was given\n", " Enter vs"},
      {"x\n1\n1 1 1\n1\n/\n", "triex: answer to \"Enter vs\": no value was given\n", " Enter vs"},
      {"x\n1\n1 1 1\n1\n3*\n", "triex: answer to \"Enter vs\": no value was given\n", " Enter vs"},
      {"x\n1\n1 1 1\n1\n0\n", "triex: answer to \"Enter vs\": vs = 0 must be a positive number\n", " Enter vs"},
      {"x\n1\n1 1 1\n1\n-0.5\n", "triex: answer to \"Enter vs\": vs = -0.5 must be a positive number\n", " Enter vs"},
      {"x\n1\n1 1 1\n2\n0.35 0 0.73\n",
       "triex: answer to \"Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)\": "
       "rho = 0 must be a positive number\n",
       "  Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)"},
      {"x\n1\n1 1 1\n2\n-1 1 0.5\n",
       "triex: answer to \"Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)\": "
       "vs = vbar + delta/rho = -0.5 must be a positive number\n",
       "  Enter hydration delta (g/g), solvent density rho (g/ml) and vbar (ml/g)"},
      {"x\n1\n1 1 1\n1\n1\n0\n",
       "triex: answer to \"Enter molar mass, M (g/mol)\": M = 0 must be a positive number\n",
       " Enter molar mass, M (g/mol)"},
      {"x\n1\n1 1 1\n1\n1\n1000\nno\nyes\n1\n-0.1\n",
       "triex: answer to \"Enter ionic strength of solvent, I (mol/l)\": I = -0.1 must be a positive number\n",
       " Enter ionic strength of solvent, I (mol/l)"},
      {"x\n1\n1 1 1\n1\n1\n1000\nno\nyes\nten\n",
       "triex: answer to \"Enter valency on macromolecule, Z\": \"ten\" is not a number\n",
       "  Enter valency on macromolecule, Z"},
  };
  for (const RefusedCase& c : cases) {
    const Transcript t = run_with(c.answers);
    EXPECT_EQ(t.status, 2) << c.answers;
    EXPECT_EQ(t.err, c.message) << c.answers;
    ASSERT_FALSE(t.lines().empty());
    EXPECT_EQ(t.lines().back(), c.last_line) << c.answers;
  }
}

TEST(Dialogue, HydrationVbarAndValencyMayBeAnyFiniteValue) {
  const Transcript t = run_with("x\n1\n1 1 1\n2\n-0.2 1 0.73\n1000\nno\nyes\n0\n0.1\n0\n");
  EXPECT_EQ(t.status, 0) << t.err;
  EXPECT_TRUE(t.has_line(" vs =     0.5300ml/g"));
  EXPECT_TRUE(t.has_line(" Bz =  0.00000E+00ml.mol/g**2"));
}

TEST(Dialogue, AProductThatOverflowsIsShownAndTheRunGoesOn) {
  // U = vs M ured overflows; B(ex) = U/(2M^2) stays infinite; on the
  // polyelectrolyte path the radius overflows too and the Debye factor is
  // infinity over infinity.
  const Transcript t = run_with("x\n1\n1 1 1\n1\n1e300\n1e10\nyes\nyes\n1\n0.1\n0\n");
  EXPECT_EQ(t.status, 0) << t.err;
  EXPECT_TRUE(t.has_line(" vs = **********ml/g"));
  EXPECT_TRUE(t.has_line(" Molar covolume, U =     Infinity ml/mol"));
  EXPECT_TRUE(t.has_line(" B(ex) =     Infinity ml.mol/g**2"));
  EXPECT_TRUE(t.has_line(" B(z) =          NaN ml.mol/g**2"));
  EXPECT_TRUE(t.has_line(" BM**2 =          NaN litre/mol"));
}

// B(ex) = U/(2M^2): a molar mass for which 2*M*M overflows would print B(ex) = 0.
TEST(Dialogue, RefusesAMolarMassWhoseDoubledSquareOverflows) {
  const double largest = 9.480751908109176e153;
  ASSERT_TRUE(std::isfinite(2.0 * (largest * largest)));
  const double next = std::nextafter(largest, 1e300);
  ASSERT_FALSE(std::isfinite(2.0 * (next * next)));

  const Transcript kept = run_with("x\n1\n1 1 1\n1\n1\n9.480751908109176e153\nyes\nno\n0\n");
  EXPECT_EQ(kept.status, 0) << kept.err;
  EXPECT_TRUE(kept.has_line(" B(ex) =  0.42191-153 ml.mol/g**2"));
  for (const char* M : {"9.480751908109177e153", "1.2e154", "1e200", "1e308"}) {
    const Transcript t = run_with(std::string("x\n1\n1 1 1\n1\n1\n") + M + "\nyes\nno\n0\n");
    EXPECT_EQ(t.status, 2) << M;
    EXPECT_EQ(t.err.rfind("triex: answer to \"Enter molar mass, M (g/mol)\": M = ", 0), 0u) << t.err;
    EXPECT_NE(t.err.find(" is too large: 2*M*M overflows a double\n"), std::string::npos) << t.err;
    EXPECT_EQ(t.lines().back(), " Enter molar mass, M (g/mol)") << M;
  }
  EXPECT_EQ(run_with("x\n1\n1 1 1\n1\n1\n1e200\n").err,
            "triex: answer to \"Enter molar mass, M (g/mol)\": M = 1e+200 is too large: 2*M*M overflows a double\n");
}

constexpr const char* kSphereAnswers = "lysozyme\n1\n1 1 1\n1\n1\n10000\nyes\nyes\n10\n0.1\n0\n";

Transcript run_with_output_failing_after(std::size_t capacity, int error_number = ENOSPC) {
  std::istringstream in(kSphereAnswers);
  testing_support::FailingOutput failing(capacity, error_number);
  std::ostream out(&failing);
  std::ostringstream err;
  const int status = run(in, out, err);
  return {status, failing.written(), err.str()};
}

// Wherever standard output fails (at the first prompt, between prompts, in
// the report, or in the last bytes), the run ends with status 3 and one line.
TEST(WriteFailure, AnywhereInTheRunEndsWithStatusThreeAndOneLine) {
  const Transcript whole = run_with(kSphereAnswers);
  ASSERT_EQ(whole.status, 0);
  const std::size_t report_start = whole.out.find("\n\n\n\n\n\n\n\n\n\n");
  ASSERT_NE(report_start, std::string::npos);
  for (std::size_t capacity = 0; capacity < whole.out.size(); ++capacity) {
    const Transcript t = run_with_output_failing_after(capacity);
    ASSERT_EQ(t.status, 3) << "output failing after " << capacity << " bytes";
    ASSERT_EQ(t.err, "triex: cannot write standard output: No space left on device\n") << capacity;
    ASSERT_EQ(t.out, whole.out.substr(0, capacity));
  }
  EXPECT_EQ(run_with_output_failing_after(whole.out.size()).status, 0);
  EXPECT_EQ(run_with_output_failing_after(report_start + 100, EBADF).err,
            "triex: cannot write standard output: Bad file descriptor\n");
}

TEST(WriteFailure, AtAPromptNoFurtherAnswerIsRead) {
  std::istringstream in(kSphereAnswers);
  testing_support::FailingOutput failing(0, ENOSPC);
  std::ostream out(&failing);
  std::ostringstream err;
  EXPECT_EQ(run(in, out, err), 3);
  std::string rest;
  std::getline(in, rest);
  EXPECT_EQ(rest, "lysozyme");  // the name was never read
}

TEST(WriteFailure, OfTheRefusalLineGivesStatusThree) {
  std::istringstream in("x\n1\n0 1 1\n");
  std::ostringstream out;
  testing_support::FailingOutput failing_err(0, ENOSPC);
  std::ostream err(&failing_err);
  EXPECT_EQ(run(in, out, err), 3);
}

// A read that fails at the name, inside the semi-axes or at the closing pause.
TEST(ReadFailure, IsNamedInsteadOfEndOfInputWithStatusTwo) {
  for (const char* before : {"", "lysozyme\n1\n1 1", "lysozyme\n1\n1 1 1\n1\n1\n10000\nyes\nno\n"}) {
    testing_support::FailingInput failing(before, EISDIR);
    std::istream in(&failing);
    std::ostringstream out, err;
    EXPECT_EQ(run(in, out, err), 2) << before;
    EXPECT_EQ(err.str(), "triex: cannot read standard input: Is a directory\n") << before;
  }
}

TEST(Dialogue, AByteOrderMarkBeforeTheNameIsNotPartOfIt) {
  const Transcript t = run_with("\xEF\xBB\xBFlysozyme\n1\n1 1 1\n1\n1\n10000\nyes\nno\n0\n");
  EXPECT_EQ(t.status, 0);
  EXPECT_TRUE(t.has_line(" Name of molecule: lysozyme" + std::string(54, ' ')));
}

// Shapes whose quadrature is plainly wrong (below 8, non-finite, or far off):
// the run goes on with the closed form, prints it in the usual form, says so
// in one note on standard error and ends normally.
TEST(QuadratureFallback, APlainlyWrongQuadratureIsReplacedByTheClosedFormWithOneNote) {
  struct Case {
    const char* axes;
    double a, b, c;
  };
  const Case cases[] = {{"1 1 1e-7", 1, 1, 1e-7},           {"1 1 1e-6", 1, 1, 1e-6},
                        {"1e80 1e80 1e80", 1e80, 1e80, 1e80}, {"3e100 2e100 1e100", 3e100, 2e100, 1e100},
                        {"3e-6 2e-6 1e-6", 3e-6, 2e-6, 1e-6}, {"100000 1 1", 100000, 1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.axes);
    const Transcript t = run_with(std::string("x\n1\n") + c.axes + "\n1\n1\n10000\nyes\nno\n0\n");
    EXPECT_EQ(t.status, 0);
    EXPECT_TRUE(t.has_line(" Reduced excluded volume, ured = " + edit_E(closed_form_ured(c.a, c.b, c.c), 12, 5)));
    EXPECT_EQ(t.err.rfind("triex: note: the quadrature did not reach its accuracy for this shape (ured = ", 0), 0u)
        << t.err;
    EXPECT_NE(t.err.find("); the closed form's ured = "), std::string::npos) << t.err;
    EXPECT_EQ(std::count(t.err.begin(), t.err.end(), '\n'), 1) << t.err;
  }
}

TEST(QuadratureFallback, AQuadratureWithinItsAccuracyIsKeptToTheBitWithoutANote) {
  const Transcript t = run_with("x\n1\n3 2 1\n1\n1\n10000\nyes\nno\n0\n");
  EXPECT_EQ(t.status, 0);
  EXPECT_EQ(t.err, "");
  EXPECT_TRUE(t.has_line(" Reduced excluded volume, ured = " + edit_E(shape_section(from_semi_axes(3, 2, 1)).URED, 12, 5)));
  // 10.1736198 by the quadrature, 10.1736185 exact: the quadrature's digits show.
  EXPECT_TRUE(t.has_line(" Reduced excluded volume (sphere = 8), ured =    10.1736"));
}

}  // namespace
}  // namespace triex

#include "support/edit.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace triex {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Case {
  double value;
  int w, d;
  const char* expected;
};

// Reference strings in this file follow the rules of Fortran's formatted
// output (Ew.d, Fw.d, 1P,Dw.d, Iw editing). Those of the three tests named
// "Writes..." (values the report, the dialogue and the library's messages
// write) are what gfortran's formatted WRITE gives for the same values.
TEST(EditE, WritesTheValuesOfTheReportAndItsExtremes) {
  const Case cases[] = {
      {66000, 12, 5, " 0.66000E+05"}, {0, 12, 4, "  0.0000E+00"},    {8, 12, 5, " 0.80000E+01"},
      {0.0004, 12, 5, " 0.40000E-03"}, {1e100, 12, 5, " 0.10000+101"}, {1e-100, 12, 5, " 0.10000E-99"}, {1e-101, 12, 5, " 0.10000-100"},
      {-2.5, 12, 5, "-0.25000E+01"},  {1.32843e-19, 12, 5, " 0.13284E-18"},
  };
  for (const Case& c : cases) EXPECT_EQ(edit_E(c.value, c.w, c.d), c.expected) << c.value;
}

TEST(EditE, RoundsTheExactBinaryValueTiesToEven) {
  EXPECT_EQ(edit_E(0.125, 12, 2), "    0.12E+00");
  EXPECT_EQ(edit_E(0.375, 12, 2), "    0.38E+00");
  // 0.15 is stored slightly below 0.15, so it rounds down, not up.
  EXPECT_EQ(edit_E(0.15, 12, 1), "     0.1E+00");
  // Rounding can carry into the exponent.
  EXPECT_EQ(edit_E(9.999996, 12, 5), " 0.10000E+02");
  EXPECT_EQ(edit_E(99999.5, 12, 5), " 0.10000E+06");
}

TEST(EditE, ThreeDigitExponentsDropTheLetter) {
  EXPECT_EQ(edit_E(1e-300, 12, 5), " 0.10000-299");
  EXPECT_EQ(edit_E(-1.7976931348623157e308, 12, 5), "-0.17977+309");
  EXPECT_EQ(edit_E(4.9406564584124654e-324, 12, 5), " 0.49407-323");
}

TEST(EditE, FillsTooNarrowFieldsWithAsterisks) {
  EXPECT_EQ(edit_E(-1.0, 11, 5), "***********");
  EXPECT_EQ(edit_E(1.0, 11, 5), "0.10000E+01");
}

TEST(EditF, WritesTheValuesOfTheReportAndItsExtremes) {
  const Case cases[] = {
      {50, 10, 4, "   50.0000"}, {1.5, 10, 4, "    1.5000"}, {8, 10, 4, "    8.0000"},
      {0.73, 10, 4, "    0.7300"}, {0.03125, 10, 4, "    0.0312"}, {0.09375, 10, 4, "    0.0938"},
      {-3.25, 10, 4, "   -3.2500"}, {99999.99994, 10, 4, "99999.9999"}, {100000, 10, 4, "**********"},
      {-10000, 10, 4, "**********"}, {-9999.5, 10, 4, "-9999.5000"},
  };
  for (const Case& c : cases) EXPECT_EQ(edit_F(c.value, c.w, c.d), c.expected) << c.value;
}

TEST(EditSign, OnlyValuesBelowZeroCarryAMinus) {
  EXPECT_EQ(edit_F(-0.0, 10, 4), "    0.0000");
  EXPECT_EQ(edit_E(-0.0, 12, 5), " 0.00000E+00");
  EXPECT_EQ(edit_1PD(-0.0, 8, 1), " 0.0D+00");
  // A negative value that rounds to zero is still below zero.
  EXPECT_EQ(edit_F(-0.00001, 10, 4), "   -0.0000");
}

TEST(Edit1PD, WritesTheTolerancesAndEndPointsOfTheLibraryMessages) {
  EXPECT_EQ(edit_1PD(5e-5, 8, 1), " 5.0D-05");
  EXPECT_EQ(edit_1PD(-5e-5, 8, 1), "-5.0D-05");
  EXPECT_EQ(edit_1PD(0, 8, 1), " 0.0D+00");
  EXPECT_EQ(edit_1PD(12.5, 15, 7), "  1.2500000D+01");
  EXPECT_EQ(edit_1PD(1e-100, 8, 1), " 1.0-100");
  EXPECT_EQ(edit_1PD(-1e-100, 8, 1), "-1.0-100");
  EXPECT_EQ(edit_1PD(-1e-100, 7, 1), "*******");
  EXPECT_EQ(edit_1PD(9.96, 8, 1), " 1.0D+01");
}

TEST(EditI, RightJustifiesAndOverflowsToAsterisks) {
  EXPECT_EQ(edit_I(1, 6), "     1");
  EXPECT_EQ(edit_I(-12345, 6), "-12345");
  EXPECT_EQ(edit_I(1234567, 6), "******");
  EXPECT_EQ(edit_I(500, 16), "             500");
  EXPECT_EQ(edit_I(-2147483648LL, 16), "     -2147483648");
}

TEST(EditNonFinite, UsesTheLongFormThenTheShortFormThenAsterisks) {
  EXPECT_EQ(edit_E(kInf, 12, 5), "    Infinity");
  EXPECT_EQ(edit_E(-kInf, 12, 5), "   -Infinity");
  EXPECT_EQ(edit_E(kNaN, 12, 5), "         NaN");
  EXPECT_EQ(edit_F(kInf, 10, 4), "  Infinity");
  EXPECT_EQ(edit_F(-kInf, 8, 4), "    -Inf");
  EXPECT_EQ(edit_1PD(kInf, 8, 1), "Infinity");
  EXPECT_EQ(edit_1PD(-kInf, 8, 1), "    -Inf");
  EXPECT_EQ(edit_F(-kInf, 3, 1), "***");
  EXPECT_EQ(edit_F(kNaN, 2, 1), "**");
}

// The editors agree with an independent rendering from the C library on many values.
TEST(EditE, AgreesWithScientificPrintfOverManyMagnitudes) {
  double v = 1.234567890123e-250;
  for (int i = 0; i < 400; ++i, v *= 3.7) {
    if (!std::isfinite(v)) break;
    char ref[64];
    std::snprintf(ref, sizeof ref, "%.4e", v);  // d.dddde+xx : the same five digits
    const std::string e = edit_E(v, 14, 5);
    const std::string digits = std::string(1, ref[0]) + std::string(ref + 2, 4);
    EXPECT_NE(e.find("0." + digits), std::string::npos) << e << " vs " << ref;
  }
}

}  // namespace
}  // namespace triex

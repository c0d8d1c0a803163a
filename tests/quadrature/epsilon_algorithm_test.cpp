// The epsilon algorithm: short tables, exact extrapolation of a geometric
// series, acceleration of a slowly converging series, the history of the last
// three results, and the limits on the table length.

#include "quadrature/epsilon_algorithm.hpp"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <limits>

#include "support/machine_constants.hpp"

namespace triex {
namespace {

const double OFLOW = 1.0 / X02AMF();

// The extrapolation state as the integrator keeps it.
struct Extrapolation {
  std::array<double, kEpsilonTableLength> EPSTAB{};
  std::array<double, 3> RES3LA{};
  int N = 0;
  int NRES = 0;
  double RESULT = -1;
  double ABSERR = -1;

  // Appends the next element of the sequence and extrapolates, as the
  // integrator does once its table holds at least two elements.
  void append_and_call(double s) {
    N = N + 1;
    EPSTAB[static_cast<std::size_t>(N - 1)] = s;
    D01AJY(N, EPSTAB, RESULT, ABSERR, RES3LA, NRES);
  }
};

TEST(D01AJY, OneOrTwoElementsReturnTheNewestWithUnboundedErrorAndChangeNothingElse) {
  for (int n : {1, 2}) {
    Extrapolation x;
    x.EPSTAB[0] = 1.0;
    x.EPSTAB[1] = 1.5;
    x.EPSTAB[2] = 7.0;
    x.RES3LA = {4.0, 5.0, 6.0};
    x.N = n;
    x.NRES = 2;
    const auto table_before = x.EPSTAB;
    D01AJY(x.N, x.EPSTAB, x.RESULT, x.ABSERR, x.RES3LA, x.NRES);
    EXPECT_EQ(x.RESULT, n == 1 ? 1.0 : 1.5);
    EXPECT_EQ(x.ABSERR, OFLOW);
    EXPECT_EQ(x.NRES, 3);
    EXPECT_EQ(x.N, n);
    EXPECT_EQ(x.EPSTAB, table_before);
    EXPECT_EQ(x.RES3LA, (std::array<double, 3>{4.0, 5.0, 6.0}));
  }
}

TEST(D01AJY, GeometricSeriesExtrapolatesToItsLimitOnEveryCall) {
  Extrapolation x;
  x.EPSTAB[0] = 1.0;
  x.EPSTAB[1] = 1.5;
  x.N = 2;
  const double partial_sums[] = {1.75, 1.875, 1.9375};
  const double expected_error[] = {OFLOW, OFLOW, X02AJF()};  // the last: 0.5 * EPMACH * 2
  for (int call = 0; call < 3; ++call) {
    x.append_and_call(partial_sums[call]);
    EXPECT_EQ(x.RESULT, 2.0) << "call " << call + 1;
    EXPECT_EQ(x.ABSERR, expected_error[call]) << "call " << call + 1;
    EXPECT_EQ(x.NRES, call + 1);
  }
}

TEST(D01AJY, AcceleratesTheAlternatingHarmonicSeriesToFullPrecision) {
  // sum (-1)^(k+1)/k = ln 2 converges like 1/k; twenty terms alone are off by 0.025.
  const double ln2 = std::log(2.0);
  Extrapolation x;
  double s = 0;
  for (int k = 1; k <= 22; ++k) {
    s += (k % 2 == 1 ? 1.0 : -1.0) / k;
    if (k < 3) {
      x.EPSTAB[static_cast<std::size_t>(k - 1)] = s;
      x.N = k;
      continue;
    }
    x.append_and_call(s);
    if (k >= 6) {
      // From the fourth call on the estimate is a real one, and it holds.
      EXPECT_LT(x.ABSERR, OFLOW) << "k=" << k;
      EXPECT_GE(x.ABSERR, std::abs(x.RESULT - ln2)) << "k=" << k;
    }
  }
  EXPECT_NEAR(x.RESULT, ln2, 4e-16);
  EXPECT_LT(x.ABSERR, 1e-13);
}

TEST(D01AJY, FromTheFourthCallTheErrorIsTheSpreadOfTheLastThreeResults) {
  // The table 1, 2, 1 extrapolates to 1.5 (Aitken's value of an oscillation).
  Extrapolation x;
  x.EPSTAB[0] = 1.0;
  x.EPSTAB[1] = 2.0;
  x.EPSTAB[2] = 1.0;
  x.N = 3;
  x.NRES = 3;
  x.RES3LA = {1.0, 1.25, 2.0};
  D01AJY(x.N, x.EPSTAB, x.RESULT, x.ABSERR, x.RES3LA, x.NRES);
  EXPECT_EQ(x.RESULT, 1.5);
  EXPECT_EQ(x.ABSERR, 0.5 + 0.25 + 0.5);
  EXPECT_EQ(x.RES3LA, (std::array<double, 3>{1.25, 2.0, 1.5}));
  EXPECT_EQ(x.NRES, 4);
}

TEST(D01AJY, ErrorNeverFallsBelowHalfAMachineUnitOfTheResult) {
  Extrapolation x;
  x.EPSTAB[0] = 1.0;
  x.EPSTAB[1] = 2.0;
  x.EPSTAB[2] = 1.0;
  x.N = 3;
  x.NRES = 3;
  x.RES3LA = {1.5, 1.5, 1.5};  // the spread is exactly 0
  D01AJY(x.N, x.EPSTAB, x.RESULT, x.ABSERR, x.RES3LA, x.NRES);
  EXPECT_EQ(x.RESULT, 1.5);
  EXPECT_EQ(x.ABSERR, 0.5 * X02AJF() * 1.5);
}

TEST(D01AJY, FirstThreeCallsRecordTheirResultsInTheHistory) {
  Extrapolation x;
  x.EPSTAB[0] = 1.0;
  x.EPSTAB[1] = 1.5;
  x.N = 2;
  x.append_and_call(1.25);  // 1, 1.5, 1.25: ratio -1/2, limit 4/3
  EXPECT_NEAR(x.RESULT, 4.0 / 3.0, 1e-15);
  EXPECT_EQ(x.RES3LA[0], x.RESULT);
  EXPECT_EQ(x.RES3LA[1], 0.0);
  EXPECT_EQ(x.ABSERR, OFLOW);
}

TEST(D01AJY, TwoEqualNeighboursCutTheTableBackToOneElement) {
  Extrapolation x;
  x.EPSTAB[0] = 1.0;
  x.EPSTAB[1] = 3.0;
  x.EPSTAB[2] = 3.0;
  x.N = 3;
  D01AJY(x.N, x.EPSTAB, x.RESULT, x.ABSERR, x.RES3LA, x.NRES);
  EXPECT_EQ(x.N, 1);
  EXPECT_EQ(x.EPSTAB[0], 3.0);
  EXPECT_EQ(x.RESULT, 3.0);
  EXPECT_EQ(x.ABSERR, OFLOW);
}

TEST(D01AJY, FullTableOfFiftyIsShortenedToAtMostFortyNine) {
  // Partial sums of sum 1/k^2 converge too slowly for the table to collapse,
  // so appending one element per call fills it up to LIMEXP.
  Extrapolation x;
  double s = 0;
  bool reached_limit = false;
  for (int k = 1; k <= 80 && !reached_limit; ++k) {
    s += 1.0 / (static_cast<double>(k) * k);
    if (k < 3) {
      x.EPSTAB[static_cast<std::size_t>(k - 1)] = s;
      x.N = k;
      continue;
    }
    reached_limit = x.N + 1 == LIMEXP;
    x.append_and_call(s);
    ASSERT_LE(x.N, LIMEXP - 1) << "k=" << k;
  }
  ASSERT_TRUE(reached_limit);
  EXPECT_EQ(x.N, 49);
  // The limit is pi^2/6. The convergence is logarithmic, where the epsilon
  // algorithm gains little, but it still beats the partial sum.
  const double limit = 1.6449340668482264;
  EXPECT_LT(std::abs(x.RESULT - limit), std::abs(s - limit));
}

// Three elements 0, 1, 1 + 1/(1 + s) extrapolate to 1 + 1/s: the rhombus sum
// ss is s and ss * e1 = s. The table is trusted down to |ss * e1| = 1e-4 and
// cut back to the newest element below it, where 1/ss would be rounding noise
// magnified.
TEST(D01AJY, NearlyLinearSequenceIsExtrapolatedUntilTheIrregularityBound) {
  for (double s : {5e-4, 1.2e-4, 8e-5, 5e-5}) {
    Extrapolation x;
    x.EPSTAB[0] = 0.0;
    x.EPSTAB[1] = 1.0;
    const double newest = 1.0 + 1.0 / (1.0 + s);
    x.N = 2;
    x.append_and_call(newest);
    if (s > 1e-4) {
      EXPECT_EQ(x.N, 3) << "s=" << s;
      EXPECT_NEAR(x.RESULT, 1.0 + 1.0 / s, 1e-9 / s) << "s=" << s;
    } else {
      EXPECT_EQ(x.N, 1) << "s=" << s;
      EXPECT_EQ(x.RESULT, newest) << "s=" << s;
      EXPECT_EQ(x.EPSTAB[0], newest) << "s=" << s;
    }
  }
}

// Any three consecutive partial sums of a geometric series extrapolate to its
// limit exactly (Aitken's delta-squared, the first even column of the table).
// The partial sums of sum (-0.9)^k make the table collapse again and again as
// its elements agree; a table cut back to the wrong elements loses the limit.
TEST(D01AJY, GeometricSeriesKeepsItsLimitAcrossTheCutsOfTheTable) {
  const double limit = 1.0 / 1.9;
  const double rounding = 4 * std::numeric_limits<double>::epsilon() * limit;
  Extrapolation x;
  double s = 0;
  double term = 1;
  int cuts = 0;
  for (int k = 1; k <= 12; ++k) {
    s += term;
    term *= -0.9;
    if (k < 3) {
      x.EPSTAB[static_cast<std::size_t>(k - 1)] = s;
      x.N = k;
      continue;
    }
    const int before = x.N + 1;
    x.append_and_call(s);
    if (x.N < before) ++cuts;
    EXPECT_NEAR(x.RESULT, limit, rounding) << "k=" << k;
  }
  EXPECT_GE(cuts, 3);
}

// The partial sums of sum 1/k^2 converge logarithmically, where the epsilon
// algorithm gains little: after 80 terms the result is still 2e-3 off. The
// error estimate must never claim convergence, through the cuts of a full table.
// The deep table of this sequence magnifies a change of one unit in the last
// place of a rhombus sum to about 1e-11 in the result, so the result after 20
// terms, recorded from this implementation, pins the order of its operations.
TEST(D01AJY, SlowlyConvergingSeriesNeverClaimsConvergence) {
  const double limit = 1.6449340668482264;
  Extrapolation x;
  double s = 0;
  for (int k = 1; k <= 80; ++k) {
    s += 1.0 / (static_cast<double>(k) * k);
    if (k < 3) {
      x.EPSTAB[static_cast<std::size_t>(k - 1)] = s;
      x.N = k;
      continue;
    }
    x.append_and_call(s);
    if (k >= 6) {
      EXPECT_GT(x.ABSERR, 1e-5) << "k=" << k;
    }
    if (k == 20) {
      EXPECT_EQ(x.RESULT, 0x1.a2e3c33883728p+0) << "k=20";  // 1.6362878811809853
    }
  }
  EXPECT_GT(std::abs(x.RESULT - limit), 1e-3);
  EXPECT_LT(std::abs(x.RESULT - limit), std::abs(s - limit));
}

}  // namespace
}  // namespace triex

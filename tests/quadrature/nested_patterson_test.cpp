// The two-dimensional integrator: the classic examples with their evaluation
// counts, the failure codes and their reporting, the order of the calls, and
// the surface integrand of a sphere.

#include "quadrature/nested_patterson.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "shape/integrands.hpp"
#include "support/message_unit.hpp"
#include "tests/common/message_capture.hpp"
#include "tests/common/program_hook.hpp"

namespace triex {
namespace {

using testing_support::MessageCapture;

struct Result {
  double ANS = -999.0;
  int NPTS = -999;
  int IFAIL = 1;
};

// D01DAF with a silent soft failure unless another IFAIL is given.
template <class Phi1, class Phi2, class Integrand>
Result integrate(double YA, double YB, Phi1&& PHI1, Phi2&& PHI2, Integrand&& F, double ABSACC, int IFAIL = 1) {
  Result r;
  r.IFAIL = IFAIL;
  D01DAF(YA, YB, PHI1, PHI2, F, ABSACC, r.ANS, r.NPTS, r.IFAIL);
  return r;
}

double zero(double) { return 0.0; }
double one(double) { return 1.0; }
double inverse_sqrt_x(double x, double) { return 1.0 / std::sqrt(x); }

TEST(D01DAF, EmptyOuterRangeGivesZeroWithoutCallingAnything) {
  int calls = 0;
  const auto phi = [&calls](double) {
    ++calls;
    return 1.0;
  };
  const auto f = [&calls](double, double) {
    ++calls;
    return 1.0;
  };
  const Result r = integrate(0.7, 0.7, phi, phi, f, 1.0e-5);
  EXPECT_EQ(r.ANS, 0.0);
  EXPECT_EQ(r.NPTS, 0);
  EXPECT_EQ(r.IFAIL, 0);
  EXPECT_EQ(calls, 0);
}

// Over y in [0, 1] the inner range [0, y - 1/2] shrinks to nothing at the
// outer midpoint, which is evaluated without any call of F and counts no points.
TEST(D01DAF, InnerRangeOfZeroLengthContributesNothing) {
  std::vector<double> ys_of_f;
  const auto phi2 = [](double y) { return y - 0.5; };
  const auto f = [&ys_of_f](double, double y) {
    ys_of_f.push_back(y);
    return 1.0;
  };
  const Result r = integrate(0.0, 1.0, zero, phi2, f, 1.0e-5);
  EXPECT_EQ(r.NPTS, 6);  // two outer points with a 3-point inner rule each
  EXPECT_EQ(r.IFAIL, 0);
  EXPECT_NEAR(r.ANS, 0.0, 1e-15);  // the oriented integral of y - 1/2
  ASSERT_EQ(ys_of_f.size(), 6u);
  for (double y : ys_of_f) EXPECT_NE(y, 0.5);
}

TEST(D01DAF, ConstantIntegrandConvergesWithThreeByThreePoints) {
  const auto two = [](double) { return 2.0; };
  const auto five = [](double, double) { return 5.0; };
  const Result r = integrate(0.0, 3.0, zero, two, five, 1.0e-5);
  EXPECT_DOUBLE_EQ(r.ANS, 30.0);
  EXPECT_EQ(r.NPTS, 9);
  EXPECT_EQ(r.IFAIL, 0);
}

TEST(D01DAF, CosineOverTheOctantUsesFifteenInnerPoints) {
  const auto three_cos = [](double x, double) { return 3.0 * std::cos(x); };
  const Result r = integrate(0.0, 1.570795, zero, YUP, three_cos, 1.0e-5);
  EXPECT_EQ(r.NPTS, 45);
  EXPECT_EQ(r.IFAIL, 0);
  EXPECT_EQ(std::round(r.ANS * 1e6) / 1e6, 4.712385);
  EXPECT_NEAR(r.ANS, 3.0 * std::sin(1.570795) * 1.570795, 1.0e-5);
}

// The centre (lo + hi)/2 and the half-length (hi - lo)/2 of a range are
// computed so that swapping lo and hi gives the same centre and the negated
// half-length to the bit: the same nodes, the negated integral. Outer ranges
// [0.2, 1.3] and [0.1, 0.7] (where lo + (hi - lo)/2 and hi + (lo - hi)/2 round
// differently), inner ranges from 0.25 y and 0.1 + 0.25 y.
TEST(D01DAF, SwappingEitherPairOfLimitsNegatesTheIntegralExactly) {
  const auto phi2 = [](double y) { return 1.0 + y * y; };
  const auto f = [](double x, double y) { return std::exp(x - y) * (1.0 + x * y); };
  for (double offset : {0.0, 0.1}) {
    for (const auto& [YA, YB] : {std::pair{0.2, 1.3}, std::pair{0.1, 0.7}}) {
      SCOPED_TRACE(testing::Message() << "[" << YA << ", " << YB << "], offset " << offset);
      const auto phi1 = [offset](double y) { return offset + 0.25 * y; };
      const Result r = integrate(YA, YB, phi1, phi2, f, 1.0e-9);
      ASSERT_EQ(r.IFAIL, 0);
      const Result outer_swapped = integrate(YB, YA, phi1, phi2, f, 1.0e-9);
      const Result inner_swapped = integrate(YA, YB, phi2, phi1, f, 1.0e-9);
      EXPECT_EQ(outer_swapped.ANS, -r.ANS);
      EXPECT_EQ(inner_swapped.ANS, -r.ANS);
      EXPECT_EQ(outer_swapped.NPTS, r.NPTS);
      EXPECT_EQ(inner_swapped.NPTS, r.NPTS);
    }
  }
}

// The test is |new - previous| - ABSACC <= 0: a difference equal to ABSACC,
// here 0 = 0 for a zero integrand, counts as converged.
TEST(D01DAF, DifferenceEqualToTheAccuracyCountsAsConverged) {
  const auto f = [](double, double) { return 0.0; };
  const Result r = integrate(0.0, 1.0, zero, one, f, 0.0);
  EXPECT_EQ(r.ANS, 0.0);
  EXPECT_EQ(r.NPTS, 9);
  EXPECT_EQ(r.IFAIL, 0);
}

// Chebyshev polynomials T_d on [-1, 1]: the (2n+1)-point rule is exact up to
// degree 3n+2 and clearly wrong beyond, so the inner integration stops at the
// first pair of exact rules: T_0 needs 3 points, T_2..T_4 7, T_6..T_10 15, and
// so on. The integrand does not depend on y: three outer points.
TEST(D01DAF, InnerRuleSizeFollowsTheExactnessDegreesOfTheNestedRules) {
  const auto minus_one = [](double) { return -1.0; };
  struct Case {
    int degree;
    int inner_points;
  };
  const Case cases[] = {{0, 3},    {2, 7},     {4, 7},     {6, 15},    {10, 15},   {12, 31},   {22, 31},
                        {24, 63},  {46, 63},   {48, 127},  {94, 127},  {96, 255},  {190, 255}};
  for (const Case& c : cases) {
    const int d = c.degree;
    const auto chebyshev = [d](double x, double) { return std::cos(d * std::acos(x)); };
    const Result r = integrate(0.0, 1.0, minus_one, one, chebyshev, 1.0e-10);
    const double exact = d == 0 ? 2.0 : 2.0 / (1.0 - static_cast<double>(d) * d);
    EXPECT_EQ(r.NPTS, 3 * c.inner_points) << "T_" << d;
    EXPECT_EQ(r.IFAIL, 0) << "T_" << d;
    EXPECT_NEAR(r.ANS, exact, 1e-14) << "T_" << d;
  }
}

// 1/sqrt(x) defeats every inner rule, but all inner values are the same, so
// the outer integration converges with three points: code 30.
TEST(D01DAF, SingularInnerIntegrandFailsEveryInnerIntegration) {
  const Result r = integrate(0.0, 1.0, zero, one, inverse_sqrt_x, 1.0e-5);
  EXPECT_EQ(r.IFAIL, 30);
  EXPECT_EQ(r.NPTS, 765);
  EXPECT_NEAR(r.ANS, 2.0, 1e-3);
}

TEST(D01DAF, NegativeAccuracyRunsEveryIntegrationToTheLargestRuleAndFails) {
  const auto f = [](double x, double y) { return x + y; };
  const Result r = integrate(0.0, 1.0, zero, one, f, -1.0);
  EXPECT_EQ(r.IFAIL, 2551);
  EXPECT_EQ(r.NPTS, 65025);
  EXPECT_NEAR(r.ANS, 1.0, 1e-14);  // the 255 x 255-point estimate is still exact
}

TEST(D01DAF, OuterFailureAloneGivesCodeOne) {
  // 1/sqrt(y) in the outer variable only: every inner integration converges at
  // 3 points, the outer one cannot.
  const auto f = [](double, double y) { return 1.0 / std::sqrt(y); };
  const Result r = integrate(0.0, 1.0, zero, one, f, 1.0e-5);
  EXPECT_EQ(r.IFAIL, 1);
  EXPECT_EQ(r.NPTS, 255 * 3);
}

TEST(D01DAF, SilentSoftFailurePrintsNothing) {
  MessageCapture capture;
  const Result r = integrate(0.0, 1.0, zero, one, inverse_sqrt_x, 1.0e-5, 1);
  EXPECT_EQ(r.IFAIL, 30);
  EXPECT_EQ(capture.text(), "");
}

TEST(D01DAF, NoisySoftFailurePrintsTheExitLinesAndReturnsTheCode) {
  MessageCapture capture;
  const Result r = integrate(0.0, 1.0, zero, one, inverse_sqrt_x, 1.0e-5, -1);
  EXPECT_EQ(r.IFAIL, 30);
  EXPECT_EQ(r.NPTS, 765);
  EXPECT_EQ(capture.text(),
            " ** ABNORMAL EXIT from library routine D01DAF: IFAIL =    30\n"
            " ** Soft failure - control returned\n");
}

TEST(D01DAF, SuccessLeavesIfailZeroAndPrintsNothingInAnyMode) {
  for (int mode : {0, 1, -1}) {
    MessageCapture capture;
    const auto f = [](double x, double y) { return x * y; };
    const Result r = integrate(0.0, 1.0, zero, one, f, 1.0e-5, mode);
    EXPECT_EQ(r.IFAIL, 0) << mode;
    EXPECT_EQ(capture.text(), "") << mode;
  }
}

void hard_failure() {
  testing_support::exit_on_hard_failure();
  set_message_stream(std::cerr);  // death tests match the child's standard error
  double ANS = 0;
  int NPTS = 0;
  int IFAIL = 0;
  D01DAF(0.0, 1.0, zero, one, inverse_sqrt_x, 1.0e-5, ANS, NPTS, IFAIL);
}

TEST(D01DAFDeathTest, HardFailureEndsTheRunWithStatusOneAfterTheExitLines) {
  EXPECT_EXIT(hard_failure(), testing::ExitedWithCode(1),
              " \\*\\* ABNORMAL EXIT from library routine D01DAF: IFAIL =    30\n"
              " \\*\\* Hard failure - execution terminated\n$");
}

// The order of the calls: the outer midpoint first, then for each new outer
// pair c + d before c - d; within each inner integration the midpoint, then
// c - d before c + d. PHI1 and PHI2 are called once per outer point.
TEST(D01DAF, CallOrderIsMidpointFirstInnerLowerFirstOuterUpperFirst) {
  struct Call {
    char what;  // '1', '2' for PHI1, PHI2; 'F' for the integrand
    double x, y;
  };
  std::vector<Call> calls;
  const auto phi1 = [&calls](double y) {
    calls.push_back({'1', 0.0, y});
    return 1.0;
  };
  const auto phi2 = [&calls](double y) {
    calls.push_back({'2', 0.0, y});
    return 3.0;
  };
  const auto f = [&calls](double x, double y) {
    calls.push_back({'F', x, y});
    return 7.0;
  };
  const Result r = integrate(2.0, 6.0, phi1, phi2, f, 1.0e-5);
  ASSERT_EQ(r.NPTS, 9);
  ASSERT_EQ(calls.size(), 15u);  // three outer points: PHI1, PHI2, three F calls each
  const double cy = 4.0;
  const double cx = 2.0;
  for (int p = 0; p < 3; ++p) {
    const Call* at = &calls[static_cast<std::size_t>(5 * p)];
    EXPECT_EQ(at[0].what, '1');
    EXPECT_EQ(at[1].what, '2');
    EXPECT_EQ(at[1].y, at[0].y);
    for (int i = 2; i < 5; ++i) {
      EXPECT_EQ(at[i].what, 'F');
      EXPECT_EQ(at[i].y, at[0].y);  // F gets the outer point as its second argument
    }
    EXPECT_EQ(at[2].x, cx);  // inner midpoint first
    EXPECT_LT(at[3].x, cx);  // then c - d
    EXPECT_GT(at[4].x, cx);  // then c + d
    EXPECT_DOUBLE_EQ(at[3].x + at[4].x, 2 * cx);
  }
  EXPECT_EQ(calls[0].y, cy);   // outer midpoint first
  EXPECT_GT(calls[5].y, cy);   // then c + d
  EXPECT_LT(calls[10].y, cy);  // then c - d
  EXPECT_DOUBLE_EQ(calls[5].y + calls[10].y, 2 * cy);
}

// ANS holds each outer estimate as soon as its rule is complete: while the
// 7-point outer rule evaluates its new points, ANS is the 3-point estimate
// (exact for y^4).
TEST(D01DAF, AnsHoldsTheLatestOuterEstimateDuringTheNextStage) {
  Result r;
  r.ANS = -1.0;
  std::vector<double> ans_seen;
  const auto f = [&](double, double y) {
    ans_seen.push_back(r.ANS);
    return y * y * y * y;
  };
  D01DAF(0.0, 1.0, zero, one, f, 1.0e-5, r.ANS, r.NPTS, r.IFAIL);
  ASSERT_EQ(r.IFAIL, 0);
  ASSERT_EQ(r.NPTS, 21);  // 7 outer points of 3 inner points
  for (std::size_t i = 0; i < 9; ++i) EXPECT_EQ(ans_seen[i], -1.0) << i;
  for (std::size_t i = 9; i < 21; ++i) EXPECT_NEAR(ans_seen[i], 0.2, 1e-15) << i;
  EXPECT_NEAR(r.ANS, 0.2, 1e-15);
}

// The surface integrand of a sphere of radius r is 3 r^2 cos x: with the
// absolute accuracy 1e-5 the inner rule needs 15 points for r = 1 and only 7
// for r = 0.1.
TEST(D01DAF, SphereSurfaceIntegrandUsesFortyFiveOrTwentyOnePoints) {
  struct Case {
    double radius;
    int NPTS;
  };
  for (const Case c : {Case{1.0, 45}, Case{0.1, 21}}) {
    const ShapeConstants sphere(c.radius, c.radius, c.radius);
    const Result r = integrate(0.0, 1.570795, YLOW, YUP, [&](double X, double Y) { return FYS(sphere, X, Y); }, 1.0e-5);
    EXPECT_EQ(r.NPTS, c.NPTS) << "radius " << c.radius;
    EXPECT_EQ(r.IFAIL, 0) << "radius " << c.radius;
    EXPECT_NEAR(r.ANS, 3.0 * c.radius * c.radius * std::sin(1.570795) * 1.570795, 1.0e-5) << "radius " << c.radius;
  }
}

}  // namespace
}  // namespace triex

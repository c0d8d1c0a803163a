#include "shape/integrands.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "shape/params.hpp"

namespace triex {
namespace {

// Composite Simpson's rule over [0, upper]^2: an integrator independent of the
// library's, accurate to far more digits than the checks below need for these
// smooth integrands.
template <class F>
double simpson_square(F f, double upper = kHalfPi, int n = 400) {
  const double h = upper / n;
  auto weight = [n](int i) { return (i == 0 || i == n) ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0); };
  double sum = 0;
  for (int i = 0; i <= n; ++i)
    for (int j = 0; j <= n; ++j) sum += weight(i) * weight(j) * f(i * h, j * h);
  return sum * h * h / 9.0;
}

TEST(Callbacks, ASphereGivesTheClosedForms) {
  for (double r : {1.0, 0.1, 7.5, 1000.0}) {
    set_semi_axes(r, r, r);
    for (double x : {0.0, 0.3, 1.0, 1.570795}) {
      for (double y : {0.0, 0.7, 1.5}) {
        EXPECT_NEAR(FYS(x, y), 3 * r * r * std::cos(x), 1e-13 * r * r) << r << " " << x << " " << y;
        EXPECT_NEAR(FYR(x, y), 3 * r * std::cos(x), 1e-13 * r) << r << " " << x << " " << y;
      }
    }
    for (double lambda : {0.0, 0.5, 3.0, 1e4}) {
      PARAMS.NN = 10;
      EXPECT_NEAR(FUN(lambda), std::pow(r * r + lambda, -1.5), 1e-14 * std::pow(r * r + lambda, -1.5));
      for (int nn : {1, 2, 3}) {
        PARAMS.NN = nn;
        EXPECT_NEAR(FUN(lambda), std::pow(r * r + lambda, -2.5), 1e-14 * std::pow(r * r + lambda, -2.5));
      }
    }
  }
}

TEST(Callbacks, FunAtZeroMatchesTheSemiAxes) {
  set_semi_axes(3, 2, 1);
  PARAMS.NN = 10;
  EXPECT_DOUBLE_EQ(FUN(0.0), 1.0 / 6.0);
  for (int nn : {7, 8, 9}) {
    PARAMS.NN = nn;
    EXPECT_EQ(FUN(0.0), 0.0);
  }
  // Rows 1..6 at X = 0: 1/(a^2 abc), 1/(b^2 abc), 1/(c^2 abc), 1/(b^2c^2 abc), ...
  const double expected[] = {1.0 / (9 * 6), 1.0 / (4 * 6), 1.0 / (1 * 6), 1.0 / (4 * 6), 1.0 / (9 * 6), 1.0 / (36 * 6)};
  for (int nn = 1; nn <= 6; ++nn) {
    PARAMS.NN = nn;
    EXPECT_DOUBLE_EQ(FUN(0.0), expected[nn - 1]) << nn;
  }
}

TEST(Callbacks, OctantIntegralsGiveSurfaceAndMeanCurvatureOfAnEllipsoid) {
  // Over the full square [0, pi/2]^2 (the truncated upper angle 1.570795 would
  // leave out a sliver worth about 1.5e-5 here).
  const double half_pi = std::acos(-1.0) / 2;
  set_semi_axes(3, 2, 1);
  EXPECT_NEAR(simpson_square(FYS, half_pi), 18.330805, 5e-7);
  EXPECT_NEAR(simpson_square(FYR, half_pi), 9.901822, 5e-7);
}

TEST(Callbacks, RelabellingTheAxesLeavesTheIntegralsUnchanged) {
  set_semi_axes(3, 2, 1);
  const double s321 = simpson_square(FYS), r321 = simpson_square(FYR);
  set_semi_axes(1, 2, 3);
  // The sliver left out by the truncated upper angle is the same to about 1e-5.
  EXPECT_NEAR(simpson_square(FYS), s321, 1e-4);
  EXPECT_NEAR(simpson_square(FYR), r321, 1e-4);
}

TEST(Callbacks, LimitFunctionsAreConstants) {
  for (double y : {-1.0, 0.0, 0.5, 1e300}) {
    EXPECT_EQ(YLOW(y), 0.0);
    EXPECT_EQ(YUP(y), 1.570795);
  }
}

}  // namespace
}  // namespace triex

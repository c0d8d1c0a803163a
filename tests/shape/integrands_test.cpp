#include "shape/integrands.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>


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

auto surface(const ShapeConstants& shape) {
  return [&shape](double X, double Y) { return FYS(shape, X, Y); };
}
auto curvature(const ShapeConstants& shape) {
  return [&shape](double X, double Y) { return FYR(shape, X, Y); };
}

TEST(Callbacks, ASphereGivesTheClosedForms) {
  for (double r : {1.0, 0.1, 7.5, 1000.0}) {
    const ShapeConstants sphere(r, r, r);
    for (double x : {0.0, 0.3, 1.0, 1.570795}) {
      for (double y : {0.0, 0.7, 1.5}) {
        EXPECT_NEAR(FYS(sphere, x, y), 3 * r * r * std::cos(x), 1e-13 * r * r) << r << " " << x << " " << y;
        EXPECT_NEAR(FYR(sphere, x, y), 3 * r * std::cos(x), 1e-13 * r) << r << " " << x << " " << y;
      }
    }
    for (double lambda : {0.0, 0.5, 3.0, 1e4}) {
      EXPECT_NEAR(FUN(sphere, 10, lambda), std::pow(r * r + lambda, -1.5), 1e-14 * std::pow(r * r + lambda, -1.5));
      for (int nn : {1, 2, 3}) {
        EXPECT_NEAR(FUN(sphere, nn, lambda), std::pow(r * r + lambda, -2.5), 1e-14 * std::pow(r * r + lambda, -2.5));
      }
    }
  }
}

TEST(Callbacks, FunAtZeroMatchesTheSemiAxes) {
  const ShapeConstants shape(3, 2, 1);
  EXPECT_DOUBLE_EQ(FUN(shape, 10, 0.0), 1.0 / 6.0);
  for (int nn : {7, 8, 9}) EXPECT_EQ(FUN(shape, nn, 0.0), 0.0);
  // Rows 1..6 at X = 0: 1/(a^2 abc), 1/(b^2 abc), 1/(c^2 abc), 1/(b^2c^2 abc), ...
  const double expected[] = {1.0 / (9 * 6), 1.0 / (4 * 6), 1.0 / (1 * 6), 1.0 / (4 * 6), 1.0 / (9 * 6), 1.0 / (36 * 6)};
  for (int nn = 1; nn <= 6; ++nn) EXPECT_DOUBLE_EQ(FUN(shape, nn, 0.0), expected[nn - 1]) << nn;
}

TEST(Callbacks, OctantIntegralsGiveSurfaceAndMeanCurvatureOfAnEllipsoid) {
  // Over the full square [0, pi/2]^2 (the truncated upper angle 1.570795 would
  // leave out a sliver worth about 1.5e-5 here).
  const double half_pi = std::acos(-1.0) / 2;
  const ShapeConstants shape(3, 2, 1);
  EXPECT_NEAR(simpson_square(surface(shape), half_pi), 18.330805, 5e-7);
  EXPECT_NEAR(simpson_square(curvature(shape), half_pi), 9.901822, 5e-7);
}

TEST(Callbacks, RelabellingTheAxesLeavesTheIntegralsUnchanged) {
  const ShapeConstants shape(3, 2, 1), relabelled(1, 2, 3);
  // The sliver left out by the truncated upper angle is the same to about 1e-5.
  EXPECT_NEAR(simpson_square(surface(relabelled)), simpson_square(surface(shape)), 1e-4);
  EXPECT_NEAR(simpson_square(curvature(relabelled)), simpson_square(curvature(shape)), 1e-4);
}

TEST(Callbacks, LimitFunctionsAreConstants) {
  for (double y : {-1.0, 0.0, 0.5, 1e300}) {
    EXPECT_EQ(YLOW(y), 0.0);
    EXPECT_EQ(YUP(y), 1.570795);
  }
}

// The prepared integrands against FYS and FYR, point by point, at any angles
// (not only the nodes of the rules) and the ends of the octant. Every inner
// run below starts a new azimuth and makes its calls at other elevations
// than the run before at the same call numbers, so the table of elevations
// must recompute rather than serve a stale angle.
TEST(Callbacks, PreparedIntegrandsGiveThePlainValuesBitForBit) {
  const double angles[] = {0.0, 1e-9, 0.1, 0.3, 0.5, 0.785, 1.0, 1.2345, 1.5, 1.570795, 1.5707963267948966};
  const double shapes[][3] = {{1, 1, 1}, {3, 2, 1}, {1, 2, 3}, {1000, 1, 1}, {0.01, 1, 100}, {2206, 0.01226, 36.27}};
  for (const auto& axes : shapes) {
    const ShapeConstants shape(axes[0], axes[1], axes[2]);
    ElevationTable elevations(shape);
    const SurfaceIntegrand fys(shape, elevations);
    const CurvatureIntegrand fyr(shape, elevations);
    std::size_t shift = 0;
    for (double Y : angles) {
      auto s = fys.at(Y);
      auto r = fyr.at(Y);
      ++shift;
      for (std::size_t i = 0; i < std::size(angles); ++i) {
        const double X = angles[(i + shift) % std::size(angles)];
        EXPECT_EQ(std::bit_cast<std::uint64_t>(s(X)), std::bit_cast<std::uint64_t>(FYS(shape, X, Y)))
            << axes[0] << ", " << axes[1] << ", " << axes[2] << " at " << X << ", " << Y;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(r(X)), std::bit_cast<std::uint64_t>(FYR(shape, X, Y)))
            << axes[0] << ", " << axes[1] << ", " << axes[2] << " at " << X << ", " << Y;
      }
    }
  }
}

// The C library's values (not the compiler's constant folding).
double runtime_cos(double x) {
  volatile double v = x;
  return std::cos(v);
}
double runtime_sin(double x) {
  volatile double v = x;
  return std::sin(v);
}

// At one azimuth the table serves the elevation of a call number that it has
// seen; a different elevation at that number gets its own values, and so do
// calls beyond those it keeps or out of sequence.
TEST(Callbacks, TheElevationTableServesOnlyTheSameAngle) {
  const ShapeConstants shape(3, 2, 1);
  ElevationTable elevations(shape);
  const Elevation first = elevations.at_call(0, 0.25);
  EXPECT_EQ(elevations.at_call(0, 0.25).CSX, first.CSX);
  const double next_up = std::nextafter(0.25, 1.0);
  const Elevation other = elevations.at_call(0, next_up);
  EXPECT_EQ(other.X, next_up);
  EXPECT_EQ(other.CSX, runtime_cos(next_up));
  EXPECT_EQ(other.SNX2, runtime_sin(next_up) * runtime_sin(next_up));
  EXPECT_EQ(other.Z3, runtime_sin(next_up) * runtime_sin(next_up) / (1.0 * 1.0));
  for (std::size_t k : {std::size_t{1000}, std::size_t{5}}) EXPECT_EQ(elevations.at_call(k, 0.75).CSX, runtime_cos(0.75));
  EXPECT_EQ(elevations.at_call(1, 0.5).CSX, runtime_cos(0.5));
  EXPECT_EQ(elevations.at_call(5, 1.25).CSX, runtime_cos(1.25));
}

}  // namespace
}  // namespace triex

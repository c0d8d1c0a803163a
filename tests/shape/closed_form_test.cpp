// The closed forms against 32-digit reference values (tools/
// gen_closed_form_reference.py, mpmath's R_G) and against the properties that
// any correct reduced excluded volume has.

#include "shape/closed_form.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <numbers>
#include <random>

#include "tests/shape/closed_form_reference.hpp"

namespace triex {
namespace {

// 2e-15 is about nine ulps: R_G is good to a few ulps, and u_red multiplies two
// of them.
constexpr double kReferenceTolerance = 2e-15;

// A reference beyond the range of doubles (the surface of a sphere of radius
// 1e300) must come out as the overflow or underflow it is.
double relative_error(double value, const char* reference) {
  const double exact = std::strtod(reference, nullptr);
  if (std::isinf(exact)) return value == exact ? 0.0 : 1.0;
  // A subnormal value (or one that underflows) holds a few units of its last place.
  if (std::abs(exact) < std::numeric_limits<double>::min())
    return std::abs(value - exact) <= 4 * std::numeric_limits<double>::denorm_min() ? 0.0 : 1.0;
  return std::abs(value - exact) / std::abs(exact);
}

TEST(ClosedForm, MatchesThirtyDigitReferencesFromNeedlesToDiscsAndAcrossAllScales) {
  double worst_ured = 0, worst_S = 0, worst_R = 0;
  for (const auto& row : test::kClosedFormReference) {
    SCOPED_TRACE(testing::Message() << std::hexfloat << "a, b, c = " << row.a << ", " << row.b << ", " << row.c);
    const double ured = closed_form_ured(row.a, row.b, row.c);
    const ClosedFormShape shape = closed_form_shape(row.a, row.b, row.c);
    EXPECT_LE(relative_error(ured, row.ured), kReferenceTolerance);
    EXPECT_LE(relative_error(shape.surface, row.S), kReferenceTolerance);
    EXPECT_LE(relative_error(shape.mean_radius, row.R), kReferenceTolerance);
    worst_ured = std::max(worst_ured, relative_error(ured, row.ured));
    worst_S = std::max(worst_S, relative_error(shape.surface, row.S));
    worst_R = std::max(worst_R, relative_error(shape.mean_radius, row.R));
  }
  EXPECT_GE(std::size(test::kClosedFormReference), 300u);
  std::printf("largest relative errors over %zu shapes: ured %.3g, S %.3g, R %.3g\n",
              std::size(test::kClosedFormReference), worst_ured, worst_S, worst_R);
}

TEST(ClosedForm, ASphereOfAnySizeIsEightWithSurfaceAndRadiusOfTheSphere) {
  for (double r : {1.0, 1e-150, 3.5, 1e150}) {
    EXPECT_EQ(closed_form_ured(r, r, r), 8.0);
    const ClosedFormShape s = closed_form_shape(r, r, r);
    EXPECT_NEAR(s.mean_radius / r, 1.0, 1e-15);
    EXPECT_NEAR(s.surface / (4 * std::numbers::pi * r * r), 1.0, 1e-15);
    if (r < 1e100 && r > 1e-100) {
      EXPECT_NEAR(s.volume / (4 * std::numbers::pi / 3 * r * r * r), 1.0, 1e-15);
    }
  }
}

// Random shapes with axial ratios up to 1e6 either way.
class RandomShapes : public testing::Test {
 protected:
  struct Axes {
    double a, b, c;
  };
  Axes next() {
    std::uniform_real_distribution<double> exponent(-6, 6);
    return {1.0, std::pow(10.0, exponent(rng_)), std::pow(10.0, exponent(rng_))};
  }
  std::mt19937_64 rng_{20261207};
};

TEST_F(RandomShapes, UredIsAtLeastEightAndDependsOnNeitherOrderNorSize) {
  for (int i = 0; i < 2000; ++i) {
    const Axes s = next();
    SCOPED_TRACE(testing::Message() << s.a << ", " << s.b << ", " << s.c);
    const double u = closed_form_ured(s.a, s.b, s.c);
    EXPECT_GE(u, 8.0);
    // Any permutation: the semi-axes are sorted first, so to the bit.
    EXPECT_EQ(closed_form_ured(s.b, s.c, s.a), u);
    EXPECT_EQ(closed_form_ured(s.c, s.a, s.b), u);
    EXPECT_EQ(closed_form_ured(s.c, s.b, s.a), u);
    // Size: the scaled semi-axes carry a rounding of their own.
    for (double k : {1e-100, 1e100, 1e-300}) EXPECT_NEAR(closed_form_ured(k * s.a, k * s.b, k * s.c) / u, 1.0, 2e-15);
    // The reciprocal ellipsoid (1/a, 1/b, 1/c): u_red swaps its two R_G factors.
    EXPECT_NEAR(closed_form_ured(1 / s.a, 1 / s.b, 1 / s.c) / u, 1.0, 2e-15);
  }
}

TEST_F(RandomShapes, TheMixtureOfTwoEqualShapesIsUredTimesTheVolume) {
  for (int i = 0; i < 500; ++i) {
    const Axes s = next();
    const ClosedFormShape shape = closed_form_shape(s.a, s.b, s.c);
    EXPECT_NEAR(closed_form_mixture(shape, shape) / (closed_form_ured(s.a, s.b, s.c) * shape.volume), 1.0, 1e-14);
  }
}

TEST(ClosedForm, TheMixtureIsSymmetricAndGrowsWithEitherBody) {
  const ClosedFormShape small = closed_form_shape(1, 1, 1);
  const ClosedFormShape rod = closed_form_shape(10, 1, 1);
  const double u12 = closed_form_mixture(small, rod);
  EXPECT_EQ(u12, closed_form_mixture(rod, small));
  // Two unit spheres: 8 V; sphere and rod lie between the two pure values per volume.
  EXPECT_NEAR(closed_form_mixture(small, small), 8 * small.volume, 1e-13);
  EXPECT_GT(u12, closed_form_mixture(small, small));
  EXPECT_LT(u12, closed_form_mixture(rod, rod));
}

// u_red of a spheroid from elementary functions, r = minor/major semi-axis,
// e the eccentricity: 2 + (3/2)(1 + asin(e)/(e r))(1 + (r^2/(2e)) ln((1+e)/(1-e))),
// written without cancellation: 1 - e^2 = r^2, so asin(e) = atan2(e, r) and
// (1+e)/(1-e) = ((1+e)/r)^2.
double spheroid_ured(double r) {
  const double e = std::sqrt((1 - r) * (1 + r));
  return 2 + 1.5 * (1 + std::atan2(e, r) / (e * r)) * (1 + r * r / e * std::log((1 + e) / r));
}

TEST(ClosedForm, ProlateAndOblateSpheroidsOfOneRatioAgreeWithTheElementaryFormula) {
  for (double p : {1.01, 1.5, 2.0, 3.0, 10.0, 100.0, 1e4, 1e6}) {
    SCOPED_TRACE(p);
    const double prolate = closed_form_ured(p, 1, 1);
    const double oblate = closed_form_ured(1, 1, 1 / p);
    EXPECT_NEAR(oblate / prolate, 1.0, 4e-16 * 4);
    EXPECT_NEAR(spheroid_ured(1 / p) / prolate, 1.0, 1e-14);
  }
}

TEST(ClosedForm, ExtremeShapesStayFiniteWhereTheirValuesAre) {
  // Squares of these semi-axes would overflow or underflow without scaling.
  EXPECT_TRUE(std::isfinite(closed_form_ured(1e200, 1e100, 1e50)));
  // Beyond range it overflows honestly: a needle of ratio 1e400 has u_red of that order.
  EXPECT_EQ(closed_form_ured(1e200, 1e-100, 1e-200), std::numeric_limits<double>::infinity());
  EXPECT_NEAR(closed_form_ured(3e200, 2e200, 1e200) / closed_form_ured(3, 2, 1), 1.0, 1e-15);
  EXPECT_NEAR(closed_form_ured(3e-300, 2e-300, 1e-300) / closed_form_ured(3, 2, 1), 1.0, 1e-15);
  const ClosedFormShape huge = closed_form_shape(3e150, 2e150, 1e150);
  EXPECT_NEAR(huge.surface / closed_form_shape(3, 2, 1).surface / 1e300, 1.0, 1e-14);
  EXPECT_TRUE(std::isfinite(closed_form_shape(1e300, 1e-300, 1).volume));
  // A surface of an ordinary size beside a semi-axis whose square underflows,
  // and one that overflows.
  EXPECT_NEAR(closed_form_shape(1, 2, 1e-155).surface / (4 * std::numbers::pi), 1.0, 1e-15);
  EXPECT_EQ(closed_form_shape(1.7976931348623157e308, 1, 1).surface, std::numeric_limits<double>::infinity());
  // A subnormal surface rounded once: 4 pi r^2 = 18.72 units of the smallest
  // subnormal for r = 2.713e-162 (mpmath), where rounding r^2 to 1 unit first
  // would give 13.
  EXPECT_EQ(closed_form_shape(2.713e-162, 2.713e-162, 2.713e-162).surface,
            19 * std::numeric_limits<double>::denorm_min());
}

}  // namespace
}  // namespace triex

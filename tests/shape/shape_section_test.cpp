#include "shape/shape_section.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "shape/params.hpp"

namespace triex {
namespace {

ShapeResult shape_of(double A, double B, double C) {
  set_semi_axes(A, B, C);
  return shape_section();
}

struct UredCase {
  double A, B, C;
  double URED;
  double tolerance;  // half a unit in the last digit shown
};

TEST(ReducedExcludedVolume, ReproducesTheTableOfShapesToEveryDigitShown) {
  const UredCase cases[] = {
      {1, 1, 1, 8.000000, 5e-7},        {2, 1, 1, 9.076976, 5e-7},     {1, 1, 0.5, 9.076973, 5e-7},
      {3, 2, 1, 10.173620, 5e-7},       {1, 2, 3, 10.173609, 5e-7},    {10, 1, 1, 26.382657, 5e-7},
      {1, 1, 0.1, 26.382647, 5e-7},     {100, 1, 1, 237.75608, 5e-6},  {50, 20, 1, 88.820988, 5e-7},
  };
  for (const UredCase& c : cases) {
    EXPECT_NEAR(shape_of(c.A, c.B, c.C).URED, c.URED, c.tolerance) << c.A << " " << c.B << " " << c.C;
  }
}

TEST(ReducedExcludedVolume, ASphereOfAnySizeGivesEight) {
  for (double r : {1.0, 10.0, 100.0, 1000.0}) {
    const ShapeResult s = shape_of(r, r, r);
    EXPECT_NEAR(s.URED, 8.0, 1e-10) << r;
    EXPECT_NEAR(s.S, 12.56636 * r * r, 1e-9 * r * r) << r;
    EXPECT_NEAR(s.R, r, 1e-9 * r) << r;
    // Three outer points, each with a 15-point inner rule.
    EXPECT_EQ(s.NPTS_S, 45) << r;
    EXPECT_EQ(s.NPTS_R, 45) << r;
    EXPECT_EQ(s.IFAIL_S, 0);
    EXPECT_EQ(s.IFAIL_R, 0);
  }
  // The accuracy is absolute, so a small sphere needs only 7-point inner rules.
  const ShapeResult small = shape_of(0.1, 0.1, 0.1);
  EXPECT_EQ(small.NPTS_S, 21);
  EXPECT_EQ(small.NPTS_R, 21);
  EXPECT_NEAR(small.URED, 8.0, 1e-10);
}

TEST(ReducedExcludedVolume, AxialRatiosGiveTheShapeOfTheSemiAxes) {
  const double from_ratios = shape_of(1.5 * 2, 2, 1).URED;
  const double from_axes = shape_of(30, 20, 10).URED;
  EXPECT_NEAR(from_ratios, from_axes, 5e-6 * from_axes);
}

TEST(EllipsoidIntegrals, ForASphereHaveClosedForms) {
  for (double r : {1.0, 3.7, 10.0}) {
    const ShapeResult s = shape_of(r, r, r);
    EXPECT_EQ(PARAMS.NN, 10);
    const double tol = 5e-5;  // the relative accuracy requested
    EXPECT_NEAR(s.ALPHA[9], 2 / r, tol * 2 / r) << r;
    for (int n = 0; n < 3; ++n) EXPECT_NEAR(s.ALPHA[static_cast<std::size_t>(n)], 2 / (3 * r * r * r), tol * 2 / (3 * r * r * r)) << r;
    EXPECT_NEAR(s.ALPHA[7], s.ALPHA[6], tol * s.ALPHA[6]);
    EXPECT_NEAR(s.ALPHA[8], s.ALPHA[6], tol * s.ALPHA[6]);
  }
}

// Large molecules: the infinite-range integrals may not meet their accuracy,
// but they fail silently and the double integrals still give the right shape.
TEST(EllipsoidIntegrals, LargeMoleculesPassSilently) {
  for (double r : {150.0, 1000.0}) EXPECT_NEAR(shape_of(r, r, r).URED, 8.0, 1e-9) << r;
  EXPECT_NEAR(shape_of(300, 200, 100).URED, shape_of(3, 2, 1).URED, 1e-5);
}

}  // namespace
}  // namespace triex

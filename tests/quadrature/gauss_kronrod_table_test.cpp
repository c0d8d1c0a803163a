// The generated 15-point Gauss-Kronrod table: the known entries to the bit,
// the layout (descending nodes, Gauss nodes at even indices, Gauss weights
// aligned with them), and exactness of both rules for x^k.

#include "quadrature/tables/gauss_kronrod15.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

namespace triex {
namespace {

// Element j, counted from 1.
double at(const std::array<double, 8>& table, int j) { return table.at(static_cast<std::size_t>(j - 1)); }

// A symmetric rule on [-1, 1] given by weights aligned with XGK, applied to x^k.
double apply(const std::array<double, 8>& weights, int k) {
  double sum = k == 0 ? at(weights, 8) : 0.0;
  for (int j = 1; j <= 7; ++j) sum += at(weights, j) * (std::pow(-at(XGK, j), k) + std::pow(at(XGK, j), k));
  return sum;
}

// Correctly rounded nodes and weights, sums of 15 terms at most 2 in total:
// four ulps of 2 is well above their rounding and far below the error of any
// wrong entry.
constexpr double kExactnessTolerance = 4 * 2 * std::numeric_limits<double>::epsilon();

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(GaussKronrodTable, KnownEntriesAreReproducedToTheBit) {
  EXPECT_EQ(bits(at(XGK, 1)), bits(0.9914553711208126));
  EXPECT_EQ(bits(at(WGK, 8)), bits(0.20948214108472782));
  EXPECT_EQ(bits(at(WG, 8)), bits(0.4179591836734694));
  EXPECT_EQ(bits(at(XGK, 8)), bits(0.0));
}

TEST(GaussKronrodTable, NodesDescendInsideTheUnitIntervalToTheCentre) {
  for (int j = 1; j <= 7; ++j) {
    EXPECT_LT(at(XGK, j), 1.0) << j;
    EXPECT_GT(at(XGK, j), at(XGK, j + 1)) << j;
  }
  EXPECT_EQ(at(XGK, 8), 0.0);
}

TEST(GaussKronrodTable, GaussWeightsSitAtEvenIndicesOnlyAndAllWeightsArePositive) {
  for (int j = 1; j <= 8; ++j) {
    EXPECT_GT(at(WGK, j), 0.0) << j;
    if (j % 2 == 1)
      EXPECT_EQ(at(WG, j), 0.0) << j;
    else
      EXPECT_GT(at(WG, j), 0.0) << j;
  }
}

TEST(GaussKronrodTable, GaussRuleIsExactToDegreeThirteenAndNoFurther) {
  for (int k = 0; k <= 13; ++k) {
    const double exact = k % 2 == 1 ? 0.0 : 2.0 / (k + 1);
    EXPECT_NEAR(apply(WG, k), exact, kExactnessTolerance) << "x^" << k;
  }
  EXPECT_GT(std::abs(apply(WG, 14) - 2.0 / 15), 1e-6);
}

TEST(GaussKronrodTable, KronrodRuleIsExactToDegreeTwentyTwoAndNoFurther) {
  for (int k = 0; k <= 22; ++k) {
    const double exact = k % 2 == 1 ? 0.0 : 2.0 / (k + 1);
    EXPECT_NEAR(apply(WGK, k), exact, kExactnessTolerance) << "x^" << k;
  }
  EXPECT_GT(std::abs(apply(WGK, 24) - 2.0 / 25), 1e-9);
}

}  // namespace
}  // namespace triex

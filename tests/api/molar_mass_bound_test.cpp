// The library refuses a molar mass exactly where the dialogue does: where
// 2*M*M overflows, which is below where M*M alone does.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "triex/triex.hpp"

namespace triex {
namespace {

constexpr double kLargestMolarMass = 9.480751908109176e153;  // 2*M*M is the largest double below infinity

std::string refusal_of_molar_mass(double M) {
  try {
    virial({8, 1, M, {}});
  } catch (const std::invalid_argument& e) {
    return e.what();
  }
  return "";
}

TEST(MolarMassBound, IsWhereTwiceTheSquareOverflowsNotTheSquareAlone) {
  ASSERT_TRUE(std::isfinite(2.0 * (kLargestMolarMass * kLargestMolarMass)));
  const double above = std::nextafter(kLargestMolarMass, INFINITY);
  ASSERT_TRUE(std::isfinite(above * above));  // the square alone is still finite
  EXPECT_EQ(refusal_of_molar_mass(kLargestMolarMass), "");
  EXPECT_GT(virial({8, 1, kLargestMolarMass, {}}).Bex, 0.0);
  EXPECT_EQ(refusal_of_molar_mass(above), "M = 9.480751908109177e+153 is too large: 2*M*M overflows a double");
  EXPECT_THROW(ured_from_virial(1e-4, 1, above), std::invalid_argument);
}

}  // namespace
}  // namespace triex

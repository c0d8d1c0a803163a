// R_G against the values Carlson published with his algorithms (Numer.
// Algorithms 10, 1995, 13-26, to 14 digits), against Boost.Math's separate
// R_F and R_D, and its symmetry in the three arguments.

#include "shape/carlson.hpp"

#include <gtest/gtest.h>

#include <boost/math/special_functions/ellint_rg.hpp>
#include <cmath>
#include <numbers>
#include <random>

#include "tests/shape/carlson_pins.hpp"

namespace triex {
namespace {

TEST(CarlsonRG, GivesThePublishedValues) {
  EXPECT_NEAR(carlson_RG(0, 16, 16), std::numbers::pi, 1e-15);  // the zero-argument form
  EXPECT_NEAR(carlson_RG(2, 3, 4), 1.7255030280692, 1e-13);      // the duplication
  EXPECT_NEAR(carlson_RG(0, 0.0796, 4), 1.0284758090288, 1e-13);
  EXPECT_EQ(carlson_RG(4, 4, 4), 2.0);  // sqrt of the common value
}

TEST(CarlsonRG, AgreesWithSeparateRFAndRDAndIsSymmetric) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> exponent(-24, 24);
  double worst = 0;
  for (int i = 0; i < 20000; ++i) {
    const double x = std::pow(10.0, exponent(rng)), y = std::pow(10.0, exponent(rng)), z = std::pow(10.0, exponent(rng));
    const double rg = carlson_RG(x, y, z);
    EXPECT_EQ(carlson_RG(y, z, x), rg);
    EXPECT_EQ(carlson_RG(z, x, y), rg);
    EXPECT_EQ(carlson_RG(y, x, z), rg);
    // Boost in long double, as an independent reference: both within a few ulps.
    const long double reference = boost::math::ellint_rg(static_cast<long double>(x), static_cast<long double>(y),
                                                         static_cast<long double>(z));
    const double error = static_cast<double>(std::abs((rg - reference) / reference));
    worst = std::max(worst, error);
    EXPECT_LT(error, 1e-15) << x << ", " << y << ", " << z;
  }
  std::printf("largest relative difference from long-double R_G: %.3g\n", worst);
}

// The last bit of R_G depends on when the duplications stop and on every
// coefficient of the two series; these values, recorded from this R_G (which
// agrees with long-double R_G above), pin it.
TEST(CarlsonRG, KeepsItsRecordedBits) {
  for (const auto& pin : test::kCarlsonPins) {
    EXPECT_EQ(carlson_RG(pin.x, pin.y, pin.z), pin.RG) << std::hexfloat << pin.x << ", " << pin.y << ", " << pin.z;
    const long double reference = boost::math::ellint_rg(static_cast<long double>(pin.x),
                                                         static_cast<long double>(pin.y),
                                                         static_cast<long double>(pin.z));
    EXPECT_LT(std::abs((pin.RG - reference) / reference), 1e-15L);
  }
}

}  // namespace
}  // namespace triex

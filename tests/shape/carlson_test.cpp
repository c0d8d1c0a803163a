// R_G against the values Carlson published with his algorithms (Numer.
// Algorithms 10, 1995, 13-26, to 14 digits), against Boost.Math's separate
// R_F and R_D, and its symmetry in the three arguments; the Jeffery integrals
// from R_G's duplications against their own.

#include "shape/carlson.hpp"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <boost/math/special_functions/ellint_rg.hpp>
#include <cmath>
#include <cstdint>
#include <iterator>
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
// agrees with long-double R_G above), pin it, also when two sequences run in
// the lanes of one register (each pin beside the next, which stops at another
// step or takes a closed form).
TEST(CarlsonRG, KeepsItsRecordedBits) {
  const auto& pins = test::kCarlsonPins;
  for (std::size_t n = 0; n < std::size(pins); ++n) {
    const auto& pin = pins[n];
    EXPECT_EQ(carlson_RG(pin.x, pin.y, pin.z), pin.RG) << std::hexfloat << pin.x << ", " << pin.y << ", " << pin.z;
    const auto& next = pins[(n + 1) % std::size(pins)];
    const std::array<double, 2> pair = carlson_RG_pair(pin.x, pin.y, pin.z, next.x, next.y, next.z);
    EXPECT_EQ(pair[0], pin.RG) << n;
    EXPECT_EQ(pair[1], next.RG) << n;
    const long double reference = boost::math::ellint_rg(static_cast<long double>(pin.x),
                                                         static_cast<long double>(pin.y),
                                                         static_cast<long double>(pin.z));
    EXPECT_LT(std::abs((pin.RG - reference) / reference), 1e-15L);
  }
}

// The Jeffery sums taken from the duplications of R_G of the same arguments
// are those of their own sequence, to the bit, however the two R_G are
// computed: side by side, the second or the first by a closed form (then the
// Jeffery integrals run alone). Their series about the mean end the sequence
// when R_F and R_D would: 4 steps at 3:2:1, 7 at 10000:100:1.
TEST(JefferyIntegrals, RideOnTheDuplicationsOfRGWithTheBitsOfTheirOwn) {
  const auto bits = [](double v) { return std::bit_cast<std::uint64_t>(v); };
  const std::array<double, 3> triaxial = {1, 4.0 / 9, 1.0 / 9}, needle = {1, 1e-4, 1e-8}, flat = {1, 0.3, 0},
                              spheroid = {0.25, 1, 0.25}, sphere = {1, 1, 1},
                              near_sphere = {1 - 0x1p-52, 1, 1 - 0x1p-51};
  const std::array<double, 3> seconds[] = {{1.0 / 9, 0.25, 1}, {0.5, 2, 2}};
  for (const auto& first : {triaxial, needle, flat, spheroid, sphere, near_sphere}) {
    for (const auto& second : seconds) {
      SCOPED_TRACE(::testing::Message() << first[0] << ", " << first[1] << ", " << first[2] << " with " << second[1]);
      const RGPairWithJeffery both =
          carlson_RG_pair_with_jeffery(first[0], first[1], first[2], second[0], second[1], second[2]);
      const std::array<double, 2> RG = carlson_RG_pair(first[0], first[1], first[2], second[0], second[1], second[2]);
      const JefferyIntegrals alone = carlson_jeffery(first[0], first[1], first[2]);
      EXPECT_EQ(bits(both.RG[0]), bits(RG[0]));
      EXPECT_EQ(bits(both.RG[1]), bits(RG[1]));
      EXPECT_EQ(bits(both.jeffery.RF), bits(alone.RF));
      for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bits(both.jeffery.RD[i]), bits(alone.RD[i])) << i;
        EXPECT_EQ(bits(both.jeffery.DD[i]), bits(alone.DD[i])) << i;
      }
      EXPECT_EQ(both.jeffery.duplications, alone.duplications);
    }
  }
  EXPECT_EQ(carlson_jeffery(triaxial[0], triaxial[1], triaxial[2]).duplications, 4);
  EXPECT_EQ(carlson_jeffery(needle[0], needle[1], needle[2]).duplications, 7);
}

}  // namespace
}  // namespace triex

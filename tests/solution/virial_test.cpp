#include "solution/virial.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "support/edit.hpp"

namespace triex {
namespace {

// The sphere example: ured 8, vs 1 ml/g, M 10000 g/mol; with a charge Z = 10
// at I = 0.1 mol/l.
constexpr VirialInputs kSphere{8.0, 1.0, 10000.0, {}};
constexpr Charge kCharge{10, 0.1};

TEST(SolutionConstants, AreTheStoredValuesToTheBit) {
  EXPECT_EQ(NPI, 3.1415927410125732);
  EXPECT_EQ(kThirdSingle, 0.33329999446868896);
  EXPECT_EQ(kMilliSingle, 0.0010000000474974513);
  EXPECT_EQ(kMicroSingle, 9.999999974752427e-07);
  EXPECT_EQ(NA, 6.0221367e+23);
}

TEST(Solution, ExclusionTermOfTheSphereExample) {
  const Virial v = virial_quantities(kSphere);
  EXPECT_EQ(v.U, 80000.0);
  EXPECT_EQ(edit_E(v.u, 12, 5), " 0.13284E-18");
  EXPECT_NEAR(v.u, 1.32843e-19, 5e-25);
  EXPECT_EQ(v.Bex, 0.0004);
  EXPECT_EQ(v.Bz, 0.0);
  EXPECT_EQ(v.B, 0.0004);
  EXPECT_EQ(v.BM, 4.0);
  EXPECT_NEAR(v.BM2, 40.000002, 1e-6);  // the single-precision 0.001
  EXPECT_NEAR(v.BM2_per_uM, 4.0000002e-05, 1e-12);
  EXPECT_EQ(edit_E(v.BM2, 12, 5), " 0.40000E+02");
}

TEST(Solution, PolyelectrolyteTermOfTheSphereExample) {
  const Polyelectrolyte p = polyelectrolyte_term(kCharge, kSphere.vs, kSphere.molar_mass);
  EXPECT_NEAR(p.kappa, 1.03406e+07, 1e2);
  EXPECT_NEAR(p.radius, 1.58514e-07, 1e-12);
  EXPECT_NEAR(p.factor, 0.614250, 1e-6);
  EXPECT_NEAR(p.Bz, 1.53562e-03, 1e-8);
  EXPECT_EQ(edit_E(p.Bz, 12, 5), " 0.15356E-02");
  VirialInputs charged = kSphere;
  charged.charge = kCharge;
  const Virial v = virial_quantities(charged);
  EXPECT_EQ(v.Bz, p.Bz);
  EXPECT_NEAR(v.B, 1.93562e-03, 1e-8);
  EXPECT_NEAR(v.BM, 19.3562, 1e-4);
  EXPECT_NEAR(v.BM2, 193.562, 1e-3);
  // Left out of B when the exclusion term is not asked for, which then shows as 0.
  const Virial alone = virial_quantities(charged, ExclusionTerm::left_out);
  EXPECT_EQ(alone.Bex, 0.0);
  EXPECT_EQ(alone.B, p.Bz);
  EXPECT_EQ(alone.U, v.U);
}

TEST(Solution, RadiusExponentIsTheSinglePrecisionThirdNotOneThird) {
  const Polyelectrolyte p = polyelectrolyte_term(kCharge, kSphere.vs, kSphere.molar_mass);
  // With the exact third the screening factor would be 0.614707 and the line 0.15368E-02.
  const double rad_third = std::pow(kSphere.vs * kSphere.molar_mass * 3.0 / (NA * NPI * 4.0), 1.0 / 3.0);
  const double kr = p.kappa * rad_third;
  const double factor_third = (1.0 + 2.0 * kr) / ((1.0 + kr) * (1.0 + kr));
  EXPECT_NEAR(factor_third, 0.614707, 1e-6);
  EXPECT_EQ(edit_E(0.0025 * factor_third, 12, 5), " 0.15368E-02");
  EXPECT_EQ(edit_E(p.Bz, 12, 5), " 0.15356E-02");
}

TEST(Solution, NegativeValencyGivesTheSameTermAsItsMagnitude) {
  EXPECT_EQ(polyelectrolyte_term({7.5, 0.05}, 1, 10000).Bz, polyelectrolyte_term({-7.5, 0.05}, 1, 10000).Bz);
}

TEST(Solution, SwollenVolumeFromHydration) {
  EXPECT_NEAR(specific_volume_from_hydration(0.73, 0.35, 1.0), 1.08, 1e-15);
  EXPECT_EQ(edit_F(specific_volume_from_hydration(0.73, 0.35, 1.0), 10, 4), "    1.0800");
}

}  // namespace
}  // namespace triex

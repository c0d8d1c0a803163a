#include "app/solution.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "support/edit.hpp"

namespace triex {
namespace {

// The sphere example: ured 8, vs 1 ml/g, M 10000 g/mol.
RunData sphere_example() {
  RunData run;
  run.URED = 8.0;
  run.VS = 1.0;
  run.MOLMAS = 10000.0;
  molar_covolume(run);
  return run;
}

TEST(SolutionConstants, AreTheStoredValuesToTheBit) {
  EXPECT_EQ(NPI, 3.1415927410125732);
  EXPECT_EQ(kThirdSingle, 0.33329999446868896);
  EXPECT_EQ(kMilliSingle, 0.0010000000474974513);
  EXPECT_EQ(kMicroSingle, 9.999999974752427e-07);
  EXPECT_EQ(NA, 6.0221367e+23);
}

TEST(Solution, ExclusionTermOfTheSphereExample) {
  RunData run = sphere_example();
  EXPECT_EQ(run.MOLVOL, 80000.0);
  EXPECT_EQ(edit_E(run.EXCVOL, 12, 5), " 0.13284E-18");
  EXPECT_NEAR(run.EXCVOL, 1.32843e-19, 5e-25);
  exclusion_term(run);
  EXPECT_EQ(run.BEX, 0.0004);
  run.BZ = 0;
  virial_sum(run);
  virial_products(run);
  EXPECT_EQ(run.VIRIAL, 0.0004);
  EXPECT_EQ(run.BM, 4.0);
  EXPECT_NEAR(run.BMM, 40.000002, 1e-6);      // the single-precision 0.001
  EXPECT_NEAR(run.MICROBMM, 4.0000002e-05, 1e-12);
  EXPECT_EQ(edit_E(run.BMM, 12, 5), " 0.40000E+02");
}

TEST(Solution, PolyelectrolyteTermOfTheSphereExample) {
  RunData run = sphere_example();
  exclusion_term(run);
  run.Z = 10;
  run.IONIC = 0.1;
  polyelectrolyte_term(run);
  EXPECT_NEAR(run.KAPPA, 1.03406e+07, 1e2);
  EXPECT_NEAR(run.RAD, 1.58514e-07, 1e-12);
  EXPECT_NEAR(run.FACTOR, 0.614250, 1e-6);
  EXPECT_NEAR(run.BZ, 1.53562e-03, 1e-8);
  EXPECT_EQ(edit_E(run.BZ, 12, 5), " 0.15356E-02");
  virial_sum(run);
  virial_products(run);
  EXPECT_NEAR(run.VIRIAL, 1.93562e-03, 1e-8);
  EXPECT_NEAR(run.BM, 19.3562, 1e-4);
  EXPECT_NEAR(run.BMM, 193.562, 1e-3);
}

TEST(Solution, RadiusExponentIsTheSinglePrecisionThirdNotOneThird) {
  RunData run = sphere_example();
  run.Z = 10;
  run.IONIC = 0.1;
  polyelectrolyte_term(run);
  // With the exact third the screening factor would be 0.614707 and the line 0.15368E-02.
  const double rad_third = std::pow(run.VS * run.MOLMAS * 3.0 / (NA * NPI * 4.0), 1.0 / 3.0);
  const double kr = run.KAPPA * rad_third;
  const double factor_third = (1.0 + 2.0 * kr) / ((1.0 + kr) * (1.0 + kr));
  EXPECT_NEAR(factor_third, 0.614707, 1e-6);
  EXPECT_EQ(edit_E(0.0025 * factor_third, 12, 5), " 0.15368E-02");
  EXPECT_EQ(edit_E(run.BZ, 12, 5), " 0.15356E-02");
}

TEST(Solution, NegativeValencyGivesTheSameTermAsItsMagnitude) {
  RunData plus = sphere_example(), minus = sphere_example();
  plus.Z = 7.5;
  minus.Z = -7.5;
  plus.IONIC = minus.IONIC = 0.05;
  polyelectrolyte_term(plus);
  polyelectrolyte_term(minus);
  EXPECT_EQ(plus.BZ, minus.BZ);
}

TEST(Solution, SwollenVolumeFromHydration) {
  EXPECT_NEAR(specific_volume_from_hydration(0.73, 0.35, 1.0), 1.08, 1e-15);
  EXPECT_EQ(edit_F(specific_volume_from_hydration(0.73, 0.35, 1.0), 10, 4), "    1.0800");
}

}  // namespace
}  // namespace triex

#include "app/solution.hpp"

#include <cmath>

// The parentheses follow the order of evaluation of each formula; the printed
// digits depend on it.

namespace triex {

double swollen_specific_volume(double VBAR, double HYDRAT, double SOLDEN) { return VBAR + HYDRAT / SOLDEN; }

void molar_covolume(RunData& run) {
  run.MOLVOL = run.VS * (run.MOLMAS * run.URED);
  run.EXCVOL = run.MOLVOL / NA;
}

void exclusion_term(RunData& run) { run.BEX = run.MOLVOL / (2.0 * (run.MOLMAS * run.MOLMAS)); }

void polyelectrolyte_term(RunData& run) {
  // Unscreened: the ionic strength goes from mol/l to mol/ml.
  run.BZ = run.Z * run.Z / (run.MOLMAS * run.MOLMAS * (run.IONIC * 0.001) * 4.0);
  run.KAPPA = std::pow(run.IONIC, 0.5) * kDebye;  // per cm, I in mol/l
  // Radius (cm) of the sphere with the swollen volume vs M / NA of one molecule.
  run.RAD = std::pow(run.VS * run.MOLMAS * 3.0 / (NA * NPI * 4.0), kThirdSingle);
  const double KR = run.KAPPA * run.RAD;
  run.FACTOR = (1.0 + 2.0 * run.KAPPA * run.RAD) / ((1.0 + KR) * (1.0 + KR));
  run.BZ = run.BZ * run.FACTOR;
}

void virial_sum(RunData& run) { run.VIRIAL = run.BEX + run.BZ; }

void virial_products(RunData& run) {
  run.BM = run.MOLMAS * run.VIRIAL;
  run.BMM = run.MOLMAS * run.BM * kMilliSingle;
  run.MICROBMM = run.BMM * kMicroSingle;
}

}  // namespace triex

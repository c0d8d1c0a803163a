#include "solution/virial.hpp"

#include <cmath>

namespace triex {

double specific_volume_from_hydration(double VBAR, double HYDRAT, double SOLDEN) { return VBAR + HYDRAT / SOLDEN; }

double molar_covolume(double VS, double MOLMAS, double URED) { return VS * (MOLMAS * URED); }

double molecular_covolume(double MOLVOL) { return MOLVOL / NA; }

double exclusion_term(double MOLVOL, double MOLMAS) { return MOLVOL / (2.0 * (MOLMAS * MOLMAS)); }

Polyelectrolyte polyelectrolyte_term(double Z, double IONIC, double VS, double MOLMAS) {
  Polyelectrolyte p;
  // Unscreened: the ionic strength goes from mol/l to mol/ml.
  p.BZ = Z * Z / (MOLMAS * MOLMAS * (IONIC * 0.001) * 4.0);
  p.KAPPA = std::pow(IONIC, 0.5) * kDebye;  // per cm, I in mol/l
  p.RAD = std::pow(VS * MOLMAS * 3.0 / (NA * NPI * 4.0), kThirdSingle);
  const double KR = p.KAPPA * p.RAD;
  p.FACTOR = (1.0 + 2.0 * p.KAPPA * p.RAD) / ((1.0 + KR) * (1.0 + KR));
  p.BZ = p.BZ * p.FACTOR;
  return p;
}

double virial_sum(double BEX, double BZ) { return BEX + BZ; }

VirialProducts virial_products(double MOLMAS, double VIRIAL) {
  VirialProducts p;
  p.BM = MOLMAS * VIRIAL;
  p.BMM = MOLMAS * p.BM * kMilliSingle;
  p.MICROBMM = p.BMM * kMicroSingle;
  return p;
}

double ured_from_exclusion_term(double BEX, double VS, double MOLMAS) { return 2.0 * MOLMAS * BEX / VS; }

}  // namespace triex

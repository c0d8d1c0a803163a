#include "solution/virial.hpp"

#include <cmath>

namespace triex {

double specific_volume_from_hydration(double vbar, double hydration, double solvent_density) {
  return vbar + hydration / solvent_density;
}

double molar_covolume(double vs, double molar_mass, double ured) { return vs * (molar_mass * ured); }

double molecular_covolume(double U) { return U / NA; }

double exclusion_term(double U, double molar_mass) { return U / (2.0 * (molar_mass * molar_mass)); }

Polyelectrolyte polyelectrolyte_term(const Charge& charge, double vs, double molar_mass) {
  const double Z = charge.valency, I = charge.ionic_strength;
  Polyelectrolyte p;
  // Unscreened: the ionic strength goes from mol/l to mol/ml.
  p.Bz = Z * Z / (molar_mass * molar_mass * (I * 0.001) * 4.0);
  p.kappa = std::pow(I, 0.5) * kDebye;
  p.radius = std::pow(vs * molar_mass * 3.0 / (NA * NPI * 4.0), kThirdSingle);
  const double KR = p.kappa * p.radius;
  p.factor = (1.0 + 2.0 * p.kappa * p.radius) / ((1.0 + KR) * (1.0 + KR));
  p.Bz = p.Bz * p.factor;
  return p;
}

double virial_sum(double Bex, double Bz) { return Bex + Bz; }

Virial virial_quantities(const VirialInputs& in, ExclusionTerm exclusion) {
  Virial out;
  out.U = molar_covolume(in.vs, in.molar_mass, in.ured);
  out.u = molecular_covolume(out.U);
  out.Bex = exclusion == ExclusionTerm::counted ? exclusion_term(out.U, in.molar_mass) : 0.0;
  out.Bz = in.charge ? polyelectrolyte_term(*in.charge, in.vs, in.molar_mass).Bz : 0.0;
  out.B = virial_sum(out.Bex, out.Bz);
  out.BM = in.molar_mass * out.B;
  out.BM2 = in.molar_mass * out.BM * kMilliSingle;
  out.BM2_per_uM = out.BM2 * kMicroSingle;
  return out;
}

double ured_from_exclusion_term(double Bex, double vs, double molar_mass) { return 2.0 * molar_mass * Bex / vs; }

}  // namespace triex

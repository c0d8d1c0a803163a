#include "solution/hydrodynamics.hpp"

#include <cmath>
#include <numbers>

#include "solution/virial.hpp"

namespace triex {

Predictions predict_measurements(const ShapeFactors& shape, const PredictionInputs& in) {
  constexpr double pi = std::numbers::pi;
  const double eta = in.solvent.viscosity * 0.01;  // mPa s to poise
  const double kT = kBoltzmannCgs * in.solvent.temperature;
  const double volume = in.molar_mass * in.vs / kAvogadro;  // cm^3
  const double R0 = std::cbrt(3 * volume / (4 * pi));       // cm
  const double RS = shape.translation.perrin_ratio * R0;
  const double friction = 6 * pi * eta * RS;

  Predictions out{};
  out.hydrated_volume_angstrom3 = volume * 1e24;
  out.equivalent_radius_angstrom = R0 * 1e8;
  out.stokes_radius_angstrom = RS * 1e8;
  out.D_cm2_per_s = kT / friction;
  if (in.vbar) {
    out.f_over_f0 = shape.translation.perrin_ratio * std::cbrt(in.vs / *in.vbar);
    if (in.solvent.density)
      out.s_svedberg = in.molar_mass * (1 - *in.vbar * *in.solvent.density) / (kAvogadro * friction) / 1e-13;
  }
  out.rg_angstrom = shape.gyration.gyration_ratio * std::sqrt(0.6) * R0 * 1e8;
  out.tau_h_ns = shape.rotation.harmonic_relaxation_time * eta * volume / kT * 1e9;
  out.intrinsic_viscosity_ml_per_g = shape.viscosity_increment * in.vs;
  out.Bex_ml_mol_per_g2 = exclusion_term(molar_covolume(in.vs, in.molar_mass, shape.ured), in.molar_mass);
  return out;
}

}  // namespace triex

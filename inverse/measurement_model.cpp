#include "inverse/measurement_model.hpp"

#include <cmath>

#include "shape/shape_factors.hpp"
#include "solution/virial.hpp"
#include "solution/hydrodynamics.hpp"

namespace triex {

ShapeFactors shape_at(double x, double y) { return exact_shape_factors(std::exp(x + y), std::exp(y), 1.0); }

int information_class(Measurement kind) {
  switch (kind) {
    case Measurement::Sedimentation:
    case Measurement::Diffusion:
    case Measurement::StokesRadius:
      return static_cast<int>(Measurement::StokesRadius);
    default:
      return static_cast<int>(kind);
  }
}

MeasurementModel::MeasurementModel(const FitInputs& in)
    : molar_mass_(in.molar_mass),
      vbar_(in.vbar),
      density_(in.solvent.density.value_or(kDefaultSolventDensity)),
      solvent_(in.solvent),
      charge_(in.charge) {
  solvent_.density = density_;
  if (in.vs)
    known_w_ = std::log(*in.vs);
  else if (in.hydration)
    known_w_ = std::log(specific_volume_from_hydration(vbar_, *in.hydration, density_));
  for (const Datum& d : in.data) {
    kind_.push_back(d.kind);
    log_value_.push_back(std::log(d.value));
    sigma_rel_.push_back(d.sigma / d.value);
  }
}

double MeasurementModel::predicted(Measurement kind, const ShapeFactors& shape, double w) const {
  if (kind == Measurement::Ured) return shape.ured;
  const double vs = std::exp(w);
  const Predictions p = predict_measurements(shape, {molar_mass_, vs, vbar_, solvent_});
  switch (kind) {
    case Measurement::Virial: {
      const double Bz =
          charge_ ? polyelectrolyte_term(*charge_, vs, molar_mass_).Bz : 0.0;
      return virial_sum(p.Bex_ml_mol_per_g2, Bz);
    }
    case Measurement::Sedimentation:
      return *p.s_svedberg;
    case Measurement::Diffusion:
      return p.D_cm2_per_s;
    case Measurement::StokesRadius:
      return p.stokes_radius_angstrom;
    case Measurement::RadiusOfGyration:
      return p.rg_angstrom;
    case Measurement::IntrinsicViscosity:
      return p.intrinsic_viscosity_ml_per_g;
    case Measurement::RelaxationTime:
      return p.tau_h_ns;
    case Measurement::Ured:
      break;
  }
  return shape.ured;
}

void MeasurementModel::residuals(const ShapeFactors& shape, double w, std::span<double> out) const {
  for (int d = 0; d < size(); ++d)
    out[d] = (log_value_[d] - std::log(predicted(kind_[d], shape, w))) / sigma_rel_[d];
}

double MeasurementModel::chi2(const ShapeFactors& shape, double w) const {
  double sum = 0;
  for (int d = 0; d < size(); ++d) {
    const double r = (log_value_[d] - std::log(predicted(kind_[d], shape, w))) / sigma_rel_[d];
    sum += r * r;
  }
  return sum;
}

double MeasurementModel::best_w(const ShapeFactors& shape) const {
  if (known_w_) return *known_w_;
  // Every ln m_model is linear in w with slope kappa (0, 1/3 or 1) but for
  // B(z), whose Debye factor varies slowly with the hydrated radius: one
  // Gauss-Newton step is exact without a charge, a few more converge with it.
  // Slopes by central differences over +-h: exact for the linear terms.
  constexpr double h = 1e-3;
  double w = std::log(vbar_ + 0.35 / density_);  // a typical hydration as the start
  for (int iteration = 0; iteration < 8; ++iteration) {
    double numerator = 0, denominator = 0;
    for (int d = 0; d < size(); ++d) {
      const double model = std::log(predicted(kind_[d], shape, w));
      const double slope =
          (std::log(predicted(kind_[d], shape, w + h)) - std::log(predicted(kind_[d], shape, w - h))) / (2 * h);
      const double weight = 1 / (sigma_rel_[d] * sigma_rel_[d]);
      numerator += weight * slope * (log_value_[d] - model);
      denominator += weight * slope * slope;
    }
    const double step = numerator / denominator;
    w += step;
    if (!charge_ || std::abs(step) < 1e-13) break;
  }
  return w;
}

}  // namespace triex

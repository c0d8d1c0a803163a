// The measurement model of the shape fit: what each datum predicts for an
// ellipsoid with axial ratios exp(x) = a/b, exp(y) = b/c whose hydrated
// particle has the specific volume vs = exp(w).
//
// Every prediction is that of solution/hydrodynamics.hpp from the exact shape
// factors, so that each datum is ln m = phi(x, y) + kappa w + a known constant
// (the hydration-free combinations of two data, such as Scheraga and
// Mandelkern's beta, J. Am. Chem. Soc. 75, 1953, 179, eliminate w):
//   B      phi = ln u_red,        kappa = 1    (plus B(z) of a charge, which grows with vs)
//   [eta]  phi = ln nu,           kappa = 1
//   R_S    phi = ln P,            kappa = 1/3  (also s and D, through Svedberg and Stokes-Einstein)
//   R_g    phi = ln G,            kappa = 1/3
//   tau_h  phi = ln(tau_h/tau0),  kappa = 1
//   u_red  phi = ln u_red,        kappa = 0
// The residual of a datum is (ln m - ln m_model) / sigma_rel, sigma_rel = sigma / m.
// Reentrant: the model holds only its inputs.
#pragma once

#include <span>
#include <vector>

#include "triex/triex.hpp"

namespace triex {

// The shape factors of the ellipsoid exp(x + y) : exp(y) : 1. Any real x and
// y give a valid ellipsoid: negative ones are the mirror images of the
// region a >= b >= c, with the same factors.
ShapeFactors shape_at(double x, double y);

// The measurements that carry the same information about the shape: s, D and
// R_S all measure the Stokes radius.
int information_class(Measurement kind);

class MeasurementModel {
 public:
  // `inputs` must have been checked (fit() does).
  explicit MeasurementModel(const FitInputs& inputs);

  int size() const { return static_cast<int>(kind_.size()); }
  bool hydration_fitted() const { return !known_w_; }
  // ln vs when it is given.
  double known_w() const { return *known_w_; }
  double vbar() const { return vbar_; }
  double solvent_density() const { return density_; }
  double molar_mass() const { return molar_mass_; }

  // The value the datum's measurement would have for this shape at vs = exp(w).
  double predicted(Measurement kind, const ShapeFactors& shape, double w) const;
  // The normalised residuals of all data (out has size() entries).
  void residuals(const ShapeFactors& shape, double w, std::span<double> out) const;
  double chi2(const ShapeFactors& shape, double w) const;
  // The w that minimises chi2 for this shape: the given one, or the fitted one
  // (Gauss-Newton in w: the model is linear in w but for B(z)).
  double best_w(const ShapeFactors& shape) const;
  std::span<const Measurement> kinds() const { return kind_; }
  // The relative standard error of each datum.
  std::span<const double> relative_sigma() const { return sigma_rel_; }

 private:
  double molar_mass_, vbar_, density_;
  Solvent solvent_;
  std::optional<Charge> charge_;
  std::optional<double> known_w_;
  std::vector<Measurement> kind_;
  std::vector<double> log_value_, sigma_rel_;
};

}  // namespace triex

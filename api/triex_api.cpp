// The public library API (include/triex/triex.hpp): checks every value by the
// rules of support/refusal.hpp, refusing it with its Field, then calls the
// shared computation. The front ends check nothing of their own: they show a
// refusal under their label of its field.
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "triex/triex.hpp"
#include "shape/closed_form.hpp"
#include "shape/shape_factors.hpp"
#include "shape/shape_section.hpp"
#include "inverse/solve.hpp"
#include "solution/virial.hpp"
#include "solution/hydrodynamics.hpp"
#include "support/refusal.hpp"

namespace triex {
namespace {

void require_semi_axes(double a, double b, double c) {
  require(not_positive(Field::a, a));
  require(not_positive(Field::b, b));
  require(not_positive(Field::c, c));
}

// The semi-axes of a shape whose hydrodynamic and scattering factors are
// wanted, refused under the longest when too elongated.
void require_shape_factor_axes(double a, double b, double c) {
  require_semi_axes(a, b, c);
  const Field longest = a >= b && a >= c ? Field::a : b >= c ? Field::b : Field::c;
  require(too_elongated_for_shape_factors(longest, a, b, c));
}

// The dialogue's rule for axial ratios: c is the unit of length, b = b/c and
// a = (a/b)(b/c), which must itself be a positive finite number.
struct SemiAxes {
  double a, b, c;
};
SemiAxes semi_axes_from_ratios(double a_over_b, double b_over_c) {
  require(not_positive(Field::a_over_b, a_over_b));
  require(not_positive(Field::b_over_c, b_over_c));
  const double a = a_over_b * b_over_c;
  require(not_positive(Field::a_over_b, a, kDerivedA));
  return {a, b_over_c, 1.0};
}

void require_charge(const std::optional<Charge>& charge) {
  if (!charge) return;
  require(not_finite(Field::valency, charge->valency));
  require(not_positive(Field::ionic_strength, charge->ionic_strength));
}

// The integrals' results, with the dialogue's verdict on URED against the closed form.
QuadratureResult from_section(const ShapeQuadrature& q, double a, double b, double c) {
  return {q.URED, q.S, q.R, q.NPTS_S, q.NPTS_R, q.IFAIL_S, q.IFAIL_R, checked_ured(q.URED, a, b, c).replaced};
}

}  // namespace

double ured(double a, double b, double c) {
  require_semi_axes(a, b, c);
  return closed_form_ured(a, b, c);
}

double ured_ratios(double a_over_b, double b_over_c) {
  const SemiAxes s = semi_axes_from_ratios(a_over_b, b_over_c);
  return closed_form_ured(s.a, s.b, s.c);
}

ShapeFunctions shape_functions(double a, double b, double c) {
  require_semi_axes(a, b, c);
  const ClosedFormShape s = closed_form_shape(a, b, c);
  return {s.volume, s.surface, s.mean_radius};
}

double mixture_excluded_volume(const ShapeFunctions& first, const ShapeFunctions& second) {
  for (const ShapeFunctions* s : {&first, &second}) {
    // The V and S of a tiny particle underflow to 0, yet u12 may be a normal number.
    require(not_non_negative(Field::volume, s->volume));
    require(not_non_negative(Field::surface, s->surface));
    require(not_non_negative(Field::mean_radius, s->mean_radius));
  }
  return closed_form_mixture({first.volume, first.surface, first.mean_radius},
                             {second.volume, second.surface, second.mean_radius});
}

QuadratureResult quadrature(double a, double b, double c) {
  require_semi_axes(a, b, c);
  return from_section(reduced_excluded_volume(a, b, c), a, b, c);
}

QuadratureResult quadrature_ratios(double a_over_b, double b_over_c) {
  const SemiAxes s = semi_axes_from_ratios(a_over_b, b_over_c);
  return from_section(reduced_excluded_volume(s.a, s.b, s.c), s.a, s.b, s.c);
}

double swollen_specific_volume(double vbar, double hydration, double solvent_density) {
  require(not_finite(Field::hydration, hydration));
  require(not_positive(Field::solvent_density, solvent_density));
  require(not_finite(Field::vbar, vbar));
  const double vs = specific_volume_from_hydration(vbar, hydration, solvent_density);
  require(not_positive(Field::hydration, vs, kDerivedVs));
  return vs;
}

Virial virial(const VirialInputs& in) {
  require(not_positive(Field::ured, in.ured));
  require(not_positive(Field::vs, in.vs));
  require(not_a_molar_mass(Field::molar_mass, in.molar_mass));
  require_charge(in.charge);
  return virial_quantities(in);
}

double largest_solvable_ured() { return largest_ured_within_ratio_limit(); }

std::vector<AxialRatios> solve(double X, int points) {
  const std::string subject = "ured = " + shortest(X);
  if (std::isnan(X)) throw Refusal(Field::ured, subject, "must be a number");
  if (X < 8.0) throw Refusal(Field::ured, subject, "is below 8, the sphere's: no ellipsoid has it");
  if (X == 8.0) return {{1.0, 1.0}};
  if (points < 2) throw Refusal(Field::points, "points = " + std::to_string(points), "must be at least 2");
  const double largest = largest_ured_within_ratio_limit();
  if (!(X <= largest))
    throw Refusal(Field::ured, subject,
                  "is beyond the supported range: axial ratios up to " + shortest(kMaxSolveRatio) +
                      " reach ured = " + shortest(largest));
  return ured_level_curve(X, points);
}

double ured_from_virial(double B, double vs, double molar_mass, std::optional<Charge> charge) {
  require(not_finite(Field::B, B));
  require(not_positive(Field::vs, vs));
  require(not_a_molar_mass(Field::molar_mass, molar_mass));
  require_charge(charge);
  const double Bz = charge ? polyelectrolyte_term(*charge, vs, molar_mass).Bz : 0.0;
  return ured_from_exclusion_term(B - Bz, vs, molar_mass);
}

ShapeFactors shape_factors(double a, double b, double c) {
  require_shape_factor_axes(a, b, c);
  return exact_shape_factors(a, b, c);
}

ShapeFactors shape_factors_ratios(double a_over_b, double b_over_c) {
  const SemiAxes s = semi_axes_from_ratios(a_over_b, b_over_c);
  require(too_elongated_for_shape_factors(Field::a_over_b, s.a, s.b, s.c));
  return exact_shape_factors(s.a, s.b, s.c);
}

TranslationalFriction translational_friction(double a, double b, double c) {
  require_shape_factor_axes(a, b, c);
  return exact_translational_friction(a, b, c);
}

Gyration gyration(double a, double b, double c) {
  require_semi_axes(a, b, c);
  return exact_gyration(a, b, c);
}

RotationalDiffusion rotational_diffusion(double a, double b, double c) {
  require_shape_factor_axes(a, b, c);
  return exact_rotational_diffusion(a, b, c);
}

double viscosity_increment(double a, double b, double c) {
  require_shape_factor_axes(a, b, c);
  return exact_viscosity_increment(a, b, c);
}

Predictions predict(const ShapeFactors& shape, const PredictionInputs& in) {
  require(not_a_molar_mass(Field::molar_mass, in.molar_mass));
  require(not_positive(Field::vs, in.vs));
  if (in.vbar) require(not_positive(Field::vbar, *in.vbar));
  require(not_positive(Field::viscosity, in.solvent.viscosity));
  require(not_positive(Field::temperature, in.solvent.temperature));
  if (in.solvent.density) require(not_positive(Field::solvent_density, *in.solvent.density));
  return predict_measurements(shape, in);
}

}  // namespace triex

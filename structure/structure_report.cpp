#include "structure/structure_report.hpp"

#include <cmath>
#include <numbers>
#include <stdexcept>

namespace triex {
namespace {

bool predicts(const StructureInputs& inputs) { return inputs.molar_mass.has_value(); }

PredictionInputs prediction_inputs(const StructureInputs& inputs) {
  return {*inputs.molar_mass, *inputs.vs, inputs.vbar, inputs.solvent};
}

}  // namespace

void check_structure_inputs(const StructureInputs& inputs) {
  if (inputs.molar_mass.has_value() != inputs.vs.has_value())
    throw std::invalid_argument(inputs.molar_mass ? "a molar mass needs vs (or the hydration) for the predictions"
                                                  : "vs needs a molar mass for the predictions");
  // The library's own checks of every value, on the sphere: the same words as for any shape.
  if (predicts(inputs)) predict(shape_factors(1, 1, 1), prediction_inputs(inputs));
  else if (inputs.vbar) throw std::invalid_argument("vbar needs a molar mass and vs for the predictions");
}

std::vector<std::string> structure_columns(const StructureInputs& inputs) {
  std::vector<std::string> columns = {
      "model_molar_mass_g_per_mol", "rg_atoms_angstrom", "a_angstrom", "b_angstrom", "c_angstrom",
      "ellipsoid_volume_angstrom3", "a_over_b", "b_over_c", "axis_a_x", "axis_a_y", "axis_a_z", "axis_b_x", "axis_b_y", "axis_b_z",
      "axis_c_x", "axis_c_y", "axis_c_z", "ured", "perrin_ratio", "gyration_ratio",
      "rotational_friction_1", "rotational_friction_2", "rotational_friction_3",
      "relaxation_time_1", "relaxation_time_2", "relaxation_time_3", "relaxation_time_4", "relaxation_time_5",
      "harmonic_relaxation_time", "viscosity_increment"};
  if (!predicts(inputs)) return columns;
  for (const char* name : {"molar_mass_g_per_mol", "vs_ml_per_g", "hydrated_volume_angstrom3",
                           "a_hydrated_angstrom", "b_hydrated_angstrom", "c_hydrated_angstrom",
                           "stokes_radius_angstrom", "D_cm2_per_s"})
    columns.emplace_back(name);
  if (inputs.vbar && inputs.solvent.density) columns.emplace_back("s_svedberg");
  if (inputs.vbar) columns.emplace_back("f_over_f0");
  for (const char* name : {"rg_angstrom", "tau_h_ns", "intrinsic_viscosity_ml_per_g", "Bex_ml_mol_per_g2"})
    columns.emplace_back(name);
  return columns;
}

std::vector<double> structure_values(const StructureModel& model, const StructureInputs& inputs) {
  const EquivalentEllipsoid& e = model.ellipsoid;
  const double a = e.semi_axes[0], b = e.semi_axes[1], c = e.semi_axes[2];
  const ShapeFactors f = shape_factors(a, b, c);
  std::vector<double> v = {model.molar_mass, e.radius_of_gyration, a, b, c, f.geometry.volume, a / b, b / c};
  for (const auto& direction : e.directions) v.insert(v.end(), direction.begin(), direction.end());
  v.push_back(f.ured);
  v.push_back(f.translation.perrin_ratio);
  v.push_back(f.gyration.gyration_ratio);
  v.insert(v.end(), f.rotation.rotational_friction.begin(), f.rotation.rotational_friction.end());
  v.insert(v.end(), f.rotation.relaxation_times.begin(), f.rotation.relaxation_times.end());
  v.push_back(f.rotation.harmonic_relaxation_time);
  v.push_back(f.viscosity_increment);
  if (!predicts(inputs)) return v;

  const Predictions p = predict(f, prediction_inputs(inputs));
  // The same axial ratios at the hydrated volume: every axis times the cube
  // root of the ratio of the volumes.
  const double scale = std::cbrt(p.hydrated_volume_angstrom3 / f.geometry.volume);
  for (const double x : {*inputs.molar_mass, *inputs.vs, p.hydrated_volume_angstrom3, scale * a, scale * b,
                         scale * c, p.stokes_radius_angstrom, p.D_cm2_per_s})
    v.push_back(x);
  if (inputs.vbar && inputs.solvent.density) v.push_back(*p.s_svedberg);
  if (inputs.vbar) v.push_back(*p.f_over_f0);
  for (const double x : {p.rg_angstrom, p.tau_h_ns, p.intrinsic_viscosity_ml_per_g, p.Bex_ml_mol_per_g2})
    v.push_back(x);
  return v;
}

}  // namespace triex

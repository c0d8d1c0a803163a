#include "cli/hydrodynamic_cells.hpp"

#include <optional>

namespace triex::cli {

const std::vector<std::string>& shape_factor_columns() {
  static const std::vector<std::string> columns = {
      "stokes_radius",         "perrin_ratio",          "radius_of_gyration",    "gyration_ratio",
      "rotational_friction_1", "rotational_friction_2", "rotational_friction_3", "relaxation_time_1",
      "relaxation_time_2",     "relaxation_time_3",     "relaxation_time_4",     "relaxation_time_5",
      "harmonic_relaxation_time", "viscosity_increment", "ured"};
  return columns;
}

void shape_factor_cells(const ShapeFactors& f, std::vector<Cell>& cells) {
  for (const double x : {f.translation.stokes_radius, f.translation.perrin_ratio, f.gyration.radius_of_gyration,
                         f.gyration.gyration_ratio})
    cells.emplace_back(x);
  cells.insert(cells.end(), f.rotation.rotational_friction.begin(), f.rotation.rotational_friction.end());
  cells.insert(cells.end(), f.rotation.relaxation_times.begin(), f.rotation.relaxation_times.end());
  for (const double x : {f.rotation.harmonic_relaxation_time, f.viscosity_increment, f.ured}) cells.emplace_back(x);
}

const std::vector<std::string>& prediction_columns() {
  static const std::vector<std::string> columns = {
      "s_svedberg", "D_cm2_per_s", "stokes_radius_angstrom", "f_over_f0", "rg_angstrom", "tau_h_ns",
      "intrinsic_viscosity_ml_per_g"};
  return columns;
}

void prediction_cells(const Predictions& p, std::vector<Cell>& cells) {
  // An empty cell for a quantity whose inputs are missing.
  const auto optional_cell = [&cells](const std::optional<double>& value) {
    if (value) cells.emplace_back(*value);
    else cells.emplace_back(std::monostate{});
  };
  optional_cell(p.s_svedberg);
  for (const double x : {p.D_cm2_per_s, p.stokes_radius_angstrom}) cells.emplace_back(x);
  optional_cell(p.f_over_f0);
  for (const double x : {p.rg_angstrom, p.tau_h_ns, p.intrinsic_viscosity_ml_per_g}) cells.emplace_back(x);
}

}  // namespace triex::cli

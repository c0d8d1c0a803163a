// The hydrodynamic and scattering shape factors of one shape, and the
// measurements they predict for a molecule, as the columns and cells of the
// commands' rows (triex shape, triex batch). One list of names for both.
#pragma once

#include <string>
#include <vector>

#include "cli/output.hpp"
#include "triex/triex.hpp"

namespace triex::cli {

// stokes_radius, perrin_ratio, radius_of_gyration, gyration_ratio,
// rotational_friction_1..3, relaxation_time_1..5, harmonic_relaxation_time,
// viscosity_increment, ured: the factors of ShapeFactors, dimensionless
// except the two radii (in the unit of the semi-axes).
const std::vector<std::string>& shape_factor_columns();
void shape_factor_cells(const ShapeFactors& factors, std::vector<Cell>& cells);

// s_svedberg, D_cm2_per_s, stokes_radius_angstrom, f_over_f0, rg_angstrom,
// tau_h_ns, intrinsic_viscosity_ml_per_g: the predicted measurements; s and
// f/f0 are empty cells when their inputs (vbar, and rho for s) are missing.
const std::vector<std::string>& prediction_columns();
void prediction_cells(const Predictions& predictions, std::vector<Cell>& cells);

}  // namespace triex::cli

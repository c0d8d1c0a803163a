// What a structure's equivalent ellipsoid says, as one list of named
// quantities shared by the command line (its columns) and the Python
// package (its keys): the ellipsoid and its dimensionless shape factors
// always; with a molar mass and a swollen specific volume, the hydrated
// ellipsoid (the same axial ratios at the volume M vs / NA) and the
// measurements it predicts.
//
// The ellipsoid of inertia's own volume is reported beside them: a compact
// molecule's is near its anhydrous volume M vbar / NA, one with a cleft, a
// pore or loose arms has a larger one (the same mass spread further out),
// and then the hydrated ellipsoid, smaller, has a smaller R_g than the atoms.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "structure/structure_file.hpp"
#include "triex/triex.hpp"

namespace triex {

struct StructureInputs {
  std::optional<double> molar_mass;  // M, g/mol, as the user gives it (not the model's)
  std::optional<double> vs;          // swollen specific volume, ml/g
  std::optional<double> vbar;        // partial specific volume, ml/g
  Solvent solvent;
};

// Throws std::invalid_argument, in the library's words, for an input that
// has no meaning, or for a molar mass without vs or vs without a molar mass.
void check_structure_inputs(const StructureInputs& inputs);

// The names of the quantities structure_values() gives for these inputs, in
// its order: after the file name and the atom count, which the front ends add.
std::vector<std::string> structure_columns(const StructureInputs& inputs);

// The quantities of the model's ellipsoid, in the order of structure_columns().
std::vector<double> structure_values(const StructureModel& model, const StructureInputs& inputs);

}  // namespace triex

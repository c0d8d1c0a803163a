// The molecules of `triex batch`: which columns of the CSV header hold
// which data, and one row's results, computed by the library with the same
// formulas and constants as the dialogue's report and refused by the same
// rules.
//
// Columns, in any order: name (optional); the shape as a_angstrom,
// b_angstrom, c_angstrom or a_over_b, b_over_c; vs_ml_per_g, or all of
// hydration_g_per_g, solvent_density_g_per_ml, vbar_ml_per_g;
// molar_mass_g_per_mol; optionally valency with ionic_strength_mol_per_l.
// Other columns are carried along as text.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/evaluate.hpp"
#include "cli/output.hpp"

namespace triex::cli {

// What is wrong, and the column it is wrong in (empty when it concerns no one column).
struct ColumnProblem {
  std::string column;
  std::string what;
};

// The place of each datum among the cells of a row.
struct BatchLayout {
  std::vector<std::string> header;
  bool semi_axes = true;               // a, b, c in Angstrom; otherwise the axial ratios
  std::vector<std::size_t> shape;      // a, b, c or a/b, b/c
  bool vs_given = true;                // vs typed; otherwise from the hydration data
  std::vector<std::size_t> volume;     // vs, or hydration, solvent density, vbar
  std::size_t molar_mass = 0;
  std::optional<std::size_t> valency, ionic_strength;
  std::vector<bool> numeric;           // per column: a number this command reads
};

// The layout of the header's cells, or what is wrong with the header.
std::optional<ColumnProblem> read_layout(const std::vector<std::string>& header, BatchLayout& layout);

// The columns of the output rows: the input columns, the method's columns, then the report's quantities.
std::vector<std::string> output_columns(const BatchLayout& layout, Method method);

struct BatchRow {
  std::vector<Cell> cells;                 // when the row was computed
  std::optional<ColumnProblem> problem;    // when it was refused
  bool converged = true;                   // false when a quadrature did not converge
};

// One row of cells (as many as the header has) to its output cells.
BatchRow compute_row(const BatchLayout& layout, const std::vector<std::string>& cells, Method method);

}  // namespace triex::cli

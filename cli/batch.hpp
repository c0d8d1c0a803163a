// The molecules of `triex batch`: one row's results, computed by the library
// with the same formulas and constants as the dialogue's report and refused
// by the same rules, and the columns they are written in. Which column of the
// file holds which datum is the header's business (cli/batch_header.hpp).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "cli/batch_header.hpp"
#include "cli/evaluate.hpp"
#include "cli/output.hpp"

namespace triex::cli {

// The names of the columns batch computes under any method, as a header may
// bring them back (vs_ml_per_g aside: it is also a datum).
std::vector<std::string> result_columns();

// The columns of the output rows: the input columns (those computed again
// left out), the method's columns, then the report's quantities.
std::vector<std::string> output_columns(const BatchLayout& layout, Method method);

struct BatchRow {
  std::vector<Cell> cells;                 // when the row was computed
  std::optional<ColumnProblem> problem;    // when it was refused
  ShapeValues shape;                       // the shape's u_red by the method
};

// Whether every cell is empty or blanks: a row that spreadsheets write and
// that gives nothing.
bool blank_row(const std::vector<std::string>& cells);

// One row of cells (as many as the header has, and any more only blank) to
// its output cells. With `decimal_comma` numbers may have a comma for their
// decimal point.
BatchRow compute_row(const BatchLayout& layout, const std::vector<std::string>& cells, Method method,
                     bool decimal_comma = false);

}  // namespace triex::cli

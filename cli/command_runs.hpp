// The commands once their arguments are parsed. Each writes its rows to
// standard output or to the file of -o, its diagnostics to standard error,
// and returns how it ended:
//   Done                    every row was computed and written;
//   QuadraturePlainlyWrong  the quadrature's value is plainly wrong for some
//      shape (not finite, or further than 1e-4 relative from the closed
//      form): its row is written and standard error says so. Failure codes
//      alone, in their columns, get one note on standard error and end Done;
//   Refused                 a row or a file was refused (each named on
//      standard error), the others written.
// What ends a command early (refused arguments, input that cannot be read,
// output that cannot be written) is thrown as a CommandError, or as the
// library's std::invalid_argument, for the dispatcher to report.
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/evaluate.hpp"
#include "cli/output.hpp"
#include "cli/values.hpp"
#include "cli/command_error.hpp"
#include "support/exit_status.hpp"

namespace triex::cli {

struct Streams {
  std::istream& in;   // for `batch -`
  Sink& out;          // standard output
  std::ostream& err;  // standard error
  bool err_is_terminal = false;  // progress is shown only then
  // Why reading `in` failed (an errno value), 0 when it did not; null when it cannot tell.
  int (*read_error)(const std::istream&) = nullptr;
};

struct CommonOptions {
  Method method = Method::Exact;
  Format format = Format::Csv;
  std::string output;  // -o FILE; empty for standard output
  unsigned threads = 1;
};

struct UredOptions {
  std::vector<std::string> axes;    // a, b, c
  std::vector<std::string> ratios;  // a/b, b/c
};
Outcome run_ured(const UredOptions& options, const CommonOptions& common, Streams& streams);

struct ShapeOptions {
  std::vector<std::string> axes;    // a, b, c
  std::vector<std::string> ratios;  // a/b, b/c
  // The molecule and its solution, for the predicted measurements.
  std::optional<std::string> molar_mass, vs, hydration, solvent_density, vbar, viscosity, temperature;
};
Outcome run_shape(const ShapeOptions& options, const CommonOptions& common, Streams& streams);

struct TableOptions {
  std::string ab, bc;  // LO:HI:N
  Spacing spacing = Spacing::Log;
};
Outcome run_table(const TableOptions& options, const CommonOptions& common, Streams& streams);

struct BatchOptions {
  std::string file;  // "-" for standard input
  char output_separator = ',';  // ';': semicolons, and decimal commas in numbers
};
Outcome run_batch(const BatchOptions& options, const CommonOptions& common, Streams& streams);

struct SolveOptions {
  std::optional<std::string> ured, virial, molar_mass, vs, hydration, solvent_density, vbar, valency, ionic_strength;
  int points = 50;
};
Outcome run_solve(const SolveOptions& options, const CommonOptions& common, Streams& streams);

}  // namespace triex::cli

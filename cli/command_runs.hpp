// The commands once their arguments are parsed. Each writes its rows to
// standard output or to the file of -o, its diagnostics to standard error,
// and returns the exit status:
//   0  every row was computed and written;
//   1  the quadrature's value is plainly wrong for some shape (not finite,
//      or further than 1e-4 relative from the closed form): its row is
//      written and standard error says so. Failure codes alone, in their
//      columns, get one note on standard error and leave the status 0;
//   2  a value, a row or a file was refused (the reason on standard error);
//   3  the output could not be written (nothing is left under the -o name).
#pragma once

#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/evaluate.hpp"
#include "cli/output.hpp"
#include "cli/values.hpp"
#include "support/exit_status.hpp"

namespace triex::cli {

using triex::kStatusQuadratureWrong;
using triex::kStatusRefused;
using triex::kStatusWriteFailed;

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
int run_ured(const UredOptions& options, const CommonOptions& common, Streams& streams);

struct ShapeOptions {
  std::vector<std::string> axes;    // a, b, c
  std::vector<std::string> ratios;  // a/b, b/c
  // The molecule and its solution, for the predicted measurements.
  std::optional<std::string> molar_mass, vs, hydration, solvent_density, vbar, viscosity, temperature;
};
int run_shape(const ShapeOptions& options, const CommonOptions& common, Streams& streams);

struct TableOptions {
  std::string ab, bc;  // LO:HI:N
  Spacing spacing = Spacing::Log;
};
int run_table(const TableOptions& options, const CommonOptions& common, Streams& streams);

struct BatchOptions {
  std::string file;  // "-" for standard input
  char output_separator = ',';  // ';': semicolons, and decimal commas in numbers
};
int run_batch(const BatchOptions& options, const CommonOptions& common, Streams& streams);

struct SolveOptions {
  std::optional<std::string> ured, virial, molar_mass, vs, hydration, solvent_density, vbar, valency, ionic_strength;
  int points = 50;
};
int run_solve(const SolveOptions& options, const CommonOptions& common, Streams& streams);

}  // namespace triex::cli

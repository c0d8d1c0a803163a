// One shape's reduced excluded volume by the chosen method, as the cells the
// commands write: the exact closed form (ured_exact), the dialogue's
// quadrature (ured_quadrature with its evaluation counts and failure codes),
// or both with their relative difference.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/output.hpp"
#include "support/exit_status.hpp"
#include "triex/triex.hpp"

namespace triex::cli {

enum class Method { Exact, Quadrature, Both };

struct ShapeValues {
  double exact = 0;
  QuadratureResult quadrature{};
};

// The shape as semi-axes or as axial ratios (c = 1, b = b/c, a = (a/b)(b/c)).
// Throws std::invalid_argument for a shape that has no meaning.
ShapeValues evaluate_axes(double a, double b, double c, Method method);
ShapeValues evaluate_ratios(double a_over_b, double b_over_c, Method method);

// The columns of the method, in the order method_cells() gives them.
std::vector<std::string> method_columns(Method method);
void method_cells(const ShapeValues& values, Method method, std::vector<Cell>& cells);

// The u_red that further quantities use: the exact one, unless only the quadrature was asked for.
double chosen_ured(const ShapeValues& values, Method method);

// How the quadratures of a run went. A failure code says that a rule stopped
// short of its requested accuracy, and the value is then most often still
// close to the closed form; a value is plainly wrong by the dialogue's own
// rule (QuadratureResult::plainly_wrong).
struct QuadratureTally {
  std::size_t shapes = 0, failure_codes = 0, plainly_wrong = 0;
  void add(const ShapeValues& values, Method method);
};
// Whether the method ran the quadrature and its value is plainly wrong.
bool plainly_wrong(const ShapeValues& values, Method method);
// The words for a plainly wrong value, for a message.
std::string plainly_wrong_rule();
// One line on `err` for the failure codes and one for plainly wrong values,
// where there are any ("triex COMMAND: ..."). Returns QuadraturePlainlyWrong
// when some value is plainly wrong, else Done.
Outcome quadrature_status(std::ostream& err, std::string_view command, const QuadratureTally& tally);

}  // namespace triex::cli

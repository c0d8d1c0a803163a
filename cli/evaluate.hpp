// One shape's reduced excluded volume by the chosen method, as the cells the
// commands write: the exact closed form (ured_exact), the dialogue's
// quadrature (ured_quadrature with its evaluation counts and failure codes),
// or both with their relative difference.
#pragma once

#include <string>
#include <vector>

#include "cli/output.hpp"
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
// False when the method ran the quadrature and one of its integrations did not converge.
bool quadrature_converged(const ShapeValues& values, Method method);

}  // namespace triex::cli

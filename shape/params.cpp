#include "shape/params.hpp"

namespace triex {

Params from_semi_axes(double a, double b, double c) { return {.C = c, .B = b, .A = a}; }

Params from_axial_ratios(double N1, double N2) { return {.C = 1.0, .B = N2, .A = N1 * N2}; }

}  // namespace triex

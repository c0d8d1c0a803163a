#include "shape/params.hpp"

namespace triex {

Params PARAMS;

void set_semi_axes(double a, double b, double c) {
  PARAMS.A = a;
  PARAMS.B = b;
  PARAMS.C = c;
  PARAMS.NN = 0;
}

void set_axial_ratios(double N1, double N2) {
  PARAMS.C = 1.0;
  PARAMS.B = N2;
  PARAMS.A = N1 * N2;
  PARAMS.NN = 0;
}

}  // namespace triex

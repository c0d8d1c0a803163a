// PARAMS: the shape of the triaxial ellipsoid shared by the main program and
// the call-backs (the quadrature routines pass only the integration
// variables), the selector of the one-dimensional integrand, and the
// workspace of the infinite-range integrator.
#pragma once

#include <array>

namespace triex {

struct Params {
  double C = 0;  // third semi-axis: the polar axis of the angles of FYS and FYR
  double B = 0;  // second semi-axis, at azimuth 90 degrees
  double A = 0;  // first semi-axis, at azimuth 0
  int NN = 0;    // which of the ten integrands FUN returns, 1 to 10
  std::array<int, 500> IW{};
  std::array<double, 2000> W{};
};

extern Params PARAMS;

// The shape rule. Semi-axes are taken as typed (in any order); axial ratios
// a/b and b/c give the ellipsoid with c as the unit of length: C = 1,
// B = b/c, A = (a/b)(b/c). Either way NN is reset for the shape section.
void set_semi_axes(double a, double b, double c);
void set_axial_ratios(double N1, double N2);

}  // namespace triex

// The shape functions of a triaxial ellipsoid in closed form, by Carlson's
// completely symmetric elliptic integral of the second kind
//   R_G(x, y, z) = (1 / 4 pi) * integral over the unit sphere of
//                  sqrt(x s1^2 + y s2^2 + z s3^2) dOmega
// (B. C. Carlson, "Numerical computation of real or complex elliptic
// integrals", Numer. Algorithms 10, 1995, 13-26; DLMF 19.16.3 and 19.33).
//
// For semi-axes a, b, c:
//   volume                       V = (4 pi / 3) a b c
//   surface area                 S = 4 pi R_G(a^2 b^2, b^2 c^2, c^2 a^2)
//   mean radius of curvature     R = R_G(a^2, b^2, c^2), the mean over all
//                                directions of the support function
//   reduced excluded volume      u_red = 2 + 2 R S / V
//                                      = 2 + 6 R_G(a^2, b^2, c^2) R_G(a^-2, b^-2, c^-2)
// The last form follows from S = 4 pi a b c R_G(a^-2, b^-2, c^-2) (the surface
// as the integral of the support function's reciprocal). The excluded volume
// of two convex bodies averaged over their orientations is
//   u12 = V1 + V2 + R1 S2 + R2 S1
// (Isihara, J. Chem. Phys. 18, 1950, 1446; Kihara, Rev. Mod. Phys. 25, 1953,
// 831), so that u11 = 2 V + 2 R S = u_red V.
//
// The functions take positive finite semi-axes in any order and any unit;
// checking them is the caller's (the public API checks and refuses). Every
// function scales the semi-axes to the largest before squaring; a square that
// still underflows is negligible against 1 and R_G takes its limiting form.
// So V, S, R and u_red hold a few ulps over the whole range of doubles
// wherever the true value is a double (subnormal values to a few units in
// their last place), and are inf exactly where the true value overflows.
// They share no state and may run in any number of threads at once.
#pragma once

#include <array>

namespace triex {

struct ClosedFormShape {
  double volume;       // V
  double surface;      // S
  double mean_radius;  // R, the mean radius of curvature
};

struct ClosedFormEllipsoid {
  double ured;
  ClosedFormShape shape;
};

// u_red, V, S and R from two R_G sequences; the two functions below are its parts.
ClosedFormEllipsoid closed_form_ellipsoid(double a, double b, double c);
// closed_form_ellipsoid in two halves, for a caller that runs the two R_G
// sequences itself (the hydrodynamic shape factors, whose Jeffery integrals
// ride on the first): the semi-axes sorted and the arguments of the two R_G,
// and what follows from their values.
struct ClosedFormArguments {
  double large, middle, small;
  std::array<double, 3> direct;      // (1, (b/a)^2, (c/a)^2): R_G of the squared semi-axes over a^2
  std::array<double, 3> reciprocal;  // ((c/a)^2, (c/b)^2, 1): R_G of their reciprocals times c^2
};
ClosedFormArguments closed_form_arguments(double a, double b, double c);
ClosedFormEllipsoid closed_form_from_RG(const ClosedFormArguments& arguments, double direct, double reciprocal);
double closed_form_ured(double a, double b, double c);
ClosedFormShape closed_form_shape(double a, double b, double c);
// u12 of two ellipsoids from their shape functions.
double closed_form_mixture(const ClosedFormShape& first, const ClosedFormShape& second);

}  // namespace triex

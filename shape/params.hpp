// The semi-axes of the triaxial ellipsoid from the dialogue's two ways of
// entering a shape.
#pragma once

namespace triex {

struct Params {
  double C = 0;  // third semi-axis: the polar axis of the angles of FYS and FYR
  double B = 0;  // second semi-axis, at azimuth 90 degrees
  double A = 0;  // first semi-axis, at azimuth 0
};

// Semi-axes are taken as typed (in any order); axial ratios a/b and b/c give
// the ellipsoid with c as the unit of length: C = 1, B = b/c, A = (a/b)(b/c).
Params from_semi_axes(double a, double b, double c);
Params from_axial_ratios(double N1, double N2);

}  // namespace triex

// The call-backs that the main program hands to the quadrature routines. They
// read the shape from PARAMS.
//
// FUN(X), NN = 1..10: the integrands of the ten ellipsoid integrals over
// lambda in [0, inf), with Delta = sqrt((A^2+X)(B^2+X)(C^2+X)).
//
// FYS(X, Y), FYR(X, Y): X is the elevation of a direction above the A-B plane,
// Y its azimuth from the A axis towards the B axis. Over the octant
// [0, pi/2]^2, FYS integrates to 3/8 of the surface area of the ellipsoid and
// FYR to 3/8 of the integral of the mean curvature over the surface (4 pi
// times the mean radius of curvature). DEL is the distance from the centre to
// the surface along the direction.
//
// YLOW, YUP: the inner limits 0 and 1.570795 (= 3.14159 / 2, matching the
// value of pi used by the shape section).
#pragma once

namespace triex {

double FUN(double X);
double FYS(double X, double Y);
double FYR(double X, double Y);
double YLOW(double DUMMY);
double YUP(double DUMMY);

inline constexpr double kHalfPi = 1.570795;  // 3.14159 / 2, not pi / 2 to full precision

}  // namespace triex

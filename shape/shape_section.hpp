// The shape section of a run: from the semi-axes to the reduced excluded
// volume of the ellipsoid.
//
// First the ten one-dimensional ellipsoid integrals ALPHA(1..10) over
// [0, inf), Jeffery's integrals of the ellipsoid (their values feed no
// result). Then the surface area S and the mean
// radius of curvature R as double integrals over one octant of directions,
// and URED = 2 + 2 R S / V with V = (4 pi / 3) A B C, the excluded volume of
// the particle (2V + 2RS, the Minkowski/Isihara result for convex bodies)
// divided by its own volume: 8 for a sphere.
//
// Throughout, pi is taken as 3.14159: the upper angle 1.570795 and the
// constants 9.42477 (3 pi) and 12.56636 (4 pi) use the same truncated value,
// which makes a sphere come out at 8 to within about 1e-11.
#pragma once

#include <array>

#include "shape/integrands.hpp"
#include "shape/params.hpp"

namespace triex {

// What the two double integrals give for one shape.
struct ShapeQuadrature {
  double S = 0;     // surface area
  double R = 0;     // mean radius of curvature
  double URED = 0;  // reduced excluded volume
  int NPTS_S = 0, NPTS_R = 0;    // integrand evaluations of the two double integrals
  int IFAIL_S = 0, IFAIL_R = 0;  // their failure codes (0: both rules converged)
};

struct ShapeResult : ShapeQuadrature {
  std::array<double, 10> ALPHA{};  // ALPHA[NN-1]: integral of FUN with NN
};

// The ten one-dimensional integrals of the shape.
void ellipsoid_integrals(const ShapeConstants& shape, std::array<double, 10>& ALPHA);
// Surface, curvature and URED of the ellipsoid with semi-axes A, B, C from the
// two double integrals.
ShapeQuadrature reduced_excluded_volume(double A, double B, double C);
// The dialogue's shape section: the ten integrals, then the double integrals.
// Like every step of the shape section it reads and writes no shared state,
// so any number of threads may run it at once.
ShapeResult shape_section(const Params& shape);

// The integrations are asked for 1e-5 in each rule; a URED further than ten
// times that from the exact closed form, or not finite, is plainly wrong (a
// needle beyond their resolution, semi-axes far below the absolute accuracy
// or so large that the integrands overflow).
inline constexpr double kQuadratureTrust = 1e-4;

// The value the rest of the run uses: the quadrature's URED where it is
// within kQuadratureTrust of the closed form, else the closed form's.
struct CheckedUred {
  double URED;        // the value to use
  double quadrature;  // the quadrature's value
  double exact;       // the closed form's value
  bool replaced;      // the quadrature's value was plainly wrong
};
CheckedUred checked_ured(double URED, double A, double B, double C);

}  // namespace triex

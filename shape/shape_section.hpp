// The shape section of a run: from the semi-axes in PARAMS to the reduced
// excluded volume of the ellipsoid.
//
// First the ten one-dimensional ellipsoid integrals ALPHA(1..10) over
// [0, inf) (their values feed no result). Then the surface area S and the mean
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

namespace triex {

struct ShapeResult {
  std::array<double, 10> ALPHA{};  // ALPHA[n-1]: integral of FUN with NN = n
  double S = 0;     // surface area
  double R = 0;     // mean radius of curvature
  double URED = 0;  // reduced excluded volume
  int NPTS_S = 0, NPTS_R = 0;    // integrand evaluations of the two double integrals
  int IFAIL_S = 0, IFAIL_R = 0;  // their (silent) failure codes
};

// The ten one-dimensional integrals; leaves NN = 10.
void ellipsoid_integrals(std::array<double, 10>& ALPHA);
// Surface, curvature and URED from the two double integrals.
void reduced_excluded_volume(ShapeResult& result);
// Both, in this order.
ShapeResult shape_section();

}  // namespace triex

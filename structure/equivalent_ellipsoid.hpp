// The equivalent ellipsoid of inertia of a set of point masses: the uniform
// solid ellipsoid with the same mass, centre of mass and principal moments of
// inertia.
//
// A uniform ellipsoid with semi-axes a_i has the second central moment
// a_i^2 / 5 along its axis i; its principal moments of inertia are
// I_i = (M/5)(a_j^2 + a_k^2), so that a_i^2 = (5 / 2M)(I_j + I_k - I_i), and
// a_i^2 = 5 lambda_i for the eigenvalues lambda_i of the mass-weighted
// covariance of the atoms. Its radius of gyration, sqrt((a^2 + b^2 + c^2)/5),
// is the atoms' own by construction. The ellipsoid keeps the model's inertia,
// not its surface (W. R. Taylor, J. M. Thornton and W. G. Turnell, J. Mol.
// Graphics 1, 1983, 30-38, fit proteins' shapes by such ellipsoids).
#pragma once

#include <array>
#include <cstddef>

#include "structure/mass_moments.hpp"

namespace triex {

// Semi-axes below this, or below kThinnestAxialRatio times the longest, make
// the ellipsoid degenerate: atoms on a line or in a plane, whose thickness is
// only the rounding of their coordinates (PDB files round to 0.0005 Angstrom,
// which leaves a flat set of atoms about 0.001 Angstrom thick).
inline constexpr double kThinnestSemiAxis = 0.01;     // Angstrom
inline constexpr double kThinnestAxialRatio = 1e-4;   // c/a: lambda_min/lambda_max of 1e-8, far above rounding

struct EquivalentEllipsoid {
  std::array<double, 3> semi_axes;                  // a >= b >= c, Angstrom
  std::array<std::array<double, 3>, 3> directions;  // unit vectors along a, b, c; each one's largest component positive
  std::array<double, 3> centre;                     // centre of mass, Angstrom
  double radius_of_gyration;                        // mass-weighted, of the points, Angstrom
};

// The ellipsoid of the points accumulated in `moments`. Throws
// std::invalid_argument, with the reason, for fewer than two points and for
// points on a line or in a plane.
EquivalentEllipsoid equivalent_ellipsoid(const MassMoments& moments);

}  // namespace triex

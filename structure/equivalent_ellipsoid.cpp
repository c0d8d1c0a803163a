#include "structure/equivalent_ellipsoid.hpp"

#include <Eigen/Eigenvalues>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

#include "support/refusal.hpp"

namespace triex {

EquivalentEllipsoid equivalent_ellipsoid(const MassMoments& moments) {
  if (moments.count() == 0) throw std::invalid_argument("no atoms: nothing to fit an ellipsoid to");
  if (moments.count() == 1) throw std::invalid_argument("one atom: a single point has no ellipsoid");
  const std::array<double, 6> v = moments.covariance();  // xx, yy, zz, xy, xz, yz
  Eigen::Matrix3d covariance;
  covariance << v[0], v[3], v[4],  //
      v[3], v[1], v[5],            //
      v[4], v[5], v[2];
  // The QL iteration, not the closed-form cubic of computeDirect(): it keeps
  // the small eigenvalues of a long thin molecule to a few ulps of the largest.
  const Eigen::SelfAdjointEigenSolver<Eigen::Matrix3d> solver(covariance);
  if (solver.info() != Eigen::Success) throw std::invalid_argument("the inertia tensor could not be diagonalised");
  const Eigen::Vector3d lambda = solver.eigenvalues();  // ascending

  EquivalentEllipsoid e{};
  for (int i = 0; i < 3; ++i) {
    // a_i^2 = 5 lambda_i; a rounding error may leave the smallest slightly negative.
    e.semi_axes[static_cast<std::size_t>(i)] = std::sqrt(5.0 * std::max(0.0, lambda(2 - i)));
    Eigen::Vector3d direction = solver.eigenvectors().col(2 - i);
    Eigen::Index largest = 0;
    direction.cwiseAbs().maxCoeff(&largest);
    if (direction(largest) < 0) direction = -direction;  // the sign of an eigenvector is arbitrary: fix it
    for (int k = 0; k < 3; ++k)
      e.directions[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] = direction(k);
  }
  e.centre = moments.centre();
  e.radius_of_gyration = std::sqrt(v[0] + v[1] + v[2]);

  const double a = e.semi_axes[0], b = e.semi_axes[1], c = e.semi_axes[2];
  const auto thin = [a](double x) { return x < kThinnestSemiAxis || x < kThinnestAxialRatio * a; };
  const std::string sizes = " (a = " + shortest(a) + ", b = " + shortest(b) + ", c = " + shortest(c) + " Angstrom)";
  if (a < kThinnestSemiAxis) throw std::invalid_argument("the atoms are all at one point: they have no ellipsoid" + sizes);
  if (thin(b))
    throw std::invalid_argument("the atoms lie on a line: their ellipsoid is degenerate" + sizes);
  if (thin(c))
    throw std::invalid_argument("the atoms lie in a plane: their ellipsoid is degenerate" + sizes);
  return e;
}

}  // namespace triex

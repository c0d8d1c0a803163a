#include "shape/closed_form.hpp"

#include <algorithm>
#include <numbers>

#include "shape/carlson.hpp"

namespace triex {
namespace {

double RG(double x, double y, double z) { return carlson_RG(x, y, z); }

// The semi-axes sorted, largest first.
struct Sorted {
  double large, middle, small;
};
Sorted sorted(double a, double b, double c) {
  if (a < b) std::swap(a, b);
  if (b < c) std::swap(b, c);
  if (a < b) std::swap(a, b);
  return {a, b, c};
}

}  // namespace

double closed_form_ured(double a, double b, double c) {
  // u_red does not depend on size. With the largest semi-axis scaled to 1,
  //   R_G(a^2, b^2, c^2) = R_G(1, y^2, z^2),
  // and with the smallest scaled to 1 (R_G is homogeneous of degree 1/2),
  //   R_G(a^-2, b^-2, c^-2) = R_G(z^2, (z/y)^2, 1) / z,
  // where y = b/a and z = c/a: every argument lies in [0, 1].
  const Sorted s = sorted(a, b, c);
  const double y = s.middle / s.large;
  const double z = s.small / s.large;
  const double w = s.small / s.middle;
  const double direct = RG(1.0, y * y, z * z);
  const double reciprocal = RG(z * z, w * w, 1.0) / z;
  return 2.0 + 6.0 * direct * reciprocal;
}

ClosedFormShape closed_form_shape(double a, double b, double c) {
  const Sorted s = sorted(a, b, c);
  const double m = s.large;
  const double y = s.middle / m;
  const double z = s.small / m;
  constexpr double pi = std::numbers::pi;
  ClosedFormShape shape;
  // Largest times smallest first: the product that stays nearest to range.
  shape.volume = 4.0 * pi / 3.0 * (s.large * s.small * s.middle);
  // S = 4 pi R_G(a^2 b^2, b^2 c^2, c^2 a^2) = 4 pi a b R_G(1, (c/a)^2, (c/b)^2):
  // the largest argument scaled to 1 before squaring, so that no argument
  // under- or overflows unless it is negligible against 1.
  const double t = 4.0 * pi * RG(1.0, z * z, (s.small / s.middle) * (s.small / s.middle));
  const double ab = s.large * s.middle;
  // ab overflows only where S does (t > 1); below 1, multiply t in first, so
  // that a subnormal S is rounded once.
  shape.surface = ab >= 1.0 ? ab * t : s.large * (t * s.middle);
  shape.mean_radius = RG(1.0, y * y, z * z) * m;
  return shape;
}

double closed_form_mixture(const ClosedFormShape& first, const ClosedFormShape& second) {
  // Two commutative sums: exactly symmetric in the two bodies.
  return (first.volume + second.volume) + (first.mean_radius * second.surface + second.mean_radius * first.surface);
}

}  // namespace triex

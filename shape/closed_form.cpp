#include "shape/closed_form.hpp"

#include <algorithm>
#include <array>
#include <numbers>

#include "shape/carlson.hpp"

namespace triex {

namespace {

// Defined here, and called by name below, so that closed_form_ellipsoid may
// inline them; other units call the exported names.
ClosedFormArguments arguments_of(double a, double b, double c) {
  // u_red does not depend on size. With the largest semi-axis scaled to 1,
  //   R_G(a^2, b^2, c^2) = R_G(1, y^2, z^2),
  // and with the smallest scaled to 1 (R_G is homogeneous of degree 1/2),
  //   R_G(a^-2, b^-2, c^-2) = R_G(z^2, w^2, 1) / z,
  // where y = b/a, z = c/a and w = c/b: every argument lies in [0, 1]. The
  // surface needs the same second integral, S = 4 pi a b R_G(1, z^2, w^2), so
  // two duplication sequences give u_red, S and R together.
  if (a < b) std::swap(a, b);
  if (b < c) std::swap(b, c);
  if (a < b) std::swap(a, b);
  const double y = b / a;
  const double z = c / a;
  const double w = c / b;
  return {a, b, c, {1.0, y * y, z * z}, {z * z, w * w, 1.0}};
}

ClosedFormEllipsoid from_RG(const ClosedFormArguments& s, double direct, double reciprocal_scaled) {
  // reciprocal_scaled is symmetric: also R_G(1, z^2, w^2)
  const double m = s.large;
  const double z = s.small / m;
  constexpr double pi = std::numbers::pi;
  ClosedFormEllipsoid out;
  out.ured = 2.0 + 6.0 * direct * (reciprocal_scaled / z);
  // Largest times smallest first: the product that stays nearest to range.
  out.shape.volume = 4.0 * pi / 3.0 * (s.large * s.small * s.middle);
  const double t = 4.0 * pi * reciprocal_scaled;
  const double ab = s.large * s.middle;
  // ab overflows only where S does (t > 1); below 1, multiply t in first, so
  // that a subnormal S is rounded once.
  out.shape.surface = ab >= 1.0 ? ab * t : s.large * (t * s.middle);
  out.shape.mean_radius = direct * m;
  return out;
}

}  // namespace

ClosedFormArguments closed_form_arguments(double a, double b, double c) { return arguments_of(a, b, c); }
ClosedFormEllipsoid closed_form_from_RG(const ClosedFormArguments& s, double direct, double reciprocal) {
  return from_RG(s, direct, reciprocal);
}

ClosedFormEllipsoid closed_form_ellipsoid(double a, double b, double c) {
  const ClosedFormArguments s = arguments_of(a, b, c);
  // The two sequences run side by side (carlson_RG_pair), each with the bits of
  // its own carlson_RG.
  const std::array<double, 2> RG = carlson_RG_pair(s.direct[0], s.direct[1], s.direct[2],  //
                                                   s.reciprocal[0], s.reciprocal[1], s.reciprocal[2]);
  return from_RG(s, RG[0], RG[1]);
}

double closed_form_ured(double a, double b, double c) { return closed_form_ellipsoid(a, b, c).ured; }

ClosedFormShape closed_form_shape(double a, double b, double c) { return closed_form_ellipsoid(a, b, c).shape; }

double closed_form_mixture(const ClosedFormShape& first, const ClosedFormShape& second) {
  // Two commutative sums: exactly symmetric in the two bodies.
  return (first.volume + second.volume) + (first.mean_radius * second.surface + second.mean_radius * first.surface);
}

}  // namespace triex

#include "shape/shape_factors.hpp"

#include <array>
#include <cassert>
#include <cmath>
#include <utility>

#include "shape/carlson.hpp"
#include "shape/closed_form.hpp"

namespace triex {
namespace {

// The ellipsoid scaled to its largest semi-axis m, axes sorted largest first,
// with the Carlson integrals of its squared semi-axes. Every dimensionless
// factor is computed in these units; axis[i] is the position in the caller's
// order (a, b, c) of the i-th largest semi-axis.
struct Prepared {
  double m;
  std::array<double, 3> x;  // squared scaled semi-axes, x[0] = 1
  std::array<int, 3> axis;
  double p;     // product of the scaled semi-axes, abc / m^3
  double cbrt_p;
  JefferyIntegrals J;
  // The reduced rotational frictions Z_i and the rotational diffusion
  // coefficients D_i = 1 / (6 Z_i) in units of 1/tau0, tau0 = eta V / kT, in
  // sorted order; the rotation and the viscosity both need them.
  std::array<double, 3> Z;
  std::array<double, 3> D;
};

// The semi-axes sorted and scaled; the integrals still to come.
Prepared sorted_axes(double a, double b, double c) {
  const std::array<double, 3> v = {a, b, c};
  // Largest first, equal semi-axes in the caller's order: a sorting network.
  std::array<int, 3> axis = {0, 1, 2};
  const auto order = [&v, &axis](int first, int second) {
    const int i = axis[first], j = axis[second];
    if (v[j] > v[i] || (v[j] == v[i] && j < i)) std::swap(axis[first], axis[second]);
  };
  order(0, 1);
  order(1, 2);
  order(0, 1);
  Prepared s{};
  s.axis = axis;
  s.m = v[axis[0]];
  std::array<double, 3> scaled{};
  for (int i = 0; i < 3; ++i) {
    scaled[i] = v[axis[i]] / s.m;
    s.x[i] = scaled[i] * scaled[i];
  }
  // Largest times smallest first: the product that stays nearest to range.
  s.p = (scaled[0] * scaled[2]) * scaled[1];
  s.cbrt_p = std::cbrt(s.p);
  return s;
}

// The rotational frictions, once the integrals are in.
void add_frictions(Prepared& s) {
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    const double sum = s.x[j] + s.x[k];
    const double torque = s.p * (s.x[j] * s.J.RD[j] + s.x[k] * s.J.RD[k]);
    s.Z[i] = sum / torque;
    s.D[i] = torque / (6 * sum);
  }
}

// For the factors of one family: the Jeffery integrals alone.
Prepared prepare(double a, double b, double c) {
  Prepared s = sorted_axes(a, b, c);
  s.J = carlson_jeffery(s.x[0], s.x[1], s.x[2]);
  add_frictions(s);
  return s;
}

// The divided difference of R_D between x_i and x_j (i != j).
double divided(const Prepared& s, int i, int j) { return s.J.DD[3 - i - j]; }

TranslationalFriction translation_of(const Prepared& s) { return {s.m / s.J.RF, 1.0 / (s.J.RF * s.cbrt_p)}; }

Gyration gyration_of(const Prepared& s) {
  const double sum = s.x[0] + s.x[1] + s.x[2];
  return {s.m * std::sqrt(sum / 5), std::sqrt(sum / (3 * s.cbrt_p * s.cbrt_p))};
}

RotationalDiffusion rotation_of(const Prepared& s) {
  const std::array<double, 3>& D = s.D;
  const double sum = D[0] + D[1] + D[2];
  const double mean = sum / 3;
  // Delta^2 as half the sum of squared differences: no cancellation.
  const double spread =
      std::sqrt(((D[0] - D[1]) * (D[0] - D[1]) + (D[1] - D[2]) * (D[1] - D[2]) + (D[2] - D[0]) * (D[2] - D[0])) / 2);
  const double fastest = 6 * mean + 2 * spread;
  RotationalDiffusion out{};
  // 1/(6D - 2Delta) from the product of the two extreme rates, which is
  // 12 (D_1 D_2 + D_2 D_3 + D_3 D_1): the difference cancels for needles.
  out.relaxation_times[0] = fastest / (12 * (D[0] * D[1] + D[1] * D[2] + D[2] * D[0]));
  out.relaxation_times[4] = 1 / fastest;
  for (int i = 0; i < 3; ++i) {
    out.rotational_friction[s.axis[i]] = s.Z[i];
    out.relaxation_times[1 + s.axis[i]] = 1 / (3 * (mean + D[i]));
  }
  // 3 / (1/Z_1 + 1/Z_2 + 1/Z_3), with 1/Z_i = 6 D_i.
  out.harmonic_relaxation_time = 1 / (2 * sum);
  return out;
}

double viscosity_of(const Prepared& s) {
  const auto& x = s.x;
  const auto& R = s.J.RD;
  // Eshelby's tensor at Poisson ratio 1/2, its block on the diagonal strains,
  // times 3/p: M_ij = x_j D_ij (i != j), M_ii = 3 R_i - (x_j D_ij + x_k D_ik);
  // every column of p M / 3 sums to 1.
  std::array<std::array<double, 3>, 3> M{};
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    M[i][j] = x[j] * divided(s, i, j);
    M[i][k] = x[k] * divided(s, i, k);
    M[i][i] = 3 * R[i] - (M[i][j] + M[i][k]);
  }
  // The trace of the inverse of p M / 3 on the traceless extensions,
  // (tr - 1)/det, is 3/p times that of M, written as a 2x2 form in the
  // differences of the rows of the two longest axes: its denominator is tiny
  // for needles and discs, and these differences keep it to full relative
  // accuracy where the direct determinant does not.
  const double n11 = M[0][0] - M[0][1], n12 = M[0][1] - M[0][2];
  const double m1 = M[1][0] - M[1][1], m2 = M[1][1] - M[1][2];
  double T_and_F = (n11 + n12 + m2) / (n11 * m2 - n12 * m1);
  // The torque-free shear modes jk, F_jk = 3 / (p (x_j + x_k) D_jk), also
  // carry 3/p.
  double zsum = 0;
  std::array<double, 3> z{}, lambda{};
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    T_and_F += 1 / ((x[j] + x[k]) * s.J.DD[i]);
    z[i] = 1.5 * s.Z[i];
    lambda[i] = (x[j] - x[k]) / (x[j] + x[k]);
    zsum += z[i];
  }
  // The rotary Brownian motion's share, a weighted variance of the spin
  // factors (every term >= 0; zero for spheroids).
  double brownian = 0;
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) brownian += z[i] * z[j] * (lambda[i] - lambda[j]) * (lambda[i] - lambda[j]);
  return (3 / s.p * T_and_F + brownian / zsum) / 5;
}

}  // namespace

TranslationalFriction exact_translational_friction(double a, double b, double c) {
  return translation_of(prepare(a, b, c));
}
Gyration exact_gyration(double a, double b, double c) { return gyration_of(prepare(a, b, c)); }
RotationalDiffusion exact_rotational_diffusion(double a, double b, double c) { return rotation_of(prepare(a, b, c)); }
double exact_viscosity_increment(double a, double b, double c) { return viscosity_of(prepare(a, b, c)); }

ShapeFactors exact_shape_factors(double a, double b, double c) {
  // The squared scaled semi-axes are the arguments of the first R_G of u_red,
  // R_G(a^2, b^2, c^2) / a: its duplications carry the Jeffery integrals too,
  // with the bits of carlson_jeffery, and u_red, V, S and R keep those of
  // closed_form_ellipsoid.
  Prepared s = sorted_axes(a, b, c);
  const ClosedFormArguments arguments = closed_form_arguments(a, b, c);
  assert(arguments.direct == s.x);
  const std::array<double, 3>& direct = arguments.direct;
  const std::array<double, 3>& reciprocal = arguments.reciprocal;
  const RGPairWithJeffery integrals = carlson_RG_pair_with_jeffery(direct[0], direct[1], direct[2],  //
                                                                   reciprocal[0], reciprocal[1], reciprocal[2]);
  s.J = integrals.jeffery;
  add_frictions(s);
  ShapeFactors out{};
  out.translation = translation_of(s);
  out.gyration = gyration_of(s);
  out.rotation = rotation_of(s);
  out.viscosity_increment = viscosity_of(s);
  const ClosedFormEllipsoid e = closed_form_from_RG(arguments, integrals.RG[0], integrals.RG[1]);
  out.ured = e.ured;
  out.geometry = {e.shape.volume, e.shape.surface, e.shape.mean_radius};
  return out;
}

}  // namespace triex

#include "shape/shape_factors.hpp"

#include <algorithm>
#include <array>
#include <cmath>

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
};

Prepared prepare(double a, double b, double c) {
  std::array<double, 3> v = {a, b, c};
  std::array<int, 3> axis = {0, 1, 2};
  std::sort(axis.begin(), axis.end(), [&v](int i, int j) { return v[i] > v[j] || (v[i] == v[j] && i < j); });
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
  s.J = carlson_jeffery(s.x[0], s.x[1], s.x[2]);
  return s;
}

// The divided difference of R_D between x_i and x_j (i != j).
double divided(const Prepared& s, int i, int j) { return s.J.DD[3 - i - j]; }

// Z_i in sorted order.
std::array<double, 3> reduced_frictions(const Prepared& s) {
  std::array<double, 3> Z{};
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    Z[i] = (s.x[j] + s.x[k]) / (s.p * (s.x[j] * s.J.RD[j] + s.x[k] * s.J.RD[k]));
  }
  return Z;
}

TranslationalFriction translation_of(const Prepared& s) { return {s.m / s.J.RF, 1.0 / (s.J.RF * s.cbrt_p)}; }

Gyration gyration_of(const Prepared& s) {
  const double sum = s.x[0] + s.x[1] + s.x[2];
  return {s.m * std::sqrt(sum / 5), std::sqrt(sum / (3 * s.cbrt_p * s.cbrt_p))};
}

RotationalDiffusion rotation_of(const Prepared& s) {
  const std::array<double, 3> Z = reduced_frictions(s);
  // Rotational diffusion coefficients in units of 1/tau0, tau0 = eta V / kT.
  std::array<double, 3> D{};
  for (int i = 0; i < 3; ++i) D[i] = 1.0 / (6 * Z[i]);
  const double mean = (D[0] + D[1] + D[2]) / 3;
  // Delta^2 as half the sum of squared differences: no cancellation.
  const double spread =
      std::sqrt(((D[0] - D[1]) * (D[0] - D[1]) + (D[1] - D[2]) * (D[1] - D[2]) + (D[2] - D[0]) * (D[2] - D[0])) / 2);
  const double fastest = 6 * mean + 2 * spread;
  // 6D - 2Delta from the product of the two extreme rates, which is
  // 12 (D_1 D_2 + D_2 D_3 + D_3 D_1): the difference cancels for needles.
  const double slowest = 12 * (D[0] * D[1] + D[1] * D[2] + D[2] * D[0]) / fastest;
  RotationalDiffusion out{};
  out.relaxation_times[0] = 1 / slowest;
  out.relaxation_times[4] = 1 / fastest;
  for (int i = 0; i < 3; ++i) {
    out.rotational_friction[s.axis[i]] = Z[i];
    out.relaxation_times[1 + s.axis[i]] = 1 / (3 * (mean + D[i]));
  }
  out.harmonic_relaxation_time = 3 / (1 / Z[0] + 1 / Z[1] + 1 / Z[2]);
  return out;
}

double viscosity_of(const Prepared& s) {
  const auto& x = s.x;
  const auto& R = s.J.RD;
  // Eshelby's tensor at Poisson ratio 1/2, its block on the diagonal strains:
  // M_ij = p x_j D_ij / 3 (i != j), M_ii = p (R_i - (x_j D_ij + x_k D_ik)/3);
  // every column sums to 1.
  std::array<std::array<double, 3>, 3> M{};
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    M[i][j] = s.p * x[j] * divided(s, i, j) / 3;
    M[i][k] = s.p * x[k] * divided(s, i, k) / 3;
    M[i][i] = s.p * (R[i] - (x[j] * divided(s, i, j) + x[k] * divided(s, i, k)) / 3);
  }
  // T = (tr M - 1)/det M, the trace of M's inverse on the traceless
  // extensions, as a 2x2 form in the differences of the rows of the two
  // longest axes: its denominator is tiny for needles and discs, and these
  // differences keep it to full relative accuracy where the direct
  // determinant does not.
  const double n11 = M[0][0] - M[0][1], n12 = M[0][1] - M[0][2];
  const double m1 = M[1][0] - M[1][1], m2 = M[1][1] - M[1][2];
  const double T = (n11 + n12 + m2) / (n11 * m2 - n12 * m1);

  const std::array<double, 3> Z = reduced_frictions(s);
  double F = 0, zsum = 0;
  std::array<double, 3> z{}, lambda{};
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    F += 3 / (s.p * (x[j] + x[k]) * s.J.DD[i]);  // the torque-free shear mode jk
    z[i] = 1.5 * Z[i];
    lambda[i] = (x[j] - x[k]) / (x[j] + x[k]);
    zsum += z[i];
  }
  // The rotary Brownian motion's share, a weighted variance of the spin
  // factors (every term >= 0; zero for spheroids).
  double brownian = 0;
  for (int i = 0; i < 3; ++i)
    for (int j = i + 1; j < 3; ++j) brownian += z[i] * z[j] * (lambda[i] - lambda[j]) * (lambda[i] - lambda[j]);
  return (T + F + brownian / zsum) / 5;
}

}  // namespace

TranslationalFriction exact_translational_friction(double a, double b, double c) {
  return translation_of(prepare(a, b, c));
}
Gyration exact_gyration(double a, double b, double c) { return gyration_of(prepare(a, b, c)); }
RotationalDiffusion exact_rotational_diffusion(double a, double b, double c) { return rotation_of(prepare(a, b, c)); }
double exact_viscosity_increment(double a, double b, double c) { return viscosity_of(prepare(a, b, c)); }

ShapeFactors exact_shape_factors(double a, double b, double c) {
  const Prepared s = prepare(a, b, c);
  ShapeFactors out{};
  out.translation = translation_of(s);
  out.gyration = gyration_of(s);
  out.rotation = rotation_of(s);
  out.viscosity_increment = viscosity_of(s);
  const ClosedFormEllipsoid e = closed_form_ellipsoid(a, b, c);
  out.ured = e.ured;
  out.geometry = {e.shape.volume, e.shape.surface, e.shape.mean_radius};
  return out;
}

}  // namespace triex

#include "shape/shape_section.hpp"

#include <cmath>

#include "quadrature/infinite_range.hpp"
#include "quadrature/nested_patterson.hpp"
#include "quadrature/nested_patterson_core.hpp"
#include "shape/integrands.hpp"
#include "shape/closed_form.hpp"
#include "shape/params.hpp"

namespace triex {

// ALPHA(1..10) are the Jeffery (1922) integrals of the ellipsoid over
// lambda in [0, inf): alpha_a, alpha_b, alpha_c; alpha_bc, alpha_ca, alpha_ab;
// Jeffery's alpha'_a, alpha'_b, alpha'_c; and chi (the integrands are FUN's).
// The hydrodynamics of the ellipsoid is built from them: the translational
// and rotational frictions, the relaxation times and the viscosity increment,
// which the shape factors give in closed form from Carlson's R_F and R_D
// (shape/shape_factors.hpp; a test checks these quadratures against them).
// The dialogue prints none of the values, yet the run computes them, as it
// always has: they are its description of the particle's hydrodynamics, its
// work and evaluation counts include them, and they cannot change what it
// writes: a soft failure (which large molecules meet, the integrator judging
// the slowly decaying integrands divergent) stays silent, since nothing
// depends on the values.
void ellipsoid_integrals(const ShapeConstants& shape, std::array<double, 10>& ALPHA) {
  constexpr int LIW = 500, LW = 2000;
  std::array<int, LIW> IW{};
  std::array<double, LW> W{};
  for (int NN = 1; NN <= 10; ++NN) {
    const double A1 = 0.0, EPSABS = 0.0, EPSREL = 5.0e-5;
    int IFAIL = 1;
    double ANS = 0, ABSERR = 0;
    const auto F = [&shape, NN](double X) { return FUN(shape, NN, X); };
    D01AMF(F, A1, 1, EPSABS, EPSREL, ANS, ABSERR, W, LW, IW, LIW, IFAIL);
    ALPHA[static_cast<std::size_t>(NN - 1)] = ANS;
  }
}

// The double integrals of FYS and FYR, in their prepared forms: the same
// values at the same points as the plain call-backs, with what depends on the
// shape computed once here, what depends on the outer variable (the azimuth)
// once per inner integration, and what depends on the inner variable (the
// elevation) once per elevation, shared by both integrals.
ShapeQuadrature reduced_excluded_volume(double A, double B, double C) {
  ShapeQuadrature result;
  const ShapeConstants shape(A, B, C);
  ElevationTable elevations(shape);
  const double XUP = kHalfPi, XLOW = 0.0;
  int IFAIL = 1;
  double ABSACC = 1.0e-5;
  double ANS = 0;
  D01DAF_prepared(XLOW, XUP, YLOW, YUP, SurfaceIntegrand(shape, elevations), ABSACC, ANS, result.NPTS_S, IFAIL);
  result.IFAIL_S = IFAIL;
  result.S = ANS * 8.0 / 3.0;  // the octant integral of FYS is 3/8 of the surface area

  IFAIL = 1;
  ABSACC = 1.0e-5;
  double ANSR = 0;
  D01DAF_prepared(XLOW, XUP, YLOW, YUP, CurvatureIntegrand(shape, elevations), ABSACC, ANSR, result.NPTS_R, IFAIL);
  result.IFAIL_R = IFAIL;
  result.R = ANSR * 2.0 / 9.42477;  // the octant integral of FYR is (3/8) 4 pi R

  result.URED = result.R * result.S * 6.0 / (A * B * C * 12.56636) + 2.0;
  return result;
}

ShapeResult shape_section(const Params& shape) {
  ShapeResult result;
  ellipsoid_integrals(ShapeConstants(shape.A, shape.B, shape.C), result.ALPHA);
  static_cast<ShapeQuadrature&>(result) = reduced_excluded_volume(shape.A, shape.B, shape.C);
  return result;
}

CheckedUred checked_ured(double URED, double A, double B, double C) {
  const double exact = closed_form_ured(A, B, C);
  // Written so that a NaN URED fails the comparison and is replaced.
  const bool trusted = std::isfinite(URED) && std::abs(URED - exact) <= kQuadratureTrust * exact;
  return {trusted ? URED : exact, URED, exact, !trusted};
}

}  // namespace triex

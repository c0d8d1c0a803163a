// TRIEX: the excluded volume of rigid triaxial ellipsoids and the second
// virial coefficient of their solutions, as a C++ library.
//
// Link the CMake target triex::triex (find_package(triex)). Every function
// is reentrant: none keeps state between calls, so any number of threads may
// call them at once. A value that has no meaning (a semi-axis that is zero,
// negative, infinite or NaN; a molar mass M for which 2 M M overflows; ...) throws
// std::invalid_argument whose what() names the value and the rule, in the
// words of the command line; a function never returns a number for it.
//
// Semi-axes a, b, c may come in any order and any unit of length (the
// reduced excluded volume has none); the solution quantities use Angstrom
// only through u_red and take ml/g, g/mol, mol/l and ml mol/g^2.
#pragma once

#include <optional>
#include <stdexcept>
#include <vector>

namespace triex {

// ---- The shape: exact closed forms (Carlson's R_G) ----

struct ShapeFunctions {
  double volume;       // V = (4 pi / 3) a b c
  double surface;      // S
  double mean_radius;  // R, the mean radius of curvature
};

// u_red = 2 + 2 R S / V (8 for a sphere), exact to a few ulps.
double ured(double a, double b, double c);
// u_red from the axial ratios a/b and b/c: the ellipsoid (a/b)(b/c), b/c, 1.
double ured_ratios(double a_over_b, double b_over_c);
// V, S and R of the ellipsoid with semi-axes a, b, c.
ShapeFunctions shape_functions(double a, double b, double c);
// Orientation-averaged excluded volume of two ellipsoids, V1 + V2 + R1 S2 + R2 S1
// (in the unit of length cubed); for two equal shapes it is u_red V.
double mixture_excluded_volume(const ShapeFunctions& first, const ShapeFunctions& second);

// ---- The shape: the dialogue's two-dimensional quadrature ----

struct QuadratureResult {
  double ured;         // 2 + 2 R S / V from the integrals (pi taken as 3.14159)
  double surface;      // S
  double mean_radius;  // R
  int npts_surface, npts_curvature;    // integrand evaluations of the two double integrals
  int ifail_surface, ifail_curvature;  // 0 when every nested rule converged
};

// The dialogue's quadrature for semi-axes a, b, c, bit for bit its values.
QuadratureResult quadrature(double a, double b, double c);
// The same for the axial ratios, with the dialogue's rule a = (a/b)(b/c), b = b/c, c = 1.
QuadratureResult quadrature_ratios(double a_over_b, double b_over_c);

// ---- The solution quantities of the report ----

// The swollen specific volume vs = vbar + delta / rho (ml/g).
double swollen_specific_volume(double vbar, double hydration, double solvent_density);

struct Charge {
  double valency;         // Z
  double ionic_strength;  // I, mol/l
};

struct VirialInputs {
  double ured;
  double vs;          // swollen specific volume, ml/g
  double molar_mass;  // M, g/mol
  std::optional<Charge> charge;  // none: no polyelectrolyte term
};

struct Virial {
  double U;        // molar excluded volume vs M u_red, ml/mol
  double u;        // excluded volume of one molecule U / NA, ml
  double Bex;      // U / (2 M^2), ml mol/g^2
  double Bz;       // screened Z^2 / (4 I M^2), ml mol/g^2; 0 without charge
  double B;        // Bex + Bz
  double BM;       // ml/g
  double BM2;      // litre/mol
  double BM2_per_uM;  // per micromolar
};

// Every quantity of the dialogue's report from its inputs, by the same formulas.
Virial virial(const VirialInputs& inputs);

// ---- The inverse problem ----

struct AxialRatios {
  double a_over_b;
  double b_over_c;
};

// The largest axial ratio the solver considers (for both a/b and b/c).
inline constexpr double kMaxSolveRatio = 1e12;

// The shapes a >= b >= c whose exact u_red is the given value: `points` shapes
// along the curve from the prolate spheroid (p, 1) to the oblate (1, p), a/b
// falling and b/c rising along it; each reproduces u_red within 1e-12
// relative. u_red = 8 gives the sphere alone; below 8, or beyond what ratios
// up to kMaxSolveRatio reach, or points < 2, throws.
std::vector<AxialRatios> solve(double ured, int points = 50);

// The reduced excluded volume that a measured second virial coefficient B
// (ml mol/g^2) implies, after taking off the polyelectrolyte term when a
// charge is given: u_red = 2 M (B - B(z)) / vs.
double ured_from_virial(double B, double vs, double molar_mass, std::optional<Charge> charge = std::nullopt);

}  // namespace triex

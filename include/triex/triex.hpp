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

#include <array>
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

// ---- Hydrodynamic and scattering shape factors (closed forms) ----
//
// All dimensionless factors are relative to the sphere of equal volume; the
// frictions and times are about the principal axes in the order a, b, c as
// given. Exact to a few ulps (Carlson's R_F and R_D from one duplication
// sequence on a^2, b^2, c^2).

struct TranslationalFriction {
  double stokes_radius;  // R_S = 1 / R_F(a^2, b^2, c^2): f = 6 pi eta R_S (unit of a, b, c)
  double perrin_ratio;   // P = R_S / (abc)^(1/3), f/f0 against the sphere of equal volume
};
struct Gyration {
  double radius_of_gyration;  // R_g = sqrt((a^2 + b^2 + c^2) / 5) (unit of a, b, c)
  double gyration_ratio;      // G = R_g / R_g of the sphere of equal volume
};
struct RotationalDiffusion {
  std::array<double, 3> rotational_friction;  // Z_i = zeta_i / (8 pi eta abc) about the axes a, b, c
  // tau_k / tau0, tau0 = eta V / kT: 1/(6 D - 2 Delta), 1/(3(D + D_a)),
  // 1/(3(D + D_b)), 1/(3(D + D_c)), 1/(6 D + 2 Delta) (D the mean rotational
  // diffusion coefficient; Perrin 1934, Favro 1960)
  std::array<double, 5> relaxation_times;
  double harmonic_relaxation_time;  // tau_h / tau0 = 3 / (1/Z_1 + 1/Z_2 + 1/Z_3)
};

struct ShapeFactors {
  TranslationalFriction translation;
  Gyration gyration;
  RotationalDiffusion rotation;
  double viscosity_increment;  // nu, [eta] = nu vs: 5/2 for a sphere (Brownian limit, zero shear)
  double ured;                 // reduced excluded volume, 8 for a sphere
  ShapeFunctions geometry;     // V, S, R
};

// Every factor of the ellipsoid with semi-axes a, b, c (any order, any unit).
ShapeFactors shape_factors(double a, double b, double c);
// The same for the axial ratios: the ellipsoid (a/b)(b/c), b/c, 1.
ShapeFactors shape_factors_ratios(double a_over_b, double b_over_c);
TranslationalFriction translational_friction(double a, double b, double c);
Gyration gyration(double a, double b, double c);
RotationalDiffusion rotational_diffusion(double a, double b, double c);
double viscosity_increment(double a, double b, double c);

// ---- Predicted measurements of a molecule of that shape ----

// The solvent and temperature of a measurement. Defaults: water at 20 C.
struct Solvent {
  double viscosity = 1.002;       // eta, mPa s
  double temperature = 293.15;    // T, K
  std::optional<double> density;  // rho, g/ml: needed for the sedimentation coefficient
};

struct PredictionInputs {
  double molar_mass;            // M, g/mol
  double vs;                    // swollen specific volume, ml/g: the hydrated particle
  std::optional<double> vbar;   // partial specific volume, ml/g: s and the anhydrous f/f0
  Solvent solvent;
};

// The measurable quantities of a molecule whose hydrated particle is the
// shape's ellipsoid scaled to the volume M vs / NA (only the axial ratios of
// the shape enter). A quantity whose inputs are missing is empty.
struct Predictions {
  double hydrated_volume_angstrom3;            // V = M vs / NA
  double equivalent_radius_angstrom;           // R0, the sphere of that volume
  double stokes_radius_angstrom;               // R_S = P R0
  double D_cm2_per_s;                          // kT / (6 pi eta R_S)
  std::optional<double> s_svedberg;            // M (1 - vbar rho) / (NA 6 pi eta R_S)
  std::optional<double> f_over_f0;             // P (vs / vbar)^(1/3), against the anhydrous sphere
  double rg_angstrom;                          // G sqrt(3/5) R0
  double tau_h_ns;                             // (tau_h/tau0) eta M vs / (NA k T)
  double intrinsic_viscosity_ml_per_g;         // nu vs
  double Bex_ml_mol_per_g2;                    // vs ured / (2 M)
};
Predictions predict(const ShapeFactors& shape, const PredictionInputs& inputs);

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

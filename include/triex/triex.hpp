// TRIEX: the excluded volume of rigid triaxial ellipsoids and the second
// virial coefficient of their solutions, as a C++ library.
//
// Link the CMake target triex::triex (find_package(triex)). Every function
// is reentrant: none keeps state between calls, so any number of threads may
// call them at once. A value that has no meaning (a semi-axis that is zero,
// negative, infinite or NaN; a molar mass M for which 2 M M overflows; ...) throws
// triex::Refusal (a std::invalid_argument, triex/refusal.hpp): field() tells
// which input, what() names the value and the rule in the words that the
// dialogue, the commands and Python also use; a function never returns a
// number for it.
//
// Semi-axes a, b, c may come in any order and any unit of length (the
// reduced excluded volume has none); the solution quantities use Angstrom
// only through u_red and take ml/g, g/mol, mol/l and ml mol/g^2.
#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

// Found beside this header when installed (triex/inverse/), and in the
// source tree's inverse/ otherwise.
#include "inverse/axial_ratios.hpp"
#include "triex/refusal.hpp"

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
  // ured is not finite or further than 1e-4 relative from the closed form: the
  // dialogue would not use it. Failure codes alone do not make it so: where a
  // rule stops short of its requested accuracy the value is most often still
  // close (3013 of the 3015 such shapes of the logarithmic grid of ratios
  // 1 to 100, 100 x 100, are within 1e-4).
  bool plainly_wrong;
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

// AxialRatios, kMaxSolveRatio and kMaxFitRatio: inverse/axial_ratios.hpp.

// The largest u_red that solve() accepts: the smaller of the two spheroids'
// values at the ratio kMaxSolveRatio (the oblate one, 2356194490194.343).
double largest_solvable_ured();

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

// ---- The shape from several measurements: the fit ----
//
// The unknowns are x = ln(a/b) and y = ln(b/c) (a >= b >= c, both ratios in
// [1, 1000]) and, when neither the hydration nor vs is given, w = ln vs. Each
// datum m with standard error sigma enters chi2 = sum ((ln m - ln m_model) /
// (sigma / m))^2, m_model the prediction of `predict` (B with its B(z) when a
// charge is given). Every local minimum of chi2 is a solution; the confidence
// regions are {chi2 <= chi2_min + 2.30} (68 %) and {chi2 <= chi2_min + 5.99}
// (95 %), two parameters, chi2 minimised over w where it is fitted.

enum class Measurement {
  Virial,               // B, ml mol/g^2 (total: B(ex) plus B(z) of the charge)
  Sedimentation,        // s, svedberg (1e-13 s); needs vbar and the solvent density
  Diffusion,            // D, cm^2/s
  StokesRadius,        // R_S, Angstrom (dynamic light scattering, size-exclusion chromatography)
  RadiusOfGyration,   // R_g, Angstrom
  IntrinsicViscosity,  // [eta], ml/g
  RelaxationTime,      // tau_h, ns: the harmonic mean rotational relaxation time
  Ured,                 // u_red itself
};
inline constexpr int kMeasurementKinds = 8;

struct Datum {
  Measurement kind;
  double value;  // in the unit above
  double sigma;  // its standard error, in the same unit
};

struct FitInputs {
  double molar_mass;                // M, g/mol
  double vbar;                      // partial specific volume, ml/g
  std::optional<double> hydration;  // delta, g/g: vs = vbar + delta / rho
  std::optional<double> vs;         // or vs itself, ml/g; neither: vs is fitted
  Solvent solvent;                  // density 0.9982 g/ml (water at 20 C) when not given
  std::optional<Charge> charge;     // for B: B(z) is part of the model
  std::vector<Datum> data;
};

// Water at 20 C, g/ml: the solvent density of a fit that gives none.
inline constexpr double kDefaultSolventDensity = 0.9982;

// The projection of a confidence region on one axial ratio. lo is exactly 1
// where the region reaches the spheroid line of that ratio: the interval is
// then one-sided, an upper bound only (the linearised error is wrong there).
// hi is exactly kMaxFitRatio where the region reaches the edge of the search.
// Both are NaN for a solution outside the region of the best one.
struct RatioInterval {
  double lo, hi;
};

struct FitSolution {
  double a_over_b, b_over_c;
  double a_angstrom, b_angstrom, c_angstrom;  // the hydrated particle's semi-axes
  double vs;                                  // ml/g: given, or fitted
  double hydration;                           // delta = rho (vs - vbar), g/g
  double chi2;
  RatioInterval a_over_b_68, b_over_c_68, a_over_b_95, b_over_c_95;
  // Linearised standard error of ln(a/b) or ln(b/c), the larger, per 1 %
  // independent error in every datum (infinite on a spheroid line, where the
  // data fix the asymmetry only to second order).
  double amplification;
  bool plausible;                 // 0 <= hydration <= 2 g/g
  std::vector<double> residuals;  // (ln m - ln m_model) / (sigma / m), in the order of the data
};

// A chi2 surface sampled on a structured grid: node (i, j) at x[i * columns + j],
// y[...] (ln(a/b), ln(b/c)), chi2 minimised over w where it is fitted.
struct FitGrid {
  int rows = 0, columns = 0;
  std::vector<double> x, y, chi2;
};

struct FitResult {
  std::vector<FitSolution> solutions;  // every local minimum, the smallest chi2 first
  bool hydration_fitted;
  int degrees_of_freedom;  // data less unknowns
  // chi2 of the 99.9 % point for max(1, degrees_of_freedom): a smallest chi2
  // beyond it means data that no ellipsoid fits (the closest is reported).
  double chi2_limit;
  bool consistent;
  // Conditioning of the best solution: ill-conditioned above an amplification
  // of 10. The two data whose level curves cross at the smallest angle there
  // (indices into the data), and the measurement not among the data that,
  // added with a 2 % error, lowers the amplification most, with the value it
  // would then have.
  bool ill_conditioned;
  int weak_first, weak_second;
  double weak_angle_degrees;
  std::optional<Measurement> best_addition;
  double amplification_with_addition;
  FitGrid search;                // the whole search box, 121 x 121 nodes
  std::vector<FitGrid> regions;  // around each solution, resolving its regions (empty grid: none)
  // (ln m - ln m_model) / (sigma / m) of each datum on the nodes of `search`, w
  // that of the best solution: the datum's level curve is 0, its 1-sigma band |.| <= 1.
  std::vector<std::vector<double>> datum_deviation;
};

// A fit refused before any work: which input, and why (what() says both).
struct FitRefused : std::invalid_argument {
  enum class Input { MolarMass, Vbar, Hydration, Vs, SolventDensity, Viscosity, Temperature, Charge, Datum, Data };
  FitRefused(Input input, std::optional<Measurement> measurement, const std::string& message,
             std::optional<Field> field = std::nullopt)
      : std::invalid_argument(message), input(input), measurement(measurement), field(field) {}
  Input input;
  std::optional<Measurement> measurement;  // the datum, for Input::Datum
  std::optional<Field> field;              // a value refused by its rule (as Refusal::field())
};

// Fits the shape to the data. Refuses (FitRefused) values that have no
// meaning, fewer independent data than unknowns (s, D and R_S measure one
// quantity), and a datum that no ellipsoid in the search box can give.
// Inconsistent data are not refused: `consistent` is false and the closest
// shapes are reported with their residuals.
FitResult fit(const FitInputs& inputs);

// The name of a measurement in the library's words ("B", "s", "D", "R_S",
// "R_g", "[eta]", "tau_h", "ured").
const char* measurement_name(Measurement kind);
// Its name as an argument ("virial", "sedimentation", "diffusion",
// "stokes_radius", "radius_of_gyration", "intrinsic_viscosity",
// "relaxation_time", "ured"): Python's keyword, and with dashes the option of
// triex fit.
const char* measurement_keyword(Measurement kind);

// For an ill-conditioned fit, one line saying which pair of data is the weak
// one and which measurement would help most, each datum named by `label`;
// empty otherwise.
std::string conditioning_note(const FitResult& result, const std::vector<Datum>& data,
                              std::string (*label)(Measurement));

// chi2 (minimised over w where it is fitted) and each datum's deviation
// (ln m - ln m_model) / (sigma / m) at vs = exp(w) (use the best solution's)
// on a grid of nodes x nodes uniform in ln(a/b) from 0 to ln(a_over_b_max) and
// ln(b/c) from 0 to ln(b_over_c_max): for drawing a fit at a finer scale.
struct FitMap {
  FitGrid chi2;
  std::vector<std::vector<double>> datum_deviation;
};
FitMap fit_map(const FitInputs& inputs, double w, double a_over_b_max, double b_over_c_max, int nodes);

}  // namespace triex

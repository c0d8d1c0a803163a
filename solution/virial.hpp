// The quantities of the dilute solution as plain functions of their inputs,
// shared by the dialogue, the commands and the library API: the swollen
// specific volume from hydration data, the molar excluded volume U and the
// excluded volume u of one molecule, the exclusion-volume and polyelectrolyte
// contributions to the second virial coefficient, their sum B and the
// products BM and BM^2. Units: ml/g, g/mol, ml/mol, mol/l, ml mol/g^2.
//
// The parentheses follow the order of evaluation of each formula; the printed
// digits depend on it.
#pragma once

namespace triex {

// Avogadro constant (per mol) and pi as the nearest single-precision value
// widened to double, as the solution quantities use them.
inline constexpr double NA = 6.0221367e+23;
inline constexpr double NPI = static_cast<double>(3.14159265358979323846f);

// Single-precision constants widened to double, used to the bit.
inline constexpr double kThirdSingle = static_cast<double>(0.3333f);  // exponent of the equivalent radius, not 1/3
inline constexpr double kMilliSingle = static_cast<double>(0.001f);   // millilitre to litre in BM^2
inline constexpr double kMicroSingle = static_cast<double>(1e-6f);    // per mole to per micromole
inline constexpr double kDebye = 32700000.0;  // Debye screening parameter per square root of ionic strength

// vs = vbar + delta / rho
double specific_volume_from_hydration(double VBAR, double HYDRAT, double SOLDEN);
// U = vs M ured (ml/mol)
double molar_covolume(double VS, double MOLMAS, double URED);
// u = U / NA (ml)
double molecular_covolume(double MOLVOL);
// B(ex) = U / (2 M^2)
double exclusion_term(double MOLVOL, double MOLMAS);

// B(z) = Z^2 / (4 I M^2) screened by (1 + 2 kappa R) / (1 + kappa R)^2, with
// kappa the Debye parameter (per cm) and R the radius (cm) of the sphere of
// the swollen volume vs M / NA of one molecule.
struct Polyelectrolyte {
  double BZ, KAPPA, RAD, FACTOR;
};
Polyelectrolyte polyelectrolyte_term(double Z, double IONIC, double VS, double MOLMAS);

// B = B(ex) + B(z)
double virial_sum(double BEX, double BZ);
// BM (ml/g), BM^2 (litre/mol) and BM^2 per micromolar
struct VirialProducts {
  double BM, BMM, MICROBMM;
};
VirialProducts virial_products(double MOLMAS, double VIRIAL);

// The inverse of the exclusion term: the reduced excluded volume whose B(ex)
// is BEX, ured = 2 M B(ex) / vs.
double ured_from_exclusion_term(double BEX, double VS, double MOLMAS);

}  // namespace triex

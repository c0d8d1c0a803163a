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

#include "triex/triex.hpp"

namespace triex {

// Avogadro constant (per mol) and pi as the nearest single-precision value
// widened to double, as the solution quantities use them.
inline constexpr double NA = 6.0221367e+23;
inline constexpr double NPI = static_cast<double>(3.14159265358979323846f);

// Single-precision constants widened to double, used to the bit.
inline constexpr double kThirdSingle = static_cast<double>(0.3333f);  // exponent of the equivalent radius, not 1/3
inline constexpr double kMilliSingle = static_cast<double>(0.001f);   // millilitre to litre in BM^2
inline constexpr double kMicroSingle = static_cast<double>(1e-6f);    // per mole to per micromole

// The Debye-Hueckel screening parameter per square root of ionic strength:
// kappa = kDebye sqrt(I), kappa in cm^-1 and I in mol/l, from
//   kappa^2 = 2 NA e^2 (1000 I) / (eps eps0 k T)   (SI units, 1000 I in mol/m^3)
// with eps the relative permittivity of the solvent. With the CODATA
// constants, 3.27e7 cm^-1 means eps T = 23 650 K: water (eps = 80) at 295.6 K,
// about 22.5 degrees C. Water at 20 degrees C (eps = 80.2) gives 3.28e7 and at
// 25 degrees C (eps = 78.4) 3.29e7.
inline constexpr double kDebye = 32700000.0;

// vs = vbar + delta / rho
double specific_volume_from_hydration(double vbar, double hydration, double solvent_density);
// U = vs M ured (ml/mol)
double molar_covolume(double vs, double molar_mass, double ured);
// u = U / NA (ml)
double molecular_covolume(double U);
// B(ex) = U / (2 M^2)
double exclusion_term(double U, double molar_mass);

// B(z) = Z^2 / (4 I M^2) screened by (1 + 2 kappa R) / (1 + kappa R)^2, with
// kappa the Debye parameter (per cm) and R the radius (cm) of the sphere of
// the swollen volume vs M / NA of one molecule.
struct Polyelectrolyte {
  double Bz, kappa, radius, factor;
};
Polyelectrolyte polyelectrolyte_term(const Charge& charge, double vs, double molar_mass);

// B = B(ex) + B(z)
double virial_sum(double Bex, double Bz);

// Every quantity of the report from the inputs, in one composition: U, u,
// B(ex), B(z) when a charge is given (else 0), B = B(ex) + B(z), BM, BM^2 and
// BM^2 per micromolar. The dialogue may leave B(ex) out of B (it asks); B(ex)
// is then 0, as the dialogue reports it.
enum class ExclusionTerm { counted, left_out };
Virial virial_quantities(const VirialInputs& in, ExclusionTerm exclusion = ExclusionTerm::counted);

// The inverse of the exclusion term: the reduced excluded volume whose B(ex)
// is Bex, ured = 2 M B(ex) / vs.
double ured_from_exclusion_term(double Bex, double vs, double molar_mass);

}  // namespace triex

// The quantities of the dilute solution, computed as soon as the dialogue has
// their inputs: the swollen specific volume from hydration data, the molar
// excluded volume U and the excluded volume u of one molecule, the
// exclusion-volume and polyelectrolyte contributions to the second virial
// coefficient, their sum B and the products BM and BM^2.
#pragma once

#include "app/run_data.hpp"

namespace triex {

// Single-precision constants widened to double, used to the bit.
inline constexpr double kThirdSingle = static_cast<double>(0.3333f);  // exponent of the equivalent radius, not 1/3
inline constexpr double kMilliSingle = static_cast<double>(0.001f);   // millilitre to litre in BM^2
inline constexpr double kMicroSingle = static_cast<double>(1e-6f);    // per mole to per micromole
inline constexpr double kDebye = 32700000.0;  // Debye screening parameter per square root of ionic strength

// vs = vbar + delta / rho
double swollen_specific_volume(double VBAR, double HYDRAT, double SOLDEN);
// U = vs M ured and u = U / NA
void molar_covolume(RunData& run);
// B(ex) = U / (2 M^2)
void exclusion_term(RunData& run);
// B(z) = Z^2 / (4 I M^2), screened by (1 + 2 kappa R) / (1 + kappa R)^2
void polyelectrolyte_term(RunData& run);
// B = B(ex) + B(z), BM, BM^2 in litre/mol and per micromolar
void virial_sum(RunData& run);
void virial_products(RunData& run);

}  // namespace triex

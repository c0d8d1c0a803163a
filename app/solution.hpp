// The dialogue's solution quantities: each step computes, from the answers
// kept in the run, the quantities the dialogue prints next, with the shared
// formulas of solution/virial.hpp.
#pragma once

#include "app/run_data.hpp"
#include "solution/virial.hpp"

namespace triex {

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

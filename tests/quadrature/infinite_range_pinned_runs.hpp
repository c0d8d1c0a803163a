// The infinite-range integrator's runs whose results are pinned to the bit
// (tests/quadrature/infinite_range_pinned_data.hpp, written by
// tools/record_infinite_range_pins.cpp): every run here cuts the epsilon table back,
// ends with code 2 by the rounding counters, or ends with code 4 or 5. Those
// are the paths where a fault in the table handling or in the counters changes
// the result without changing the code. All run with LW = 2000, LIW = 500,
// EPSABS = 0 and IFAIL = 1.
#pragma once

#include "tests/quadrature/integrands.hpp"

namespace triex::test_integrands {

struct PinnedRun {
  const char* name;
  double (*f)(double);
  double BOUND;
  int INF;
  double EPSREL;
  double exact;  // the integral, or NaN for a divergent one
};

inline constexpr int kPinnedLW = 2000;
inline constexpr int kPinnedLIW = 500;

inline const PinnedRun kPinnedRuns[] = {
    // Code 0 after the table was cut back.
    {"exp(-x) log x, 1e-12", exp_log, 0.0, 1, 1e-12, -kEulerGamma},
    {"exp(-|x|) log|x| over the line, 1e-12", exp_abs_log_abs, 0.0, 2, 1e-12, -2.0 * kEulerGamma},
    {"exp(-x), 1e-14", exp_minus, 0.0, 1, 1e-14, 1.0},
    {"exp(-x^2) over the line, 1e-14", gaussian, 0.0, 2, 1e-14, kSqrtPi},
    {"1/(1+x^4), 1e-14", quartic_lorentzian, 0.0, 1, 1e-14, kQuarticLorentzian},
    {"jump at 3.14159265, 1e-14", jump_up, 0.0, 1, 1e-14, kJumpIntegral},
    // Codes 1 and 2 after the table was cut back.
    {"1/(1+x), 5e-5", log_divergent, 0.0, 1, 5e-5, std::nan("")},
    {"exp(-x), tolerance 0", exp_minus, 0.0, 1, 0.0, 1.0},
    {"exp(-x) with noise of 3e-5, 1e-8", noisy_exp, 0.0, 1, 1e-8, std::nan("")},
    // Code 4.
    {"exp(-x) log x, tolerance 0", exp_log, 0.0, 1, 0.0, -kEulerGamma},
    {"exp(-x) log^2 x, tolerance 0", exp_log_squared, 0.0, 1, 0.0, kExpLogSquared},
    {"1/(sqrt(x)(1+x)), tolerance 0", inverse_sqrt_lorentz, 0.0, 1, 0.0, kPi},
    {"x^-1.5 from 1, tolerance 0", pow_minus_1_5, 1.0, 1, 0.0, 2.0},
    {"exp(-x) x^-0.99, 1e-10", exp_x_pow_minus_0_99, 0.0, 1, 1e-10, kGammaOfOneMinus0_99},
    {"x^-1.5 from 0, 5e-5", pow_minus_1_5, 0.0, 1, 5e-5, std::nan("")},
    // Code 5.
    {"x^-0.9 from 1, 5e-5", pow_minus_0_9, 1.0, 1, 5e-5, std::nan("")},
    {"x^-0.9 from 1, tolerance 0", pow_minus_0_9, 1.0, 1, 0.0, std::nan("")},
};

}  // namespace triex::test_integrands

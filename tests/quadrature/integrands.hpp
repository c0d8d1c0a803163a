// Integrands of the infinite-range integrator's tests (D01AMV, D01AMF, their
// honest-error family and the recorder of their pinned results), each with
// its integral where that is known in closed form.
//
// Closed forms that are not a single correctly rounded operation were
// evaluated in 30-digit arithmetic (mpmath) for the double exponents the
// integrands actually use (0.99 as a double is 0.98999999999999999112, which
// moves Gamma(1 - p) by about 1e-14 relative), and are written to 21 digits.
#pragma once

#include <bit>
#include <cmath>
#include <cstdint>

namespace triex::test_integrands {

inline const double kPi = std::acos(-1.0);
inline constexpr double kEulerGamma = 0.577215664901532860607;
inline constexpr double kSqrtPi = 1.77245385090551602730;

// Smooth and fast decaying: plain convergence without extrapolation.
inline double exp_minus(double x) { return std::exp(-x); }                            // [0, inf): 1
inline double exp_plus(double x) { return std::exp(x); }                              // (-inf, 0]: 1
inline double lorentzian(double x) { return 1.0 / (1.0 + x * x); }                    // line: pi
inline double gaussian(double x) { return std::exp(-x * x); }                         // line: sqrt(pi)
inline double quartic_lorentzian(double x) { return 1.0 / (1.0 + x * x * x * x); }    // [0, inf): pi/(2 sqrt 2)
inline constexpr double kQuarticLorentzian = 1.11072073453959156175;
// g(t) = 1 on (0, 1]: the rule is exact and its error estimate is the rounding floor.
inline double inverse_square(double x) { return 1.0 / (x * x); }                      // [1, inf): 1

// Zero by the symmetry x -> 1/x; the first rule application is accurate to
// rounding, far below any relative tolerance of 0.
inline double log_over_lorentz(double x) { return std::log(x) / (1.0 + x * x); }      // [0, inf): 0

// Algebraic end-point singularities (and algebraic tails): extrapolation.
inline double inverse_sqrt_lorentz(double x) { return 1.0 / std::sqrt(x) / (1.0 + x); }  // [0, inf): pi
inline double exp_over_sqrt(double x) { return std::exp(-x) / std::sqrt(x); }           // [0, inf): sqrt(pi)
inline double exp_x_pow_minus_0_99(double x) { return std::exp(-x) * std::pow(x, -0.99); }  // Gamma(1 - 0.99)
inline constexpr double kGammaOfOneMinus0_99 = 99.4325851191505149043;
inline double log1p_x_pow_minus_1_5(double x) { return std::log1p(x) * std::pow(x, -1.5); }  // [0, inf): 2 pi
inline double inverse_sqrt_abs_lorentz(double x) {                                           // line: pi sqrt 2
  const double a = std::abs(x);
  return 1.0 / std::sqrt(a) / (1.0 + a * a);
}
inline constexpr double kPiSqrt2 = 4.44288293815836624702;

// Logarithmic end-point singularities.
inline double exp_log(double x) { return std::exp(-x) * std::log(x); }   // [0, inf): -gamma
inline double exp_log_squared(double x) {                                // [0, inf): gamma^2 + pi^2/6
  const double l = std::log(x);
  return std::exp(-x) * l * l;
}
inline constexpr double kExpLogSquared = 1.97811199065594511079;
inline double exp_abs_log_abs(double x) { return std::exp(-std::abs(x)) * std::log(std::abs(x)); }  // line: -2 gamma

// Slowly decaying tails from 1: x^-p gives 1/(p - 1), x^-2 log x gives 1. For
// p < 1 the integral diverges; 1/(p - 1) is then the value of its analytic
// continuation, which extrapolation finds. p - 1 is exact for these doubles.
inline double pow_minus_1_1(double x) { return std::pow(x, -1.1); }
inline double pow_minus_1_5(double x) { return std::pow(x, -1.5); }
inline double pow_minus_0_9(double x) { return std::pow(x, -0.9); }
inline double log_over_square(double x) { return std::log(x) / (x * x); }
inline double tail_of_power(double p) { return 1.0 / (p - 1.0); }

// On [0, inf), g(t) = 1 + sin(40 t)/100 on (0, 1] (t = 1/(1 + x)): a nearly
// constant g on which the 7-point Gauss rule is poor, so that the first error
// estimate is the crude bound RESASC while RESASC is below 1 % of the integral.
inline double wiggle(double x) {
  const double t = 1.0 / (1.0 + x);
  return (1.0 + 0.01 * std::sin(40.0 * t)) * t * t;
}
inline const double kWiggleIntegral = 1.0 + 0.01 * (1.0 - std::cos(40.0)) / 40.0;

// Nonzero only at x = 1, the centre t = 1/2 of the first rule application:
// both halves of the first bisection see only zeros and tie at error 0.
inline double spike_at_one(double x) { return x == 1.0 ? 1.0 : 0.0; }

// exp(-x) with a relative noise of 3e-5 whose sign comes from the bits of x:
// bisection cannot reduce the error below the noise, and the areas of the
// halves differ from their parent's by a few parts in 1e5 (the tolerance of
// the rounding counters).
inline double noisy_exp(double x) {
  std::uint64_t b = std::bit_cast<std::uint64_t>(x);
  b ^= b >> 29;
  b *= 0xbf58476d1ce4e5b9ULL;
  b ^= b >> 32;
  return std::exp(-x) * (1.0 + 3e-5 * ((b & 1) != 0 ? 1.0 : -1.0));
}

// Divergent: logarithmically at infinity, and x^-1.5 at 0.
inline double log_divergent(double x) { return 1.0 / (1.0 + x); }

// A jump at x = 3.14159265 that cannot be resolved to a relative tolerance of
// 0: the sub-interval around it shrinks to the working precision.
inline constexpr double kJump = 3.14159265;
inline double jump_up(double x) { return x < kJump ? std::exp(-x) : 0.0; }    // [0, inf): 1 - exp(-kJump)
inline double jump_down(double x) { return x > -kJump ? std::exp(x) : 0.0; }
inline double jump_both(double x) { return std::abs(x) < kJump ? std::exp(-std::abs(x)) : 0.0; }
inline constexpr double kJumpIntegral = 0.956786081581098727372;

}  // namespace triex::test_integrands

// The infinite-range integrator judged against integrals known in closed
// form: on every path (plain convergence, extrapolation with the table cut
// back, algebraic and logarithmic end-point singularities, slowly decaying
// tails, codes 1 to 5) the true error lies within ABSERR, and within the
// requested tolerance when IFAIL = 0. The runs where a fault would change the
// numbers but not the code are pinned to the bit.

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "quadrature/infinite_range.hpp"
#include "tests/quadrature/infinite_range_pinned_data.hpp"
#include "tests/quadrature/infinite_range_pinned_runs.hpp"
#include "tests/quadrature/integrands.hpp"

namespace triex {
namespace {

using namespace test_integrands;

struct Outcome {
  int IFAIL = 1;
  int n = 0;
  long calls = 0;
  double RESULT = -1, ABSERR = -1;
};

// LW = 4 LIW, so that LIW is the limit on the number of sub-intervals.
Outcome integrate(double (*f)(double), double BOUND, int INF, double EPSREL, int LIW = 500) {
  Outcome out;
  const int LW = 4 * LIW;
  std::vector<double> W(static_cast<std::size_t>(LW));
  std::vector<int> IW(static_cast<std::size_t>(LIW));
  auto counted = [&](double x) {
    ++out.calls;
    return f(x);
  };
  D01AMF(counted, BOUND, INF, 0.0, EPSREL, out.RESULT, out.ABSERR, W, LW, IW, LIW, out.IFAIL);
  out.n = IW[0];
  return out;
}

struct Known {
  const char* name;
  double (*f)(double);
  double BOUND;
  int INF;
  double EPSREL;
  int LIW;
  double exact;
  int IFAIL;
};

TEST(D01AMFHonestError, TrueErrorLiesWithinAbserrOnEveryPath) {
  const Known family[] = {
      // Plain convergence, no extrapolation needed.
      {"exp(-x)", exp_minus, 0.0, 1, 5e-5, 500, 1.0, 0},
      {"exp(x) up to 0", exp_plus, 0.0, -1, 5e-5, 500, 1.0, 0},
      {"1/(1+x^2) over the line", lorentzian, 0.0, 2, 1e-8, 500, kPi, 0},
      {"exp(-x^2) over the line", gaussian, 0.0, 2, 1e-10, 500, kSqrtPi, 0},
      {"1/(1+x^4)", quartic_lorentzian, 0.0, 1, 1e-10, 500, kQuarticLorentzian, 0},
      {"1/x^2 from 1, first estimate", inverse_square, 1.0, 1, 5e-5, 500, 1.0, 0},
      // Algebraic end-point singularities.
      {"1/(sqrt(x)(1+x))", inverse_sqrt_lorentz, 0.0, 1, 1e-10, 500, kPi, 0},
      {"exp(-x)/sqrt(x)", exp_over_sqrt, 0.0, 1, 1e-10, 500, kSqrtPi, 0},
      {"exp(-x) x^-0.99", exp_x_pow_minus_0_99, 0.0, 1, 1e-8, 500, kGammaOfOneMinus0_99, 0},
      {"log(1+x) x^-1.5", log1p_x_pow_minus_1_5, 0.0, 1, 1e-8, 500, 2.0 * kPi, 0},
      {"1/(sqrt|x|(1+x^2)) over the line", inverse_sqrt_abs_lorentz, 0.0, 2, 1e-10, 500, kPiSqrt2, 0},
      // Logarithmic end-point singularities; the first two cut the table back.
      {"exp(-x) log x", exp_log, 0.0, 1, 1e-12, 500, -kEulerGamma, 0},
      {"exp(-|x|) log|x| over the line", exp_abs_log_abs, 0.0, 2, 1e-12, 500, -2.0 * kEulerGamma, 0},
      {"exp(-x) log^2 x", exp_log_squared, 0.0, 1, 1e-10, 500, kExpLogSquared, 0},
      // Slowly decaying tails.
      {"x^-1.1 from 1", pow_minus_1_1, 1.0, 1, 1e-10, 500, tail_of_power(1.1), 0},
      {"x^-1.5 from 1", pow_minus_1_5, 1.0, 1, 1e-10, 500, tail_of_power(1.5), 0},
      {"log x / x^2 from 1", log_over_square, 1.0, 1, 1e-10, 500, 1.0, 0},
      // Tolerances near the rounding level: the table is cut back.
      {"exp(-x), 1e-14", exp_minus, 0.0, 1, 1e-14, 500, 1.0, 0},
      {"exp(-x^2) over the line, 1e-14", gaussian, 0.0, 2, 1e-14, 500, kSqrtPi, 0},
      {"jump at 3.14159265, 1e-14", jump_up, 0.0, 1, 1e-14, 500, kJumpIntegral, 0},
      // Code 1: the limit on sub-intervals.
      {"exp(-x), 3 sub-intervals", exp_minus, 0.0, 1, 5e-5, 3, 1.0, 1},
      {"1/(1+x^4), tolerance 0, 12 sub-intervals", quartic_lorentzian, 0.0, 1, 0.0, 12, kQuarticLorentzian, 1},
      {"1/(1+x^2) over the line, tolerance 0, 12 sub-intervals", lorentzian, 0.0, 2, 0.0, 12, kPi, 1},
      // Code 2: rounding.
      {"exp(-x), tolerance 0", exp_minus, 0.0, 1, 0.0, 500, 1.0, 2},
      {"1/(1+x^2) over the line, tolerance 0", lorentzian, 0.0, 2, 0.0, 500, kPi, 2},
      {"log x/(1+x^2), integral 0", log_over_lorentz, 0.0, 1, 5e-5, 500, 0.0, 2},
      // Code 3: a jump that cannot be resolved.
      {"jump at 3.14159265, tolerance 0", jump_up, 0.0, 1, 0.0, 500, kJumpIntegral, 3},
      // Code 4: the extrapolation table stops converging.
      {"exp(-x) log x, tolerance 0", exp_log, 0.0, 1, 0.0, 500, -kEulerGamma, 4},
      {"exp(-x) log^2 x, tolerance 0", exp_log_squared, 0.0, 1, 0.0, 500, kExpLogSquared, 4},
      {"1/(sqrt(x)(1+x)), tolerance 0", inverse_sqrt_lorentz, 0.0, 1, 0.0, 500, kPi, 4},
      {"x^-1.5 from 1, tolerance 0", pow_minus_1_5, 1.0, 1, 0.0, 500, tail_of_power(1.5), 4},
      {"exp(-x) x^-0.99, 1e-10", exp_x_pow_minus_0_99, 0.0, 1, 1e-10, 500, kGammaOfOneMinus0_99, 4},
      // Code 5: divergent; extrapolation finds the analytic continuation
      // 1/(p - 1) = -10 to within ABSERR, and the divergence test rejects it.
      {"x^-0.9 from 1", pow_minus_0_9, 1.0, 1, 5e-5, 500, tail_of_power(0.9), 5},
  };
  for (const Known& k : family) {
    SCOPED_TRACE(k.name);
    const Outcome out = integrate(k.f, k.BOUND, k.INF, k.EPSREL, k.LIW);
    EXPECT_EQ(out.IFAIL, k.IFAIL);
    const double error = std::abs(out.RESULT - k.exact);
    EXPECT_LE(error, out.ABSERR) << "RESULT " << out.RESULT;
    if (out.IFAIL == 0) {
      EXPECT_LE(error, k.EPSREL * std::abs(k.exact));
      EXPECT_LE(out.ABSERR, k.EPSREL * std::abs(out.RESULT));
    }
  }
}

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(D01AMFPinned, RunsThatCutTheTableBackOrEndWithCodeFourOrFiveRepeatToTheBit) {
  ASSERT_EQ(std::size(kPinnedRuns), std::size(kPinnedResults));
  for (std::size_t i = 0; i < std::size(kPinnedRuns); ++i) {
    const PinnedRun& run = kPinnedRuns[i];
    const PinnedResult& pinned = kPinnedResults[i];
    SCOPED_TRACE(run.name);
    ASSERT_EQ(std::string(run.name), pinned.name) << "the pinned data are out of step with the runs";
    const Outcome out = integrate(run.f, run.BOUND, run.INF, run.EPSREL, kPinnedLIW);
    EXPECT_EQ(out.IFAIL, pinned.IFAIL);
    EXPECT_EQ(out.n, pinned.n);
    EXPECT_EQ(out.calls, pinned.calls);
    EXPECT_EQ(bits(out.RESULT), bits(pinned.RESULT)) << out.RESULT << " pinned " << pinned.RESULT;
    EXPECT_EQ(bits(out.ABSERR), bits(pinned.ABSERR)) << out.ABSERR << " pinned " << pinned.ABSERR;
  }
}

// The pinned values were recorded from runs checked against the closed forms;
// the check is repeated here so that a re-recording cannot pin a wrong value.
TEST(D01AMFPinned, PinnedValuesOfKnownIntegralsAreHonest) {
  for (std::size_t i = 0; i < std::size(kPinnedRuns); ++i) {
    const PinnedRun& run = kPinnedRuns[i];
    const PinnedResult& pinned = kPinnedResults[i];
    if (std::isnan(run.exact)) continue;
    SCOPED_TRACE(run.name);
    const double error = std::abs(pinned.RESULT - run.exact);
    EXPECT_LE(error, pinned.ABSERR);
    if (pinned.IFAIL == 0) {
      EXPECT_LE(error, run.EPSREL * std::abs(run.exact));
    }
  }
}

}  // namespace
}  // namespace triex

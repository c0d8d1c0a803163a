// The adaptive core: classic integrals with their sub-interval and evaluation
// counts, the acceptance of the first estimate, every failure code, the
// report of bad integrand behaviour, and the consistency of the lists.

#include "quadrature/infinite_range_bisection.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "support/machine_constants.hpp"
#include "support/message_unit.hpp"
#include "tests/common/message_capture.hpp"
#include "tests/quadrature/integrands.hpp"

namespace triex {
namespace {

using testing_support::MessageCapture;
using namespace test_integrands;

struct CoreRun {
  int LIMIT;
  std::vector<double> ALIST, BLIST, ELIST, RLIST;
  std::vector<int> IORD;
  double RESULT = -1, ABSERR = -1;
  int IER = 1;
  long calls = 0;

  explicit CoreRun(int limit)
      : LIMIT(limit),
        ALIST(static_cast<std::size_t>(limit), -7.0),
        BLIST(ALIST),
        ELIST(ALIST),
        RLIST(ALIST),
        IORD(static_cast<std::size_t>(limit), -7) {}

  int LAST() const { return IORD[0]; }
  double sum_of_contributions() const { return std::accumulate(RLIST.begin(), RLIST.begin() + LAST(), 0.0); }
};

CoreRun integrate(const std::function<double(double)>& f, double BOUND, int INF, double EPSABS, double EPSREL,
                  int LIMIT, int IFAIL_ON_ENTRY = 1) {
  CoreRun run(LIMIT);
  run.IER = IFAIL_ON_ENTRY;
  auto counted = [&](double x) {
    ++run.calls;
    return f(x);
  };
  D01AMV(counted, BOUND, INF, EPSABS, EPSREL, run.ALIST, run.BLIST, run.ELIST, run.RLIST, LIMIT, run.IORD, run.RESULT,
         run.ABSERR, run.IER);
  return run;
}

// Every run leaves LAST sub-intervals that tile (0, 1], with consistent lists,
// after 15 evaluations per rule application (30 for the whole line).
void expect_consistent_lists(const CoreRun& run, int INF) {
  const int LAST = run.LAST();
  ASSERT_GE(LAST, 1);
  ASSERT_LE(LAST, run.LIMIT);
  EXPECT_EQ(run.calls, (INF == 2 ? 60L : 30L) * LAST - (INF == 2 ? 30 : 15));
  std::vector<std::pair<double, double>> pieces;
  for (std::size_t k = 0; k < static_cast<std::size_t>(LAST); ++k) pieces.emplace_back(run.ALIST[k], run.BLIST[k]);
  std::sort(pieces.begin(), pieces.end());
  EXPECT_EQ(pieces.front().first, 0.0);
  EXPECT_EQ(pieces.back().second, 1.0);
  for (std::size_t k = 0; k + 1 < pieces.size(); ++k) EXPECT_EQ(pieces[k].second, pieces[k + 1].first);
  for (int k = 0; k < LAST; ++k) EXPECT_GE(run.ELIST[static_cast<std::size_t>(k)], 0.0);
}

TEST(D01AMV, ExponentialConvergesWithFourSubIntervalsAndOneHundredFiveCalls) {
  const CoreRun run = integrate(exp_minus, 0.0, 1, 0.0, 5e-5, 500);
  EXPECT_EQ(run.IER, 0);
  EXPECT_EQ(run.LAST(), 4);
  EXPECT_EQ(run.calls, 105);
  EXPECT_NEAR(run.RESULT, 1.0, 5e-5);
  EXPECT_LE(run.ABSERR, 5e-5 * run.RESULT);
  EXPECT_GE(run.ABSERR, std::abs(run.RESULT - 1.0));
  EXPECT_EQ(run.RESULT, run.sum_of_contributions());
  expect_consistent_lists(run, 1);
}

TEST(D01AMV, LorentzianOverTheWholeLineGivesPiWithTwoSubIntervals) {
  const CoreRun run = integrate(lorentzian, 0.0, 2, 0.0, 5e-5, 500);
  EXPECT_EQ(run.IER, 0);
  EXPECT_EQ(run.LAST(), 2);
  EXPECT_EQ(run.calls, 90);
  EXPECT_NEAR(run.RESULT, kPi, 1e-9);
  expect_consistent_lists(run, 2);
}

TEST(D01AMV, BoundIsIgnoredOverTheWholeLine) {
  const CoreRun run = integrate(lorentzian, 123.0, 2, 0.0, 5e-5, 500);
  EXPECT_EQ(run.IER, 0);
  EXPECT_NEAR(run.RESULT, kPi, 1e-9);
}

TEST(D01AMV, ExtrapolationComputesSingularAndSlowlyDecayingIntegrals) {
  struct Case {
    const char* name;
    double (*f)(double);
    double BOUND, exact;
  };
  const Case cases[] = {
      {"1/(sqrt(x)(1+x)) = pi", inverse_sqrt_lorentz, 0.0, kPi},
      {"exp(-x) log x = -Euler gamma", exp_log, 0.0, -kEulerGamma},
      {"x^-1.1 from 1 = 10", pow_minus_1_1, 1.0, 10.0},
  };
  for (const Case& c : cases) {
    const CoreRun run = integrate(c.f, c.BOUND, 1, 0.0, 5e-5, 500);
    EXPECT_EQ(run.IER, 0) << c.name;
    EXPECT_NEAR(run.RESULT, c.exact, 5e-5 * std::abs(c.exact)) << c.name;
    // The plain sum lags behind: the result is the extrapolated one.
    EXPECT_GT(std::abs(run.sum_of_contributions() - c.exact), std::abs(run.RESULT - c.exact)) << c.name;
    expect_consistent_lists(run, 1);
  }
}

// A first estimate that is the crude bound RESASC says nothing about the
// error, even when it lies within the tolerance: the interval is bisected once.
TEST(D01AMV, CrudeFirstEstimateIsNotAcceptedEvenWithinTheTolerance) {
  const CoreRun run = integrate(wiggle, 0.0, 1, 0.0, 0.1, 500);
  EXPECT_EQ(run.IER, 0);
  EXPECT_EQ(run.LAST(), 2);
  EXPECT_EQ(run.calls, 45);
  EXPECT_LE(std::abs(run.RESULT - kWiggleIntegral), run.ABSERR);
  EXPECT_LE(run.ABSERR, 0.1 * run.RESULT);
}

TEST(D01AMV, OnATieTheLeftHalfKeepsTheIndexOfTheBisectedSubInterval) {
  const CoreRun run = integrate(spike_at_one, 0.0, 1, 0.0, 0.0, 10);
  EXPECT_EQ(run.IER, 0);
  ASSERT_EQ(run.LAST(), 2);
  EXPECT_EQ(run.ELIST[0], 0.0);
  EXPECT_EQ(run.ELIST[1], 0.0);
  EXPECT_EQ(run.ALIST[0], 0.0);
  EXPECT_EQ(run.BLIST[0], 0.5);
  EXPECT_EQ(run.ALIST[1], 0.5);
  EXPECT_EQ(run.BLIST[1], 1.0);
  EXPECT_EQ(run.RESULT, 0.0);
}

TEST(D01AMV, ZeroErrorOnTheFirstApplicationIsAcceptedEvenWithOneSubInterval) {
  for (int INF : {1, -1, 2}) {
    const CoreRun run = integrate([](double) { return 0.0; }, 0.0, INF, 0.0, 0.0, 1);
    EXPECT_EQ(run.IER, 0);
    EXPECT_EQ(run.LAST(), 1);
    EXPECT_EQ(run.RESULT, 0.0);
    EXPECT_EQ(run.ABSERR, 0.0);
    EXPECT_EQ(run.ALIST[0], 0.0);
    EXPECT_EQ(run.BLIST[0], 1.0);
  }
}

TEST(D01AMV, InverseSquareIsAcceptedAtTheRoundingFloorAfterFifteenCalls) {
  const CoreRun run = integrate(inverse_square, 1.0, 1, 0.0, 5e-5, 500);
  EXPECT_EQ(run.IER, 0);
  EXPECT_EQ(run.LAST(), 1);
  EXPECT_EQ(run.calls, 15);
  EXPECT_NEAR(run.RESULT, 1.0, 4e-16);
  EXPECT_NEAR(run.ABSERR, 50.0 * X02AJF(), 1e-30);
  EXPECT_EQ(run.RLIST[0], run.RESULT);
  EXPECT_EQ(run.ELIST[0], run.ABSERR);
}

TEST(D01AMV, OneSubIntervalWithoutAcceptanceGivesCodeOneAndTheFirstEstimate) {
  const CoreRun run = integrate(exp_minus, 0.0, 1, 0.0, 5e-5, 1);
  EXPECT_EQ(run.IER, 1);
  EXPECT_EQ(run.LAST(), 1);
  EXPECT_EQ(run.calls, 15);
  EXPECT_NEAR(run.RESULT, 0.9999887, 0.5e-7);
  EXPECT_NEAR(run.ABSERR, 0.1236, 0.5e-4);
}

TEST(D01AMV, ErrorAtTheRoundingLevelOfTheFirstApplicationGivesCodeTwoWhateverTheLimit) {
  for (int LIMIT : {1, 500}) {
    const CoreRun run = integrate(log_over_lorentz, 0.0, 1, 0.0, 5e-5, LIMIT);
    EXPECT_EQ(run.IER, 2) << "LIMIT=" << LIMIT;
    EXPECT_EQ(run.LAST(), 1);
    EXPECT_LT(std::abs(run.RESULT), 1e-15);
  }
}

TEST(D01AMV, ToleranceMetInThePassThatReachesTheLimitIsSuccess) {
  const CoreRun at_limit = integrate(exp_minus, 0.0, 1, 0.0, 5e-5, 4);
  EXPECT_EQ(at_limit.IER, 0);
  EXPECT_EQ(at_limit.LAST(), 4);
  const CoreRun short_of_it = integrate(exp_minus, 0.0, 1, 0.0, 5e-5, 3);
  EXPECT_EQ(short_of_it.IER, 1);
  EXPECT_EQ(short_of_it.LAST(), 3);
  EXPECT_EQ(short_of_it.RESULT, short_of_it.sum_of_contributions());
  expect_consistent_lists(short_of_it, 1);
}

TEST(D01AMV, ExtrapolationThatSucceedsInTheLastAllowedPassClearsCodeOne) {
  auto f = inverse_sqrt_lorentz;
  const CoreRun free_run = integrate(f, 0.0, 1, 0.0, 5e-5, 500);
  ASSERT_EQ(free_run.IER, 0);
  ASSERT_EQ(free_run.LAST(), 10);
  const CoreRun at_limit = integrate(f, 0.0, 1, 0.0, 5e-5, 10);
  EXPECT_EQ(at_limit.IER, 0);
  EXPECT_EQ(at_limit.RESULT, free_run.RESULT);
  EXPECT_NE(at_limit.RESULT, at_limit.sum_of_contributions());
  const CoreRun one_short = integrate(f, 0.0, 1, 0.0, 5e-5, 9);
  EXPECT_EQ(one_short.IER, 1);
}

TEST(D01AMV, LogarithmicallyDivergentIntegralExhaustsTheLimit) {
  const CoreRun run = integrate(log_divergent, 0.0, 1, 0.0, 5e-5, 500);
  EXPECT_EQ(run.IER, 1);
  EXPECT_EQ(run.LAST(), 500);
  EXPECT_EQ(run.calls, 14985);
  expect_consistent_lists(run, 1);
}

TEST(D01AMV, UnreachableToleranceEndsWithRoundingCodeTwo) {
  const CoreRun run = integrate(exp_minus, 0.0, 1, 0.0, 0.0, 500);
  EXPECT_EQ(run.IER, 2);
  EXPECT_NEAR(run.RESULT, 1.0, 1e-15);
  expect_consistent_lists(run, 1);
}

TEST(D01AMV, NonIntegrableSingularityGivesExtrapolationCodeFour) {
  const CoreRun run = integrate(pow_minus_1_5, 0.0, 1, 0.0, 5e-5, 500);
  EXPECT_EQ(run.IER, 4);
  expect_consistent_lists(run, 1);
}

TEST(D01AMV, DivergentTailGivesCodeFive) {
  // x^-0.9 from 1: the extrapolation finds -10, the value of the analytic
  // continuation, and the divergence test rejects it.
  const CoreRun run = integrate(pow_minus_0_9, 1.0, 1, 0.0, 5e-5, 500);
  EXPECT_EQ(run.IER, 5);
  EXPECT_NEAR(run.RESULT, -10.0, 1e-9);
  expect_consistent_lists(run, 1);
}

// The jump at x = 3.14159265: the sub-interval around it shrinks to the
// working precision and its end-points, printed to eight digits, fall on
// either side of the decimal value.

TEST(D01AMV, UnresolvableJumpGivesCodeThreeAndNamesTheSubInterval) {
  struct Case {
    double (*f)(double);
    double BOUND;
    int INF;
    const char* lines;
  };
  const Case cases[] = {
      {jump_up, 0.0, 1,
       " ** Extremely bad integrand behaviour occurs around the subinterval\n"
       "    (  3.1415926D+00 ,   3.1415927D+00 )\n"},
      {jump_down, 0.0, -1,
       " ** Extremely bad integrand behaviour occurs around the subinterval\n"
       "    ( -3.1415927D+00 ,  -3.1415926D+00 )\n"},
      {jump_both, 0.0, 2,
       " ** Extremely bad integrand behaviour occurs around one of the subintervals\n"
       "    (  3.1415926D+00 ,   3.1415927D+00 ) or ( -3.1415927D+00 ,  -3.1415926D+00 )\n"},
      {[](double x) { return jump_up(x - 10.0); }, 10.0, 1,
       " ** Extremely bad integrand behaviour occurs around the subinterval\n"
       "    (  1.3141593D+01 ,   1.3141593D+01 )\n"},
      {[](double x) { return jump_down(x + 10.0); }, -10.0, -1,
       " ** Extremely bad integrand behaviour occurs around the subinterval\n"
       "    ( -1.3141593D+01 ,  -1.3141593D+01 )\n"},
  };
  for (const Case& c : cases) {
    MessageCapture messages;
    const CoreRun run = integrate(c.f, c.BOUND, c.INF, 0.0, 0.0, 500, 0);
    EXPECT_EQ(run.IER, 3) << c.lines;
    EXPECT_EQ(messages.text(), c.lines);
    expect_consistent_lists(run, c.INF);
  }
}

TEST(D01AMV, BadBehaviourIsReportedUnlessTheCallerAskedForSilence) {
  for (int entry : {0, -1, 2, 100, 1}) {
    MessageCapture messages;
    const CoreRun run = integrate(jump_up, 0.0, 1, 0.0, 0.0, 500, entry);
    EXPECT_EQ(run.IER, 3) << "entry " << entry;
    EXPECT_EQ(messages.text().empty(), entry == 1) << "entry " << entry;
  }
}

TEST(D01AMV, OtherFailureCodesWriteNothing) {
  MessageCapture messages;
  EXPECT_EQ(integrate(exp_minus, 0.0, 1, 0.0, 5e-5, 1, 0).IER, 1);
  EXPECT_EQ(integrate(log_over_lorentz, 0.0, 1, 0.0, 5e-5, 500, 0).IER, 2);
  EXPECT_EQ(integrate(pow_minus_0_9, 1.0, 1, 0.0, 5e-5, 500, 0).IER, 5);
  EXPECT_EQ(messages.text(), "");
}

}  // namespace
}  // namespace triex

// The public infinite-range integrator: argument checks, the compacted and
// sorted list of sub-intervals in the workspace, every failure message, and
// the hard failure that ends the run.

#include "quadrature/infinite_range.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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
#include "tests/common/program_hook.hpp"

namespace triex {
namespace {

using testing_support::MessageCapture;
using namespace test_integrands;

// A call of D01AMF on workspaces pre-filled with markers.
struct Call {
  static constexpr double kWMarker = 7.25;
  static constexpr int kIWMarker = -3;
  std::vector<double> W;
  std::vector<int> IW;
  int LW, LIW;
  double RESULT = -1, ABSERR = -1;
  int IFAIL;
  long calls = 0;

  Call(int lw, int liw, int ifail = 1)
      : W(static_cast<std::size_t>(std::max(lw, 0)), kWMarker),
        IW(static_cast<std::size_t>(std::max(liw, 0)), kIWMarker),
        LW(lw),
        LIW(liw),
        IFAIL(ifail) {}

  Call& run(const std::function<double(double)>& f, double BOUND, int INF, double EPSABS, double EPSREL) {
    auto counted = [&](double x) {
      ++calls;
      return f(x);
    };
    D01AMF(counted, BOUND, INF, EPSABS, EPSREL, RESULT, ABSERR, W, LW, IW, LIW, IFAIL);
    return *this;
  }
  int n() const { return IW[0]; }
  // Section j (0 left ends, 1 right ends, 2 errors, 3 contributions) of the exit list.
  std::vector<double> section(int j) const {
    return {W.begin() + j * n(), W.begin() + (j + 1) * n()};
  }
};

// The exit list is sorted by left end and tiles (0, 1]; nothing after it.
void expect_sorted_tiling(const Call& c) {
  const int n = c.n();
  ASSERT_GE(n, 1);
  const std::vector<double> a = c.section(0), b = c.section(1), e = c.section(2);
  EXPECT_EQ(a[0], 0.0);
  for (int i = 0; i + 1 < n; ++i) {
    EXPECT_LT(a[static_cast<std::size_t>(i)], a[static_cast<std::size_t>(i + 1)]);
    EXPECT_EQ(b[static_cast<std::size_t>(i)], a[static_cast<std::size_t>(i + 1)]);
  }
  EXPECT_EQ(b.back(), 1.0);
  for (double ei : e) EXPECT_GE(ei, 0.0);
  for (int i = 4 * n; i < c.LW; ++i) ASSERT_EQ(c.W[static_cast<std::size_t>(i)], 0.0) << "W(" << i + 1 << ")";
  const int LIMIT = std::min(c.LW / 4, c.LIW);
  for (int i = LIMIT; i < c.LIW; ++i) {
    ASSERT_EQ(c.IW[static_cast<std::size_t>(i)], Call::kIWMarker) << "IW(" << i + 1 << ")";
  }
}

double sum(const std::vector<double>& v) { return std::accumulate(v.begin(), v.end(), 0.0); }

// An extended regular expression that matches exactly the given text.
std::string exactly(const std::string& text) {
  std::string re = "^";
  for (char ch : text) {
    if (std::string_view(".[]()*+?{}|^$\\").find(ch) != std::string_view::npos) re += '\\';
    re += ch;
  }
  return re + "$";
}

TEST(D01AMF, ExponentialReturnsItsFourSubIntervalsSortedAndCompacted) {
  Call c(2000, 500);
  c.run(exp_minus, 0.0, 1, 0.0, 5e-5);
  EXPECT_EQ(c.IFAIL, 0);
  EXPECT_EQ(c.calls, 105);
  EXPECT_NEAR(c.RESULT, 1.0, 5e-5);
  ASSERT_EQ(c.n(), 4);
  EXPECT_EQ(c.section(0), (std::vector<double>{0.0, 0.125, 0.25, 0.5}));
  EXPECT_EQ(c.section(1), (std::vector<double>{0.125, 0.25, 0.5, 1.0}));
  // The core keeps its sums by update; the sorted sections agree with them up
  // to rounding (the error sum has fallen from 0.12 by six orders).
  EXPECT_NEAR(sum(c.section(2)), c.ABSERR, 1e-16);
  EXPECT_DOUBLE_EQ(sum(c.section(3)), c.RESULT);
  // Most of the integral lies on t in [0.5, 1], that is x in [0, 1].
  EXPECT_NEAR(c.W[15], 1.0 - std::exp(-1.0), 1e-12);
  expect_sorted_tiling(c);
  // IW(2..n): ranks from 1..n, distinct.
  std::vector<int> ranks(c.IW.begin() + 1, c.IW.begin() + 4);
  std::sort(ranks.begin(), ranks.end());
  EXPECT_TRUE(std::adjacent_find(ranks.begin(), ranks.end()) == ranks.end());
  EXPECT_GE(ranks.front(), 1);
  EXPECT_LE(ranks.back(), 4);
}

TEST(D01AMF, LorentzianOverTheWholeLineGivesPiWithTwoSubIntervals) {
  Call c(2000, 500);
  c.run(lorentzian, 0.0, 2, 0.0, 5e-5);
  EXPECT_EQ(c.IFAIL, 0);
  EXPECT_EQ(c.calls, 90);
  EXPECT_EQ(c.n(), 2);
  EXPECT_NEAR(c.RESULT, kPi, 1e-9);
  EXPECT_DOUBLE_EQ(sum(c.section(3)), c.RESULT);
  expect_sorted_tiling(c);
}

TEST(D01AMF, FirstEstimateAcceptedLeavesOneSubIntervalAndZerosAfterIt) {
  Call c(2000, 500);
  c.run(inverse_square, 1.0, 1, 0.0, 5e-5);
  EXPECT_EQ(c.IFAIL, 0);
  EXPECT_EQ(c.calls, 15);
  ASSERT_EQ(c.n(), 1);
  EXPECT_NEAR(c.RESULT, 1.0, 4e-16);
  EXPECT_EQ(c.W[0], 0.0);
  EXPECT_EQ(c.W[1], 1.0);
  EXPECT_EQ(c.W[2], c.ABSERR);
  EXPECT_EQ(c.W[3], c.RESULT);
  for (std::size_t i = 4; i < c.W.size(); ++i) ASSERT_EQ(c.W[i], 0.0) << "W(" << i + 1 << ")";
  for (std::size_t i = 1; i < c.IW.size(); ++i) ASSERT_EQ(c.IW[i], Call::kIWMarker) << "IW(" << i + 1 << ")";
}

TEST(D01AMF, ShorterIntegerWorkspaceLowersTheLimitAndTheListIsCompactedFromThere) {
  Call small(2000, 100);  // LIMIT 100: the lists start at W(101), W(201), W(301)
  small.run(inverse_sqrt_lorentz, 0.0, 1, 0.0, 5e-5);
  Call large(2000, 500);
  large.run(inverse_sqrt_lorentz, 0.0, 1, 0.0, 5e-5);
  EXPECT_EQ(small.IFAIL, 0);
  EXPECT_NEAR(small.RESULT, kPi, 5e-5 * kPi);
  ASSERT_EQ(small.n(), 10);
  expect_sorted_tiling(small);
  EXPECT_EQ(small.RESULT, large.RESULT);
  EXPECT_EQ(std::vector<double>(small.W.begin(), small.W.begin() + 40),
            std::vector<double>(large.W.begin(), large.W.begin() + 40));
  // Here extrapolation took over: the result is not the sum of the contributions.
  EXPECT_NE(sum(small.section(3)), small.RESULT);
}

TEST(D01AMF, ExitListTilesTheUnitIntervalForEveryOutcome) {
  struct Case {
    const char* name;
    double (*f)(double);
    double BOUND;
    int INF;
    double EPSREL;
    int code;
  };
  const Case cases[] = {
      {"exp(-x)", exp_minus, 0.0, 1, 5e-5, 0},
      {"exp(x) below 2", [](double x) { return std::exp(x - 2.0); }, 2.0, -1, 5e-5, 0},
      {"1/sqrt(x)(1+x)", inverse_sqrt_lorentz, 0.0, 1, 5e-5, 0},
      {"sin(x)^2/x^2 over the line", [](double x) { return x == 0 ? 1.0 : std::sin(x) * std::sin(x) / (x * x); }, 0.0,
       2, 5e-5, 0},
      {"1/(1+x)", log_divergent, 0.0, 1, 5e-5, 1},
      {"exp(-x), tolerance 0", exp_minus, 0.0, 1, 0.0, 2},
      {"jump at pi", jump_up, 0.0, 1, 0.0, 3},
      {"x^-1.5", pow_minus_1_5, 0.0, 1, 5e-5, 4},
      {"x^-0.9 from 1", pow_minus_0_9, 1.0, 1, 5e-5, 5},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Call c(2000, 500);
    c.run(k.f, k.BOUND, k.INF, 0.0, k.EPSREL);
    EXPECT_EQ(c.IFAIL, k.code);
    EXPECT_EQ(c.calls, (k.INF == 2 ? 60L : 30L) * c.n() - (k.INF == 2 ? 30 : 15));
    expect_sorted_tiling(c);
  }
}

TEST(D01AMF, NegativeTolerancesActAsTheirAbsoluteValues) {
  Call positive(2000, 500), negative(2000, 500);
  positive.run(inverse_sqrt_lorentz, 0.0, 1, 1e-6, 5e-5);
  negative.run(inverse_sqrt_lorentz, 0.0, 1, -1e-6, -5e-5);
  EXPECT_EQ(negative.IFAIL, 0);
  EXPECT_EQ(negative.RESULT, positive.RESULT);
  EXPECT_EQ(negative.ABSERR, positive.ABSERR);
  EXPECT_EQ(negative.W, positive.W);
  EXPECT_EQ(negative.IW, positive.IW);
}

TEST(D01AMF, OneSubIntervalAllowedGivesCodeOneOrTwo) {
  {
    Call c(4, 1);
    c.run(exp_minus, 0.0, 1, 0.0, 5e-5);
    EXPECT_EQ(c.IFAIL, 1);
    EXPECT_EQ(c.n(), 1);
    EXPECT_NEAR(c.RESULT, 0.9999887, 0.5e-7);
    EXPECT_EQ((std::vector<double>{c.W[0], c.W[1], c.W[2], c.W[3]}),
              (std::vector<double>{0.0, 1.0, c.ABSERR, c.RESULT}));
  }
  {
    Call c(4, 1);
    c.run(log_over_lorentz, 0.0, 1, 0.0, 5e-5);
    EXPECT_EQ(c.IFAIL, 2);
    EXPECT_EQ(c.n(), 1);
  }
  {
    Call c(7, 500);  // LW div 4 = 1
    c.run(exp_minus, 0.0, 1, 0.0, 5e-5);
    EXPECT_EQ(c.IFAIL, 1);
    EXPECT_EQ(c.n(), 1);
    EXPECT_EQ(c.calls, 15);
    expect_sorted_tiling(c);
  }
}

TEST(D01AMF, InvalidWorkspaceOrRangeIsRejectedWithItsMessageAndNothingComputed) {
  struct Case {
    int LW, LIW, INF;
    const char* lines;
  };
  const Case cases[] = {
      {3, 500, 1,
       " ** On entry, LW.lt.4 or LIW.lt.1:\n"
       "    LW =                3  LIW =              500\n"},
      {4, 0, 1,
       " ** On entry, LW.lt.4 or LIW.lt.1:\n"
       "    LW =                4  LIW =                0\n"},
      {3, 0, 0,  // both wrong: only the first message
       " ** On entry, LW.lt.4 or LIW.lt.1:\n"
       "    LW =                3  LIW =                0\n"},
      {2000, 500, 0,
       " ** On entry, INF.ne.-1 and INF.ne.1 and INF.ne.2\n"
       "    INF =               0\n"},
      {2000, 500, -2,
       " ** On entry, INF.ne.-1 and INF.ne.1 and INF.ne.2\n"
       "    INF =              -2\n"},
  };
  for (const Case& k : cases) {
    MessageCapture messages;
    Call c(k.LW, k.LIW, -1);
    c.run(exp_minus, 0.0, k.INF, 0.0, 5e-5);
    EXPECT_EQ(c.IFAIL, 6);
    EXPECT_EQ(messages.text(), std::string(k.lines) +
                                   " ** ABNORMAL EXIT from library routine D01AMF: IFAIL =     6\n"
                                   " ** Soft failure - control returned\n");
    EXPECT_EQ(c.calls, 0);
    EXPECT_EQ(c.RESULT, -1.0);
    EXPECT_EQ(c.ABSERR, -1.0);
    EXPECT_TRUE(std::all_of(c.W.begin(), c.W.end(), [](double w) { return w == Call::kWMarker; }));
    EXPECT_TRUE(std::all_of(c.IW.begin(), c.IW.end(), [](int i) { return i == Call::kIWMarker; }));
  }
}

TEST(D01AMF, SilentSoftFailureWritesNothingAndReturnsTheCode) {
  MessageCapture messages;
  Call limit(2000, 500, 1);
  limit.run(log_divergent, 0.0, 1, 0.0, 5e-5);
  EXPECT_EQ(limit.IFAIL, 1);
  EXPECT_EQ(limit.n(), 500);
  Call bad(3, 500, 1);
  bad.run(exp_minus, 0.0, 1, 0.0, 5e-5);
  EXPECT_EQ(bad.IFAIL, 6);
  Call jump(2000, 500, 1);
  jump.run(jump_up, 0.0, 1, 0.0, 0.0);
  EXPECT_EQ(jump.IFAIL, 3);
  EXPECT_EQ(messages.text(), "");
}

TEST(D01AMF, EachComputationalFailureWritesItsOwnLines) {
  struct Case {
    const char* name;
    double (*f)(double);
    double BOUND, EPSABS, EPSREL;
    int code;
    const char* lines;
  };
  const Case cases[] = {
      {"limit", log_divergent, 0.0, 0.0, 5e-5, 1,
       " ** The maximum number of subdivisions (LIMIT) has been reached:\n"
       "    LIMIT =              500   LW =             2000   LIW =              500\n"},
      {"rounding, negative EPSREL", log_over_lorentz, 0.0, 0.0, -5e-5, 2,
       " ** Round-off error prevents the requested tolerance from being achieved:\n"
       "    EPSABS =  0.0D+00  EPSREL = -5.0D-05\n"},
      {"rounding, tolerances as given", log_over_lorentz, 0.0, -2.5e-300, 1e-100, 2,
       " ** Round-off error prevents the requested tolerance from being achieved:\n"
       "    EPSABS = -2.5-300  EPSREL =  1.0-100\n"},
      {"bad behaviour", jump_up, 0.0, 0.0, 0.0, 3,
       " ** Extremely bad integrand behaviour occurs around the subinterval\n"
       "    (  3.1415926D+00 ,   3.1415927D+00 )\n"},
      {"extrapolation", pow_minus_1_5, 0.0, 0.0, 5e-5, 4,
       " ** Round-off error is detected in the extrapolation table\n"},
      {"divergence", pow_minus_0_9, 1.0, 0.0, 5e-5, 5,
       " ** The integral is probably divergent or slowly convergent\n"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    MessageCapture messages;
    Call c(2000, 500, -1);
    c.run(k.f, k.BOUND, 1, k.EPSABS, k.EPSREL);
    EXPECT_EQ(c.IFAIL, k.code);
    EXPECT_EQ(messages.text(), std::string(k.lines) + " ** ABNORMAL EXIT from library routine D01AMF: IFAIL =     " +
                                   std::to_string(k.code) + "\n ** Soft failure - control returned\n");
    expect_sorted_tiling(c);
  }
}

TEST(D01AMF, BadBehaviourLinesAppearAloneWhenTheFailureItselfIsSilent) {
  for (int entry : {2, 100}) {
    MessageCapture messages;
    Call c(2000, 500, entry);
    c.run(jump_up, 0.0, 1, 0.0, 0.0);
    EXPECT_EQ(c.IFAIL, 3);
    EXPECT_EQ(messages.text(),
              " ** Extremely bad integrand behaviour occurs around the subinterval\n"
              "    (  3.1415926D+00 ,   3.1415927D+00 )\n");
  }
}

// In the child the messages go, as in the program, to standard output, which
// is joined to standard error for the death-test matcher.
void integrate_with_hard_failure(double (*f)(double), double EPSREL) {
  testing_support::exit_on_hard_failure();
  ::dup2(2, 1);
  std::array<double, 2000> W{};
  std::array<int, 500> IW{};
  double RESULT = 0, ABSERR = 0;
  int IFAIL = 0;
  D01AMF(f, 0.0, 1, 0.0, EPSREL, RESULT, ABSERR, W, 2000, IW, 500, IFAIL);
}

TEST(D01AMFDeathTest, ExhaustedLimitWithHardFailureWritesFourLinesAndEndsTheRun) {
  EXPECT_EXIT(integrate_with_hard_failure(log_divergent, 5e-5), testing::ExitedWithCode(1),
              exactly(" ** The maximum number of subdivisions (LIMIT) has been reached:\n"
                      "    LIMIT =              500   LW =             2000   LIW =              500\n"
                      " ** ABNORMAL EXIT from library routine D01AMF: IFAIL =     1\n"
                      " ** Hard failure - execution terminated\n"));
}

TEST(D01AMFDeathTest, BadBehaviourWithHardFailureWritesTheSubIntervalThenEndsTheRun) {
  EXPECT_EXIT(integrate_with_hard_failure(jump_up, 0.0), testing::ExitedWithCode(1),
              exactly(" ** Extremely bad integrand behaviour occurs around the subinterval\n"
                      "    (  3.1415926D+00 ,   3.1415927D+00 )\n"
                      " ** ABNORMAL EXIT from library routine D01AMF: IFAIL =     3\n"
                      " ** Hard failure - execution terminated\n"));
}

}  // namespace
}  // namespace triex

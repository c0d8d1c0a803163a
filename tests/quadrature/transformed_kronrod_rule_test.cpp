// The transformed 15-point Gauss-Kronrod rule: exactness, the four outputs on
// the classic examples, the error floor, and the order of the integrand calls.

#include "quadrature/transformed_kronrod_rule.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "quadrature/tables/gauss_kronrod15.hpp"
#include "support/machine_constants.hpp"

namespace triex {
namespace {

struct RuleOutput {
  double RESULT = -1, ABSERR = -1, RESABS = -1, RESASC = -1;
};

template <class F>
RuleOutput apply_rule(F&& f, double BOUND, int INF, double a, double b) {
  RuleOutput out;
  D01AMZ(f, BOUND, INF, a, b, out.RESULT, out.ABSERR, out.RESABS, out.RESASC);
  return out;
}

TEST(D01AMZ, ZeroIntegrandGivesZeroForAllFourOutputs) {
  for (int INF : {1, -1, 2}) {
    const RuleOutput out = apply_rule([](double) { return 0.0; }, 0.0, INF, 0.0, 1.0);
    EXPECT_EQ(out.RESULT, 0.0) << "INF=" << INF;
    EXPECT_EQ(out.ABSERR, 0.0) << "INF=" << INF;
    EXPECT_EQ(out.RESABS, 0.0) << "INF=" << INF;
    EXPECT_EQ(out.RESASC, 0.0) << "INF=" << INF;
  }
}

TEST(D01AMZ, OddIntegrandOverTheWholeLineCancelsExactlyAfterThirtyCalls) {
  int calls = 0;
  auto odd = [&](double x) {
    ++calls;
    return x * std::exp(-x * x);
  };
  const RuleOutput out = apply_rule(odd, 0.0, 2, 0.0, 1.0);
  EXPECT_EQ(calls, 30);
  EXPECT_EQ(out.RESULT, 0.0);
  EXPECT_EQ(out.ABSERR, 0.0);
  EXPECT_EQ(out.RESABS, 0.0);
  EXPECT_EQ(out.RESASC, 0.0);
}

TEST(D01AMZ, ConstantTransformedIntegrandEndsAtTheRoundingFloorAfterFifteenCalls) {
  // 1/x^2 from 1 to infinity becomes g(t) = 1 on (0, 1].
  int calls = 0;
  auto inverse_square = [&](double x) {
    ++calls;
    return 1.0 / (x * x);
  };
  const RuleOutput out = apply_rule(inverse_square, 1.0, 1, 0.0, 1.0);
  EXPECT_EQ(calls, 15);
  EXPECT_NEAR(out.RESULT, 1.0, 4e-16);
  EXPECT_DOUBLE_EQ(out.RESABS, out.RESULT);
  EXPECT_LT(out.RESASC, 1e-15);
  EXPECT_EQ(out.ABSERR, 50.0 * X02AJF() * out.RESABS);
  EXPECT_NEAR(out.ABSERR, 5.6e-15, 0.05e-15);
}

// Reference values: the rule's formulas evaluated in 30-digit arithmetic
// (mpmath) with the table's nodes and weights give RESULT 0.99998872018,
// ABSERR 0.12363771210 and RESASC 0.40496820884.
TEST(D01AMZ, ExponentialOnTheWholeTransformedRangeAgreesWithTheRuleInHighPrecision) {
  const RuleOutput out = apply_rule([](double x) { return std::exp(-x); }, 0.0, 1, 0.0, 1.0);
  EXPECT_NEAR(out.RESULT, 0.9999887, 0.5e-7);
  EXPECT_NEAR(out.ABSERR, 0.1236, 0.5e-4);
  EXPECT_NEAR(out.RESASC, 0.4050, 0.5e-4);
  // g >= 0, so the rule on |g| differs from the rule on g only by rounding.
  EXPECT_DOUBLE_EQ(out.RESABS, out.RESULT);
}

TEST(D01AMZ, LowerRangeWithMirroredIntegrandGivesBitwiseTheSameOutputs) {
  const RuleOutput upper = apply_rule([](double x) { return std::exp(-x); }, 0.0, 1, 0.0, 1.0);
  const RuleOutput lower = apply_rule([](double x) { return std::exp(x); }, 0.0, -1, 0.0, 1.0);
  EXPECT_EQ(lower.RESULT, upper.RESULT);
  EXPECT_EQ(lower.ABSERR, upper.ABSERR);
  EXPECT_EQ(lower.RESABS, upper.RESABS);
  EXPECT_EQ(lower.RESASC, upper.RESASC);
}

TEST(D01AMZ, LorentzianOverTheWholeLineGivesPiToAboutTenDigits) {
  const RuleOutput out = apply_rule([](double x) { return 1.0 / (1.0 + x * x); }, 0.0, 2, 0.0, 1.0);
  EXPECT_NEAR(out.RESULT, 3.14159265369, 0.5e-11);
  EXPECT_NEAR(out.RESULT, std::acos(-1.0), 2e-10);
  EXPECT_NEAR(out.ABSERR, 3.9e-4, 0.05e-4);
}

// With t = 1/(1 + x) the integrand f(x) = t^(k+2) becomes g(t) = t^k: the
// Kronrod rule integrates it exactly up to degree 22, and for k <= 13 the Gauss
// rule does too, so the estimate falls to its floor.
TEST(D01AMZ, IntegratesPowersOfTheTransformedVariableExactly) {
  const double a = 0.2, b = 0.7;
  for (int k = 0; k <= 22; ++k) {
    auto power = [k](double x) { return std::pow(1.0 / (1.0 + x), k + 2); };
    const RuleOutput out = apply_rule(power, 0.0, 1, a, b);
    const double exact = (std::pow(b, k + 1) - std::pow(a, k + 1)) / (k + 1);
    EXPECT_NEAR(out.RESULT, exact, 1e-14 * exact) << "k=" << k;
    if (k <= 13) {
      EXPECT_EQ(out.ABSERR, 50.0 * X02AJF() * out.RESABS) << "k=" << k;
    }
  }
  // Degree 30 is beyond both rules: the estimate is no longer at the floor.
  auto degree30 = [](double x) { return std::pow(1.0 / (1.0 + x), 32); };
  const RuleOutput out = apply_rule(degree30, 0.0, 1, a, b);
  EXPECT_GT(out.ABSERR, 50.0 * X02AJF() * out.RESABS * 10);
}

TEST(D01AMZ, CallsTheIntegrandCentreFirstThenNodePairsFromTheOutsideIn) {
  const double BOUND = 2.0, a = 0.25, b = 0.75;
  std::vector<double> seen;
  auto spy = [&](double x) {
    seen.push_back(x);
    return 1.0;
  };
  apply_rule(spy, BOUND, 1, a, b);
  auto x_of = [&](double t) { return BOUND + 1.0 * (1.0 - t) / t; };
  const double c = 0.5 * (a + b), h = 0.5 * (b - a);
  std::vector<double> expected{x_of(c)};
  for (std::size_t j = 0; j < 7; ++j) {
    expected.push_back(x_of(c - h * XGK[j]));
    expected.push_back(x_of(c + h * XGK[j]));
  }
  EXPECT_EQ(seen, expected);
  // The node nearest to a maps to the largest abscissa.
  ASSERT_EQ(seen.size(), 15u);
  EXPECT_GT(seen[1], seen[0]);
  for (std::size_t i = 2; i < seen.size(); ++i) EXPECT_LT(seen[i], seen[1]);
}

TEST(D01AMZ, CallsTheMirrorPointsAfterEachPairWhenIntegratingOverTheWholeLine) {
  const double a = 0.5, b = 1.0;
  std::vector<double> seen;
  auto spy = [&](double x) {
    seen.push_back(x);
    return 1.0;
  };
  apply_rule(spy, 0.0, 2, a, b);
  auto x_of = [](double t) { return (1.0 - t) / t; };
  const double c = 0.5 * (a + b), h = 0.5 * (b - a);
  std::vector<double> expected{x_of(c), -x_of(c)};
  for (std::size_t j = 0; j < 7; ++j) {
    const double x1 = x_of(c - h * XGK[j]), x2 = x_of(c + h * XGK[j]);
    expected.insert(expected.end(), {x1, x2, -x1, -x2});
  }
  EXPECT_EQ(seen, expected);
  // Never at the finite limit (t = 1) or at infinity.
  for (double x : seen) EXPECT_TRUE(std::isfinite(x) && x != 0.0);
}

TEST(D01AMZ, LowerRangeMapsTheTransformedVariableBelowTheBound) {
  std::vector<double> seen;
  auto spy = [&](double x) {
    seen.push_back(x);
    return 1.0;
  };
  apply_rule(spy, -3.0, -1, 0.0, 1.0);
  ASSERT_EQ(seen.size(), 15u);
  EXPECT_EQ(seen[0], -3.0 - 1.0);  // centre t = 0.5 stands for BOUND - 1
  for (double x : seen) EXPECT_LT(x, -3.0);
}

TEST(D01AMZ, NotANumberFromTheIntegrandPropagatesIntoTheResult) {
  const RuleOutput out = apply_rule([](double x) { return x > 5.0 ? std::numeric_limits<double>::quiet_NaN() : 1.0; },
                                    0.0, 1, 0.0, 1.0);
  EXPECT_TRUE(std::isnan(out.RESULT));
}

}  // namespace
}  // namespace triex

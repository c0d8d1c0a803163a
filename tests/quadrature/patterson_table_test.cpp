// The generated table of Patterson's nested rules: the entries known from the
// published coefficients to the bit, and, for every rule rebuilt from the
// table layout, the defining properties (nodes inside (0, 1) and distinct,
// positive weights summing to 2, exactness for x^k up to degree 3n + 2).

#include "quadrature/tables/patterson.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <vector>

namespace triex {
namespace {

// One rule with 2n + 1 points: w0 f(0) + sum w[j] (f(-x[j]) + f(x[j])),
// pairs in the order in which they were added.
struct Rule {
  double w0 = 0;
  std::vector<double> x;
  std::vector<double> w;
  std::size_t first_new = 0;  // index of the first pair added by this rule
  int points() const { return 2 * static_cast<int>(x.size()) + 1; }
  int degree() const { return 3 * static_cast<int>(x.size()) + 2; }
};

// Rebuilds the seven rules from the table: per stage, the new weights of the
// old pairs, the new (x, w) pairs, the centre weight.
std::vector<Rule> rules_from_table() {
  std::vector<Rule> rules;
  Rule rule;
  std::size_t next = 0;
  const auto take = [&next] { return kPattersonTable.at(next++); };
  for (int stage = 1; stage <= 7; ++stage) {
    for (double& w : rule.w) w = take();
    rule.first_new = rule.x.size();
    const std::size_t added = rule.x.size() + 1;
    for (std::size_t i = 0; i < added; ++i) {
      rule.x.push_back(take());
      rule.w.push_back(take());
    }
    rule.w0 = take();
    rules.push_back(rule);
  }
  EXPECT_EQ(next, kPattersonTable.size()) << "the seven stages must use the whole table";
  return rules;
}

// The rule applied to x^k on [-1, 1].
double apply(const Rule& rule, int k) {
  double sum = k == 0 ? rule.w0 : 0.0;
  for (std::size_t j = 0; j < rule.x.size(); ++j) sum += rule.w[j] * (std::pow(-rule.x[j], k) + std::pow(rule.x[j], k));
  return sum;
}

// The entries are 16-digit decimals (relative rounding error up to 5e-16, a
// few ulps) and the sums run over up to 128 positive terms whose total is at
// most 2. The errors seen are at most one ulp of 2; four ulps of 2 leaves room
// for the decimal rounding while a single wrong digit in any node or weight
// would show up many orders of magnitude above it.
constexpr double kExactnessTolerance = 4 * 2 * std::numeric_limits<double>::epsilon();

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

TEST(PattersonTable, CoefficientsQuotedFromPatterson1968AreReproducedToTheBit) {
  struct Quoted {
    int position;  // 1-based
    double value;  // the decimal of Patterson's table (Math. Comp. 1968), as written
  };
  const Quoted quoted[] = {
      {1, 0.7745966692414834},   {2, 0.5555555555555556},   {3, 0.888888888888889},  {4, 0.2684880898683334},
      {5, 0.9604912687080203},   {6, 0.1046562260264673},   {7, 0.4342437493468026}, {8, 0.4013974147759622},
      {9, 0.4509165386584741},   {10, 0.1344152552437842},  {11, 0.05160328299707974}, {12, 0.200628529376989},
      {13, 0.993831963212755},   {14, 0.01700171962994026}, {381, 0.01409440709009618},
  };
  for (const Quoted& q : quoted) {
    const double entry = kPattersonTable.at(static_cast<std::size_t>(q.position - 1));
    EXPECT_EQ(bits(entry), bits(q.value)) << "entry " << q.position;
  }
}

TEST(PattersonTable, ThreePointRuleIsGaussLegendre) {
  const Rule rule = rules_from_table().front();
  ASSERT_EQ(rule.points(), 3);
  EXPECT_EQ(rule.x[0], std::sqrt(0.6));
  EXPECT_NEAR(rule.w[0], 5.0 / 9.0, 1e-16);
  EXPECT_NEAR(rule.w0, 8.0 / 9.0, 2e-16);  // published to 15 digits
}

TEST(PattersonTable, RulesHaveThePointCountsOfTheNestedSequence) {
  const std::vector<Rule> rules = rules_from_table();
  ASSERT_EQ(rules.size(), 7u);
  const int expected[] = {3, 7, 15, 31, 63, 127, 255};
  for (std::size_t s = 0; s < rules.size(); ++s) EXPECT_EQ(rules[s].points(), expected[s]);
}

TEST(PattersonTable, AbscissaeAreDistinctAndInsideTheOpenUnitInterval) {
  const Rule largest = rules_from_table().back();
  for (std::size_t i = 0; i < largest.x.size(); ++i) {
    EXPECT_GT(largest.x[i], 0.0) << "pair " << i + 1;
    EXPECT_LT(largest.x[i], 1.0) << "pair " << i + 1;
    for (std::size_t j = 0; j < i; ++j) EXPECT_NE(largest.x[i], largest.x[j]) << "pairs " << j + 1 << ", " << i + 1;
  }
}

TEST(PattersonTable, NewPairsOfEachRuleComeInDescendingOrderOfAbscissa) {
  for (const Rule& rule : rules_from_table()) {
    for (std::size_t j = rule.first_new + 1; j < rule.x.size(); ++j)
      EXPECT_GT(rule.x[j - 1], rule.x[j]) << rule.points() << "-point rule, pair " << j + 1;
  }
}

TEST(PattersonTable, EveryWeightIsPositiveAndEachRuleSumsToTwo) {
  for (const Rule& rule : rules_from_table()) {
    EXPECT_GT(rule.w0, 0.0) << rule.points() << "-point rule";
    double sum = 0;
    for (double w : rule.w) {
      EXPECT_GT(w, 0.0) << rule.points() << "-point rule";
      sum += w;
    }
    EXPECT_NEAR(rule.w0 + 2 * sum, 2.0, kExactnessTolerance) << rule.points() << "-point rule";
  }
}

TEST(PattersonTable, EachRuleIntegratesMonomialsExactlyUpToDegreeThreeNPlusTwo) {
  for (const Rule& rule : rules_from_table()) {
    for (int k = 0; k <= rule.degree(); ++k) {
      const double exact = k % 2 == 1 ? 0.0 : 2.0 / (k + 1);
      EXPECT_NEAR(apply(rule, k), exact, kExactnessTolerance) << rule.points() << "-point rule, x^" << k;
    }
  }
}

// The degree 3n+2 is sharp: the 3-, 7- and 15-point rules miss the next even
// power by far more than the rounding level (still about 5e-9 for the 15-point
// rule on x^24), which tells these rules apart from ones of higher degree.
TEST(PattersonTable, SmallRulesAreNotExactOneDegreeHigher) {
  const std::vector<Rule> rules = rules_from_table();
  for (std::size_t s = 0; s < 3; ++s) {
    const int k = rules[s].degree() + 1;  // even
    EXPECT_GT(std::abs(apply(rules[s], k) - 2.0 / (k + 1)), 1e-10) << rules[s].points() << "-point rule";
  }
}

}  // namespace
}  // namespace triex

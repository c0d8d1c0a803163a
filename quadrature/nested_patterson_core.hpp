// D01DAF as a template on the integrand: the body of the public routine, for
// integrands that prepare what depends on the outer variable only once per
// outer point.
//
// One-dimensional scheme. Patterson (Math. Comp. 22, 1968, 847-856) extends
// the 3-point Gauss rule optimally to 7, 15, 31, 63, 127 and 255 points: each
// rule keeps all nodes of the one before, and the (2n+1)-point rule is exact
// for polynomials of degree 3n+2. The integral over [lo, hi] is estimated by
// the successive rules, beginning with the 1-point (midpoint) rule, until two
// successive estimates differ by no more than ABSACC. Every function value is
// reused: a new rule evaluates only its new pairs of points, and the sums
// f(c - h x_j) + f(c + h x_j) of the old pairs are kept and reweighted with
// the new rule's complete weights, which the table lists in the order in which
// they are needed (quadrature/tables/patterson.hpp).
//
// Double integral. The same scheme runs over the outer variable y, and each
// of its evaluations is a complete inner integration over x from PHI1(y) to
// PHI2(y) with its own running table index and pair sums. The cost is the
// product of the two rule sizes, at most 255 x 255 calls of F.
//
// The integrand. F.at(y) returns the integrand of the inner integration at
// the outer point y, a callable g with g(x) = F(x, y). It is asked for once
// per outer point, after PHI1(y) and PHI2(y); an integrand whose value has
// parts that depend on y alone computes them there, once for the whole inner
// integration instead of at every inner point. Being a template parameter,
// g is called directly in the inner loop, without an indirect call. The
// public D01DAF passes F(x, y) through a function_ref with nothing prepared.
#pragma once

#include <array>
#include <cmath>
#include <span>

#include "quadrature/nested_patterson.hpp"
#include "quadrature/tables/patterson.hpp"
#include "support/error_exit.hpp"
#include "support/one_based.hpp"

namespace triex {
namespace d01daf_detail {

inline constexpr int kMaxPairs = 127;   // pairs of the 255-point rule
inline constexpr int kMaxPoints = 255;  // points of the largest rule

// Which point of a pair c - d, c + d is evaluated first. The inner
// integration takes c - d first, the outer one c + d first; the order of the
// calls is visible to the integrand (and to its cost when it is expensive).
enum class PairOrder { LowerFirst, UpperFirst };

struct Estimate {
  double value;    // the last estimate of the integral
  int points;      // points used: 2n + 1 of the last rule, 0 for an empty interval
  bool converged;  // two successive rules agreed to ABSACC
};

// The one-dimensional scheme for g over [lo, hi] (oriented: hi < lo reverses
// the sign). on_stage receives every estimate as soon as a rule is complete.
template <PairOrder Order, class Integrand, class StageHook>
Estimate patterson(Integrand& g, double lo, double hi, double ABSACC, StageHook on_stage) {
  if (hi - lo == 0.0) return {0.0, 0, true};
  const double c = (lo + hi) * 0.5;
  const double h = (hi - lo) * 0.5;

  // The table is read strictly in sequence, one running index per integration.
  int next = 1;
  const auto next_entry = [&next]() { return at(kPattersonTable, next++); };

  // P(j) = g(c - h x_j) + g(c + h x_j), written when pair j is first evaluated
  // and read only afterwards.
  std::array<double, kMaxPairs> pair_sums;
  const auto P = [&pair_sums](int j) -> double& { return at(pair_sums, j); };

  const double f0 = g(c);
  double previous = (f0 + f0) * h;  // the 1-point rule
  int n = 0;
  int m = 1;
  double sum = 0.0;
  for (;;) {
    n = n + m;
    for (int j = m; j <= n; ++j) {
      const double d = next_entry() * h;
      double lower;
      double upper;
      if constexpr (Order == PairOrder::LowerFirst) {
        lower = g(c - d);
        upper = g(c + d);
      } else {
        upper = g(c + d);
        lower = g(c - d);
      }
      P(j) = lower + upper;
      sum = sum + next_entry() * P(j);
    }
    m = n + 1;
    const double estimate = (next_entry() * f0 + sum) * h;
    on_stage(estimate);
    if (std::abs(estimate - previous) - ABSACC <= 0.0) return {estimate, 2 * n + 1, true};
    if (n == kMaxPairs) return {estimate, kMaxPoints, false};
    // Next rule: the old pairs first, with their weights in that rule.
    previous = estimate;
    sum = 0.0;
    for (int j = 1; j <= n; ++j) sum = sum + next_entry() * P(j);
  }
}

}  // namespace d01daf_detail

template <class PreparedIntegrand>
void D01DAF_prepared(double YA, double YB, LimitFunction PHI1, LimitFunction PHI2, const PreparedIntegrand& F,
                     double ABSACC, double& ANS, int& NPTS, int& IFAIL) {
  using d01daf_detail::Estimate;
  using d01daf_detail::PairOrder;
  using d01daf_detail::patterson;
  // 10 for every inner integration that fails, 1 if the outer one fails.
  int ICODE = 0;
  NPTS = 0;
  if (YA - YB == 0.0) {
    ANS = 0.0;
  } else {
    const auto inner_integral = [&](double y) {
      const double lo = PHI1(y);
      const double hi = PHI2(y);
      auto g = F.at(y);
      const Estimate inner = patterson<PairOrder::LowerFirst>(g, lo, hi, ABSACC, [](double) {});
      NPTS += inner.points;
      if (!inner.converged) ICODE += failure_code(NestedPattersonFailure::InnerNotConverged);
      return inner.value;  // the last estimate even when it failed
    };
    const Estimate outer =
        patterson<PairOrder::UpperFirst>(inner_integral, YA, YB, ABSACC, [&ANS](double estimate) { ANS = estimate; });
    if (!outer.converged) ICODE += failure_code(NestedPattersonFailure::OuterNotConverged);
  }
  if (ICODE == 0) {
    IFAIL = 0;
    return;
  }
  IFAIL = P01ABF(IFAIL, ICODE, "D01DAF", 0, std::span<const MessageLine>{});
}

}  // namespace triex

// The error-ordered list: its start, its depth, its tie rules, and the
// descending order it keeps under a long run of bisections.

#include "quadrature/error_order_list.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace triex {
namespace {

// The list state of the integrator between two calls of D01AJX.
struct OrderList {
  std::vector<double> ELIST;
  std::vector<int> IORD;
  int MAXERR = 1;
  int NRMAX = 1;
  double ERMAX = -1;

  explicit OrderList(int LIMIT)
      : ELIST(static_cast<std::size_t>(LIMIT), 0.0), IORD(static_cast<std::size_t>(LIMIT), 0) {}
  double& e(int k) { return ELIST[static_cast<std::size_t>(k - 1)]; }
  int& iord(int k) { return IORD[static_cast<std::size_t>(k - 1)]; }
  std::vector<int> first(int n) const { return {IORD.begin(), IORD.begin() + n}; }
  void call(int LIMIT, int LAST) { D01AJX(LIMIT, LAST, MAXERR, ERMAX, ELIST, IORD, NRMAX); }
};

TEST(D01AJX, SecondSubIntervalStartsTheListAsOneTwoWhateverTheErrors) {
  for (double e2 : {0.5, 2.0}) {
    OrderList s(5);
    s.e(1) = 1.0;
    s.e(2) = e2;
    s.iord(1) = 7;  // stale content
    s.call(5, 2);
    EXPECT_EQ(s.first(2), (std::vector<int>{1, 2}));
    EXPECT_EQ(s.MAXERR, 1);
    EXPECT_EQ(s.ERMAX, 1.0);
  }
  // MAXERR is IORD(NRMAX), whatever NRMAX is.
  OrderList s(5);
  s.e(1) = 1.0;
  s.e(2) = 3.0;
  s.NRMAX = 2;
  s.call(5, 2);
  EXPECT_EQ(s.MAXERR, 2);
  EXPECT_EQ(s.ERMAX, 3.0);
}

// Sub-intervals 1 .. LAST-1 are listed in order with errors LAST-1, ..., 1;
// bisecting sub-interval 1 gives both halves errors below all others. Without
// a depth limit both would sink to the bottom; with depth JUPBN, MAXERR lands
// at position JUPBN - 1 and LAST at JUPBN.
TEST(D01AJX, KeepsOnlyTheDepthThatRemainingBisectionsCanReach) {
  const int LIMIT = 10;
  // Depth JUPBN for LAST = 3 .. 10: LAST up to LIMIT div 2 + 2, then LIMIT + 3 - LAST.
  const int expected_depth[] = {3, 4, 5, 6, 7, 5, 4, 3};
  for (int LAST = 3; LAST <= LIMIT; ++LAST) {
    OrderList s(LIMIT);
    for (int k = 1; k < LAST; ++k) {
      s.iord(k) = k;
      s.e(k) = LAST - k;
    }
    s.e(1) = 0.5;
    s.e(LAST) = 0.25;
    s.call(LIMIT, LAST);
    const int JUPBN = expected_depth[LAST - 3];
    std::vector<int> expected;
    for (int k = 2; k <= JUPBN - 1; ++k) expected.push_back(k);
    expected.push_back(1);
    expected.push_back(LAST);
    // Below the depth nothing moves: positions JUPBN + 1 .. LAST - 1 keep their
    // entries and position LAST keeps its stale 0; sub-interval JUPBN, which
    // could no longer be reached, has left the list.
    for (int k = JUPBN + 1; k < LAST; ++k) expected.push_back(k);
    if (JUPBN < LAST) expected.push_back(0);
    EXPECT_EQ(s.first(LAST), expected) << "LAST=" << LAST;
    EXPECT_EQ(s.MAXERR, 2) << "LAST=" << LAST;
    EXPECT_EQ(s.ERMAX, LAST - 2.0) << "LAST=" << LAST;
  }
}

TEST(D01AJX, MovesABisectedSubIntervalWhoseErrorGrewUpPastSmallerErrors) {
  OrderList s(100);
  s.IORD = {1, 2, 3, 4, 0, 0, 0, 0, 0, 0};
  s.ELIST = {4, 3, 3.5, 1, 0.1, 0, 0, 0, 0, 0};  // sub-interval 3 was bisected at position 3
  s.NRMAX = 3;
  s.MAXERR = 3;
  s.call(100, 5);
  EXPECT_EQ(s.first(5), (std::vector<int>{1, 3, 2, 4, 5}));
  EXPECT_EQ(s.NRMAX, 2);
  EXPECT_EQ(s.MAXERR, 3);
  EXPECT_EQ(s.ERMAX, 3.5);
}

TEST(D01AJX, UpwardMoveStopsBehindAnEqualError) {
  OrderList s(100);
  s.IORD = {1, 2, 3, 0};
  s.ELIST = {3, 3, 1, 0.5};
  s.NRMAX = 2;
  s.MAXERR = 2;
  s.call(100, 4);
  EXPECT_EQ(s.first(4), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(s.NRMAX, 2);
  EXPECT_EQ(s.MAXERR, 2);
}

TEST(D01AJX, BisectedSubIntervalGoesAheadOfAnEqualError) {
  OrderList s(100);
  s.IORD = {1, 2, 3, 0};
  s.ELIST = {2, 3, 2, 1};
  s.call(100, 4);
  EXPECT_EQ(s.first(4), (std::vector<int>{2, 1, 3, 4}));
  EXPECT_EQ(s.MAXERR, 2);
  EXPECT_EQ(s.ERMAX, 3.0);
}

TEST(D01AJX, NewSubIntervalGoesAheadOfAnEqualError) {
  OrderList s(100);
  s.IORD = {1, 2, 3, 4, 0};
  s.ELIST = {5, 4, 2, 1, 2};
  s.call(100, 5);
  EXPECT_EQ(s.first(5), (std::vector<int>{1, 2, 5, 3, 4}));
  EXPECT_EQ(s.MAXERR, 1);
}

// Drives the list as the integrator does without extrapolation: bisect the
// top entry, give the halves new errors (larger one at MAXERR), re-order.
// While the depth is the full list, the list must be exactly the sub-interval
// numbers sorted by decreasing error.
TEST(D01AJX, KeepsTheWholeListSortedByDecreasingErrorWhileTheDepthAllows) {
  const int LIMIT = 400;
  OrderList s(LIMIT);
  std::uint64_t state = 12345;
  auto next_uniform = [&] {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state >> 11) / 9007199254740992.0;
  };
  s.e(1) = 1.0;
  s.iord(1) = 1;
  s.ERMAX = 1.0;
  for (int LAST = 2; LAST <= LIMIT / 2 + 2; ++LAST) {
    // Halves get a random share of the parent's error, now and then more
    // than it; a few exact ties as well.
    double e1 = s.ERMAX * 0.8 * next_uniform();
    double e2 = LAST % 17 == 0 ? e1 : s.ERMAX * (LAST % 13 == 0 ? 1.5 : 0.6) * next_uniform();
    if (e2 > e1) std::swap(e1, e2);
    s.e(s.MAXERR) = e1;
    s.e(LAST) = e2;
    s.call(LIMIT, LAST);
    std::vector<int> sorted(static_cast<std::size_t>(LAST));
    for (int k = 1; k <= LAST; ++k) sorted[static_cast<std::size_t>(k - 1)] = k;
    std::vector<int> listed = s.first(LAST);
    std::vector<int> listed_sorted = listed;
    std::sort(listed_sorted.begin(), listed_sorted.end());
    ASSERT_EQ(listed_sorted, sorted) << "not a permutation at LAST=" << LAST;
    for (int k = 1; k < LAST; ++k) {
      ASSERT_GE(s.e(s.iord(k)), s.e(s.iord(k + 1))) << "LAST=" << LAST << " position " << k;
    }
    ASSERT_EQ(s.MAXERR, s.iord(1));
    ASSERT_EQ(s.ERMAX, s.e(s.MAXERR));
  }
}

}  // namespace
}  // namespace triex

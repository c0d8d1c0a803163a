#include "support/ranking.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iostream>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/ranking_runs.hpp"
#include "support/message_unit.hpp"
#include "tests/common/message_capture.hpp"
#include "tests/common/program_hook.hpp"

namespace triex {
namespace {

using testing_support::MessageCapture;

constexpr int kUntouched = -777;

std::vector<int> ranks_of(const std::vector<double>& vals, char order, int M1 = 1, int M2 = -1) {
  if (M2 < 0) M2 = static_cast<int>(vals.size());
  std::vector<int> irank(vals.size(), kUntouched);
  int ifail = -1;
  M01DAF(vals, M1, M2, order, irank, ifail);
  EXPECT_EQ(ifail, 0);
  return irank;
}

// The runs of one chain, each as its element indices in list order.
std::vector<std::vector<int>> chain_runs(const std::vector<int>& irank, int head) {
  std::vector<std::vector<int>> runs;
  std::size_t steps = 0;
  for (int p = head; p != 0;) {
    std::vector<int> run;
    for (;;) {
      if (++steps > irank.size()) return {{-1}};  // a cycle: malformed list
      run.push_back(p);
      const int link = irank[static_cast<std::size_t>(p - 1)];
      if (link <= 0) {
        p = -link;
        break;
      }
      p = link;
    }
    runs.push_back(run);
  }
  return runs;
}

std::vector<int> iota_from(int first, int count) {
  std::vector<int> v(static_cast<std::size_t>(count));
  std::iota(v.begin(), v.end(), first);
  return v;
}

TEST(M01DAF, OneElementSectionGetsItsOwnIndexForEveryValidOrder) {
  for (char order : {'A', 'a', 'D', 'd'}) {
    std::vector<double> vals{1.0, 2.0, 3.0, 4.0, -5.0, 6.0};
    std::vector<int> irank(6, kUntouched);
    int ifail = -1;
    M01DAF(vals, 5, 5, order, irank, ifail);
    EXPECT_EQ(ifail, 0);
    EXPECT_EQ(irank, (std::vector<int>{kUntouched, kUntouched, kUntouched, kUntouched, 5, kUntouched})) << order;
  }
}

TEST(M01DAF, SmallExampleRanksStablyInBothDirections) {
  const std::vector<double> vals{3.0, 1.0, 2.0, 1.0};
  EXPECT_EQ(ranks_of(vals, 'A'), (std::vector<int>{4, 1, 3, 2}));
  EXPECT_EQ(ranks_of(vals, 'a'), (std::vector<int>{4, 1, 3, 2}));
  EXPECT_EQ(ranks_of(vals, 'D'), (std::vector<int>{1, 3, 2, 4}));
  EXPECT_EQ(ranks_of(vals, 'd'), (std::vector<int>{1, 3, 2, 4}));
}

TEST(M01DAF, SectionRanksStartAtM1AndEntriesOutsideKeepTheirContents) {
  const std::vector<double> vals{100.0, -100.0, 9.0, 7.0, 8.0, 0.0};
  std::vector<int> irank{41, 42, 0, 0, 0, 46};
  int ifail = 0;
  M01DAF(vals, 3, 5, 'A', irank, ifail);
  EXPECT_EQ(ifail, 0);
  EXPECT_EQ(irank, (std::vector<int>{41, 42, 5, 3, 4, 46}));
}

TEST(M01DAF, EqualValuesRankInIndexOrderInBothDirections) {
  std::vector<double> vals(40, 2.5);
  for (char order : {'A', 'D'}) {
    EXPECT_EQ(ranks_of(std::vector<double>(30, 2.5), order), iota_from(1, 30)) << order;
    const std::vector<int> irank = ranks_of(vals, order, 7, 36);
    EXPECT_EQ(std::vector<int>(irank.begin() + 6, irank.begin() + 36), iota_from(7, 30)) << order;
    EXPECT_EQ(irank[5], kUntouched);
    EXPECT_EQ(irank[36], kUntouched);
  }
}

TEST(M01DAF, SignedZerosAreEqualValuesAndKeepIndexOrder) {
  const std::vector<double> vals{0.0, -0.0, 1.0, 0.0, -0.0};
  EXPECT_EQ(ranks_of(vals, 'A'), (std::vector<int>{1, 2, 5, 3, 4}));
  EXPECT_EQ(ranks_of(vals, 'D'), (std::vector<int>{2, 3, 1, 4, 5}));
}

TEST(M01DAF, AscendingOrStrictlyDescendingDataFormOneRunAndRankDirectly) {
  std::vector<double> up(1000);
  for (int i = 0; i < 1000; ++i) up[static_cast<std::size_t>(i)] = 0.25 * i - 40.0;
  std::vector<double> down(up.rbegin(), up.rend());
  std::vector<int> reverse = iota_from(1, 1000);
  std::reverse(reverse.begin(), reverse.end());

  for (const auto* vals : {&up, &down}) {
    std::vector<int> irank(1000, kUntouched);
    int head1 = 0;
    int head2 = 0;
    EXPECT_EQ(m01daf::build_runs(*vals, 1, 1000, irank, head1, head2), 1);
    EXPECT_EQ(head2, 0);
    EXPECT_EQ(chain_runs(irank, head1).size(), 1U);
  }
  EXPECT_EQ(ranks_of(up, 'A'), iota_from(1, 1000));
  EXPECT_EQ(ranks_of(down, 'A'), reverse);
  EXPECT_EQ(ranks_of(up, 'D'), reverse);
  EXPECT_EQ(ranks_of(down, 'D'), iota_from(1, 1000));
}

TEST(M01DAF, InsertionHappensOnlyWithinTenIndicesOfTheRunsStart) {
  // 10, 20, ..., then 15: inserted while the run is younger than 10 indices,
  // otherwise it starts a run of its own.
  std::vector<double> inside{10, 20, 30, 40, 50, 60, 70, 80, 90, 15};
  std::vector<double> outside{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 15};
  int head1 = 0;
  int head2 = 0;
  std::vector<int> irank(12, kUntouched);
  EXPECT_EQ(m01daf::build_runs(inside, 1, 10, irank, head1, head2), 1);
  EXPECT_EQ(chain_runs(irank, head1), (std::vector<std::vector<int>>{{1, 10, 2, 3, 4, 5, 6, 7, 8, 9}}));
  EXPECT_EQ(m01daf::build_runs(outside, 1, 11, irank, head1, head2), 2);
  EXPECT_EQ(chain_runs(irank, head1), (std::vector<std::vector<int>>{iota_from(1, 10)}));
  EXPECT_EQ(chain_runs(irank, head2), (std::vector<std::vector<int>>{{11}}));
  // The window counts from the index that began the run, also for a section.
  std::vector<double> shifted{5, 5, 10, 20, 30, 40, 50, 60, 70, 80, 90, 15};
  std::fill(irank.begin(), irank.end(), kUntouched);
  EXPECT_EQ(m01daf::build_runs(shifted, 3, 12, irank, head1, head2), 1);
  EXPECT_EQ(irank[0], kUntouched);
  EXPECT_EQ(irank[1], kUntouched);
}

TEST(M01DAF, InsertionPutsAnElementAfterItsEqualsAndFrontPlacementNeedsStrictlySmaller) {
  std::vector<double> vals{3.0, 1.0, 2.0, 1.0, 3.0, 0.5};
  std::vector<int> irank(6, kUntouched);
  int head1 = 0;
  int head2 = 0;
  EXPECT_EQ(m01daf::build_runs(vals, 1, 6, irank, head1, head2), 1);
  EXPECT_EQ(chain_runs(irank, head1), (std::vector<std::vector<int>>{{6, 2, 4, 3, 1, 5}}));
}

// Blocks of ten ascending values 0..9, one after another: each block is one run
// (its first value would need an insertion 10 indices after the run began).
std::vector<double> sawtooth(int blocks) {
  std::vector<double> vals;
  for (int b = 0; b < blocks; ++b) {
    for (int v = 0; v < 10; ++v) vals.push_back(v);
  }
  return vals;
}

TEST(M01DAF, RunsAreDealtAlternatelyOntoTwoChains) {
  const std::vector<double> vals = sawtooth(5);
  std::vector<int> irank(50, kUntouched);
  int head1 = 0;
  int head2 = 0;
  EXPECT_EQ(m01daf::build_runs(vals, 1, 50, irank, head1, head2), 5);
  EXPECT_EQ(chain_runs(irank, head1), (std::vector<std::vector<int>>{iota_from(1, 10), iota_from(21, 10), iota_from(41, 10)}));
  EXPECT_EQ(chain_runs(irank, head2), (std::vector<std::vector<int>>{iota_from(11, 10), iota_from(31, 10)}));
}

TEST(M01DAF, EachMergePassHalvesTheRunsAndCarriesAnUnpairedRunOver) {
  for (int blocks = 1; blocks <= 9; ++blocks) {
    const std::vector<double> vals = sawtooth(blocks);
    const int n = 10 * blocks;
    std::vector<int> irank(static_cast<std::size_t>(n), kUntouched);
    int head1 = 0;
    int head2 = 0;
    int runs = m01daf::build_runs(vals, 1, n, irank, head1, head2);
    EXPECT_EQ(runs, blocks);
    int passes = 0;
    while (head2 != 0) {
      const int merged = m01daf::merge_pass(vals, irank, head1, head2);
      EXPECT_EQ(merged, (runs + 1) / 2) << blocks << " blocks, pass " << passes;
      runs = merged;
      ++passes;
    }
    EXPECT_EQ(runs, 1);
    EXPECT_EQ(passes, static_cast<int>(std::ceil(std::log2(blocks)))) << blocks;
    // The single list visits value 0 of every block in block order, then 1, ...
    const auto final_runs = chain_runs(irank, head1);
    ASSERT_EQ(final_runs.size(), 1U);
    std::vector<int> expected;
    for (int v = 0; v < 10; ++v) {
      for (int b = 0; b < blocks; ++b) expected.push_back(10 * b + v + 1);
    }
    EXPECT_EQ(final_runs[0], expected) << blocks;
  }
}

TEST(M01DAF, IllegalOrderIsErrorTwoWithOneMessageLine) {
  const std::vector<double> vals{1.0, 2.0};
  std::vector<int> irank{kUntouched, kUntouched};
  MessageCapture capture;
  int ifail = -1;
  M01DAF(vals, 1, 2, 'x', irank, ifail);
  EXPECT_EQ(ifail, 2);
  EXPECT_EQ(capture.text(),
            " ** On entry, ORDER has an illegal value: ORDER = x\n"
            " ** ABNORMAL EXIT from library routine M01DAF: IFAIL =     2\n"
            " ** Soft failure - control returned\n");
  EXPECT_EQ(irank, (std::vector<int>{kUntouched, kUntouched}));
}

TEST(M01DAF, IllegalSectionIsErrorOneAndIsCheckedBeforeOrder) {
  struct Case {
    int M1, M2;
    char order;
    const char* line;
  };
  const Case cases[] = {
      {0, 3, 'x', "    M1 =               0  M2 =               3"},
      {5, 3, 'A', "    M1 =               5  M2 =               3"},
      {-2, -1, 'D', "    M1 =              -2  M2 =              -1"},
      {1, 0, 'a', "    M1 =               1  M2 =               0"},
  };
  const std::vector<double> vals{1.0, 2.0, 3.0, 4.0, 5.0};
  for (const Case& c : cases) {
    std::vector<int> irank(5, kUntouched);
    MessageCapture capture;
    int ifail = -1;
    M01DAF(vals, c.M1, c.M2, c.order, irank, ifail);
    EXPECT_EQ(ifail, 1);
    EXPECT_EQ(capture.text(), std::string(" ** On entry, one or more of the following parameter values is illegal\n") + c.line +
                                  "\n ** ABNORMAL EXIT from library routine M01DAF: IFAIL =     1\n"
                                  " ** Soft failure - control returned\n");
    EXPECT_EQ(irank, std::vector<int>(5, kUntouched));
  }
}

TEST(M01DAF, SilentSoftFailurePrintsNothingAndSuccessClearsIfail) {
  const std::vector<double> vals{2.0, 1.0};
  std::vector<int> irank(2, kUntouched);
  MessageCapture capture;
  int ifail = 1;
  M01DAF(vals, 1, 2, 'Q', irank, ifail);
  EXPECT_EQ(ifail, 2);
  ifail = 1;
  M01DAF(vals, 2, 1, 'A', irank, ifail);
  EXPECT_EQ(ifail, 1);
  EXPECT_EQ(capture.text(), "");
  ifail = -1;
  M01DAF(vals, 1, 2, 'A', irank, ifail);
  EXPECT_EQ(ifail, 0);
  EXPECT_EQ(irank, (std::vector<int>{2, 1}));
}

TEST(M01DAFDeathTest, HardFailureReportsAndEndsTheRunWithStatusOne) {
  const std::vector<double> vals{1.0, 2.0};
  std::vector<int> irank(2, 0);
  EXPECT_EXIT(
      {
        testing_support::exit_on_hard_failure();
        set_message_stream(std::cerr);
        int ifail = 0;
        M01DAF(vals, 1, 2, 'q', irank, ifail);
      },
      ::testing::ExitedWithCode(1),
      "^ \\*\\* On entry, ORDER has an illegal value: ORDER = q\n"
      " \\*\\* ABNORMAL EXIT from library routine M01DAF: IFAIL =     2\n"
      " \\*\\* Hard failure - execution terminated\n$");
}

TEST(M01DAF, ValuesThatDoNotCompareStillGiveAPermutationOfRanks) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<std::vector<double>> inputs{
      {nan}, {nan, nan}, {1.0, nan}, {nan, 1.0}, {3.0, nan, 1.0, 2.0, nan, 0.0}, {nan, 5.0, 4.0, 3.0, 2.0, 1.0, 0.0, nan, 7.0, 8.0, 9.0, 10.0, 11.0, 6.5, nan, -1.0}};
  for (const auto& vals : inputs) {
    for (char order : {'A', 'D'}) {
      std::vector<int> irank = ranks_of(vals, order);
      std::sort(irank.begin(), irank.end());
      EXPECT_EQ(irank, iota_from(1, static_cast<int>(vals.size())));
    }
  }
}

// Ranks by definition: M1 plus the position of each index after a stable sort.
std::vector<int> stable_sort_ranks(const std::vector<double>& vals, int M1, int M2, bool descending) {
  std::vector<int> index = iota_from(M1, M2 - M1 + 1);
  const auto value = [&vals](int i) { return vals[static_cast<std::size_t>(i - 1)]; };
  if (descending) {
    std::stable_sort(index.begin(), index.end(), [&](int i, int j) { return value(i) > value(j); });
  } else {
    std::stable_sort(index.begin(), index.end(), [&](int i, int j) { return value(i) < value(j); });
  }
  std::vector<int> rank(vals.size());
  for (std::size_t p = 0; p < index.size(); ++p) rank[static_cast<std::size_t>(index[p] - 1)] = M1 + static_cast<int>(p);
  return rank;
}

TEST(M01DAF, RandomSectionsRankLikeAStableSortAndM01EAFThenSortsThem) {
  std::mt19937 rng(20240611U);
  const auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  const double small_set[] = {-1.5, -0.0, 0.0, 1.0, 2.0, 2.0, 7.25};
  std::normal_distribution<double> normal(0.0, 1.0e3);
  const char orders[] = {'A', 'a', 'D', 'd'};

  for (int trial = 0; trial < 4000; ++trial) {
    const int n = uniform(1, 300);
    const int before = uniform(0, 4);
    const int after = uniform(0, 4);
    const int M1 = before + 1;
    const int M2 = before + n;
    std::vector<double> vals(static_cast<std::size_t>(before + n + after));
    const int kind = trial % 4;
    const int distinct = uniform(1, 7);
    for (double& v : vals) v = kind == 3 ? normal(rng) : small_set[uniform(0, distinct - 1)];
    if (kind == 2) {  // mostly ordered data with a few exchanges: long runs, short insertions
      std::sort(vals.begin() + before, vals.begin() + before + n);
      if (trial % 8 == 2) std::reverse(vals.begin() + before, vals.begin() + before + n);
      for (int s = uniform(0, 3); s > 0; --s) std::swap(vals[static_cast<std::size_t>(uniform(M1, M2) - 1)], vals[static_cast<std::size_t>(uniform(M1, M2) - 1)]);
    }
    const char order = orders[uniform(0, 3)];
    const bool descending = order == 'D' || order == 'd';

    std::vector<int> irank(vals.size());
    for (int& r : irank) r = uniform(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    const std::vector<int> irank_in = irank;
    int ifail = 0;
    M01DAF(vals, M1, M2, order, irank, ifail);
    ASSERT_EQ(ifail, 0);

    const std::vector<int> expected = stable_sort_ranks(vals, M1, M2, descending);
    for (int i = 1; i <= static_cast<int>(vals.size()); ++i) {
      const auto k = static_cast<std::size_t>(i - 1);
      if (i < M1 || i > M2) {
        ASSERT_EQ(irank[k], irank_in[k]) << "trial " << trial << " index " << i;
      } else {
        ASSERT_EQ(irank[k], expected[k]) << "trial " << trial << " index " << i;
      }
    }

    // The section ends up exactly as a stable sort leaves it (signed zeros
    // included); the rest stays.
    std::vector<double> sorted = vals;
    const auto first = sorted.begin() + before;
    const auto last = sorted.begin() + before + n;
    if (descending) {
      std::stable_sort(first, last, [](double x, double y) { return x > y; });
    } else {
      std::stable_sort(first, last);
    }
    const std::vector<int> ranks = irank;
    M01EAF(vals, M1, M2, irank, ifail);
    ASSERT_EQ(ifail, 0);
    ASSERT_EQ(irank, ranks) << "trial " << trial;
    for (std::size_t k = 0; k < vals.size(); ++k) {
      ASSERT_EQ(std::bit_cast<std::uint64_t>(vals[k]), std::bit_cast<std::uint64_t>(sorted[k])) << "trial " << trial << " position " << k + 1;
    }
  }
}

}  // namespace
}  // namespace triex

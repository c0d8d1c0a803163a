#include "support/ranking.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <limits>
#include <numeric>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "support/message_unit.hpp"
#include "tests/common/message_capture.hpp"
#include "tests/common/program_hook.hpp"

namespace triex {
namespace {

using testing_support::MessageCapture;

constexpr const char* kPermutationLine = " ** IRANK(M1:M2) does not contain a permutation of the integers M1 to M2\n";

std::vector<double> sorted_copy(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v;
}

TEST(M01EAF, RanksFromM01DAFSortTheSectionInEitherDirection) {
  const std::vector<double> input{5.0, 3.0, 1.0, 4.0, 1.0, 5.0, 9.0, 2.0, 6.0, 5.0, 3.0, 5.0};
  for (char order : {'A', 'D'}) {
    std::vector<double> vals{-8.0, -9.0};
    vals.insert(vals.end(), input.begin(), input.end());
    vals.push_back(-7.0);
    std::vector<int> irank(vals.size(), 0);
    int ifail = -1;
    M01DAF(vals, 3, 14, order, irank, ifail);
    ASSERT_EQ(ifail, 0);
    M01EAF(vals, 3, 14, irank, ifail);
    EXPECT_EQ(ifail, 0);
    std::vector<double> expected = sorted_copy(input);
    if (order == 'D') std::reverse(expected.begin(), expected.end());
    expected.insert(expected.begin(), {-8.0, -9.0});
    expected.push_back(-7.0);
    EXPECT_EQ(vals, expected) << order;
  }
}

TEST(M01EAF, IdentityPermutationChangesNothing) {
  std::vector<double> vals{4.0, 3.0, 2.0, 1.0};
  std::vector<int> irank{1, 2, 3, 4};
  int ifail = -1;
  M01EAF(vals, 1, 4, irank, ifail);
  EXPECT_EQ(ifail, 0);
  EXPECT_EQ(vals, (std::vector<double>{4.0, 3.0, 2.0, 1.0}));
  EXPECT_EQ(irank, (std::vector<int>{1, 2, 3, 4}));
}

TEST(M01EAF, EveryValueMovesToTheTargetItsRankNames) {
  // Section 2..7 of a longer vector: cycles 2->4->6->2 and 3->5->3, fixed point 7.
  std::vector<double> vals{10.0, 11.0, 12.0, 13.0, 14.0, 15.0, 16.0, 17.0};
  std::vector<int> irank{99, 4, 5, 6, 3, 2, 7, -99};
  int ifail = 0;
  M01EAF(vals, 2, 7, irank, ifail);
  EXPECT_EQ(ifail, 0);
  EXPECT_EQ(vals, (std::vector<double>{10.0, 15.0, 14.0, 11.0, 12.0, 13.0, 16.0, 17.0}));
  EXPECT_EQ(irank, (std::vector<int>{99, 4, 5, 6, 3, 2, 7, -99}));
}

TEST(M01EAF, RepeatedRankIsErrorThreeWithRanksRestoredAndNoValueLost) {
  std::vector<double> vals{1.0, 2.0, 3.0};
  std::vector<int> irank{1, 2, 2};
  MessageCapture capture;
  int ifail = -1;
  M01EAF(vals, 1, 3, irank, ifail);
  EXPECT_EQ(ifail, 3);
  EXPECT_EQ(capture.text(), std::string(kPermutationLine) +
                                "    IRANK contains a repeated value               2\n"
                                " ** ABNORMAL EXIT from library routine M01EAF: IFAIL =     3\n"
                                " ** Soft failure - control returned\n");
  EXPECT_EQ(irank, (std::vector<int>{1, 2, 2}));
  // The value of position 3 was moved to position 2; the value it displaced
  // takes the place position 3 left.
  EXPECT_EQ(vals, (std::vector<double>{1.0, 3.0, 2.0}));
}

TEST(M01EAF, OutOfRangeRankIsErrorTwoWithEverythingUnchanged) {
  std::vector<double> vals{1.0, 2.0, 3.0};
  std::vector<int> irank{2, 4, 1};
  MessageCapture capture;
  int ifail = -1;
  M01EAF(vals, 1, 3, irank, ifail);
  EXPECT_EQ(ifail, 2);
  EXPECT_EQ(capture.text(), std::string(kPermutationLine) +
                                "    IRANK(     2) contains an out-of-range value               4\n"
                                " ** ABNORMAL EXIT from library routine M01EAF: IFAIL =     2\n"
                                " ** Soft failure - control returned\n");
  EXPECT_EQ(irank, (std::vector<int>{2, 4, 1}));
  EXPECT_EQ(vals, (std::vector<double>{1.0, 2.0, 3.0}));
}

TEST(M01EAF, NegativeOutOfRangeRanksAreReportedAndKeptAsTheyWere) {
  const int lowest = std::numeric_limits<int>::min();
  std::vector<double> vals{1.0, 2.0, 3.0, 4.0};
  std::vector<int> irank{3, 1, lowest, -2};
  MessageCapture capture;
  int ifail = -1;
  M01EAF(vals, 1, 4, irank, ifail);
  EXPECT_EQ(ifail, 2);
  EXPECT_EQ(capture.text(), std::string(kPermutationLine) +
                                "    IRANK(     3) contains an out-of-range value     -2147483648\n"
                                " ** ABNORMAL EXIT from library routine M01EAF: IFAIL =     2\n"
                                " ** Soft failure - control returned\n");
  EXPECT_EQ(irank, (std::vector<int>{3, 1, lowest, -2}));
  EXPECT_EQ(vals, (std::vector<double>{1.0, 2.0, 3.0, 4.0}));
}

TEST(M01EAF, IllegalSectionIsErrorOneAndTouchesNothing) {
  std::vector<double> vals{1.0, 2.0};
  std::vector<int> irank{2, 1};
  MessageCapture capture;
  int ifail = -1;
  M01EAF(vals, 2, 1, irank, ifail);
  EXPECT_EQ(ifail, 1);
  EXPECT_EQ(capture.text(),
            " ** On entry, one or more of the following parameter values is illegal\n"
            "    M1 =               2  M2 =               1\n"
            " ** ABNORMAL EXIT from library routine M01EAF: IFAIL =     1\n"
            " ** Soft failure - control returned\n");
  EXPECT_EQ(vals, (std::vector<double>{1.0, 2.0}));
  EXPECT_EQ(irank, (std::vector<int>{2, 1}));
}

TEST(M01EAFDeathTest, HardFailureReportsAndEndsTheRunWithStatusOne) {
  std::vector<double> vals{1.0, 2.0, 3.0};
  std::vector<int> irank{3, 3, 1};
  EXPECT_EXIT(
      {
        testing_support::exit_on_hard_failure();
        set_message_stream(std::cerr);
        int ifail = 0;
        M01EAF(vals, 1, 3, irank, ifail);
      },
      ::testing::ExitedWithCode(1),
      "^ \\*\\* IRANK\\(M1:M2\\) does not contain a permutation of the integers M1 to M2\n"
      "    IRANK contains a repeated value               3\n"
      " \\*\\* ABNORMAL EXIT from library routine M01EAF: IFAIL =     3\n"
      " \\*\\* Hard failure - execution terminated\n$");
}

TEST(M01EAF, RandomPermutationsAndNonPermutationsInsideLargerVectors) {
  std::mt19937 rng(777U);
  const auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
  int code_counts[4] = {0, 0, 0, 0};
  for (int trial = 0; trial < 3000; ++trial) {
    const int n = uniform(1, 200);
    const int before = uniform(0, 3);
    const int after = uniform(0, 3);
    const int M1 = before + 1;
    const int M2 = before + n;
    std::vector<double> vals(static_cast<std::size_t>(before + n + after));
    std::iota(vals.begin(), vals.end(), 0.5);
    std::vector<int> irank(vals.size());
    for (int& r : irank) r = uniform(-50, 50);
    std::vector<int> section(static_cast<std::size_t>(n));
    std::iota(section.begin(), section.end(), M1);
    std::shuffle(section.begin(), section.end(), rng);
    const int kind = trial % 3;  // 0 permutation, 1 one repeated rank, 2 one out-of-range rank
    if (kind == 1 && n > 1) section[static_cast<std::size_t>(uniform(0, n - 1))] = uniform(M1, M2);
    if (kind == 2) section[static_cast<std::size_t>(uniform(0, n - 1))] = uniform(0, 1) == 0 ? M1 - uniform(1, 1000) : M2 + uniform(1, 1000);
    std::copy(section.begin(), section.end(), irank.begin() + before);
    const std::vector<double> vals_in = vals;
    const std::vector<int> irank_in = irank;
    std::vector<int> ascending = section;
    std::sort(ascending.begin(), ascending.end());
    bool is_permutation = true;
    for (int k = 0; k < n; ++k) is_permutation = is_permutation && ascending[static_cast<std::size_t>(k)] == M1 + k;

    int ifail = 1;
    M01EAF(vals, M1, M2, irank, ifail);
    ASSERT_EQ(irank, irank_in) << "trial " << trial;
    if (is_permutation) {
      ASSERT_EQ(ifail, 0) << "trial " << trial;
      std::vector<double> expected = vals_in;
      for (int i = M1; i <= M2; ++i) expected[static_cast<std::size_t>(irank_in[static_cast<std::size_t>(i - 1)] - 1)] = vals_in[static_cast<std::size_t>(i - 1)];
      ASSERT_EQ(vals, expected) << "trial " << trial;
    } else if (kind == 2) {
      ASSERT_EQ(ifail, 2) << "trial " << trial;
      ASSERT_EQ(vals, vals_in) << "trial " << trial;
    } else {
      ASSERT_EQ(ifail, 3) << "trial " << trial;
      ASSERT_TRUE(std::is_permutation(vals.begin(), vals.end(), vals_in.begin())) << "trial " << trial;
      ASSERT_TRUE(std::equal(vals.begin(), vals.begin() + before, vals_in.begin()));
      ASSERT_TRUE(std::equal(vals.begin() + before + n, vals.end(), vals_in.begin() + before + n));
    }
    ++code_counts[ifail];
  }
  // All three outcomes occur often.
  EXPECT_GT(code_counts[0], 900);
  EXPECT_GT(code_counts[2], 900);
  EXPECT_GT(code_counts[3], 800);
}

}  // namespace
}  // namespace triex

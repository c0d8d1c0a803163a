#include "support/parallel_for.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <vector>

namespace triex {
namespace {

TEST(ParallelFor, EveryIndexIsVisitedExactlyOnceForAnyThreadCount) {
  for (std::size_t count : {0u, 1u, 2u, 7u, 1000u}) {
    for (unsigned threads : {0u, 1u, 2u, 3u, 8u, 2000u}) {
      std::vector<std::atomic<int>> visits(count);
      std::atomic<int> calls{0};
      parallel_for(count, threads, [&](std::size_t begin, std::size_t end) {
        ++calls;
        EXPECT_LT(begin, end);
        for (std::size_t i = begin; i < end; ++i) ++visits[i];
      });
      for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(visits[i], 1) << count << " items, " << threads << " threads";
      EXPECT_LE(calls, static_cast<int>(std::max<std::size_t>(1, std::min<std::size_t>(threads, count))));
    }
  }
}

TEST(ParallelFor, AnExceptionOfAnyBlockReachesTheCallerAfterAllBlocksFinish) {
  std::atomic<int> finished{0};
  EXPECT_THROW(parallel_for(100, 4,
                            [&](std::size_t begin, std::size_t) {
                              ++finished;
                              if (begin >= 50) throw std::runtime_error("block failed");
                            }),
               std::runtime_error);
  EXPECT_EQ(finished, 4);
}

}  // namespace
}  // namespace triex

// Work split over threads so that the results do not depend on their number.
#pragma once

#include <cstddef>

#include "support/parallel_for.hpp"

namespace triex::cli {

// Calls item(i) for every i in [0, count), thread t of `threads` taking the
// items t, t + threads, t + 2 threads, ...: interleaved, so that neighbouring
// items of different cost (a row of a grid, from spheres to needles) spread
// evenly. Each item is computed by one call of the same function, so results
// stored by index are the same for any number of threads.
template <class Item>
void interleaved_for(std::size_t count, unsigned threads, Item item) {
  const std::size_t lanes = threads == 0 ? 1 : threads;
  parallel_for(std::min(lanes, count), static_cast<unsigned>(std::min(lanes, count)),
               [&](std::size_t begin, std::size_t end) {
                 for (std::size_t lane = begin; lane < end; ++lane)
                   for (std::size_t i = lane; i < count; i += std::min(lanes, count)) item(i);
               });
}

}  // namespace triex::cli

// Runs body(begin, end) over [0, count) split into contiguous blocks, one per
// thread. Each index is computed by exactly one call, so results written by
// index are identical for any number of threads. The calling thread takes
// the first block; the others run in threads of their own and are joined
// before the function returns. An exception thrown by any block is rethrown
// here (the first one in block order) after every thread has finished.
#pragma once

#include <algorithm>
#include <cstddef>
#include <exception>
#include <thread>
#include <vector>

namespace triex {

// The machine's cores (at least 1): the default number of threads.
inline unsigned default_thread_count() { return std::max(1u, std::thread::hardware_concurrency()); }

template <class Body>
void parallel_for(std::size_t count, unsigned threads, Body body) {
  const std::size_t blocks = std::max<std::size_t>(1, std::min<std::size_t>(threads, count));
  if (blocks == 1) {
    if (count > 0) body(std::size_t{0}, count);
    return;
  }
  std::vector<std::exception_ptr> errors(blocks);
  const auto run_block = [&](std::size_t k) {
    try {
      body(count * k / blocks, count * (k + 1) / blocks);
    } catch (...) {
      errors[k] = std::current_exception();
    }
  };
  std::vector<std::thread> workers;
  workers.reserve(blocks - 1);
  for (std::size_t k = 1; k < blocks; ++k) workers.emplace_back(run_block, k);
  run_block(0);
  for (std::thread& worker : workers) worker.join();
  for (const std::exception_ptr& error : errors)
    if (error) std::rethrow_exception(error);
}

}  // namespace triex

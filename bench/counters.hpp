// Counters shared by the benchmarks: integrand evaluations per second and the
// time per evaluation, for a fixed number of evaluations per iteration.
#pragma once

#include <benchmark/benchmark.h>

namespace triex {

inline void set_evaluation_rate(benchmark::State& state, double evaluations_per_iteration) {
  state.counters["evals/s"] =
      benchmark::Counter(evaluations_per_iteration, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["t/eval"] = benchmark::Counter(
      evaluations_per_iteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace triex

// Counters shared by the benchmarks: integrand evaluations per second and the
// time per evaluation, for a fixed number of evaluations per iteration; and
// the common end of their main programs.
#pragma once

#include <benchmark/benchmark.h>

namespace triex {

inline void set_evaluation_rate(benchmark::State& state, double evaluations_per_iteration) {
  state.counters["evals/s"] =
      benchmark::Counter(evaluations_per_iteration, benchmark::Counter::kIsIterationInvariantRate);
  state.counters["t/eval"] = benchmark::Counter(
      evaluations_per_iteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// The end of every benchmark program's main, once its benchmarks are registered.
inline int run_registered_benchmarks(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace triex

// Every hydrodynamic and scattering shape factor of one shape against u_red
// alone, through the public API.
//
// ShapeFactorsOverUred/<a,b,c>: shape_factors() and ured() for the same shape,
// interleaved in every iteration so that both see the same machine; counters
// shape_factors_ns and ured_ns per call in the thread's CPU time (the wall
// clock of a shared machine counts the other processes too), their ratio,
// and the shape's u_red. Both run the two R_G sequences of u_red (of the
// squares and of their reciprocals, side by side); shape_factors() adds the
// Jeffery sums, which ride on the first, their series, and the algebra of
// the factors. Five repetitions; the median is the figure to quote.
// ShapeFactors/random: 4096 random shapes (axial ratios 1e-6 to 1e6), time per shape.

#include <benchmark/benchmark.h>

#include "bench/counters.hpp"
#include "bench/shapes.hpp"

#include <cmath>
#include <cstdio>
#include <ctime>
#include <random>
#include <string>
#include <vector>

#include "triex/triex.hpp"

namespace triex::bench {
namespace {

// CPU time of the calling thread, in nanoseconds.
double thread_cpu_ns() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return 1e9 * static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec);
}

void ShapeFactorsOverUred(benchmark::State& state, Shape s) {
  constexpr int kCalls = 1000;  // enough to rise above the clock's resolution
  // Every call reads the shape from volatile objects, so that the compiler
  // cannot fold it in. (Not DoNotOptimize on a copy of a semi-axis: with GCC
  // 12 and Google Benchmark 1.7 its "+m,r" constraint let the calls read a
  // stale stack slot, and they received (2, 2, 1) instead of (3, 2, 1).)
  const volatile double a = s.a, b = s.b, c = s.c;
  double factors = 0, ured_only = 0;
  for (auto _ : state) {
    const double t0 = thread_cpu_ns();
    for (int i = 0; i < kCalls; ++i) benchmark::DoNotOptimize(shape_factors(a, b, c));
    const double t1 = thread_cpu_ns();
    for (int i = 0; i < kCalls; ++i) benchmark::DoNotOptimize(ured(a, b, c));
    const double t2 = thread_cpu_ns();
    factors += t1 - t0;
    ured_only += t2 - t1;
  }
  const double calls = static_cast<double>(state.iterations()) * kCalls;
  const double factors_ns = factors / calls;
  const double ured_ns = ured_only / calls;
  state.counters["shape_factors_ns"] = factors_ns;
  state.counters["ured_ns"] = ured_ns;
  state.counters["ratio"] = factors_ns / ured_ns;
  state.counters["ured"] = ured(a, b, c);  // shows which shape was timed (8 for a sphere)
}

void ShapeFactorsRandom(benchmark::State& state) {
  const std::vector<Shape> shapes = random_shapes(4096);
  for (auto _ : state) {
    for (const Shape& s : shapes) benchmark::DoNotOptimize(shape_factors(s.a, s.b, s.c));
  }
  state.counters["ns/shape"] = benchmark::Counter(static_cast<double>(state.iterations() * shapes.size()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                  benchmark::Counter::kIs1000);
}

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) {
  using namespace triex::bench;
  for (const Shape& s : {Shape{3, 2, 1}, Shape{1, 1, 1}, Shape{10000, 100, 1}})
    benchmark::RegisterBenchmark(("ShapeFactorsOverUred/" + label(s)).c_str(), ShapeFactorsOverUred, s)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->DisplayAggregatesOnly(true);
  benchmark::RegisterBenchmark("ShapeFactors/random", ShapeFactorsRandom)->Unit(benchmark::kMicrosecond);
  return triex::run_registered_benchmarks(argc, argv);
}

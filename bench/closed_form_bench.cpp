// The exact closed form of u_red against the dialogue's quadrature.
//
// ClosedForm/random: u_red of 4096 random shapes (axial ratios 1e-6 to 1e6),
// time per shape.
// ClosedForm/<a,b,c>: one shape, time per shape.
// QuadratureOverClosedForm/<a,b,c>: the reentrant two-dimensional quadrature
// and the closed form for the same shape, interleaved in every iteration so
// that both see the same machine; the counter "speedup" is the time of the
// quadrature divided by the time of the closed form. Five repetitions; the
// median is the figure to quote.

#include <benchmark/benchmark.h>

#include "bench/counters.hpp"
#include "bench/shapes.hpp"

#include <chrono>
#include <string>
#include <vector>

#include "shape/closed_form.hpp"
#include "shape/shape_section.hpp"

namespace triex::bench {
namespace {

void ClosedFormRandom(benchmark::State& state) {
  const std::vector<Shape> shapes = random_shapes(4096);
  for (auto _ : state) {
    for (const Shape& s : shapes) benchmark::DoNotOptimize(closed_form_ured(s.a, s.b, s.c));
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * shapes.size()));
  state.counters["ns/shape"] = benchmark::Counter(static_cast<double>(state.iterations() * shapes.size()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert,
                                                  benchmark::Counter::kIs1000);
}

// Every call reads the shape from volatile objects, so that the compiler
// cannot fold it in. (Not DoNotOptimize on a copy of a semi-axis: with GCC 12
// and Google Benchmark 1.7 its "+m,r" constraint let the calls read a stale
// stack slot, and they timed another shape.) The counter "ured" shows which
// shape was timed.
void ClosedFormOne(benchmark::State& state, Shape s) {
  const volatile double a = s.a, b = s.b, c = s.c;
  for (auto _ : state) benchmark::DoNotOptimize(closed_form_ured(a, b, c));
  state.counters["ured"] = closed_form_ured(a, b, c);
}

void QuadratureOverClosedForm(benchmark::State& state, Shape s) {
  using Clock = std::chrono::steady_clock;
  constexpr int kClosedFormCalls = 1000;  // enough to rise above the clock's resolution
  Clock::duration quadrature{}, closed{};
  const volatile double a = s.a, b = s.b, c = s.c;  // as in ClosedFormOne
  for (auto _ : state) {
    const auto t0 = Clock::now();
    ShapeQuadrature q = reduced_excluded_volume(a, b, c);
    benchmark::DoNotOptimize(q);
    const auto t1 = Clock::now();
    for (int i = 0; i < kClosedFormCalls; ++i) benchmark::DoNotOptimize(closed_form_ured(a, b, c));
    const auto t2 = Clock::now();
    quadrature += t1 - t0;
    closed += t2 - t1;
  }
  const double iterations = static_cast<double>(state.iterations());
  const double quadrature_us = std::chrono::duration<double, std::micro>(quadrature).count() / iterations;
  const double closed_us = std::chrono::duration<double, std::micro>(closed).count() / iterations / kClosedFormCalls;
  state.counters["quadrature_us"] = quadrature_us;
  state.counters["closed_form_us"] = closed_us;
  state.counters["speedup"] = quadrature_us / closed_us;
  state.counters["ured"] = closed_form_ured(a, b, c);
}

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) {
  using namespace triex::bench;
  const Shape compared[] = {{3, 2, 1}, {10000, 100, 1}};
  benchmark::RegisterBenchmark("ClosedForm/random", ClosedFormRandom)->Unit(benchmark::kMicrosecond);
  for (const Shape& s : compared)
    benchmark::RegisterBenchmark(("ClosedForm/" + label(s)).c_str(), ClosedFormOne, s);
  for (const Shape& s : compared)
    benchmark::RegisterBenchmark(("QuadratureOverClosedForm/" + label(s)).c_str(), QuadratureOverClosedForm, s)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->DisplayAggregatesOnly(true);
  return triex::run_registered_benchmarks(argc, argv);
}

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

#include <chrono>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "shape/closed_form.hpp"
#include "shape/shape_section.hpp"

namespace triex::bench {
namespace {

struct Shape {
  double a, b, c;
};

std::string label(const Shape& s) {
  char text[64];
  std::snprintf(text, sizeof text, "%g,%g,%g", s.a, s.b, s.c);
  return text;
}

std::vector<Shape> random_shapes(std::size_t n) {
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> exponent(-6, 6);
  std::vector<Shape> shapes(n);
  for (Shape& s : shapes) s = {1.0, std::pow(10.0, exponent(rng)), std::pow(10.0, exponent(rng))};
  return shapes;
}

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

void ClosedFormOne(benchmark::State& state, Shape s) {
  for (auto _ : state) {
    double a = s.a;
    benchmark::DoNotOptimize(a);  // no constant folding of the shape
    benchmark::DoNotOptimize(closed_form_ured(a, s.b, s.c));
  }
}

void QuadratureOverClosedForm(benchmark::State& state, Shape s) {
  using Clock = std::chrono::steady_clock;
  constexpr int kClosedFormCalls = 1000;  // enough to rise above the clock's resolution
  Clock::duration quadrature{}, closed{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    ShapeQuadrature q = reduced_excluded_volume(s.a, s.b, s.c);
    benchmark::DoNotOptimize(q);
    const auto t1 = Clock::now();
    for (int i = 0; i < kClosedFormCalls; ++i) {
      double a = s.a;
      benchmark::DoNotOptimize(a);
      benchmark::DoNotOptimize(closed_form_ured(a, s.b, s.c));
    }
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

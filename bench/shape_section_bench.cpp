// The cost of the shape section against its floor.
//
// ShapeSection/<a,b,c>: the whole shape section (the ten one-dimensional
// integrals and the two double integrals) for one shape; shapes per second
// and integrand evaluations per second.
//
// Floor/<a,b,c>: the plain call-backs FYS and FYR, called directly as their
// formulas read, at exactly the points where the shape section evaluates
// them: what the integrands of the two double integrals cost with no
// integrator around them.
//
// SectionOverFloor/<a,b,c>: both, interleaved in every iteration so that the
// two see the same machine; the counter "ratio" is the time of the whole
// shape section divided by the time of the floor. Five repetitions; the
// median is the figure to quote.

#include <benchmark/benchmark.h>

#include <chrono>
#include <vector>

#include "bench/counters.hpp"
#include "bench/section_points.hpp"
#include "shape/integrands.hpp"
#include "shape/shape_section.hpp"

namespace triex::bench {
namespace {

// Every shape of the table of reduced excluded volumes, and the needles.
const std::vector<Axes> kSectionShapes = {
    {1, 1, 1},   {2, 1, 1},   {1, 1, 0.5}, {3, 2, 1},    {1, 2, 3},       {10, 1, 1},
    {1, 1, 0.1}, {100, 1, 1}, {50, 20, 1}, {1000, 1, 1}, {10000, 100, 1},
};
// The shapes whose cost is compared with the floor.
const std::vector<Axes> kFloorShapes = {{1, 1, 1}, {3, 2, 1}, {100, 1, 1}, {50, 20, 1}, {1000, 1, 1}, {10000, 100, 1}};

double floor_pass(const SectionPoints& s, const ShapeConstants& shape) {
  double sum = 0;
  for (const Point& p : s.fys) sum += FYS(shape, p.x, p.y);
  for (const Point& p : s.fyr) sum += FYR(shape, p.x, p.y);
  return sum;
}

void set_evaluation_counters(benchmark::State& state, const SectionPoints& s, bool with_fun) {
  state.counters["FYS_evals"] = static_cast<double>(s.fys.size());
  state.counters["FYR_evals"] = static_cast<double>(s.fyr.size());
  if (with_fun) state.counters["FUN_evals"] = static_cast<double>(s.fun_evaluations());
  const double evaluations = static_cast<double>(with_fun ? s.evaluations() : s.fys.size() + s.fyr.size());
  set_evaluation_rate(state, evaluations);
}

void ShapeSection(benchmark::State& state, Axes axes) {
  const SectionPoints s = section_points(axes);
  for (auto _ : state) {
    ShapeResult result = shape_section(from_semi_axes(axes.A, axes.B, axes.C));
    benchmark::DoNotOptimize(result);
  }
  set_evaluation_counters(state, s, true);
  state.counters["shapes/s"] = benchmark::Counter(1, benchmark::Counter::kIsIterationInvariantRate);
}

void Floor(benchmark::State& state, Axes axes) {
  const SectionPoints s = section_points(axes);
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  for (auto _ : state) {
    double sum = floor_pass(s, shape);
    benchmark::DoNotOptimize(sum);
  }
  set_evaluation_counters(state, s, false);
}

void SectionOverFloor(benchmark::State& state, Axes axes) {
  using Clock = std::chrono::steady_clock;
  const SectionPoints s = section_points(axes);
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  Clock::duration section{}, floor{};
  for (auto _ : state) {
    const auto t0 = Clock::now();
    ShapeResult result = shape_section(from_semi_axes(axes.A, axes.B, axes.C));
    benchmark::DoNotOptimize(result);
    const auto t1 = Clock::now();
    double sum = floor_pass(s, shape);
    benchmark::DoNotOptimize(sum);
    const auto t2 = Clock::now();
    section += t1 - t0;
    floor += t2 - t1;
  }
  const double iterations = static_cast<double>(state.iterations());
  state.counters["ratio"] = std::chrono::duration<double>(section) / std::chrono::duration<double>(floor);
  state.counters["section_us"] = std::chrono::duration<double, std::micro>(section).count() / iterations;
  state.counters["floor_us"] = std::chrono::duration<double, std::micro>(floor).count() / iterations;
}

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) {
  using namespace triex::bench;
  for (const Axes& axes : kSectionShapes)
    benchmark::RegisterBenchmark(("ShapeSection/" + label(axes)).c_str(), ShapeSection, axes)
        ->Unit(benchmark::kMicrosecond);
  for (const Axes& axes : kFloorShapes)
    benchmark::RegisterBenchmark(("Floor/" + label(axes)).c_str(), Floor, axes)->Unit(benchmark::kMicrosecond);
  for (const Axes& axes : kFloorShapes)
    benchmark::RegisterBenchmark(("SectionOverFloor/" + label(axes)).c_str(), SectionOverFloor, axes)
        ->Unit(benchmark::kMicrosecond)
        ->Repetitions(5)
        ->DisplayAggregatesOnly(true);
  return triex::run_registered_benchmarks(argc, argv);
}

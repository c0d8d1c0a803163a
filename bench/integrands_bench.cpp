// The call-backs one by one, at exactly the points where the shape section
// evaluates them, in the same order; the counter t/eval is the time of one
// evaluation.
//
// Plain/<call-back>/<a,b,c>: FYS, FYR and FUN as their formulas read, called
// directly, every piece of the formula computed afresh.
// AsUsed/<call-back>/<a,b,c>: the form the shape section integrates:
// SurfaceIntegrand and CurvatureIntegrand prepared once per outer point (the
// preparation is timed too, once for every run of points with the same
// azimuth; the table of elevations starts empty in every pass, as in every
// double integral of the shape section), and FUN through the function_ref
// that D01AMF calls. The shape constants are made once per shape, outside
// the loop.

#include <benchmark/benchmark.h>

#include "bench/counters.hpp"

#include <vector>

#include "bench/section_points.hpp"
#include "shape/integrands.hpp"
#include "support/function_ref.hpp"

namespace triex::bench {
namespace {

const std::vector<Axes> kShapes = {{1, 1, 1}, {3, 2, 1}, {100, 1, 1}, {10000, 100, 1}};

void set_counters(benchmark::State& state, std::size_t evaluations) {
  const double n = static_cast<double>(evaluations);
  state.counters["evals"] = n;
  state.counters["t/eval"] =
      benchmark::Counter(n, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

template <double (*Callback)(const ShapeConstants&, double, double)>
void Plain2D(benchmark::State& state, Axes axes, bool surface) {
  const SectionPoints s = section_points(axes);
  const std::vector<Point>& points = surface ? s.fys : s.fyr;
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  for (auto _ : state) {
    double sum = 0;
    for (const Point& p : points) sum += Callback(shape, p.x, p.y);
    benchmark::DoNotOptimize(sum);
  }
  set_counters(state, points.size());
}

template <class Integrand>
void AsUsed2D(benchmark::State& state, Axes axes, bool surface) {
  const SectionPoints s = section_points(axes);
  const std::vector<Point>& points = surface ? s.fys : s.fyr;
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  for (auto _ : state) {
    ElevationTable elevations(shape);  // new for every double integral, as in the shape section
    const Integrand F(shape, elevations);
    double sum = 0;
    std::size_t i = 0;
    while (i < points.size()) {
      const double y = points[i].y;
      auto g = F.at(y);
      for (; i < points.size() && points[i].y == y; ++i) sum += g(points[i].x);
    }
    benchmark::DoNotOptimize(sum);
  }
  set_counters(state, points.size());
}

void PlainFUN(benchmark::State& state, Axes axes) {
  const SectionPoints s = section_points(axes);
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  for (auto _ : state) {
    double sum = 0;
    for (int NN = 1; NN <= 10; ++NN) {
      for (double X : s.fun[static_cast<std::size_t>(NN - 1)]) sum += FUN(shape, NN, X);
    }
    benchmark::DoNotOptimize(sum);
  }
  set_counters(state, s.fun_evaluations());
}

void AsUsedFUN(benchmark::State& state, Axes axes) {
  const SectionPoints s = section_points(axes);
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  for (auto _ : state) {
    double sum = 0;
    for (int NN = 1; NN <= 10; ++NN) {
      const auto f = [&shape, NN](double X) { return FUN(shape, NN, X); };
      const Integrand1D F(f);  // as the shape section passes it to D01AMF
      for (double X : s.fun[static_cast<std::size_t>(NN - 1)]) sum += F(X);
    }
    benchmark::DoNotOptimize(sum);
  }
  set_counters(state, s.fun_evaluations());
}

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) {
  using namespace triex;
  using namespace triex::bench;
  for (const Axes& axes : kShapes) {
    const std::string shape = label(axes);
    benchmark::RegisterBenchmark(("Plain/FYS/" + shape).c_str(), Plain2D<FYS>, axes, true);
    benchmark::RegisterBenchmark(("AsUsed/FYS/" + shape).c_str(), AsUsed2D<SurfaceIntegrand>, axes, true);
    benchmark::RegisterBenchmark(("Plain/FYR/" + shape).c_str(), Plain2D<FYR>, axes, false);
    benchmark::RegisterBenchmark(("AsUsed/FYR/" + shape).c_str(), AsUsed2D<CurvatureIntegrand>, axes, false);
    benchmark::RegisterBenchmark(("Plain/FUN/" + shape).c_str(), PlainFUN, axes);
    benchmark::RegisterBenchmark(("AsUsed/FUN/" + shape).c_str(), AsUsedFUN, axes);
  }
  return triex::run_registered_benchmarks(argc, argv);
}

// D01AMF over the ten ellipsoid integrals of FUN, as the shape section runs
// them (range [0, inf), relative accuracy 5.0e-5),
// for the benchmarked shapes. Counters: the calls of FUN per set of ten
// integrals, integrand evaluations per second and the time per evaluation.
//
// TenIntegrals/<a,b,c>: FUN with the shape and the selector captured, through
// the public routine.
// OneIntegral/<a,b,c>/NN: each integrand on its own.

#include <benchmark/benchmark.h>

#include <array>
#include <string>
#include <vector>

#include "bench/counters.hpp"
#include "bench/section_points.hpp"
#include "quadrature/infinite_range.hpp"
#include "shape/integrands.hpp"

namespace triex::bench {
namespace {

const std::vector<Axes> kShapes = {{1, 1, 1}, {3, 2, 1}, {100, 1, 1}, {50, 20, 1}, {1000, 1, 1}, {10000, 100, 1}};

double integral(const ShapeConstants& shape, int NN) {
  std::array<double, 2000> W{};
  std::array<int, 500> IW{};
  double ANS = 0, ABSERR = 0;
  int IFAIL = 1;
  D01AMF([&shape, NN](double X) { return FUN(shape, NN, X); }, 0.0, 1, 0.0, 5.0e-5, ANS, ABSERR, W, 2000, IW, 500,
         IFAIL);
  return ANS;
}

void set_counters(benchmark::State& state, std::size_t evaluations) {
  const double n = static_cast<double>(evaluations);
  state.counters["FUN_evals"] = n;
  set_evaluation_rate(state, n);
}

void TenIntegrals(benchmark::State& state, Axes axes) {
  const SectionPoints s = section_points(axes);
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  for (auto _ : state) {
    for (int NN = 1; NN <= 10; ++NN) {
      double ANS = integral(shape, NN);
      benchmark::DoNotOptimize(ANS);
    }
  }
  set_counters(state, s.fun_evaluations());
}

void OneIntegral(benchmark::State& state, Axes axes, int NN) {
  const SectionPoints s = section_points(axes);
  const ShapeConstants shape(axes.A, axes.B, axes.C);
  for (auto _ : state) {
    double ANS = integral(shape, NN);
    benchmark::DoNotOptimize(ANS);
  }
  set_counters(state, s.fun[static_cast<std::size_t>(NN - 1)].size());
}

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) {
  using namespace triex::bench;
  for (const Axes& axes : kShapes)
    benchmark::RegisterBenchmark(("TenIntegrals/" + label(axes)).c_str(), TenIntegrals, axes)
        ->Unit(benchmark::kMicrosecond);
  for (const Axes& axes : {Axes{3, 2, 1}, Axes{10000, 100, 1}})
    for (int NN = 1; NN <= 10; ++NN)
      benchmark::RegisterBenchmark(("OneIntegral/" + label(axes) + "/" + std::to_string(NN)).c_str(), OneIntegral, axes,
                                   NN)
          ->Unit(benchmark::kMicrosecond);
  return triex::run_registered_benchmarks(argc, argv);
}

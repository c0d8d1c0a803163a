// The shape fit (triex::fit) end to end: the search grid, every local
// refinement, the confidence regions and the conditioning, for the data of a
// 66 kDa protein of 2.5 : 1.6 : 1 at 0.35 g/g, exact to ten digits.
//   two data, hydration given: [eta] + tau_h (well conditioned) and B + s
//     (ill-conditioned, a long band of a region); target 0.2 s each
//   three data, vs fitted: B + s + R_g; target 1 s
// The first fit of a process also builds the search grid's table of shape
// factors (14641 shapes): timed apart.

#include <benchmark/benchmark.h>

#include <vector>

#include "bench/counters.hpp"
#include "triex/triex.hpp"

namespace triex::bench {
namespace {

FitInputs protein(std::vector<Datum> data, bool hydration_known) {
  FitInputs in{};
  in.molar_mass = 66000;
  in.vbar = 0.733;
  if (hydration_known) in.hydration = 0.35;
  in.data = std::move(data);
  return in;
}

Datum datum(Measurement kind, double value, double percent = 2) { return {kind, value, percent / 100 * value}; }

const Datum kEta = datum(Measurement::IntrinsicViscosity, 4.285315102);
const Datum kTau = datum(Measurement::RelaxationTime, 44.44045558, 5);
const Datum kB = datum(Measurement::Virial, 9.609291327e-05);
const Datum kS = datum(Measurement::Sedimentation, 4.488814048, 1);
const Datum kRg = datum(Measurement::RadiusOfGyration, 32.48389251, 1);

void run_fit(benchmark::State& state, const FitInputs& in) {
  fit(in);  // the search grid's table, once per process
  std::size_t solutions = 0;
  for (auto _ : state) {
    const FitResult r = fit(in);
    solutions = r.solutions.size();
    benchmark::DoNotOptimize(r.solutions.data());
  }
  state.counters["solutions"] = static_cast<double>(solutions);
}

void BM_FitTwoDataWellConditioned(benchmark::State& state) { run_fit(state, protein({kEta, kTau}, true)); }
void BM_FitTwoDataIllConditioned(benchmark::State& state) { run_fit(state, protein({kB, kS}, true)); }
void BM_FitThreeDataVsFitted(benchmark::State& state) { run_fit(state, protein({kB, kS, kRg}, false)); }

BENCHMARK(BM_FitTwoDataWellConditioned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitTwoDataIllConditioned)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FitThreeDataVsFitted)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) { return triex::run_registered_benchmarks(argc, argv); }

// D01DAF on smooth integrands over a square: the cost of the nested Patterson
// scheme itself. Counters: the calls of F (NPTS), integrand evaluations per
// second and the time per evaluation.
//
// Public/<integrand>/<ABSACC>: the public routine, F through a function_ref.
// Direct/<integrand>/<ABSACC>: the same scheme as a template on the integrand
// (D01DAF_prepared, as the shape section uses it), F called directly; the
// difference to Public is the cost of the indirect call.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "bench/counters.hpp"
#include "quadrature/nested_patterson.hpp"
#include "quadrature/nested_patterson_core.hpp"

namespace triex::bench {
namespace {

double zero(double) { return 0.0; }
double two(double) { return 2.0; }

// exp(-(x^2 + y^2)): smooth, a little costly per point.
double gaussian(double x, double y) { return std::exp(-(x * x + y * y)); }
// 1/(1 + x + y): smooth and cheap, so the integrator's own work shows.
double rational(double x, double y) { return 1.0 / (1.0 + x + y); }

void set_counters(benchmark::State& state, int NPTS) {
  const double n = NPTS;
  state.counters["NPTS"] = n;
  set_evaluation_rate(state, n);
}

void Public(benchmark::State& state, double (*F)(double, double), double ABSACC) {
  int NPTS = 0;
  for (auto _ : state) {
    double ANS = 0;
    int IFAIL = 1;
    D01DAF(0.0, 2.0, zero, two, F, ABSACC, ANS, NPTS, IFAIL);
    benchmark::DoNotOptimize(ANS);
  }
  set_counters(state, NPTS);
}

// F(x, y) called directly, nothing prepared per outer point.
template <double (*F)(double, double)>
struct Direct {
  auto at(double y) const {
    return [y](double x) { return F(x, y); };
  }
};

template <double (*F)(double, double)>
void DirectCall(benchmark::State& state, double ABSACC) {
  int NPTS = 0;
  for (auto _ : state) {
    double ANS = 0;
    int IFAIL = 1;
    D01DAF_prepared(0.0, 2.0, zero, two, Direct<F>{}, ABSACC, ANS, NPTS, IFAIL);
    benchmark::DoNotOptimize(ANS);
  }
  set_counters(state, NPTS);
}

std::string accuracy(double ABSACC) {
  char text[20];
  std::snprintf(text, sizeof text, "%g", ABSACC);
  return text;
}

}  // namespace
}  // namespace triex::bench

int main(int argc, char** argv) {
  using namespace triex::bench;
  struct Named {
    const char* name;
    double (*F)(double, double);
  };
  for (const Named& f : {Named{"gaussian", gaussian}, Named{"rational", rational}})
    for (double ABSACC : {1.0e-5, 1.0e-10, 1.0e-14})
      benchmark::RegisterBenchmark(("Public/" + std::string(f.name) + "/" + accuracy(ABSACC)).c_str(), Public, f.F,
                                   ABSACC)
          ->Unit(benchmark::kMicrosecond);
  for (double ABSACC : {1.0e-5, 1.0e-10, 1.0e-14}) {
    benchmark::RegisterBenchmark(("Direct/gaussian/" + accuracy(ABSACC)).c_str(), DirectCall<gaussian>, ABSACC)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("Direct/rational/" + accuracy(ABSACC)).c_str(), DirectCall<rational>, ABSACC)
        ->Unit(benchmark::kMicrosecond);
  }
  return triex::run_registered_benchmarks(argc, argv);
}

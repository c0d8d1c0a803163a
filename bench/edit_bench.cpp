// Numeric field editing: fields per second of each editor, on a spread of
// values (small and large magnitudes, negative, zero, values that round up
// to the next power of ten, values too wide for the field).
//
// Put/<descriptor>: the put_* form into a caller's buffer (no allocation), as
// the library composes its message lines.
// Edit/<descriptor>: the string form, as the dialogue and the report use it.

#include <benchmark/benchmark.h>

#include <array>
#include <span>
#include <string>

#include "support/edit.hpp"

namespace triex::bench {
namespace {

constexpr std::array<double, 16> kValues = {10.1736198, 8.0,      -237.75608,  0.0,       66000.0,    5.0e-5,
                                            9.9999996,  1.0e-300, -0.00123456, 123456.78, 6.02214e23, 0.5,
                                            1.0e100,    -1.0e-7,  3.14159,     2358.21454};
constexpr std::array<long long, 8> kIntegers = {0, 7, -1, 45, 65025, 2551, -2147483647, 123456789012LL};

void set_fields(benchmark::State& state, std::size_t per_iteration) {
  state.counters["fields/s"] =
      benchmark::Counter(static_cast<double>(per_iteration), benchmark::Counter::kIsIterationInvariantRate);
}

void Put_I(benchmark::State& state) {
  std::array<char, 16> field;
  for (auto _ : state)
    for (long long v : kIntegers) {
      put_I(field, v);
      benchmark::DoNotOptimize(field);
    }
  set_fields(state, kIntegers.size());
}

template <void (*Put)(std::span<char>, int, double), int W, int D>
void PutReal(benchmark::State& state) {
  std::array<char, W> field;
  for (auto _ : state)
    for (double v : kValues) {
      Put(field, D, v);
      benchmark::DoNotOptimize(field);
    }
  set_fields(state, kValues.size());
}

void Edit_E(benchmark::State& state) {
  for (auto _ : state)
    for (double v : kValues) {
      std::string text = edit_E(v, 12, 5);
      benchmark::DoNotOptimize(text);
    }
  set_fields(state, kValues.size());
}

void Edit_F(benchmark::State& state) {
  for (auto _ : state)
    for (double v : kValues) {
      std::string text = edit_F(v, 12, 4);
      benchmark::DoNotOptimize(text);
    }
  set_fields(state, kValues.size());
}

BENCHMARK(Put_I)->Name("Put/I16");
BENCHMARK(PutReal<put_F, 12, 4>)->Name("Put/F12.4");
BENCHMARK(PutReal<put_E, 12, 5>)->Name("Put/E12.5");
BENCHMARK(PutReal<put_1PD, 8, 1>)->Name("Put/1PD8.1");
BENCHMARK(Edit_E)->Name("Edit/E12.5");
BENCHMARK(Edit_F)->Name("Edit/F12.4");

}  // namespace
}  // namespace triex::bench

BENCHMARK_MAIN();

// The answers reader on a large answer stream: how many list-directed items
// and bytes it takes per second. Each stream is read to its end with one kind
// of read; the stream lives in memory, so only the reader is measured.
//
// Reals: three numbers per line in the forms a user types (fixed point,
//   exponent with E or D, a comma between items, trailing comments).
// Integers: the one-item choice answers.
// Texts: names, quoted with blanks inside, or bare.

#include <benchmark/benchmark.h>

#include <array>
#include <istream>
#include <span>
#include <streambuf>
#include <string>

#include "app/answers.hpp"

namespace triex::bench {
namespace {

// A read-only stream buffer over a string that outlives it.
class MemoryBuffer : public std::streambuf {
 public:
  explicit MemoryBuffer(const std::string& text) {
    char* begin = const_cast<char*>(text.data());
    setg(begin, begin, begin + text.size());
  }
};

std::string repeated(std::initializer_list<const char*> lines, int count) {
  std::string text;
  for (int k = 0; k < count; ++k)
    for (const char* line : lines) text += line;
  return text;
}

constexpr int kLines = 20000;  // of each form below

const std::string& reals_stream() {
  static const std::string text = repeated({"3.0, 2.0, 1.0\n", "150 0.735 1.0D+05   rest of the line\n",
                                            "1.5e-3,2.5E+4 , 7\n", "  0.001  1000.0   64500.\n"},
                                           kLines);
  return text;
}

const std::string& integers_stream() {
  static const std::string text = repeated({"1\n", "2\n", "  -17  \n", "12345678\n"}, kLines);
  return text;
}

const std::string& texts_stream() {
  static const std::string text =
      repeated({"Lysozyme\n", "'Human serum albumin'\n", "\"tobacco mosaic virus\", more\n", "y\n"}, kLines);
  return text;
}

template <class Read>
void read_all(benchmark::State& state, const std::string& text, int items_per_read, Read read) {
  std::size_t items = 0;
  for (auto _ : state) {
    MemoryBuffer buffer(text);
    std::istream in(&buffer);
    AnswerReader reader(in);
    std::size_t reads = 0;
    while (read(reader)) ++reads;
    items += reads * static_cast<std::size_t>(items_per_read);
  }
  state.counters["items/s"] = benchmark::Counter(static_cast<double>(items), benchmark::Counter::kIsRate);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(text.size()));
}

void Reals(benchmark::State& state) {
  read_all(state, reals_stream(), 3, [](AnswerReader& reader) {
    std::array<double, 3> values;
    const bool ok = reader.read_reals(values);
    benchmark::DoNotOptimize(values);
    return ok;
  });
}

void Integers(benchmark::State& state) {
  read_all(state, integers_stream(), 1, [](AnswerReader& reader) {
    int value = 0;
    const bool ok = reader.read_integer(value);
    benchmark::DoNotOptimize(value);
    return ok;
  });
}

void Texts(benchmark::State& state) {
  std::string value;
  read_all(state, texts_stream(), 1, [&value](AnswerReader& reader) {
    const bool ok = reader.read_text(value);
    benchmark::DoNotOptimize(value);
    return ok;
  });
}

BENCHMARK(Reals)->Unit(benchmark::kMillisecond);
BENCHMARK(Integers)->Unit(benchmark::kMillisecond);
BENCHMARK(Texts)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace triex::bench

BENCHMARK_MAIN();

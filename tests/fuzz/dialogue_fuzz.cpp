// libFuzzer target: the whole dialogue in-process, on fuzzed standard input.
// A hard library failure would end the process; here its hook throws, so
// that the harness can tell it apart from a crash.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "app/run.hpp"
#include "support/error_exit.hpp"

namespace {
struct HardFailure {};
[[noreturn]] void throw_hard_failure() { throw HardFailure{}; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool hooked = (triex::set_hard_failure_hook(&throw_hard_failure), true);
  (void)hooked;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out, err;
  try {
    const int status = triex::run(in, out, err);
    if (status != 0 && status != 2) __builtin_trap();
    // Standard error: notes, then, for a refusal only, the one line that says why.
    const std::string e = err.str();
    if (!e.empty() && e.back() != '\n') __builtin_trap();
    std::size_t lines = 0, leading_notes = 0;
    for (std::size_t at = 0; at < e.size(); at = e.find('\n', at) + 1) {
      ++lines;
      if (leading_notes + 1 == lines && e.compare(at, 13, "triex: note: ") == 0) ++leading_notes;
    }
    if (lines - leading_notes != (status == 2 ? 1u : 0u)) __builtin_trap();
  } catch (const HardFailure&) {
    // The library ended the run with its own message: a sound outcome.
  }
  return 0;
}

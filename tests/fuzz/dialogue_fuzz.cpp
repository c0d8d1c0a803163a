// libFuzzer target: the whole dialogue in-process, on fuzzed standard input.
// A hard library failure would end the process; here its hook throws, so
// that the harness can tell it apart from a crash.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "app/run.hpp"
#include "support/P01ABF.hpp"

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
    if ((status == 2) != !err.str().empty()) __builtin_trap();  // a refusal is one line on stderr
  } catch (const HardFailure&) {
    // The library ended the run with its own message: a sound outcome.
  }
  return 0;
}

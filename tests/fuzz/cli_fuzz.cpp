// libFuzzer target: the commands for scripts in-process. The first byte
// chooses what the rest is: a CSV file for `triex batch -` (as CSV or JSON
// output, on one or two threads), or a command line, one argument a line.
// Whatever the input, a run ends with a documented status, a refusal says
// why on standard error, and what it writes is well-formed: CSV whose every
// row has the header's cells, or JSON that parses.
//
// Command lines that would touch the file system (-o, a batch FILE) or ask
// for hours of work (large grids, the quadrature over a grid) are skipped:
// they are not about parsing.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.hpp"
#include "cli/csv_reader.hpp"
#include "cli/values.hpp"

namespace {

using namespace triex::cli;

struct Outcome {
  int status;
  std::string out, err;
};

Outcome run(const std::vector<std::string>& arguments, const std::string& input) {
  const std::vector<std::string_view> args(arguments.begin(), arguments.end());
  std::istringstream in(input);
  StringSink out;
  std::ostringstream err;
  Streams streams{in, out, err, false, nullptr};
  const int status = run_command(args, streams);
  return {status, out.text(), err.str()};
}

void check(const Outcome& o, bool json) {
  if (o.status < 0 || o.status > 3) __builtin_trap();
  if (o.status >= 2 && o.err.empty()) __builtin_trap();  // a refusal always says why
  if (o.out.empty()) return;
  if (o.out.find("Usage: triex") != std::string::npos) return;  // a usage text, not rows
  if (json) {
    if (!nlohmann::json::accept(o.out)) __builtin_trap();
    return;
  }
  std::istringstream written(o.out);
  CsvReader reader(written);
  CsvRecord header, row;
  if (!reader.next(header) || header.problem) __builtin_trap();
  while (reader.next(row))
    if (row.problem || row.cells.size() != header.cells.size()) __builtin_trap();
}

// Whether a command line is one this target runs (see the file head).
bool runnable(const std::vector<std::string>& args) {
  if (args.empty() || args.size() > 40) return false;
  if (args[0] == "batch") return false;
  long points = 1;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("-o", 0) == 0 || a.rfind("--o", 0) == 0) return false;
    if (args[0] != "ured" && (a.find("quadrature") != std::string::npos || a.find("both") != std::string::npos))
      return false;
    if (a.find("--ab") == 0 || a.find("--bc") == 0 || a.find("--points") == 0) {
      const std::string value = a.find('=') != std::string::npos ? a.substr(a.find('=') + 1)
                                : i + 1 < args.size()             ? args[i + 1]
                                                                  : "";
      const auto last = value.rfind(':');
      const long n = std::atol(value.c_str() + (last == std::string::npos ? 0 : last + 1));
      points *= std::max(1L, std::min(n, 100000L));
      if (points > 20000) return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  switch (data[0] % 4) {
    case 0:
      check(run({"batch", "-", "--threads", "1"}, text), false);
      break;
    case 1:
      check(run({"batch", "-", "--format", "json", "--threads", "2"}, text), true);
      break;
    case 2: {
      // Rows with the quadrature, a few only: each takes milliseconds.
      if (text.size() > 600) return 0;
      check(run({"batch", "-", "--method", "both", "--threads", "2"}, text), false);
      break;
    }
    default: {
      std::vector<std::string> args;
      std::istringstream lines(text);
      for (std::string line; std::getline(lines, line);) args.push_back(line);
      if (!runnable(args)) return 0;
      bool json = false;
      for (const std::string& a : args) json = json || a == "json" || a == "--format=json";
      check(run(args, ""), json);
      break;
    }
  }
  return 0;
}

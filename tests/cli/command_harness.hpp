// Runs a command line of the commands in-process and keeps what it wrote.
#pragma once

#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.hpp"

namespace triex::cli::testing_support {

struct CommandOutcome {
  int status = -1;
  std::string out, err;
};

inline CommandOutcome run(std::vector<std::string_view> args, const std::string& input = "") {
  std::istringstream in(input);
  StringSink out;
  std::ostringstream err;
  Streams streams{in, out, err, false};
  CommandOutcome outcome;
  outcome.status = run_command(args, streams);
  outcome.out = out.text();
  outcome.err = err.str();
  return outcome;
}

// The lines of a text, without their line ends.
inline std::vector<std::string> lines(const std::string& text) {
  std::vector<std::string> result;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) result.push_back(line);
  return result;
}

}  // namespace triex::cli::testing_support

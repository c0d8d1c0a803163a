#include "cli/command_error.hpp"

#include <algorithm>
#include <cstring>

#include "support/safe_text.hpp"

namespace triex::cli {
namespace {

std::string reason(int error_number) { return error_number != 0 ? std::strerror(error_number) : "unknown error"; }

}  // namespace

void refuse(const std::string& reason) { throw CommandError(Outcome::Refused, reason); }

void cannot_write(std::string_view what, int error_number) {
  throw CommandError(Outcome::WriteFailed, "cannot write " + std::string(what) + ": " + reason(error_number));
}

// Input that cannot be read is refused: what was read of it is incomplete.
void cannot_read(std::string_view what, int error_number) {
  throw CommandError(Outcome::Refused, "cannot read " + std::string(what) + ": " + reason(error_number));
}

void say(std::ostream& err, std::string_view command, std::string_view message) {
  std::string one_line(message);
  std::replace(one_line.begin(), one_line.end(), '\n', ' ');
  err << "triex" << (command.empty() ? "" : " ") << command << ": " << with_controls_shown(one_line) << '\n';
  err.flush();
}

}  // namespace triex::cli

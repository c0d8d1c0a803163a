#include "cli/command_error.hpp"

#include <cstring>

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
  std::string line = "triex";
  if (!command.empty()) line.append(" ").append(command);
  line.append(": ");
  for (const char c : message)
    line += c == '\n' ? ' ' : (static_cast<unsigned char>(c) < 32 || c == 127) ? '?' : c;
  err << line << '\n';
  err.flush();
}

}  // namespace triex::cli

// What ends a command before its normal end, and the one form of every
// diagnostic a command writes itself: "triex COMMAND: MESSAGE", one line.
// Commands throw CommandError (or let a library refusal, std::invalid_argument,
// pass); the dispatcher catches both once, writes the line and returns the
// status of the outcome.
#pragma once

#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>

#include "support/exit_status.hpp"

namespace triex::cli {

class CommandError : public std::runtime_error {
 public:
  CommandError(Outcome outcome, const std::string& message) : std::runtime_error(message), outcome_(outcome) {}
  Outcome outcome() const { return outcome_; }

 private:
  Outcome outcome_;
};

// Ends the command: its arguments or its input are refused for `reason`.
[[noreturn]] void refuse(const std::string& reason);

// Ends the command: `what` ("standard output", a file name) cannot be written
// or read, for the reason an errno value gives (0: unknown).
[[noreturn]] void cannot_write(std::string_view what, int error_number);
[[noreturn]] void cannot_read(std::string_view what, int error_number);

// Writes "triex COMMAND: MESSAGE" and a line end, and flushes; without a
// command, "triex: MESSAGE". A line end inside the message becomes a space
// and any other control character '?', so that arguments echoed in it
// cannot drive the terminal.
void say(std::ostream& err, std::string_view command, std::string_view message);

}  // namespace triex::cli

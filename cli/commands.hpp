// The commands of triex for scripts (ured, table, batch, solve, help), parsed
// with CLI11. `triex` alone runs the dialogue; a first argument that names a
// command comes here.
#pragma once

#include <span>
#include <string_view>

#include "cli/command_runs.hpp"

namespace triex::cli {

// Whether the argument names a command.
bool is_command(std::string_view argument);

// The usage of the commands, for `triex --help`.
std::string_view commands_summary();

// Runs the command line `args` (the command first, without the program
// name). What ends a command early is reported here, once, as
// "triex COMMAND: reason" on standard error. Returns the exit status of the
// command's outcome (support/exit_status.hpp): 0 done, 1 a quadrature value
// plainly wrong or a fit's data inconsistent, 2 something was refused (an
// unknown option or a bad value included), 3 the output could not be written.
int run_command(std::span<const std::string_view> args, Streams& streams);

}  // namespace triex::cli

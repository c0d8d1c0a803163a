// The command line of triex: no arguments runs the dialogue; --help and
// --version print and end; anything else is refused.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace triex {

enum class CommandLineAction { RunDialogue, Exit };

// Handles the arguments (without the program name). --help prints the
// dialogue's usage followed by `commands`, the summary of the commands for
// scripts (cli::commands_summary(), which the program passes: the dialogue
// does not know the commands). Sets `status` when the action is Exit: 0 after
// --help or --version (the first of them given is answered), 2 for an
// argument it refuses, 3 when writing failed.
CommandLineAction handle_command_line(std::span<const std::string_view> args, std::string_view commands,
                                      std::ostream& out, std::ostream& err, int& status);

}  // namespace triex

// triex: the reduced excluded volume of a triaxial ellipsoid and the second
// virial coefficient of its solution, by question and answer on the terminal,
// or by the commands for scripts (triex COMMAND ...).
#include <unistd.h>

#include <iostream>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/run.hpp"
#include "app/standard_streams.hpp"
#include "cli/commands.hpp"

int main(int argc, char** argv) {
  const std::vector<std::string_view> args(argv + (argc > 0 ? 1 : 0), argv + argc);
  triex::StandardStreams streams;  // remember why a read or write failed
  if (!args.empty() && triex::cli::is_command(args.front())) {
    triex::cli::DescriptorSink out(STDOUT_FILENO);
    triex::cli::Streams commands{streams.in(), out, std::cerr, isatty(STDERR_FILENO) == 1, &triex::read_error};
    return triex::cli::run_command(args, commands);
  }
  int status = 0;
  const auto action = triex::handle_command_line(args, triex::cli::commands_summary(), streams.out(), std::cerr, status);
  if (action == triex::CommandLineAction::Exit) return status;
  return triex::run(streams.in(), streams.out(), std::cerr);
}

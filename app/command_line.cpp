#include "app/command_line.hpp"

#include <ostream>

#ifndef TRIEX_VERSION
#define TRIEX_VERSION "unknown"
#endif

namespace triex {
namespace {

constexpr std::string_view kUsage =
    "Usage: triex [--help | --version]\n"
    "\n"
    "Computes the reduced excluded volume of a rigid triaxial ellipsoid (8 for a\n"
    "sphere) and its contributions to the second virial coefficient of a solution.\n"
    "\n"
    "triex asks, in order: the name of the molecule; the shape, as the semi-axes\n"
    "a, b, c in Angstrom or as the axial ratios a/b and b/c; the swollen specific\n"
    "volume vs (or hydration, solvent density and partial specific volume); the\n"
    "molar mass; whether to compute B(ex); whether there is a polyelectrolyte\n"
    "contribution (then the valency Z and the ionic strength I); and, after the\n"
    "results, one closing answer whose value is ignored.\n"
    "\n"
    "Answers are read from standard input and may be piped in, e.g.\n"
    "  printf 'lysozyme\\n1\\n1 1 1\\n1\\n1\\n10000\\nyes\\nno\\n0\\n' | triex\n"
    "\n"
    "Exit status: 0 normal end; 1 a library failure ended the run; 2 an answer\n"
    "was refused (the reason is on standard error).\n"
    "See triex(1) for the answers' syntax, the quantities and their units.\n";

}  // namespace

CommandLineAction handle_command_line(std::span<const std::string_view> args, std::ostream& out, std::ostream& err,
                                      int& status) {
  if (args.empty()) return CommandLineAction::RunDialogue;
  if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
    out << kUsage;
    status = 0;
  } else if (args.size() == 1 && args[0] == "--version") {
    out << "triex " << TRIEX_VERSION << '\n';
    status = 0;
  } else {
    const std::string_view arg = args[0] == "--help" || args[0] == "--version" ? args[1] : args[0];
    err << "triex: unknown argument \"" << arg.substr(0, 80) << "\" (try triex --help)\n";
    status = 2;
  }
  out.flush();
  return CommandLineAction::Exit;
}

}  // namespace triex

#include "app/command_line.hpp"

#include <algorithm>
#include <ostream>

#include "support/safe_text.hpp"
#include "app/standard_streams.hpp"
#include "support/exit_status_text.hpp"

#ifndef TRIEX_VERSION
#define TRIEX_VERSION "unknown"
#endif

namespace triex {
namespace {

constexpr std::string_view kUsage =
    "Usage: triex [--help | --version]\n"
    "       triex COMMAND [OPTIONS]     (the commands below; triex help COMMAND)\n"
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
    "\n";
constexpr std::string_view kManual = "See triex(1) for the answers' syntax, the quantities and their units.\n\n";

bool is_help(std::string_view arg) { return arg == "--help" || arg == "-h"; }
bool is_version(std::string_view arg) { return arg == "--version"; }

}  // namespace

CommandLineAction handle_command_line(std::span<const std::string_view> args, std::string_view commands,
                                      std::ostream& out, std::ostream& err, int& status) {
  if (args.empty()) return CommandLineAction::RunDialogue;
  // Any argument that is neither --help nor --version is refused; among those
  // two, the first one given is answered.
  const auto unknown =
      std::find_if(args.begin(), args.end(), [](std::string_view a) { return !is_help(a) && !is_version(a); });
  if (unknown != args.end()) {
    err << "triex: unknown argument \"" << with_controls_shown(cut_between_characters(*unknown, 80))
        << "\" (try triex --help)\n";
    err.flush();
    status = exit_code(Outcome::Refused, static_cast<bool>(err));
    return CommandLineAction::Exit;
  }
  if (is_help(args[0])) {
    out << kUsage
        << exit_status_text({kNormalEnd, kLibraryFailureEnded, kAnswerRefused, kStreamNotWritten},
                            "The reason for 2 and 3 is on standard error.")
        << kManual << commands;
  } else {
    out << "triex " << TRIEX_VERSION << '\n';
  }
  out.flush();
  status = out ? exit_code(Outcome::Done) : report_write_failure(out, err);
  return CommandLineAction::Exit;
}

}  // namespace triex

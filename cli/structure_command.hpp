// triex structure FILE...: the equivalent ellipsoid of each structure file
// (PDB or mmCIF, gzipped or not) and what it predicts, one row a file.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/command_runs.hpp"

namespace CLI {
class App;
}

namespace triex::cli {

struct StructureOptions {
  std::vector<std::string> files;
  std::optional<int> model;
  std::vector<std::string> chains;
  bool with_hetero = false;
  std::optional<std::string> molar_mass, vs, hydration, solvent_density, vbar, viscosity, temperature;
};

// Adds the subcommand, its options and its help to `app`; `format` receives --format.
CLI::App* add_structure_command(CLI::App& app, StructureOptions& options, CommonOptions& common,
                                std::string& format, const std::string& statuses);

Outcome run_structure(const StructureOptions& options, const CommonOptions& common, Streams& streams);

}  // namespace triex::cli

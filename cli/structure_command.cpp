// triex structure: one row a structure file, its equivalent ellipsoid of
// inertia and, given a molar mass and vs, the measurements that ellipsoid
// predicts. Files are read and computed by all threads, a round at a time,
// and written in the order given; a refused file is named on standard error
// with its reason while the others are still computed.
#include "cli/structure_command.hpp"

#include <CLI/CLI.hpp>
#include <stdexcept>

#include "cli/destination.hpp"
#include "cli/number_option.hpp"
#include "cli/progress.hpp"
#include "cli/rounds.hpp"
#include "cli/specific_volume_option.hpp"
#include "structure/structure_report.hpp"
#include "support/refusal.hpp"
#include "support/safe_text.hpp"

namespace triex::cli {
namespace {

// Files read per round: each thread holds one file at a time.
constexpr std::size_t kRound = 256;

// The inputs of the predictions: vs typed, or vbar + delta / rho.
StructureInputs inputs_of(const StructureOptions& o) {
  StructureInputs in;
  const VolumeSource source = volume_source_of(o, VbarAndRho::also_for_others, std::nullopt);
  if (o.molar_mass) in.molar_mass = number_for(Field::molar_mass, *o.molar_mass);
  if (o.vbar) in.vbar = number_for(Field::vbar, *o.vbar);
  if (o.solvent_density) in.solvent.density = number_for(Field::solvent_density, *o.solvent_density);
  if (o.viscosity) in.solvent.viscosity = number_for(Field::viscosity, *o.viscosity);
  if (o.temperature) in.solvent.temperature = number_for(Field::temperature, *o.temperature);
  in.vs = specific_volume_of(o, source);
  check_structure_inputs(in);
  return in;
}

struct FileResult {
  std::vector<Cell> cells;      // when the file was read
  std::string problem;          // why it was refused
};

}  // namespace

CLI::App* add_structure_command(CLI::App& app, StructureOptions& o, CommonOptions& common, std::string& format,
                                const std::string& statuses) {
  CLI::App* command = app.add_subcommand(
      "structure", "the equivalent ellipsoid of inertia of PDB or mmCIF models, and what it predicts");
  command->add_option("FILE", o.files, "PDB or mmCIF files, gzipped or not")->required();
  command->add_option("--model", o.model, "the model number in the file (default: the first model)");
  command->add_option("--chains", o.chains, "the chains to take, e.g. A,B (default: every chain)")->delimiter(',');
  command->add_flag("--with-hetero", o.with_hetero, "take waters, ligands and ions too (default: polymer residues only)");
  const auto text_option = [&](const char* name, std::optional<std::string>& value, const std::string& help) {
    add_number_option(*command, name, value, help);
  };
  text_option("--molar-mass", o.molar_mass, "M (g/mol) of the molecule, for the predictions");
  text_option("--vs", o.vs, "the swollen specific volume (ml/g), for the predictions");
  text_option("--hydration", o.hydration, "delta (g/g), with --vbar and --solvent-density: vs = vbar + delta/rho");
  text_option("--vbar", o.vbar, "the partial specific volume (ml/g): s and f/f0");
  text_option("--solvent-density", o.solvent_density, "rho (g/ml): s");
  const Solvent water;
  text_option("--viscosity", o.viscosity,
              "eta of the solvent (mPa s; default " + shortest(water.viscosity) + ", water at 20 C)");
  text_option("--temperature", o.temperature, "T (K; default " + shortest(water.temperature) + ")");
  command->add_option("--format", format, "csv (the default) or json (one array of objects)")
      ->check(CLI::IsMember({"csv", "json"}));
  command->add_option("-o,--output", common.output,
                      "write to FILE (renamed into place when complete) instead of standard output");
  command->add_option("--threads", common.threads, "threads to use (default: the machine's cores); results do not depend on it")
      ->check(CLI::Range(1u, 1024u));
  command->footer(
      "The atoms of one model (polymer residues; of alternate locations the one of\n"
      "highest occupancy), each weighing its element's atomic mass, give the uniform\n"
      "ellipsoid with the same principal moments of inertia: a >= b >= c, a_i^2 =\n"
      "(5/2M)(I_j + I_k - I_i). It keeps the model's inertia, not its surface.\n"
      "Columns: file, atoms, model_molar_mass_g_per_mol (the atoms' masses),\n"
      "rg_atoms_angstrom, a_angstrom, b_angstrom, c_angstrom,\n"
      "ellipsoid_volume_angstrom3, a_over_b, b_over_c, the axes' directions\n"
      "axis_a_x ... axis_c_z, ured and the ellipsoid's dimensionless shape\n"
      "factors. With --molar-mass and --vs (or --hydration) the same ellipsoid\n"
      "scaled to the hydrated volume M vs / NA (a_hydrated_angstrom ...) and what it\n"
      "predicts: stokes_radius_angstrom, D_cm2_per_s, s_svedberg (with --vbar and\n"
      "--solvent-density), f_over_f0 (with --vbar), rg_angstrom, tau_h_ns,\n"
      "intrinsic_viscosity_ml_per_g, Bex_ml_mol_per_g2. A refused file (not a\n"
      "structure, truncated, larger than 256 MiB of text, no atoms selected, an\n"
      "unknown element, coordinates beyond 1e5 Angstrom, one atom, atoms on a line or\n"
      "in a plane) is named on standard error as FILE: reason; the others are\n"
      "written (status 2).\n"
      "\nExample:\n  triex structure 1abc.cif.gz --molar-mass 14300 --vs 0.98 --vbar 0.73 --solvent-density 0.998" +
      statuses);
  return command;
}

Outcome run_structure(const StructureOptions& options, const CommonOptions& common, Streams& streams) {
  std::ostream& err = streams.err;
  const StructureInputs inputs = inputs_of(options);
  const StructureSelection selection{options.model, options.chains, options.with_hetero};

  Destination destination(common.output, streams.out);
  std::vector<std::string> columns = {"file", "atoms"};
  for (std::string& column : structure_columns(inputs)) columns.push_back(std::move(column));
  RowWriter writer(destination.sink(), common.format, columns);

  Progress progress(err, streams.err_is_terminal, "structure", options.files.size());
  std::vector<FileResult> results(kRound);
  std::size_t refused = 0;
  for (std::size_t first = 0; first < options.files.size() && destination.good(); first += kRound) {
    const std::size_t n = std::min(kRound, options.files.size() - first);
    interleaved_for(n, common.threads, [&](std::size_t i) {
      const std::string& file = options.files[first + i];
      FileResult& result = results[i];
      result = {};
      try {
        const StructureModel model = read_structure_model(file, selection);
        result.cells.emplace_back(file);
        result.cells.emplace_back(static_cast<std::int64_t>(model.atoms));
        for (const double x : structure_values(model, inputs)) result.cells.emplace_back(x);
      } catch (const std::invalid_argument& e) {
        result.problem = e.what();
      } catch (const std::bad_alloc&) {
        result.problem = "not enough memory to read it";
      }
    });
    for (std::size_t i = 0; i < n; ++i) {
      if (!results[i].problem.empty()) {
        progress.clear();
        err << with_controls_shown(options.files[first + i]) << ": " << results[i].problem << '\n';
        ++refused;
        continue;
      }
      writer.row(results[i].cells);
    }
    writer.flush();
    progress.update(first + n);
  }
  writer.finish();
  err.flush();
  destination.finish();
  return refused > 0 ? Outcome::Refused : Outcome::Done;
}

}  // namespace triex::cli

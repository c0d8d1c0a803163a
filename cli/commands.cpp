#include "cli/commands.hpp"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <sstream>

#include "cli/destination.hpp"
#include "cli/number_option.hpp"
#include "cli/fit_command.hpp"
#include "cli/structure_command.hpp"
#include "support/parallel_for.hpp"
#include "support/exit_status_text.hpp"
#include "support/refusal.hpp"
#include "support/safe_text.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

constexpr std::array<std::string_view, 8> kCommands = {"ured", "shape", "table", "batch", "solve", "structure", "fit", "help"};

constexpr std::string_view kSummary =
    "Commands for scripts (CSV on standard output; triex help COMMAND for each):\n"
    "  triex ured A B C | --ratios AB BC     u_red of one shape\n"
    "  triex shape A B C | --ratios AB BC    its friction, gyration, rotation, viscosity\n"
    "  triex table --ab LO:HI:N --bc LO:HI:N u_red over a grid of axial ratios\n"
    "  triex batch FILE                      the report for each molecule of a CSV file\n"
    "  triex solve --ured X | --virial B ... the shapes with a given u_red or B\n"
    "  triex fit --molar-mass M --vbar V ... the shape from several measurements\n"
    "  triex structure FILE...               the equivalent ellipsoid of PDB/mmCIF models\n";

// The statuses of the commands of u_red, after a blank line.
std::string statuses() {
  const std::string quadrature_wrong =
      "the quadrature's u_red is plainly wrong for some shape (" + plainly_wrong_rule() + "; the row is written)";
  return "\n\n" + exit_status_text({kDone, {exit_code(Outcome::QuadraturePlainlyWrong), quadrature_wrong}, kSomethingRefused,
                                     kOutputNotWritten},
                                    std::string(kReasonsOnStandardError) +
                                        " Failure codes of the quadrature alone stay in their columns, with one "
                                        "note on standard error, and leave status 0.");
}

// Where and how a command writes its rows.
void add_output_options(CLI::App& command, CommonOptions& common, std::string& format) {
  command.add_option("--format", format, "csv (the default) or json (one array of objects)")
      ->check(CLI::IsMember({"csv", "json"}));
  command
      .add_option("-o,--output", common.output,
                  "write to FILE (renamed into place when complete) instead of standard output")
      ->check(CLI::Validator(
          [](const std::string& path) { return path.empty() ? std::string("the file name is empty") : std::string(); },
          "", "FILE"));
}

// Options that every command of u_red takes.
void add_common_options(CLI::App& command, CommonOptions& common, std::string& method, std::string& format,
                        bool with_method = true) {
  if (with_method)
    command.add_option("--method", method, "exact (closed form, the default), quadrature (the dialogue's), or both")
        ->check(CLI::IsMember({"exact", "quadrature", "both"}));
  else
    command.add_option("--method", method, "ignored: solve always uses the exact closed form")
        ->check(CLI::IsMember({"exact", "quadrature", "both"}));
  add_output_options(command, common, format);
  command.add_option("--threads", common.threads, "threads to use (default: the machine's cores); results do not depend on it")
      ->check(CLI::Range(1u, 1024u));
}

// triex shape: the shape as for ured, and the molecule and its solvent for the predicted measurements.
CLI::App* add_shape_command(CLI::App& app, ShapeOptions& options, CommonOptions& common, std::string& format) {
  CLI::App* shape = app.add_subcommand(
      "shape", "the hydrodynamic and scattering shape factors of one shape, and what they predict");
  shape->add_option("axes", options.axes, "the semi-axes A B C (Angstrom, or any unit)")->expected(0, 3);
  shape->add_option("--ratios", options.ratios, "the axial ratios a/b and b/c instead")->expected(2);
  const auto text_option = [&](const char* name, std::optional<std::string>& value, const std::string& help) {
    add_number_option(*shape, name, value, help);
  };
  const Solvent water;
  text_option("--molar-mass", options.molar_mass, "M (g/mol): adds the predicted measurements");
  text_option("--vs", options.vs, "the swollen specific volume (ml/g)");
  text_option("--hydration", options.hydration, "delta (g/g), with --solvent-density and --vbar");
  text_option("--solvent-density", options.solvent_density, "rho (g/ml), for s");
  text_option("--vbar", options.vbar, "the partial specific volume (ml/g), for s and f/f0");
  text_option("--viscosity", options.viscosity,
              "the solvent's viscosity eta (mPa s; default " + shortest(water.viscosity) + ", water at 20 C)");
  text_option("--temperature", options.temperature,
              "the temperature T (K; default " + shortest(water.temperature) + ", 20 C)");
  shape->footer(
      "Columns: the shape as typed (a_angstrom,b_angstrom,c_angstrom or\n"
      "a_over_b,b_over_c), then stokes_radius and radius_of_gyration (in the unit of\n"
      "the semi-axes; of c for --ratios), and relative to the sphere of equal volume\n"
      "perrin_ratio (f/f0), gyration_ratio, rotational_friction_1..3 (about the axes\n"
      "a, b, c as typed), relaxation_time_1..5 and harmonic_relaxation_time (tau/tau0,\n"
      "tau0 = eta V / kT), viscosity_increment ([eta] = nu vs; 5/2 for a sphere) and\n"
      "ured. With --molar-mass M and --vs (or --hydration, --solvent-density and\n"
      "--vbar) the particle is the shape scaled to the hydrated volume M vs / NA, and\n"
      "the row adds s_svedberg (needs --vbar and --solvent-density), D_cm2_per_s,\n"
      "stokes_radius_angstrom, f_over_f0 (against the anhydrous sphere; needs --vbar),\n"
      "rg_angstrom, tau_h_ns, intrinsic_viscosity_ml_per_g and Bex_ml_mol_per_g2;\n"
      "a quantity whose inputs are missing is an empty cell.\n"
      "\nExamples:\n  triex shape 30 20 10\n"
      "  triex shape --ratios 1.5 1 --molar-mass 14300 --hydration 0.35 \\\n"
      "      --solvent-density 0.9982 --vbar 0.703\n"
      "\n" +
      exit_status_text({kDone, kValueRefused, kOutputNotWritten}, kReasonsOnStandardError));
  add_output_options(*shape, common, format);
  return shape;
}

// triex fit: the molecule, its solvent and its data (each VALUE[:SIGMA]).
CLI::App* add_fit_command(CLI::App& app, FitOptions& options, CommonOptions& common, std::string& format) {
  CLI::App* fit = app.add_subcommand("fit", "the shape of a molecule from several measurements, with its uncertainty");
  const auto text_option = [&](const char* name, std::optional<std::string>& value, const std::string& help) {
    add_number_option(*fit, name, value, help);
  };
  const Solvent water;
  text_option("--molar-mass", options.molar_mass, "M (g/mol), required");
  text_option("--vbar", options.vbar, "the partial specific volume (ml/g), required");
  text_option("--hydration", options.hydration, "delta (g/g): vs = vbar + delta/rho; without it or --vs, vs is fitted");
  text_option("--vs", options.vs, "the swollen specific volume (ml/g) instead");
  text_option("--solvent-density", options.solvent_density,
              "rho (g/ml; default " + shortest(kDefaultSolventDensity) + ", water at 20 C)");
  text_option("--viscosity", options.viscosity,
              "the solvent's viscosity eta (mPa s; default " + shortest(water.viscosity) + ", water at 20 C)");
  text_option("--temperature", options.temperature,
              "the temperature T (K; default " + shortest(water.temperature) + ", 20 C)");
  text_option("--valency", options.valency, "Z, with --ionic-strength: B includes B(z)");
  text_option("--ionic-strength", options.ionic_strength, "I (mol/l)");
  const auto datum_option = [&](Measurement kind, const char* help) {
    fit->add_option_function<std::string>(
           measurement_option(kind), [&options, kind](const std::string& v) { options.data[static_cast<int>(kind)] = v; },
           help)
        ->type_name("VALUE[:SIGMA]");
  };
  datum_option(Measurement::Virial, "the second virial coefficient B (ml mol/g^2)");
  datum_option(Measurement::Sedimentation, "the sedimentation coefficient s (svedberg)");
  datum_option(Measurement::Diffusion, "the diffusion coefficient D (cm^2/s)");
  datum_option(Measurement::StokesRadius, "the Stokes radius (Angstrom; dynamic light scattering, SEC)");
  datum_option(Measurement::RadiusOfGyration, "the radius of gyration (Angstrom)");
  datum_option(Measurement::IntrinsicViscosity, "the intrinsic viscosity [eta] (ml/g)");
  datum_option(Measurement::RelaxationTime, "the harmonic mean rotational relaxation time tau_h (ns)");
  datum_option(Measurement::Ured, "the reduced excluded volume u_red itself");
  fit->footer(
      "Each measurement is VALUE or VALUE:SIGMA, SIGMA its standard error in the same\n"
      "unit, or in percent of VALUE with a trailing % (default 2 %). Two independent\n"
      "data fix a/b and b/c when the hydration (or vs) is given; without it a third\n"
      "fixes vs too (s, D and the Stokes radius count as one). chi2 is searched over\n"
      "a/b and b/c from 1 to 1000 and every local minimum is a row, the best first:\n"
      "a_over_b,b_over_c,a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,\n"
      "hydration_g_per_g,chi2, the 68 % and 95 % confidence intervals of a/b and b/c\n"
      "(a_over_b_lo68 ... b_over_c_hi95: the projections of the regions chi2 <=\n"
      "chi2_min + 2.30 and + 5.99; empty for a solution outside them; lo = 1 where a\n"
      "region reaches a spheroid line, an upper bound only), amplification (the error\n"
      "of the axial ratios, in %, per 1 % error in every datum) and plausible (1 when\n"
      "the hydration is between 0 and 2 g/g). JSON adds each datum's residual,\n"
      "(ln VALUE - ln model)/(SIGMA/VALUE). Standard error says when the fit is\n"
      "ill-conditioned (amplification above 10), which pair of data is the weak one\n"
      "and which measurement would help most.\n"
      "\nExamples:\n"
      "  triex fit --molar-mass 66000 --vbar 0.733 --hydration 0.35 \\\n"
      "      --intrinsic-viscosity 4.29 --relaxation-time 44.4:5%\n"
      "  triex fit --molar-mass 66000 --vbar 0.733 --virial 9.61e-5 \\\n"
      "      --sedimentation 4.49 --radius-of-gyration 32.5:0.3\n"
      "\n" +
      exit_status_text({kFitFound, kDataInconsistent, kDataRefused, kOutputNotWritten}));
  fit->add_option("--format", format, "csv (the default) or json (one array of objects)")
      ->check(CLI::IsMember({"csv", "json"}));
  fit->add_option("-o,--output", common.output,
                  "write to FILE (renamed into place when complete) instead of standard output");
  return fit;
}

std::string solve_description() {
  std::ostringstream text;
  const double largest = largest_solvable_ured();
  text << "The shapes a >= b >= c whose exact reduced excluded volume is X: a curve of\n"
          "(a/b, b/c) from the prolate spheroid (p, 1) to the oblate spheroid (1, p),\n"
          "every row's u_red equal to X within 1e-12 relative. X comes from --ured, or\n"
          "from a measured second virial coefficient B: X = 2 M (B - B(z)) / vs, B(z)\n"
          "taken off when --valency and --ionic-strength are given. X = 8 gives the\n"
          "sphere alone; X below 8 has no ellipsoid, and X above "
       << shortest(largest) << "\n(axial ratios beyond " << shortest(kMaxSolveRatio)
       << ") is beyond the solver's range: both are refused.";
  return text.str();
}

// The command line of the commands: every subcommand with its options, each
// set up by its own function, and the one that was given run.
class CommandLine {
 public:
  CommandLine();
  CommandLine(const CommandLine&) = delete;  // the options are bound to the members' addresses
  CommandLine& operator=(const CommandLine&) = delete;
  // Parses `args` (the command first) and runs the command; what ends it
  // early is thrown (CommandError, std::invalid_argument, CLI::ParseError).
  Outcome run(std::span<const std::string_view> args, Streams& streams);
  // The command given, for the words on standard error; empty before one was parsed.
  std::string command() const;
  // The usage a refused command line points to: "triex COMMAND --help".
  std::string help_hint() const;

 private:
  using Runner = std::function<Outcome(Streams&)>;
  void add(CLI::App* command, Runner run) { commands_.push_back({command, std::move(run)}); }
  void setup_ured();
  void setup_table();
  void setup_batch();
  void setup_solve();
  void setup_help();
  Outcome write_out(const std::string& text, Streams& streams);

  CLI::App app_{"triex: the excluded volume of triaxial ellipsoids", "triex"};
  std::vector<std::pair<CLI::App*, Runner>> commands_;
  CommonOptions common_;
  std::string method_ = "exact", format_ = "csv";
  UredOptions ured_;
  ShapeOptions shape_;
  TableOptions table_;
  std::string spacing_ = "log";
  BatchOptions batch_;
  std::string output_separator_ = "comma";
  SolveOptions solve_;
  FitOptions fit_;
  StructureOptions structure_;
  std::string topic_;
};

CommandLine::CommandLine() {
  app_.require_subcommand(1, 1);
  app_.footer(statuses().substr(1));
  common_.threads = default_thread_count();
  setup_ured();
  add(add_shape_command(app_, shape_, common_, format_), [this](Streams& s) { return run_shape(shape_, common_, s); });
  setup_table();
  setup_batch();
  setup_solve();
  add(add_fit_command(app_, fit_, common_, format_), [this](Streams& s) { return run_fit(fit_, common_, s); });
  add(add_structure_command(app_, structure_, common_, format_, statuses()),
      [this](Streams& s) { return run_structure(structure_, common_, s); });
  setup_help();
}

void CommandLine::setup_ured() {
  CLI::App* ured = app_.add_subcommand("ured", "u_red of one shape, from its semi-axes or its axial ratios");
  ured->add_option("axes", ured_.axes, "the semi-axes A B C (Angstrom, or any unit)")->expected(0, 3);
  ured->add_option("--ratios", ured_.ratios, "the axial ratios a/b and b/c instead")->expected(2);
  ured->footer("Example:\n  triex ured 300 200 100\n  triex ured --ratios 1.5 2 --method both" +
               statuses());
  add_common_options(*ured, common_, method_, format_);
  add(ured, [this](Streams& s) { return run_ured(ured_, common_, s); });
}

void CommandLine::setup_table() {
  CLI::App* table = app_.add_subcommand(
      "table", "u_red over a grid of axial ratios, a/b the outer loop; each end exactly as typed");
  table->add_option("--ab", table_.ab, "a/b from LO to HI in N points")->required();
  table->add_option("--bc", table_.bc, "b/c from LO to HI in N points")->required();
  table->add_option("--spacing", spacing_, "log (the default) or linear")->check(CLI::IsMember({"log", "linear"}));
  table->footer("Example:\n  triex table --ab 1:100:3 --bc 1:10:2 --spacing linear" + statuses());
  add_common_options(*table, common_, method_, format_);
  add(table, [this](Streams& s) {
    table_.spacing = spacing_ == "linear" ? Spacing::Linear : Spacing::Log;
    return run_table(table_, common_, s);
  });
}

void CommandLine::setup_batch() {
  CLI::App* batch = app_.add_subcommand("batch", "the dialogue's report for each molecule of a CSV file");
  batch->add_option("FILE", batch_.file, "the CSV file, - for standard input")->required();
  batch->add_option("--output-separator", output_separator_,
                    "comma (the default) or semicolon (with decimal commas, for spreadsheets that expect them)")
      ->check(CLI::IsMember({"comma", "semicolon"}));
  batch->footer(
      "Columns, in any order, after a header row: name (optional); a_angstrom,\n"
      "b_angstrom,c_angstrom or a_over_b,b_over_c (or both, each row filling one);\n"
      "vs_ml_per_g or all of hydration_g_per_g,solvent_density_g_per_ml,vbar_ml_per_g;\n"
      "molar_mass_g_per_mol; optionally valency and ionic_strength_mol_per_l (both\n"
      "empty: no charge term). Names are matched regardless of case; other columns\n"
      "are carried along. Cells are separated by commas, semicolons (then \"22,5\" is\n"
      "read as 22.5) or tabs, as the header line shows; rows of empty cells are\n"
      "skipped. Each row comes back with its input columns and ured, vs_ml_per_g\n"
      "(when derived), U_ml_per_mol, u_ml, Bex_ml_mol_per_g2, Bz_ml_mol_per_g2,\n"
      "B_ml_mol_per_g2, BM_ml_per_g, BM2_l_per_mol and BM2_per_uM; given its own\n"
      "output, batch computes these again. A refused row is named on standard error\n"
      "as FILE:LINE: column \"NAME\": reason; the other rows are written (status 2).\n"
      "With a column viscosity_mpa_s or temperature_k (an empty cell is water at\n"
      "20 C, " + shortest(Solvent{}.viscosity) + " mPa s and " + shortest(Solvent{}.temperature) +
      " K) each row adds the measurements its shape\n"
      "predicts, as triex shape writes them: s_svedberg (needs vbar_ml_per_g and\n"
      "solvent_density_g_per_ml, which may then stand beside vs_ml_per_g),\n"
      "D_cm2_per_s, stokes_radius_angstrom, f_over_f0 (needs vbar_ml_per_g),\n"
      "rg_angstrom, tau_h_ns and intrinsic_viscosity_ml_per_g.\n"
      "\nExample:\n  triex batch proteins.csv -o results.csv" +
      statuses());
  add_common_options(*batch, common_, method_, format_);
  add(batch, [this](Streams& s) {
    if (output_separator_ == "semicolon") {
      if (common_.format == Format::Json) refuse("--output-separator semicolon needs --format csv" + help_hint());
      batch_.output_separator = ';';
    }
    return run_batch(batch_, common_, s);
  });
}

void CommandLine::setup_solve() {
  CLI::App* solve = app_.add_subcommand("solve", "the shapes with a given u_red, or with a measured B");
  solve->description(solve_description());
  const auto text_option = [&](const char* name, std::optional<std::string>& value, const char* help) {
    add_number_option(*solve, name, value, help);
  };
  text_option("--ured", solve_.ured, "the reduced excluded volume X (8 for a sphere)");
  text_option("--virial", solve_.virial, "the second virial coefficient B (ml mol/g^2)");
  text_option("--molar-mass", solve_.molar_mass, "M (g/mol)");
  text_option("--vs", solve_.vs, "the swollen specific volume (ml/g)");
  text_option("--hydration", solve_.hydration, "delta (g/g), with --solvent-density and --vbar");
  text_option("--solvent-density", solve_.solvent_density, "rho (g/ml)");
  text_option("--vbar", solve_.vbar, "the partial specific volume (ml/g)");
  text_option("--valency", solve_.valency, "Z, with --ionic-strength: B(z) is taken off B first");
  text_option("--ionic-strength", solve_.ionic_strength, "I (mol/l)");
  solve->add_option("--points", solve_.points, "rows along the curve (default 50)")
      ->check(CLI::Range(2, 1000000));
  solve->footer("Columns: a_over_b, b_over_c, ured_exact; the first row is the prolate\n"
                "solution, the last the oblate one.\n\nExamples:\n  triex solve --ured 10 --points 5\n"
                "  triex solve --virial 6.5e-4 --molar-mass 66000 --vs 0.98" +
                statuses());
  add_common_options(*solve, common_, method_, format_, false);
  add(solve, [this](Streams& s) { return run_solve(solve_, common_, s); });
}

void CommandLine::setup_help() {
  CLI::App* help = app_.add_subcommand("help", "the usage of a command");
  help->add_option("COMMAND", topic_, "ured, shape, table, batch, solve, structure or fit");
  add(help, [this](Streams& s) {
    if (topic_.empty())
      return write_out("Usage: triex COMMAND [OPTIONS]\n\n" + std::string(kSummary) + statuses(), s);
    if (topic_ == "help" || !is_command(topic_)) refuse("no command \"" + topic_ + "\" (try triex --help)");
    return write_out(app_.get_subcommand(topic_)->help("triex"), s);
  });
}

Outcome CommandLine::write_out(const std::string& text, Streams& streams) {
  if (!streams.out.write(text)) cannot_write("standard output", streams.out.error());
  return Outcome::Done;
}

std::string CommandLine::command() const {
  const auto parsed = app_.get_subcommands();
  return parsed.empty() ? std::string() : parsed.front()->get_name();
}

std::string CommandLine::help_hint() const {
  const std::string name = command();
  return " (try triex " + name + (name.empty() ? "" : " ") + "--help)";
}

Outcome CommandLine::run(std::span<const std::string_view> args, Streams& streams) {
  // CLI11 parses from the end of a vector of arguments.
  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app_.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    return write_out(app_.help(), streams);
  }
  common_.method = method_ == "quadrature" ? Method::Quadrature : method_ == "both" ? Method::Both : Method::Exact;
  common_.format = format_ == "json" ? Format::Json : Format::Csv;
  for (const auto& [command, run_it] : commands_)
    if (command->parsed()) return run_it(streams);
  refuse("no command was given" + help_hint());  // require_subcommand(1, 1) makes this unreachable
}

}  // namespace

bool is_command(std::string_view argument) {
  return std::find(kCommands.begin(), kCommands.end(), argument) != kCommands.end();
}

std::string_view commands_summary() { return kSummary; }

int run_command(std::span<const std::string_view> args, Streams& streams) {
  CommandLine line;
  std::ostream& err = streams.err;
  try {
    const Outcome outcome = line.run(args, streams);
    err.flush();
    return exit_code(outcome, static_cast<bool>(err));
  } catch (const CommandError& e) {
    say(err, line.command(), e.what());
    return exit_code(e.outcome(), static_cast<bool>(err));
  } catch (const CLI::ParseError& e) {
    say(err, line.command(), e.what() + line.help_hint());
  } catch (const std::invalid_argument& e) {  // a value the library refused, under its option
    say(err, line.command(), labelled(e));
  } catch (const std::exception& e) {  // a library failure (no convergence, no memory): one line, never an abort
    say(err, line.command(), e.what());
    return exit_code(Outcome::HardFailure, static_cast<bool>(err));
  }
  return exit_code(Outcome::Refused, static_cast<bool>(err));
}

}  // namespace triex::cli

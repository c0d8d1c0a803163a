// triex ured, table and help, and what every command shares: the options,
// the refusals, the output file and the thread count.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <nlohmann/json.hpp>

#include "support/refusal.hpp"
#include "tests/cli/command_harness.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

using testing_support::lines;
using testing_support::run;

TEST(UredCommand, WritesOneRowOfTheShapeAndTheExactValue) {
  const auto o = run({"ured", "300", "200", "100"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.err, "");
  EXPECT_EQ(o.out, "a_angstrom,b_angstrom,c_angstrom,ured_exact\n300,200,100," + shortest(ured(300, 200, 100)) + "\n");
  const auto r = run({"ured", "--ratios", "1.5", "2"});
  EXPECT_EQ(r.out, "a_over_b,b_over_c,ured_exact\n1.5,2," + shortest(ured_ratios(1.5, 2)) + "\n");
}

TEST(UredCommand, QuadratureColumnsAreTheDialoguesQuadratureToTheBit) {
  const QuadratureResult q = quadrature_ratios(1.5, 2);
  const double exact = ured_ratios(1.5, 2);
  const auto o = run({"ured", "--ratios", "1.5", "2", "--method", "both"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out,
            "a_over_b,b_over_c,ured_exact,ured_quadrature,npts_surface,npts_curvature,ifail_surface,"
            "ifail_curvature,relative_difference\n1.5,2," +
                shortest(exact) + "," + shortest(q.ured) + "," + std::to_string(q.npts_surface) + "," +
                std::to_string(q.npts_curvature) + ",0,0," + shortest((q.ured - exact) / exact) + "\n");
  const auto only = run({"ured", "1", "2", "3", "--method", "quadrature"});
  EXPECT_EQ(only.status, 0) << only.err;  // checked against the closed form of these semi-axes
  EXPECT_EQ(lines(only.out).at(0), "a_angstrom,b_angstrom,c_angstrom,ured_quadrature,npts_surface,npts_curvature,"
                                   "ifail_surface,ifail_curvature");
}

// A failure code with a value close to the closed form (51, 5: 7e-8) is a
// note; a value plainly wrong by the dialogue's rule (77, 51: 6e-4) is status 1.
TEST(Commands, OnlyAPlainlyWrongQuadratureValueEndsWithStatus1) {
  const std::string codes =
      "note: ifail_surface or ifail_curvature is not 0 for %s (a rule stopped short of its requested accuracy); such "
      "a value counts as wrong only when it is not finite, or further than 0.0001 relative from the closed form\n";
  const std::string wrong =
      "the quadrature's ured is plainly wrong for %s (not finite, or further than 0.0001 relative from the closed form)\n";
  const auto with = [](std::string text, const std::string& what) { return text.replace(text.find("%s"), 2, what); };
  const auto close = run({"ured", "--ratios", "51", "5", "--method", "quadrature"});
  EXPECT_EQ(close.status, 0);
  EXPECT_EQ(close.err, "triex ured: " + with(codes, "1 of 1 shape"));
  const auto off = run({"ured", "--ratios", "77", "51", "--method", "both"});
  EXPECT_EQ(off.status, 1);
  EXPECT_EQ(off.err, "triex ured: " + with(codes, "1 of 1 shape") + "triex ured: " + with(wrong, "1 of 1 shape"));
  const auto grid = run({"table", "--ab", "51:77:2", "--bc", "5:51:2", "--spacing", "linear", "--method", "quadrature"});
  EXPECT_EQ(grid.status, 1);
  EXPECT_EQ(lines(grid.err).at(1) + "\n", "triex table: " + with(wrong, "1 of 4 shapes"));
  const auto batch = run({"batch", "-", "--method", "both"}, "a_over_b,b_over_c,vs_ml_per_g,molar_mass_g_per_mol\n"
                                                             "51,5,0.74,14000\n77,51,0.74,14000\n");
  EXPECT_EQ(batch.status, 1);
  EXPECT_EQ(lines(batch.out).size(), 3u);
  EXPECT_EQ(batch.err, "<stdin>:3: ured_quadrature = " + shortest(quadrature_ratios(77, 51).ured) +
                           " is plainly wrong (not finite, or further than 0.0001 relative from the closed form)\n" +
                           "triex batch: " + with(codes, "2 of 2 shapes") + "triex batch: " + with(wrong, "1 of 2 shapes"));
}

TEST(UredCommand, JsonHasTheSameKeys) {
  const auto o = run({"ured", "3", "2", "1", "--format", "json"});
  ASSERT_EQ(o.status, 0);
  const auto parsed = nlohmann::json::parse(o.out);
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0]["a_angstrom"], 3.0);
  EXPECT_EQ(parsed[0]["ured_exact"].get<double>(), ured(3, 2, 1));
}

// Every refusal is one line on standard error, status 2, nothing on standard output.
TEST(Commands, RefuseBadValuesUnknownOptionsAndMissingValuesWithOneLine) {
  const struct {
    std::vector<std::string_view> args;
    std::string err;
  } cases[] = {
      {{"ured", "0", "1", "1"}, "triex ured: semi-axis A: a = 0 must be a positive number\n"},
      {{"ured", "1", "-2", "1"}, "triex ured: semi-axis B: b = -2 must be a positive number\n"},
      {{"ured", "1", "x", "1"}, "triex ured: semi-axis B: \"x\" is not a number\n"},
      {{"table", "--ab", "1:2:2", "--bc", "1:1:1", "-o", ""},
       "triex table: --output: the file name is empty (try triex table --help)\n"},
      {{"ured", "1", "1e400", "1"}, "triex ured: semi-axis B: \"1e400\" is beyond the range of a double\n"},
      {{"ured", "--ratios", "1e200", "1e200"}, "triex ured: --ratios AB: a = (a/b)(b/c) = inf must be a positive number\n"},
      {{"ured", "1", "2"}, "triex ured: give three semi-axes A B C\n"},
      {{"ured"}, "triex ured: give the semi-axes A B C, or --ratios AB BC\n"},
      {{"ured", "1", "2", "3", "--ratios", "1", "2"}, "triex ured: give the semi-axes A B C or --ratios AB BC, not both\n"},
      {{"ured", "1", "2", "3", "--frobnicate"},
       "triex ured: The following argument was not expected: --frobnicate (try triex ured --help)\n"},
      {{"ured", "1", "2", "3", "--method", "simpson"}, ""},
      {{"ured", "1", "2", "3", "--threads", "0"}, ""},
      {{"ured", "1", "2", "3", "--threads"}, ""},
      {{"table", "--ab", "1:2:3"}, "triex table: --bc is required (try triex table --help)\n"},
      {{"table", "--ab", "1:2", "--bc", "1:2:2"}, "triex table: --ab 1:2: expected LO:HI:N\n"},
      {{"table", "--ab", "1e200:1e200:1", "--bc", "1e200:1e200:1"},
       "triex table: a = (a/b)(b/c) = inf must be a positive number at a corner of the grid\n"},
      {{"help", "frobnicate"}, "triex help: no command \"frobnicate\" (try triex --help)\n"},
      {{"ured", "1", "2", "3", "--format", "xml\x1b[2J"}, ""},
      {{"shape", "1", "2"}, "triex shape: give three semi-axes A B C\n"},
      {{"shape", "1", "1", "1", "--vs", "1"}, "triex shape: the solution's options need --molar-mass M\n"},
      {{"shape", "1", "1", "1", "--viscosity", "0.89"}, "triex shape: the solution's options need --molar-mass M\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4"},
       "triex shape: --molar-mass needs --vs, or all of --hydration, --solvent-density and --vbar\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--hydration", "0.3", "--solvent-density", "1"},
       "triex shape: --molar-mass needs --vs, or all of --hydration, --solvent-density and --vbar\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--vs", "1", "--hydration", "0.3"},
       "triex shape: give --vs or --hydration, not both\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "x", "--vs", "1"}, "triex shape: --molar-mass: \"x\" is not a number\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e200", "--vs", "1"},
       "triex shape: --molar-mass: M = 1e+200 is too large: 2*M*M overflows a double\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--vs", "-1"}, "triex shape: --vs: vs = -1 must be a positive number\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--hydration", "nan", "--solvent-density", "1", "--vbar", "0.7"},
       "triex shape: --hydration: delta = nan must be a finite number\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--vs", "1", "--vbar", "0.7", "--solvent-density", "0"},
       "triex shape: --solvent-density: rho = 0 must be a positive number\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--vs", "1", "--vbar", "0"},
       "triex shape: --vbar: vbar = 0 must be a positive number\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--vs", "1", "--viscosity", "0"},
       "triex shape: --viscosity: eta = 0 must be a positive number\n"},
      {{"shape", "1", "1", "1", "--molar-mass", "1e4", "--vs", "1", "--temperature", "-1"},
       "triex shape: --temperature: T = -1 must be a positive number\n"},
      {{"shape", "1", "1", "1", "--method", "exact"}, ""},  // no quadrature behind shape
  };
  for (const auto& c : cases) {
    const auto o = run(c.args);
    EXPECT_EQ(o.status, 2) << c.args[1];
    EXPECT_EQ(o.out, "");
    ASSERT_EQ(lines(o.err).size(), 1u) << o.err;
    EXPECT_EQ(o.err.find('\x1b'), std::string::npos) << "a control character reached the terminal";
    if (!c.err.empty()) {
      EXPECT_EQ(o.err, c.err);
    }
  }
}

// Words that cannot reach standard error turn any ending into a failed write:
// a refused argument, a refused row, even a normal end.
TEST(Commands, AStandardErrorThatCannotBeWrittenEndsWithStatus3) {
  for (const std::vector<std::string_view>& args :
       {std::vector<std::string_view>{"ured", "0", "1", "1"}, {"help", "frobnicate"}, {"batch", "-"}, {"ured", "1", "1", "1"}}) {
    std::istringstream in("a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol\n0,1,1,1,1\n");
    StringSink out;
    std::ostringstream err;
    err.setstate(std::ios::badbit);
    Streams streams{in, out, err, false};
    EXPECT_EQ(run_command(args, streams), 3) << args[0];
  }
}

TEST(Commands, HelpOfEachCommandPrintsItsUsageByEitherSpelling) {
  for (const std::string_view command : {"ured", "shape", "table", "batch", "solve", "fit", "structure"}) {
    const auto by_help = run({"help", command});
    const auto by_option = run({command, "--help"});
    EXPECT_EQ(by_help.status, 0);
    EXPECT_EQ(by_option.status, 0);
    EXPECT_EQ(by_help.out, by_option.out);
    EXPECT_NE(by_help.out.find("Usage: triex " + std::string(command)), std::string::npos) << by_help.out;
    EXPECT_NE(by_help.out.find("Example"), std::string::npos) << command;
    EXPECT_NE(by_help.out.find("Exit status"), std::string::npos) << command;
  }
  EXPECT_NE(run({"help", "solve"}).out.find("beyond the solver's range"), std::string::npos);
  EXPECT_NE(run({"help"}).out.find("solve"), std::string::npos);
  const std::string shape = run({"help", "shape"}).out;
  EXPECT_NE(shape.find("default 1.002, water at 20 C"), std::string::npos) << shape;
  EXPECT_NE(shape.find("default 293.15"), std::string::npos) << shape;
  // The statuses each command can end with, in lines of at most 80 characters.
  EXPECT_TRUE(shape.ends_with("\n\nExit status: 0 done; 2 a value was refused; 3 the output could not be written.\n"
                              "Reasons go to standard error.\n\n"))
      << shape;
  const std::string fit = run({"help", "fit"}).out;
  EXPECT_NE(fit.find("; 2 a value was refused, or the data cannot fix the shape (too\nfew,"), std::string::npos) << fit;
}

TEST(TableCommand, RowsRunOverTheGridWithAOverBOutsideAndTheEndsAsTyped) {
  const auto o = run({"table", "--ab", "1:100:3", "--bc", "0.5:2:2"});
  ASSERT_EQ(o.status, 0) << o.err;
  const auto rows = lines(o.out);
  ASSERT_EQ(rows.size(), 7u);
  EXPECT_EQ(rows[0], "a_over_b,b_over_c,ured_exact");
  const double ab[] = {1, 10, 100}, bc[] = {0.5, 2};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 2; ++j) {
      const std::string row = rows[static_cast<std::size_t>(1 + 2 * i + j)];
      const double a = std::stod(row), b = std::stod(row.substr(row.find(',') + 1));
      EXPECT_NEAR(a, ab[i], 1e-13 * ab[i]);
      EXPECT_EQ(b, bc[j]);
      EXPECT_EQ(row, shortest(a) + "," + shortest(b) + "," + shortest(ured_ratios(a, b)));
    }
  EXPECT_EQ(rows[1].substr(0, 6), "1,0.5,");
  EXPECT_EQ(rows[6].substr(0, 6), "100,2,");
  const auto linear = run({"table", "--ab", "1:3:3", "--bc", "1:1:1", "--spacing", "linear"});
  EXPECT_EQ(lines(linear.out).at(2).substr(0, 4), "2,1,");
}

TEST(TableCommand, OutputIsIdenticalForOneAndTwoThreads) {
  for (const std::string_view method : {"exact", "both"}) {
    const auto one = run({"table", "--ab", "1:30:7", "--bc", "1:20:5", "--method", method, "--threads", "1"});
    const auto two = run({"table", "--ab", "1:30:7", "--bc", "1:20:5", "--method", method, "--threads", "2"});
    const auto three = run({"table", "--ab", "1:30:7", "--bc", "1:20:5", "--method", method, "--threads", "3"});
    // 30 x 20 is beyond what some of the quadrature's rules resolve: those
    // rows carry their failure codes, their values are still close to the
    // closed form, and a note says so.
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(lines(one.err).size(), method == "exact" ? 0u : 1u) << one.err;
    EXPECT_EQ(two.status, one.status);
    EXPECT_EQ(two.err, one.err);
    EXPECT_EQ(lines(one.out).size(), 36u);
    EXPECT_EQ(one.out, two.out) << method;
    EXPECT_EQ(one.out, three.out) << method;
  }
}

TEST(TableCommand, QuadratureRowsAreTheLibrarysQuadratureForTheRatios) {
  const auto o = run({"table", "--ab", "1:4:2", "--bc", "3:3:1", "--method", "quadrature", "--format", "json"});
  ASSERT_EQ(o.status, 0) << o.err;
  const auto rows = nlohmann::json::parse(o.out);
  ASSERT_EQ(rows.size(), 2u);
  for (const auto& row : rows) {
    const QuadratureResult q = quadrature_ratios(row["a_over_b"], row["b_over_c"]);
    EXPECT_EQ(row["ured_quadrature"].get<double>(), q.ured);
    EXPECT_EQ(row["npts_surface"], q.npts_surface);
    EXPECT_EQ(row["ifail_curvature"], q.ifail_curvature);
  }
}

// ---- triex shape ----

// The row of a command as numbers by column name, each cell read back as a double.
std::map<std::string, std::string> csv_row(const std::string& out) {
  const auto rows = lines(out);
  EXPECT_EQ(rows.size(), 2u) << out;
  std::map<std::string, std::string> cells;
  if (rows.size() != 2) return cells;
  std::istringstream names(rows[0]), values(rows[1]);
  for (std::string name, value; std::getline(names, name, ',');) {
    std::getline(values, value, ',');
    cells[name] = value;
  }
  return cells;
}

TEST(ShapeCommand, WritesEveryFactorOfTheLibraryToTheBitAfterTheShapeAsTyped) {
  const ShapeFactors f = shape_factors(30, 20, 10);
  const auto o = run({"shape", "30", "20", "10"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.err, "");
  const auto rows = lines(o.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0],
            "a_angstrom,b_angstrom,c_angstrom,stokes_radius,perrin_ratio,radius_of_gyration,gyration_ratio,"
            "rotational_friction_1,rotational_friction_2,rotational_friction_3,relaxation_time_1,relaxation_time_2,"
            "relaxation_time_3,relaxation_time_4,relaxation_time_5,harmonic_relaxation_time,viscosity_increment,ured");
  const auto& r = f.rotation;
  std::string expected = "30,20,10";
  for (const double x : {f.translation.stokes_radius, f.translation.perrin_ratio, f.gyration.radius_of_gyration,
                         f.gyration.gyration_ratio, r.rotational_friction[0], r.rotational_friction[1],
                         r.rotational_friction[2], r.relaxation_times[0], r.relaxation_times[1], r.relaxation_times[2],
                         r.relaxation_times[3], r.relaxation_times[4], r.harmonic_relaxation_time,
                         f.viscosity_increment, f.ured}) {
    expected.append(",").append(shortest(x));
    EXPECT_EQ(std::stod(shortest(x)), x) << "does not read back";
  }
  EXPECT_EQ(rows[1], expected);

  // Ratios: the ellipsoid (a/b)(b/c), b/c, 1, its radii in units of c; JSON has the same keys and doubles.
  const ShapeFactors g = shape_factors_ratios(1.5, 2);
  const auto json = run({"shape", "--ratios", "1.5", "2", "--format", "json"});
  ASSERT_EQ(json.status, 0) << json.err;
  const auto parsed = nlohmann::json::parse(json.out);
  ASSERT_EQ(parsed.size(), 1u);
  EXPECT_EQ(parsed[0].size(), 17u);
  EXPECT_EQ(parsed[0]["a_over_b"], 1.5);
  EXPECT_EQ(parsed[0]["stokes_radius"].get<double>(), g.translation.stokes_radius);
  EXPECT_EQ(parsed[0]["rotational_friction_3"].get<double>(), g.rotation.rotational_friction[2]);
  EXPECT_EQ(parsed[0]["relaxation_time_5"].get<double>(), g.rotation.relaxation_times[4]);
  EXPECT_EQ(parsed[0]["viscosity_increment"].get<double>(), g.viscosity_increment);
  EXPECT_EQ(parsed[0]["ured"].get<double>(), ured_ratios(1.5, 2));
}

// The predicted measurements are the library's for the inputs the options
// give; s needs vbar and rho, f/f0 needs vbar, and without them their cells are empty.
TEST(ShapeCommand, PredictionsAreTheLibrarysForTheSolutionOfTheOptions) {
  const auto inputs = [](double M, double vs, std::optional<double> vbar, std::optional<double> rho, double eta,
                         double T) {
    PredictionInputs in{};
    in.molar_mass = M;
    in.vs = vs;
    in.vbar = vbar;
    in.solvent.density = rho;
    in.solvent.viscosity = eta;
    in.solvent.temperature = T;
    return in;
  };
  const struct {
    std::vector<std::string_view> args;
    PredictionInputs in;
  } cases[] = {
      {{"--molar-mass", "14300", "--hydration", "0.35", "--solvent-density", "0.9982", "--vbar", "0.703"},
       inputs(14300, swollen_specific_volume(0.703, 0.35, 0.9982), 0.703, 0.9982, 1.002, 293.15)},
      {{"--molar-mass", "66000", "--vs", "0.98", "--viscosity", "0.89", "--temperature", "298.15"},
       inputs(66000, 0.98, std::nullopt, std::nullopt, 0.89, 298.15)},
      {{"--molar-mass", "66000", "--vs", "0.98", "--vbar", "0.73"}, inputs(66000, 0.98, 0.73, std::nullopt, 1.002, 293.15)},
  };
  const ShapeFactors f = shape_factors_ratios(1.5, 1);
  for (const auto& c : cases) {
    std::vector<std::string_view> args = {"shape", "--ratios", "1.5", "1"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const auto o = run(args);
    ASSERT_EQ(o.status, 0) << o.err;
    const Predictions p = predict(f, c.in);
    auto cells = csv_row(o.out);
    const auto cell = [](const std::optional<double>& x) { return x ? shortest(*x) : std::string(); };
    EXPECT_EQ(cells["s_svedberg"], cell(p.s_svedberg)) << c.args[1];
    EXPECT_EQ(cells["D_cm2_per_s"], shortest(p.D_cm2_per_s));
    EXPECT_EQ(cells["stokes_radius_angstrom"], shortest(p.stokes_radius_angstrom));
    EXPECT_EQ(cells["f_over_f0"], cell(p.f_over_f0)) << c.args[1];
    EXPECT_EQ(cells["rg_angstrom"], shortest(p.rg_angstrom));
    EXPECT_EQ(cells["tau_h_ns"], shortest(p.tau_h_ns));
    EXPECT_EQ(cells["intrinsic_viscosity_ml_per_g"], shortest(p.intrinsic_viscosity_ml_per_g));
    EXPECT_EQ(cells["Bex_ml_mol_per_g2"], shortest(p.Bex_ml_mol_per_g2));
    EXPECT_EQ(cells.size(), 17u + 8u);
  }
}

// ---- -o FILE and write failures ----

std::filesystem::path scratch(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / ("triex_commands_test_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  return dir / name;
}

std::string contents(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST(OutputFile, RowsGoToTheFileAndNothingToStandardOutput) {
  const auto path = scratch("table.csv").string();
  const auto o = run({"table", "--ab", "1:2:2", "--bc", "1:1:1", "-o", path});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(contents(path), run({"table", "--ab", "1:2:2", "--bc", "1:1:1"}).out);
  std::filesystem::remove_all(std::filesystem::path(path).parent_path());
}

TEST(OutputFile, AFolderThatDoesNotExistIsAWriteFailureWithNothingLeft) {
  const auto path = scratch("missing") / "table.csv";
  for (const std::vector<std::string_view>& args :
       {std::vector<std::string_view>{"ured", "1", "1", "1"}, {"table", "--ab", "1:2:2", "--bc", "1:1:1"},
        {"solve", "--ured", "9"}, {"batch", "-"}, {"shape", "1", "1", "1"}}) {
    std::vector<std::string_view> with_output = args;
    const std::string p = path.string();
    with_output.insert(with_output.end(), {"-o", p});
    const auto o = run(with_output, "a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,molar_mass_g_per_mol\n1,1,1,1,1\n");
    EXPECT_EQ(o.status, 3) << args[0];
    EXPECT_EQ(o.err, "triex " + std::string(args[0]) + ": cannot write " + p + ": No such file or directory\n");
    EXPECT_FALSE(std::filesystem::exists(path.parent_path()));
  }
  std::filesystem::remove_all(path.parent_path().parent_path());
}

TEST(OutputFile, AFullDiskEndsWithStatus3NeverSuccess) {
  for (const std::vector<std::string_view>& args :
       {std::vector<std::string_view>{"ured", "1", "1", "1", "-o", "/dev/full"},
        {"table", "--ab", "1:100:300", "--bc", "1:100:300", "-o", "/dev/full"},
        {"solve", "--ured", "9", "-o", "/dev/full"},
        {"shape", "1", "1", "1", "--molar-mass", "1e4", "--vs", "1", "-o", "/dev/full"}}) {
    const auto o = run(args);
    EXPECT_EQ(o.status, 3) << args[0];
    EXPECT_EQ(o.err, "triex " + std::string(args[0]) + ": cannot write /dev/full: No space left on device\n");
  }
}

}  // namespace
}  // namespace triex::cli

#include <gtest/gtest.h>

#include <string>

#include "../structure/structure_files.hpp"
#include "command_harness.hpp"
#include "structure/structure_report.hpp"
#include "support/refusal.hpp"

namespace triex::cli {
namespace {

using testing_support::lines;
using testing_support::run;
using triex::testing_support::filled_ellipsoid;
using triex::testing_support::mmcif_text;
using triex::testing_support::TemporaryFile;

constexpr std::array<std::array<double, 3>, 3> kIdentity = {{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}};

std::string header_of(const StructureInputs& inputs) {
  std::string header = "file,atoms";
  for (const std::string& column : structure_columns(inputs)) header += "," + column;
  return header;
}

// One row a file in the order given, a refused file named with its reason on
// standard error and the others still written, exit status 2; the same bytes
// for any number of threads.
TEST(StructureCommand, RowsPerFileInOrderAndRefusalsNamedForAnyNumberOfThreads) {
  const TemporaryFile first(mmcif_text(filled_ellipsoid(300, {20, 15, 10}, kIdentity, {0, 0, 0}, 1)));
  const TemporaryFile second(mmcif_text(filled_ellipsoid(400, {12, 12, 12}, kIdentity, {5, 5, 5}, 2)));
  const TemporaryFile bad("not a structure\n");
  const auto outcome = run({"structure", first.path(), bad.path(), second.path(), "--threads", "1"});
  EXPECT_EQ(outcome.status, 2);
  EXPECT_EQ(outcome.err, bad.path() + ": not a structure: no atoms (no ATOM or HETATM records, or no _atom_site table)\n");
  const auto rows = lines(outcome.out);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0], header_of({}));
  EXPECT_EQ(rows[1].substr(0, first.path().size() + 5), first.path() + ",300,");
  EXPECT_EQ(rows[2].substr(0, second.path().size() + 5), second.path() + ",400,");
  EXPECT_EQ(run({"structure", first.path(), bad.path(), second.path(), "--threads", "2"}).out, outcome.out);

  const auto alone = run({"structure", first.path()});
  EXPECT_EQ(alone.status, 0);
  EXPECT_EQ(alone.err, "");
}

// The predictions' columns come with a molar mass and vs, s with vbar and the
// solvent's density; the values are the library's for the model's ellipsoid.
TEST(StructureCommand, PredictionsNeedAMolarMassAndVs) {
  const TemporaryFile file(mmcif_text(filled_ellipsoid(300, {20, 15, 10}, kIdentity, {0, 0, 0})));
  const auto outcome = run({"structure", file.path(), "--molar-mass", "14000", "--hydration", "0.3", "--vbar",
                            "0.73", "--solvent-density", "1", "--format", "json"});
  ASSERT_EQ(outcome.status, 0) << outcome.err;
  StructureInputs inputs{14000.0, 0.73 + 0.3 / 1.0, 0.73, {}};
  inputs.solvent.density = 1.0;
  const StructureModel model = read_structure_model(file.path(), {});
  const std::vector<std::string> columns = structure_columns(inputs);
  const std::vector<double> values = structure_values(model, inputs);
  for (const char* name : {"a_hydrated_angstrom", "s_svedberg", "f_over_f0", "Bex_ml_mol_per_g2"}) {
    const auto at = std::find(columns.begin(), columns.end(), name) - columns.begin();
    ASSERT_LT(static_cast<std::size_t>(at), columns.size()) << name;
    std::string cell = "\"";
    cell.append(name).append("\":").append(shortest(values[static_cast<std::size_t>(at)]));
    EXPECT_NE(outcome.out.find(cell), std::string::npos)
        << name << "\n"
        << outcome.out;
  }

  // The hydrated ellipsoid: the same axial ratios, at the hydrated volume.
  const auto value = [&](const char* name) {
    return values[static_cast<std::size_t>(std::find(columns.begin(), columns.end(), name) - columns.begin())];
  };
  const double a = value("a_hydrated_angstrom"), b = value("b_hydrated_angstrom"), c = value("c_hydrated_angstrom");
  EXPECT_NEAR(4.1887902047863905 * a * b * c, value("hydrated_volume_angstrom3"), 1e-12 * value("hydrated_volume_angstrom3"));
  EXPECT_NEAR(a / b, value("a_over_b"), 1e-13);
  EXPECT_NEAR(b / c, value("b_over_c"), 1e-13);

  struct Refused {
    std::vector<std::string_view> options;
    const char* message;
  };
  const Refused refused[] = {
      {{"--molar-mass", "14000"}, "triex structure: a molar mass needs vs (or the hydration) for the predictions\n"},
      {{"--vs", "0.98"}, "triex structure: vs needs a molar mass for the predictions\n"},
      {{"--molar-mass", "14000", "--hydration", "0.3"}, "triex structure: --hydration needs --solvent-density and --vbar\n"},
      {{"--molar-mass", "-1", "--vs", "0.98"}, "triex structure: --molar-mass: M = -1 must be a positive number\n"},
      {{"--molar-mass", "14000", "--vs", "x"}, "triex structure: --vs: \"x\" is not a number\n"},
  };
  for (const Refused& r : refused) {
    std::vector<std::string_view> args = {"structure", file.path()};
    args.insert(args.end(), r.options.begin(), r.options.end());
    const auto o = run(args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.err, r.message);
    EXPECT_EQ(o.out, "");
  }
}

}  // namespace
}  // namespace triex::cli

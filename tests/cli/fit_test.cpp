// triex fit: one row per solution in the columns of the help, the verdicts
// on the data on standard error, and the exit status of each outcome.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "inverse/measurement_model.hpp"
#include "support/refusal.hpp"
#include "tests/cli/command_harness.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

using testing_support::lines;

// A 10:4:1 ellipsoid of 14300 g/mol, vbar 0.703 ml/g, hydration 0.35 g/g in water at 20 C.
std::string exact(Measurement kind) {
  FitInputs in{};
  in.molar_mass = 14300;
  in.vbar = 0.703;
  in.hydration = 0.35;
  const MeasurementModel model(in);
  return shortest(model.predicted(kind, shape_at(std::log(2.5), std::log(4.0)), model.known_w()));
}

// triex fit for the molecule, with more arguments.
std::vector<std::string> command(std::vector<std::string> data) {
  std::vector<std::string> args = {"fit", "--molar-mass", "14300", "--vbar", "0.703"};
  args.insert(args.end(), data.begin(), data.end());
  return args;
}
testing_support::CommandOutcome run(const std::vector<std::string>& args) {
  return testing_support::run(std::vector<std::string_view>(args.begin(), args.end()));
}

constexpr std::string_view kHeader =
    "a_over_b,b_over_c,a_angstrom,b_angstrom,c_angstrom,vs_ml_per_g,hydration_g_per_g,chi2,a_over_b_lo68,"
    "a_over_b_hi68,b_over_c_lo68,b_over_c_hi68,a_over_b_lo95,a_over_b_hi95,b_over_c_lo95,b_over_c_hi95,"
    "amplification,plausible";

TEST(Fit, AWellConditionedPairGivesOneRowAndNothingOnStandardError) {
  const std::string eta = exact(Measurement::IntrinsicViscosity), tau = exact(Measurement::RelaxationTime);
  const auto outcome = run(command({"--hydration", "0.35", "--intrinsic-viscosity", eta, "--relaxation-time", tau}));
  EXPECT_EQ(outcome.status, 0);
  EXPECT_EQ(outcome.err, "");
  const auto rows = lines(outcome.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0], kHeader);
  double ab, bc;
  ASSERT_EQ(std::sscanf(rows[1].c_str(), "%lf,%lf", &ab, &bc), 2);
  EXPECT_NEAR(ab, 2.5, 2.5e-6);
  EXPECT_NEAR(bc, 4.0, 4e-6);
  EXPECT_EQ(rows[1].substr(rows[1].size() - 2), ",1");  // plausible

  // The same 2 % error written three ways: the same rows.
  const std::string absolute = eta + ":" + shortest(0.02 * std::stod(eta));
  for (const std::string& written : {eta + ":2%", absolute})
    EXPECT_EQ(run(command({"--hydration", "0.35", "--intrinsic-viscosity", written, "--relaxation-time", tau})).out,
              outcome.out)
        << written;
}

TEST(Fit, AnIllConditionedPairSaysWhichPairAndWhichDatumWouldHelp) {
  const auto outcome = run(command({"--hydration", "0.35", "--virial", exact(Measurement::Virial), "--sedimentation",
                                    exact(Measurement::Sedimentation) + ":1%", "--format", "json"}));
  EXPECT_EQ(outcome.status, 0);
  ASSERT_EQ(lines(outcome.err).size(), 1u) << outcome.err;
  EXPECT_NE(outcome.err.find("triex fit: note: ill-conditioned"), std::string::npos);
  EXPECT_NE(outcome.err.find("--virial and --sedimentation cross at"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("--relaxation-time would help most"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.out.find("\"residual_virial\":"), std::string::npos) << outcome.out;
  EXPECT_NE(outcome.out.find("\"residual_sedimentation\":"), std::string::npos);
}

TEST(Fit, InconsistentDataWriteTheClosestShapeAndEndWithStatus1) {
  const std::string rg = shortest(1.3 * std::stod(exact(Measurement::RadiusOfGyration)));
  const auto outcome =
      run(command({"--hydration", "0.35", "--intrinsic-viscosity", exact(Measurement::IntrinsicViscosity),
                   "--relaxation-time", exact(Measurement::RelaxationTime), "--radius-of-gyration", rg}));
  EXPECT_EQ(outcome.status, 1);
  EXPECT_GE(lines(outcome.out).size(), 2u);
  EXPECT_NE(outcome.err.find("triex fit: inconsistent data: chi2 = "), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("the 99.9 % point of 1 degree of freedom"), std::string::npos) << outcome.err;
  EXPECT_NE(outcome.err.find("--radius-of-gyration "), std::string::npos);
}

TEST(Fit, WhatCannotBeFittedIsRefusedWithOneLineAndStatus2) {
  const std::string B = exact(Measurement::Virial), s = exact(Measurement::Sedimentation);
  struct Case {
    std::vector<std::string> args;
    std::string words;
  };
  const std::string small_rs = shortest(0.5 * std::stod(exact(Measurement::StokesRadius)));
  const std::vector<Case> cases = {
      {command({"--virial", B, "--sedimentation", s}), "2 independent data cannot fix 3 unknowns"},
      {command({"--hydration", "0.35", "--virial", B}), "1 independent data cannot fix 2 unknowns"},
      {command({"--hydration", "0.35", "--vs", "1", "--virial", B, "--sedimentation", s}), "not both"},
      {command({"--hydration", "0.35", "--virial", B + ":x%", "--sedimentation", s}), "--virial (its error in %)"},
      {command({"--hydration", "0.35", "--virial", B + ":-1", "--sedimentation", s}), "must be a positive number"},
      {command({"--hydration", "0.35", "--stokes-radius", small_rs, "--virial", B}),
       "--stokes-radius: R_S = " + small_rs + " is below what any ellipsoid"},
      {{"fit", "--vbar", "0.7", "--virial", B}, "give --molar-mass M"},
      {command({"--hydration", "0.35"}), "give the measurements to fit"},
  };
  for (const Case& c : cases) {
    const auto outcome = run(c.args);
    EXPECT_EQ(outcome.status, 2) << c.words;
    EXPECT_EQ(outcome.out, "") << c.words;
    ASSERT_EQ(lines(outcome.err).size(), 1u) << outcome.err;
    EXPECT_EQ(outcome.err.rfind("triex fit: ", 0), 0u) << outcome.err;
    EXPECT_NE(outcome.err.find(c.words), std::string::npos) << outcome.err;
  }
}

}  // namespace
}  // namespace triex::cli

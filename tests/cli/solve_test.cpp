// triex solve: the shapes of a given reduced excluded volume, from the
// prolate spheroid to the oblate one.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "support/refusal.hpp"
#include "tests/cli/command_harness.hpp"
#include "triex/triex.hpp"

namespace triex::cli {
namespace {

using testing_support::lines;
using testing_support::run;

constexpr double kAgreement = 1e-12;  // every row's u_red against the target
constexpr double kSpheroidAgreement = 1e-13;  // the spheroid formulas against the library, a few ulps each

struct Row {
  double a_over_b, b_over_c, ured_exact;
};

std::vector<Row> rows(const std::string& csv) {
  std::vector<Row> result;
  const auto all = lines(csv);
  EXPECT_EQ(all.at(0), "a_over_b,b_over_c,ured_exact");
  for (std::size_t i = 1; i < all.size(); ++i) {
    Row r;
    EXPECT_EQ(std::sscanf(all[i].c_str(), "%lf,%lf,%lf", &r.a_over_b, &r.b_over_c, &r.ured_exact), 3) << all[i];
    result.push_back(r);
  }
  return result;
}

// u_red of spheroids from their textbook shape functions (eccentricity e):
// prolate, a = p b = p c:  S = 2 pi b^2 (1 + p arcsin(e)/e),  R = (a/2)(1 + (1-e^2)/(2e) ln((1+e)/(1-e)));
// oblate,  a = b = p c:   S = 2 pi a^2 (1 + (1-e^2)/(2e) ln((1+e)/(1-e))),  R = (a arcsin(e)/e + c)/2.
double prolate_ured(double p) {
  const double e = std::sqrt(1 - 1 / (p * p)), a = p, b = 1, pi = std::numbers::pi;
  const double S = 2 * pi * b * b * (1 + a * std::asin(e) / (b * e));
  const double R = a / 2 * (1 + (1 - e * e) / (2 * e) * std::log((1 + e) / (1 - e)));
  return 2 + 2 * R * S / (4 * pi / 3 * a * b * b);
}
double oblate_ured(double p) {
  const double e = std::sqrt(1 - 1 / (p * p)), a = 1, c = 1 / p, pi = std::numbers::pi;
  const double S = 2 * pi * a * a * (1 + (1 - e * e) / (2 * e) * std::log((1 + e) / (1 - e)));
  const double R = (a * std::asin(e) / e + c) / 2;
  return 2 + 2 * R * S / (4 * pi / 3 * a * a * c);
}

TEST(Solve, FirstRowIsTheProlateAndLastTheOblateSpheroidOfTheTarget) {
  for (const double X : {8.001, 9.0, 10.0, 25.0, 300.0}) {
    const auto r = rows(run({"solve", "--ured", shortest(X)}).out);
    ASSERT_EQ(r.size(), 50u);
    EXPECT_EQ(r.front().b_over_c, 1.0);
    EXPECT_EQ(r.back().a_over_b, 1.0);
    EXPECT_NEAR(prolate_ured(r.front().a_over_b), X, kSpheroidAgreement * X) << X;
    EXPECT_NEAR(oblate_ured(r.back().b_over_c), X, kSpheroidAgreement * X) << X;
  }
}

TEST(Solve, EveryRowGivesBackTheTargetAndTheCurveIsMonotone) {
  for (const double X : {8.0000001, 8.5, 12.0, 1e3, 1e6, 1e10}) {
    const auto r = rows(run({"solve", "--ured", shortest(X), "--points", "40"}).out);
    ASSERT_EQ(r.size(), 40u);
    for (std::size_t i = 0; i < r.size(); ++i) {
      EXPECT_NEAR(ured_ratios(r[i].a_over_b, r[i].b_over_c), X, kAgreement * X) << X << " row " << i;
      EXPECT_EQ(r[i].ured_exact, ured_ratios(r[i].a_over_b, r[i].b_over_c));
      EXPECT_GE(r[i].a_over_b, 1.0);
      EXPECT_GE(r[i].b_over_c, 1.0);
      if (i > 0) {
        EXPECT_LT(r[i].a_over_b, r[i - 1].a_over_b) << X << " row " << i;
        EXPECT_GT(r[i].b_over_c, r[i - 1].b_over_c) << X << " row " << i;
      }
    }
  }
}

TEST(Solve, ExactlyEightIsTheSphereAlone) {
  const auto o = run({"solve", "--ured", "8"});
  EXPECT_EQ(o.status, 0);
  EXPECT_EQ(o.out, "a_over_b,b_over_c,ured_exact\n1,1,8\n");
}

TEST(Solve, ValuesNoEllipsoidHasOrBeyondTheSupportedRatiosAreRefused) {
  const auto below = run({"solve", "--ured", "7.999"});
  EXPECT_EQ(below.status, 2);
  EXPECT_EQ(below.out, "");
  EXPECT_EQ(below.err, "triex solve: --ured: ured = 7.999 is below 8, the sphere's: no ellipsoid has it\n");
  const auto beyond = run({"solve", "--ured", "1e13"});
  EXPECT_EQ(beyond.status, 2);
  EXPECT_NE(beyond.err.find("is beyond the supported range"), std::string::npos) << beyond.err;
  EXPECT_EQ(run({"solve", "--ured", "nan"}).status, 2);
  EXPECT_EQ(run({"solve", "--ured", "inf"}).status, 2);
  // The limit the help text prints is the one the solver applies, to the last digit.
  const double largest = largest_solvable_ured();
  EXPECT_NE(run({"help", "solve"}).out.find("X above " + shortest(largest) + "\n"), std::string::npos);
  EXPECT_EQ(run({"solve", "--ured", shortest(largest), "--points", "2"}).status, 0);
  EXPECT_EQ(run({"solve", "--ured", shortest(std::nextafter(largest, 1e300)), "--points", "2"}).status, 2);
  EXPECT_GT(largest, 2356194490194.0);
  EXPECT_LT(largest, 2356194490195.0);
}

TEST(Solve, AMeasuredVirialCoefficientGivesTheShapesOfItsReducedExcludedVolume) {
  const double vs = 0.74, M = 66000, X = 12.5;
  const Virial q = virial({X, vs, M, std::nullopt});
  const auto from_ured = run({"solve", "--ured", shortest(ured_from_virial(q.B, vs, M)), "--points", "7"});
  const auto from_virial = run({"solve", "--virial", shortest(q.B), "--molar-mass", "66000", "--vs", "0.74", "--points", "7"});
  EXPECT_EQ(from_virial.status, 0) << from_virial.err;
  EXPECT_EQ(from_virial.out, from_ured.out);
  for (const Row& r : rows(from_virial.out)) EXPECT_NEAR(r.ured_exact, X, 1e-12 * X);

  // With a charge, B(z) is taken off first; with hydration, vs is derived.
  const Virial charged = virial({X, swollen_specific_volume(0.73, 0.35, 1.0), M, Charge{-6, 0.15}});
  const auto o = run({"solve", "--virial", shortest(charged.B), "--molar-mass", "66000", "--hydration", "0.35",
                      "--solvent-density", "1.0", "--vbar", "0.73", "--valency", "-6", "--ionic-strength", "0.15"});
  EXPECT_EQ(o.status, 0) << o.err;
  for (const Row& r : rows(o.out)) EXPECT_NEAR(r.ured_exact, X, 1e-12 * X);
}

TEST(Solve, IncompleteOrConflictingDataAreRefused) {
  const struct {
    std::vector<std::string_view> args;
    const char* err;
  } cases[] = {
      {{"solve"}, "triex solve: give --ured X, or --virial B with --molar-mass and --vs (or hydration)\n"},
      {{"solve", "--ured", "9", "--vs", "1"},
       "triex solve: --ured takes no solution data: give --ured, or --virial with its data\n"},
      {{"solve", "--ured", "9", "--molar-mass", "1e4"},
       "triex solve: --ured takes no solution data: give --ured, or --virial with its data\n"},
      {{"solve", "--molar-mass", "1e4", "--vs", "1"},
       "triex solve: --molar-mass, --vs and the other solution data go with --virial\n"},
      {{"solve", "--virial", "1e-4", "--vs", "1"}, "triex solve: --virial needs --molar-mass\n"},
      {{"solve", "--virial", "1e-4", "--molar-mass", "1e4"},
       "triex solve: --virial needs --vs, or all of --hydration, --solvent-density and --vbar\n"},
      {{"solve", "--virial", "1e-4", "--molar-mass", "1e4", "--vs", "1", "--vbar", "0.7"},
       "triex solve: give --vs or --hydration, --solvent-density and --vbar, not both\n"},
      {{"solve", "--virial", "1e-4", "--molar-mass", "1e4", "--vs", "1", "--valency", "3"},
       "triex solve: --valency and --ionic-strength go together\n"},
      {{"solve", "--virial", "1e-4", "--molar-mass", "1e4", "--vs", "-1"}, "triex solve: --vs: vs = -1 must be a positive number\n"},
      {{"solve", "--virial", "1e-4", "--molar-mass", "1e4", "--vs", "1", "--valency", "3", "--ionic-strength", "0"},
       "triex solve: --ionic-strength: I = 0 must be a positive number\n"},
      {{"solve", "--virial", "1e-5", "--molar-mass", "1e4", "--vs", "1"},
       "triex solve: ured = 0.2 is below 8, the sphere's: no ellipsoid has it\n"},
      {{"solve", "--ured", "twelve"}, "triex solve: --ured: \"twelve\" is not a number\n"},
      {{"solve", "--ured", "9", "--points", "1"}, nullptr},
  };
  for (const auto& c : cases) {
    const auto o = run(c.args);
    EXPECT_EQ(o.status, 2);
    EXPECT_EQ(o.out, "");
    if (c.err) {
      EXPECT_EQ(o.err, c.err);
    }
    EXPECT_EQ(lines(o.err).size(), 1u) << o.err;
  }
}

}  // namespace
}  // namespace triex::cli

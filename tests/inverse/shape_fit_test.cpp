// The fit of the shape: data computed from a known ellipsoid come back to it,
// every solution is found, the regions hold what they claim, and what cannot
// be fitted is refused or flagged.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "inverse/measurement_model.hpp"
#include "inverse/shape_fit.hpp"
#include "solution/virial.hpp"
#include "triex/triex.hpp"

namespace triex {
namespace {

// The sheet's worked molecule: M = 14300 g/mol, vbar = 0.703 ml/g, water at 20 C.
FitInputs molecule() {
  FitInputs in{};
  in.molar_mass = 14300;
  in.vbar = 0.703;
  in.solvent.density = 0.9982;
  return in;
}

// Exact data of the shape a/b, b/c at hydration delta, each with a 2 % error.
std::vector<Datum> exact_data(const FitInputs& in, double a_over_b, double b_over_c, double delta,
                              std::vector<Measurement> kinds) {
  const MeasurementModel model([&] {
    FitInputs known = in;
    known.hydration = delta;
    return known;
  }());
  const ShapeFactors shape = shape_at(std::log(a_over_b), std::log(b_over_c));
  std::vector<Datum> data;
  for (const Measurement kind : kinds) {
    const double value = model.predicted(kind, shape, model.known_w());
    data.push_back({kind, value, 0.02 * value});
  }
  return data;
}

using M = Measurement;
const std::vector<std::vector<M>> kPairs = {
    {M::Virial, M::IntrinsicViscosity},       {M::Virial, M::StokesRadius},
    {M::Virial, M::RadiusOfGyration},         {M::Virial, M::RelaxationTime},
    {M::IntrinsicViscosity, M::Sedimentation}, {M::IntrinsicViscosity, M::RadiusOfGyration},
    {M::IntrinsicViscosity, M::RelaxationTime}, {M::Diffusion, M::RadiusOfGyration},
    {M::StokesRadius, M::RelaxationTime},     {M::RadiusOfGyration, M::RelaxationTime}};
const std::vector<std::vector<M>> kTriples = {
    {M::Virial, M::StokesRadius, M::IntrinsicViscosity},      {M::Virial, M::RadiusOfGyration, M::IntrinsicViscosity},
    {M::Virial, M::RadiusOfGyration, M::Sedimentation},       {M::IntrinsicViscosity, M::RadiusOfGyration, M::Diffusion},
    {M::Virial, M::RelaxationTime, M::IntrinsicViscosity},    {M::StokesRadius, M::RelaxationTime, M::IntrinsicViscosity},
    {M::Virial, M::RelaxationTime, M::Sedimentation},         {M::RadiusOfGyration, M::RelaxationTime, M::IntrinsicViscosity},
    {M::Virial, M::RelaxationTime, M::RadiusOfGyration},      {M::Diffusion, M::RelaxationTime, M::RadiusOfGyration}};

std::string names(const std::vector<M>& kinds) {
  std::string text;
  for (const M kind : kinds) text += std::string(text.empty() ? "" : " + ") + measurement_name(kind);
  return text;
}

// The solution closest to the true shape.
const FitSolution& nearest(const FitResult& r, double a_over_b, double b_over_c) {
  const FitSolution* best = &r.solutions.front();
  for (const FitSolution& s : r.solutions)
    if (std::hypot(std::log(s.a_over_b / a_over_b), std::log(s.b_over_c / b_over_c)) <
        std::hypot(std::log(best->a_over_b / a_over_b), std::log(best->b_over_c / b_over_c)))
      best = &s;
  return *best;
}

TEST(ShapeFit, EveryPairWithKnownHydrationFitsItsShapeBack) {
  for (const auto& [ab, bc] : {std::pair{2.5, 4.0}, std::pair{7.5, 1.5}}) {
    for (const auto& kinds : kPairs) {
      FitInputs in = molecule();
      in.hydration = 0.35;
      in.data = exact_data(in, ab, bc, 0.35, kinds);
      const FitResult r = fit(in);
      SCOPED_TRACE(names(kinds) + " at " + std::to_string(ab) + ", " + std::to_string(bc));
      const FitSolution& s = nearest(r, ab, bc);
      EXPECT_NEAR(s.a_over_b / ab, 1, 1e-6);
      EXPECT_NEAR(s.b_over_c / bc, 1, 1e-6);
      EXPECT_LT(s.chi2, 1e-12);
      EXPECT_TRUE(r.consistent);
      EXPECT_EQ(r.degrees_of_freedom, 0);
      // The true shape lies inside its own regions.
      EXPECT_LE(s.a_over_b_68.lo, ab);
      EXPECT_GE(s.a_over_b_68.hi, ab);
      EXPECT_LE(s.b_over_c_95.lo, bc);
      EXPECT_GE(s.b_over_c_95.hi, bc);
    }
  }
}

TEST(ShapeFit, EveryTripleFitsShapeAndHydrationBack) {
  for (const auto& kinds : kTriples) {
    FitInputs in = molecule();
    in.data = exact_data(in, 2.5, 4.0, 0.35, kinds);
    const FitResult r = fit(in);
    SCOPED_TRACE(names(kinds));
    ASSERT_TRUE(r.hydration_fitted);
    const FitSolution& s = nearest(r, 2.5, 4.0);
    EXPECT_NEAR(s.a_over_b / 2.5, 1, 1e-6);
    EXPECT_NEAR(s.b_over_c / 4.0, 1, 1e-6);
    EXPECT_NEAR(s.hydration, 0.35, 1e-6);
    EXPECT_TRUE(s.plausible);
  }
}


// A refinement that ends among the mirror images (a < b or b < c: the same
// ellipsoid with its axes named in another order) is folded back to the shape.
TEST(ShapeFit, AMinimumAmongTheMirrorImagesFoldsBackToTheShape) {
  FitInputs in = molecule();
  in.data = exact_data(in, 2.5, 4.0, 0.35, {M::Virial, M::RelaxationTime, M::IntrinsicViscosity});
  const MeasurementModel model(in);
  const double x = std::log(2.5), y = std::log(4.0), w = std::log(0.703 + 0.35 / 0.9982);
  // Started near (b, a, c) and (a, c, b): x' = -x, y' = x + y, and x' = x + y, y' = -y.
  for (const auto& [x0, y0] : {std::pair{-x, x + y}, std::pair{x + y, -y}}) {
    const LocalMinimum m = refine_minimum(model, x0 + 0.01, y0 - 0.01, w + 0.01);
    EXPECT_NEAR(m.x, x, 1e-7) << x0 << ", " << y0;
    EXPECT_NEAR(m.y, y, 1e-7) << x0 << ", " << y0;
    EXPECT_NEAR(m.w, w, 1e-7);
  }
}

// Two triples of the hydration-free plane cross twice: both shapes come back,
// the second with the very different hydration that tells them apart.
TEST(ShapeFit, TriplesWithTwoIntersectionsGiveBothSolutions) {
  struct Case {
    std::vector<M> kinds;
    double ab, bc, other_ab, other_bc;
  };
  for (const Case& c : {Case{{M::Virial, M::RelaxationTime, M::IntrinsicViscosity}, 1.2, 19.7, 1.528, 63.09},
                        Case{{M::Virial, M::RelaxationTime, M::StokesRadius}, 1.2, 1.2, 3.157, 2.820}}) {
    FitInputs in = molecule();
    in.data = exact_data(in, c.ab, c.bc, 0.35, c.kinds);
    const FitResult r = fit(in);
    SCOPED_TRACE(names(c.kinds));
    const FitSolution& s = nearest(r, c.ab, c.bc);
    EXPECT_NEAR(s.a_over_b / c.ab, 1, 1e-6);
    EXPECT_NEAR(s.b_over_c / c.bc, 1, 1e-6);
    const FitSolution& other = nearest(r, c.other_ab, c.other_bc);
    EXPECT_NEAR(other.a_over_b / c.other_ab, 1, 1e-3);  // the sheet's four digits
    EXPECT_NEAR(other.b_over_c / c.other_bc, 1, 1e-3);
    EXPECT_LT(other.chi2, 1e-12);
    EXPECT_GT(std::abs(other.hydration - 0.35), 0.5);
    EXPECT_FALSE(other.plausible);  // a negative hydration
  }
}

// The regions: one-sided on a spheroid line, nested (68 % inside 95 %), and
// narrow where the data are well conditioned; the conditioning flag and its
// words follow the amplification.
TEST(ShapeFit, RegionsAndConditioningTellHowWellTheDataFixTheShape) {
  FitInputs in = molecule();
  in.hydration = 0.35;
  in.data = exact_data(in, 3.0, 1.0, 0.35, {M::Virial, M::IntrinsicViscosity});  // a prolate 3:1:1
  FitResult r = fit(in);
  const FitSolution& prolate = r.solutions.front();
  EXPECT_EQ(prolate.b_over_c_68.lo, 1.0);  // one-sided: the region reaches the line b = c
  EXPECT_EQ(prolate.b_over_c_95.lo, 1.0);
  EXPECT_GT(prolate.b_over_c_95.hi, 1.5);  // the sheet: 3:1:1 and 3:1.6:1 cannot be told apart
  EXPECT_GT(prolate.amplification, 1e3);
  EXPECT_TRUE(r.ill_conditioned);

  // Tight data on the line: a region narrower than a cell of the search grid
  // still reaches the line exactly.
  in.data = exact_data(in, 3.0, 1.0, 0.35, {M::IntrinsicViscosity, M::RelaxationTime});
  for (Datum& d : in.data) d.sigma = 5e-4 * d.value;
  r = fit(in);
  EXPECT_EQ(r.solutions.front().b_over_c_68.lo, 1.0);
  EXPECT_LT(r.solutions.front().b_over_c_95.hi, 1.1);  // narrower than two cells of the search grid

  in.data = exact_data(in, 2.5, 4.0, 0.35, {M::IntrinsicViscosity, M::RelaxationTime});
  r = fit(in);
  const FitSolution& good = r.solutions.front();
  EXPECT_FALSE(r.ill_conditioned);
  EXPECT_LT(good.amplification, 4);
  EXPECT_LT(good.a_over_b_95.lo, good.a_over_b_68.lo);
  EXPECT_GT(good.a_over_b_95.hi, good.a_over_b_68.hi);
  EXPECT_GT(good.a_over_b_68.lo, 2.0);  // two-sided, within 20 %
  EXPECT_LT(good.a_over_b_68.hi, 3.0);
  EXPECT_EQ(conditioning_note(r, in.data, [](M k) { return std::string(measurement_name(k)); }), "");
  // The amplification against refits: each datum moved by 1e-4 relative in
  // turn gives d ln(ratio) / d ln(m), and independent 1 % errors add in
  // quadrature. The larger of the two ratios' errors counts: at 2.5:4:1 it is
  // that of a/b, at 6:1.5:1 that of b/c.
  for (const auto& [ab_true, bc_true, b_over_c_worse] : {std::tuple{2.5, 4.0, false}, std::tuple{6.0, 1.5, true}}) {
    FitInputs at = in;
    at.data = exact_data(at, ab_true, bc_true, 0.35, {M::IntrinsicViscosity, M::RelaxationTime});
    const FitSolution m0 = fit(at).solutions.front();
    double var_x = 0, var_y = 0;
    for (std::size_t d = 0; d < at.data.size(); ++d) {
      FitInputs moved = at;
      moved.data[d].value *= 1 + 1e-4;
      const FitSolution m = fit(moved).solutions.front();
      var_x += std::pow(std::log(m.a_over_b / m0.a_over_b) / std::log1p(1e-4), 2);
      var_y += std::pow(std::log(m.b_over_c / m0.b_over_c) / std::log1p(1e-4), 2);
    }
    EXPECT_EQ(var_y > var_x, b_over_c_worse) << ab_true << ":" << bc_true;
    EXPECT_NEAR(m0.amplification, std::sqrt(std::max(var_x, var_y)), 1e-3 * m0.amplification);
  }
  // A hydration up to 2 g/g is plausible.
  {
    FitInputs wet = in;
    wet.hydration = 1.5;
    wet.data = exact_data(wet, 2.5, 4.0, 1.5, {M::IntrinsicViscosity, M::RelaxationTime});
    EXPECT_TRUE(fit(wet).solutions.front().plausible);
  }

  in.data = exact_data(in, 2.5, 4.0, 0.35, {M::Virial, M::StokesRadius});
  r = fit(in);
  EXPECT_TRUE(r.ill_conditioned);
  // The 95 % intervals of a long band hold every node of the search grid inside it.
  const FitSolution& band = r.solutions.front();
  for (std::size_t k = 0; k < r.search.chi2.size(); ++k)
    if (r.search.chi2[k] <= band.chi2 + kDeltaChi2_95) {
      EXPECT_LE(band.a_over_b_95.lo, std::exp(r.search.x[k]) * (1 + 1e-12));
      EXPECT_GE(band.a_over_b_95.hi, std::exp(r.search.x[k]) * (1 - 1e-12));
      EXPECT_LE(band.b_over_c_95.lo, std::exp(r.search.y[k]) * (1 + 1e-12));
      EXPECT_GE(band.b_over_c_95.hi, std::exp(r.search.y[k]) * (1 - 1e-12));
    }
  EXPECT_EQ(r.weak_first, 0);
  EXPECT_EQ(r.weak_second, 1);
  EXPECT_LT(r.weak_angle_degrees, 10);
  ASSERT_TRUE(r.best_addition);
  EXPECT_EQ(*r.best_addition, M::RelaxationTime);  // the rotational datum
  EXPECT_LT(r.amplification_with_addition, 10);
  // The added datum counts at 2 %, half the weight of the others at 1 %: its
  // amplification lies between the fit's own and that of all three data at 1 %.
  {
    FitInputs three = in;
    three.data = exact_data(in, 2.5, 4.0, 0.35, {M::Virial, M::StokesRadius, M::RelaxationTime});
    EXPECT_GT(r.amplification_with_addition, fit(three).solutions.front().amplification);
  }
  const std::string note = conditioning_note(r, in.data, [](M k) {
    std::string label = "<";  // built in steps: GCC 12 warns falsely about "<" + std::string
    label += measurement_name(k);
    return label + ">";
  });
  EXPECT_NE(note.find("<B> and <R_S> cross at"), std::string::npos) << note;
  EXPECT_NE(note.find("<tau_h> would help most"), std::string::npos) << note;
}

// Data no ellipsoid fits are reported with the closest shape, never refused
// nor passed as a fit; data that cannot be fitted at all are refused with
// the input named.
TEST(ShapeFit, InconsistentDataAreFlaggedAndImpossibleOnesRefused) {
  FitInputs in = molecule();
  in.hydration = 0.35;
  // Three data, one unknown too many: R_g 30 % off the shape of the other two.
  in.data = exact_data(in, 2.5, 4.0, 0.35, {M::IntrinsicViscosity, M::RelaxationTime, M::RadiusOfGyration});
  in.data[2].value *= 1.3;
  FitResult r = fit(in);
  EXPECT_FALSE(r.consistent);
  EXPECT_EQ(r.degrees_of_freedom, 1);
  EXPECT_NEAR(r.chi2_limit, 10.8276, 1e-4);  // the 99.9 % point of one degree of freedom
  EXPECT_GT(r.solutions.front().chi2, r.chi2_limit);
  EXPECT_GT(std::abs(r.solutions.front().residuals[2]), 3);

  const auto refused = [](const FitInputs& bad, FitRefused::Input input, const std::string& words) {
    try {
      fit(bad);
      ADD_FAILURE() << "not refused: " << words;
    } catch (const FitRefused& e) {
      EXPECT_EQ(e.input, input) << e.what();
      EXPECT_NE(std::string(e.what()).find(words), std::string::npos) << e.what();
    }
  };
  FitInputs two = molecule();
  two.data = exact_data(two, 2.5, 4.0, 0.35, {M::Virial, M::RelaxationTime});
  refused(two, FitRefused::Input::Data, "2 independent data cannot fix 3 unknowns");
  two.data = exact_data(two, 2.5, 4.0, 0.35, {M::Virial, M::Sedimentation, M::Diffusion});
  refused(two, FitRefused::Input::Data, "2 independent data cannot fix 3 unknowns");
  FitInputs sphere_too_small = in;
  sphere_too_small.data = exact_data(in, 1.0, 1.0, 0.35, {M::StokesRadius, M::RelaxationTime});
  sphere_too_small.data[0].value *= 0.8;  // a Stokes radius below the hydrated sphere's
  refused(sphere_too_small, FitRefused::Input::Datum, "R_S = ");
  sphere_too_small.data[0] = {M::Ured, 7.0, 0.07};
  refused(sphere_too_small, FitRefused::Input::Datum, "below what any ellipsoid");
  FitInputs both = in;
  both.vs = 1.0;
  refused(both, FitRefused::Input::Hydration, "not both");
  FitInputs bad_sigma = in;
  bad_sigma.data[0].sigma = -1;
  refused(bad_sigma, FitRefused::Input::Datum, "must be a positive number");
  bad_sigma.data[0].sigma = 0.6 * bad_sigma.data[0].value;
  refused(bad_sigma, FitRefused::Input::Datum, "below half the value");
  FitInputs floats = in;
  floats.vbar = 1.1;
  floats.data[1] = {M::Sedimentation, 1.0, 0.02};
  refused(floats, FitRefused::Input::Datum, "1 - vbar rho > 0");
}

}  // namespace
}  // namespace triex

// The public API: refusals in the dialogue's words, the dialogue's values
// where it computes the same thing, and the inverse problem.

#include "triex/triex.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "shape/closed_form.hpp"
#include "shape/shape_section.hpp"
#include "solution/virial.hpp"

namespace triex {
namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The refusal that call throws, "KEYWORD: WORDS" of its field ("" if none).
template <class Call>
std::string refusal(Call call) {
  try {
    call();
  } catch (const Refusal& e) {
    return std::string(field_keyword(e.field())) + ": " + e.what();
  }
  return "";
}

TEST(Api, SemiAxesThatAreNotPositiveFiniteNumbersAreRefusedByName) {
  EXPECT_EQ(refusal([] { ured(0, 1, 1); }), "a: a = 0 must be a positive number");
  EXPECT_EQ(refusal([] { ured(1, -2, 1); }), "b: b = -2 must be a positive number");
  EXPECT_EQ(refusal([] { ured(1, 1, kNaN); }), "c: c = nan must be a positive number");
  EXPECT_EQ(refusal([] { shape_functions(kInf, 1, 1); }), "a: a = inf must be a positive number");
  EXPECT_EQ(refusal([] { quadrature(1, -0.0, 1); }), "b: b = -0 must be a positive number");
  EXPECT_EQ(refusal([] { ured_ratios(0, 1); }), "a_over_b: a/b = 0 must be a positive number");
  EXPECT_EQ(refusal([] { quadrature_ratios(1, kNaN); }), "b_over_c: b/c = nan must be a positive number");
  // The dialogue's rule for ratios: their product must be a number too.
  EXPECT_EQ(refusal([] { ured_ratios(1e200, 1e200); }), "a_over_b: a = (a/b)(b/c) = inf must be a positive number");
  EXPECT_EQ(refusal([] { ured_ratios(1e-200, 1e-200); }), "a_over_b: a = (a/b)(b/c) = 0 must be a positive number");
  EXPECT_EQ(refusal([] { shape_factors(1, 0, 1); }), "b: b = 0 must be a positive number");
  EXPECT_EQ(refusal([] { shape_factors_ratios(1, kInf); }), "b_over_c: b/c = inf must be a positive number");
  EXPECT_EQ(refusal([] { translational_friction(1, 1, -1); }), "c: c = -1 must be a positive number");
  EXPECT_EQ(refusal([] { gyration(kNaN, 1, 1); }), "a: a = nan must be a positive number");
  EXPECT_EQ(refusal([] { rotational_diffusion(1, -0.0, 1); }), "b: b = -0 must be a positive number");
  EXPECT_EQ(refusal([] { viscosity_increment(1, 1, 0); }), "c: c = 0 must be a positive number");
  // Shape factors up to a ratio of 1e50 between the semi-axes, all finite at the bound.
  const std::string beyond = "the longest semi-axis is 1e+60 times the shortest, beyond 1e+50: its shape factors overflow a double";
  EXPECT_EQ(refusal([] { shape_factors(1, 1e60, 1); }), "b: " + beyond);
  EXPECT_EQ(refusal([] { viscosity_increment(1, 1, 1e-60); }), "a: " + beyond);
  EXPECT_EQ(refusal([] { shape_factors_ratios(1e40, 1e20); }), "a_over_b: " + beyond);
  for (const auto& [a, b, c] : {std::array{1e50, 1.0, 1.0}, std::array{1.0, 1.0, 1e-50}, std::array{1e50, 1e25, 1.0}}) {
    const ShapeFactors f = shape_factors(a, b, c);
    for (const double x : {f.translation.stokes_radius, f.translation.perrin_ratio, f.gyration.gyration_ratio,
                           f.rotation.harmonic_relaxation_time, f.viscosity_increment, f.ured,
                           f.rotation.rotational_friction[0], f.rotation.relaxation_times[4]})
      EXPECT_TRUE(std::isfinite(x) && x > 0) << a << " " << b << " " << c;
  }
}

TEST(Api, SolutionValuesAreRefusedAsTheDialogueRefusesThem) {
  EXPECT_EQ(refusal([] { virial({8, 0, 1000, {}}); }), "vs: vs = 0 must be a positive number");
  EXPECT_EQ(refusal([] { virial({8, 1, -1, {}}); }), "molar_mass: M = -1 must be a positive number");
  EXPECT_EQ(refusal([] { virial({8, 1, 1e200, {}}); }), "molar_mass: M = 1e+200 is too large: 2*M*M overflows a double");
  EXPECT_EQ(refusal([] { virial({8, 1, 1000, Charge{1, 0}}); }), "ionic_strength: I = 0 must be a positive number");
  EXPECT_EQ(refusal([] { virial({8, 1, 1000, Charge{kNaN, 0.1}}); }), "valency: Z = nan must be a finite number");
  EXPECT_EQ(refusal([] { swollen_specific_volume(0.73, 0.35, 0); }), "solvent_density: rho = 0 must be a positive number");
  EXPECT_EQ(refusal([] { swollen_specific_volume(-2, 0.35, 1); }), "hydration: vs = vbar + delta/rho = -1.65 must be a positive number");
  EXPECT_EQ(refusal([] { ured_from_virial(kNaN, 1, 1000); }), "B: B = nan must be a finite number");
  EXPECT_EQ(refusal([] { mixture_excluded_volume({1, 1, 1}, {-1, 1, 1}); }), "volume: V = -1 must be a non-negative number");
  EXPECT_EQ(refusal([] { mixture_excluded_volume({1, kNaN, 1}, {1, 1, 1}); }), "surface: S = nan must be a non-negative number");
  // Spheres of radius 1e-300 and 1e-100: the first one's V and S underflow to
  // 0, and u12 = V2 + R1 S2 + R2 S1 is still the normal number V2.
  EXPECT_DOUBLE_EQ(mixture_excluded_volume(shape_functions(1e-300, 1e-300, 1e-300), shape_functions(1e-100, 1e-100, 1e-100)),
                   shape_functions(1e-100, 1e-100, 1e-100).volume);
  const ShapeFactors sphere = shape_factors(1, 1, 1);
  EXPECT_EQ(refusal([&] { predict(sphere, {0, 1, {}, {}}); }), "molar_mass: M = 0 must be a positive number");
  EXPECT_EQ(refusal([&] { predict(sphere, {1e4, kNaN, {}, {}}); }), "vs: vs = nan must be a positive number");
  EXPECT_EQ(refusal([&] { predict(sphere, {1e4, 1, -0.7, {}}); }), "vbar: vbar = -0.7 must be a positive number");
  EXPECT_EQ(refusal([&] { predict(sphere, {1e4, 1, {}, {0, 293.15, {}}}); }), "viscosity: eta = 0 must be a positive number");
  EXPECT_EQ(refusal([&] { predict(sphere, {1e4, 1, {}, {1, -1, {}}}); }), "temperature: T = -1 must be a positive number");
  EXPECT_EQ(refusal([&] { predict(sphere, {1e4, 1, 0.7, {1, 293, 0.0}}); }), "solvent_density: rho = 0 must be a positive number");
}

// Lysozyme-like inputs (M 14300 g/mol, vbar 0.703 ml/g, 0.35 g/g of water of
// density 0.9982 g/ml, 1.002 mPa s, 293.15 K). The hydrated sphere's radius
// (3 M vs / (4 pi NA))^(1/3) = 18.1438 A, and a particle whose Perrin ratio
// is 19.6330 / 18.1438 sediments at 1.91 S and diffuses at 1.09149e-6 cm^2/s;
// the anhydrous f/f0 is P (vs / vbar)^(1/3) = 1.238327.
TEST(Api, PredictedMeasurementsFollowTheHydratedParticle) {
  const double vs = swollen_specific_volume(0.703, 0.35, 0.9982);
  EXPECT_NEAR(vs, 1.053631, 5e-7);
  ShapeFactors shape = shape_factors(1, 1, 1);
  PredictionInputs in{14300, vs, 0.703, {1.002, 293.15, 0.9982}};
  Predictions sphere = predict(shape, in);
  EXPECT_NEAR(sphere.equivalent_radius_angstrom, 18.1438, 5e-5);
  EXPECT_DOUBLE_EQ(sphere.stokes_radius_angstrom, sphere.equivalent_radius_angstrom);
  EXPECT_NEAR(sphere.rg_angstrom, std::sqrt(0.6) * 18.1438, 5e-5);
  EXPECT_DOUBLE_EQ(sphere.intrinsic_viscosity_ml_per_g, 2.5 * vs);
  EXPECT_DOUBLE_EQ(sphere.Bex_ml_mol_per_g2, 8 * vs / (2 * 14300));
  EXPECT_NEAR(sphere.tau_h_ns, 6.194, 5e-4);  // eta M vs / (NA kB T)
  EXPECT_NEAR(sphere.hydrated_volume_angstrom3, 14300 * vs / 6.02214076e23 * 1e24, 1e-9);

  shape.translation.perrin_ratio = 19.6330 / 18.1438;
  const Predictions p = predict(shape, in);
  EXPECT_NEAR(p.stokes_radius_angstrom, 19.6330, 2e-4);
  EXPECT_NEAR(*p.s_svedberg, 1.91, 5e-5);
  EXPECT_NEAR(p.D_cm2_per_s, 1.09149e-6, 5e-11);
  EXPECT_NEAR(*p.f_over_f0, 1.238327, 5e-6);

  // Without vbar there is neither s nor the anhydrous ratio; without rho no s.
  EXPECT_FALSE(predict(shape, {14300, vs, {}, {}}).f_over_f0);
  const Predictions no_density = predict(shape, {14300, vs, 0.703, {}});
  EXPECT_FALSE(no_density.s_svedberg);
  EXPECT_TRUE(no_density.f_over_f0);
}

// The values of the dialogue's report for a sphere of vs 1 ml/g, M 10000 g/mol,
// and with a charge, from the same formulas in the same order.
TEST(Api, VirialQuantitiesAreTheDialoguesToTheBit) {
  const double u = ured(3, 2, 1);
  const Virial plain = virial({u, 0.75, 14300, {}});
  EXPECT_EQ(plain.U, molar_covolume(0.75, 14300, u));
  EXPECT_EQ(plain.u, plain.U / NA);
  EXPECT_EQ(plain.Bex, plain.U / (2.0 * (14300.0 * 14300.0)));
  EXPECT_EQ(plain.Bz, 0.0);
  EXPECT_EQ(plain.B, plain.Bex);
  EXPECT_EQ(plain.BM, 14300 * plain.B);
  EXPECT_EQ(plain.BM2, 14300 * plain.BM * kMilliSingle);
  EXPECT_EQ(plain.BM2_per_uM, plain.BM2 * kMicroSingle);

  const Virial charged = virial({u, 0.75, 14300, Charge{-5, 0.1}});
  const Polyelectrolyte p = polyelectrolyte_term({-5, 0.1}, 0.75, 14300);
  EXPECT_EQ(charged.Bz, p.Bz);
  EXPECT_GT(charged.Bz, 0.0);  // Z^2: either sign of charge repels
  EXPECT_EQ(charged.B, charged.Bex + charged.Bz);

  // Sphere, vs 1, M 10000: U = 80000 ml/mol and B(ex) = 4e-4 ml mol/g^2.
  const Virial sphere = virial({8, 1, 10000, {}});
  EXPECT_EQ(sphere.U, 80000.0);
  EXPECT_DOUBLE_EQ(sphere.Bex, 4e-4);
}

TEST(Api, TheQuadratureEntryIsTheDialoguesShapeSection) {
  const QuadratureResult q = quadrature(3, 2, 1);
  const ShapeQuadrature section = reduced_excluded_volume(3, 2, 1);
  EXPECT_EQ(q.ured, section.URED);
  EXPECT_EQ(q.surface, section.S);
  EXPECT_EQ(q.mean_radius, section.R);
  EXPECT_EQ(q.npts_surface, section.NPTS_S);
  EXPECT_EQ(q.ifail_curvature, section.IFAIL_R);
  // Ratios 1.5, 2 are the ellipsoid 3, 2, 1 by the dialogue's rule.
  EXPECT_EQ(quadrature_ratios(1.5, 2).ured, section.URED);
  EXPECT_EQ(ured_ratios(1.5, 2), ured(3, 2, 1));
  const ShapeFunctions s = shape_functions(3, 2, 1);
  EXPECT_NEAR(mixture_excluded_volume(s, s) / (ured(3, 2, 1) * s.volume), 1.0, 1e-15);
}

TEST(Api, TheSolvedCurveRunsFromProlateToOblateAndGivesBackItsUred) {
  for (double X : {8.000001, 9.0, 12.5, 100.0, 1e4, 1e8}) {
    SCOPED_TRACE(X);
    const std::vector<AxialRatios> curve = solve(X, 50);
    ASSERT_EQ(curve.size(), 50u);
    EXPECT_EQ(curve.front().b_over_c, 1.0);  // the prolate spheroid (p, 1)
    EXPECT_EQ(curve.back().a_over_b, 1.0);   // the oblate spheroid (1, p)
    for (std::size_t i = 0; i < curve.size(); ++i) {
      EXPECT_NEAR(ured_ratios(curve[i].a_over_b, curve[i].b_over_c) / X, 1.0, 1e-12);
      EXPECT_GE(curve[i].a_over_b, 1.0);
      EXPECT_GE(curve[i].b_over_c, 1.0);
      if (i > 0) {
        EXPECT_LE(curve[i].a_over_b, curve[i - 1].a_over_b);
        EXPECT_GE(curve[i].b_over_c, curve[i - 1].b_over_c);
      }
    }
    // The ends are the spheroids of the closed form: p:1:1 and 1:1:1/p.
    EXPECT_NEAR(closed_form_ured(curve.front().a_over_b, 1, 1) / X, 1.0, 1e-12);
    EXPECT_NEAR(closed_form_ured(1, 1, 1 / curve.back().b_over_c) / X, 1.0, 1e-12);
  }
  // A prolate 10:1:1 has u_red 26.38...: the solver finds the ratio 10 again.
  const double rod = ured(10, 1, 1);
  EXPECT_NEAR(solve(rod, 2).front().a_over_b, 10.0, 1e-10);
}

TEST(Api, TheSolverRefusesWhatNoEllipsoidWithinItsRangeHas) {
  EXPECT_EQ(solve(8.0, 50).size(), 1u);
  EXPECT_EQ(solve(8.0, 50).front().a_over_b, 1.0);
  EXPECT_EQ(refusal([] { solve(7.99, 50); }), "ured: ured = 7.99 is below 8, the sphere's: no ellipsoid has it");
  EXPECT_EQ(refusal([] { solve(kNaN, 50); }), "ured: ured = nan must be a number");
  EXPECT_EQ(refusal([] { solve(12, 1); }), "points: points = 1 must be at least 2");
  const std::string beyond = refusal([] { solve(1e15, 50); });
  EXPECT_EQ(beyond.rfind("ured: ured = 1e+15 is beyond the supported range: axial ratios up to 1e+12 reach ured = ", 0), 0u)
      << beyond;
  EXPECT_EQ(refusal([] { solve(kInf, 50); }).substr(0, 51), "ured: ured = inf is beyond the supported range: axi");
}

TEST(Api, AMeasuredVirialCoefficientGivesBackTheUredThatMadeIt) {
  const double u = ured(5, 2, 1);
  const Virial v = virial({u, 0.74, 66000, Charge{-10, 0.15}});
  EXPECT_NEAR(ured_from_virial(v.B, 0.74, 66000, Charge{-10, 0.15}) / u, 1.0, 1e-14);
  EXPECT_NEAR(ured_from_virial(v.Bex, 0.74, 66000) / u, 1.0, 1e-14);
}

}  // namespace
}  // namespace triex

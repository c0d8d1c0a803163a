// The hydrodynamic and scattering shape factors against 25-digit reference
// values (tools/gen_shape_factors_reference.py: Carlson's closed forms
// confirmed by quadrature of the defining integrals), against the properties
// that any correct set of them has, and against the classical spheroid
// formulas of Perrin (1934, 1936), Koenig (1975) and Simha (1940) as a second,
// elementary reference.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "tests/api/shape_factors_reference.hpp"
#include "triex/triex.hpp"

namespace triex {
namespace {

// About nine ulps: each factor combines a few of R_F and the R_D, each good
// to a few ulps, in a handful of well-conditioned operations.
constexpr double kReferenceTolerance = 2e-15;

// Relative error against a reference; a NaN is as wrong as can be.
long double relative_error(double value, long double reference) {
  const long double error = std::fabs(static_cast<long double>(value) - reference) / std::fabs(reference);
  return std::isnan(error) ? std::numeric_limits<long double>::infinity() : error;
}

// Every value a caller can get for one shape, named as the public API names it.
std::vector<std::pair<std::string, double>> all_values(double a, double b, double c) {
  const ShapeFactors f = shape_factors(a, b, c);
  std::vector<std::pair<std::string, double>> v = {
      {"stokes_radius", f.translation.stokes_radius},
      {"perrin_ratio", f.translation.perrin_ratio},
      {"radius_of_gyration", f.gyration.radius_of_gyration},
      {"gyration_ratio", f.gyration.gyration_ratio},
      {"harmonic_relaxation_time", f.rotation.harmonic_relaxation_time},
      {"viscosity_increment", f.viscosity_increment},
      {"ured", f.ured},
  };
  for (int i = 0; i < 3; ++i) v.push_back({"rotational_friction_" + std::to_string(i + 1), f.rotation.rotational_friction[i]});
  for (int k = 0; k < 5; ++k) v.push_back({"relaxation_time_" + std::to_string(k + 1), f.rotation.relaxation_times[k]});
  // The functions of one family each.
  const TranslationalFriction t = translational_friction(a, b, c);
  const Gyration g = gyration(a, b, c);
  const RotationalDiffusion r = rotational_diffusion(a, b, c);
  v.push_back({"translational_friction().stokes_radius", t.stokes_radius});
  v.push_back({"translational_friction().perrin_ratio", t.perrin_ratio});
  v.push_back({"gyration().radius_of_gyration", g.radius_of_gyration});
  v.push_back({"gyration().gyration_ratio", g.gyration_ratio});
  for (int i = 0; i < 3; ++i) v.push_back({"rotational_diffusion().Z_" + std::to_string(i + 1), r.rotational_friction[i]});
  for (int k = 0; k < 5; ++k) v.push_back({"rotational_diffusion().tau_" + std::to_string(k + 1), r.relaxation_times[k]});
  v.push_back({"rotational_diffusion().tau_h", r.harmonic_relaxation_time});
  v.push_back({"viscosity_increment()", viscosity_increment(a, b, c)});
  return v;
}

std::vector<long double> reference_values(const test::ShapeFactorsReference& row) {
  std::vector<long double> v = {row.stokes_radius, row.perrin_ratio, row.radius_of_gyration, row.gyration_ratio,
                                row.harmonic_relaxation_time, row.viscosity_increment, row.ured};
  v.insert(v.end(), std::begin(row.rotational_friction), std::end(row.rotational_friction));
  v.insert(v.end(), std::begin(row.relaxation_times), std::end(row.relaxation_times));
  v.insert(v.end(), {row.stokes_radius, row.perrin_ratio, row.radius_of_gyration, row.gyration_ratio});
  v.insert(v.end(), std::begin(row.rotational_friction), std::end(row.rotational_friction));
  v.insert(v.end(), std::begin(row.relaxation_times), std::end(row.relaxation_times));
  v.insert(v.end(), {row.harmonic_relaxation_time, row.viscosity_increment});
  return v;
}

std::string axes_text(double a, double b, double c) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.17g, %.17g, %.17g)", a, b, c);
  return text;
}

// Random shapes with ratios up to 1e6 each (prolate- and oblate-like, axes in
// every order), exact spheroids, near-spheres and near-spheroids down to one
// ulp, semi-axes from 1e-150 to 1e150, and the tabulated shapes of the
// formula sheet. The worst error of each function is printed and recorded as
// a test property.
TEST(ShapeFactors, EveryFactorIsWithinTwoPartsIn1e15OfTheReferenceAtEveryShape) {
  struct Worst {
    long double error = 0;
    std::string axes;
  };
  std::vector<std::string> names;
  std::vector<Worst> worst;
  for (const test::ShapeFactorsReference& row : test::kShapeFactorsReference) {
    const auto values = all_values(row.a, row.b, row.c);
    const auto reference = reference_values(row);
    ASSERT_EQ(values.size(), reference.size());
    if (names.empty()) {
      for (const auto& [name, value] : values) names.push_back(name);
      worst.resize(names.size());
    }
    for (std::size_t n = 0; n < values.size(); ++n) {
      const long double error = relative_error(values[n].second, reference[n]);
      if (error > worst[n].error) worst[n] = {error, axes_text(row.a, row.b, row.c)};
    }
  }
  ASSERT_FALSE(names.empty());
  std::string report;
  bool all_within = true;
  for (std::size_t n = 0; n < names.size(); ++n) {
    char line[256];
    std::snprintf(line, sizeof line, "%-42s %.2Le at %s\n", names[n].c_str(), worst[n].error, worst[n].axes.c_str());
    report += line;
    char value[32];
    std::snprintf(value, sizeof value, "%.2Le", worst[n].error);
    RecordProperty("worst_relative_error_" + names[n], value);
    all_within = all_within && worst[n].error <= kReferenceTolerance;
  }
  EXPECT_TRUE(all_within) << "worst relative error per function over " << std::size(test::kShapeFactorsReference)
                          << " shapes (tolerance 2e-15):\n"
                          << report;
  std::printf("worst relative error per function over %zu shapes:\n%s", std::size(test::kShapeFactorsReference),
              report.c_str());
}

// A sphere of any size: P = G = Z = tau = 1, nu = 5/2 (Einstein), u_red = 8.
TEST(ShapeFactors, ASphereOfAnySizeHasTheSphereValues) {
  for (double r : {1.0, 0.1, 3.7, 1e-150, 1e150, 1e-300, 1e300}) {
    SCOPED_TRACE(r);
    const ShapeFactors f = shape_factors(r, r, r);
    EXPECT_NEAR(f.translation.stokes_radius / r, 1.0, kReferenceTolerance);
    EXPECT_NEAR(f.gyration.radius_of_gyration / r, std::sqrt(0.6), kReferenceTolerance);
    const std::vector<double> ones = {f.translation.perrin_ratio, f.gyration.gyration_ratio,
                                      f.rotation.rotational_friction[0], f.rotation.rotational_friction[1],
                                      f.rotation.rotational_friction[2], f.rotation.relaxation_times[0],
                                      f.rotation.relaxation_times[1], f.rotation.relaxation_times[2],
                                      f.rotation.relaxation_times[3], f.rotation.relaxation_times[4],
                                      f.rotation.harmonic_relaxation_time};
    for (double one : ones) EXPECT_NEAR(one, 1.0, kReferenceTolerance);
    EXPECT_NEAR(f.viscosity_increment, 2.5, 2.5 * kReferenceTolerance);
    EXPECT_NEAR(f.ured, 8.0, 8 * kReferenceTolerance);
  }
}

// Renaming the axes renames the rotational frictions and the times tau_2..4
// that belong to one axis each; every other factor stays. Two results each
// within 2e-15 of the truth agree within twice that.
TEST(ShapeFactors, PermutingTheAxesPermutesThePerAxisFactorsOnly) {
  constexpr double kTolerance = 2 * kReferenceTolerance;
  for (const std::array<double, 3> axes : {std::array{3.0, 2.0, 1.0}, std::array{100.0, 10.0, 1.0},
                                           std::array{1e6, 1e3, 1.0}, std::array{1.0 + 1e-12, 1.0, 1.0 - 1e-12}}) {
    const ShapeFactors base = shape_factors(axes[0], axes[1], axes[2]);
    std::array<int, 3> order = {0, 1, 2};
    do {
      SCOPED_TRACE(axes_text(axes[order[0]], axes[order[1]], axes[order[2]]));
      const ShapeFactors f = shape_factors(axes[order[0]], axes[order[1]], axes[order[2]]);
      auto same = [&](double value, double expected) { EXPECT_NEAR(value / expected, 1.0, kTolerance); };
      same(f.translation.stokes_radius, base.translation.stokes_radius);
      same(f.translation.perrin_ratio, base.translation.perrin_ratio);
      same(f.gyration.radius_of_gyration, base.gyration.radius_of_gyration);
      same(f.gyration.gyration_ratio, base.gyration.gyration_ratio);
      same(f.rotation.relaxation_times[0], base.rotation.relaxation_times[0]);
      same(f.rotation.relaxation_times[4], base.rotation.relaxation_times[4]);
      same(f.rotation.harmonic_relaxation_time, base.rotation.harmonic_relaxation_time);
      same(f.viscosity_increment, base.viscosity_increment);
      same(f.ured, base.ured);
      for (int i = 0; i < 3; ++i) {
        same(f.rotation.rotational_friction[i], base.rotation.rotational_friction[order[i]]);
        same(f.rotation.relaxation_times[1 + i], base.rotation.relaxation_times[1 + order[i]]);
      }
    } while (std::next_permutation(order.begin(), order.end()));
  }
}

// The dimensionless factors depend on the axial ratios alone, and R_S and R_g
// scale with the semi-axes, over the whole range of doubles (no intermediate
// product of three semi-axes or of squares may overflow or underflow). The
// ratio form gives the shape (a/b)(b/c), b/c, 1.
TEST(ShapeFactors, DimensionlessFactorsAreScaleInvariantAndLengthsScale) {
  constexpr double kTolerance = 2 * kReferenceTolerance;
  const std::array<double, 3> axes = {50.0, 20.0, 1.0};
  const ShapeFactors unit = shape_factors(axes[0], axes[1], axes[2]);
  auto dimensionless = [](const ShapeFactors& f) {
    std::vector<double> v = {f.translation.perrin_ratio, f.gyration.gyration_ratio,
                             f.rotation.harmonic_relaxation_time, f.viscosity_increment, f.ured};
    v.insert(v.end(), f.rotation.rotational_friction.begin(), f.rotation.rotational_friction.end());
    v.insert(v.end(), f.rotation.relaxation_times.begin(), f.rotation.relaxation_times.end());
    return v;
  };
  const std::vector<double> expected = dimensionless(unit);
  for (double s : {0x1p-990, 1e-300, 1e-150, 1e-20, 7.0, 1e20, 1e150, 1e300, 0x1p+990 / 64}) {
    SCOPED_TRACE(s);
    const ShapeFactors f = shape_factors(s * axes[0], s * axes[1], s * axes[2]);
    const std::vector<double> got = dimensionless(f);
    for (std::size_t n = 0; n < got.size(); ++n) EXPECT_NEAR(got[n] / expected[n], 1.0, kTolerance) << n;
    EXPECT_NEAR(f.translation.stokes_radius / (s * unit.translation.stokes_radius), 1.0, kTolerance);
    EXPECT_NEAR(f.gyration.radius_of_gyration / (s * unit.gyration.radius_of_gyration), 1.0, kTolerance);
  }
  const std::vector<double> from_ratios = dimensionless(shape_factors_ratios(2.5, 20.0));
  for (std::size_t n = 0; n < from_ratios.size(); ++n) EXPECT_NEAR(from_ratios[n] / expected[n], 1.0, kTolerance) << n;
}

// ---- Spheroids: the classical elementary forms as a second reference

// Perrin's translational ratio, Koenig's corrected rotational frictions and
// Simha's viscosity increment of a spheroid whose symmetry semi-axis is rho
// and equatorial semi-axes 1, all in double precision from elementary
// functions.
struct Spheroid {
  double P, Z_axial, Z_equatorial, nu;
  double nu_condition;  // how much the elementary route of nu amplifies rounding
};

Spheroid elementary_spheroid(double rho) {
  const bool prolate = rho > 1;
  const double p = prolate ? rho : 1 / rho;
  const double root = std::sqrt(std::abs(rho * rho - 1));
  Spheroid s{};
  const double root_p = std::sqrt(p * p - 1);
  s.P = prolate ? root_p / (std::cbrt(p) * std::acosh(p)) : root_p / (std::cbrt(p * p) * std::atan(root_p));
  // Koenig (1975): xi = sqrt|r^2 - 1| / r, S = 2 artanh(xi)/xi (prolate; artanh(xi) = arcosh r) or 2 arctan(xi)/xi.
  const double xi = root / rho;
  const double S = prolate ? 2 * std::acosh(rho) / xi : 2 * std::atan(xi) / xi;
  const double Z_axial = 4.0 / 3.0 * (rho * rho - 1) / (2 * rho * rho - S);
  const double Z_equatorial = 4.0 / 3.0 * (1 / (rho * rho) - rho * rho) / (2 - S * (2 - 1 / (rho * rho)));
  // For a prolate spheroid the shape is rho:1:1 and the friction relative to a sphere of volume rho;
  // Z = zeta / (8 pi eta abc) has abc = rho either way.
  s.Z_axial = Z_axial;
  s.Z_equatorial = Z_equatorial;
  // Jeffery's integrals of the spheroid (suffix s the symmetry axis, e an equatorial one).
  const double L = prolate ? std::acosh(rho) / root : std::acos(rho) / root;
  const double alpha_s = (2 * L - 2 / rho) / (rho * rho - 1);
  const double alpha_e = (2 / rho - alpha_s) / 2;
  const double alpha_se = (alpha_e - alpha_s) / (rho * rho - 1);
  const double alpha_ee = (2 / rho - alpha_se) / 4;
  // Eshelby's tensor at Poisson ratio 1/2 on the traceless diagonal strains:
  // eigenvalue mu_e on (0, 1, -1), mu_s on (2, -1, -1); mu_s = 1 - rho alpha_se (rho^2 + 1/2).
  const double mu_e = rho * alpha_ee;
  const double mu_s = 1 - rho * alpha_se * (rho * rho + 0.5);
  const double T = 1 / mu_s + 1 / mu_e;
  const double F_s = 2 / (rho * 2 * alpha_ee);             // shear in the equatorial plane
  const double F_e = 2 / (rho * (rho * rho + 1) * alpha_se);  // shear through the axis (twice)
  const double lambda_e = (rho * rho - 1) / (rho * rho + 1);  // Jeffery's spin factor about an equatorial axis
  const double z_e = 1.5 * Z_equatorial;
  s.nu = (T + F_s + 2 * F_e + 2 * z_e * lambda_e * lambda_e) / 5;
  // Both subtractions, mu_s = 1 - ... and alpha_e = (2/rho - alpha_s)/2, amplify rounding by their condition numbers.
  s.nu_condition = 1 / mu_s + (1 / rho) / alpha_e;
  return s;
}

// Prolate p:1:1 and oblate p:p:1. The elementary forms of P and Z are well
// conditioned (measured within 4e-16 of the 40-digit values), so 1e-13 leaves
// room for the libm's transcendental functions; nu's elementary route loses
// up to 1/mu_s (5e4 at prolate 1000) and is held to 1e-15 times its condition.
// Simha's published values (1940) are matched to their printed digits.
TEST(ShapeFactors, SpheroidsAgreeWithPerrinKoenigAndSimha) {
  constexpr double kElementaryTolerance = 1e-13;
  struct Case {
    double p;
    bool prolate;
    double simha_nu, simha_half_unit;  // published value and half a unit of its last digit (0: none)
  };
  const Case cases[] = {
      {1.5, true, 0, 0},  {1.5, false, 0, 0},         {2, true, 2.9076, 5e-5}, {2, false, 0, 0},
      {5, true, 5.8062, 5e-5}, {5, false, 0, 0},      {10, true, 13.634, 5e-4}, {10, false, 8.0434, 5e-5},
      {100, true, 0, 0},  {100, false, 0, 0},         {1000, true, 0, 0},      {1000, false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.p) + (c.prolate ? " prolate" : " oblate"));
    const ShapeFactors f = c.prolate ? shape_factors(c.p, 1, 1) : shape_factors(c.p, c.p, 1);
    const Spheroid s = elementary_spheroid(c.prolate ? c.p : 1 / c.p);
    const double Z_axial = f.rotation.rotational_friction[c.prolate ? 0 : 2];
    const double Z_equatorial = f.rotation.rotational_friction[1];
    EXPECT_NEAR(f.translation.perrin_ratio / s.P, 1.0, kElementaryTolerance);
    EXPECT_NEAR(Z_axial / s.Z_axial, 1.0, kElementaryTolerance);
    EXPECT_NEAR(Z_equatorial / s.Z_equatorial, 1.0, kElementaryTolerance);
    EXPECT_NEAR(f.viscosity_increment / s.nu, 1.0, std::max(kElementaryTolerance, 1e-15 * s.nu_condition));
    if (c.simha_half_unit > 0) {
      EXPECT_NEAR(f.viscosity_increment, c.simha_nu, c.simha_half_unit);
    }
  }
}

}  // namespace
}  // namespace triex

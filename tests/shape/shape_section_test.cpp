#include "shape/shape_section.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "shape/carlson.hpp"
#include "shape/params.hpp"

namespace triex {
namespace {

ShapeResult shape_of(double A, double B, double C) { return shape_section(from_semi_axes(A, B, C)); }

struct UredCase {
  double A, B, C;
  double URED;
  double tolerance;  // half a unit in the last digit shown
};

TEST(ReducedExcludedVolume, ReproducesTheTableOfShapesToEveryDigitShown) {
  const UredCase cases[] = {
      {1, 1, 1, 8.000000, 5e-7},        {2, 1, 1, 9.076976, 5e-7},     {1, 1, 0.5, 9.076973, 5e-7},
      {3, 2, 1, 10.173620, 5e-7},       {1, 2, 3, 10.173609, 5e-7},    {10, 1, 1, 26.382657, 5e-7},
      {1, 1, 0.1, 26.382647, 5e-7},     {100, 1, 1, 237.75608, 5e-6},  {50, 20, 1, 88.820988, 5e-7},
  };
  for (const UredCase& c : cases) {
    EXPECT_NEAR(shape_of(c.A, c.B, c.C).URED, c.URED, c.tolerance) << c.A << " " << c.B << " " << c.C;
  }
}

// The shape section's results to the bit, with both evaluation counts and
// failure codes, from spheres and the table's shapes to needles and discs
// whose rules run out (65025 points) or fail, and the guard's verdict: a
// quadrature value off the closed form by more than kQuadratureTrust is
// replaced by it, any other keeps its bits. Four threads run the table at
// once, each from another row: the section keeps nothing between calls.
TEST(ReducedExcludedVolume, PinnedShapesGiveTheirBitsInFourThreadsAtOnce) {
  struct Pin {
    double A, B, C, URED;
    int NPTS_S, NPTS_R, IFAIL_S, IFAIL_R;
    bool replaced;
  };
  static constexpr Pin pins[] = {
      {1.0, 1.0, 1.0, 0x1.fffffffffd18dp+2, 45, 45, 0, 0, false},  // 8
      {2.0, 1.0, 1.0, 0x1.227695b820349p+3, 649, 665, 0, 0, false},  // 9.07697569
      {1.0, 1.0, 0.5, 0x1.227690baa9af4p+3, 45, 93, 0, 0, false},  // 9.07697331
      {3.0, 2.0, 1.0, 0x1.458e4b132ca92p+3, 449, 865, 0, 0, false},  // 10.1736198
      {1.0, 2.0, 3.0, 0x1.458e342b2ae0fp+3, 881, 849, 0, 0, false},  // 10.1736089
      {10.0, 1.0, 1.0, 0x1.a61f5d1c08607p+4, 1905, 1905, 0, 0, false},  // 26.3826572
      {1.0, 1.0, 0.1, 0x1.a61f5283348d8p+4, 189, 189, 0, 0, false},  // 26.382647
      {100.0, 1.0, 1.0, 0x1.db831ca468059p+7, 5361, 6513, 0, 0, false},  // 237.756078
      {50.0, 20.0, 1.0, 0x1.6348b0fa98837p+6, 3937, 3233, 0, 0, false},  // 88.8209876
      {10000.0, 100.0, 1.0, 0x1.d511616fdb2c2p+13, 65025, 65025, 1040, 710, false},  // 15010.1726
      {0.1, 0.1, 0.1, 0x1.fffffffffd27ep+2, 21, 21, 0, 0, false},  // 8
      {10000.0, 1.0, 1.0, 0x1.702f03babbbd2p+14, 15345, 11665, 121, 131, false},  // 23563.7536
      {1.0, 10000.0, 1.0, 0x1.6e8dff9bc4d04p+14, 15345, 11665, 121, 131, true},  // 23459.4996
      {1.0, 1.0, 0.001, 0x1.26c6d59e638cp+11, 765, 765, 0, 0, false},  // 2358.21358
      {1.0, 100.0, 10000.0, 0x1.d4fd58efec5d9p+13, 65025, 65025, 2280, 2290, true},  // 15007.6684
      {0.1814, 79.81, 0.2402, 0x1.ca078a82633adp+9, 12769, 13681, 0, 110, true},  // 916.058914
      {2206.0, 0.01226, 36.27, 0x1.0ad75243bb963p+18, 61793, 60673, 1991, 1631, true},  // 273245.285
  };
  constexpr std::size_t kThreads = 4, kRows = std::size(pins);
  std::array<std::vector<std::string>, kThreads> mismatches;
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &mismatches] {
      for (std::size_t i = 0; i < kRows; ++i) {
        const Pin& p = pins[(i + t * kRows / kThreads) % kRows];
        const ShapeResult q = shape_section(from_semi_axes(p.A, p.B, p.C));
        const CheckedUred checked = checked_ured(q.URED, p.A, p.B, p.C);
        const double off = std::abs(q.URED - checked.exact) / checked.exact;
        if (std::bit_cast<std::uint64_t>(q.URED) != std::bit_cast<std::uint64_t>(p.URED) || q.NPTS_S != p.NPTS_S ||
            q.NPTS_R != p.NPTS_R || q.IFAIL_S != p.IFAIL_S || q.IFAIL_R != p.IFAIL_R || checked.replaced != p.replaced ||
            (off > kQuadratureTrust) != p.replaced || checked.URED != (p.replaced ? checked.exact : p.URED))
          mismatches[t].push_back(std::to_string(p.A) + ", " + std::to_string(p.B) + ", " + std::to_string(p.C));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t t = 0; t < kThreads; ++t)
    EXPECT_TRUE(mismatches[t].empty()) << "thread " << t << ": " << mismatches[t].size() << " rows differ, first "
                                       << (mismatches[t].empty() ? "" : mismatches[t].front());
}

TEST(ReducedExcludedVolume, ASphereOfAnySizeGivesEight) {
  for (double r : {1.0, 10.0, 100.0, 1000.0}) {
    const ShapeResult s = shape_of(r, r, r);
    EXPECT_NEAR(s.URED, 8.0, 1e-10) << r;
    EXPECT_NEAR(s.S, 12.56636 * r * r, 1e-9 * r * r) << r;
    EXPECT_NEAR(s.R, r, 1e-9 * r) << r;
    // Three outer points, each with a 15-point inner rule.
    EXPECT_EQ(s.NPTS_S, 45) << r;
    EXPECT_EQ(s.NPTS_R, 45) << r;
    EXPECT_EQ(s.IFAIL_S, 0);
    EXPECT_EQ(s.IFAIL_R, 0);
  }
  // The accuracy is absolute, so a small sphere needs only 7-point inner rules.
  const ShapeResult small = shape_of(0.1, 0.1, 0.1);
  EXPECT_EQ(small.NPTS_S, 21);
  EXPECT_EQ(small.NPTS_R, 21);
  EXPECT_NEAR(small.URED, 8.0, 1e-10);
}

TEST(ReducedExcludedVolume, AxialRatiosGiveTheShapeOfTheSemiAxes) {
  const double from_ratios = shape_of(1.5 * 2, 2, 1).URED;
  const double from_axes = shape_of(30, 20, 10).URED;
  EXPECT_NEAR(from_ratios, from_axes, 5e-6 * from_axes);
}

TEST(EllipsoidIntegrals, ForASphereHaveClosedForms) {
  for (double r : {1.0, 3.7, 10.0}) {
    const ShapeResult s = shape_of(r, r, r);
    const double tol = 5e-5;  // the relative accuracy requested
    EXPECT_NEAR(s.ALPHA[9], 2 / r, tol * 2 / r) << r;
    for (int n = 0; n < 3; ++n) EXPECT_NEAR(s.ALPHA[static_cast<std::size_t>(n)], 2 / (3 * r * r * r), tol * 2 / (3 * r * r * r)) << r;
    EXPECT_NEAR(s.ALPHA[7], s.ALPHA[6], tol * s.ALPHA[6]);
    EXPECT_NEAR(s.ALPHA[8], s.ALPHA[6], tol * s.ALPHA[6]);
  }
}

// The ten integrals are the Jeffery (1922) integrals of the ellipsoid. With
// x_i the squared semi-axes, in Carlson's form (R_i = R_D(x_j, x_k, x_i)):
//   NN = 1..3   alpha_i  = 2/3 R_i
//   NN = 4..6   alpha_jk = 2/3 (R_k - R_j)/(x_j - x_k)   (jk = bc, ca, ab)
//   NN = 7..9   alpha'_i = alpha_k - x_j alpha_jk         (lambda in the numerator)
//   NN = 10     chi      = 2 R_F(x_1, x_2, x_3)
// carlson_jeffery takes the x_i scaled by their largest value m; R_F, R_D and
// the divided differences scale as m^(-1/2), m^(-3/2) and m^(-5/2). The
// infinite-range integrator is asked for 5e-5 relative and meets it for
// these shapes of moderate size, triaxial, spheroidal and nearly spherical;
// the closed forms are exact to a few ulps, so that is the tolerance.
TEST(EllipsoidIntegrals, AreTheJefferyIntegralsOfTheClosedFormsToTheRequestedAccuracy) {
  const double shapes[][3] = {{3, 2, 1}, {1, 2, 3}, {2, 1, 1}, {1, 1, 0.5}, {10, 1, 1},
                              {50, 20, 1}, {1.3, 1.2, 1.1}, {0.7, 2.5, 1.9}};
  for (const auto& axes : shapes) {
    const ShapeResult s = shape_of(axes[0], axes[1], axes[2]);
    const std::array<double, 3> x = {axes[0] * axes[0], axes[1] * axes[1], axes[2] * axes[2]};
    const double m = std::max({x[0], x[1], x[2]});
    const JefferyIntegrals J = carlson_jeffery(x[0] / m, x[1] / m, x[2] / m);
    std::array<double, 10> closed{};
    for (std::size_t i = 0; i < 3; ++i) {
      closed[i] = 2.0 / 3.0 * J.RD[i] / (m * std::sqrt(m));
      closed[3 + i] = 2.0 / 3.0 * J.DD[i] / (m * m * std::sqrt(m));
    }
    for (std::size_t i = 0; i < 3; ++i) {
      const std::size_t j = (i + 1) % 3, k = (i + 2) % 3;
      closed[6 + i] = closed[k] - x[j] * closed[3 + i];
    }
    closed[9] = 2 * J.RF / std::sqrt(m);
    for (std::size_t n = 0; n < 10; ++n)
      EXPECT_NEAR(s.ALPHA[n], closed[n], 5e-5 * closed[n])
          << "ALPHA(" << n + 1 << ") of " << axes[0] << " " << axes[1] << " " << axes[2];
  }
}

// Large molecules: the infinite-range integrals may not meet their accuracy,
// but they fail silently and the double integrals still give the right shape.
TEST(EllipsoidIntegrals, LargeMoleculesPassSilently) {
  for (double r : {150.0, 1000.0}) EXPECT_NEAR(shape_of(r, r, r).URED, 8.0, 1e-9) << r;
  EXPECT_NEAR(shape_of(300, 200, 100).URED, shape_of(3, 2, 1).URED, 1e-5);
}

}  // namespace
}  // namespace triex

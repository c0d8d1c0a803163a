// The one-dimensional ellipsoid integrals of FUN over [0, inf), computed by
// D01AMF with the settings of the main program, against the closed forms for
// a sphere; and the hard failure for a sphere so large that the integrator
// judges the integral divergent.

#include <gtest/gtest.h>

#include <array>
#include <string>

#include "quadrature/infinite_range.hpp"
#include "shape/integrands.hpp"
#include "tests/common/child_process.hpp"
#include "tests/common/program_hook.hpp"

namespace triex {
namespace {

// D01AMF as the shape section calls it.
double alpha(double r, int NN, int& IFAIL) {
  const ShapeConstants sphere(r, r, r);
  std::array<double, 2000> W{};
  std::array<int, 500> IW{};
  double ANS = 0, ABSERR = 0;
  D01AMF([&](double X) { return FUN(sphere, NN, X); }, 0.0, 1, 0.0, 5.0e-5, ANS, ABSERR, W, 2000, IW, 500, IFAIL);
  return ANS;
}

// For a sphere of radius r, with u = r^2 + lambda:
//   NN = 1..3   int u^-5/2            = 2 / (3 r^3)
//   NN = 4..6   int u^-7/2            = 2 / (5 r^5)
//   NN = 7..9   int lambda u^-7/2     = 4 / (15 r^3)
//   NN = 10     int u^-3/2            = 2 / r
TEST(EllipsoidIntegrals, SphereGivesTheClosedFormsToTheRequestedAccuracy) {
  for (double r : {1.0, 10.0, 3.7}) {
    const double r3 = r * r * r;
    for (int NN = 1; NN <= 10; ++NN) {
      const double exact = NN <= 3   ? 2.0 / (3.0 * r3)
                           : NN <= 6 ? 2.0 / (5.0 * r3 * r * r)
                           : NN <= 9 ? 4.0 / (15.0 * r3)
                                     : 2.0 / r;
      int IFAIL = 1;
      const double value = alpha(r, NN, IFAIL);
      EXPECT_EQ(IFAIL, 0) << "r=" << r << " NN=" << NN;
      EXPECT_NEAR(value, exact, 5e-5 * exact) << "r=" << r << " NN=" << NN;
    }
  }
}

TEST(EllipsoidIntegrals, SphereOfRadiusAThousandFailsTheDivergenceTestAndEndsTheRunUnderHardFailure) {
  const testing_support::ChildResult child = testing_support::run_in_child([] {
    testing_support::exit_on_hard_failure();
    int IFAIL = 0;
    alpha(1000.0, 1, IFAIL);
  });
  EXPECT_EQ(child.exit_status, 1);
  EXPECT_EQ(child.out,
            " ** The integral is probably divergent or slowly convergent\n"
            " ** ABNORMAL EXIT from library routine D01AMF: IFAIL =     5\n"
            " ** Hard failure - execution terminated\n");
}

}  // namespace
}  // namespace triex

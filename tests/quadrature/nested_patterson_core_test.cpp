// The template form of the two-dimensional integrator: an integrand prepared
// once per outer point gives what the public routine gives for the same
// F(x, y), bit for bit, with the same counts and failure codes; the
// preparation comes once per outer point, after that point's limits.

#include "quadrature/nested_patterson_core.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "quadrature/nested_patterson.hpp"

namespace triex {
namespace {

// exp(x y) / (1 + y^2) with the factor of y prepared: the same operations in
// the same order as the plain form below.
double plain(double x, double y) { return std::exp(x * y) / (1.0 + y * y); }

struct Prepared {
  std::vector<std::string>* log;
  auto at(double y) const {
    if (log != nullptr) log->push_back("at " + std::to_string(y));
    const double q = 1.0 + y * y;
    return [y, q](double x) { return std::exp(x * y) / q; };
  }
};

double low(double) { return 0.0; }
double high(double y) { return 1.0 + y; }

struct Outcome {
  double ANS = 0;
  int NPTS = 0, IFAIL = 1;
};

TEST(D01DAFPrepared, GivesThePublicRoutinesResultsBitForBit) {
  for (double ABSACC : {1.0e-2, 1.0e-5, 1.0e-10, 0.0, -1.0}) {
    Outcome pub, pre;
    D01DAF(0.0, 2.0, low, high, plain, ABSACC, pub.ANS, pub.NPTS, pub.IFAIL);
    D01DAF_prepared(0.0, 2.0, low, high, Prepared{nullptr}, ABSACC, pre.ANS, pre.NPTS, pre.IFAIL);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(pre.ANS), std::bit_cast<std::uint64_t>(pub.ANS)) << ABSACC;
    EXPECT_EQ(pre.NPTS, pub.NPTS) << ABSACC;
    EXPECT_EQ(pre.IFAIL, pub.IFAIL) << ABSACC;
  }
  // With a negative accuracy nothing converges: the largest rules everywhere.
  Outcome r;
  D01DAF_prepared(0.0, 2.0, low, high, Prepared{nullptr}, -1.0, r.ANS, r.NPTS, r.IFAIL);
  EXPECT_EQ(r.NPTS, 65025);
  EXPECT_EQ(r.IFAIL, 2551);
}

TEST(D01DAFPrepared, PreparesOncePerOuterPointAfterItsLimits) {
  std::vector<std::string> log;
  const auto phi1 = [&log](double y) {
    log.push_back("PHI1 " + std::to_string(y));
    return 0.0;
  };
  const auto phi2 = [&log](double y) {
    log.push_back("PHI2 " + std::to_string(y));
    return 1.0;
  };
  Outcome r;
  D01DAF_prepared(0.0, 1.0, phi1, phi2, Prepared{&log}, 1.0e-3, r.ANS, r.NPTS, r.IFAIL);
  ASSERT_EQ(log.size() % 3, 0u);
  const std::size_t outer_points = log.size() / 3;
  EXPECT_GE(outer_points, 3u);
  for (std::size_t i = 0; i < outer_points; ++i) {
    const std::string y = log[3 * i].substr(5);
    EXPECT_EQ(log[3 * i], "PHI1 " + y);
    EXPECT_EQ(log[3 * i + 1], "PHI2 " + y);
    EXPECT_EQ(log[3 * i + 2], "at " + y);
  }
  // The outer midpoint first.
  EXPECT_EQ(log[0], "PHI1 " + std::to_string(0.5));
}

TEST(D01DAFPrepared, EmptyOuterRangePreparesNothing) {
  std::vector<std::string> log;
  Outcome r;
  D01DAF_prepared(0.3, 0.3, low, high, Prepared{&log}, 1.0e-5, r.ANS, r.NPTS, r.IFAIL);
  EXPECT_TRUE(log.empty());
  EXPECT_EQ(r.ANS, 0.0);
  EXPECT_EQ(r.NPTS, 0);
  EXPECT_EQ(r.IFAIL, 0);
}

}  // namespace
}  // namespace triex

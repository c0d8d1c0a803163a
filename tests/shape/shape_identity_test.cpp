// The shape section gives, bit for bit, the results recorded from the plain
// implementation (every integrand value computed by FYS and FYR as their
// formulas read, through the public two-dimensional integrator): URED, S and R
// as exact doubles, and both evaluation counts and failure codes. The faster
// path that the shape section takes must change nothing; the reference comes
// from tools/record_shape_identity.cpp.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "shape/integrands.hpp"
#include "shape/params.hpp"
#include "shape/shape_section.hpp"
#include "tests/shape/shape_identity_data.hpp"

namespace triex {
namespace {

using shape_identity::Entry;
using shape_identity::kRecords;
using shape_identity::Record;

// The run's two ways of entering the shape.
void enter(const Record& record) {
  if (record.entry == Entry::SemiAxes) {
    set_semi_axes(record.first, record.second, record.third);
  } else {
    set_axial_ratios(record.first, record.second);
  }
}

std::string hex(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%a", value);
  return text;
}

std::string describe(const Record& record) {
  char text[120];
  if (record.entry == Entry::SemiAxes)
    std::snprintf(text, sizeof text, "a, b, c = %.17g, %.17g, %.17g", record.first, record.second, record.third);
  else
    std::snprintf(text, sizeof text, "a/b, b/c = %.17g, %.17g", record.first, record.second);
  return text;
}

// Exact equality of the bit patterns (also tells -0.0 from 0.0 and compares NaNs).
#define EXPECT_SAME_BITS(actual, expected, what)                                          \
  EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected)) \
      << what << ": " << hex(actual) << " instead of " << hex(expected)

// The prepared integrands against the plain call-backs, point by point: any
// angles (not only the nodes of the rules), the ends of the octant, and the
// recorded shapes. Every inner run below starts a new azimuth and makes its
// calls at other elevations than the run before at the same call numbers, so
// the table of elevations must recompute rather than serve a stale angle.
TEST(ShapeIdentity, PreparedIntegrandsGiveThePlainValuesBitForBit) {
  const double angles[] = {0.0, 1e-9, 0.1, 0.3, 0.5, 0.785, 1.0, 1.2345, 1.5, 1.570795, 1.5707963267948966};
  for (const Record& record : kRecords) {
    SCOPED_TRACE(describe(record));
    enter(record);
    const ShapeConstants shape(PARAMS.A, PARAMS.B, PARAMS.C);
    ElevationTable elevations(shape);
    const SurfaceIntegrand fys(shape, elevations);
    const CurvatureIntegrand fyr(shape, elevations);
    int shift = 0;
    for (double Y : angles) {
      auto s = fys.at(Y);
      auto r = fyr.at(Y);
      ++shift;
      for (std::size_t i = 0; i < std::size(angles); ++i) {
        const double X = angles[(i + static_cast<std::size_t>(shift)) % std::size(angles)];
        EXPECT_SAME_BITS(s(X), FYS(X, Y), "FYS at " << X << ", " << Y);
        EXPECT_SAME_BITS(r(X), FYR(X, Y), "FYR at " << X << ", " << Y);
      }
    }
  }
}

// The C library's values (not the compiler's constant folding).
double runtime_cos(double x) {
  volatile double v = x;
  return std::cos(v);
}
double runtime_sin(double x) {
  volatile double v = x;
  return std::sin(v);
}

// At one azimuth the table serves the elevation of a call number that it has
// seen; a different elevation at that number gets its own values.
TEST(ShapeIdentity, TheElevationTableServesOnlyTheSameAngle) {
  const ShapeConstants shape(3, 2, 1);
  ElevationTable elevations(shape);
  const Elevation first = elevations.at_call(0, 0.25);
  const Elevation again = elevations.at_call(0, 0.25);
  EXPECT_SAME_BITS(again.CSX, first.CSX, "CSX");
  const double next_up = std::nextafter(0.25, 1.0);
  const Elevation other = elevations.at_call(0, next_up);
  EXPECT_SAME_BITS(other.X, next_up, "X");
  EXPECT_SAME_BITS(other.CSX, runtime_cos(next_up), "CSX");
  EXPECT_SAME_BITS(other.SNX2, runtime_sin(next_up) * runtime_sin(next_up), "SNX2");
  EXPECT_SAME_BITS(other.Z3, runtime_sin(next_up) * runtime_sin(next_up) / (1.0 * 1.0), "Z3");
  // Beyond the calls it keeps, or out of sequence, it still computes.
  for (std::size_t k : {std::size_t{1000}, std::size_t{5}}) {
    const Elevation far = elevations.at_call(k, 0.75);
    EXPECT_SAME_BITS(far.CSX, runtime_cos(0.75), "CSX");
  }
  EXPECT_SAME_BITS(elevations.at_call(1, 0.5).CSX, runtime_cos(0.5), "CSX");
  EXPECT_SAME_BITS(elevations.at_call(5, 1.25).CSX, runtime_cos(1.25), "CSX");
}

TEST(ShapeIdentity, TheRecordedShapesCoverBothEntriesAndBothOutcomes) {
  int ratios = 0, failed = 0, largest = 0;
  for (const Record& record : kRecords) {
    ratios += record.entry == Entry::AxialRatios;
    failed += record.IFAIL_S != 0 || record.IFAIL_R != 0;
    largest += record.NPTS_S == 65025 || record.NPTS_R == 65025;
  }
  EXPECT_GE(kRecords.size(), 200u);
  EXPECT_GE(ratios, 50);
  EXPECT_GE(failed, 20);
  EXPECT_GE(largest, 2);
}

TEST(ShapeIdentity, EveryResultIsBitIdenticalToThePlainImplementation) {
  for (const Record& record : kRecords) {
    SCOPED_TRACE(describe(record));
    enter(record);
    const ShapeResult result = shape_section();
    EXPECT_SAME_BITS(result.URED, record.URED, "URED");
    EXPECT_SAME_BITS(result.S, record.S, "S");
    EXPECT_SAME_BITS(result.R, record.R, "R");
    EXPECT_EQ(result.NPTS_S, record.NPTS_S);
    EXPECT_EQ(result.NPTS_R, record.NPTS_R);
    EXPECT_EQ(result.IFAIL_S, record.IFAIL_S);
    EXPECT_EQ(result.IFAIL_R, record.IFAIL_R);
  }
}

// The reentrant entry takes the shape as arguments and keeps nothing between
// calls: several threads running all the recorded shapes at once, each from a
// different starting point, all get the recorded bits.
TEST(ShapeIdentity, TheReentrantEntryGivesTheSameBitsInFourThreadsAtOnce) {
  constexpr std::size_t kThreads = 4;
  std::vector<std::vector<std::string>> mismatches(kThreads);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &mismatches] {
      for (std::size_t i = 0; i < kRecords.size(); ++i) {
        const Record& record = kRecords[(i + t * kRecords.size() / kThreads) % kRecords.size()];
        const bool axes = record.entry == Entry::SemiAxes;
        // The dialogue's shape rule for axial ratios: C = 1, B = b/c, A = (a/b)(b/c).
        const double A = axes ? record.first : record.first * record.second;
        const double B = axes ? record.second : record.second;
        const double C = axes ? record.third : 1.0;
        const ShapeQuadrature q = reduced_excluded_volume(A, B, C);
        const auto same = [](double x, double y) { return std::bit_cast<std::uint64_t>(x) == std::bit_cast<std::uint64_t>(y); };
        if (!same(q.URED, record.URED) || !same(q.S, record.S) || !same(q.R, record.R) || q.NPTS_S != record.NPTS_S ||
            q.NPTS_R != record.NPTS_R || q.IFAIL_S != record.IFAIL_S || q.IFAIL_R != record.IFAIL_R)
          mismatches[t].push_back(describe(record));
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (std::size_t t = 0; t < kThreads; ++t) {
    EXPECT_TRUE(mismatches[t].empty()) << "thread " << t << ": " << mismatches[t].size() << " shapes differ, first "
                                       << (mismatches[t].empty() ? "" : mismatches[t].front());
  }
}

// Calling the shape section again for the same shape (the integrals count
// their selector from 0 again) gives the same results and stays in bounds.
TEST(ShapeIdentity, TheShapeSectionCanRunTwiceForOneShape) {
  set_semi_axes(3, 2, 1);
  const ShapeResult first = shape_section();
  const ShapeResult second = shape_section();
  EXPECT_SAME_BITS(second.URED, first.URED, "URED");
  EXPECT_SAME_BITS(second.ALPHA[9], first.ALPHA[9], "ALPHA(10)");
  EXPECT_EQ(PARAMS.NN, 10);
}

// The dialogue replaces a quadrature value only where it is plainly wrong.
// Over the recorded shapes, those replaced are each off the closed form by
// more than kQuadratureTrust (or not finite), those kept are off by no more
// and keep their bits; the shapes of the reduced excluded volume table
// (within 1e-6 of the closed form) are all kept.
TEST(ShapeIdentity, OnlyPlainlyWrongQuadratureValuesAreReplacedByTheClosedForm) {
  int replaced = 0;
  for (const Record& record : kRecords) {
    const bool axes = record.entry == Entry::SemiAxes;
    const double A = axes ? record.first : record.first * record.second;
    const double B = record.second;
    const double C = axes ? record.third : 1.0;
    const CheckedUred checked = checked_ured(record.URED, A, B, C);
    const double off = std::abs(record.URED - checked.exact) / checked.exact;
    if (checked.replaced) {
      ++replaced;
      EXPECT_TRUE(!std::isfinite(record.URED) || off > kQuadratureTrust) << describe(record);
      EXPECT_SAME_BITS(checked.URED, checked.exact, describe(record));
      std::printf("replaced: %s: quadrature %.9g, exact %.9g, off by %.2e\n", describe(record).c_str(), record.URED,
                  checked.exact, off);
    } else {
      EXPECT_LE(off, kQuadratureTrust) << describe(record);
      EXPECT_SAME_BITS(checked.URED, record.URED, describe(record));
    }
  }
  std::printf("%d of %zu recorded shapes replaced\n", replaced, kRecords.size());
  EXPECT_EQ(replaced, 26);  // as recorded with the closed form of this tree
  const double table[][3] = {{1, 1, 1},  {2, 1, 1},   {1, 1, 0.5},  {3, 2, 1},  {1, 2, 3},
                             {10, 1, 1}, {1, 1, 0.1}, {100, 1, 1}, {50, 20, 1}};
  for (const auto& s : table) {
    EXPECT_FALSE(checked_ured(reduced_excluded_volume(s[0], s[1], s[2]).URED, s[0], s[1], s[2]).replaced)
        << s[0] << ", " << s[1] << ", " << s[2];
  }
}

}  // namespace
}  // namespace triex

// Records the reference results of the shape section for the bit-identity
// guard (tests/shape/shape_identity_test.cpp): for about two hundred shapes,
// URED, S, R, the two NPTS and the two IFAIL of the double integrals, written
// as exact hexadecimal doubles into tests/shape/shape_identity_data.hpp.
//
// The reference is computed the plain way: the public D01DAF with the plain
// call-backs FYS and FYR (every integrand value as their formulas read), then
// S, R and URED as the shape section forms them. The shape section itself
// takes a faster path that must not change a single bit; the recorder runs it
// too and refuses to write anything when the two differ. (The first
// recording was made with the plain implementation before any speed-up.)
// Regenerate only when a result is meant to change:
//
//   cmake --build <build> --target record_shape_identity
//   <build>/record_shape_identity > tests/shape/shape_identity_data.hpp
//
// Built on demand only (excluded from the default build and from the tests).
//
// The shapes: the table of reduced excluded volumes and the benchmarked
// shapes, spheres of several sizes, extreme needles and discs, semi-axes drawn
// log-uniformly over several decades, and axial ratios (a/b, b/c) entered as
// the run enters them (C = 1, B = b/c, A = (a/b)(b/c)). The draws come from
// splitmix64 with a fixed seed, mapped to doubles by this file alone, so the
// list does not depend on the standard library's distributions.

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "quadrature/nested_patterson.hpp"
#include "shape/integrands.hpp"
#include "shape/params.hpp"
#include "shape/shape_section.hpp"

namespace {

enum class Entry { SemiAxes, AxialRatios };

struct Shape {
  Entry entry;
  double first, second, third;  // a, b, c; or a/b, b/c and unused
};

// splitmix64 (Steele, Lea and Flood, OOPSLA 2014): a fixed sequence on every platform.
struct SplitMix64 {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9e3779b97f4a7c15ULL);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1) with 53 random bits.
  double unit() { return static_cast<double>(next() >> 11) * 0x1p-53; }
  // Log-uniform between 10^lo and 10^hi, rounded to four significant digits as
  // a user would type it.
  double decades(double lo, double hi) {
    const double v = std::pow(10.0, lo + (hi - lo) * unit());
    const double scale = std::pow(10.0, 3.0 - std::floor(std::log10(v)));
    return std::round(v * scale) / scale;
  }
};

std::vector<Shape> shapes() {
  std::vector<Shape> list = {
      // The table of reduced excluded volumes.
      {Entry::SemiAxes, 1, 1, 1},
      {Entry::SemiAxes, 2, 1, 1},
      {Entry::SemiAxes, 1, 1, 0.5},
      {Entry::SemiAxes, 3, 2, 1},
      {Entry::SemiAxes, 1, 2, 3},
      {Entry::SemiAxes, 10, 1, 1},
      {Entry::SemiAxes, 1, 1, 0.1},
      {Entry::SemiAxes, 100, 1, 1},
      {Entry::SemiAxes, 50, 20, 1},
      // Benchmarked shapes and other known cases.
      {Entry::SemiAxes, 1000, 1, 1},
      {Entry::SemiAxes, 10000, 100, 1},
      {Entry::SemiAxes, 300, 200, 100},
      {Entry::SemiAxes, 30, 20, 10},
      {Entry::AxialRatios, 1.5, 2, 0},
      {Entry::AxialRatios, 1, 1, 0},
      {Entry::AxialRatios, 3, 4, 0},
      // Spheres: 45 + 45 points, 21 + 21 for radius 0.1.
      {Entry::SemiAxes, 0.1, 0.1, 0.1},
      {Entry::SemiAxes, 10, 10, 10},
      {Entry::SemiAxes, 150, 150, 150},
      {Entry::SemiAxes, 1000, 1000, 1000},
      // Needles, discs and their relabellings, up to the largest rules.
      {Entry::SemiAxes, 10000, 1, 1},
      {Entry::SemiAxes, 1, 10000, 1},
      {Entry::SemiAxes, 1, 1, 10000},
      {Entry::SemiAxes, 1, 1, 0.001},
      {Entry::SemiAxes, 1000, 1000, 1},
      {Entry::SemiAxes, 1, 100, 10000},
      {Entry::SemiAxes, 0.01, 1, 100},
      {Entry::SemiAxes, 100, 1, 0.01},
      {Entry::AxialRatios, 1000, 1, 0},
      {Entry::AxialRatios, 1, 1000, 0},
      {Entry::AxialRatios, 0.001, 1, 0},
      {Entry::AxialRatios, 100, 100, 0},
  };
  SplitMix64 random{20240607};
  // Semi-axes with moderate ratios (each within three decades) ...
  for (int k = 0; k < 70; ++k) {
    const double a = random.decades(-1, 2), b = random.decades(-1, 2), c = random.decades(-1, 2);
    list.push_back({Entry::SemiAxes, a, b, c});
  }
  // ... and over six decades, where the rules run out.
  for (int k = 0; k < 40; ++k) {
    const double a = random.decades(-2, 4), b = random.decades(-2, 4), c = random.decades(-2, 4);
    list.push_back({Entry::SemiAxes, a, b, c});
  }
  // Axial ratios, with c as the unit of length.
  for (int k = 0; k < 60; ++k) {
    const double n1 = random.decades(-2, 3), n2 = random.decades(-2, 3);
    list.push_back({Entry::AxialRatios, n1, n2, 0});
  }
  return list;
}

// Sets PARAMS as the run does for either form of entry.
void enter(const Shape& shape) {
  if (shape.entry == Entry::SemiAxes) {
    triex::set_semi_axes(shape.first, shape.second, shape.third);
  } else {
    triex::set_axial_ratios(shape.first, shape.second);
  }
}

// The double integrals and URED with the plain call-backs through the public
// integrator, in the shape section's order of operations.
triex::ShapeResult plain_section() {
  using namespace triex;
  ShapeResult result;
  double ANS = 0, ANSR = 0;
  int IFAIL = 1;
  D01DAF(0.0, kHalfPi, YLOW, YUP, FYS, 1.0e-5, ANS, result.NPTS_S, IFAIL);
  result.IFAIL_S = IFAIL;
  result.S = ANS * 8.0 / 3.0;
  IFAIL = 1;
  D01DAF(0.0, kHalfPi, YLOW, YUP, FYR, 1.0e-5, ANSR, result.NPTS_R, IFAIL);
  result.IFAIL_R = IFAIL;
  result.R = ANSR * 2.0 / 9.42477;
  result.URED = result.R * result.S * 6.0 / (PARAMS.A * PARAMS.B * PARAMS.C * 12.56636) + 2.0;
  return result;
}

bool same(double a, double b) { return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b); }

bool same(const triex::ShapeResult& a, const triex::ShapeResult& b) {
  return same(a.URED, b.URED) && same(a.S, b.S) && same(a.R, b.R) && a.NPTS_S == b.NPTS_S && a.NPTS_R == b.NPTS_R &&
         a.IFAIL_S == b.IFAIL_S && a.IFAIL_R == b.IFAIL_R;
}

}  // namespace

int main() {
  const std::vector<Shape> list = shapes();
  std::vector<triex::ShapeResult> results;
  for (const Shape& shape : list) {
    enter(shape);
    const triex::ShapeResult section = triex::shape_section();
    enter(shape);
    const triex::ShapeResult plain = plain_section();
    if (!same(section, plain)) {
      std::fprintf(stderr, "the shape section differs from the plain computation for %.17g, %.17g, %.17g\n",
                   shape.first, shape.second, shape.third);
      return 1;
    }
    results.push_back(plain);
  }
  std::printf(
      "// generated by tools/record_shape_identity.cpp, do not edit\n"
      "//\n"
      "// Results of the shape section recorded from the plain implementation, to\n"
      "// the bit: the reference of tests/shape/shape_identity_test.cpp.\n"
      "#pragma once\n\n"
      "#include <array>\n\n"
      "namespace triex::shape_identity {\n\n"
      "enum class Entry { SemiAxes, AxialRatios };\n\n"
      "struct Record {\n"
      "  Entry entry;\n"
      "  double first, second, third;  // a, b, c; or a/b, b/c and unused\n"
      "  double URED, S, R;\n"
      "  int NPTS_S, NPTS_R, IFAIL_S, IFAIL_R;\n"
      "};\n\n"
      "inline constexpr std::array<Record, %zu> kRecords{{\n",
      list.size());
  for (std::size_t i = 0; i < list.size(); ++i) {
    const Shape& shape = list[i];
    const triex::ShapeResult& r = results[i];
    const bool axes = shape.entry == Entry::SemiAxes;
    if (axes)
      std::printf("    // a, b, c = %.17g, %.17g, %.17g: URED = %.9g\n", shape.first, shape.second, shape.third,
                  r.URED);
    else
      std::printf("    // a/b, b/c = %.17g, %.17g: URED = %.9g\n", shape.first, shape.second, r.URED);
    std::printf("    {Entry::%s, %a, %a, %a,\n     %a, %a, %a, %d, %d, %d, %d},\n", axes ? "SemiAxes" : "AxialRatios",
                shape.first, shape.second, shape.third, r.URED, r.S, r.R, r.NPTS_S, r.NPTS_R, r.IFAIL_S, r.IFAIL_R);
  }
  std::printf("}};\n\n}  // namespace triex::shape_identity\n");
  return 0;
}

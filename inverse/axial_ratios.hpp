// The shape of an ellipsoid as its two axial ratios, and the largest ratios
// the inverse solvers consider. Self-contained: the public header
// include/triex/triex.hpp includes it as it is (it is installed beside it).
#pragma once

namespace triex {

struct AxialRatios {
  double a_over_b;
  double b_over_c;
};

// The largest axial ratio the solver considers (for both a/b and b/c).
inline constexpr double kMaxSolveRatio = 1e12;

// The largest axial ratio of the fit's search (both a/b and b/c).
inline constexpr double kMaxFitRatio = 1000;

}  // namespace triex

#include "inverse/solve.hpp"

#include <algorithm>
#include <boost/math/policies/policy.hpp>
#include <boost/math/tools/toms748_solve.hpp>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>

#include "shape/closed_form.hpp"

namespace triex {
namespace {

// u_red of the shape at (u, v) = (ln(a/b), ln(b/c)), as the ellipsoid
// a = e^u, b = 1, c = e^-v (no product of the two ratios is rounded).
double ured_at(double u, double v) { return closed_form_ured(std::exp(u), 1.0, std::exp(-v)); }

const double kLogMaxRatio = std::log(kMaxSolveRatio);

// The crossing of the ray at angle theta (u = s cos theta, v = s sin theta)
// with the curve u_red = X, for 0 <= s <= the edge of the supported square.
AxialRatios crossing(double X, double cos_theta, double sin_theta) {
  const auto shape = [&](double s) {
    return std::pair{s * cos_theta, s * sin_theta};
  };
  const auto f = [&](double s) {
    const auto [u, v] = shape(s);
    return ured_at(u, v) - X;
  };
  const double s_max = kLogMaxRatio / std::max(cos_theta, sin_theta);
  const double f_max = f(s_max);
  if (!(f_max >= 0)) throw std::invalid_argument("the curve leaves the supported axial ratios");

  // Stop when the bracket is a few ulps wide: u_red then agrees with X to
  // far better than 1e-12, even where it is steep (about e^s for needles).
  const auto tolerance = [](double lo, double hi) { return hi - lo <= 4 * std::numeric_limits<double>::epsilon() * hi; };
  std::uintmax_t iterations = 200;
  const auto [lo, hi] = boost::math::tools::toms748_solve(f, 0.0, s_max, 8.0 - X, f_max, tolerance, iterations);
  const double s = std::abs(f(lo)) <= std::abs(f(hi)) ? lo : hi;
  const auto [u, v] = shape(s);
  return {std::exp(u), std::exp(v)};
}

}  // namespace

double largest_ured_within_ratio_limit() {
  return std::min(ured_at(kLogMaxRatio, 0.0), ured_at(0.0, kLogMaxRatio));
}

std::vector<AxialRatios> ured_level_curve(double X, int points) {
  std::vector<AxialRatios> curve;
  curve.reserve(static_cast<std::size_t>(points));
  for (int k = 0; k < points; ++k) {
    double cos_theta = 1.0, sin_theta = 0.0;  // the ends exactly on the axes
    if (k == points - 1) {
      cos_theta = 0.0;
      sin_theta = 1.0;
    } else if (k > 0) {
      const double theta = std::numbers::pi / 2 * k / (points - 1);
      cos_theta = std::cos(theta);
      sin_theta = std::sin(theta);
    }
    curve.push_back(crossing(X, cos_theta, sin_theta));
  }
  return curve;
}

}  // namespace triex

#include "shape/carlson.hpp"

#include <algorithm>
#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/ellint_rg.hpp>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <utility>

namespace triex {
namespace {

// Promoting to long double costs five times the time for an error that stays
// within a few ulps in double.
using DoublePolicy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

// R_F's seventh-order series about the mean A of the arguments, times
// sqrt(A), in the elementary symmetric functions of the scaled deviations
// X = (A - x)/A and Y = (A - y)/A (the third is -X - Y).
double RF_series(double X, double Y) {
  const double Z = -X - Y;
  const double E2 = X * Y - Z * Z;
  const double E3 = X * Y * Z;
  return 1 + E3 * (1.0 / 14 + 3 * E3 / 104) +
         E2 * (-1.0 / 10 + E2 / 24 - (3 * E3) / 44 - 5 * E2 * E2 / 208 + E2 * E3 / 16);
}

// R_D's sixth-order series about A = (x + y + 3z)/5, times A^3/2, in the
// scaled deviations X = (A - x)/A and Y = (A - y)/A of the two arguments that
// are not distinguished.
double RD_series(double X, double Y) {
  const double Z = -(X + Y) / 3;
  const double E2 = X * Y - 6 * Z * Z;
  const double E3 = (3 * X * Y - 8 * Z * Z) * Z;
  const double E4 = 3 * (X * Y - Z * Z) * Z * Z;
  const double E5 = X * Y * Z * Z * Z;
  return 1 - 3 * E2 / 14 + E3 / 6 + 9 * E2 * E2 / 88 - 3 * E4 / 22 - 9 * E2 * E3 / 52 + 3 * E5 / 26 -
         E2 * E2 * E2 / 16 + 3 * E3 * E3 / 40 + 3 * E2 * E4 / 20 + 45 * E2 * E2 * E3 / 272 -
         9 * (E3 * E4 + E2 * E5) / 68;
}

}  // namespace

double carlson_RG(double x, double y, double z) {
  // Largest x, middle z, smallest y.
  if (x < y) std::swap(x, y);
  if (x < z) std::swap(x, z);
  if (y > z) std::swap(y, z);
  if (!(x > 0)) return 0;  // all three 0
  // R_G(4^k x, 4^k y, 4^k z) = 2^k R_G(x, y, z), and scaling by a power of 4
  // is exact: with the largest argument in [1, 4) no product or quotient of
  // the duplications leaves the range of doubles.
  if (x < 1 || x >= 4) {
    const int k = std::ilogb(x) >> 1;  // floor(log4 x): an arithmetic shift rounds down
    return std::ldexp(carlson_RG(std::ldexp(x, -2 * k), std::ldexp(y, -2 * k), std::ldexp(z, -2 * k)), k);
  }
  // Both smaller arguments negligible: R_G(x, y, z) = sqrt(x)/2 (1 + O((z/x)
  // ln(x/z))), exact to the last bit once z/x < 1e-300, where the first
  // duplication would divide by a product below the range of doubles.
  if (z <= x * 1e-300) return std::sqrt(x) / 2;
  // Two equal arguments have exact elementary forms. One zero (y) needs
  // none: with the middle argument distinguished every term of the sum
  // below stays positive, and the duplications take a zero argument.
  if (x == z || y == z) return boost::math::ellint_rg(x, y, z, DoublePolicy());

  // The means about which the two series are taken, and the bounds of their
  // spread below which the series are exact to double precision.
  const double AF0 = (x + y + z) / 3;
  const double AD0 = (x + y + 3 * z) / 5;
  double QF = std::pow(3 * kEpsilon, -1.0 / 8) * std::max({std::abs(AF0 - x), std::abs(AF0 - y), std::abs(AF0 - z)});
  double QD = std::pow(kEpsilon / 4, -1.0 / 8) * std::max({AD0 - x, AD0 - y, AD0 - z}) * 1.2;
  double AF = AF0, AD = AD0;
  double xn = x, yn = y, zn = z;
  double scale = 1;  // 4^-n after n duplications
  double RD_sum = 0;
  for (int n = 0; n < 100 && (QF >= AF || QD >= AD); ++n) {
    const double rx = std::sqrt(xn), ry = std::sqrt(yn), rz = std::sqrt(zn);
    const double lambda = rx * ry + rx * rz + ry * rz;
    RD_sum += scale / (rz * (zn + lambda));
    AF = (AF + lambda) / 4;
    AD = (AD + lambda) / 4;
    xn = (xn + lambda) / 4;
    yn = (yn + lambda) / 4;
    zn = (zn + lambda) / 4;
    scale /= 4;
    QF /= 4;
    QD /= 4;
  }

  const double RF = RF_series(scale * (AF0 - x) / AF, scale * (AF0 - y) / AF) / std::sqrt(AF);
  // R_D: the series, plus the terms the duplications shed.
  const double RD = scale / (AD * std::sqrt(AD)) * RD_series(scale * (AD0 - x) / AD, scale * (AD0 - y) / AD) +
                    3 * RD_sum;

  return (z * RF - (x - z) * (y - z) * RD / 3 + std::sqrt(x * y / z)) / 2;
}

// The duplication acts on all three arguments at once and keeps their
// differences exact up to the factor 4^-n, x_i - x_j = 4^-n (x_i0 - x_j0), so
// each divided difference is a sum of divided differences of the terms
// 4^-n / (sqrt(t) (t + lambda)) that R_D sheds, written without cancellation:
//   [1/g(x_j) - 1/g(x_i)] / (x_i - x_j)
//     = (x_i + sqrt(x_i x_j) + x_j + lambda) / ((sqrt(x_i) + sqrt(x_j)) g(x_i) g(x_j)),
// g(t) = sqrt(t) (t + lambda), times 4^-n once more for the differences. What
// the series leaves is the divided difference of its leading term, 3/5 A^-5/2
// times 4^-2n; one more stopping condition keeps the rest of the series below
// the last bit.
JefferyIntegrals carlson_jeffery(double x1, double x2, double x3) {
  constexpr double r = 1e-16;  // the relative error asked of each series
  constexpr int kMaxDuplications = 200;
  const std::array<double, 3> x0 = {x1, x2, x3};
  std::array<double, 3> x = x0;
  const double AF0 = (x1 + x2 + x3) / 3;
  std::array<double, 3> AD0{};
  for (int i = 0; i < 3; ++i) AD0[i] = (x1 + x2 + x3 + 2 * x0[i]) / 5;
  const double spreadF = std::max({std::abs(AF0 - x1), std::abs(AF0 - x2), std::abs(AF0 - x3)});
  const double QF = std::pow(3 * r, -1.0 / 6) * spreadF;
  std::array<double, 3> QD{};
  for (int i = 0; i < 3; ++i)
    QD[i] = std::pow(r / 4, -1.0 / 6) *
            std::max({std::abs(AD0[i] - x1), std::abs(AD0[i] - x2), std::abs(AD0[i] - x3)});

  double AF = AF0;
  std::array<double, 3> AD = AD0;
  std::array<double, 3> S{};   // sum of 4^-n / g(x_i)
  std::array<double, 3> SD{};  // sum of the divided differences, pair (j, k) at index i
  double f = 1;                // 4^-n
  const auto converged = [&] {
    if (f * QF >= AF) return false;
    for (int i = 0; i < 3; ++i)
      if (f * QD[i] >= AD[i]) return false;
    return f * f * f * spreadF / AF < 1e-17;
  };
  int n = 0;
  for (; n < kMaxDuplications && !converged(); ++n) {
    const std::array<double, 3> s = {std::sqrt(x[0]), std::sqrt(x[1]), std::sqrt(x[2])};
    const double lambda = s[0] * s[1] + s[1] * s[2] + s[2] * s[0];
    std::array<double, 3> g{};
    for (int i = 0; i < 3; ++i) g[i] = s[i] * (x[i] + lambda);
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3, k = (i + 2) % 3;
      S[i] += f / g[i];
      SD[i] += f * f * (x[j] + s[j] * s[k] + x[k] + lambda) / ((s[j] + s[k]) * g[j] * g[k]);
    }
    f /= 4;
    for (int i = 0; i < 3; ++i) {
      x[i] = (x[i] + lambda) / 4;
      AD[i] = (AD[i] + lambda) / 4;
    }
    AF = (AF + lambda) / 4;
  }
  // The cap is never reached for arguments in [0, 1]; should it be, the
  // series would be far from exact and no number may come out.
  if (!converged()) throw std::runtime_error("Carlson's duplications did not converge");

  JefferyIntegrals out{};
  out.duplications = n;
  out.RF = RF_series(f * (AF0 - x1) / AF, f * (AF0 - x2) / AF) / std::sqrt(AF);
  const double mean = (x[0] + x[1] + x[2]) / 3;
  const double tail = f * f * 0.6 / (mean * mean * std::sqrt(mean));
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3, k = (i + 2) % 3;
    out.RD[i] = f / (AD[i] * std::sqrt(AD[i])) * RD_series(f * (AD0[i] - x0[j]) / AD[i], f * (AD0[i] - x0[k]) / AD[i]) +
                3 * S[i];
    out.DD[i] = 3 * SD[i] + tail;
  }
  return out;
}

}  // namespace triex

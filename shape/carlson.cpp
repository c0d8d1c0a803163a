#include "shape/carlson.hpp"

#include <algorithm>
#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/ellint_rg.hpp>
#include <cmath>
#include <limits>
#include <utility>

namespace triex {
namespace {

// Promoting to long double costs five times the time for an error that stays
// within a few ulps in double.
using DoublePolicy = boost::math::policies::policy<boost::math::policies::promote_double<false>>;

constexpr double kEpsilon = std::numeric_limits<double>::epsilon();

}  // namespace

double carlson_RG(double x, double y, double z) {
  // Largest x, middle z, smallest y.
  if (x < y) std::swap(x, y);
  if (x < z) std::swap(x, z);
  if (y > z) std::swap(y, z);
  if (y == 0 || x == z || y == z) return boost::math::ellint_rg(x, y, z, DoublePolicy());

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

  // R_F: the seventh-order series in the elementary symmetric functions.
  double X = scale * (AF0 - x) / AF;
  double Y = scale * (AF0 - y) / AF;
  double Z = -X - Y;
  double E2 = X * Y - Z * Z;
  double E3 = X * Y * Z;
  const double RF = (1 + E3 * (1.0 / 14 + 3 * E3 / 104) +
                     E2 * (-1.0 / 10 + E2 / 24 - (3 * E3) / 44 - 5 * E2 * E2 / 208 + E2 * E3 / 16)) /
                    std::sqrt(AF);

  // R_D: the sixth-order series, plus the terms the duplications shed.
  X = scale * (AD0 - x) / AD;
  Y = scale * (AD0 - y) / AD;
  Z = -(X + Y) / 3;
  E2 = X * Y - 6 * Z * Z;
  E3 = (3 * X * Y - 8 * Z * Z) * Z;
  const double E4 = 3 * (X * Y - Z * Z) * Z * Z;
  const double E5 = X * Y * Z * Z * Z;
  const double RD = scale / (AD * std::sqrt(AD)) *
                        (1 - 3 * E2 / 14 + E3 / 6 + 9 * E2 * E2 / 88 - 3 * E4 / 22 - 9 * E2 * E3 / 52 + 3 * E5 / 26 -
                         E2 * E2 * E2 / 16 + 3 * E3 * E3 / 40 + 3 * E2 * E4 / 20 + 45 * E2 * E2 * E3 / 272 -
                         9 * (E3 * E4 + E2 * E5) / 68) +
                    3 * RD_sum;

  return (z * RF - (x - z) * (y - z) * RD / 3 + std::sqrt(x * y / z)) / 2;
}

}  // namespace triex

// Carlson's completely symmetric elliptic integral of the second kind,
//   R_G(x, y, z) = (z R_F(x, y, z) - (x - z)(y - z) R_D(x, y, z) / 3 + sqrt(x y / z)) / 2
// (DLMF 19.21.10), with z the middle one of the three arguments, so that the
// second term adds rather than cancels.
//
// R_F and R_D are computed together: Carlson's duplication theorem maps
// (x, y, z) to ((x + l)/4, (y + l)/4, (z + l)/4), l = sqrt(xy) + sqrt(yz) +
// sqrt(zx), for both integrals alike, so one sequence of duplications serves
// the two; each then ends in its own Taylor series about the mean of the
// arguments (B. C. Carlson, "Numerical computation of real or complex
// elliptic integrals", Numer. Algorithms 10, 1995, 13-26, algorithms 1 and 4,
// with the stopping rules and series of the seventh and sixth order). The
// sequence runs until both series are accurate to the last bit, which halves
// the square roots against computing R_F and R_D one after the other.
//
// Arguments with a zero or with two equal values take the special forms of
// Boost.Math's ellint_rg (in double arithmetic), which are exact there.
//
// The hydrodynamic integrals of an ellipsoid take a sequence on the squared
// semi-axes, which yields R_F, the three R_D with each argument distinguished
// in turn, and the three divided differences of R_D between two arguments,
// all together (see carlson_jeffery below).
//
// Square roots and divisions dominate the duplications, and they take no
// longer on the two lanes of a SIMD register than on one number: two R_G
// sequences run side by side (carlson_RG_pair), and the sums of the
// hydrodynamic integrals can ride on the first of them
// (carlson_RG_pair_with_jeffery). Each lane does what the scalar code does, in
// the same order, so the results keep its bits.
#pragma once

#include <array>

namespace triex {

// R_G(x, y, z) for finite x, y, z >= 0, over the whole range of doubles.
double carlson_RG(double x, double y, double z);
// R_G of two argument triples, bit for bit the two values of carlson_RG, in
// little more than the time of one: the two duplication sequences run side by
// side in the two lanes of a SIMD register.
std::array<double, 2> carlson_RG_pair(double x1, double y1, double z1, double x2, double y2, double z2);

// Carlson's integrals of the three arguments x_1, x_2, x_3 from which the
// Jeffery (1922) integrals of the ellipsoid with squared semi-axes x_i follow:
//   RF     = R_F(x_1, x_2, x_3)                         (chi = 2 RF)
//   RD[i]  = R_D(x_j, x_k, x_i), x_i distinguished      (alpha_i = 2/3 RD[i])
//   DD[i]  = (RD[k] - RD[j]) / (x_j - x_k), the divided difference between
//            the two arguments other than x_i            (alpha_jk = 2/3 DD[i])
// with (i, j, k) cyclic. The divided differences are accumulated term by term
// in the duplications, without a subtraction, so they keep full accuracy when
// two arguments are equal or nearly so (spheroids, near-spheres).
struct JefferyIntegrals {
  double RF;
  std::array<double, 3> RD;
  std::array<double, 3> DD;
  int duplications;  // the number of duplication steps taken
};

// For x_i in [0, 1] with the largest equal to 1 and at most one 0 (scale the
// squared semi-axes by the largest first). Throws std::runtime_error should
// the duplications fail to converge, which they do for every such input.
JefferyIntegrals carlson_jeffery(double x1, double x2, double x3);

// carlson_RG_pair(x1, y1, z1, x2, y2, z2) and carlson_jeffery(x1, y1, z1),
// bit for bit, for (x1, y1, z1) as carlson_jeffery takes them: where R_G of
// the first triple needs duplications, they feed the Jeffery integrals too,
// and the two R_G sequences with the Jeffery sums take about the time of one.
struct RGPairWithJeffery {
  std::array<double, 2> RG;
  JefferyIntegrals jeffery;
};
RGPairWithJeffery carlson_RG_pair_with_jeffery(double x1, double y1, double z1, double x2, double y2, double z2);

}  // namespace triex

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
#pragma once

namespace triex {

// R_G(x, y, z) for x, y, z >= 0, at most one of them 0.
double carlson_RG(double x, double y, double z);

}  // namespace triex

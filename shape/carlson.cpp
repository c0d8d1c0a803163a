#include "shape/carlson.hpp"

#include <algorithm>
#include <boost/math/policies/policy.hpp>
#include <boost/math/special_functions/ellint_rg.hpp>
#include <cmath>
#include <experimental/simd>
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
template <class T>
T RF_series(T X, T Y) {
  const T Z = -X - Y;
  const T E2 = X * Y - Z * Z;
  const T E3 = X * Y * Z;
  return 1 + E3 * (1.0 / 14 + 3 * E3 / 104) +
         E2 * (-1.0 / 10 + E2 / 24 - (3 * E3) / 44 - 5 * E2 * E2 / 208 + E2 * E3 / 16);
}

// R_D's sixth-order series about A = (x + y + 3z)/5, times A^3/2, in the
// scaled deviations X = (A - x)/A and Y = (A - y)/A of the two arguments that
// are not distinguished.
template <class T>
T RD_series(T X, T Y) {
  const T Z = -(X + Y) / 3;
  const T E2 = X * Y - 6 * Z * Z;
  const T E3 = (3 * X * Y - 8 * Z * Z) * Z;
  const T E4 = 3 * (X * Y - Z * Z) * Z * Z;
  const T E5 = X * Y * Z * Z * Z;
  return 1 - 3 * E2 / 14 + E3 / 6 + 9 * E2 * E2 / 88 - 3 * E4 / 22 - 9 * E2 * E3 / 52 + 3 * E5 / 26 -
         E2 * E2 * E2 / 16 + 3 * E3 * E3 / 40 + 3 * E2 * E4 / 20 + 45 * E2 * E2 * E3 / 272 -
         9 * (E3 * E4 + E2 * E5) / 68;
}

// Sorts the arguments in place (largest x, middle z, smallest y) and gives
// R_G(x, y, z) where it has a closed form or must be scaled first; false
// where the duplications below take the arguments as they are. (A bool and an
// output rather than a std::optional<double>, which comes back in registers
// whose flag byte the caller stores and reloads as part of a word: a
// store-forwarding stall on every call.)
bool RG_without_duplications(double& x, double& y, double& z, double& RG) {
  if (x < y) std::swap(x, y);
  if (x < z) std::swap(x, z);
  if (y > z) std::swap(y, z);
  if (!(x > 0)) {  // all three 0
    RG = 0;
    return true;
  }
  // R_G(4^k x, 4^k y, 4^k z) = 2^k R_G(x, y, z), and scaling by a power of 4
  // is exact: with the largest argument in [1, 4) no product or quotient of
  // the duplications leaves the range of doubles.
  if (x < 1 || x >= 4) {
    const int k = std::ilogb(x) >> 1;  // floor(log4 x): an arithmetic shift rounds down
    RG = std::ldexp(carlson_RG(std::ldexp(x, -2 * k), std::ldexp(y, -2 * k), std::ldexp(z, -2 * k)), k);
    return true;
  }
  // Both smaller arguments negligible: R_G(x, y, z) = sqrt(x)/2 (1 + O((z/x)
  // ln(x/z))), exact to the last bit once z/x < 1e-300, where the first
  // duplication would divide by a product below the range of doubles.
  if (z <= x * 1e-300) {
    RG = std::sqrt(x) / 2;
    return true;
  }
  // Two equal arguments have exact elementary forms. One zero (y) needs
  // none: with the middle argument distinguished every term of the sum
  // below stays positive, and the duplications take a zero argument.
  if (x == z || y == z) {
    RG = boost::math::ellint_rg(x, y, z, DoublePolicy());
    return true;
  }
  return false;
}

// Two numbers side by side in one SIMD register: the square roots and
// divisions that dominate the duplications take no longer for two than for
// one. Every operation acts on each lane as on a double, so that each lane
// gives the bits of the scalar code.
using Pair = std::experimental::simd<double, std::experimental::simd_abi::deduce_t<double, 2>>;

// The few operations whose spelling differs between a double and a pair.
double sqrt_of(double v) { return std::sqrt(v); }
Pair sqrt_of(const Pair& v) { return std::experimental::sqrt(v); }
double abs_of(double v) { return std::abs(v); }
Pair abs_of(const Pair& v) { return std::experimental::abs(v); }
double max_of(double a, double b, double c) { return std::max({a, b, c}); }
// As std::max({a, b, c}) in each lane: the first of equal largest values.
Pair max_of(const Pair& a, const Pair& b, const Pair& c) {
  Pair largest = a;
  std::experimental::where(largest < b, largest) = b;
  std::experimental::where(largest < c, largest) = c;
  return largest;
}
Pair pair_of(double first, double second) {
  return Pair([&](int lane) { return lane == 0 ? first : second; });
}
// sqrt(x_1), sqrt(x_2) in one instruction, sqrt(x_3) in another.
std::array<double, 3> roots(const std::array<double, 3>& x) {
  const Pair first_two = sqrt_of(pair_of(x[0], x[1]));
  return {first_two[0], first_two[1], std::sqrt(x[2])};
}
bool none_of(bool active) { return !active; }
bool none_of(const Pair::mask_type& active) { return std::experimental::none_of(active); }
// value = next where the sequence is still running: a lane that has
// converged keeps the state at which its own stopping rule held.
void advance(bool active, double& value, double next) {
  if (active) value = next;
}
void advance(const Pair::mask_type& active, Pair& value, const Pair& next) {
  std::experimental::where(active, value) = next;
}

// The ends of the Jeffery integrals' duplications: series about the plain
// mean A of the three arguments x_l = A (1 - Z_l). Each integral is one of
// Carlson's hypergeometric R-functions
//   R_-a(b; x) = (1 / B(a, a')) int_0^inf t^(a'-1) prod_l (t + x_l)^-b_l dt,   a' = c - a,  c = sum b,
// whose Dirichlet-average form gives the expansion (B. C. Carlson, Special
// Functions of Applied Mathematics, Academic Press 1977, chapters 5 and 6)
//   R_-a(b; x) = A^-a sum_N (a)_N / (c)_N sum_{|m| = N} prod_l (b_l)_{m_l} Z_l^m_l / m_l!.
// R_F(x_1, x_2, x_3) = R_-1/2(1/2, 1/2, 1/2; x);  R_D(x_j, x_k, x_i) = R_-3/2
// with b = 3/2 at x_i and 1/2 at the others; and the divided difference of
// R_D between x_j and x_k, 3/2 int dt / ((t + x_j)(t + x_k) s(t)), is 3/5 R_-5/2
// with b = 1/2 at x_i and 3/2 at x_j and x_k. With Z_1 + Z_2 + Z_3 = 0 each is
// a polynomial in p = Z_i and q = Z_j Z_k; the rows hold its coefficients of
// q^k p^d, d = 0, 1, ..., through the total degree 7 (for R_F these are the
// terms of Carlson's E_2 = q - p^2 and E_3 = p q in RF_series). Since the
// coefficients of degree N sum to at most (a)_N / N! in magnitude, with every
// |Z_l| below 1/kSeriesReach = 1/200 the degrees from 8 on add less than
// about (a)_8 / 8! 200^-8 = 8e-20, 1.3e-18 and 8.3e-18 for a = 1/2, 3/2 and 5/2:
// a tenth of the last bit at most.
constexpr double kSeriesReach = 200;

struct SeriesAboutMean {
  std::array<double, 8> q0;  // q0[0] = 1
  std::array<double, 6> q1;
  std::array<double, 4> q2;
  std::array<double, 2> q3;
};

constexpr SeriesAboutMean kRFAboutMean = {{1, 0, 1.0 / 10, 0, 1.0 / 24, 0, 5.0 / 208, 0},
                                          {-1.0 / 10, 1.0 / 14, -1.0 / 12, 3.0 / 44, -15.0 / 208, 1.0 / 16},
                                          {1.0 / 24, -3.0 / 44, 21.0 / 208, -1.0 / 8},
                                          {-5.0 / 208, 1.0 / 16}};
constexpr SeriesAboutMean kRDAboutMean = {{1, 3.0 / 5, 9.0 / 14, 1.0 / 2, 45.0 / 88, 45.0 / 104, 7.0 / 16, 105.0 / 272},
                                          {-3.0 / 14, 0, -9.0 / 44, 0, -3.0 / 16, 0},
                                          {9.0 / 88, -9.0 / 104, 3.0 / 16, -45.0 / 272},
                                          {-1.0 / 16, 15.0 / 136}};
constexpr SeriesAboutMean kDDAboutMean = {
    {1, -5.0 / 7, 5.0 / 6, -15.0 / 22, 75.0 / 104, -5.0 / 8, 175.0 / 272, -175.0 / 304},
    {-5.0 / 6, 15.0 / 11, -105.0 / 52, 5.0 / 2, -825.0 / 272, 525.0 / 152},
    {75.0 / 104, -15.0 / 8, 975.0 / 272, -1725.0 / 304},
    {-175.0 / 272, 175.0 / 76}};

// c[from] + c[from + 1] p + ... by Horner's rule; in a pair, the rows of two
// series at the same argument, one in each lane.
template <std::size_t N>
double horner(const std::array<double, N>& c, double p, std::size_t from = 0) {
  double sum = c[N - 1];
  for (std::size_t d = N - 1; d-- > from;) sum = sum * p + c[d];
  return sum;
}
template <std::size_t N>
Pair horner(const std::array<double, N>& first, const std::array<double, N>& second, const Pair& p,
            std::size_t from = 0) {
  Pair sum = pair_of(first[N - 1], second[N - 1]);
  for (std::size_t d = N - 1; d-- > from;) sum = sum * p + pair_of(first[d], second[d]);
  return sum;
}

// The series times A^a; the leading 1 is added last, to terms below 1e-2.
double sum_about_mean(const SeriesAboutMean& s, double p, double q) {
  const double rest = p * horner(s.q0, p, 1) + q * (horner(s.q1, p) + q * (horner(s.q2, p) + q * horner(s.q3, p)));
  return 1 + rest;
}
// Two series at the same p and q, one in each lane.
Pair sum_about_mean(const SeriesAboutMean& a, const SeriesAboutMean& b, double p, double q) {
  const Pair P = p, Q = q;
  const Pair rest = P * horner(a.q0, b.q0, P, 1) +
                    Q * (horner(a.q1, b.q1, P) + Q * (horner(a.q2, b.q2, P) + Q * horner(a.q3, b.q3, P)));
  return 1 + rest;
}

// The Jeffery integrals of (x_1, x_2, x_3), accumulated over Carlson's
// duplications one step at a time. The duplication acts on all three
// arguments at once and keeps their differences exact up to the factor 4^-n,
// x_i - x_j = 4^-n (x_i0 - x_j0), so each divided difference is a sum of
// divided differences of the terms 4^-n / (sqrt(t) (t + lambda)) that R_D
// sheds, written without cancellation:
//   [1/g(x_j) - 1/g(x_i)] / (x_i - x_j)
//     = (x_i + sqrt(x_i x_j) + x_j + lambda) / ((sqrt(x_i) + sqrt(x_j)) g(x_i) g(x_j)),
// g(t) = sqrt(t) (t + lambda), times 4^-n once more for the differences. What
// the duplications leave of each divided difference is 4^-2n times the
// divided difference at the duplicated arguments, which its series about the
// mean gives like R_F's and R_D's, so that one stopping rule serves all seven.
//
// The sequence takes the arguments in the order of R_G's duplications (the
// largest, the smallest, the middle one), so that when R_G of the same
// arguments is wanted too, its duplications can feed this one
// (carlson_RG_pair_with_jeffery) and give the bits of carlson_jeffery.
class JefferySequence {
 public:
  static constexpr int kMaxDuplications = 200;

  explicit JefferySequence(const std::array<double, 3>& x) {
    if (x[order_[0]] < x[order_[1]]) std::swap(order_[0], order_[1]);
    if (x[order_[0]] < x[order_[2]]) std::swap(order_[0], order_[2]);
    if (x[order_[1]] > x[order_[2]]) std::swap(order_[1], order_[2]);
    for (int l = 0; l < 3; ++l) x0_[l] = x[order_[l]];
    A0_ = (x0_[0] + x0_[1] + x0_[2]) / 3;
    A_ = A0_;
    // The deviations from the mean shrink as 4^-n while the mean settles, and
    // the series hold to the last bit once each is below 1/kSeriesReach of it.
    Q_ = kSeriesReach * std::max({std::abs(A0_ - x0_[0]), std::abs(A0_ - x0_[1]), std::abs(A0_ - x0_[2])});
  }

  // The arguments in the order of the sequence.
  const std::array<double, 3>& arguments() const { return x0_; }
  bool running() const { return n_ < kMaxDuplications && f_ * Q_ >= A_; }

  // One duplication of the arguments x (in the order of the sequence), with
  // s their square roots and lambda = s_1 s_2 + s_1 s_3 + s_2 s_3.
  void step(const std::array<double, 3>& x, const std::array<double, 3>& s, double lambda) {
    std::array<double, 3> g{}, num{}, den{};
    for (int i = 0; i < 3; ++i) g[i] = s[i] * (x[i] + lambda);
    const double ff = f_ * f_;
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3, k = (i + 2) % 3;
      num[i] = ff * (x[j] + s[j] * s[k] + x[k] + lambda);
      den[i] = (s[j] + s[k]) * g[j] * g[k];
    }
    S0_S1_ += f_ / pair_of(g[0], g[1]);
    S2_D0_ += pair_of(f_, num[0]) / pair_of(g[2], den[0]);
    D1_D2_ += pair_of(num[1], num[2]) / pair_of(den[1], den[2]);
    f_ /= 4;
    A_ = (A_ + lambda) / 4;
    ++n_;
  }

  // The integrals, in the caller's order of the arguments.
  JefferyIntegrals result() const {
    // The cap is never reached for arguments in [0, 1]; should it be, the
    // series would be far from exact and no number may come out.
    if (!(f_ * Q_ < A_)) throw std::runtime_error("Carlson's duplications did not converge");
    // The deviations from the original differences, which the duplications
    // keep exact (Carlson's choice): rounded to a few ulps, they enter the
    // series only multiplied by themselves or by terms below 1/kSeriesReach.
    const double root = std::sqrt(A_);
    const double A_3_2 = 1 / (A_ * root);  // A^-3/2
    const double inverse = A_3_2 * root;
    std::array<double, 3> Z{};
    for (int i = 0; i < 3; ++i) Z[i] = f_ * (A0_ - x0_[i]) * inverse;

    const std::array<double, 3> S = {S0_S1_[0], S0_S1_[1], S2_D0_[0]};
    const std::array<double, 3> D = {S2_D0_[1], D1_D2_[0], D1_D2_[1]};
    JefferyIntegrals out{};
    out.duplications = n_;
    out.RF = sum_about_mean(kRFAboutMean, Z[0], Z[1] * Z[2]) / root;
    const double dd_scale = f_ * f_ * 0.6 / (A_ * A_ * root);  // 3/5 A^-5/2, times 4^-2n
    for (int i = 0; i < 3; ++i) {
      const int j = (i + 1) % 3, k = (i + 2) % 3;
      const Pair RD_DD = sum_about_mean(kRDAboutMean, kDDAboutMean, Z[i], Z[j] * Z[k]);
      out.RD[order_[i]] = f_ * A_3_2 * RD_DD[0] + 3 * S[i];
      out.DD[order_[i]] = dd_scale * RD_DD[1] + 3 * D[i];
    }
    return out;
  }

 private:
  std::array<int, 3> order_ = {0, 1, 2};  // the caller's index of each argument of the sequence
  std::array<double, 3> x0_{};
  double A0_ = 0, Q_ = 0;
  double A_ = 0;  // the mean of the duplicated arguments
  double f_ = 1;  // 4^-n
  int n_ = 0;
  // The sums of 4^-n / g(x_i) (S_i) and of the divided differences (D_i, the
  // pair (j, k) at index i), held in pairs: the six quotients of a step take
  // three divisions of pairs, each as fast as of one number.
  Pair S0_S1_ = 0, S2_D0_ = 0, D1_D2_ = 0;
};

// The first lane of a pair, or the number itself.
double first_lane(double v) { return v; }
double first_lane(const Pair& v) { return v[0]; }

// R_G alone: no Jeffery sequence rides on its duplications.
struct NoRider {
  static constexpr bool running() { return false; }
  static void step(const std::array<double, 3>&, const std::array<double, 3>&, double) {}
};

// R_G by the duplications, for arguments sorted as above, with no closed form
// and x in [1, 4). A Jeffery sequence of the first lane's arguments, if given,
// takes each duplication from this loop, which runs on for it after R_G has
// converged (R_G's state then stays where its own stopping rule held).
template <class T, class Rider = NoRider>
T RG_duplications(T x, T y, T z, Rider&& jeffery = NoRider()) {
  // The means about which the two series are taken, and the bounds of their
  // spread below which the series are exact to double precision.
  const T AF0 = (x + y + z) / 3;
  const T AD0 = (x + y + 3 * z) / 5;
  T QF = std::pow(3 * kEpsilon, -1.0 / 8) * max_of(abs_of(AF0 - x), abs_of(AF0 - y), abs_of(AF0 - z));
  T QD = std::pow(kEpsilon / 4, -1.0 / 8) * max_of(AD0 - x, AD0 - y, AD0 - z) * 1.2;
  T AF = AF0, AD = AD0;
  T xn = x, yn = y, zn = z;
  T scale = 1;  // 4^-n after n duplications
  T RD_sum = 0;
  for (int n = 0;; ++n) {
    auto active = QF >= AF || QD >= AD;
    if (n >= 100) active = decltype(active)(false);
    const bool riding = jeffery.running();
    if (none_of(active) && !riding) break;
    const T rx = sqrt_of(xn), ry = sqrt_of(yn), rz = sqrt_of(zn);
    const T lambda = rx * ry + rx * rz + ry * rz;
    if (riding) {
      jeffery.step({first_lane(xn), first_lane(yn), first_lane(zn)}, {first_lane(rx), first_lane(ry), first_lane(rz)},
                   first_lane(lambda));
    }
    advance(active, RD_sum, RD_sum + scale / (rz * (zn + lambda)));
    advance(active, AF, (AF + lambda) / 4);
    advance(active, AD, (AD + lambda) / 4);
    advance(active, scale, scale / 4);
    advance(active, QF, QF / 4);
    advance(active, QD, QD / 4);
    // The arguments go on in every lane: R_G's ends below do not use them.
    xn = (xn + lambda) / 4;
    yn = (yn + lambda) / 4;
    zn = (zn + lambda) / 4;
  }

  const T RF = RF_series(scale * (AF0 - x) / AF, scale * (AF0 - y) / AF) / sqrt_of(AF);
  // R_D: the series, plus the terms the duplications shed.
  const T RD = scale / (AD * sqrt_of(AD)) * RD_series(scale * (AD0 - x) / AD, scale * (AD0 - y) / AD) + 3 * RD_sum;

  return (z * RF - (x - z) * (y - z) * RD / 3 + sqrt_of(x * y / z)) / 2;
}

// The Jeffery integrals from a sequence of their own.
JefferyIntegrals duplicate_alone(JefferySequence& sequence) {
  std::array<double, 3> x = sequence.arguments();
  // The square roots of the next step are taken before this step's
  // quotients, which they do not need: the divider then works on the
  // quotients while the roots' results are awaited, rather than holding up
  // the roots on which every later step waits.
  std::array<double, 3> s = roots(x);
  while (sequence.running()) {
    const double lambda = s[0] * s[1] + s[0] * s[2] + s[1] * s[2];  // as in R_G's duplications
    const std::array<double, 3> step_x = x, step_s = s;
    for (double& v : x) v = (v + lambda) / 4;
    s = roots(x);
    sequence.step(step_x, step_s, lambda);
  }
  return sequence.result();
}

}  // namespace

double carlson_RG(double x, double y, double z) {
  double RG;
  if (RG_without_duplications(x, y, z, RG)) return RG;
  return RG_duplications(x, y, z);
}

std::array<double, 2> carlson_RG_pair(double x1, double y1, double z1, double x2, double y2, double z2) {
  double first = 0, second = 0;
  const bool first_closed = RG_without_duplications(x1, y1, z1, first);
  const bool second_closed = RG_without_duplications(x2, y2, z2, second);
  if (first_closed || second_closed) {
    if (!first_closed) first = RG_duplications(x1, y1, z1);
    if (!second_closed) second = RG_duplications(x2, y2, z2);
    return {first, second};
  }
  const Pair both = RG_duplications(pair_of(x1, x2), pair_of(y1, y2), pair_of(z1, z2));
  return {both[0], both[1]};
}

JefferyIntegrals carlson_jeffery(double x1, double x2, double x3) {
  JefferySequence sequence({x1, x2, x3});
  return duplicate_alone(sequence);
}

RGPairWithJeffery carlson_RG_pair_with_jeffery(double x1, double y1, double z1, double x2, double y2, double z2) {
  JefferySequence sequence({x1, y1, z1});
  RGPairWithJeffery out{};
  const bool first_closed = RG_without_duplications(x1, y1, z1, out.RG[0]);
  const bool second_closed = RG_without_duplications(x2, y2, z2, out.RG[1]);
  if (first_closed) {  // a closed form of R_G: no duplications to share
    if (!second_closed) out.RG[1] = RG_duplications(x2, y2, z2);
    out.jeffery = duplicate_alone(sequence);
    return out;
  }
  if (second_closed) {
    out.RG[0] = RG_duplications(x1, y1, z1, sequence);
  } else {
    const Pair both = RG_duplications(pair_of(x1, x2), pair_of(y1, y2), pair_of(z1, z2), sequence);
    out.RG = {both[0], both[1]};
  }
  out.jeffery = sequence.result();
  return out;
}

}  // namespace triex

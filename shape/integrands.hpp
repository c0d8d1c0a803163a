// The integrands of the shape section, each a function of the shape and the
// integration variables; the shape reaches the integrators through a
// capturing callable.
//
// FUN(shape, NN, X), NN = 1..10: the integrands of the ten ellipsoid integrals
// over lambda in [0, inf), with Delta = sqrt((A^2+X)(B^2+X)(C^2+X)).
//
// FYS(shape, X, Y), FYR(shape, X, Y): X is the elevation of a direction above
// the A-B plane, Y its azimuth from the A axis towards the B axis. Over the
// octant [0, pi/2]^2, FYS integrates to 3/8 of the surface area of the
// ellipsoid and FYR to 3/8 of the integral of the mean curvature over the
// surface (4 pi times the mean radius of curvature). DEL is the distance from
// the centre to the surface along the direction.
//
// YLOW, YUP: the inner limits 0 and 1.570795 (= 3.14159 / 2, matching the
// value of pi used by the shape section).
//
// Each formula is written once, in pieces: what depends on the shape alone
// (ShapeConstants), on the azimuth Y alone (Azimuth), on the elevation X alone
// (Elevation), and the finishing step. FYS and FYR evaluate the pieces afresh
// at every point; the shape section's prepared forms, SurfaceIntegrand and
// CurvatureIntegrand, compute them once per shape, once per inner
// integration and once per elevation. Both run the same operations in the
// same order, so they give the same values to the bit.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>

namespace triex {

double YLOW(double DUMMY);
double YUP(double DUMMY);

inline constexpr double kHalfPi = 1.570795;  // 3.14159 / 2, not pi / 2 to full precision

// Sine and cosine of one argument in one call: the C library computes both
// from one argument reduction, to the same values as sin and cos.
inline void sin_cos(double x, double& sine, double& cosine) {
#if defined(__GLIBC__)
  ::sincos(x, &sine, &cosine);
#else
  sine = std::sin(x);
  cosine = std::cos(x);
#endif
}

// The parts of FUN, FYS and FYR that depend on the semi-axes alone. The
// squares stay divisors: dividing by A * A and multiplying by a stored
// 1 / (A * A) round differently.
struct ShapeConstants {
  ShapeConstants(double A, double B, double C);

  double A, B, C;
  double AA, BB, CC;             // A * A, B * B, C * C (divisors of Z1, Z2, Z3 and Z6)
  double C_CC;                   // 1.0 / (C * C), the last term of Z6
  double AB_C;                   // A * B / C, the last term of Z7
  double Z4, CZ5;                // Z4 and C * Z5 of FYS
  double Z8, Z9;                 // of FYR
  double C_AB, R_C, A_BC, B_AC;  // the terms C / (A * B), 1.0 / C, A / (B * C), B / (A * C) of Z10
};

double FUN(const ShapeConstants& shape, int NN, double X);
double FYS(const ShapeConstants& shape, double X, double Y);
double FYR(const ShapeConstants& shape, double X, double Y);

// The parts of FYS and FYR that depend on the azimuth Y alone.
struct Azimuth {
  double CSY2, SNY2;  // CSY * CSY, SNY * SNY
  double Z6;
  double Q;  // B * CSY^2 / A + A * SNY^2 / B, the bracket shared by Z7 and Z10
};
Azimuth azimuth(const ShapeConstants& k, double Y);

// The parts of FYS and FYR that depend on the elevation X alone.
struct Elevation {
  double X;
  double CSX, CSX2, SNX2;  // CSX, CSX * CSX, SNX * SNX
  double Z3;
};
Elevation elevation(const ShapeConstants& k, double X);

// Every inner integration of the two double integrals runs over the same
// range [0, 1.570795] with the same nested rules, so the k-th call of each
// one comes at the same elevation X. The table keeps, for each call number k,
// the X of the last such call and what depends on it alone. A call whose X
// differs in any bit from the one kept is computed afresh and replaces it, so
// every value is exactly the one computed from the X of the call; in the
// shape section each elevation costs its sine and cosine only once.
class ElevationTable {
 public:
  explicit ElevationTable(const ShapeConstants& k) : k_(k) {}

  // The elevation of call number k (from 0) of an inner integration.
  Elevation at_call(std::size_t k, double X) {
    if (k < known_) {
      Elevation& kept = calls_[k];
      if (std::bit_cast<std::uint64_t>(kept.X) != std::bit_cast<std::uint64_t>(X)) kept = elevation(k_, X);
      return kept;
    }
    if (k == known_ && k < calls_.size()) {
      calls_[k] = elevation(k_, X);
      return calls_[known_++];
    }
    return elevation(k_, X);
  }

 private:
  const ShapeConstants& k_;
  std::array<Elevation, 255> calls_{};  // one inner integration makes at most 255 calls
  std::size_t known_ = 0;               // calls_[0 .. known_ - 1] are set
};

// DEL, the distance from the centre to the surface along (X, Y):
// 1 / sqrt(Z1 + Z2 + Z3), summed in this order.
inline double distance(const ShapeConstants& k, const Azimuth& y, const Elevation& x) {
  const double Z1 = x.CSX2 * y.CSY2 / k.AA;
  const double Z2 = x.CSX2 * y.SNY2 / k.BB;
  return 1.0 / std::sqrt(Z1 + Z2 + x.Z3);
}

// The two formulas' last steps. azimuth_product is the first product of the
// middle term (Z6 * Z7 or Z6 * Z10), which depends on the azimuth alone;
// value finishes the formula.
struct SurfaceFormula {
  static double azimuth_product(const ShapeConstants& k, const Azimuth& y);
  static double value(const ShapeConstants& k, const Azimuth& y, const Elevation& x, double DEL, double Z6Z7) {
    const double DEL3 = DEL * DEL * DEL;
    return x.CSX * (k.Z4 * DEL - Z6Z7 * DEL3 * x.CSX2 * x.SNX2 - k.CZ5 * DEL3 * x.CSX2 * y.CSY2 * y.SNY2);
  }
};

struct CurvatureFormula {
  static double azimuth_product(const ShapeConstants& k, const Azimuth& y);
  static double value(const ShapeConstants& k, const Azimuth& y, const Elevation& x, double DEL, double Z6Z10) {
    const double DEL2 = DEL * DEL;
    const double DEL4 = DEL2 * DEL2;
    return x.CSX * (k.Z8 * DEL2 - Z6Z10 * DEL4 * x.CSX2 * x.SNX2 - k.Z9 * DEL4 * x.CSX2 * y.CSY2 * y.SNY2);
  }
};

// FYS or FYR for the double integral: at(Y) is the integrand of X at azimuth Y.
template <class Formula>
class PreparedIntegrand {
 public:
  PreparedIntegrand(const ShapeConstants& k, ElevationTable& elevations) : k_(k), elevations_(elevations) {}

  class AtAzimuth {
   public:
    AtAzimuth(const ShapeConstants& k, ElevationTable& elevations, double Y)
        : k_(k), elevations_(elevations), y_(azimuth(k, Y)), product_(Formula::azimuth_product(k, y_)) {}
    double operator()(double X) {
      const Elevation x = elevations_.at_call(call_++, X);
      return Formula::value(k_, y_, x, distance(k_, y_, x), product_);
    }

   private:
    const ShapeConstants& k_;
    ElevationTable& elevations_;
    std::size_t call_ = 0;  // calls made at this azimuth
    Azimuth y_;
    double product_;
  };

  AtAzimuth at(double Y) const { return AtAzimuth(k_, elevations_, Y); }

 private:
  const ShapeConstants& k_;
  ElevationTable& elevations_;
};

using SurfaceIntegrand = PreparedIntegrand<SurfaceFormula>;
using CurvatureIntegrand = PreparedIntegrand<CurvatureFormula>;

}  // namespace triex

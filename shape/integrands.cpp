#include "shape/integrands.hpp"

#include <cmath>

#include "shape/params.hpp"

// The parentheses below spell out the order of evaluation of the formulas
// (left to right for products and quotients, squares and cubes as repeated
// products); every printed digit depends on it.

namespace triex {

double FUN(double X) {
  const double A = PARAMS.A, B = PARAMS.B, C = PARAMS.C;
  const double AAX = X + A * A;
  const double BBX = X + B * B;
  const double CCX = X + C * C;
  const double AAX3 = AAX * AAX * AAX;
  const double BBX3 = BBX * BBX * BBX;
  const double CCX3 = CCX * CCX * CCX;
  switch (PARAMS.NN) {
    case 1: return 1.0 / std::sqrt(AAX3 * BBX * CCX);
    case 2: return 1.0 / std::sqrt(BBX3 * AAX * CCX);
    case 3: return 1.0 / std::sqrt(CCX3 * AAX * BBX);
    case 4: return 1.0 / std::sqrt(BBX3 * CCX3 * AAX);
    case 5: return 1.0 / std::sqrt(AAX3 * CCX3 * BBX);
    case 6: return 1.0 / std::sqrt(AAX3 * BBX3 * CCX);
    case 7: return X / std::sqrt(BBX3 * CCX3 * AAX);
    case 8: return X / std::sqrt(AAX3 * CCX3 * BBX);
    case 9: return X / std::sqrt(AAX3 * BBX3 * CCX);
    case 10: return 1.0 / std::sqrt(AAX * BBX * CCX);
    default: return 0.0;  // FUN is only ever called with NN from 1 to 10
  }
}

namespace {

// The quantities shared by FYS and FYR for one direction.
struct Direction {
  double CSX, CSY, SNX, SNY;
  double DEL, Z6;
};

Direction direction(double X, double Y, double A, double B, double C) {
  Direction d;
  d.CSX = std::cos(X);
  d.CSY = std::cos(Y);
  d.SNX = std::sin(X);
  d.SNY = std::sin(Y);
  const double Z1 = d.CSX * d.CSX * (d.CSY * d.CSY) / (A * A);
  const double Z2 = d.CSX * d.CSX * (d.SNY * d.SNY) / (B * B);
  const double Z3 = d.SNX * d.SNX / (C * C);
  d.DEL = 1.0 / std::sqrt(Z1 + Z2 + Z3);
  d.Z6 = d.CSY * d.CSY / (A * A) + d.SNY * d.SNY / (B * B) - 1.0 / (C * C);
  return d;
}

}  // namespace

double FYS(double X, double Y) {
  const double A = PARAMS.A, B = PARAMS.B, C = PARAMS.C;
  const Direction d = direction(X, Y, A, B, C);
  const double Z4 = B * C / A + A * C / B + A * B / C;
  const double Z5 = (1.0 / (A * A) - 1.0 / (B * B)) * (B / A - A / B);
  const double Z7 = C * (B * (d.CSY * d.CSY) / A + A * (d.SNY * d.SNY) / B) - A * B / C;
  const double DEL3 = d.DEL * d.DEL * d.DEL;
  const double CSX2 = d.CSX * d.CSX;
  return d.CSX * (Z4 * d.DEL - d.Z6 * Z7 * DEL3 * CSX2 * (d.SNX * d.SNX) -
                  C * Z5 * DEL3 * CSX2 * (d.CSY * d.CSY) * (d.SNY * d.SNY));
}

double FYR(double X, double Y) {
  const double A = PARAMS.A, B = PARAMS.B, C = PARAMS.C;
  const Direction d = direction(X, Y, A, B, C);
  const double Z8 = A / (B * C) + B / (C * A) + C / (A * B);
  const double Z9 = 1.0 / C * (1.0 / (A * A) - 1.0 / (B * B)) * (B / A - A / B);
  const double Z10 = C / (A * B) + 1.0 / C * (B * (d.CSY * d.CSY) / A + A * (d.SNY * d.SNY) / B) - A / (B * C) -
                     B / (A * C);
  const double DEL2 = d.DEL * d.DEL;
  const double DEL4 = d.DEL * d.DEL * (d.DEL * d.DEL);
  const double CSX2 = d.CSX * d.CSX;
  return d.CSX * (Z8 * DEL2 - d.Z6 * Z10 * DEL4 * CSX2 * (d.SNX * d.SNX) -
                  Z9 * DEL4 * CSX2 * (d.CSY * d.CSY) * (d.SNY * d.SNY));
}

// The prepared forms. Every quantity below is the expression of FYS or FYR
// that it replaces, operation for operation, so it has the same value.

ShapeConstants::ShapeConstants(double A, double B, double C)
    : A(A),
      B(B),
      C(C),
      AA(A * A),
      BB(B * B),
      CC(C * C),
      C_CC(1.0 / (C * C)),
      AB_C(A * B / C),
      Z4(B * C / A + A * C / B + A * B / C),
      CZ5(C * ((1.0 / (A * A) - 1.0 / (B * B)) * (B / A - A / B))),
      Z8(A / (B * C) + B / (C * A) + C / (A * B)),
      Z9(1.0 / C * (1.0 / (A * A) - 1.0 / (B * B)) * (B / A - A / B)),
      C_AB(C / (A * B)),
      R_C(1.0 / C),
      A_BC(A / (B * C)),
      B_AC(B / (A * C)) {}

Azimuth azimuth(const ShapeConstants& k, double Y) {
  Azimuth y;
  double SNY, CSY;
  sin_cos(Y, SNY, CSY);
  y.CSY2 = CSY * CSY;
  y.SNY2 = SNY * SNY;
  y.Z6 = y.CSY2 / k.AA + y.SNY2 / k.BB - k.C_CC;
  y.Q = k.B * y.CSY2 / k.A + k.A * y.SNY2 / k.B;
  return y;
}

Elevation elevation(const ShapeConstants& k, double X) {
  Elevation x;
  x.X = X;
  double SNX;
  sin_cos(X, SNX, x.CSX);
  x.CSX2 = x.CSX * x.CSX;
  x.SNX2 = SNX * SNX;
  x.Z3 = x.SNX2 / k.CC;
  return x;
}

double SurfaceFormula::azimuth_product(const ShapeConstants& k, const Azimuth& y) {
  const double Z7 = k.C * y.Q - k.AB_C;
  return y.Z6 * Z7;
}

double CurvatureFormula::azimuth_product(const ShapeConstants& k, const Azimuth& y) {
  const double Z10 = k.C_AB + k.R_C * y.Q - k.A_BC - k.B_AC;
  return y.Z6 * Z10;
}

double YLOW(double) { return 0.0; }
double YUP(double) { return kHalfPi; }

}  // namespace triex

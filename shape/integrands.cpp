#include "shape/integrands.hpp"

#include <cmath>

// The parentheses below spell out the order of evaluation of the formulas
// (left to right for products and quotients, squares and cubes as repeated
// products); every printed digit depends on it.

namespace triex {

double FUN(const ShapeConstants& shape, int NN, double X) {
  const double AAX = X + shape.AA;
  const double BBX = X + shape.BB;
  const double CCX = X + shape.CC;
  const double AAX3 = AAX * AAX * AAX;
  const double BBX3 = BBX * BBX * BBX;
  const double CCX3 = CCX * CCX * CCX;
  switch (NN) {
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
    default: return 0.0;  // the shape section calls it with NN from 1 to 10 only
  }
}

namespace {

// One point of a double integral, every piece computed afresh.
template <class Formula>
double at_point(const ShapeConstants& shape, double X, double Y) {
  const Azimuth y = azimuth(shape, Y);
  const Elevation x = elevation(shape, X);
  return Formula::value(shape, y, x, distance(shape, y, x), Formula::azimuth_product(shape, y));
}

}  // namespace

double FYS(const ShapeConstants& shape, double X, double Y) { return at_point<SurfaceFormula>(shape, X, Y); }
double FYR(const ShapeConstants& shape, double X, double Y) { return at_point<CurvatureFormula>(shape, X, Y); }

// The pieces. FYS reads, with Z6 = cos^2 Y / A^2 + sin^2 Y / B^2 - 1 / C^2:
//   cos X (Z4 DEL - Z6 Z7 DEL^3 cos^2 X sin^2 X - C Z5 DEL^3 cos^2 X cos^2 Y sin^2 Y)
//   Z4 = B C / A + A C / B + A B / C
//   Z5 = (1 / A^2 - 1 / B^2) (B / A - A / B)
//   Z7 = C (B cos^2 Y / A + A sin^2 Y / B) - A B / C
// and FYR:
//   cos X (Z8 DEL^2 - Z6 Z10 DEL^4 cos^2 X sin^2 X - Z9 DEL^4 cos^2 X cos^2 Y sin^2 Y)
//   Z8 = A / (B C) + B / (C A) + C / (A B)
//   Z9 = 1 / C (1 / A^2 - 1 / B^2) (B / A - A / B)
//   Z10 = C / (A B) + 1 / C (B cos^2 Y / A + A sin^2 Y / B) - A / (B C) - B / (A C)

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

// What the shape factors of an ellipsoid predict for the measurements of a
// molecule: the hydrated particle is the ellipsoid scaled to the volume
// M vs / NA of one molecule, so only the shape's axial ratios enter.
//
// CGS units inside (cm, g, s, poise; 1 mPa s = 0.01 P); CODATA 2018 exact
// constants NA = 6.02214076e23 /mol and kB = 1.380649e-16 erg/K. With R0 the
// radius of the sphere of the hydrated volume:
//   Stokes radius            R_S = P R0
//   diffusion coefficient    D = kB T / (6 pi eta R_S)        (Stokes-Einstein-Sutherland)
//   sedimentation coeff.     s = M (1 - vbar rho) / (NA 6 pi eta R_S)   (Svedberg)
//   frictional ratio         f/f0 = P (vs / vbar)^(1/3), against the sphere of
//                            the anhydrous volume M vbar / NA (the conventional one)
//   radius of gyration       R_g = G sqrt(3/5) R0
//   harmonic relaxation time tau_h = (tau_h/tau0) eta M vs / (NA kB T)
//   intrinsic viscosity      [eta] = nu vs
//   exclusion term of B      B(ex) = vs M u_red / (2 M^2), as the report computes it
// The dialogue keeps its own printed constants; these are for the new
// quantities only.
#pragma once

#include "triex/triex.hpp"

namespace triex {

inline constexpr double kAvogadro = 6.02214076e23;    // 1/mol, exact since 2019
inline constexpr double kBoltzmannCgs = 1.380649e-16;  // erg/K, exact since 2019

// The inputs are checked by the caller.
Predictions predict_measurements(const ShapeFactors& shape, const PredictionInputs& inputs);

}  // namespace triex

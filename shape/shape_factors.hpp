// The hydrodynamic and scattering shape factors of a rigid triaxial
// ellipsoid in closed form, from one sequence of Carlson duplications on the
// squared semi-axes (shape/carlson.hpp). u_red needs R_G of the same squares
// and of their reciprocals: shape_factors runs the two R_G sequences side by
// side and takes the Jeffery sums from the first (carlson_RG_pair_with_jeffery).
//
// With x_i the squared semi-axes, R_i = R_D(x_j, x_k, x_i), D_jk the divided
// differences (R_k - R_j)/(x_j - x_k) and p = abc:
//   Stokes radius        R_S = 1 / R_F(x_1, x_2, x_3): the orientation-averaged
//                        translational friction 6 pi eta R_S (Oberbeck 1876;
//                        Perrin 1934, 1936: the harmonic mean of the three
//                        principal frictions 16 pi eta / (chi + x_i alpha_i))
//   Perrin ratio         P = R_S / p^(1/3)
//   radius of gyration   R_g^2 = (x_1 + x_2 + x_3) / 5;  G = R_g / R_g(sphere)
//   rotational friction  Z_i = (x_j + x_k) / (p (x_j R_j + x_k R_k)), in units of
//                        the equal-volume sphere's 8 pi eta p (Edwards 1892;
//                        Jeffery 1922); the positive sum, not 3 R_F - x_i R_i
//   relaxation times     the five rates of second-rank orientation functions
//                        6D - 2Delta, 3(D + D_i), 6D + 2Delta (Perrin 1934; Favro,
//                        Phys. Rev. 119, 1960, 53), D_i tau0 = 1/(6 Z_i), with
//                        6D - 2Delta = 12 (D_1 D_2 + D_2 D_3 + D_3 D_1)/(6D + 2Delta)
//                        (no cancellation for needles); tau_h = 3 / sum 1/Z_i
//   viscosity increment  nu = (T + F_1 + F_2 + F_3 + sum_{i<j} z_i z_j (lambda_i -
//                        lambda_j)^2 / sum z) / 5, the zero-shear Brownian limit
//                        (Simha, J. Phys. Chem. 44, 1940, 25 for spheroids; Haber
//                        and Brenner, J. Colloid Interface Sci. 97, 1984, 496):
//                        z_i = 3 Z_i / 2, lambda_i = (x_j - x_k)/(x_j + x_k)
//                        (Jeffery's spin factor), F_i = 3 / (p (x_j + x_k) D_jk)
//                        the torque-free shear modes, and T the trace of the
//                        inverse of Eshelby's tensor at Poisson ratio 1/2
//                        (Eshelby, Proc. R. Soc. A 241, 1957, 376) on the
//                        traceless extensions.
// Reentrant; the semi-axes must be positive and finite (the public API checks).
#pragma once

#include "triex/triex.hpp"

namespace triex {

ShapeFactors exact_shape_factors(double a, double b, double c);
TranslationalFriction exact_translational_friction(double a, double b, double c);
Gyration exact_gyration(double a, double b, double c);
RotationalDiffusion exact_rotational_diffusion(double a, double b, double c);
double exact_viscosity_increment(double a, double b, double c);

}  // namespace triex

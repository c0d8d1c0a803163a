// D01AMZ: one application of the transformed 15-point Gauss-Kronrod rule to a
// sub-interval [a, b] of the unit interval onto which the infinite range of
// D01AMF is mapped.
//
// With DINF = min(INF, 1), the point t of (0, 1] stands for
//   x(t) = BOUND + DINF (1 - t) / t,
// so t = 1 is the finite limit and t -> 0 is infinity, and the integrand of t is
//   g(t) = f(x(t)) / t^2                    (INF = 1 or -1)
//   g(t) = (f(x(t)) + f(-x(t))) / t^2       (INF = 2, BOUND = 0).
// The 15-point Kronrod rule gives RESULT; the difference to the embedded
// 7-point Gauss rule, scaled as proposed by Piessens, de Doncker-Kapenga,
// Ueberhuber and Kahaner (Springer Ser. Comput. Math. 1, 1983), gives ABSERR.
// RESABS is the rule applied to |g|, RESASC to |g - mean of g over [a, b]|.
//
// f is called 15 times (30 when INF = 2), never at the finite limit and never
// at infinity: every node lies strictly inside (0, 1).
#pragma once

#include "quadrature/infinite_range.hpp"

namespace triex {

void D01AMZ(Integrand1D F, double BOUND, int INF, double a, double b, double& RESULT, double& ABSERR,
            double& RESABS, double& RESASC);

}  // namespace triex

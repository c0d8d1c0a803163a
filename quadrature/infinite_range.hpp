// D01AMF: adaptive integration of f over an infinite range, [BOUND, inf) for
// INF = 1, (-inf, BOUND] for INF = -1, (-inf, inf) for INF = 2, aiming at
// |I - RESULT| <= max(|EPSABS|, |EPSREL| |I|). The range is mapped onto (0, 1]
// and integrated by globally adaptive bisection with the transformed 15-point
// Gauss-Kronrod rule and epsilon-algorithm extrapolation (D01AMV). On exit the
// sub-interval list is compacted and sorted by left end in W, IW(1) = n.
#pragma once

#include <span>

#include "support/function_ref.hpp"

namespace triex {

// D01AMF's failure codes, IFAIL on return (D01AMV's core sets 1 to 5).
enum class InfiniteRangeFailure : int {
  None = 0,
  SubdivisionLimit = 1,       // LIMIT = min(LW/4, LIW) sub-intervals were not enough
  RoundOff = 2,               // rounding error prevents the requested tolerance
  BadIntegrand = 3,           // extremely bad integrand behaviour at some point (reported by the core)
  ExtrapolationRoundOff = 4,  // the extrapolation table does not converge
  Divergent = 5,              // the integral is probably divergent, or converges too slowly
  InvalidInput = 6,           // LW < 4, LIW < 1, or INF not -1, 1 or 2
};

using Integrand1D = function_ref<double(double)>;

void D01AMF(Integrand1D F, double BOUND, int INF, double EPSABS, double EPSREL, double& RESULT, double& ABSERR,
            std::span<double> W, int LW, std::span<int> IW, int LIW, int& IFAIL);

}  // namespace triex

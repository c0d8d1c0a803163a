// D01AMV: the adaptive core of D01AMF. Integrates the transformed integrand
// over (0, 1] by globally adaptive bisection with the rule D01AMZ, always
// bisecting the sub-interval of largest error (order list D01AJX), and
// accelerates the sequence of integral sums with the epsilon algorithm
// (D01AJY) once the small sub-intervals dominate.
//
// ALIST, BLIST, ELIST, RLIST (LIMIT elements each) receive the left ends,
// right ends, error estimates and contributions of the sub-intervals, IORD
// the order list; on return IORD(1) holds the number of sub-intervals. IER
// holds the caller's IFAIL on entry and the failure code 0..5 on return:
//   0 accuracy reached        1 LIMIT sub-intervals used
//   2 rounding error           3 extremely bad integrand behaviour (the
//   4 extrapolation table        sub-interval is reported on the message
//     does not converge          unit unless IER was 1 on entry)
//   5 divergent or too slowly convergent
#pragma once

#include <span>

#include "quadrature/infinite_range.hpp"

namespace triex {

void D01AMV(Integrand1D F, double BOUND, int INF, double EPSABS, double EPSREL, std::span<double> ALIST,
            std::span<double> BLIST, std::span<double> ELIST, std::span<double> RLIST, int LIMIT,
            std::span<int> IORD, double& RESULT, double& ABSERR, int& IER);

}  // namespace triex

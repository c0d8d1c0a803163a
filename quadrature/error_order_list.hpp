// D01AJX: maintains the order list IORD of the adaptive integrator, the
// sub-interval numbers by decreasing error estimate ELIST, after a bisection
// of sub-interval MAXERR has produced sub-interval LAST.
//
// On entry ELIST(MAXERR) and ELIST(LAST) hold the errors of the two halves
// (the larger at MAXERR) and IORD(NRMAX) = MAXERR. MAXERR is first moved up
// past smaller errors, then inserted top-down and LAST bottom-up, but only
// within the first JUPBN positions: JUPBN = LAST, or LIMIT + 3 - LAST once
// LAST > LIMIT div 2 + 2, because an error ranked lower than the number of
// bisections still allowed can never be bisected. On return
// MAXERR = IORD(NRMAX) and ERMAX = ELIST(MAXERR).
#pragma once

#include <span>

namespace triex {

void D01AJX(int LIMIT, int LAST, int& MAXERR, double& ERMAX, std::span<const double> ELIST, std::span<int> IORD,
            int& NRMAX);

}  // namespace triex

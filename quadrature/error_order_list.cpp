// D01AJX: the error-ordered list of the adaptive integrator (see error_order_list.hpp).
// The insertion scheme is that of the globally adaptive integrators described
// by Piessens, de Doncker-Kapenga, Ueberhuber and Kahaner (Springer Ser.
// Comput. Math. 1, 1983) after de Doncker (SIGNUM Newsletter 13, 1978): one
// upward move for a bisection that increased the error, then a top-down and a
// bottom-up insertion within the depth JUPBN.

#include "quadrature/error_order_list.hpp"

#include <cassert>
#include <cstddef>

#include "support/one_based.hpp"

namespace triex {

void D01AJX(int LIMIT, int LAST, int& MAXERR, double& ERMAX, std::span<const double> ELIST, std::span<int> IORD,
            int& NRMAX) {
  if (LAST <= 2) {
    at(IORD, 1) = 1;
    at(IORD, 2) = 2;
  } else {
    const double ERRMAX = at(ELIST, MAXERR);

    // Only after a bisection that increased the error can MAXERR belong higher
    // than its position NRMAX; an equal error stops the move.
    if (NRMAX != 1) {
      const int IDO = NRMAX - 1;
      for (int i = 1; i <= IDO; ++i) {
        const int ISUCC = at(IORD, NRMAX - 1);
        if (ERRMAX <= at(ELIST, ISUCC)) break;
        at(IORD, NRMAX) = ISUCC;
        NRMAX = NRMAX - 1;
      }
    }

    // Below depth JUPBN no entry can be bisected any more before LIMIT is
    // reached, so the list is kept in order only down to there.
    int JUPBN = LAST;
    if (LAST > LIMIT / 2 + 2) JUPBN = LIMIT + 3 - LAST;
    const double ERRMIN = at(ELIST, LAST);

    // MAXERR top-down: ahead of the first entry whose error is not larger.
    const int JBND = JUPBN - 1;
    int i = NRMAX + 1;
    for (; i <= JBND; ++i) {
      const int ISUCC = at(IORD, i);
      if (ERRMAX >= at(ELIST, ISUCC)) break;
      at(IORD, i - 1) = ISUCC;
    }
    if (i > JBND) {
      at(IORD, JBND) = MAXERR;
      at(IORD, JUPBN) = LAST;
    } else {
      // LAST bottom-up: behind the last entry whose error is larger.
      at(IORD, i - 1) = MAXERR;
      int k = JBND;
      bool placed = false;
      for (int j = i; j <= JBND; ++j) {
        const int ISUCC = at(IORD, k);
        if (ERRMIN < at(ELIST, ISUCC)) {
          at(IORD, k + 1) = LAST;
          placed = true;
          break;
        }
        at(IORD, k + 1) = ISUCC;
        k = k - 1;
      }
      if (!placed) at(IORD, i) = LAST;
    }
  }
  MAXERR = at(IORD, NRMAX);
  ERMAX = at(ELIST, MAXERR);
}

}  // namespace triex

// D01AMF: the public infinite-range integrator (see infinite_range.hpp). It checks its
// arguments, divides W and IW into the lists of the core D01AMV, and hands the
// final list of sub-intervals back compacted and sorted by left end (ranks by
// M01DAF, rearrangement of the four sections by M01EAF).

#include "quadrature/infinite_range.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "quadrature/infinite_range_bisection.hpp"
#include "support/ranking.hpp"
#include "support/error_exit.hpp"
#include "support/record.hpp"
#include "support/one_based.hpp"

namespace triex {

namespace {

// Elements i .. i + n - 1, counted from 1, of a list.
template <class T>
std::span<T> section(std::span<T> list, int i, int n) {
  assert(i >= 1 && n >= 0 && static_cast<std::size_t>(i - 1 + n) <= list.size());
  return list.subspan(static_cast<std::size_t>(i - 1), static_cast<std::size_t>(n));
}

}  // namespace

void D01AMF(Integrand1D F, double BOUND, int INF, double EPSABS, double EPSREL, double& RESULT, double& ABSERR,
            std::span<double> W, int LW, std::span<int> IW, int LIW, int& IFAIL) {
  int IER = IFAIL;
  std::array<MessageLine, 2> P01REC{};
  int NREC = 0;

  if (LIW < 1 || LW < 4) {
    IER = failure_code(InfiniteRangeFailure::InvalidInput);
    P01REC[0] = LineBuilder().text(" ** On entry, LW.lt.4 or LIW.lt.1:").line();
    P01REC[1] = LineBuilder().text("    LW = ").I(LW, 16).text("  LIW = ").I(LIW, 16).line();
    NREC = 2;
  } else if (INF != -1 && INF != 1 && INF != 2) {
    IER = failure_code(InfiniteRangeFailure::InvalidInput);
    P01REC[0] = LineBuilder().text(" ** On entry, INF.ne.-1 and INF.ne.1 and INF.ne.2").line();
    P01REC[1] = LineBuilder().text("    INF =").I(INF, 16).line();
    NREC = 2;
  } else {
    assert(W.size() >= static_cast<std::size_t>(LW) && IW.size() >= static_cast<std::size_t>(LIW));
    const int LIMIT = std::min(LW / 4, LIW);
    // The core's lists: ALIST, BLIST, ELIST, RLIST in consecutive sections of
    // W, the order list at the front of IW.
    D01AMV(F, BOUND, INF, std::abs(EPSABS), std::abs(EPSREL), section(W, 1, LIMIT), section(W, LIMIT + 1, LIMIT),
           section(W, 2 * LIMIT + 1, LIMIT), section(W, 3 * LIMIT + 1, LIMIT), LIMIT, section(IW, 1, LIMIT),
           RESULT, ABSERR, IER);

    const int n = at(IW, 1);
    if (n >= 1) {
      // Close the gaps between the lists. Every element moves down, in
      // ascending order of index, so each is read before it is written over.
      if (n < LIMIT) {
        for (int i = 1; i <= n; ++i) at(W, n + i) = at(W, LIMIT + i);
        for (int i = 1; i <= n; ++i) at(W, 2 * n + i) = at(W, 2 * LIMIT + i);
        for (int i = 1; i <= n; ++i) at(W, 3 * n + i) = at(W, 3 * LIMIT + i);
      }
      for (int i = 4 * n + 1; i <= LW; ++i) at(W, i) = 0.0;

      // Sort the list by left end: rank the left ends, then put all four
      // sections into that order. The left ends are distinct.
      int IFAIL_SORT = 0;
      M01DAF(section(W, 1, n), 1, n, 'A', IW, IFAIL_SORT);
      for (int j = 0; j < 4; ++j) {
        IFAIL_SORT = 0;
        M01EAF(section(W, j * n + 1, n), 1, n, IW, IFAIL_SORT);
      }
      at(IW, 1) = n;
    }

    switch (static_cast<InfiniteRangeFailure>(IER)) {
      case InfiniteRangeFailure::SubdivisionLimit:
        P01REC[0] = LineBuilder().text(" ** The maximum number of subdivisions (LIMIT) has been reached:").line();
        P01REC[1] = LineBuilder()
                        .text("    LIMIT = ")
                        .I(LIMIT, 16)
                        .text("   LW = ")
                        .I(LW, 16)
                        .text("   LIW = ")
                        .I(LIW, 16)
                        .line();
        NREC = 2;
        break;
      case InfiniteRangeFailure::RoundOff:
        P01REC[0] =
            LineBuilder().text(" ** Round-off error prevents the requested tolerance from being achieved:").line();
        P01REC[1] = LineBuilder().text("    EPSABS = ").D1P(EPSABS, 8, 1).text("  EPSREL = ").D1P(EPSREL, 8, 1).line();
        NREC = 2;
        break;
      case InfiniteRangeFailure::ExtrapolationRoundOff:
        P01REC[0] = LineBuilder().text(" ** Round-off error is detected in the extrapolation table").line();
        NREC = 1;
        break;
      case InfiniteRangeFailure::Divergent:
        P01REC[0] = LineBuilder().text(" ** The integral is probably divergent or slowly convergent").line();
        NREC = 1;
        break;
      case InfiniteRangeFailure::None:
      case InfiniteRangeFailure::BadIntegrand:  // its lines are the core's own
      case InfiniteRangeFailure::InvalidInput:
        break;
    }
  }

  if (IER == failure_code(InfiniteRangeFailure::None)) {
    IFAIL = 0;
    return;
  }
  IFAIL = P01ABF(IFAIL, IER, "D01AMF", NREC, P01REC);
}

}  // namespace triex

// D01AMV: globally adaptive bisection with epsilon extrapolation over the
// transformed range (0, 1] (see D01AMV.hpp). The method is the infinite-range
// integration scheme described by Piessens, de Doncker-Kapenga, Ueberhuber and
// Kahaner (Springer Ser. Comput. Math. 1, 1983), after de Doncker's
// extrapolation scheme (SIGNUM Newsletter 13, 1978): the sub-interval of
// largest error is bisected until the error sum meets the tolerance; once the
// largest errors sit on small sub-intervals (SMALL, halved at each stage), the
// sequence of integral sums is extrapolated with the epsilon algorithm
// (Wynn 1956), with the large sub-intervals bisected first so that each term
// of the sequence belongs to a finer level.

#include "quadrature/D01AMV.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "quadrature/D01AJX.hpp"
#include "quadrature/D01AJY.hpp"
#include "quadrature/D01AMZ.hpp"
#include "support/X02AJF.hpp"
#include "support/X02AMF.hpp"
#include "support/X04AAF.hpp"
#include "support/X04BAF.hpp"
#include "support/record.hpp"
#include "support/one_based.hpp"

namespace triex {

namespace {


// Names the sub-interval [a1, b2] of t around which the integrand behaves too
// badly to be integrated, as x-intervals of the caller's range.
void report_bad_behaviour(double BOUND, int INF, double a1, double b2) {
  double x1 = 0.0;
  double x2 = 0.0;
  if (INF == 1) {
    x1 = (1.0 - a1) / a1 + BOUND;
    x2 = (1.0 - b2) / b2 + BOUND;
  } else if (INF == -1) {
    x1 = BOUND - (1.0 - a1) / a1;
    x2 = BOUND - (1.0 - b2) / b2;
  } else {
    x1 = (1.0 - a1) / a1;
    x2 = (1.0 - b2) / b2;
  }
  LineBuilder first;
  LineBuilder second;
  if (INF == 2) {
    first.text(" ** Extremely bad integrand behaviour occurs around one of the subintervals");
    second.text("    (").D1P(x2, 15, 7).text(" , ").D1P(x1, 15, 7).text(" ) or (");
    second.D1P(-x1, 15, 7).text(" , ").D1P(-x2, 15, 7).text(" )");
  } else {
    // t grows towards the finite limit: for INF = 1 the right end b2 is the
    // smaller x, for INF = -1 the larger.
    const double lo = INF == 1 ? x2 : x1;
    const double hi = INF == 1 ? x1 : x2;
    first.text(" ** Extremely bad integrand behaviour occurs around the subinterval");
    second.text("    (").D1P(lo, 15, 7).text(" , ").D1P(hi, 15, 7).text(" )");
  }
  int IUNIT = 0;
  X04AAF(0, IUNIT);
  X04BAF(IUNIT, view(first.line()));
  X04BAF(IUNIT, view(second.line()));
}

// Where the closing steps begin.
enum class Closing { Select, Sum, Finish };

}  // namespace

void D01AMV(Integrand1D F, double BOUND, int INF, double EPSABS, double EPSREL, std::span<double> ALIST,
            std::span<double> BLIST, std::span<double> ELIST, std::span<double> RLIST, int LIMIT,
            std::span<int> IORD, double& RESULT, double& ABSERR, int& IER) {
  assert(LIMIT >= 1);
  const double EPMACH = X02AJF();
  const double UFLOW = X02AMF();
  const double OFLOW = 1.0 / UFLOW;

  const int IFAIL_ON_ENTRY = IER;
  IER = 0;
  at(ALIST, 1) = 0.0;
  at(BLIST, 1) = 1.0;
  // For INF = 2 the rule adds f(x) and f(-x) on [0, inf).
  const double BOUN = INF == 2 ? 0.0 : BOUND;

  // First application of the rule, to the whole of (0, 1].
  double DEFABS = 0.0;
  double asc0 = 0.0;
  D01AMZ(F, BOUN, INF, 0.0, 1.0, RESULT, ABSERR, DEFABS, asc0);
  int LAST = 1;
  at(RLIST, 1) = RESULT;
  at(ELIST, 1) = ABSERR;
  at(IORD, 1) = 1;
  const double DRES = std::abs(RESULT);
  double ERRBND = std::max(EPSABS, EPSREL * DRES);

  // The last bisection, remembered for the report of bad behaviour.
  double a1 = 0.0;
  double b2 = 0.0;

  Closing closing = Closing::Select;
  bool first_estimate_final = false;
  // An estimate equal to RESASC is the rule's crude bound, not a converged
  // error, and is not accepted by itself.
  if (ABSERR == 0.0 || (ABSERR != asc0 && ABSERR <= ERRBND)) {
    first_estimate_final = true;
  } else {
    if (LIMIT == 1) IER = 1;
    // An error at the rounding level of the summed |g| cannot be reduced.
    if (ABSERR > ERRBND && ABSERR <= 100.0 * EPMACH * DEFABS) IER = 2;
    if (IER != 0) first_estimate_final = true;
  }

  if (first_estimate_final) {
    closing = Closing::Finish;
  } else {
    // The extrapolation table and the history of its last three results start
    // as zeros: an entry of RES3LA that a converged early extrapolation left
    // unwritten counts as 0 when a later call reads it.
    std::array<double, kEpsilonTableLength> RLIST2{};
    std::array<double, 3> RES3LA{};
    at(RLIST2, 1) = RESULT;
    double ERRMAX = ABSERR;
    int MAXERR = 1;
    double AREA = RESULT;
    double ERRSUM = ABSERR;
    ABSERR = OFLOW;
    int NRMAX = 1;
    int NRES = 0;
    int KTMIN = 0;
    int NUMRL2 = 2;
    bool EXTRAP = false;
    bool NOEXT = false;
    int IERRO = 0;
    int IROFF1 = 0;
    int IROFF2 = 0;
    int IROFF3 = 0;
    // KSGN = 1 when g keeps one sign (|RESULT| equals RESABS up to rounding).
    int KSGN = -1;
    if (DRES >= (1.0 - 50.0 * EPMACH) * DEFABS) KSGN = 1;

    double SMALL = 0.0;
    double ERLARG = 0.0;
    double ERTEST = 0.0;
    double CORREC = 0.0;
    double RESEPS = 0.0;
    double ABSEPS = 0.0;

    bool ran_out = true;
    for (LAST = 2; LAST <= LIMIT; ++LAST) {
      // Bisect the sub-interval of largest error (or, in extrapolation mode,
      // the NRMAX-th largest).
      a1 = at(ALIST, MAXERR);
      const double b1 = 0.5 * (at(ALIST, MAXERR) + at(BLIST, MAXERR));
      const double a2 = b1;
      b2 = at(BLIST, MAXERR);
      const double ERLAST = ERRMAX;
      double area1 = 0.0, error1 = 0.0, resabs1 = 0.0, asc1 = 0.0;
      double area2 = 0.0, error2 = 0.0, resabs2 = 0.0, asc2 = 0.0;
      D01AMZ(F, BOUN, INF, a1, b1, area1, error1, resabs1, asc1);
      D01AMZ(F, BOUN, INF, a2, b2, area2, error2, resabs2, asc2);

      // Update the sums instead of re-adding the lists.
      const double area12 = area1 + area2;
      const double erro12 = error1 + error2;
      ERRSUM = ERRSUM + erro12 - ERRMAX;
      AREA = AREA + area12 - at(RLIST, MAXERR);

      // Rounding is suspected when bisection leaves the area unchanged but
      // does not reduce the error, or increases the error late in the run. A
      // half whose estimate is its crude bound RESASC says nothing about it.
      if (asc1 != error1 && asc2 != error2) {
        if (erro12 >= 0.99 * ERRMAX && std::abs(at(RLIST, MAXERR) - area12) <= 1.0e-5 * std::abs(area12)) {
          if (EXTRAP) {
            IROFF2 = IROFF2 + 1;
          } else {
            IROFF1 = IROFF1 + 1;
          }
        }
        if (LAST > 10 && erro12 > ERRMAX) IROFF3 = IROFF3 + 1;
      }
      at(RLIST, MAXERR) = area1;
      at(RLIST, LAST) = area2;
      ERRBND = std::max(EPSABS, EPSREL * std::abs(AREA));

      // The half with the larger error keeps the index MAXERR (the left half
      // on a tie), the other becomes sub-interval LAST.
      if (error2 > error1) {
        at(ALIST, MAXERR) = a2;
        at(ALIST, LAST) = a1;
        at(BLIST, LAST) = b1;
        at(RLIST, MAXERR) = area2;
        at(RLIST, LAST) = area1;
        at(ELIST, MAXERR) = error2;
        at(ELIST, LAST) = error1;
      } else {
        at(ALIST, LAST) = a2;
        at(BLIST, MAXERR) = b1;
        at(BLIST, LAST) = b2;
        at(ELIST, MAXERR) = error1;
        at(ELIST, LAST) = error2;
      }
      D01AJX(LIMIT, LAST, MAXERR, ERRMAX, ELIST, IORD, NRMAX);

      if (ERRSUM <= ERRBND) {
        closing = Closing::Sum;
        ran_out = false;
        break;
      }

      if (LAST == LIMIT) IER = 1;
      if (IROFF3 >= 20 || IROFF1 + IROFF2 >= 10) IER = 2;
      if (IROFF2 >= 5) IERRO = 3;
      // The halves have become indistinguishable from their common end-point
      // at the working precision: bisection cannot go on.
      if (std::max(std::abs(a1), std::abs(b2)) <= (1.0 + 1000.0 * EPMACH) * (std::abs(a2) + 1000.0 * UFLOW)) {
        IER = 4;
      }
      if (IER > 1) {
        ran_out = false;
        break;
      }

      if (LAST == 2) {
        SMALL = 0.375;
        ERLARG = ERRSUM;
        ERTEST = ERRBND;
        at(RLIST2, 2) = AREA;
        continue;
      }
      if (NOEXT) continue;

      // ERLARG: the error sum over the sub-intervals that are still large.
      ERLARG = ERLARG - ERLAST;
      if (std::abs(b1 - a1) > SMALL) ERLARG = ERLARG + erro12;
      if (!EXTRAP) {
        // Extrapolate only once the interval to be bisected next is small.
        if (std::abs(at(BLIST, MAXERR) - at(ALIST, MAXERR)) > SMALL) continue;
        EXTRAP = true;
        NRMAX = 2;
      }

      // While large sub-intervals carry a significant error, bisect them
      // first: the next term of the sequence must belong to a finer level.
      bool large_first = false;
      if (IERRO != 3 && ERLARG > ERTEST) {
        int JUPBND = LAST;
        if (LAST > LIMIT / 2 + 2) JUPBND = LIMIT + 3 - LAST;
        const int ID = NRMAX;
        for (int k = ID; k <= JUPBND; ++k) {
          MAXERR = at(IORD, NRMAX);
          ERRMAX = at(ELIST, MAXERR);
          if (std::abs(at(BLIST, MAXERR) - at(ALIST, MAXERR)) > SMALL) {
            large_first = true;
            break;
          }
          NRMAX = NRMAX + 1;
        }
      }
      if (large_first) continue;

      // Extrapolate the sequence of areas.
      NUMRL2 = NUMRL2 + 1;
      at(RLIST2, NUMRL2) = AREA;
      D01AJY(NUMRL2, RLIST2, RESEPS, ABSEPS, RES3LA, NRES);
      KTMIN = KTMIN + 1;
      if (KTMIN > 5 && ABSERR < 0.001 * ERRSUM) IER = 5;
      if (ABSEPS < ABSERR) {
        KTMIN = 0;
        ABSERR = ABSEPS;
        RESULT = RESEPS;
        CORREC = ERLARG;
        ERTEST = std::max(EPSABS, EPSREL * std::abs(RESEPS));
        if (ABSERR <= ERTEST) {
          if (IER == 1) IER = 0;
          ran_out = false;
          break;
        }
      }

      // The table has collapsed to one element: from now on bisect only.
      if (NUMRL2 == 1) NOEXT = true;
      if (IER == 1 || IER == 5) {
        ran_out = false;
        break;
      }

      // Back to the largest error, with a smaller bound for "small".
      MAXERR = at(IORD, 1);
      ERRMAX = at(ELIST, MAXERR);
      NRMAX = 1;
      EXTRAP = false;
      SMALL = 0.5 * SMALL;
      ERLARG = ERRSUM;
    }
    if (ran_out) LAST = LIMIT;

    // Select: the extrapolated result, or the sum of the contributions.
    if (closing == Closing::Select) {
      bool divergence_test = false;
      if (ABSERR == OFLOW) {
        closing = Closing::Sum;  // no extrapolation was ever accepted
      } else if (IER + IERRO == 0) {
        divergence_test = true;
      } else {
        if (IERRO == 3) ABSERR = ABSERR + CORREC;
        if (IER == 0) IER = 3;
        if (AREA != 0.0 && RESULT != 0.0) {
          if (ABSERR / std::abs(RESULT) > ERRSUM / std::abs(AREA)) {
            closing = Closing::Sum;
          } else {
            divergence_test = true;
          }
        } else if (ABSERR > ERRSUM) {
          closing = Closing::Sum;
        } else if (AREA == 0.0) {
          closing = Closing::Finish;
        } else {
          divergence_test = true;
        }
      }
      if (divergence_test) {
        // A result far from the sum of the contributions, or a sum smaller
        // than its own error, points to a divergent integral; not tested when
        // g changes sign and both are negligible against the integral of |g|.
        if (!(KSGN == -1 && std::max(std::abs(RESULT), std::abs(AREA)) <= 0.01 * DEFABS)) {
          if (std::abs(AREA) < ERRSUM || RESULT / AREA > 100.0 || RESULT / AREA < 0.01) IER = 6;
        }
        closing = Closing::Finish;
      }
    }

    if (closing == Closing::Sum) {
      RESULT = 0.0;
      for (int k = 1; k <= LAST; ++k) RESULT = RESULT + at(RLIST, k);
      ABSERR = ERRSUM;
    }
  }

  // Finish: internal codes 4, 5, 6 become 3, 4, 5 (3, rounding found by the
  // extrapolation, joins 2).
  at(IORD, 1) = LAST;
  if (IER > 2) IER = IER - 1;
  if (IER == 3 && IFAIL_ON_ENTRY != 1) report_bad_behaviour(BOUND, INF, a1, b2);
}

}  // namespace triex

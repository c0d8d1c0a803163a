// D01AMV: globally adaptive bisection with epsilon extrapolation over the
// transformed range (0, 1] (see infinite_range_bisection.hpp). The method is the infinite-range
// integration scheme described by Piessens, de Doncker-Kapenga, Ueberhuber and
// Kahaner (Springer Ser. Comput. Math. 1, 1983), after de Doncker's
// extrapolation scheme (SIGNUM Newsletter 13, 1978): the sub-interval of
// largest error is bisected until the error sum meets the tolerance; once the
// largest errors sit on small sub-intervals (SMALL, halved at each stage), the
// sequence of integral sums is extrapolated with the epsilon algorithm
// (Wynn 1956), with the large sub-intervals bisected first so that each term
// of the sequence belongs to a finer level.

#include "quadrature/infinite_range_bisection.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>

#include "quadrature/error_order_list.hpp"
#include "quadrature/epsilon_algorithm.hpp"
#include "quadrature/transformed_kronrod_rule.hpp"
#include "support/machine_constants.hpp"
#include "support/message_unit.hpp"
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

// What one bisection leaves to do.
enum class Bisected { Go_on, Sum_within_tolerance, Failure_code_set };

// The state of one D01AMV run, stepped by init, bisect, extrapolation_due,
// extrapolate, select and finish. The names are the routine's own: the
// arrays and their one-based accessor, the counters of rounding (IROFF1-3),
// the extrapolation table (RLIST2, RES3LA, NRES, NUMRL2), the error bounds.
class InfiniteRangeBisection {
 public:
  InfiniteRangeBisection(Integrand1D F, double BOUND, int INF, double EPSABS, double EPSREL, std::span<double> ALIST,
                         std::span<double> BLIST, std::span<double> ELIST, std::span<double> RLIST, int LIMIT,
                         std::span<int> IORD, double& RESULT, double& ABSERR, int& IER)
      : F(F), BOUND(BOUND), INF(INF), EPSABS(EPSABS), EPSREL(EPSREL), ALIST(ALIST), BLIST(BLIST), ELIST(ELIST),
        RLIST(RLIST), LIMIT(LIMIT), IORD(IORD), RESULT(RESULT), ABSERR(ABSERR), IER(IER) {}

  void run() {
    if (init()) {
      closing = Closing::Finish;
    } else {
      start_bisection();
      bool ran_out = true;
      for (LAST = 2; LAST <= LIMIT; ++LAST) {
        const Bisected step = bisect();
        if (step == Bisected::Sum_within_tolerance) closing = Closing::Sum;
        if (step != Bisected::Go_on) {
          ran_out = false;
          break;
        }
        if (!extrapolation_due()) continue;
        if (!extrapolate()) {
          ran_out = false;
          break;
        }
      }
      if (ran_out) LAST = LIMIT;
      if (closing == Closing::Select) select();
      if (closing == Closing::Sum) sum_contributions();
    }
    finish();
  }

 private:
  // First application of the rule, to the whole of (0, 1]; true when its
  // estimate is final (accepted, or failed beyond repair).
  bool init() {
    assert(LIMIT >= 1);
    IFAIL_ON_ENTRY = IER;
    IER = 0;
    at(ALIST, 1) = 0.0;
    at(BLIST, 1) = 1.0;
    double asc0 = 0.0;
    D01AMZ(F, BOUN, INF, 0.0, 1.0, RESULT, ABSERR, DEFABS, asc0);
    LAST = 1;
    at(RLIST, 1) = RESULT;
    at(ELIST, 1) = ABSERR;
    at(IORD, 1) = 1;
    DRES = std::abs(RESULT);
    ERRBND = std::max(EPSABS, EPSREL * DRES);
    // An estimate equal to RESASC is the rule's crude bound, not a converged
    // error, and is not accepted by itself.
    if (ABSERR == 0.0 || (ABSERR != asc0 && ABSERR <= ERRBND)) return true;
    if (LIMIT == 1) IER = 1;
    // An error at the rounding level of the summed |g| cannot be reduced.
    if (ABSERR > ERRBND && ABSERR <= 100.0 * EPMACH * DEFABS) IER = 2;
    return IER != 0;
  }

  void start_bisection() {
    at(RLIST2, 1) = RESULT;
    ERRMAX = ABSERR;
    MAXERR = 1;
    AREA = RESULT;
    ERRSUM = ABSERR;
    ABSERR = OFLOW;
    // KSGN = 1 when g keeps one sign (|RESULT| equals RESABS up to rounding).
    if (DRES >= (1.0 - 50.0 * EPMACH) * DEFABS) KSGN = 1;
  }

  // Bisect the sub-interval of largest error (or, in extrapolation mode, the
  // NRMAX-th largest), update the sums, lists and rounding counters.
  Bisected bisect() {
    a1 = at(ALIST, MAXERR);
    b1 = 0.5 * (at(ALIST, MAXERR) + at(BLIST, MAXERR));
    const double a2 = b1;
    b2 = at(BLIST, MAXERR);
    ERLAST = ERRMAX;
    double area1 = 0.0, error1 = 0.0, resabs1 = 0.0, asc1 = 0.0;
    double area2 = 0.0, error2 = 0.0, resabs2 = 0.0, asc2 = 0.0;
    D01AMZ(F, BOUN, INF, a1, b1, area1, error1, resabs1, asc1);
    D01AMZ(F, BOUN, INF, a2, b2, area2, error2, resabs2, asc2);

    // Update the sums instead of re-adding the lists.
    const double area12 = area1 + area2;
    erro12 = error1 + error2;
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

    if (ERRSUM <= ERRBND) return Bisected::Sum_within_tolerance;

    if (LAST == LIMIT) IER = 1;
    if (IROFF3 >= 20 || IROFF1 + IROFF2 >= 10) IER = 2;
    if (IROFF2 >= 5) IERRO = 3;
    // The halves have become indistinguishable from their common end-point
    // at the working precision: bisection cannot go on.
    if (std::max(std::abs(a1), std::abs(b2)) <= (1.0 + 1000.0 * EPMACH) * (std::abs(a2) + 1000.0 * UFLOW)) {
      IER = 4;
    }
    return IER > 1 ? Bisected::Failure_code_set : Bisected::Go_on;
  }

  // Whether the sequence of areas takes its next term now: only once the
  // interval to be bisected next is small, and the large sub-intervals no
  // longer carry a significant error (they are bisected first, so that each
  // term of the sequence belongs to a finer level).
  bool extrapolation_due() {
    if (LAST == 2) {
      SMALL = 0.375;
      ERLARG = ERRSUM;
      ERTEST = ERRBND;
      at(RLIST2, 2) = AREA;
      return false;
    }
    if (NOEXT) return false;

    // ERLARG: the error sum over the sub-intervals that are still large.
    ERLARG = ERLARG - ERLAST;
    if (std::abs(b1 - a1) > SMALL) ERLARG = ERLARG + erro12;
    if (!EXTRAP) {
      if (std::abs(at(BLIST, MAXERR) - at(ALIST, MAXERR)) > SMALL) return false;
      EXTRAP = true;
      NRMAX = 2;
    }
    if (IERRO != 3 && ERLARG > ERTEST) {
      int JUPBND = LAST;
      if (LAST > LIMIT / 2 + 2) JUPBND = LIMIT + 3 - LAST;
      const int ID = NRMAX;
      for (int k = ID; k <= JUPBND; ++k) {
        MAXERR = at(IORD, NRMAX);
        ERRMAX = at(ELIST, MAXERR);
        if (std::abs(at(BLIST, MAXERR) - at(ALIST, MAXERR)) > SMALL) return false;
        NRMAX = NRMAX + 1;
      }
    }
    return true;
  }

  // One term of the epsilon algorithm; false when the run ends here.
  bool extrapolate() {
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
        return false;
      }
    }

    // The table has collapsed to one element: from now on bisect only.
    if (NUMRL2 == 1) NOEXT = true;
    if (IER == 1 || IER == 5) return false;

    // Back to the largest error, with a smaller bound for "small".
    MAXERR = at(IORD, 1);
    ERRMAX = at(ELIST, MAXERR);
    NRMAX = 1;
    EXTRAP = false;
    SMALL = 0.5 * SMALL;
    ERLARG = ERRSUM;
    return true;
  }

  // The extrapolated result, or the sum of the contributions.
  void select() {
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

  void sum_contributions() {
    RESULT = 0.0;
    for (int k = 1; k <= LAST; ++k) RESULT = RESULT + at(RLIST, k);
    ABSERR = ERRSUM;
  }

  // Internal codes 4, 5, 6 become 3, 4, 5 (3, rounding found by the
  // extrapolation, joins 2).
  void finish() {
    at(IORD, 1) = LAST;
    if (IER > 2) IER = IER - 1;
    if (IER == 3 && IFAIL_ON_ENTRY != 1) report_bad_behaviour(BOUND, INF, a1, b2);
  }

  // The call's arguments.
  Integrand1D F;
  const double BOUND;
  const int INF;
  const double EPSABS, EPSREL;
  std::span<double> ALIST, BLIST, ELIST, RLIST;
  const int LIMIT;
  std::span<int> IORD;
  double& RESULT;
  double& ABSERR;
  int& IER;

  const double EPMACH = X02AJF();
  const double UFLOW = X02AMF();
  const double OFLOW = 1.0 / UFLOW;
  // For INF = 2 the rule adds f(x) and f(-x) on [0, inf).
  const double BOUN = INF == 2 ? 0.0 : BOUND;
  int IFAIL_ON_ENTRY = 0;
  double DEFABS = 0.0;
  double DRES = 0.0;
  double ERRBND = 0.0;
  int LAST = 1;
  Closing closing = Closing::Select;

  // The last bisection: its ends (also for the report of bad behaviour), its
  // midpoint, the error it replaced and the error of its two halves.
  double a1 = 0.0, b1 = 0.0, b2 = 0.0;
  double ERLAST = 0.0, erro12 = 0.0;

  // The extrapolation table and the history of its last three results start
  // as zeros: an entry of RES3LA that a converged early extrapolation left
  // unwritten counts as 0 when a later call reads it.
  std::array<double, kEpsilonTableLength> RLIST2{};
  std::array<double, 3> RES3LA{};
  double ERRMAX = 0.0;
  int MAXERR = 1;
  double AREA = 0.0;
  double ERRSUM = 0.0;
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
  int KSGN = -1;
  double SMALL = 0.0;
  double ERLARG = 0.0;
  double ERTEST = 0.0;
  double CORREC = 0.0;
  double RESEPS = 0.0;
  double ABSEPS = 0.0;
};

}  // namespace

void D01AMV(Integrand1D F, double BOUND, int INF, double EPSABS, double EPSREL, std::span<double> ALIST,
            std::span<double> BLIST, std::span<double> ELIST, std::span<double> RLIST, int LIMIT,
            std::span<int> IORD, double& RESULT, double& ABSERR, int& IER) {
  InfiniteRangeBisection(F, BOUND, INF, EPSABS, EPSREL, ALIST, BLIST, ELIST, RLIST, LIMIT, IORD, RESULT, ABSERR, IER)
      .run();
}

}  // namespace triex

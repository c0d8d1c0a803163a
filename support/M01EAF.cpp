// M01EAF: rearranges a section of a real vector in place by a permutation of
// ranks, the value at position i moving to position IRANK(i).
//
// A permutation splits into disjoint cycles; following each cycle once and
// carrying one value along it moves every element exactly once with a single
// scratch value. The only bookkeeping is the sign of the IRANK entries: a
// marking pass negates every entry that is not a fixed point (and checks the
// range), the cycle pass restores each entry as its element moves, so an entry
// that is already positive when a cycle reaches it means the cycle is closed --
// or, if the walk did not come back to where it began, that two entries name
// the same position. On every return IRANK holds its values from entry.
#include "support/M01EAF.hpp"

#include <array>
#include <cassert>
#include <cstddef>
#include <string_view>

#include "support/P01ABF.hpp"
#include "support/record.hpp"
#include "support/one_based.hpp"

namespace triex {

namespace {


constexpr std::string_view kNotPermutation = " ** IRANK(M1:M2) does not contain a permutation of the integers M1 to M2";

}  // namespace

void M01EAF(std::span<double> VALS, int M1, int M2, std::span<int> IRANK, int& IFAIL) {
  std::array<MessageLine, 2> MSGS{};
  int ierr = 0;
  if (M1 > M2 || M1 < 1 || M2 < 1) {
    ierr = 1;
    MSGS[0] = LineBuilder().text(" ** On entry, one or more of the following parameter values is illegal").line();
    MSGS[1] = LineBuilder().text("    M1 =").I(M1, 16).text("  M2 =").I(M2, 16).line();
    IFAIL = P01ABF(IFAIL, ierr, "M01EAF", 2, MSGS);
    return;
  }

  // Marking pass. Entries in range are at least M1 >= 1, so negating them is
  // safe and a negative entry can only be one that was marked here.
  for (int i = M1;; ++i) {
    const int target = at(IRANK, i);
    if (target > M2 || target < M1) {
      ierr = 2;
      MSGS[0] = LineBuilder().text(kNotPermutation).line();
      MSGS[1] = LineBuilder().text("    IRANK(").I(i, 6).text(") contains an out-of-range value").I(target, 16).line();
      // Only the entries before i were marked; entry i and those after it are
      // as on entry (an out-of-range entry may itself be negative).
      for (int j = M1; j < i; ++j) {
        if (at(IRANK, j) < 0) at(IRANK, j) = -at(IRANK, j);
      }
      IFAIL = P01ABF(IFAIL, ierr, "M01EAF", 2, MSGS);
      return;
    }
    if (target != i) at(IRANK, i) = -target;
    if (i == M2) break;
  }

  // Cycle pass.
  for (int i = M1;; ++i) {
    if (at(IRANK, i) < 0) {
      double a = at(VALS, i);
      int j = i;
      int k = -at(IRANK, j);
      do {
        at(IRANK, j) = k;
        const double displaced = at(VALS, k);
        at(VALS, k) = a;
        a = displaced;
        j = k;
        k = -at(IRANK, j);
      } while (k > 0);
      if (j != i) {
        // Two entries name position j. The walk from i ended there, so
        // position i gave its value away and received none: the carried value
        // goes there, which keeps every value of the section in VALS.
        at(VALS, i) = a;
        ierr = 3;
        MSGS[0] = LineBuilder().text(kNotPermutation).line();
        MSGS[1] = LineBuilder().text("    IRANK contains a repeated value").I(j, 16).line();
        for (int m = M1;; ++m) {
          if (at(IRANK, m) < 0) at(IRANK, m) = -at(IRANK, m);
          if (m == M2) break;
        }
        IFAIL = P01ABF(IFAIL, ierr, "M01EAF", 2, MSGS);
        return;
      }
    }
    if (i == M2) break;
  }
  IFAIL = 0;
}

}  // namespace triex

// Ranking and rearranging a section of a real vector: M01DAF ranks, M01EAF
// moves the values to their ranks.
//
// M01DAF: stable ranking of a section of a real vector by a natural merge sort
// on linked lists.
//
// Nothing of VALS moves and no storage beyond IRANK(M1..M2) is used: while the
// routine works, those entries hold linked lists of element indices. One pass
// over the data cuts it into sorted runs, using the order already present: an
// element is appended when it is not below the run's last value (one
// comparison), put in front when it is strictly below the first (two), and
// inserted by a short walk only while the run is younger than a window of 10
// indices, so that no walk passes more than 9 elements. Ascending and strictly
// descending data therefore form one run and cost n-1 or 2(n-1) comparisons.
// The runs are dealt alternately onto two chains and merged pairwise by
// relinking (Knuth, TAOCP vol. 3, 5.2.4, list merge sort), pass after pass,
// until one run remains. Every merged pair has its earlier indices on chain
// one and chain one wins ties, so the final list is ascending and stable;
// descending ranks reverse it group by group of equal values, which keeps equal
// values in index order in both directions.
//
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
#include "support/ranking.hpp"

#include <array>
#include <cassert>
#include <cstddef>
#include <string_view>

#include "support/error_exit.hpp"
#include "support/one_based.hpp"
#include "support/ranking_runs.hpp"
#include "support/record.hpp"

namespace triex {

namespace {


// Two chains of runs, filled alternately starting with chain one.
struct ChainPair {
  std::array<int, 2> head{0, 0};
  std::array<int, 2> tail{0, 0};  // last element of the last run on each chain
  int turn = 0;
  int runs = 0;

  // Puts the run first..last on the chain whose turn it is; it ends that chain.
  void close_run(std::span<int> IRANK, int first, int last) {
    at(IRANK, last) = 0;
    link(IRANK, first);
    tail[static_cast<std::size_t>(turn)] = last;
    turn = 1 - turn;
    ++runs;
  }

  // Puts a run that already ends with a 0 entry on the chain whose turn it is.
  // Its last element is not known, so nothing may follow it on that chain.
  void close_final_run(std::span<int> IRANK, int first) {
    link(IRANK, first);
    tail[static_cast<std::size_t>(turn)] = 0;
    turn = 1 - turn;
    ++runs;
  }

 private:
  void link(std::span<int> IRANK, int first) {
    const auto k = static_cast<std::size_t>(turn);
    if (tail[k] != 0) {
      at(IRANK, tail[k]) = -first;
    } else {
      head[k] = first;
    }
  }
};

// Reverses the final list group by group of exactly equal values, keeping the
// order inside each group. Returns the new first element.
int reverse_by_groups(std::span<const double> VALS, std::span<int> IRANK, int head) {
  int reversed = 0;
  int p = head;
  while (p > 0) {
    const int first = p;
    int last = p;
    while (at(IRANK, last) > 0 && at(VALS, at(IRANK, last)) == at(VALS, last)) last = at(IRANK, last);
    p = at(IRANK, last);
    at(IRANK, last) = reversed;
    reversed = first;
  }
  return reversed;
}

}  // namespace

namespace m01daf {

int build_runs(std::span<const double> VALS, int M1, int M2, std::span<int> IRANK, int& head1, int& head2) {
  assert(M1 < M2);
  constexpr int kInsertionWindow = 10;
  ChainPair chains;
  int start = M1;  // index that began the current run
  int head = M1;   // its first and last element in order
  int tail = M1;
  for (int i = M1; i != M2;) {
    ++i;
    const double v = at(VALS, i);
    if (v >= at(VALS, tail)) {
      at(IRANK, tail) = i;
      tail = i;
    } else if (v < at(VALS, head)) {
      at(IRANK, i) = head;
      head = i;
    } else if (i - start < kInsertionWindow) {
      // Insert after the last element not above v. For ordered values the walk
      // stops before the tail, which is above v; the tail test only guards
      // against values that do not compare (NaN).
      int p = head;
      while (p != tail && at(VALS, at(IRANK, p)) <= v) p = at(IRANK, p);
      if (p == tail) {
        at(IRANK, tail) = i;
        tail = i;
      } else {
        at(IRANK, i) = at(IRANK, p);
        at(IRANK, p) = i;
      }
    } else {
      chains.close_run(IRANK, head, tail);
      start = i;
      head = i;
      tail = i;
    }
  }
  chains.close_run(IRANK, head, tail);
  head1 = chains.head[0];
  head2 = chains.head[1];
  return chains.runs;
}

int merge_pass(std::span<const double> VALS, std::span<int> IRANK, int& head1, int& head2) {
  ChainPair merged;
  int a = head1;  // current element of the chain-one run (0: run used up)
  int b = head2;  // current element of the chain-two run
  while (a != 0 && b != 0) {
    int next_a = 0;  // first elements of the runs that follow on each chain
    int next_b = 0;
    // Takes the current element of a run and steps on; the link is read before
    // the element's own entry is overwritten by the merged list.
    auto take = [&IRANK](int& current, int& next_run) {
      const int x = current;
      const int link = at(IRANK, x);
      if (link > 0) {
        current = link;
      } else {
        current = 0;
        next_run = -link;
      }
      return x;
    };
    // The chain-two element goes first only when strictly smaller: chain one
    // holds the earlier indices, so ties keep index order.
    const int first = at(VALS, b) < at(VALS, a) ? take(b, next_b) : take(a, next_a);
    int last = first;
    while (a != 0 && b != 0) {
      const int x = at(VALS, b) < at(VALS, a) ? take(b, next_b) : take(a, next_a);
      at(IRANK, last) = x;
      last = x;
    }
    // Link on the rest of the other run and walk to its end, where the first
    // element of the next run on its chain is recorded.
    int& rest = a != 0 ? a : b;
    int& next_rest = a != 0 ? next_a : next_b;
    at(IRANK, last) = rest;
    last = rest;
    while (at(IRANK, last) > 0) last = at(IRANK, last);
    next_rest = -at(IRANK, last);
    rest = 0;
    merged.close_run(IRANK, first, last);
    a = next_a;
    b = next_b;
  }
  // The run left unpaired (only chain one can hold one) is the last on its
  // chain and already ends with 0.
  if (a != 0) merged.close_final_run(IRANK, a);
  if (b != 0) merged.close_final_run(IRANK, b);
  head1 = merged.head[0];
  head2 = merged.head[1];
  return merged.runs;
}

}  // namespace m01daf

void M01DAF(std::span<const double> VALS, int M1, int M2, char ORDER, std::span<int> IRANK, int& IFAIL) {
  std::array<MessageLine, 2> MSGS{};
  int ierr = 0;
  int nmsg = 0;
  if (M1 > M2 || M1 < 1 || M2 < 1) {
    ierr = failure_code(RankFailure::BadRange);
    nmsg = 2;
    MSGS[0] = LineBuilder().text(" ** On entry, one or more of the following parameter values is illegal").line();
    MSGS[1] = LineBuilder().text("    M1 =").I(M1, 16).text("  M2 =").I(M2, 16).line();
  } else if (ORDER != 'A' && ORDER != 'a' && ORDER != 'D' && ORDER != 'd') {
    ierr = failure_code(RankFailure::BadOrder);
    nmsg = 1;
    MSGS[0] = LineBuilder().text(" ** On entry, ORDER has an illegal value: ORDER = ").text({&ORDER, 1}).line();
  }
  if (ierr != 0) {
    IFAIL = P01ABF(IFAIL, ierr, "M01DAF", nmsg, MSGS);
    return;
  }

  if (M1 == M2) {
    at(IRANK, M1) = M1;
    IFAIL = 0;
    return;
  }

  int head1 = 0;
  int head2 = 0;
  m01daf::build_runs(VALS, M1, M2, IRANK, head1, head2);
  while (head2 != 0) m01daf::merge_pass(VALS, IRANK, head1, head2);

  int p = head1;
  if (ORDER == 'D' || ORDER == 'd') p = reverse_by_groups(VALS, IRANK, p);

  // The list holds M2-M1+1 elements; each link is read before its entry turns
  // into the element's rank.
  for (int rank = M1;; ++rank) {
    const int next = at(IRANK, p);
    at(IRANK, p) = rank;
    if (rank == M2) break;
    p = next;
  }
  IFAIL = 0;
}



namespace {


constexpr std::string_view kNotPermutation = " ** IRANK(M1:M2) does not contain a permutation of the integers M1 to M2";

}  // namespace

void M01EAF(std::span<double> VALS, int M1, int M2, std::span<int> IRANK, int& IFAIL) {
  std::array<MessageLine, 2> MSGS{};
  int ierr = 0;
  if (M1 > M2 || M1 < 1 || M2 < 1) {
    ierr = failure_code(RearrangeFailure::BadRange);
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
      ierr = failure_code(RearrangeFailure::RankOutOfRange);
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
        ierr = failure_code(RearrangeFailure::RepeatedRank);
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

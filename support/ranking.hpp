// Ranking and rearranging a section of a real vector.
#pragma once

#include <span>

namespace triex {

// The failure codes of M01DAF and of M01EAF, IFAIL on return.
enum class RankFailure : int { None = 0, BadRange = 1, BadOrder = 2 };
enum class RearrangeFailure : int { None = 0, BadRange = 1, RankOutOfRange = 2, RepeatedRank = 3 };

// M01DAF: stable ranks of VALS(M1..M2), ascending (ORDER 'A'/'a') or descending
// ('D'/'d'), by a natural merge of linked runs held in IRANK itself; no element
// of VALS moves and nothing is allocated. IRANK(i) receives M1 plus the number
// of elements of the section that come before element i; equal values keep
// their index order in both directions. Entries outside M1..M2 are untouched.
// VALS and IRANK are whole vectors: index i is element i-1 of the span.
// Error codes (RankFailure): 1 bad M1/M2, 2 bad ORDER (reported through P01ABF; IRANK is
// not touched).
void M01DAF(std::span<const double> VALS, int M1, int M2, char ORDER, std::span<int> IRANK, int& IFAIL);

// M01EAF: rearranges VALS(M1..M2) in place so that the value at position i
// moves to position IRANK(i), following the permutation's cycles and marking
// progress by the sign of IRANK; nothing is allocated. VALS and IRANK are whole
// vectors: index i is element i-1 of the span.
// Error codes (RearrangeFailure): 1 bad M1/M2, 2 an out-of-range rank, 3 a repeated rank
// (reported through P01ABF). IRANK holds its entry values on every return; VALS
// is unchanged on codes 1 and 2, and on code 3 holds the same values as on
// entry, some of them already moved.
void M01EAF(std::span<double> VALS, int M1, int M2, std::span<int> IRANK, int& IFAIL);

}  // namespace triex

// M01EAF: rearranges VALS(M1..M2) in place so that the value at position i
// moves to position IRANK(i), following the permutation's cycles and marking
// progress by the sign of IRANK; nothing is allocated. VALS and IRANK are whole
// vectors: index i is element i-1 of the span.
// Error codes: 1 bad M1/M2, 2 an out-of-range rank, 3 a repeated rank
// (reported through P01ABF). IRANK holds its entry values on every return; VALS
// is unchanged on codes 1 and 2, and on code 3 holds the same values as on
// entry, some of them already moved.
#pragma once

#include <span>

namespace triex {

void M01EAF(std::span<double> VALS, int M1, int M2, std::span<int> IRANK, int& IFAIL);

}  // namespace triex

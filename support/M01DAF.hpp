// M01DAF: stable ranks of VALS(M1..M2), ascending (ORDER 'A'/'a') or descending
// ('D'/'d'), by a natural merge of linked runs held in IRANK itself; no element
// of VALS moves and nothing is allocated. IRANK(i) receives M1 plus the number
// of elements of the section that come before element i; equal values keep
// their index order in both directions. Entries outside M1..M2 are untouched.
// VALS and IRANK are whole vectors: index i is element i-1 of the span.
// Error codes: 1 bad M1/M2, 2 bad ORDER (reported through P01ABF; IRANK is
// not touched).
#pragma once

#include <span>

namespace triex {

void M01DAF(std::span<const double> VALS, int M1, int M2, char ORDER, std::span<int> IRANK, int& IFAIL);

}  // namespace triex

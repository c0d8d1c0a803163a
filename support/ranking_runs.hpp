// The two list-building steps of M01DAF, exposed so that their structure (how
// many runs the data form, how many merge passes follow) can be checked on its
// own. Library callers use M01DAF.
//
// Within IRANK(M1..M2) a positive entry is the index of the next element of the
// same run; an entry of 0 or less ends a run and holds minus the index of the
// first element of the next run on the same chain, or 0 at the end of the chain.
// head1 and head2 are the first elements of chain one and chain two (0: empty).
#pragma once

#include <span>

namespace triex::m01daf {

// One pass over VALS(M1..M2), M1 < M2: builds sorted runs (append at the end,
// put in front, or insert while the run is younger than the insertion window of
// 10 indices), closing them alternately onto chain one and chain two. Returns
// the number of runs.
int build_runs(std::span<const double> VALS, int M1, int M2, std::span<int> IRANK, int& head1, int& head2);

// Merges the k-th run of chain one with the k-th run of chain two, for every k,
// by relinking; the merged runs (and a run left unpaired) go alternately onto
// two new chains, which replace the old ones. Returns the number of runs after
// the pass.
int merge_pass(std::span<const double> VALS, std::span<int> IRANK, int& head1, int& head2);

}  // namespace triex::m01daf

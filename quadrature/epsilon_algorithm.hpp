// D01AJY: Wynn's epsilon algorithm applied to the sequence of integral sums of
// the adaptive integrator, with an error estimate for the extrapolated value.
//
// EPSTAB(1..N) holds the sequence, newest element EPSTAB(N), interleaved with
// the lower diagonals of the epsilon table as the previous call left them;
// EPSTAB(N+1), EPSTAB(N+2) are scratch. The call adds the new diagonal, returns
// the best extrapolated RESULT and its error ABSERR, and may shorten the table
// (N goes down) when elements coincide or the table behaves irregularly, and
// always keeps it at no more than LIMEXP - 1 = 49 elements. RES3LA keeps the
// last three results, NRES counts the calls: from the fourth call on, ABSERR
// is judged by the spread of the last results; the first three (and every
// call with N < 3) return ABSERR = OFLOW = 1/X02AMF().
#pragma once

#include <span>

namespace triex {

inline constexpr int LIMEXP = 50;
inline constexpr int kEpsilonTableLength = LIMEXP + 2;

void D01AJY(int& N, std::span<double, kEpsilonTableLength> EPSTAB, double& RESULT, double& ABSERR,
            std::span<double, 3> RES3LA, int& NRES);

}  // namespace triex

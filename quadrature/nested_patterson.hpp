// D01DAF: double integral over a finite region,
//   ANS ~ integral over y in [YA, YB] of integral over x in [PHI1(y), PHI2(y)] of F(x, y),
// to the absolute accuracy ABSACC in every one-dimensional integration, by
// Patterson's nested 1-3-7-15-31-63-127-255-point rules applied twice (outer
// over y, inner over x). NPTS counts the calls of F. Failure code
// 10 * (inner integrations that did not converge) + (1 if the outer did not),
// reported through P01ABF with the caller's IFAIL.
#pragma once

#include "support/function_ref.hpp"

namespace triex {

// D01DAF's failure code is a sum: InnerNotConverged for each inner
// integration that did not converge, plus OuterNotConverged when the outer
// one did not.
enum class NestedPattersonFailure : int { None = 0, OuterNotConverged = 1, InnerNotConverged = 10 };

using Integrand2D = function_ref<double(double, double)>;  // F(x, y): inner variable first
using LimitFunction = function_ref<double(double)>;        // PHI(y)

void D01DAF(double YA, double YB, LimitFunction PHI1, LimitFunction PHI2, Integrand2D F, double ABSACC, double& ANS,
            int& NPTS, int& IFAIL);

}  // namespace triex

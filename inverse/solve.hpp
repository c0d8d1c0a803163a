// The inverse problem of the shape: the ellipsoids a >= b >= c with a given
// reduced excluded volume X, from the exact closed form.
//
// In the plane of u = ln(a/b) >= 0 and v = ln(b/c) >= 0, u_red is 8 at the
// origin (the sphere) and grows along every ray from it, so the shapes with
// u_red = X form one curve that every ray crosses once: it runs from the
// prolate spheroid (u, 0) to the oblate one (0, v). The solver follows the
// rays at equal angles from the prolate to the oblate axis and finds the
// crossing on each with a bracketing root finder (Alefeld, Potra and Shi,
// "Algorithm 748: enclosing zeros of continuous functions", ACM Trans. Math.
// Softw. 21, 1995, 327-344), so that a/b falls and b/c rises along the rows.
#pragma once

#include <vector>

#include "inverse/axial_ratios.hpp"

namespace triex {

// The largest u_red whose curve stays within axial ratios of kMaxSolveRatio:
// the smaller of the two spheroids' values at that ratio.
double largest_ured_within_ratio_limit();

// The curve for 8 < X <= largest_ured_within_ratio_limit(), `points` >= 2 rows, the
// prolate end first. Each row's u_red is X within 1e-12 relative.
std::vector<AxialRatios> ured_level_curve(double X, int points);

}  // namespace triex

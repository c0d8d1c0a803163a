// The fit of an ellipsoid's shape to several measurements: every local
// minimum of chi2 over the box 1 <= a/b, b/c <= 1000, the confidence regions
// around each, and how well the data determine the shape.
//
// Global search: chi2 on a fixed grid of 121 x 121 nodes uniform in x = ln(a/b)
// and y = ln(b/c) (the shape factors of its nodes are computed once per
// process), every node that is a local minimum of its neighbourhood refined
// by Levenberg-Marquardt (More, Lecture Notes in Math. 630, 1978, 105, in
// Eigen's port of MINPACK), the refined minima folded into a >= b >= c and
// merged when no barrier separates them.
//
// Regions: {chi2 <= chi2_min + dchi2} with dchi2 the two-parameter points
// 2.30 (68.27 %) and 5.99 (95 %) of the chi-square distribution (Avni,
// Astrophys. J. 210, 1976, 642: a parameter fitted beside the two, here ln vs,
// is minimised over). They are sampled on a grid aligned with the principal
// axes of the linearised chi2 at each solution, widened until the region
// lies inside it and narrowed until the region spans many cells; their
// projections come from the nodes inside and the boundary crossings on the
// grid's edges. A point with a < b or b < c is the mirror image of one in the
// box, with the same chi2, and counts as that image: near a spheroid line the
// region folds onto the line and the interval of that ratio becomes
// one-sided, where the linearised covariance is wrong by construction (all
// level curves are tangent on the spheroid lines).
//
// Reentrant: the only data shared between calls is the immutable table of
// the grid's shape factors, built once.
#pragma once

#include <span>

#include "inverse/measurement_model.hpp"
#include "triex/triex.hpp"

namespace triex {

// -2 ln(1 - p) for p = 0.6827 and 0.95: the chi-square quantiles of two degrees of freedom.
inline constexpr double kDeltaChi2_68 = 2.2957489288986;
inline constexpr double kDeltaChi2_95 = 5.9914645471080;

// The amplification above which a fit is ill-conditioned.
inline constexpr double kIllConditioned = 10;

// Refuses (FitRefused) what fit() cannot take; fit() calls it first.
void check_fit_inputs(const FitInputs& inputs);

// One Levenberg-Marquardt refinement from (x, y, w) (w ignored when the
// hydration is given), folded into x, y >= 0.
struct LocalMinimum {
  double x, y, w, chi2;
  int evaluations;  // residual vectors computed, Jacobians included
};
LocalMinimum refine_minimum(const MeasurementModel& model, double x, double y, double w);

// The linearised standard error of ln(a/b) or ln(b/c), the larger, per 1 %
// error in each datum; rows of `extra` kinds are added with the relative
// error `extra_sigma_percent` (in percent). Infinite where the data do not
// determine both ratios to first order.
double error_amplification(const MeasurementModel& model, double x, double y, double w,
                           std::span<const Measurement> extra = {}, double extra_sigma_percent = 2);

FitResult fit_shape(const FitInputs& checked_inputs);

}  // namespace triex

#pragma once
// Natural cubic splines, shared by the Function Generator and the Delay block.

#include <span>

// Second derivatives y2 of the natural cubic spline (zero curvature at both ends) through the
// points (x[i], y[i]); x must increase. The three arrays are meant to have the same length; only
// the common length is used.
void SplineSetup(std::span<const double> y, std::span<const double> x, std::span<double> y2);

// The spline's value at `position`, found by bisection over x. Arrays of different lengths, or
// no points at all, give 0.0; a single point gives its ordinate.
double SplineEvaluate(std::span<const double> y, std::span<const double> x, std::span<const double> y2,
                      double position);

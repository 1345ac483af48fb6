// The container's view in logical units and its mapping to pixels, as plain data and functions.
//
// Every change of the limits passes ValidateLimits: the minimum sizes first, then the extents,
// which move a narrower view inside them and shrink a wider one to their size.
//
// Degenerate views. MinZoomX/MinZoomY are stored unchecked, so with a minimum of zero (or below)
// the limits may have no width or height at all, and extreme values may give a span that is not
// a finite number. The mapping then takes the span as one logical unit (the same fallback
// SetRightYLimits uses for an empty right-Y range): the scale stays finite and non-zero, so no
// conversion divides by zero and no layer is handed an infinite scale. A drawing area of zero
// pixels gives a scale of 0; converting a pixel back then yields the view's minimum. Results of
// ScreenToLogical saturate at the largest finite double, results of LogicalToScreen and pixel
// positions at the 32-bit range.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::container {

// A logical rectangle: limits or extents.
struct Limits {
  double xMin;
  double xMax;
  double yMin;
  double yMax;
};

bool IsFinite(const Limits& limits);

// The one validation rule for new limits.
Limits ValidateLimits(Limits requested, const Limits& extents, double minZoomX, double minZoomY);

// Pixels per logical unit for `pixels` over min..max (see Degenerate views above).
double AxisScale(LONG pixels, double min, double max);
// A pixel offset from the start of an axis back to a logical value.
double LogicalFromOffset(double offset, double scale, double min);
// Truncation toward zero, saturating at the 32-bit range; NaN gives 0.
LONG TruncateToPixel(double value);

// The record for layers drawn with the limits, for a drawing area of width x height at (0, 0).
DrawLayerInfo MakeDrawInfo(const Limits& limits, LONG width, LONG height);
// The same record with YMin and YScale taken from the right-Y limits.
DrawLayerInfo MakeRightYDrawInfo(const DrawLayerInfo& info, double rightYMin, double rightYMax);

}  // namespace kelmira::container

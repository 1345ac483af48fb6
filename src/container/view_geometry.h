// The container's view in logical units, as plain data and functions.
//
// Every change of the limits passes ValidateLimits: the minimum sizes first, then the extents,
// which move a narrower view inside them and shrink a wider one to their size. Nothing is refused:
// values that are not finite go through the same steps (NaN compares false everywhere, so it
// passes unchanged) and are stored; the mapping to pixels (common/pixel_mapping.h) gives every
// such view defined pixels.
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

// The one validation rule for new limits.
Limits ValidateLimits(Limits requested, const Limits& extents, double minZoomX, double minZoomY);

// The record for layers drawn with the limits, for a drawing area of width x height at (0, 0).
DrawLayerInfo MakeDrawInfo(const Limits& limits, LONG width, LONG height);
// The same record with YMin and YScale taken from the right-Y limits.
DrawLayerInfo MakeRightYDrawInfo(const DrawLayerInfo& info, double rightYMin, double rightYMax);

}  // namespace kelmira::container

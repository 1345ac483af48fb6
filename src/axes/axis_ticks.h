// The ticks of one drawing: their values and their pixels.
//
// Tick values are whole multiples of the step, each computed afresh from a 64-bit counter (never
// by adding steps). The X axis visits them upwards from trunc(start / step) while the value is
// at most end (for a negative step, at least end); the Y axis visits them downwards from the end
// value with s = -step, first = trunc(end / s), while the value is at least start (or at most).
// The first value may lie outside the range by less than a step; the pixel test of the drawing
// decides whether it is drawn.
//
// Bounds: at most kMaxTicks values are visited in one drawing, so a tiny step over a wide range
// ends there. A first multiple beyond the 64-bit range is held at its end.
//
// Pixels follow the grid rule, measured inward from each axis's own edge:
//   X: x = left + M + trunc((value - start) * (right - left - 2M) / (end - start))
//   Y: y = top + M + trunc((value - end) * (bottom - top - 2M) / (start - end))
// With the same width, margin 0 and the same limits an X tick lands on the grid's column for the
// value: both count whole multiples of the same step. The grid's automatic step is held at its
// MinXStep while the axis's is not, so in a view narrower than about XSteps x MinXStep the axis
// has ticks where the grid has no lines. A Y tick counts from the top edge while a grid row counts from the bottom row,
// so the two meet where the scaled offset has a fraction and the tick lies one row lower where it is whole.
#pragma once

#include "axes/axis_look.h"
#include "axes/axis_scale.h"
#include "common/pixel_mapping.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kelmira::axes {

inline constexpr int kMaxTicks = 10000;

// True when the step points from start towards end.
inline bool StepPointsToEnd(const AxisScale& s) {
  return (s.step > 0.0 && s.start < s.end) || (s.step < 0.0 && s.start > s.end);
}

// trunc(v) in the 64-bit range; NaN gives 0.
inline std::int64_t FirstMultiple(double v) {
  constexpr double kLimit = 9.0e18;
  if (!(v == v)) return 0;
  v = v > -kLimit ? v : -kLimit;
  v = v < kLimit ? v : kLimit;
  return static_cast<std::int64_t>(v);
}

// Calls visit(value) for each tick in visiting order until it returns false or the sequence ends.
template <class Visit>
void VisitTicks(AxisKind kind, const AxisScale& s, Visit&& visit) {
  const double unit = kind == AxisKind::X ? s.step : -s.step;
  const double from = kind == AxisKind::X ? s.start : s.end;
  const double to = kind == AxisKind::X ? s.end : s.start;
  // The X axis runs towards end; the Y axis from end back towards start.
  const bool upwards = kind == AxisKind::X ? s.step > 0.0 : s.step < 0.0;
  const std::int64_t first = FirstMultiple(from / unit);
  for (std::int64_t i = 0; i < kMaxTicks; ++i) {
    const double value = static_cast<double>(first + i) * unit;
    if (upwards ? !(value <= to) : !(value >= to)) return;
    if (!visit(value)) return;
  }
}

// Where the ticks go along the axis, and how far apart they are.
struct TickPlacement {
  double scale = 0.0;   // pixels per unit; negative on the Y axis
  double origin = 0.0;  // the value at the axis's inner edge: start (X) or end (Y)
  LONG edge = 0;        // that edge's pixel: left + M (X) or top + M (Y)
  LONG spacing = 0;     // trunc(scale * step), positive
  LONG half = 0;        // spacing / 2, truncated

  LONG Pixel(double value) const {
    const std::int64_t p = std::int64_t{edge} + common::TruncToPixel((value - origin) * scale);
    return static_cast<LONG>(p < INT32_MIN ? INT32_MIN : (p > INT32_MAX ? INT32_MAX : p));
  }
};

inline TickPlacement PlaceTicks(AxisKind kind, const AxisScale& s, const RECT& r, LONG margin) {
  TickPlacement t;
  if (kind == AxisKind::X) {
    t.scale = (static_cast<double>(r.right) - r.left - 2.0 * margin) / (s.end - s.start);
    t.origin = s.start;
    t.edge = common::TruncToPixel(static_cast<double>(r.left) + margin);
    t.spacing = common::TruncToPixel(t.scale * s.step);
  } else {
    t.scale = (static_cast<double>(r.bottom) - r.top - 2.0 * margin) / (s.start - s.end);
    t.origin = s.end;
    t.edge = common::TruncToPixel(static_cast<double>(r.top) + margin);
    t.spacing = common::TruncToPixel(t.scale * -s.step);
  }
  // A label box is at most 2 x half wide: no wider than the clamped pixel range, so that boxes
  // placed around a tick stay within LONG.
  t.half = std::min(t.spacing / 2, kPixelLimit);
  return t;
}

}  // namespace kelmira::axes

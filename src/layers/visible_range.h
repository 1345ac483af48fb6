// The stretch of a line with rising X that a drawing has to visit for the columns it can paint, so
// that a zoomed-in view costs the points it shows and not the whole line.
//
// Why it is exact: when every point before the range lies left of the painted columns and every
// point after it right of them, the segments among those points paint nothing; the polyline rule
// only needs the state it would be in at the range's start, and the pen position it would end
// with. Both are found by running the rule, without drawing, from every state it can be in at
// the start of a column a little before (its first point always draws, so only the row it left
// the previous column at is unknown, and only that row's order against the column's own rows
// matters): when all those runs agree, the true run agrees with them too. When they do not agree
// soon enough, or X is not in order where it was skipped, the whole line is visited as before.
#pragma once

#include "common/pixel_mapping.h"
#include "layers/line_points.h"
#include "layers/polyline_rule.h"

#include <cstdint>

namespace kelmira::layers {

struct VisibleRange {
  std::int64_t first = 0;  // visit points first..last-1
  std::int64_t last = 0;
  bool resume = false;  // start from `entry`, with the pen at entryPen, rather than afresh
  PolylineState entry;
  POINT entryPen{};
  bool hasExitPen = false;  // a visit of every point would leave the pen at exitPen
  POINT exitPen{};
};

// The range for a line with an X array drawn into columns clipLeft..clipRight-1, the Y values
// equal to badY breaking it; false when the whole line has to be visited.
bool FindVisibleRange(const LinePoints& points, const common::PixelMapping& mapping, float badY, LONG clipLeft,
                      LONG clipRight, VisibleRange* range);

}  // namespace kelmira::layers

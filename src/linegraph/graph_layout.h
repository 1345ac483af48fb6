// How a line graph divides its client area: a 20-pixel title line, a 5-pixel gap, the left Y
// axis strip, the plot, the right Y axis strip, and the X axis strip along the bottom, which
// starts at the client's left edge under the left strip.
//
// The steps run in a fixed order on the edges (left, top, right, bottom):
//   1. title shown: title = (left, top, right - left, 20); top += 20
//   2. top += 5
//   3. right axis hidden: right -= 12
//   4. X axis shown: its Margin = YAxisSize when the left axis is shown, else 0; its right edge
//      is right + YAxisSize when only the left axis is shown, else right;
//      X = (left, bottom - XAxisSize, that edge - left, XAxisSize); bottom -= XAxisSize
//   5. left axis shown: Y = (left, top, YAxisSize, bottom - top); left += YAxisSize
//   6. right axis shown: right -= YAxisSize; RY = (right, top, YAxisSize, bottom - top)
//   7. plot = (left, top, right - left, bottom - top)
// Sizes are not checked against the client area: negative widths and heights come out as
// computed. The arithmetic is 64-bit and each result is held in the 32-bit range, so sizes near
// the ends of that range give far-off rectangles rather than overflow.
#pragma once

#include <kelmira/kelmira.h>

#include <optional>

namespace kelmira::linegraph {

// A window's place as MoveWindow takes it.
struct Placement {
  LONG x = 0, y = 0, width = 0, height = 0;
  bool operator==(const Placement&) const = default;
};

struct LayoutSettings {
  bool titleVisible = true;
  bool xAxisVisible = true;
  bool yAxisVisible = true;
  bool rightYAxisVisible = true;
  LONG xAxisSize = 50;
  LONG yAxisSize = 70;
};

// Where each shown part goes; a hidden part has no place (its window is left as it is).
struct GraphLayout {
  std::optional<Placement> title, xAxis, yAxis, rightYAxis;
  std::optional<LONG> xAxisMargin;  // set with the X axis
  Placement container;
};

GraphLayout ComputeGraphLayout(const RECT& client, const LayoutSettings& settings);

}  // namespace kelmira::linegraph

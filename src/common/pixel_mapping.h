// The logical-to-pixel mapping of a line layer, taken from the DrawLayerInfo of one redraw.
//
// A point maps to trunc((x - XMin) * XScale + left), trunc((bottom - 1) - (y - YMin) * YScale):
// each whole expression is cut toward zero, never rounded. Values beyond the 32-bit range are
// held at its ends, and NaN gives the lowest value, so that far-off or broken points still get a
// defined pixel (far off the area) instead of an undefined conversion.
#pragma once

#include <kelmira/kelmira.h>

#include <cstdint>

namespace kelmira::layers {

struct PixelMapping {
  double xMin = 0.0;
  double yMin = 0.0;
  double xScale = 1.0;
  double yScale = 1.0;
  double leftEdge = 0.0;   // left, as the mapping adds it
  double bottomRow = 0.0;  // bottom - 1, the row of YMin
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;

  static PixelMapping From(const DrawLayerInfo& info) {
    PixelMapping m;
    m.xMin = info.XMin;
    m.yMin = info.YMin;
    m.xScale = info.XScale;
    m.yScale = info.YScale;
    m.leftEdge = static_cast<double>(info.left);
    m.bottomRow = static_cast<double>(info.bottom) - 1.0;
    m.left = info.left;
    m.top = info.top;
    m.right = info.right;
    m.bottom = info.bottom;
    return m;
  }
};

// Cuts toward zero into the 32-bit range; NaN gives the lowest value.
inline LONG TruncToPixel(double v) {
  v = v > -2147483648.0 ? v : -2147483648.0;
  v = v < 2147483647.0 ? v : 2147483647.0;
  return static_cast<LONG>(v);
}

// Cuts toward zero into a range that any 32-bit offset can be subtracted from; NaN gives 0.
inline std::int64_t TruncToIndex(double v) {
  constexpr double kLimit = 4.0e18;
  if (v != v) return 0;
  v = v > -kLimit ? v : -kLimit;
  v = v < kLimit ? v : kLimit;
  return static_cast<std::int64_t>(v);
}

// When X is the point index, points before this one lie more than half a unit left of the view:
// max(0, trunc(XMin - 0.5) - offset).
inline std::int64_t FirstVisibleIndex(double xMin, LONG offset) {
  const std::int64_t first = TruncToIndex(xMin - 0.5) - offset;
  return first > 0 ? first : 0;
}

}  // namespace kelmira::layers

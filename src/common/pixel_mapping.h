// Logical coordinates to pixels and back: the one mapping every layer, the container and the axes
// share, taken once from a DrawLayerInfo (or from a rectangle and the limits it shows).
//
// Both rules cut toward zero, never round, and differ only in where they cut:
// - the point rule (lines, markers, LogicalToScreen) cuts the whole expression:
//     X(x) = trunc((x - XMin) * XScale + left),  Y(y) = trunc((bottom - 1) - (y - YMin) * YScale);
// - the grid rule (grid lines, and the axes' ticks, which must land on them) cuts the scaled
//   offset first:  GridX(x) = left + trunc((x - XMin) * XScale),
//                  GridY(y) = (bottom - 1) - trunc((y - YMin) * YScale).
// So at a fractional offset a grid row lies one row below the row of a point at the same value.
// Every result is held in the 32-bit range and NaN gives the lowest value, so a far-off or broken
// value (also from non-finite limits) still gets a defined pixel, far outside any area.
//
// Scales (AxisScale): pixels / (max - min). A span that is zero or not finite (limits of no width,
// or infinite limits) counts as one logical unit, so no scale is infinite or NaN and nothing
// divides by zero; a NaN limit still gives NaN pixels, which the truncation turns into the lowest
// value. A drawing area of zero pixels has scale 0, and a pixel maps back to the minimum.
#pragma once

#include <kelmira/kelmira.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace kelmira::common {

// Cuts toward zero into the 32-bit range; NaN gives the lowest value.
inline LONG TruncToPixel(double v) {
  v = v > -2147483648.0 ? v : -2147483648.0;
  v = v < 2147483647.0 ? v : 2147483647.0;
  return static_cast<LONG>(v);
}

// Pixels per logical unit for `pixels` over min..max.
inline double AxisScale(LONG pixels, double min, double max) {
  const double span = max - min;
  const double scale = static_cast<double>(pixels) / span;
  if (!std::isfinite(span) || span == 0.0 || !std::isfinite(scale)) return static_cast<double>(pixels);
  return scale;
}

// A pixel offset from the start of an axis back to a logical value, held at the largest finite
// doubles (a NaN limit gives NaN).
inline double LogicalFromOffset(double offset, double scale, double min) {
  if (scale == 0.0) return min;
  const double value = offset / scale + min;
  if (std::isfinite(value) || std::isnan(value)) return value;
  constexpr double kLargest = std::numeric_limits<double>::max();
  return value < 0 ? -kLargest : kLargest;
}

// The device context of a record, and the record's form of a device context.
inline HDC HdcOf(const DrawLayerInfo& info) { return UlongToHandle<HDC>(static_cast<std::uint32_t>(info.hDC)); }
inline LONG HdcField(HDC dc) { return static_cast<LONG>(HandleToUlong(dc)); }

struct PixelMapping {
  double xMin = 0.0;
  double yMin = 0.0;
  double xScale = 1.0;
  double yScale = 1.0;
  double leftEdge = 0.0;   // left, as the point rule adds it
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
    m.SetArea(info.left, info.top, info.right, info.bottom);
    return m;
  }

  // The area (left, top, right, bottom) showing xMin..xMax by yMin..yMax.
  static PixelMapping Of(const RECT& area, double xMin, double xMax, double yMin, double yMax) {
    PixelMapping m;
    m.xMin = xMin;
    m.yMin = yMin;
    m.xScale = AxisScale(area.right - area.left, xMin, xMax);
    m.yScale = AxisScale(area.bottom - area.top, yMin, yMax);
    m.SetArea(area.left, area.top, area.right, area.bottom);
    return m;
  }

  // The point rule.
  LONG X(double x) const { return TruncToPixel((x - xMin) * xScale + leftEdge); }
  LONG Y(double y) const { return TruncToPixel(bottomRow - (y - yMin) * yScale); }

  // The grid rule.
  LONG GridX(double x) const { return Clamp(std::int64_t{left} + TruncToPixel((x - xMin) * xScale)); }
  LONG GridY(double y) const { return Clamp(std::int64_t{bottom} - 1 - TruncToPixel((y - yMin) * yScale)); }

  // A pixel position back to logical coordinates; nothing is cut.
  double LogicalX(double px) const { return LogicalFromOffset(px - leftEdge, xScale, xMin); }
  double LogicalY(double py) const { return LogicalFromOffset(bottomRow - py, yScale, yMin); }

 private:
  void SetArea(LONG l, LONG t, LONG r, LONG b) {
    left = l;
    top = t;
    right = r;
    bottom = b;
    leftEdge = static_cast<double>(l);
    bottomRow = static_cast<double>(b) - 1.0;
  }
  static LONG Clamp(std::int64_t v) {
    return static_cast<LONG>(v < INT32_MIN ? INT32_MIN : (v > INT32_MAX ? INT32_MAX : v));
  }
};

}  // namespace kelmira::common

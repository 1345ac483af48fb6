// Validation of the limits and the logical-to-pixel mapping.
#include "container/view_geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace kelmira::container {
namespace {

// Steps 4 and 5 of the rule for one direction: move the range inside the extents, keeping its
// width w (already no wider than the extents).
void PlaceInside(double& min, double& max, double extentMin, double extentMax) {
  const double w = std::min(max - min, extentMax - extentMin);
  if (min < extentMin) {
    min = extentMin;
    max = min + w;
  }
  if (max > extentMax) {
    max = extentMax;
    min = max - w;
  }
}

}  // namespace

bool IsFinite(const Limits& l) {
  return std::isfinite(l.xMin) && std::isfinite(l.xMax) && std::isfinite(l.yMin) && std::isfinite(l.yMax);
}

Limits ValidateLimits(Limits r, const Limits& extents, double minZoomX, double minZoomY) {
  if (r.xMax - r.xMin < minZoomX) r.xMax = r.xMin + minZoomX;
  if (r.yMax - r.yMin < minZoomY) r.yMax = r.yMin + minZoomY;
  PlaceInside(r.xMin, r.xMax, extents.xMin, extents.xMax);
  PlaceInside(r.yMin, r.yMax, extents.yMin, extents.yMax);
  return r;
}

double AxisScale(LONG pixels, double min, double max) {
  const double span = max - min;
  const double scale = static_cast<double>(pixels) / span;
  if (!std::isfinite(span) || span == 0.0 || !std::isfinite(scale)) return static_cast<double>(pixels);
  return scale;
}

double LogicalFromOffset(double offset, double scale, double min) {
  if (scale == 0.0) return min;
  const double value = offset / scale + min;
  if (std::isfinite(value)) return value;
  constexpr double kLargest = std::numeric_limits<double>::max();
  return value < 0 ? -kLargest : kLargest;
}

LONG TruncateToPixel(double value) {
  if (std::isnan(value)) return 0;
  constexpr double kTop = static_cast<double>(std::numeric_limits<std::int32_t>::max());
  constexpr double kBottom = static_cast<double>(std::numeric_limits<std::int32_t>::min());
  if (value >= kTop) return std::numeric_limits<std::int32_t>::max();
  if (value <= kBottom) return std::numeric_limits<std::int32_t>::min();
  return static_cast<LONG>(value);
}

DrawLayerInfo MakeDrawInfo(const Limits& limits, LONG width, LONG height) {
  DrawLayerInfo info{};
  info.left = 0;
  info.top = 0;
  info.right = width;
  info.bottom = height;
  info.XMin = limits.xMin;
  info.YMin = limits.yMin;
  info.XScale = AxisScale(width, limits.xMin, limits.xMax);
  info.YScale = AxisScale(height, limits.yMin, limits.yMax);
  return info;
}

DrawLayerInfo MakeRightYDrawInfo(const DrawLayerInfo& info, double rightYMin, double rightYMax) {
  DrawLayerInfo right = info;
  right.YMin = rightYMin;
  right.YScale = AxisScale(info.bottom - info.top, rightYMin, rightYMax);
  return right;
}

}  // namespace kelmira::container

// Validation of the limits and the records handed to the layers.
#include "container/view_geometry.h"

#include "common/pixel_mapping.h"

#include <algorithm>

namespace kelmira::container {
namespace {

// Steps 4 and 5 of the rule for one direction: move the range inside the extents, keeping its
// width w (no wider than the extents).
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

Limits ValidateLimits(Limits r, const Limits& extents, double minZoomX, double minZoomY) {
  if (r.xMax - r.xMin < minZoomX) r.xMax = r.xMin + minZoomX;
  if (r.yMax - r.yMin < minZoomY) r.yMax = r.yMin + minZoomY;
  PlaceInside(r.xMin, r.xMax, extents.xMin, extents.xMax);
  PlaceInside(r.yMin, r.yMax, extents.yMin, extents.yMax);
  return r;
}

DrawLayerInfo MakeDrawInfo(const Limits& limits, LONG width, LONG height) {
  DrawLayerInfo info{};
  info.left = 0;
  info.top = 0;
  info.right = width;
  info.bottom = height;
  info.XMin = limits.xMin;
  info.YMin = limits.yMin;
  info.XScale = common::AxisScale(width, limits.xMin, limits.xMax);
  info.YScale = common::AxisScale(height, limits.yMin, limits.yMax);
  return info;
}

DrawLayerInfo MakeRightYDrawInfo(const DrawLayerInfo& info, double rightYMin, double rightYMax) {
  DrawLayerInfo right = info;
  right.YMin = rightYMin;
  right.YScale = common::AxisScale(info.bottom - info.top, rightYMin, rightYMax);
  return right;
}

}  // namespace kelmira::container

// Logical to device coordinates.
#include "gdi/device_context.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelmira::gdi {
namespace {

constexpr double kCoordinateLimit = 1099511627776.0;  // 2^40: far outside any surface, no overflow

std::int64_t RoundCoordinate(double v) {
  if (std::isnan(v)) return 0;
  v = std::clamp(std::floor(v + 0.5), -kCoordinateLimit, kCoordinateLimit);
  return static_cast<std::int64_t>(v);
}

bool UsesWorld(const DeviceContext& dc) { return dc.state.graphicsMode == GM_ADVANCED; }

}  // namespace

bool IsTranslationOnly(const DeviceContext& dc) {
  if (!UsesWorld(dc)) return true;
  const XFORM& w = dc.state.world;
  return w.eM11 == 1.0f && w.eM12 == 0.0f && w.eM21 == 0.0f && w.eM22 == 1.0f && w.eDx == 0.0f && w.eDy == 0.0f;
}

DevicePoint TransformPoint(const DeviceContext& dc, LONG x, LONG y) {
  std::int64_t offsetX = std::int64_t{dc.state.viewportOrg.x} + dc.deviceOrigin.x;
  std::int64_t offsetY = std::int64_t{dc.state.viewportOrg.y} + dc.deviceOrigin.y;
  if (IsTranslationOnly(dc)) return DevicePoint{std::int64_t{x} + offsetX, std::int64_t{y} + offsetY};
  const XFORM& w = dc.state.world;
  double tx = static_cast<double>(x) * w.eM11 + static_cast<double>(y) * w.eM21 + w.eDx;
  double ty = static_cast<double>(x) * w.eM12 + static_cast<double>(y) * w.eM22 + w.eDy;
  return DevicePoint{RoundCoordinate(tx) + offsetX, RoundCoordinate(ty) + offsetY};
}

DevicePoint DeviceBrushOrigin(const DeviceContext& dc) {
  return DevicePoint{std::int64_t{dc.state.brushOrg.x} + dc.deviceOrigin.x,
                     std::int64_t{dc.state.brushOrg.y} + dc.deviceOrigin.y};
}

XFORM DeviceTransform(const DeviceContext& dc) {
  XFORM m{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
  if (UsesWorld(dc)) m = dc.state.world;
  m.eDx += static_cast<FLOAT>(std::int64_t{dc.state.viewportOrg.x} + dc.deviceOrigin.x);
  m.eDy += static_cast<FLOAT>(std::int64_t{dc.state.viewportOrg.y} + dc.deviceOrigin.y);
  return m;
}

DeviceRect TransformRect(const DeviceContext& dc, const RECT& r) {
  if (IsTranslationOnly(dc)) {
    DevicePoint a = TransformPoint(dc, r.left, r.top);
    DevicePoint b = TransformPoint(dc, r.right, r.bottom);
    return DeviceRect{a.x, a.y, b.x, b.y};
  }
  DevicePoint corners[4] = {TransformPoint(dc, r.left, r.top), TransformPoint(dc, r.right, r.top),
                            TransformPoint(dc, r.left, r.bottom), TransformPoint(dc, r.right, r.bottom)};
  DeviceRect out{corners[0].x, corners[0].y, corners[0].x, corners[0].y};
  for (const DevicePoint& p : corners) {
    out.left = std::min(out.left, p.x);
    out.top = std::min(out.top, p.y);
    out.right = std::max(out.right, p.x);
    out.bottom = std::max(out.bottom, p.y);
  }
  return out;
}

RECT ClampRect(const DeviceRect& r) {
  constexpr std::int64_t lo = std::numeric_limits<LONG>::min();
  constexpr std::int64_t hi = std::numeric_limits<LONG>::max();
  return RECT{static_cast<LONG>(std::clamp(r.left, lo, hi)), static_cast<LONG>(std::clamp(r.top, lo, hi)),
              static_cast<LONG>(std::clamp(r.right, lo, hi)), static_cast<LONG>(std::clamp(r.bottom, lo, hi))};
}

}  // namespace kelmira::gdi

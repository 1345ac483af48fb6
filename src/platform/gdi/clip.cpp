// The clip rectangle of a device context as its user sees it.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kelmira::gdi {
namespace {

int Complexity(const DeviceContext& dc) { return IsEmptyRect(DcClip(dc)) ? NULLREGION : SIMPLEREGION; }

LONG ClampToLong(double v) {
  constexpr double lo = std::numeric_limits<LONG>::min();
  constexpr double hi = std::numeric_limits<LONG>::max();
  if (std::isnan(v)) return 0;
  return static_cast<LONG>(std::clamp(v, lo, hi));
}

// A device rectangle back in logical coordinates: the bounding box of its inverse-transformed
// corners (exact for translations).
RECT ToLogical(const DeviceContext& dc, const RECT& device) {
  XFORM m = DeviceTransform(dc);
  double det = static_cast<double>(m.eM11) * m.eM22 - static_cast<double>(m.eM12) * m.eM21;
  if (det == 0.0) return RECT{0, 0, 0, 0};
  double xs[2] = {static_cast<double>(device.left), static_cast<double>(device.right)};
  double ys[2] = {static_cast<double>(device.top), static_cast<double>(device.bottom)};
  double minX = HUGE_VAL, minY = HUGE_VAL, maxX = -HUGE_VAL, maxY = -HUGE_VAL;
  for (double dx : xs) {
    for (double dy : ys) {
      double u = dx - m.eDx;
      double v = dy - m.eDy;
      double lx = (u * m.eM22 - v * m.eM21) / det;
      double ly = (v * m.eM11 - u * m.eM12) / det;
      minX = std::min(minX, lx);
      maxX = std::max(maxX, lx);
      minY = std::min(minY, ly);
      maxY = std::max(maxY, ly);
    }
  }
  return RECT{ClampToLong(std::floor(minX + 0.5)), ClampToLong(std::floor(minY + 0.5)),
              ClampToLong(std::floor(maxX + 0.5)), ClampToLong(std::floor(maxY + 0.5))};
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

int GetClipBox(HDC hdc, LPRECT lprect) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return ERROR;
  if (!lprect) return Fail(ERROR_INVALID_PARAMETER, ERROR);
  RECT clip = DcClip(*dc);
  if (IsEmptyRect(clip)) {
    *lprect = RECT{0, 0, 0, 0};
    return NULLREGION;
  }
  if (IsTranslationOnly(*dc)) {
    // Exact integer path: subtract the offsets in 64 bits.
    DevicePoint origin = TransformPoint(*dc, 0, 0);
    DeviceRect r{clip.left - origin.x, clip.top - origin.y, clip.right - origin.x, clip.bottom - origin.y};
    *lprect = ClampRect(r);
  } else {
    *lprect = ToLogical(*dc, clip);
  }
  return SIMPLEREGION;
}

int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return ERROR;
  RECT device = ClampRect(TransformRect(*dc, RECT{left, top, right, bottom}));
  if (IsEmptyRect(device)) device = RECT{0, 0, 0, 0};
  dc->state.clip = dc->state.hasClip ? IntersectRects(dc->state.clip, device) : device;
  dc->state.hasClip = true;
  return Complexity(*dc);
}

int SelectClipRgn(HDC hdc, HRGN hrgn) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return ERROR;
  if (hrgn) return Fail(ERROR_INVALID_HANDLE, ERROR);  // no region objects exist
  dc->state.hasClip = false;
  return Complexity(*dc);
}

// The coordinate-space attributes of a device context: world transform, viewport origin and
// brush origin.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"

#include <cmath>
#include <limits>

namespace kelmira::gdi {
namespace {

// A world transform must be finite and invertible.
bool UsableTransform(const XFORM& m) {
  for (FLOAT v : {m.eM11, m.eM12, m.eM21, m.eM22, m.eDx, m.eDy})
    if (!std::isfinite(v)) return false;
  double det = static_cast<double>(m.eM11) * m.eM22 - static_cast<double>(m.eM12) * m.eM21;
  return det != 0.0 && std::isfinite(det);
}

// a applied first, then b (row vectors: p * a * b).
XFORM Combine(const XFORM& a, const XFORM& b) {
  return XFORM{a.eM11 * b.eM11 + a.eM12 * b.eM21,       a.eM11 * b.eM12 + a.eM12 * b.eM22,
               a.eM21 * b.eM11 + a.eM22 * b.eM21,       a.eM21 * b.eM12 + a.eM22 * b.eM22,
               a.eDx * b.eM11 + a.eDy * b.eM21 + b.eDx, a.eDx * b.eM12 + a.eDy * b.eM22 + b.eDy};
}

bool FitsLong(long long v) { return v >= std::numeric_limits<LONG>::min() && v <= std::numeric_limits<LONG>::max(); }

// Replaces `point`, reporting the previous value.
BOOL ReplacePoint(POINT& point, LONG x, LONG y, LPPOINT previous) {
  if (previous) *previous = point;
  point = POINT{x, y};
  return TRUE;
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

BOOL SetWorldTransform(HDC hdc, const XFORM* lpxf) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!lpxf || dc->state.graphicsMode != GM_ADVANCED || !UsableTransform(*lpxf))
    return Fail(ERROR_INVALID_PARAMETER, FALSE);
  dc->state.world = *lpxf;
  return TRUE;
}

BOOL GetWorldTransform(HDC hdc, LPXFORM lpxf) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!lpxf) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  *lpxf = dc->state.world;
  return TRUE;
}

BOOL ModifyWorldTransform(HDC hdc, const XFORM* lpxf, DWORD mode) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (dc->state.graphicsMode != GM_ADVANCED) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (mode == MWT_IDENTITY) {
    dc->state.world = XFORM{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
    return TRUE;
  }
  if (!lpxf || (mode != MWT_LEFTMULTIPLY && mode != MWT_RIGHTMULTIPLY)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  XFORM result = mode == MWT_LEFTMULTIPLY ? Combine(*lpxf, dc->state.world) : Combine(dc->state.world, *lpxf);
  if (!UsableTransform(result)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  dc->state.world = result;
  return TRUE;
}

BOOL SetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  return ReplacePoint(dc->state.viewportOrg, x, y, lppt);
}

BOOL GetViewportOrgEx(HDC hdc, LPPOINT lppoint) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!lppoint) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  *lppoint = dc->state.viewportOrg;
  return TRUE;
}

BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  long long newX = static_cast<long long>(dc->state.viewportOrg.x) + x;
  long long newY = static_cast<long long>(dc->state.viewportOrg.y) + y;
  if (!FitsLong(newX) || !FitsLong(newY)) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  return ReplacePoint(dc->state.viewportOrg, static_cast<LONG>(newX), static_cast<LONG>(newY), lppt);
}

BOOL SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT lppt) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  return ReplacePoint(dc->state.brushOrg, x, y, lppt);
}

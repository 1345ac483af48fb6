// The graphics mode: GM_ADVANCED lets the world transform turn text and drawing.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"

using namespace kelmira::gdi;

namespace {

bool IsIdentity(const XFORM& m) {
  return m.eM11 == 1.0f && m.eM12 == 0.0f && m.eM21 == 0.0f && m.eM22 == 1.0f && m.eDx == 0.0f && m.eDy == 0.0f;
}

}  // namespace

// Returns the previous mode, or 0 for a bad handle or mode. As on the desktop, going back to
// GM_COMPATIBLE needs the identity world transform first (the transform would silently stop
// applying otherwise); the call fails with ERROR_INVALID_PARAMETER until then.
int SetGraphicsMode(HDC hdc, int iMode) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return 0;
  if (iMode != GM_COMPATIBLE && iMode != GM_ADVANCED) return Fail(ERROR_INVALID_PARAMETER, 0);
  if (iMode == GM_COMPATIBLE && !IsIdentity(dc->state.world)) return Fail(ERROR_INVALID_PARAMETER, 0);
  const int previous = dc->state.graphicsMode;
  dc->state.graphicsMode = iMode;
  return previous;
}

int GetGraphicsMode(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->state.graphicsMode : 0;
}

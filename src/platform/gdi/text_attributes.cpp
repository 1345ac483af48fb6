// The text attributes of a device context: colours, background mode and alignment.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"

using namespace kelmira::gdi;

namespace {

template <class T, class V>
T Exchange(T& slot, V value) {
  T previous = slot;
  slot = static_cast<T>(value);
  return previous;
}

}  // namespace

COLORREF SetTextColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? Exchange(dc->state.textColor, color) : CLR_INVALID;
}

COLORREF GetTextColor(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->state.textColor : CLR_INVALID;
}

COLORREF SetBkColor(HDC hdc, COLORREF color) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? Exchange(dc->state.bkColor, color) : CLR_INVALID;
}

COLORREF GetBkColor(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->state.bkColor : CLR_INVALID;
}

int SetBkMode(HDC hdc, int mode) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return 0;
  if (mode != TRANSPARENT && mode != OPAQUE) return Fail(ERROR_INVALID_PARAMETER, 0);
  return Exchange(dc->state.bkMode, mode);
}

int GetBkMode(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->state.bkMode : 0;
}

UINT SetTextAlign(HDC hdc, UINT align) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return GDI_ERROR;
  return Exchange(dc->state.textAlign, align & TA_MASK);
}

UINT GetTextAlign(HDC hdc) {
  DeviceContext* dc = LookupDC(hdc);
  return dc ? dc->state.textAlign : GDI_ERROR;
}

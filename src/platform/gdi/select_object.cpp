// SelectObject, GetCurrentObject and GetObjectType.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"
#include "gdi/recording_hooks.h"

namespace kelmira::gdi {
namespace {

// Swaps `slot` to h and moves the selection reference; returns the previous handle.
template <class H>
HGDIOBJ Swap(H& slot, HGDIOBJ h) {
  H previous = slot;
  RetainSelection(h);
  slot = static_cast<H>(h);
  if (previous) ReleaseSelection(previous);
  return previous;
}

HGDIOBJ SelectBitmap(DeviceContext& dc, HGDIOBJ h) {
  if (!dc.memory) return Fail(ERROR_INVALID_PARAMETER, HGDIOBJ{});
  HBITMAP bitmap = static_cast<HBITMAP>(h);
  HBITMAP previous = dc.state.bitmap;
  if (bitmap == previous) return previous;
  if (!ClaimBitmap(bitmap, dc.handle)) return Fail(ERROR_INVALID_PARAMETER, HGDIOBJ{});
  dc.state.bitmap = bitmap;
  if (previous) ReleaseSelection(previous);
  if (dc.recordsCompatibles) RecordFromNowOn(bitmap);
  UpdateSurfaceFromBitmap(dc);
  return previous;
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return HGDIOBJ{};
  GdiObject* object = LookupObject(h);
  // A deleted object that waits for its deselection cannot be selected anew.
  if (!object || object->deletePending) return Fail(ERROR_INVALID_HANDLE, HGDIOBJ{});
  switch (object->type) {
    case OBJ_PEN: return Swap(dc->state.pen, h);
    case OBJ_BRUSH: return Swap(dc->state.brush, h);
    case OBJ_FONT: return Swap(dc->state.font, h);
    case OBJ_BITMAP: return SelectBitmap(*dc, h);
    default: return Fail(ERROR_INVALID_HANDLE, HGDIOBJ{});
  }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return HGDIOBJ{};
  switch (type) {
    case OBJ_PEN: return dc->state.pen;
    case OBJ_BRUSH: return dc->state.brush;
    case OBJ_FONT: return dc->state.font;
    case OBJ_BITMAP: return dc->state.bitmap;
    default: return Fail(ERROR_INVALID_PARAMETER, HGDIOBJ{});
  }
}

DWORD GetObjectType(HGDIOBJ h) {
  DWORD type = 0;
  if (IsDeviceContextHandle(h, &type)) return type;
  GdiObject* object = LookupObject(h);
  return object ? object->type : 0;
}

// The table of device contexts, their creation and deletion, and the accessors drawing code uses.
#include "gdi/device_context.h"

#include "gdi/gdi_error.h"
#include "gdi/handle_table.h"

#include <kelmira/platform/guarded.h>

namespace kelmira::gdi {
namespace {

HandleTable<DeviceContext>& Contexts() {
  static HandleTable<DeviceContext> table;
  return table;
}

// Every context starts with the stock pen, brush and font.
bool InitDefaults(DcState& state) {
  state.pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  state.brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  state.font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  return state.pen && state.brush && state.font;
}

HDC AddContext(std::unique_ptr<DeviceContext> dc) {
  DeviceContext* raw = dc.get();
  UINT kind = dc->memory ? OBJ_MEMDC : OBJ_DC;
  std::uint32_t value = Contexts().Add(std::move(dc), kind);
  if (!value) return Fail(ERROR_NOT_ENOUGH_MEMORY, HDC{});
  raw->handle = HandleFromValue<HDC>(value);
  return raw->handle;
}

std::unique_ptr<DeviceContext> NewContext() {
  return GuardedOr(std::unique_ptr<DeviceContext>{}, [] { return std::make_unique<DeviceContext>(); });
}

}  // namespace

void RetainState(const DcState& state) {
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(state.pen), static_cast<HGDIOBJ>(state.brush),
                    static_cast<HGDIOBJ>(state.font), static_cast<HGDIOBJ>(state.bitmap)})
    if (h) RetainSelection(h);
}

void ReleaseState(const DcState& state) {
  for (HGDIOBJ h : {static_cast<HGDIOBJ>(state.pen), static_cast<HGDIOBJ>(state.brush),
                    static_cast<HGDIOBJ>(state.font), static_cast<HGDIOBJ>(state.bitmap)})
    if (h) ReleaseSelection(h);
}

DeviceContext* LookupDC(HDC hdc) {
  DeviceContext* dc = Contexts().Find(HandleValue(hdc));
  if (!dc) return Fail(ERROR_INVALID_HANDLE, static_cast<DeviceContext*>(nullptr));
  return dc;
}

bool IsDeviceContextHandle(HGDIOBJ h, DWORD* type) {
  std::uint32_t value = HandleValue(h);
  UINT kind = HandleKind(value);
  if (kind != OBJ_DC && kind != OBJ_MEMDC) return false;
  if (!Contexts().Find(value)) return false;
  *type = kind;
  return true;
}

RECT DcClip(const DeviceContext& dc) {
  RECT clip = dc.surface.Empty() ? RECT{0, 0, 0, 0} : dc.surface.Bounds();
  if (dc.hasDeviceClip) clip = IntersectRects(clip, dc.deviceClip);
  if (dc.state.hasClip) clip = IntersectRects(clip, dc.state.clip);
  return clip;
}

PenObject* SelectedPen(const DeviceContext& dc) { return LookupPen(dc.state.pen); }
BrushObject* SelectedBrush(const DeviceContext& dc) { return LookupBrush(dc.state.brush); }
FontObject* SelectedFont(const DeviceContext& dc) { return LookupFont(dc.state.font); }
BitmapObject* SelectedBitmap(const DeviceContext& dc) {
  return dc.state.bitmap ? LookupBitmap(dc.state.bitmap) : nullptr;
}

void UpdateSurfaceFromBitmap(DeviceContext& dc) {
  if (!dc.memory) return;
  BitmapObject* bitmap = SelectedBitmap(dc);
  dc.surface = bitmap ? bitmap->surface : Surface{};
  dc.recording = bitmap ? bitmap->recording.get() : nullptr;
}

HDC CreateSurfaceDC(const Surface& surface) {
  std::unique_ptr<DeviceContext> dc = NewContext();
  if (!dc) return Fail(ERROR_NOT_ENOUGH_MEMORY, HDC{});
  dc->memory = false;
  dc->surface = surface;
  if (!InitDefaults(dc->state)) return HDC{};
  RetainState(dc->state);
  DcState state = dc->state;
  HDC hdc = AddContext(std::move(dc));
  if (!hdc) ReleaseState(state);
  return hdc;
}

void SetDeviceSurface(DeviceContext& dc, const Surface& surface) { dc.surface = surface; }

void SetDeviceClip(DeviceContext& dc, const RECT& clip) {
  dc.hasDeviceClip = true;
  dc.deviceClip = clip;
}

void ClearDeviceClip(DeviceContext& dc) { dc.hasDeviceClip = false; }

void SetDeviceOrigin(DeviceContext& dc, POINT origin) { dc.deviceOrigin = origin; }

}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HDC CreateCompatibleDC(HDC hdc) {
  const DeviceContext* model = hdc ? LookupDC(hdc) : nullptr;
  if (hdc && !model) return HDC{};
  std::unique_ptr<DeviceContext> dc = NewContext();
  if (!dc) return Fail(ERROR_NOT_ENOUGH_MEMORY, HDC{});
  dc->memory = true;
  dc->recordsCompatibles = model && model->recordsCompatibles;
  if (!InitDefaults(dc->state)) return HDC{};
  dc->state.bitmap = StockBitmap();
  if (!dc->state.bitmap) return HDC{};
  RetainState(dc->state);
  UpdateSurfaceFromBitmap(*dc);
  DcState state = dc->state;
  HDC result = AddContext(std::move(dc));
  if (!result) ReleaseState(state);
  return result;
}

BOOL DeleteDC(HDC hdc) {
  std::unique_ptr<DeviceContext> dc = Contexts().Remove(HandleValue(hdc));
  if (!dc) return Fail(ERROR_INVALID_HANDLE, FALSE);
  ReleaseState(dc->state);
  for (const DcState& saved : dc->saved) ReleaseState(saved);
  if (dc->ownBitmap) DeleteObject(dc->ownBitmap);
  return TRUE;
}

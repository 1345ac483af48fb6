// Device contexts: a surface, the attributes that drawing reads, the selected objects and the
// SaveDC stack.
//
// Coordinates: device = logical (through the world transform in GM_ADVANCED mode) + viewport
// origin + device origin. The device origin is not an attribute the context's user sees; window
// device contexts use it to place a child window inside its top-level window's backing bitmap.
//
// Clipping: the clip rectangle of a drawing call (DcClip) is the surface bounds, narrowed by the
// device clip (set by window code: the visible part of a window or the paint clip box) and by
// the clip of IntersectClipRect. All are in device coordinates.
#pragma once

#include "gdi/gdi_objects.h"
#include "gdi/surface.h"

#include <kelmira/platform/wingdi.h>

#include <cstdint>
#include <vector>

namespace kelmira::gdi {

struct Recording;

// Everything SaveDC saves and RestoreDC restores.
struct DcState {
  HBITMAP bitmap = nullptr;  // memory device contexts only
  HPEN pen = nullptr;
  HBRUSH brush = nullptr;
  HFONT font = nullptr;
  COLORREF textColor = 0x00000000;
  COLORREF bkColor = 0x00FFFFFF;
  int bkMode = OPAQUE;
  int rop2 = R2_COPYPEN;
  POINT currentPosition{0, 0};  // logical
  UINT textAlign = TA_TOP | TA_LEFT;
  int graphicsMode = GM_COMPATIBLE;
  XFORM world{1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f};
  POINT viewportOrg{0, 0};
  POINT brushOrg{0, 0};   // device coordinates
  bool hasClip = false;   // IntersectClipRect was used
  RECT clip{0, 0, 0, 0};  // device coordinates
};

struct DeviceContext {
  HDC handle = nullptr;
  bool memory = true;  // a memory device context (bitmaps can be selected)
  DcState state;
  std::vector<DcState> saved;  // SaveDC stack, oldest first
  Surface surface;             // the selected bitmap's pixels, or the external surface
  bool hasDeviceClip = false;
  RECT deviceClip{0, 0, 0, 0};
  POINT deviceOrigin{0, 0};
  int penPatternPhase = 0;  // styled-pen phase at the current position; MoveToEx resets it
  // The selected bitmap's recording, else null: drawing calls record when it is set.
  Recording* recording = nullptr;
  // A recording context, or one made compatible with it: its compatible bitmaps record too.
  bool recordsCompatibles = false;
  HBITMAP ownBitmap = nullptr;  // a recording context's bitmap, deleted with the context
};

// Null and ERROR_INVALID_HANDLE unless hdc names a live device context. Exported (like the
// window hooks below) so that the platform's tests can reach a context's state.
KELMIRA_API DeviceContext* LookupDC(HDC hdc);

inline const Surface& DcSurface(const DeviceContext& dc) { return dc.surface; }
// The rectangle drawing may touch, in device coordinates (may be empty).
RECT DcClip(const DeviceContext& dc);

// The selected objects (never null for a live context: there is always a stock default).
PenObject* SelectedPen(const DeviceContext& dc);
BrushObject* SelectedBrush(const DeviceContext& dc);
FontObject* SelectedFont(const DeviceContext& dc);
BitmapObject* SelectedBitmap(const DeviceContext& dc);  // null for a context over a surface

// ---------------------------------------------------------------------------------------------
// Coordinates

// A device point in 64 bits: logical coordinates anywhere in the 32-bit range stay exact after
// the offsets are added. Coordinates produced by the world transform are rounded to nearest and
// limited to +-2^40.
struct DevicePoint {
  std::int64_t x;
  std::int64_t y;
};

DevicePoint TransformPoint(const DeviceContext& dc, LONG x, LONG y);
inline DevicePoint TransformPoint(const DeviceContext& dc, POINT p) { return TransformPoint(dc, p.x, p.y); }
// The whole logical-to-device mapping as one affine transform (world transform only in
// GM_ADVANCED mode, then the viewport and device origins).
XFORM DeviceTransform(const DeviceContext& dc);
// True when the mapping is a pure translation (GM_COMPATIBLE, or an identity world transform).
bool IsTranslationOnly(const DeviceContext& dc);
// Where the brush pattern starts on the surface: the brush origin (device coordinates of the
// context) moved by the device origin.
DevicePoint DeviceBrushOrigin(const DeviceContext& dc);
// A logical rectangle in device coordinates, 64-bit: translated corner by corner (an inverted
// rectangle stays inverted) when the mapping is a translation, else the bounding box of the
// transformed corners.
struct DeviceRect {
  std::int64_t left;
  std::int64_t top;
  std::int64_t right;
  std::int64_t bottom;
};
DeviceRect TransformRect(const DeviceContext& dc, const RECT& r);
// The device rectangle narrowed to what 32 bits hold (for clip bookkeeping).
RECT ClampRect(const DeviceRect& r);

// ---------------------------------------------------------------------------------------------
// Window device contexts (for the window code)

// A device context drawing into a surface it does not own (a window's backing bitmap). It is
// not a memory device context: bitmaps cannot be selected into it. Free it with DeleteDC.
KELMIRA_API HDC CreateSurfaceDC(const Surface& surface);
// The surface changed (e.g. the backing bitmap was reallocated).
KELMIRA_API void SetDeviceSurface(DeviceContext& dc, const Surface& surface);
KELMIRA_API void SetDeviceClip(DeviceContext& dc, const RECT& clip);
KELMIRA_API void ClearDeviceClip(DeviceContext& dc);
KELMIRA_API void SetDeviceOrigin(DeviceContext& dc, POINT origin);

// ---------------------------------------------------------------------------------------------
// Bookkeeping shared by the device-context functions

// Selection references of every object a state holds.
void RetainState(const DcState& state);
void ReleaseState(const DcState& state);
// A memory device context's surface follows its selected bitmap.
void UpdateSurfaceFromBitmap(DeviceContext& dc);
// True (and *type = OBJ_DC or OBJ_MEMDC) when h names a live device context.
bool IsDeviceContextHandle(HGDIOBJ h, DWORD* type);

}  // namespace kelmira::gdi

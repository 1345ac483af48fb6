// Single pixels.
#include "gdi/device_context.h"
#include "gdi/gdi_error.h"
#include "gdi/recording_hooks.h"

namespace kelmira::gdi {
namespace {

// The pixel at logical (x, y) when it lies inside the clip rectangle, else null.
std::uint32_t* PixelAt(const DeviceContext& dc, int x, int y) {
  DevicePoint p = TransformPoint(dc, x, y);
  RECT clip = DcClip(dc);
  if (p.x < clip.left || p.x >= clip.right || p.y < clip.top || p.y >= clip.bottom) return nullptr;
  return dc.surface.Row(static_cast<int>(p.y)) + p.x;
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

COLORREF GetPixel(HDC hdc, int x, int y) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  std::uint32_t* pixel = PixelAt(*dc, x, y);
  if (!pixel) return CLR_INVALID;
  return ColorFromPixel(*pixel & kPixelMask);
}

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return CLR_INVALID;
  std::uint32_t* pixel = PixelAt(*dc, x, y);
  if (!pixel) return CLR_INVALID;
  *pixel = PixelFromColor(color);
  if (dc->recording) {
    const DevicePoint p = TransformPoint(*dc, x, y);
    RecordFill(*dc->recording, DcClip(*dc), Rect64{p.x, p.y, p.x + 1, p.y + 1}, MakeSolidFill(color, R2_COPYPEN));
  }
  return ColorFromPixel(*pixel);
}

BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color) { return SetPixel(hdc, x, y, color) != CLR_INVALID; }

// GetObjectA: the description of a drawing object.
#include "gdi/gdi_error.h"
#include "gdi/gdi_objects.h"

#include <cstring>

namespace kelmira::gdi {
namespace {

// Copies `value` when the buffer is large enough; with no buffer reports the size.
template <class T>
int CopyOut(const T& value, int c, LPVOID pv) {
  if (!pv) return static_cast<int>(sizeof(T));
  if (c < static_cast<int>(sizeof(T))) return Fail(ERROR_INVALID_PARAMETER, 0);
  std::memcpy(pv, &value, sizeof(T));
  return static_cast<int>(sizeof(T));
}

BITMAP DescribeBitmap(BitmapObject& bitmap) {
  BITMAP bm{};
  bm.bmWidth = bitmap.surface.width;
  bm.bmHeight = bitmap.surface.height;
  bm.bmWidthBytes = bitmap.surface.width * 4;
  bm.bmPlanes = 1;
  bm.bmBitsPixel = 32;
  bm.bmBits = bitmap.dibSection ? bitmap.Bits() : nullptr;
  return bm;
}

int BitmapInfo(BitmapObject& bitmap, int c, LPVOID pv) {
  if (!bitmap.dibSection || (pv && c < static_cast<int>(sizeof(DIBSECTION))))
    return CopyOut(DescribeBitmap(bitmap), c, pv);
  DIBSECTION ds{};
  ds.dsBm = DescribeBitmap(bitmap);
  ds.dsBmih = bitmap.dibHeader;
  return CopyOut(ds, c, pv);
}

int PenInfo(const PenObject& pen, int c, LPVOID pv) {
  LOGPEN lp{static_cast<UINT>(pen.style), POINT{pen.width, 0}, pen.color};
  return CopyOut(lp, c, pv);
}

int BrushInfo(const BrushObject& brush, int c, LPVOID pv) {
  LOGBRUSH lb{brush.style, brush.color, static_cast<ULONG_PTR>(brush.hatch)};
  return CopyOut(lb, c, pv);
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

int GetObjectA(HANDLE h, int c, LPVOID pv) {
  GdiObject* object = LookupObject(h);
  if (!object) return 0;
  if (c < 0) return Fail(ERROR_INVALID_PARAMETER, 0);
  if (auto* bitmap = std::get_if<BitmapObject>(&object->data)) return BitmapInfo(*bitmap, c, pv);
  if (auto* pen = std::get_if<PenObject>(&object->data)) return PenInfo(*pen, c, pv);
  if (auto* brush = std::get_if<BrushObject>(&object->data)) return BrushInfo(*brush, c, pv);
  if (auto* font = std::get_if<FontObject>(&object->data)) return CopyOut(font->logFont, c, pv);
  return Fail(ERROR_INVALID_HANDLE, 0);
}

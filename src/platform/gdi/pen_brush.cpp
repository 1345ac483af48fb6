// Pens and brushes (the objects; the raster code draws with them).
#include "gdi/gdi_error.h"
#include "gdi/gdi_objects.h"

#include <cstdlib>

namespace kelmira::gdi {
namespace {

HBRUSH NewBrush(UINT style, COLORREF color, int hatch) {
  GdiObject object;
  object.type = OBJ_BRUSH;
  object.data = BrushObject{style, color, hatch};
  return static_cast<HBRUSH>(AddObject(std::move(object)));
}

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

HPEN CreatePen(int iStyle, int cWidth, COLORREF color) {
  if (iStyle < PS_SOLID || iStyle > PS_INSIDEFRAME) return Fail(ERROR_INVALID_PARAMETER, HPEN{});
  // INT_MIN has no absolute value; no pen is that wide anyway.
  int width = cWidth == INT32_MIN ? INT32_MAX : std::abs(cWidth);
  GdiObject object;
  object.type = OBJ_PEN;
  object.data = PenObject{iStyle, width, color};
  return static_cast<HPEN>(AddObject(std::move(object)));
}

HPEN CreatePenIndirect(const LOGPEN* plpen) {
  if (!plpen) return Fail(ERROR_INVALID_PARAMETER, HPEN{});
  if (plpen->lopnStyle > static_cast<UINT>(PS_INSIDEFRAME)) return Fail(ERROR_INVALID_PARAMETER, HPEN{});
  return CreatePen(static_cast<int>(plpen->lopnStyle), plpen->lopnWidth.x, plpen->lopnColor);
}

HBRUSH CreateSolidBrush(COLORREF color) { return NewBrush(BS_SOLID, color, 0); }

HBRUSH CreateHatchBrush(int iHatch, COLORREF color) {
  if (iHatch < HS_HORIZONTAL || iHatch > HS_DIAGCROSS) return Fail(ERROR_INVALID_PARAMETER, HBRUSH{});
  return NewBrush(BS_HATCHED, color, iHatch);
}

HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush) {
  if (!plbrush) return Fail(ERROR_INVALID_PARAMETER, HBRUSH{});
  switch (plbrush->lbStyle) {
    case BS_SOLID: return CreateSolidBrush(plbrush->lbColor);
    case BS_NULL: return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    case BS_HATCHED:
      if (plbrush->lbHatch > static_cast<ULONG_PTR>(HS_DIAGCROSS)) return Fail(ERROR_INVALID_PARAMETER, HBRUSH{});
      return CreateHatchBrush(static_cast<int>(plbrush->lbHatch), plbrush->lbColor);
    default: return Fail(ERROR_INVALID_PARAMETER, HBRUSH{});
  }
}

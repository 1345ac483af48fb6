// Stroke and fill descriptions from device-context state.
#include "gdi/dc_paint.h"

namespace kelmira::gdi {

Stroke StrokeFromDc(const DeviceContext& dc) {
  const PenObject* pen = SelectedPen(dc);
  if (!pen) return {};
  const DcState& s = dc.state;
  return MakeStroke(pen->style, pen->width, pen->color, s.bkColor, s.bkMode == OPAQUE, s.rop2);
}

Fill FillFromBrush(const BrushObject& brush, COLORREF bkColor, int bkMode, int rop2, POINT brushOrg) {
  switch (brush.style) {
    case BS_SOLID:
      return MakeSolidFill(brush.color, rop2);
    case BS_HATCHED:
      return MakeHatchFill(brush.hatch, brush.color, bkColor, bkMode == OPAQUE, rop2, {brushOrg.x, brushOrg.y});
    default:
      return {};
  }
}

Fill FillFromDc(const DeviceContext& dc) {
  const BrushObject* brush = SelectedBrush(dc);
  if (!brush) return {};
  const DcState& s = dc.state;
  return FillFromBrush(*brush, s.bkColor, s.bkMode, s.rop2, s.brushOrg);
}

void FillRectWithBrush(const Surface& surface, const RECT& clip, const RECT& r, const BrushObject& brush,
                       COLORREF bkColor, int bkMode, int rop2, POINT brushOrg) {
  const Fill fill = FillFromBrush(brush, bkColor, bkMode, rop2, brushOrg);
  FillRectWith(surface, clip, {r.left, r.top, r.right, r.bottom}, fill);
}

}  // namespace kelmira::gdi

// Stroke and fill descriptions from device-context state.
#include "gdi/dc_paint.h"

#include "gdi/brush_fill.h"

namespace kelmira::gdi {

Stroke StrokeFromDc(const DeviceContext& dc) {
  const PenObject* pen = SelectedPen(dc);
  if (!pen) return {};
  const DcState& s = dc.state;
  return MakeStroke(pen->style, pen->width, pen->color, s.bkColor, s.bkMode == OPAQUE, s.rop2);
}

Fill FillFromDc(const DeviceContext& dc) {
  const BrushObject* brush = SelectedBrush(dc);
  if (!brush) return {};
  return BrushFill(dc, *brush, dc.state.rop2);
}

}  // namespace kelmira::gdi

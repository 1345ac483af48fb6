// Brushes as fills.
#include "gdi/brush_fill.h"

#include "gdi/handle_table.h"

namespace kelmira::gdi {

Fill BrushFill(const DeviceContext& dc, const BrushObject& brush, int rop2) {
  switch (brush.style) {
    case BS_SOLID: return MakeSolidFill(brush.color, rop2);
    case BS_HATCHED: {
      DevicePoint origin = DeviceBrushOrigin(dc);
      return MakeHatchFill(brush.hatch, brush.color, dc.state.bkColor, dc.state.bkMode == OPAQUE, rop2,
                           Point64{origin.x, origin.y});
    }
    default: return Fill{};
  }
}

BrushObject* ResolveFillBrush(HBRUSH hbr) {
  // Handle values never have a zero kind tag, so small integers cannot be real handles.
  std::uint32_t value = HandleValue(hbr);
  if (value >= 1 && value <= static_cast<std::uint32_t>(COLOR_MENUBAR) + 1) {
    HBRUSH system = GetSysColorBrush(static_cast<int>(value) - 1);
    return system ? LookupBrush(system) : nullptr;
  }
  return LookupBrush(hbr);
}

}  // namespace kelmira::gdi

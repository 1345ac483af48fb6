// A brush object turned into the raster code's fill for one drawing call.
#pragma once

#include "gdi/device_context.h"
#include "gdi/raster.h"

namespace kelmira::gdi {

// Solid and hatched brushes through the mix rop2; hatch gaps take the background colour in
// OPAQUE mode and are left alone in TRANSPARENT mode. A null brush gives Fill::Kind::None.
Fill BrushFill(const DeviceContext& dc, const BrushObject& brush, int rop2);

// The brush a FillRect argument names: a brush handle, or a system colour index + 1.
BrushObject* ResolveFillBrush(HBRUSH hbr);

}  // namespace kelmira::gdi

// The selected pen and brush of a device context, with its background and mix settings, as the
// raster code's stroke and fill descriptions.
#pragma once

#include "gdi/device_context.h"
#include "gdi/raster.h"

namespace kelmira::gdi {

Stroke StrokeFromDc(const DeviceContext& dc);
Fill FillFromDc(const DeviceContext& dc);

inline Point64 ToPoint64(DevicePoint p) { return {p.x, p.y}; }
inline Rect64 ToRect64(const DeviceRect& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace kelmira::gdi

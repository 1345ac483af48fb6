// Pixel work of text: coverage masks blended in the text colour, and filled quadrilaterals for
// backgrounds and rules that may be turned by a transform.
#pragma once

#include "gdi/glyph_mask.h"
#include "gdi/surface.h"

#include <cstdint>

namespace kelmira::gdi {

// Blends `pixel` (0x00RRGGBB) into the surface by the mask's coverage, with the mask's origin at
// device point (x, y). Nothing outside `clip` changes; full coverage writes `pixel` exactly.
void BlendMask(const Surface& surface, const RECT& clip, const GlyphMask& mask, long long x, long long y,
               std::uint32_t pixel);

struct DeviceQuad {
  double x[4];
  double y[4];  // corners in order around the quadrilateral, device coordinates
};

// Fills the pixels whose centres lie inside the convex quadrilateral (left and top edges
// inclusive, right and bottom exclusive), so an axis-aligned quad with integer corners
// (l, t)-(r, b) fills columns l..r-1 and rows t..b-1.
void FillQuad(const Surface& surface, const RECT& clip, const DeviceQuad& quad, std::uint32_t pixel);

}  // namespace kelmira::gdi

// Set-up of a one-pixel line: which pixels of the unclipped line are visible and the stepping
// state at the first of them. Shared by the solid and the patterned line loops.
#pragma once

#include "gdi/raster.h"

#include <cstddef>
#include <cstdint>

namespace kelmira::gdi {

struct LineWalk {
  std::uint32_t* first = nullptr;  // first visible pixel
  std::ptrdiff_t majorStep = 0;    // pointer step along the major axis
  std::ptrdiff_t minorStep = 0;    // pointer step when the minor coordinate moves
  std::int64_t visible = 0;        // number of visible pixels (0: nothing to paint)
  std::int64_t skipped = 0;        // pixels of the whole line before the first visible one
  std::int64_t total = 0;          // pixels of the whole line (end pixel excluded)
  // Bresenham state: err += errStep each pixel; when err >= 0, err -= errSpan and the minor
  // coordinate moves. errStep is 0 for horizontal and vertical lines.
  std::int64_t err = 0;
  std::int64_t errStep = 0;
  std::int64_t errSpan = 0;
  bool xMajor = true;
};

// Coordinates are limited to +-2^60 (beyond any bitmap; keeps the set-up arithmetic exact).
LineWalk SetUpLineWalk(const Surface& surface, const RECT& clip, Point64 a, Point64 b);

}  // namespace kelmira::gdi

// The grid's lines in an area: vertical lines at whole multiples of the X step, horizontal lines
// at whole multiples of the Y step, and the one-pixel frame. Positions follow the grid rule of
// common/pixel_mapping.h. Line values are whole multiples of the step, each computed from its
// count (never by adding steps), so that they stay exact far from 0 and the axes' ticks, counted
// the same way, fall on them.
//
// Each direction draws at most kMaxGridLines lines, which ends the drawing of zero, negative, tiny
// and non-finite steps. A first line whose multiple is not finite (a zero step, or a step so
// small that min / step overflows) starts at the area's minimum value itself.
#pragma once

#include "common/pixel_mapping.h"

#include <kelmira/kelmira.h>

namespace kelmira::layers::grid {

inline constexpr int kMaxGridLines = 10000;

// Both return the number of lines drawn with the pen selected in dc.
int DrawVerticalLines(HDC dc, const common::PixelMapping& m, double step);
int DrawHorizontalLines(HDC dc, const common::PixelMapping& m, double step);

// A solid frame on the outermost rows and columns of the area, with a pen of its own; false when
// that pen could not be made.
bool DrawFrame(HDC dc, const common::PixelMapping& m, COLORREF color);

}  // namespace kelmira::layers::grid

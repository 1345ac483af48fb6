// The grid's lines in the area of a DrawLayerInfo: vertical lines at whole multiples of the X
// step, horizontal lines at whole multiples of the Y step, and the one-pixel frame.
//
// Positions truncate the scaled offset toward zero before it is added to left (columns) or taken
// from bottom - 1 (rows); at fractional offsets a grid row therefore lies one row below the row
// of a data point at the same value. Each direction draws at most kMaxGridLines lines, which ends
// the drawing of zero, negative, tiny and non-finite steps. Decisions of this implementation:
// - a first line whose multiple is not finite (a zero step, or a step so small that min / step
//   overflows) starts at the area's minimum value itself;
// - pixel positions are worked out in 64 bits and clamped to the int range; a NaN position
//   counts as the most negative int (far outside any area).
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::layers::grid {

inline constexpr int kMaxGridLines = 10000;

// Both return the number of lines drawn with the pen selected in dc.
int DrawVerticalLines(HDC dc, const DrawLayerInfo& info, double step);
int DrawHorizontalLines(HDC dc, const DrawLayerInfo& info, double step);

// A solid frame on the outermost rows and columns of the area, with a pen of its own.
void DrawFrame(HDC dc, const DrawLayerInfo& info, COLORREF color);

}  // namespace kelmira::layers::grid

// The rubber-band shapes of the eight drag tools.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::mouse {

// The tool values that DragPoint ... DragYLine stand for.
enum class Tool : int { Point = 1, Line, Rectangle, Circle, XRange, YRange, XLine, YLine };

// Draws the shape of `tool` with the pen, brush and mix mode already selected into dc. start and
// current are client points; client is the window's client rectangle.
void DrawBandShape(HDC dc, Tool tool, POINT start, POINT current, const RECT& client);

}  // namespace kelmira::mouse

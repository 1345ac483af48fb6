// Drawing the points of one line, as a polyline or as markers, with the pen and brush already
// selected into the device context.
//
// The point loop is compiled once per kind of X (point index, single or double precision) and
// per mask case, so that it makes no interface call, allocates nothing and tests no per-line
// setting for each point. When X is the point index, points left of the view are not visited
// and the loop ends at the first point right of the area.
#pragma once

#include "common/pixel_mapping.h"
#include "layers/line_points.h"

namespace kelmira::layers {

// Connected pieces broken at hidden and bad points. Consecutive points in one pixel column that
// stay within the rows of the last drawn segment draw nothing; only the last of them is kept,
// and joined by a move when the line leaves that range. patternedPen: a dashed or dotted
// one-pixel pen, whose pattern must run on from one segment to the next.
void DrawPolyline(HDC dc, const LinePoints& points, const common::PixelMapping& mapping, bool patternedPen);

// One marker per shown point inside the area (right column and bottom row included), none for
// a point in the same pixel as the last marker. pointStyle 0: filled circle, 1: upright cross,
// anything else: diagonal cross.
void DrawMarkers(HDC dc, const LinePoints& points, const common::PixelMapping& mapping, LONG pointStyle);

}  // namespace kelmira::layers

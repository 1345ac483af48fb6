// Drawing the points of one line, as a polyline or as markers, with the pen and brush already
// selected into the device context.
//
// The point loop is compiled once per kind of X (point index, single or double precision) and
// per mask case, so that it makes no interface call, allocates nothing and tests no per-line
// setting for each point. When X is the point index, points left of the view are not visited
// and the loop ends at the first point right of the area. A line with an X array in rising order,
// drawn with a solid pen and no world transform, visits only the points that can reach the clip
// box, with the state and the final pen position a visit of every point would have
// (visible_range.h).
#pragma once

#include "common/pixel_mapping.h"
#include "layers/line_points.h"

namespace kelmira::layers {

// The pen a polyline is drawn with, as the layer made it.
enum class LinePen {
  OnePixelSolid,  // may have its columns merged (column_span_batch.h), mix and transform allowing
  Patterned,      // dashed or dotted, one pixel: the pattern runs on from segment to segment
  Wide,           // wider than one pixel
};

// Connected pieces broken at hidden and bad points. Consecutive points in one pixel column that
// stay within the rows of the last drawn segment draw nothing; only the last of them is kept,
// and joined by a move when the line leaves that range. The pixels are always those of
// DrawPolylineReference; exported, with it, for the tests that hold the two side by side.
KELMIRA_API void DrawPolyline(HDC dc, const LinePoints& points, const common::PixelMapping& mapping, LinePen pen);

// The same rule drawn the plain way: every point through it one by one, and MoveToEx and LineTo
// for every step it takes.
KELMIRA_API void DrawPolylineReference(HDC dc, const LinePoints& points, const common::PixelMapping& mapping);

// One marker per shown point inside the area (right column and bottom row included), none for
// a point in the same pixel as the last marker. pointStyle 0: filled circle, 1: upright cross,
// anything else: diagonal cross.
void DrawMarkers(HDC dc, const LinePoints& points, const common::PixelMapping& mapping, LONG pointStyle);

}  // namespace kelmira::layers

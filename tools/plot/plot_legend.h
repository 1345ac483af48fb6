// The legend kelmira-plot draws. The library's LineLegendLayer keeps its settings but draws
// nothing, so the tool draws the box itself with GDI calls into the captured picture, after the
// graph has drawn.
#pragma once

#include "plot_options.h"

#include <kelmira/platform.h>

#include <optional>
#include <string>
#include <vector>

namespace kelmira::plot {

struct LegendEntry {
  std::string name;  // UTF-8
  COLORREF color = 0;
  int dash = 0;                // 0 solid, 1 dashed, 2 dotted, as the line's pen
  int width = 1;               // pen width
  bool line = true;            // a line sample; false: the marker alone
  std::optional<LONG> marker;  // the line's point style when markers are drawn
};

struct LegendLook {
  HFONT font = nullptr;  // the graph's font
  COLORREF background = 0x00FFFFFF;
  COLORREF text = 0;
  COLORREF frame = 0x00808080;
};

// UTF-8 text in the ANSI code page that text is drawn in; a character it lacks shows as '?'.
std::string AnsiText(const std::string& utf8);

// The gap between the legend and the plot area's edge, and the room an outside legend takes.
constexpr int kLegendGap = 8;

// The box's size for these entries.
SIZE MeasureLegend(HDC dc, const std::vector<LegendEntry>& entries, const LegendLook& look);

// The entries whose rows fit in `height`; when some do not, the last row left says how many more
// lines there are.
std::vector<LegendEntry> FitLegend(HDC dc, std::vector<LegendEntry> entries, const LegendLook& look, int height);

// Where the box goes in a corner of the plot area; Outside puts it right of the area, at its top
// (the caller passes the graph's right edge then).
POINT PlaceLegend(const RECT& plotArea, SIZE box, LegendPlace place);

// The framed box filled with the background, one row per entry: a short line sample (with the
// marker in its middle) and the name.
void DrawLegend(HDC dc, POINT topLeft, const std::vector<LegendEntry>& entries, const LegendLook& look);

}  // namespace kelmira::plot

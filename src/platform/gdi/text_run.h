// Painting one run of text into a device context: the cell background, the glyphs and the rules
// (underline, strike-out, prefix underlines), all through the context's logical-to-device
// mapping, so a world transform turns the whole run.
#pragma once

#include "gdi/device_context.h"
#include "gdi/font_instance.h"

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

namespace kelmira::gdi {

// A pen position in the run's own frame: x along the baseline, y downwards from it.
struct RunPen {
  long long x = 0;
  long long y = 0;
};

struct TextRun {
  double left = 0, top = 0;  // logical position of the run frame's origin: the cell's top-left
  std::u16string_view text;
  std::vector<RunPen> pens;  // one per character, then the end of the run
  bool fillCell = false;     // paint the cell (extent x font height) in the background colour
  bool drawGlyphs = true;
  std::vector<std::pair<long long, long long>> underlines;  // extra rules, [x0, x1) along the run
};

// Pen positions from advances (and vertical offsets), starting at 0.
std::vector<RunPen> PensFromAdvances(const int* dx, const int* dy, std::size_t count);

// Paints the run with the context's text and background colours, never outside `clip` (device).
// A recording context also records the run.
void PaintTextRun(const DeviceContext& dc, const std::shared_ptr<const FontInstance>& font, const TextRun& run,
                  const RECT& clip);

// The device rectangle of a logical rectangle as four corners, through the context's mapping.
struct DeviceQuad;
DeviceQuad QuadOfLogicalRect(const DeviceContext& dc, double left, double top, double right, double bottom);

}  // namespace kelmira::gdi

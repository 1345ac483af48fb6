// What an axis draws with, besides its scale: the fields of the control as one drawing reads them.
#pragma once

#include "axes/axis_scale.h"

#include <kelmira/kelmira.h>

#include <string>

namespace kelmira::axes {

// Pixel coordinates a drawing works with: rectangles, tick lengths and margins are clamped to this many
// pixels either side of the origin (far beyond any surface, and what GDI itself can address), so
// that the sums of a few of them never overflow.
constexpr LONG kPixelLimit = 1 << 27;
inline LONG ClampPixels(LONG v) { return v < -kPixelLimit ? -kPixelLimit : v > kPixelLimit ? kPixelLimit : v; }
inline RECT ClampPixels(const RECT& r) {
  return {ClampPixels(r.left), ClampPixels(r.top), ClampPixels(r.right), ClampPixels(r.bottom)};
}

struct AxisLook {
  LONG tickLength = 0;  // within ±kPixelLimit
  LONG margin = 0;      // within ±kPixelLimit
  OLE_COLOR tickColor = 0;
  OLE_COLOR backColor = 0;
  OLE_COLOR foreColor = 0;
  IFontDisp* font = nullptr;  // none: the device context's own font
  std::string title;          // ANSI
  bool mirrored = false;      // X: BottomAligned; Y: LeftAligned
  LONG dateFormat = 0;        // X: DateLabelFormat
};

// The drawing routines (any rectangle; it is clamped to ±kPixelLimit). Both restore the device
// context's pen, font and text colour (the Y axis also its text alignment) on every path; the
// background mode is left transparent and the Y axis leaves the graphics mode as its title set
// it. A failing label list ends the drawing at that tick with its HRESULT, keeping what was
// drawn.
HRESULT DrawXAxis(HDC dc, const RECT& bounds, const AxisScale& scale, const DateFlags& dates, const AxisLook& look,
                  ITickLabelList* labels);
HRESULT DrawYAxis(HDC dc, const RECT& bounds, const AxisScale& scale, const AxisLook& look, ITickLabelList* labels);

}  // namespace kelmira::axes

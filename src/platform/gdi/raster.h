// Rasterisation of lines, outlines and fills into a Surface.
//
// Everything here works in device pixels with 64-bit coordinates and writes nothing outside the
// clip rectangle it is given (which must already lie inside the surface). Colours arrive as
// mixes (rop.h): the caller turns pen, brush and background colours into AND/XOR masks once,
// so these routines never look at device-context state.
//
// Pixel rules:
// - A cosmetic line from A to B paints max(|dx|, |dy|) pixels, one per step along the major axis
//   (x when |dx| >= |dy|), starting with A and never painting B. The minor coordinate of each
//   pixel is the exact line position rounded to the nearest integer; an exact half goes to the
//   smaller coordinate. The pixel set therefore depends only on the end points: B->A paints the
//   same pixels as A->B except that it paints B and not A.
// - Clipping never moves a pixel: a clipped line paints exactly the unclipped line's pixels that
//   lie inside the clip rectangle, and the style pattern keeps its phase.
// - Consecutive one-pixel segments share their joint pixel (painted once, by the later segment),
//   but are otherwise drawn independently: where they cross or fold back, pixels are mixed
//   again, as on the desktop.
// - A wide pen (width w >= 2) paints every pixel whose centre lies within w/2 of the segment
//   (an even width is centred half a pixel right and down, so it covers w pixels across): round
//   ends and, within one polyline, round joins, each pixel painted once. Wide pens draw solid
//   whatever their style.
// - Rectangles and ellipses cover columns left..right-1 and rows top..bottom-1; outline and
//   interior never overlap, so every pixel of a figure is mixed exactly once.
#pragma once

#include "gdi/rop.h"
#include "gdi/surface.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace kelmira::gdi {

struct Point64 {
  std::int64_t x;
  std::int64_t y;
};

// Half-open device rectangle: columns left..right-1, rows top..bottom-1.
struct Rect64 {
  std::int64_t left;
  std::int64_t top;
  std::int64_t right;
  std::int64_t bottom;
};

// On/off pattern of a styled cosmetic pen, counted in pixels along the major axis.
struct LinePattern {
  std::uint32_t onBits = 0;  // bit i set: pixel i of the period is drawn with the pen
  int period = 0;            // 0: solid
  constexpr bool IsSolid() const { return period == 0; }
};

// PS_DASH 18 on 6 off; PS_DOT 3/3; PS_DASHDOT 9,6,3,6; PS_DASHDOTDOT 9,3,3,3,3,3; others solid.
LinePattern PatternForPenStyle(int penStyle);

// How the current pen strokes a path.
struct Stroke {
  enum class Kind { None, Cosmetic, Wide };
  Kind kind = Kind::None;
  Mix mix = kNopMix;     // pen colour through the mix
  Mix gapMix = kNopMix;  // gaps of a styled cosmetic pen: background colour (opaque) or nop
  LinePattern pattern;   // cosmetic pens only
  int width = 1;         // wide pens only; at least 2
};

// How the current brush fills an area.
struct Fill {
  enum class Kind { None, Solid, Hatch };
  Kind kind = Kind::None;
  Mix mix = kNopMix;                   // brush colour through the mix
  Mix gapMix = kNopMix;                // hatch background: background colour (opaque) or nop (transparent)
  std::array<std::uint8_t, 8> rows{};  // hatch rows; bit x is column x
  Point64 origin{0, 0};                // device point where the hatch cell starts
};

// Hatch styles HS_HORIZONTAL (0) .. HS_DIAGCROSS (5); an unknown style gives an empty pattern.
std::array<std::uint8_t, 8> HatchRows(int hatchStyle);

// Builders for the two descriptions above. bkOpaque: OPAQUE background mode.
Stroke MakeStroke(int penStyle, int width, std::uint32_t penColorRef, std::uint32_t bkColorRef, bool bkOpaque,
                  int rop2);
Fill MakeSolidFill(std::uint32_t colorRef, int rop2);
Fill MakeHatchFill(int hatchStyle, std::uint32_t colorRef, std::uint32_t bkColorRef, bool bkOpaque, int rop2,
                   Point64 brushOrigin);

// --- Lines -------------------------------------------------------------------------------------

// One-pixel solid line, end pixel excluded.
void DrawSolidLine(const Surface& surface, const RECT& clip, Point64 a, Point64 b, Mix mix);

// One-pixel line with an on/off pattern. patternPos is the phase at A; on return it is the phase
// at B, so consecutive calls continue the pattern.
void DrawPatternLine(const Surface& surface, const RECT& clip, Point64 a, Point64 b, Mix on, Mix gap,
                     const LinePattern& pattern, int& patternPos);

// Capsules of the given width around each segment of a polyline, painted as one union.
void DrawWidePolyline(const Surface& surface, const RECT& clip, std::span<const Point64> points, int width, Mix mix);

// One segment with any stroke (cosmetic lines exclude B; wide ones include their round end).
void StrokeLine(const Surface& surface, const RECT& clip, Point64 a, Point64 b, const Stroke& stroke, int& patternPos);

// Consecutive segments through the points. Cosmetic pens draw segment by segment with the
// pattern continuing (phase in patternPos); wide pens paint the union once.
void StrokePolyline(const Surface& surface, const RECT& clip, std::span<const Point64> points, const Stroke& stroke,
                    int& patternPos);

// --- Areas -------------------------------------------------------------------------------------

// Fills r (half-open) with the brush; FillRect and PatBlt end here.
void FillRectWith(const Surface& surface, const RECT& clip, const Rect64& r, const Fill& fill);

// Columns x0..x1-1 of row y with the brush or with a plain mix; clipped here.
void FillSpan(const Surface& surface, const RECT& clip, std::int64_t y, std::int64_t x0, std::int64_t x1,
              const Fill& fill);
void FillSpan(const Surface& surface, const RECT& clip, std::int64_t y, std::int64_t x0, std::int64_t x1, Mix mix);

// Rectangle and ellipse of the desktop calls; bounds are normalised here.
void DrawRectangle(const Surface& surface, const RECT& clip, Rect64 bounds, const Stroke& stroke, const Fill& fill);
void DrawEllipse(const Surface& surface, const RECT& clip, Rect64 bounds, const Stroke& stroke, const Fill& fill);

}  // namespace kelmira::gdi

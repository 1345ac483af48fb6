// Recordings: what was drawn into a bitmap, kept as device-space records beside its pixels.
//
// A recording belongs to a bitmap: the own bitmap of a recording device context
// (KelmiraCreateRecordingDC), or a bitmap made compatible with a recording context or with a
// memory context made compatible with one (the family), or any other bitmap once it is selected
// into a context of the family (its first record is then a picture of what it held). Whatever
// device context draws into such a bitmap adds records. Records are taken at the raster
// boundary, with the exact inputs of the raster routines, so replaying them calls the same
// routines and gives the same pixels; and since those inputs are resolved device geometry, a
// vector writer can turn them into paths and text.
//
// Units: device pixels of the recorded bitmap, x to the right and y downwards; pixel (x, y)
// covers [x, x + 1) x [y, y + 1). Colours: COLORREF 0x00BBGGRR, or a Mix (rop.h) where the
// drawing went through a mix mode; InkOf tells a vector writer which colour a mix paints and
// whether it is a plain copy (anything else cannot be expressed in a vector file and is left
// out there; replay still draws it).
#pragma once

#include "gdi/font_instance.h"
#include "gdi/raster.h"
#include "gdi/text_blend.h"
#include "gdi/text_run.h"

#include <kelmira/platform/wingdi.h>

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace kelmira::gdi {

// A path through device points with a pen: LineTo, Polyline, PolylineTo. Consecutive LineTo
// calls that continue one another with the same pen and clip share one record.
// Cosmetic pens (stroke.kind Cosmetic) paint one-pixel Bresenham lines through the pixel centres
// (a vector writer draws 1 px wide lines from (x + 0.5, y + 0.5)), each segment leaving out its
// end pixel; a styled one follows stroke.pattern (bit i of onBits: pixel i of the period drawn
// with stroke.mix, else with stroke.gapMix), starting at phase patternStart at the first point.
// Wide pens (Wide) paint the union of round-capped capsules of stroke.width pixels, solid.
struct StrokeRecord {
  std::vector<Point64> points;  // at least two
  Stroke stroke;
  int patternStart = 0;  // pattern phase at points[0] (pixels into the period)
  int patternEnd = 0;    // phase after the last segment (to continue the path)
};

// Rectangle and Ellipse: bounds as given to the raster code (not normalised), the outline with
// the pen inside the bounds (a cosmetic outline on the outermost pixels, a wide one stroke.width
// pixels thick), the interior with the brush. Stroke::Kind::None: brush only, one pixel short on
// the right and at the bottom.
struct ShapeRecord {
  enum class Kind { Rectangle, Ellipse };
  Kind kind = Kind::Rectangle;
  Rect64 bounds{};
  Stroke stroke;
  Fill fill;
};

// FillRect and SetPixel: columns rect.left..right-1, rows rect.top..bottom-1 with the brush.
// fill.kind Solid: one colour (fill.mix); Hatch: fill.rows is an 8x8 cell (bit x of rows[y]) set
// at device point fill.origin, set bits in fill.mix, clear bits in fill.gapMix (nop: transparent).
struct FillRecord {
  Rect64 rect{};
  Fill fill;
};

// A filled convex quadrilateral in one colour, plain copy: the opaque rectangle of ExtTextOut
// (ETO_OPAQUE), turned with the world transform. Pixels whose centres lie inside are painted.
struct QuadRecord {
  DeviceQuad quad{};
  COLORREF color = 0;
};

// The run frame to device: device = (xx * x + xy * y + dx, yx * x + yy * y + dy). The frame has
// its origin at the text cell's top-left corner, x along the baseline and y downwards.
struct RunTransform {
  double xx = 1, xy = 0, yx = 0, yy = 1;
  double dx = 0, dy = 0;
};

// One run of text: ExtTextOut/TextOut, or one line of DrawText. Character i is drawn with its
// glyph origin (on the baseline) at run-frame point (pens[i].x, pens[i].y + font->Metrics().ascent)
// and the glyph turned by the linear part of toDevice (a turned Y title has it rotated). The font
// instance is the realised face at its pixel size (font->Metrics().em pixels per em).
struct TextRecord {
  std::shared_ptr<const FontInstance> font;
  std::u16string text;
  std::vector<RunPen> pens;  // text.size() + 1: each character's pen position, then the run's end
  RunTransform toDevice;
  COLORREF textColor = 0;  // glyphs and rules, plain copy (antialiased)
  COLORREF bkColor = 0;    // the cell fill, when fillCell
  bool fillCell = false;   // run frame rectangle (0, 0)-(pens.back().x, font height) first
  bool drawGlyphs = true;  // false: only the rules (DrawText's DT_PREFIXONLY)
  std::vector<std::pair<long long, long long>> underlines;  // prefix rules, [x0, x1) along the run
};

// A raster operation over a device rectangle: BitBlt from a source that is not spliced (an
// embedded image) and PatBlt (no image). rop3 is the ternary operation code (bits 16..23 of the
// ROP: 0xCC SRCCOPY, 0xEE SRCPAINT, 0xF0 PATCOPY, 0x00 BLACKNESS, 0xFF WHITENESS, ...);
// `pattern` is the destination's brush when the operation reads it.
struct BlitRecord {
  Rect64 area{};  // destination pixels, already clipped
  std::uint8_t rop3 = 0xCC;
  Fill pattern;
  int imageWidth = 0;  // area width and height when an image is present, else 0
  int imageHeight = 0;
  std::vector<std::uint32_t> image;  // source pixels 0x00RRGGBB, row by row, top-down
};

struct Record {
  RECT clip{};  // device rectangle in effect; nothing outside it was painted
  std::variant<StrokeRecord, ShapeRecord, FillRecord, QuadRecord, TextRecord, BlitRecord> item;
};

struct Recording {
  int width = 0;  // the bitmap's size in device pixels
  int height = 0;
  COLORREF background = 0;  // what the bitmap held before the first record (white for a recording DC)
  bool complete = true;     // false when a record was lost (memory ran out); a splice then takes pixels
  std::vector<Record> records;
};

// The recording of the bitmap selected into hdc; null when that bitmap does not record (or hdc
// is not a device context).
const Recording* RecordingOf(HDC hdc);

// How a mix paints, for a writer: None leaves the destination alone (transparent gaps, R2_NOP);
// Copy paints `color` whatever was there (R2_COPYPEN, also R2_BLACK, R2_WHITE, R2_NOTCOPYPEN);
// Other depends on the destination (XOR rubber bands and the like).
struct Ink {
  enum class Kind { None, Copy, Other };
  Kind kind = Kind::None;
  COLORREF color = 0;  // Copy only
};
constexpr Ink InkOf(const Mix& mix) {
  if (mix.IsNop()) return {Ink::Kind::None, 0};
  if (mix.IsCopy()) return {Ink::Kind::Copy, ColorFromPixel(mix.xorMask)};
  return {Ink::Kind::Other, 0};
}

}  // namespace kelmira::gdi

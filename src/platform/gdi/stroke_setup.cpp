// Pen, brush and background settings turned into the mixes the raster loops use.
#include "gdi/raster.h"

#include <algorithm>

namespace kelmira::gdi {
namespace {

// Wider pens would cover any bitmap anyway; the bound keeps the capsule arithmetic exact.
constexpr int kMaxPenWidth = 1 << 20;

}  // namespace

Stroke MakeStroke(int penStyle, int width, std::uint32_t penColorRef, std::uint32_t bkColorRef, bool bkOpaque,
                  int rop2) {
  Stroke stroke;
  const int style = penStyle & PS_STYLE_MASK;
  if (style == PS_NULL) return stroke;
  stroke.mix = MixFor(rop2, PixelFromColor(penColorRef));
  if (width > 1) {
    stroke.kind = Stroke::Kind::Wide;
    stroke.width = std::min(width, kMaxPenWidth);
    return stroke;
  }
  stroke.kind = Stroke::Kind::Cosmetic;
  stroke.pattern = PatternForPenStyle(style);
  stroke.gapMix = bkOpaque ? MixFor(rop2, PixelFromColor(bkColorRef)) : kNopMix;
  return stroke;
}

Fill MakeSolidFill(std::uint32_t colorRef, int rop2) {
  Fill fill;
  fill.kind = Fill::Kind::Solid;
  fill.mix = MixFor(rop2, PixelFromColor(colorRef));
  return fill;
}

Fill MakeHatchFill(int hatchStyle, std::uint32_t colorRef, std::uint32_t bkColorRef, bool bkOpaque, int rop2,
                   Point64 brushOrigin) {
  Fill fill;
  fill.kind = Fill::Kind::Hatch;
  fill.mix = MixFor(rop2, PixelFromColor(colorRef));
  fill.gapMix = bkOpaque ? MixFor(rop2, PixelFromColor(bkColorRef)) : kNopMix;
  fill.rows = HatchRows(hatchStyle);
  fill.origin = brushOrigin;
  return fill;
}

}  // namespace kelmira::gdi

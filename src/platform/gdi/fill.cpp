// Horizontal spans with a brush or a plain mix; every area fill ends here.
#include "gdi/raster.h"

#include <algorithm>

namespace kelmira::gdi {
namespace {

struct Span {
  std::uint32_t* first;
  std::int64_t x;  // device column of first
  std::int64_t count;
};

// The part of row y, columns x0..x1-1, inside the clip; count 0 when nothing is.
Span ClipSpan(const Surface& surface, const RECT& clip, std::int64_t y, std::int64_t x0, std::int64_t x1) {
  if (y < clip.top || y >= clip.bottom) return {nullptr, 0, 0};
  x0 = std::max<std::int64_t>(x0, clip.left);
  x1 = std::min<std::int64_t>(x1, clip.right);
  if (x0 >= x1) return {nullptr, 0, 0};
  std::uint32_t* row = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride;
  return {row + x0, x0, x1 - x0};
}

void MixSpan(const Span& span, Mix mix) {
  if (mix.IsCopy()) {
    std::fill_n(span.first, span.count, mix.xorMask);
    return;
  }
  if (mix.IsNop()) return;
  for (std::int64_t i = 0; i < span.count; ++i) span.first[i] = mix.Apply(span.first[i]);
}

void HatchSpan(const Span& span, std::int64_t y, const Fill& fill) {
  const std::uint32_t row = fill.rows[static_cast<std::size_t>((y - fill.origin.y) & 7)];
  // Rotate the row so that bit 0 belongs to the span's first column.
  const auto phase = static_cast<unsigned>((span.x - fill.origin.x) & 7);
  const std::uint32_t bits = ((row >> phase) | (row << (8 - phase))) & 0xFFu;
  const Mix mixes[2] = {fill.gapMix, fill.mix};
  for (std::int64_t i = 0; i < span.count; ++i) {
    span.first[i] = mixes[(bits >> (i & 7)) & 1u].Apply(span.first[i]);
  }
}

}  // namespace

void FillSpan(const Surface& surface, const RECT& clip, std::int64_t y, std::int64_t x0, std::int64_t x1, Mix mix) {
  const Span span = ClipSpan(surface, clip, y, x0, x1);
  if (span.count > 0) MixSpan(span, mix);
}

void FillSpan(const Surface& surface, const RECT& clip, std::int64_t y, std::int64_t x0, std::int64_t x1,
              const Fill& fill) {
  if (fill.kind == Fill::Kind::None) return;
  const Span span = ClipSpan(surface, clip, y, x0, x1);
  if (span.count == 0) return;
  if (fill.kind == Fill::Kind::Solid) {
    MixSpan(span, fill.mix);
  } else {
    HatchSpan(span, y, fill);
  }
}

void FillRectWith(const Surface& surface, const RECT& clip, const Rect64& r, const Fill& fill) {
  if (fill.kind == Fill::Kind::None) return;
  const std::int64_t top = std::max<std::int64_t>(r.top, clip.top);
  const std::int64_t bottom = std::min<std::int64_t>(r.bottom, clip.bottom);
  for (std::int64_t y = top; y < bottom; ++y) FillSpan(surface, clip, y, r.left, r.right, fill);
}

}  // namespace kelmira::gdi

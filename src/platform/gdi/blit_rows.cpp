// Row kernels: the operations the platform's callers use run as plain loops; every other code
// goes through the general truth-table evaluation.
#include "gdi/blit_rows.h"

#include "gdi/surface.h"

#include <emmintrin.h>

#include <algorithm>

namespace kelmira::gdi {
namespace {

void FillRow(std::uint32_t* dst, std::uint32_t value, std::int64_t count) { std::fill_n(dst, count, value); }

template <class Op>
void SourceRow(std::uint32_t* dst, const std::uint32_t* src, std::int64_t count, Op op) {
  for (std::int64_t i = 0; i < count; ++i) dst[i] = op(src[i] & kPixelMask, dst[i]) & kPixelMask;
}

// SRCCOPY, the copy of every repaint: four pixels at a time, so that it runs at the speed of
// memory rather than of the loop.
void CopyRow(std::uint32_t* dst, const std::uint32_t* src, std::int64_t count) {
  const __m128i mask = _mm_set1_epi32(static_cast<int>(kPixelMask));
  std::int64_t i = 0;
  for (; i + 4 <= count; i += 4)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i),
                     _mm_and_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), mask));
  for (; i < count; ++i) dst[i] = src[i] & kPixelMask;
}

bool SolidFastPath(std::uint8_t code, std::uint32_t* dst, const std::uint32_t* src, std::int64_t count) {
  switch (code) {
    case 0xCC: CopyRow(dst, src, count); return true;
    case 0xEE: SourceRow(dst, src, count, [](std::uint32_t s, std::uint32_t d) { return s | d; }); return true;
    case 0x88: SourceRow(dst, src, count, [](std::uint32_t s, std::uint32_t d) { return s & d; }); return true;
    case 0x66: SourceRow(dst, src, count, [](std::uint32_t s, std::uint32_t d) { return s ^ d; }); return true;
    case 0x44: SourceRow(dst, src, count, [](std::uint32_t s, std::uint32_t d) { return s & ~d; }); return true;
    case 0x33: SourceRow(dst, src, count, [](std::uint32_t s, std::uint32_t) { return ~s; }); return true;
    case 0x00: FillRow(dst, 0, count); return true;
    case 0xFF: FillRow(dst, kPixelMask, count); return true;
    case 0x55:
      for (std::int64_t i = 0; i < count; ++i) dst[i] = ~dst[i] & kPixelMask;
      return true;
    default: return false;
  }
}

}  // namespace

void BlendRow(std::uint8_t code, std::uint32_t* dst, const std::uint32_t* src, const PatternRow& pattern,
              std::int64_t count) {
  bool usesPattern = Rop3UsesPattern(code);
  if (usesPattern && pattern.kind == PatternRow::Kind::None) return;  // a null brush paints nothing
  if (!usesPattern || pattern.kind == PatternRow::Kind::Solid) {
    if (!usesPattern && SolidFastPath(code, dst, src, count)) return;
    if (code == 0xF0) return FillRow(dst, pattern.color, count);
    for (std::int64_t i = 0; i < count; ++i)
      dst[i] = ApplyRop3(code, pattern.color, src ? src[i] & kPixelMask : 0, dst[i]);
    return;
  }
  // Hatched brush: lines in the brush colour, gaps in the background colour or untouched.
  for (std::int64_t i = 0; i < count; ++i) {
    bool line = (pattern.bits >> (i & 7)) & 1u;
    if (!line && !pattern.opaque) continue;
    std::uint32_t p = line ? pattern.color : pattern.background;
    dst[i] = ApplyRop3(code, p, src ? src[i] & kPixelMask : 0, dst[i]);
  }
}

}  // namespace kelmira::gdi

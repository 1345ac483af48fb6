// What raster and text code draw into: a block of 32-bit pixels and a clip rectangle.
//
// A pixel holds 0x00RRGGBB (bytes B, G, R, X in memory, as a 32-bit DIB); drawing keeps the top
// byte 0. COLORREF values (0x00BBGGRR) are converted at the edges with PixelFromColor and
// ColorFromPixel. Row y starts at pixels + y * stride; stride is in pixels and is negative for a
// bottom-up DIB section (pixels then points at the top row, the last one in memory), so always
// address rows through Row() and never assume rows follow each other upwards in memory.
//
// Every drawing call gets a clip rectangle in device coordinates that is already intersected
// with the surface bounds; nothing may be written outside it.
#pragma once

#include <kelmira/platform/wingdi.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace kelmira::gdi {

struct Surface {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int stride = 0;  // pixels from one row to the next; negative for bottom-up storage

  std::uint32_t* Row(int y) const { return pixels + static_cast<std::ptrdiff_t>(y) * stride; }
  bool Empty() const { return !pixels || width <= 0 || height <= 0; }
  RECT Bounds() const { return RECT{0, 0, width, height}; }
};

constexpr std::uint32_t PixelFromColor(COLORREF c) { return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu); }
constexpr COLORREF ColorFromPixel(std::uint32_t p) { return ((p & 0xFFu) << 16) | (p & 0xFF00u) | ((p >> 16) & 0xFFu); }
constexpr std::uint32_t kPixelMask = 0x00FFFFFFu;

inline bool IsEmptyRect(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

// The common part of a and b; an empty result is normalised to {0, 0, 0, 0}.
inline RECT IntersectRects(const RECT& a, const RECT& b) {
  RECT r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
  if (IsEmptyRect(r)) return RECT{0, 0, 0, 0};
  return r;
}

}  // namespace kelmira::gdi

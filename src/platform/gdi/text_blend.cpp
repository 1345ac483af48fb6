// Coverage blending and quadrilateral fills.
#include "gdi/text_blend.h"

#include <algorithm>
#include <cmath>

namespace kelmira::gdi {
namespace {

inline std::uint32_t Blend(std::uint32_t dst, std::uint32_t src, unsigned coverage) {
  const unsigned keep = 255 - coverage;
  auto channel = [&](unsigned shift) {
    unsigned s = (src >> shift) & 0xFF, d = (dst >> shift) & 0xFF;
    return ((s * coverage + d * keep + 127) / 255) << shift;
  };
  return channel(16) | channel(8) | channel(0);
}

// The first pixel whose centre is at or beyond v, limited to [lo, hi].
int FirstCentreAtOrAfter(double v, int lo, int hi) {
  double c = std::ceil(v - 0.5);
  if (!(c > lo)) return lo;  // also catches NaN
  if (c > hi) return hi;
  return static_cast<int>(c);
}

}  // namespace

void BlendMask(const Surface& surface, const RECT& clip, const GlyphMask& mask, long long x, long long y,
               std::uint32_t pixel) {
  if (surface.Empty() || IsEmptyRect(clip) || mask.width <= 0 || mask.height <= 0) return;
  const long long left = x + mask.left, top = y + mask.top;
  const long long x0 = std::max<long long>(left, clip.left), x1 = std::min<long long>(left + mask.width, clip.right);
  const long long y0 = std::max<long long>(top, clip.top), y1 = std::min<long long>(top + mask.height, clip.bottom);
  if (x0 >= x1 || y0 >= y1) return;
  pixel &= kPixelMask;
  for (long long row = y0; row < y1; ++row) {
    const std::uint8_t* cov = mask.coverage.data() + (row - top) * mask.width + (x0 - left);
    std::uint32_t* out = surface.Row(static_cast<int>(row)) + x0;
    for (long long col = x0; col < x1; ++col, ++cov, ++out) {
      const unsigned c = *cov;
      if (c == 0) continue;
      *out = c == 255 ? pixel : Blend(*out, pixel, c);
    }
  }
}

void FillQuad(const Surface& surface, const RECT& clip, const DeviceQuad& quad, std::uint32_t pixel) {
  if (surface.Empty() || IsEmptyRect(clip)) return;
  double minY = quad.y[0], maxY = quad.y[0];
  for (int i = 1; i < 4; ++i) {
    minY = std::min(minY, quad.y[i]);
    maxY = std::max(maxY, quad.y[i]);
  }
  const int rowBegin = FirstCentreAtOrAfter(minY, clip.top, clip.bottom);
  const int rowEnd = FirstCentreAtOrAfter(maxY, clip.top, clip.bottom);
  pixel &= kPixelMask;
  for (int row = rowBegin; row < rowEnd; ++row) {
    const double cy = row + 0.5;
    double xl = 0, xr = 0;
    int crossings = 0;
    for (int i = 0; i < 4; ++i) {
      const int j = (i + 1) % 4;
      const double ya = quad.y[i], yb = quad.y[j];
      if (!((ya <= cy && cy < yb) || (yb <= cy && cy < ya))) continue;
      const double x = quad.x[i] + (cy - ya) * (quad.x[j] - quad.x[i]) / (yb - ya);
      xl = crossings ? std::min(xl, x) : x;
      xr = crossings ? std::max(xr, x) : x;
      ++crossings;
    }
    if (crossings < 2) continue;
    const int colBegin = FirstCentreAtOrAfter(xl, clip.left, clip.right);
    const int colEnd = FirstCentreAtOrAfter(xr, clip.left, clip.right);
    if (colBegin >= colEnd) continue;
    std::fill(surface.Row(row) + colBegin, surface.Row(row) + colEnd, pixel);
  }
}

}  // namespace kelmira::gdi

// Rectangle: outline with the pen inside the bounds, interior with the brush, never overlapping.
#include "gdi/raster.h"

#include <algorithm>

namespace kelmira::gdi {
namespace {

Rect64 Normalised(Rect64 r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

// One-pixel outline walked clockwise from the top-left corner, the pattern starting afresh.
void CosmeticOutline(const Surface& surface, const RECT& clip, const Rect64& r, const Stroke& stroke) {
  int patternPos = 0;
  const Point64 topLeft{r.left, r.top};
  if (r.bottom - r.top == 1) {
    StrokeLine(surface, clip, topLeft, {r.right, r.top}, stroke, patternPos);
    return;
  }
  if (r.right - r.left == 1) {
    StrokeLine(surface, clip, topLeft, {r.left, r.bottom}, stroke, patternPos);
    return;
  }
  const Point64 corners[5] = {
      topLeft, {r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, {r.left, r.bottom - 1}, topLeft};
  StrokePolyline(surface, clip, corners, stroke, patternPos);
}

// A frame of the pen's width inside the bounds, square corners; the rest goes to the brush.
void WideFrame(const Surface& surface, const RECT& clip, const Rect64& r, const Stroke& stroke, const Fill& fill) {
  const std::int64_t w = stroke.width;
  const std::int64_t top = std::max<std::int64_t>(r.top, clip.top);
  const std::int64_t bottom = std::min<std::int64_t>(r.bottom, clip.bottom);
  for (std::int64_t y = top; y < bottom; ++y) {
    const bool band = y < r.top + w || y >= r.bottom - w || r.right - r.left <= 2 * w;
    if (band) {
      FillSpan(surface, clip, y, r.left, r.right, stroke.mix);
      continue;
    }
    FillSpan(surface, clip, y, r.left, r.left + w, stroke.mix);
    FillSpan(surface, clip, y, r.left + w, r.right - w, fill);
    FillSpan(surface, clip, y, r.right - w, r.right, stroke.mix);
  }
}

}  // namespace

void DrawRectangle(const Surface& surface, const RECT& clip, Rect64 bounds, const Stroke& stroke, const Fill& fill) {
  const Rect64 r = Normalised(bounds);
  if (r.left == r.right || r.top == r.bottom) return;
  switch (stroke.kind) {
    case Stroke::Kind::None:
      // Without a pen the brush stops one pixel short on the right and at the bottom, as on the
      // desktop.
      FillRectWith(surface, clip, {r.left, r.top, r.right - 1, r.bottom - 1}, fill);
      return;
    case Stroke::Kind::Cosmetic:
      CosmeticOutline(surface, clip, r, stroke);
      FillRectWith(surface, clip, {r.left + 1, r.top + 1, r.right - 1, r.bottom - 1}, fill);
      return;
    case Stroke::Kind::Wide: WideFrame(surface, clip, r, stroke, fill); return;
  }
}

}  // namespace kelmira::gdi

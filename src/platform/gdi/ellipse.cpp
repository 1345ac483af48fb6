// Ellipse inscribed in its bounds: the pixels whose centres lie inside the ellipse that touches
// the outer edges of columns left..right-1 and rows top..bottom-1, plus the middle row(s) and
// column(s) in full, so that even a flat or thin figure reaches all four sides. A one-pixel outline is the
// set's boundary (pixels with a 4-neighbour outside), so it is 8-connected and one pixel thin;
// a wide outline is the ring between that ellipse and the one inset by the pen width. The
// interior is everything else, so outline and interior never overlap.
//
// A styled one-pixel outline is walked clockwise from the top: the right half from top to
// bottom, then the left half from bottom to top, the pattern counted along that walk.
#include "gdi/raster.h"

#include <algorithm>
#include <cmath>

namespace kelmira::gdi {
namespace {

using Int128 = __int128;

// Axes up to this size are tested exactly in 128-bit integers.
constexpr std::int64_t kExactAxis = std::int64_t{1} << 31;
// A styled outline taller than this restarts its pattern at the clip instead of the top.
constexpr std::int64_t kMaxWalkedRows = std::int64_t{1} << 20;

struct Run {
  std::int64_t left = 0;
  std::int64_t right = -1;  // inclusive; empty when right < left
  bool Empty() const { return right < left; }
};

Rect64 Normalised(Rect64 r) {
  if (r.left > r.right) std::swap(r.left, r.right);
  if (r.top > r.bottom) std::swap(r.top, r.bottom);
  return r;
}

bool IsEmpty(const Rect64& r) { return r.left >= r.right || r.top >= r.bottom; }

// Largest m >= 0 with m^2 * b^2 <= limit (b > 0), for limit >= 0.
std::int64_t LargestScaledRoot(Int128 limit, std::int64_t b) {
  const Int128 b2 = Int128{b} * b;
  auto m = static_cast<std::int64_t>(std::sqrt(static_cast<long double>(limit)) / static_cast<long double>(b));
  while (m > 0 && Int128{m} * m * b2 > limit) --m;
  while (Int128{m + 1} * (m + 1) * b2 <= limit) ++m;
  return m;
}

// Columns of row y inside the ellipse inscribed in box. In doubled coordinates centred on the
// box, column x is X = 2x + 1 - (left + right) and row y is Y = 2y + 1 - (top + bottom); the
// pixel is inside when X^2 B^2 + Y^2 A^2 <= A^2 B^2 with A, B the box width and height, or
// when |X| <= 1 or |Y| <= 1 (the middle columns and rows).
Run RowRun(const Rect64& box, std::int64_t y) {
  if (IsEmpty(box) || y < box.top || y >= box.bottom) return {};
  const std::int64_t a = box.right - box.left;
  const std::int64_t b = box.bottom - box.top;
  const std::int64_t yy = 2 * y + 1 - (box.top + box.bottom);
  std::int64_t xm = a - 1;
  if (yy >= -1 && yy <= 1) {
    // a middle row spans the whole box
  } else if (a <= kExactAxis && b <= kExactAxis) {
    xm = LargestScaledRoot(Int128{a} * a * (Int128{b} * b - Int128{yy} * yy), b);
  } else {
    const long double la = a, lb = b, ly = yy;
    xm = static_cast<std::int64_t>(la * std::sqrt(std::max<long double>(0, lb * lb - ly * ly)) / lb);
  }
  xm = std::clamp<std::int64_t>(xm, 1, a - 1 > 1 ? a - 1 : 1);
  // X has the parity of A + 1.
  if (((xm ^ (a + 1)) & 1) != 0) --xm;
  if (xm < 0) return {};
  const std::int64_t sum = box.left + box.right - 1;
  return {(sum - xm) / 2, (sum + xm) / 2};
}

// Interior of row y of a one-pixel outline: pixels whose four neighbours are inside too.
Run InteriorRun(const Rect64& box, std::int64_t y, const Run& row) {
  const Run up = RowRun(box, y - 1);
  const Run down = RowRun(box, y + 1);
  if (row.Empty() || up.Empty() || down.Empty()) return {};
  return {std::max({row.left + 1, up.left, down.left}), std::min({row.right - 1, up.right, down.right})};
}

// The outline pieces of a row: row minus interior (one piece when the interior is empty).
struct Pieces {
  Run first;
  Run second;
};

Pieces OutlinePieces(const Run& row, const Run& interior) {
  if (interior.Empty()) return {row, {}};
  return {{row.left, interior.left - 1}, {interior.right + 1, row.right}};
}

void FillRun(const Surface& surface, const RECT& clip, std::int64_t y, const Run& run, Mix mix) {
  if (!run.Empty()) FillSpan(surface, clip, y, run.left, run.right + 1, mix);
}

void FillRun(const Surface& surface, const RECT& clip, std::int64_t y, const Run& run, const Fill& fill) {
  if (!run.Empty()) FillSpan(surface, clip, y, run.left, run.right + 1, fill);
}

std::int64_t ClipTop(const RECT& clip, const Rect64& box) { return std::max<std::int64_t>(box.top, clip.top); }
std::int64_t ClipBottom(const RECT& clip, const Rect64& box) { return std::min<std::int64_t>(box.bottom, clip.bottom); }

void SolidEllipse(const Surface& surface, const RECT& clip, const Rect64& box, Mix pen, const Fill& fill) {
  for (std::int64_t y = ClipTop(clip, box); y < ClipBottom(clip, box); ++y) {
    const Run row = RowRun(box, y);
    const Run interior = InteriorRun(box, y, row);
    const Pieces outline = OutlinePieces(row, interior);
    FillRun(surface, clip, y, outline.first, pen);
    FillRun(surface, clip, y, outline.second, pen);
    FillRun(surface, clip, y, interior, fill);
  }
}

// Pixels x0..x1 of row y in the given direction, pattern phase `index` at the first one.
void PatternRun(const Surface& surface, const RECT& clip, std::int64_t y, const Run& run, bool ascending,
                std::int64_t index, const Stroke& stroke) {
  if (run.Empty() || y < clip.top || y >= clip.bottom) return;
  const std::int64_t period = stroke.pattern.period;
  std::uint32_t* row = surface.pixels + static_cast<std::ptrdiff_t>(y) * surface.stride;
  for (std::int64_t j = 0; j <= run.right - run.left; ++j) {
    const std::int64_t x = ascending ? run.left + j : run.right - j;
    if (x < clip.left || x >= clip.right) continue;
    const bool on = ((stroke.pattern.onBits >> ((index + j) % period)) & 1u) != 0;
    row[x] = (on ? stroke.mix : stroke.gapMix).Apply(row[x]);
  }
}

Run Intersect(const Run& run, std::int64_t lo, std::int64_t hi) {
  return {std::max(run.left, lo), std::min(run.right, hi)};
}

// The half of the outline pieces of row y on one side of the centre column.
Run SidePiece(const Run& piece, std::int64_t centre, bool right) {
  return right ? Intersect(piece, centre, piece.right) : Intersect(piece, piece.left, centre - 1);
}

void StyledEllipse(const Surface& surface, const RECT& clip, const Rect64& box, const Stroke& stroke,
                   const Fill& fill) {
  // Counting pattern positions from the top needs every row above the clip.
  const bool walkAll = box.bottom - box.top <= kMaxWalkedRows;
  const std::int64_t first = walkAll ? box.top : ClipTop(clip, box);
  const std::int64_t last = walkAll ? box.bottom - 1 : ClipBottom(clip, box) - 1;
  // Columns at or right of the centre belong to the right half.
  const std::int64_t sum = box.left + box.right - 1;
  const std::int64_t centre = sum >= 0 ? (sum + 1) / 2 : -((-sum) / 2);
  const std::int64_t middle2 = box.top + box.bottom - 1;  // 2 * centre row

  std::int64_t index = 0;
  for (std::int64_t y = first; y <= last; ++y) {
    const Run row = RowRun(box, y);
    const Run interior = InteriorRun(box, y, row);
    const Pieces outline = OutlinePieces(row, interior);
    const bool descending = 2 * y > middle2;
    for (const Run& piece : {outline.first, outline.second}) {
      const Run side = SidePiece(piece, centre, true);
      if (side.Empty()) continue;
      PatternRun(surface, clip, y, side, !descending, index, stroke);
      index += side.right - side.left + 1;
    }
    if (y >= clip.top && y < clip.bottom) FillRun(surface, clip, y, interior, fill);
  }
  for (std::int64_t y = last; y >= first; --y) {
    const Run row = RowRun(box, y);
    const Pieces outline = OutlinePieces(row, InteriorRun(box, y, row));
    const bool descending = 2 * y >= middle2;
    for (const Run& piece : {outline.second, outline.first}) {
      const Run side = SidePiece(piece, centre, false);
      if (side.Empty()) continue;
      PatternRun(surface, clip, y, side, !descending, index, stroke);
      index += side.right - side.left + 1;
    }
  }
}

void WideEllipse(const Surface& surface, const RECT& clip, const Rect64& box, const Stroke& stroke, const Fill& fill) {
  const std::int64_t w = stroke.width;
  const Rect64 inner{box.left + w, box.top + w, box.right - w, box.bottom - w};
  for (std::int64_t y = ClipTop(clip, box); y < ClipBottom(clip, box); ++y) {
    const Run outer = RowRun(box, y);
    const Run hole = RowRun(inner, y);
    const Pieces ring = OutlinePieces(outer, hole);
    FillRun(surface, clip, y, ring.first, stroke.mix);
    FillRun(surface, clip, y, ring.second, stroke.mix);
    FillRun(surface, clip, y, hole, fill);
  }
}

}  // namespace

void DrawEllipse(const Surface& surface, const RECT& clip, Rect64 bounds, const Stroke& stroke, const Fill& fill) {
  const Rect64 box = Normalised(bounds);
  if (IsEmpty(box)) return;
  switch (stroke.kind) {
    case Stroke::Kind::None: {
      // Without a pen the brush fills the figure one pixel smaller, as Rectangle does.
      const Rect64 smaller{box.left, box.top, box.right - 1, box.bottom - 1};
      if (IsEmpty(smaller)) return;
      for (std::int64_t y = ClipTop(clip, smaller); y < ClipBottom(clip, smaller); ++y) {
        FillRun(surface, clip, y, RowRun(smaller, y), fill);
      }
      return;
    }
    case Stroke::Kind::Cosmetic:
      if (stroke.pattern.IsSolid()) {
        SolidEllipse(surface, clip, box, stroke.mix, fill);
      } else {
        StyledEllipse(surface, clip, box, stroke, fill);
      }
      return;
    case Stroke::Kind::Wide: WideEllipse(surface, clip, box, stroke, fill); return;
  }
}

}  // namespace kelmira::gdi

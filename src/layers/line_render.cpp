// The point loop of a line and the two ways of drawing its points.
#include "layers/line_render.h"

#include "layers/column_span_batch.h"
#include "layers/pixel_interval.h"
#include "layers/polyline_rule.h"
#include "layers/polyline_batch.h"
#include "layers/visible_range.h"

#include <emmintrin.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <concepts>
#include <type_traits>
#include <limits>

namespace kelmira::layers {
namespace {

enum class XSource { Index, Single, Double };

// Cuts toward zero into a range that any 32-bit offset can be subtracted from; NaN gives 0.
std::int64_t TruncToIndex(double v) {
  constexpr double kLimit = 4.0e18;
  if (v != v) return 0;
  v = v > -kLimit ? v : -kLimit;
  v = v < kLimit ? v : kLimit;
  return static_cast<std::int64_t>(v);
}

// When X is the point index, points before this one lie more than half a unit left of the view:
// max(0, trunc(XMin - 0.5) - offset).
std::int64_t FirstVisibleIndex(double xMin, LONG offset) {
  const std::int64_t first = TruncToIndex(xMin - 0.5) - offset;
  return first > 0 ? first : 0;
}

// The bad value as a float that a Y value equals exactly when its widened value equals the
// double; a double that no float can equal becomes NaN, which equals nothing. So the default
// -999999.9 never matches, and the loop compares floats.
float BadValueAsFloat(double bad) {
  if (std::isinf(bad)) return static_cast<float>(bad);
  if (std::fabs(bad) <= static_cast<double>(FLT_MAX)) {
    const float f = static_cast<float>(bad);
    if (static_cast<double>(f) == bad) return f;
  }
  return std::numeric_limits<float>::quiet_NaN();
}

// The point rule's rows of eight Y values, as mapping.Y computes them one by one: the same double
// operations in the same order, the same clamping (NaN to the lowest row) and the same cut
// toward zero, two values at a time.
[[gnu::always_inline]] inline void RowsOfEight(const float* y, const common::PixelMapping& m, __m128i* rows) {
  const __m128d yMin = _mm_set1_pd(m.yMin), yScale = _mm_set1_pd(m.yScale), bottom = _mm_set1_pd(m.bottomRow);
  const __m128d lowest = _mm_set1_pd(-2147483648.0), highest = _mm_set1_pd(2147483647.0);
  auto two = [&](__m128 values) {  // the rows of the two lower floats
    __m128d v = _mm_sub_pd(bottom, _mm_mul_pd(_mm_sub_pd(_mm_cvtps_pd(values), yMin), yScale));
    v = _mm_min_pd(_mm_max_pd(v, lowest), highest);  // v > lowest ? v : lowest, then v < highest ? v : highest
    return _mm_cvttpd_epi32(v);
  };
  for (int half = 0; half < 2; ++half) {
    const __m128 four = _mm_loadu_ps(y + 4 * half);
    rows[half] = _mm_unpacklo_epi64(two(four), two(_mm_movehl_ps(four, four)));
  }
}

// True when one of the eight Y values is the bad value.
[[gnu::always_inline]] inline bool AnyBad(const float* y, float badY) {
  const __m128 bad = _mm_set1_ps(badY);
  return _mm_movemask_ps(_mm_or_ps(_mm_cmpeq_ps(_mm_loadu_ps(y), bad), _mm_cmpeq_ps(_mm_loadu_ps(y + 4), bad))) != 0;
}

// True when the eight X values rise (or stay): then their columns lie between the first's and
// the last's. A NaN makes it false.
bool Rising(const float* x) {
  const __m128 low = _mm_cmple_ps(_mm_loadu_ps(x), _mm_loadu_ps(x + 1));
  const __m128 high = _mm_cmple_ps(_mm_loadu_ps(x + 3), _mm_loadu_ps(x + 4));
  return _mm_movemask_ps(_mm_and_ps(low, high)) == 0xF;
}
bool Rising(const double* x) {
  __m128d all = _mm_castsi128_pd(_mm_set1_epi32(-1));
  for (int k = 0; k < 6; k += 2) all = _mm_and_pd(all, _mm_cmple_pd(_mm_loadu_pd(x + k), _mm_loadu_pd(x + k + 1)));
  return _mm_movemask_pd(all) == 0x3 && x[6] <= x[7];
}

// True when none of the eight mask bytes hides its point.
bool AllShown(const BYTE* mask) {
  std::uint64_t bytes = 0;
  std::memcpy(&bytes, mask, 8);
  return ((bytes - 0x0101010101010101ull) & ~bytes & 0x8080808080808080ull) == 0;
}

// With X as the index: the first index after `from` whose column differs from px (or last). The
// columns of the index never go back, so a gallop and a halving find it in a few dozen steps.
std::int64_t ColumnEnd(const common::PixelMapping& m, double offset, std::int64_t from, std::int64_t last, LONG px) {
  auto columnOf = [&](std::int64_t i) { return m.X(offset + static_cast<double>(i)); };
  std::int64_t inside = from, step = 1;
  while (true) {
    const std::int64_t probe = inside + step;
    if (probe >= last) break;
    if (columnOf(probe) != px) {
      std::int64_t outside = probe;
      while (outside - inside > 1) {
        const std::int64_t mid = inside + (outside - inside) / 2;
        (columnOf(mid) == px ? inside : outside) = mid;
      }
      return outside;
    }
    inside = probe;
    step *= 2;
  }
  while (last - inside > 1) {  // the end of the data is within the column; find it the same way
    const std::int64_t mid = inside + (last - inside) / 2;
    if (columnOf(mid) != px) return ColumnEnd(m, offset, inside, mid + 1, px);
    inside = mid;
  }
  return last;
}

template <class Rule>
concept AbsorbsBlocks = requires(Rule& r, const __m128i* rows) {
  { r.Absorbs(LONG{}) } -> std::same_as<bool>;
  { r.Absorb(LONG{}, rows) } -> std::same_as<int>;
  { r.Row() } -> std::same_as<LONG>;
};

// Visits points first..last-1 in order; true when the rule ended the line.
template <XSource K, bool kMasked, class Rule>
bool VisitRange(const LinePoints& p, const common::PixelMapping& m, float badY, std::int64_t first, std::int64_t last,
                Rule& rule) {
  const float* const ys = p.y;
  [[maybe_unused]] const float* const xSingle = p.xSingle;
  [[maybe_unused]] const double* const xDouble = p.xDouble;
  [[maybe_unused]] const BYTE* const mask = p.mask;
  const common::PixelMapping mapping = m;  // a local copy, so that nothing the loop writes can alias it
  // Whole numbers below 2^53 add exactly, so this equals offset + i for every i.
  [[maybe_unused]] double indexX = static_cast<double>(p.offset + first);
  // One point through the rule; true when the rule ended the line.
  auto visitOne = [&](std::int64_t i) {
    double x;
    if constexpr (K == XSource::Index) {
      x = indexX;
      indexX += 1.0;
    } else if constexpr (K == XSource::Single) {
      x = static_cast<double>(xSingle[i]);
    } else {
      x = xDouble[i];
    }
    const float y = ys[i];
    const LONG px = mapping.X(x);
    const LONG py = mapping.Y(static_cast<double>(y));
    bool shown = true;
    if constexpr (kMasked) shown = mask[i] != 0;
    return rule.template Visit<K == XSource::Index>(px, py, shown, y == badY);
  };
  std::int64_t i = first;
  if constexpr (AbsorbsBlocks<Rule>) {
    // Eight points whose X values rise and whose first and last share the rule's current column
    // all lie in it (the mapping keeps order); where the rule takes their rows without drawing
    // (they stay in the last segment's span), the block costs no per-point branch. The point that
    // stops a block goes through the rule on its own.
    __m128i rows[2];
    // With X as the index, the points of the current column run up to columnEnd (exclusive).
    [[maybe_unused]] LONG columnPx = 0;
    [[maybe_unused]] std::int64_t columnEnd = i;
    // A row that held for a whole block twice running is worth its interval of floats, and with
    // an X array so is a column.
    PixelInterval<float> rowValues;
    LONG heldRow = 0;
    bool held = false;
    using XValue = std::conditional_t<K == XSource::Double, double, float>;
    [[maybe_unused]] PixelInterval<XValue> columnValues;
    [[maybe_unused]] LONG heldColumn = INT32_MIN;
    [[maybe_unused]] const XValue* const xs = [&] {
      if constexpr (K == XSource::Single) return xSingle;
      if constexpr (K == XSource::Double) return xDouble;
      return static_cast<const XValue*>(nullptr);
    }();
    const bool badNeverMatches = badY != badY;
    while (i < last) {
      if (i + 8 <= last) {
        LONG px = 0;
        bool oneColumn = false;
        if constexpr (K == XSource::Index) {
          if (i >= columnEnd) {
            columnPx = mapping.X(indexX);
            columnEnd = ColumnEnd(mapping, static_cast<double>(p.offset), i, last, columnPx);
          }
          px = columnPx;
          oneColumn = i + 8 <= columnEnd;
        } else if (columnValues.Known() && columnValues.AllIn(xs + i)) {
          px = columnValues.Pixel();
          oneColumn = true;
        } else {
          px = mapping.X(static_cast<double>(xs[i]));
          oneColumn = Rising(xs + i) && mapping.X(static_cast<double>(xs[i + 7])) == px;
          if (oneColumn && heldColumn == px && !columnValues.Knows(px)) {
            const auto [g1, g2] = PixelEdgeGuesses(px, mapping.xMin, mapping.leftEdge, mapping.xScale);
            columnValues.Learn([&](XValue v) { return mapping.X(static_cast<double>(v)); }, px, xs[i], g1, g2);
          }
          if (oneColumn) heldColumn = px;
        }
        if constexpr (kMasked) oneColumn = oneColumn && AllShown(mask + i);
        if (oneColumn && rule.Absorbs(px) && (badNeverMatches || !AnyBad(ys + i, badY))) {
          const LONG row = rule.Row();
          int taken = 0;
          if (rowValues.Knows(row) && rowValues.AllIn(ys + i)) {
            // Every row is the current one: nothing changes, and while the next blocks stay on this
            // row and in this column, nothing will.
            std::int64_t end = i + 8;
            auto sameColumn = [&](std::int64_t at) {
              if constexpr (K == XSource::Index) {
                return at + 8 <= columnEnd;
              } else {
                return at + 8 <= last && columnValues.Knows(px) && columnValues.AllIn(xs + at);
              }
            };
            auto sameRow = [&](std::int64_t at) {
              if constexpr (kMasked) {
                if (!AllShown(mask + at)) return false;
              }
              return rowValues.AllIn(ys + at) && (badNeverMatches || !AnyBad(ys + at, badY));
            };
            while (end + 8 <= last && sameColumn(end) && sameRow(end)) end += 8;
            taken = 8;
            if constexpr (K == XSource::Index) indexX += static_cast<double>(end - i - 8);
            i = end - 8;
          } else {
            RowsOfEight(ys + i, mapping, rows);
            taken = rule.Absorb(px, rows);
            if (taken == 8 && rule.Row() == row && AllRowsAre(rows, row)) {
              if (held && heldRow == row && !rowValues.Knows(row)) {
                const auto [g1, g2] = PixelEdgeGuesses(row, mapping.yMin, mapping.bottomRow, -mapping.yScale);
                rowValues.Learn([&](float v) { return mapping.Y(static_cast<double>(v)); }, row, ys[i], g1, g2);
              }
              held = true;
              heldRow = row;
            }
          }
          i += taken;
          if constexpr (K == XSource::Index) indexX += static_cast<double>(taken);
          if (taken == 8) continue;
        }
      }
      if (visitOne(i++)) return true;
    }
    return false;
  }
  for (; i < last; ++i)
    if (visitOne(i)) return true;
  return false;
}

// An index past which the loop has certainly stopped when X is the point index: the first point
// whose unrounded pixel x reaches right + 1, plus a margin for rounding. Only a hint for how far
// to look for hidden points; the loop itself decides where to stop.
std::int64_t StopIndexHint(const LinePoints& p, const common::PixelMapping& m) {
  if (!(m.xScale > 0.0) || !std::isfinite(m.xScale)) return p.count;
  const double v = (static_cast<double>(m.right) + 1.0 - m.leftEdge) / m.xScale + m.xMin - p.offset;
  if (!(v < 4.0e18)) return p.count;
  if (v < 0.0) return 2;
  return static_cast<std::int64_t>(std::ceil(v)) + 2;
}

// Runs the loop over points first..last-1 without looking at the mask over a leading stretch that
// has no hidden point (all of it, usually), and with the mask over the rest.
template <XSource K, class Rule>
void VisitPoints(const LinePoints& p, const common::PixelMapping& m, std::int64_t first, std::int64_t last,
                 Rule& rule) {
  const float badY = BadValueAsFloat(p.badValue);
  if (first >= last) return;
  if (!p.mask) {
    VisitRange<K, false>(p, m, badY, first, last, rule);
    return;
  }
  std::int64_t clean = last;
  if constexpr (K == XSource::Index) clean = std::min(last, std::max(first, StopIndexHint(p, m)));
  if (!std::memchr(p.mask + first, 0, static_cast<std::size_t>(clean - first))) {
    if (VisitRange<K, false>(p, m, badY, first, clean, rule)) return;
    first = clean;
  }
  VisitRange<K, true>(p, m, badY, first, last, rule);
}

template <class Rule>
void VisitLine(const LinePoints& p, const common::PixelMapping& m, Rule& rule) {
  if (p.count <= 0 || !p.y) return;
  if (p.xDouble) {
    VisitPoints<XSource::Double>(p, m, 0, p.count, rule);
  } else if (p.xSingle) {
    VisitPoints<XSource::Single>(p, m, 0, p.count, rule);
  } else {
    const std::int64_t first = FirstVisibleIndex(m.xMin, p.offset);
    if (first >= p.count) return;
    VisitPoints<XSource::Index>(p, m, first, p.count, rule);
  }
}

enum class Marker { Circle, UprightCross, DiagonalCross };

template <Marker kShape>
class MarkerRule {
 public:
  MarkerRule(HDC dc, const common::PixelMapping& m)
      : dc_(dc), left_(m.left), top_(m.top), right_(m.right), bottom_(m.bottom) {}

  template <bool kStopAtRight>
  bool Visit(LONG px, LONG py, bool shown, bool bad) {
    if (px == lastX_ && py == lastY_) return false;
    if (!shown || bad) return false;
    // With X as the index every later point lies further right.
    if (px > right_) return kStopAtRight;
    if (px < left_ || py < top_ || py > bottom_) return false;
    Draw(px, py);
    lastX_ = px;
    lastY_ = py;
    return false;
  }

 private:
  void Segment(LONG x0, LONG y0, LONG x1, LONG y1) {
    MoveToEx(dc_, x0, y0, nullptr);
    LineTo(dc_, x1, y1);
  }

  void Draw(LONG px, LONG py) {
    if constexpr (kShape == Marker::Circle) {
      Ellipse(dc_, px - 2, py - 2, px + 2, py + 2);
    } else if constexpr (kShape == Marker::UprightCross) {
      Segment(px - 2, py, px + 3, py);
      Segment(px, py - 2, px, py + 3);
    } else {
      Segment(px - 2, py - 2, px + 3, py + 3);
      Segment(px - 2, py + 2, px + 3, py - 3);
    }
  }

  HDC dc_;
  LONG left_, top_, right_, bottom_;
  LONG lastX_ = -1;
  LONG lastY_ = -1;
};

template <Marker kShape>
void DrawMarkersOf(HDC dc, const LinePoints& points, const common::PixelMapping& mapping) {
  MarkerRule<kShape> rule(dc, mapping);
  VisitLine(points, mapping, rule);
}

// Every step of the rule as one call on the surface.
class PlainBatch {
 public:
  explicit PlainBatch(HDC dc) : dc_(dc) {}
  void MoveTo(LONG x, LONG y) { MoveToEx(dc_, x, y, nullptr); }
  void LineTo(LONG x, LONG y) { ::LineTo(dc_, x, y); }
  void Finish() {}

 private:
  HDC dc_;
};

// A rule seen one point at a time: the loop cannot take blocks of points through it.
template <class Rule>
class PointByPoint {
 public:
  explicit PointByPoint(Rule& rule) : rule_(rule) {}
  template <bool kStopAtRight>
  bool Visit(LONG px, LONG py, bool shown, bool bad) {
    return rule_.template Visit<kStopAtRight>(px, py, shown, bad);
  }

 private:
  Rule& rule_;
};

template <class Batch, bool kBlocks = true>
void DrawPolylineWith(HDC dc, const LinePoints& points, const common::PixelMapping& mapping) {
  Batch batch(dc);
  PolylineRule rule(batch, mapping.right);
  if constexpr (kBlocks) {
    VisitLine(points, mapping, rule);
  } else {
    PointByPoint plain(rule);
    VisitLine(points, mapping, plain);
  }
  batch.Finish();
}

bool IdentityTransform(HDC dc) {
  if (GetGraphicsMode(dc) != GM_ADVANCED) return true;
  XFORM xf{};
  return GetWorldTransform(dc, &xf) && xf.eM11 == 1.0f && xf.eM12 == 0.0f && xf.eM21 == 0.0f && xf.eM22 == 1.0f &&
         xf.eDx == 0.0f && xf.eDy == 0.0f;
}

// Painting a pixel twice is the same as painting it once, in any order.
bool IdempotentMix(HDC dc) {
  switch (GetROP2(dc)) {
    case R2_BLACK:
    case R2_WHITE:
    case R2_NOP:
    case R2_COPYPEN:
    case R2_NOTCOPYPEN:
    case R2_MASKPEN:
    case R2_MERGEPEN:
    case R2_MASKNOTPEN:
    case R2_MERGENOTPEN: return true;
    default: return false;
  }
}

// How many columns beyond a segment the selected pen can paint (a wide pen's round ends reach
// half its width: its whole width is ample); -1 when the pen cannot be read.
LONG PenReach(HDC dc) {
  LOGPEN pen{};
  if (GetObjectA(GetCurrentObject(dc, OBJ_PEN), sizeof pen, &pen) <= 0) return -1;
  return pen.lopnWidth.x > 1 ? pen.lopnWidth.x : 0;
}

// A line with an X array, drawn without a world transform: only the points that can reach the
// clip box, when X rises where the rest lies (visible_range.h); else all of them. Not for a
// pattern, which runs on over the skipped segments.
template <class Batch>
void DrawSkipping(HDC dc, const LinePoints& points, const common::PixelMapping& mapping) {
  RECT clip{};
  VisibleRange range;
  const LONG reach = points.HasXArray() && IdentityTransform(dc) ? PenReach(dc) : -1;
  if (reach < 0 || GetClipBox(dc, &clip) == ERROR ||
      !FindVisibleRange(points, mapping, BadValueAsFloat(points.badValue),
                        static_cast<LONG>(std::max<std::int64_t>(std::int64_t{clip.left} - reach, INT32_MIN)),
                        static_cast<LONG>(std::min<std::int64_t>(std::int64_t{clip.right} + reach, INT32_MAX)),
                        &range)) {
    DrawPolylineWith<Batch>(dc, points, mapping);
    return;
  }
  Batch batch(dc);
  PolylineRule rule(batch, mapping.right);
  if (range.resume) {
    rule.Resume(range.entry);
    batch.MoveTo(range.entryPen.x, range.entryPen.y);
  }
  if (points.xDouble)
    VisitPoints<XSource::Double>(points, mapping, range.first, range.last, rule);
  else
    VisitPoints<XSource::Single>(points, mapping, range.first, range.last, rule);
  if (range.hasExitPen) batch.MoveTo(range.exitPen.x, range.exitPen.y);
  batch.Finish();
}

}  // namespace

bool CanMergeColumns(HDC dc, bool onePixelSolidPen) {
  return onePixelSolidPen && IdempotentMix(dc) && IdentityTransform(dc);
}

// A wide pen's Polyline paints the joins of its segments once, which only an idempotent mix cannot
// tell from segments drawn one by one.
void DrawPolyline(HDC dc, const LinePoints& points, const common::PixelMapping& mapping, LinePen pen) {
  if (pen == LinePen::Patterned) {
    DrawPolylineWith<PolylineBatch<true>>(dc, points, mapping);
  } else if (CanMergeColumns(dc, pen == LinePen::OnePixelSolid)) {
    DrawSkipping<ColumnSpanBatch>(dc, points, mapping);
  } else if (pen == LinePen::Wide && !IdempotentMix(dc)) {
    DrawSkipping<PlainBatch>(dc, points, mapping);
  } else {
    DrawSkipping<PolylineBatch<false>>(dc, points, mapping);
  }
}

void DrawPolylineReference(HDC dc, const LinePoints& points, const common::PixelMapping& mapping) {
  DrawPolylineWith<PlainBatch, false>(dc, points, mapping);
}

void DrawMarkers(HDC dc, const LinePoints& points, const common::PixelMapping& mapping, LONG pointStyle) {
  switch (pointStyle) {
    case 0: DrawMarkersOf<Marker::Circle>(dc, points, mapping); return;
    case 1: DrawMarkersOf<Marker::UprightCross>(dc, points, mapping); return;
    default: DrawMarkersOf<Marker::DiagonalCross>(dc, points, mapping); return;
  }
}

}  // namespace kelmira::layers

// The point loop of a line and the two ways of drawing its points.
#include "layers/line_render.h"

#include "layers/column_span_batch.h"
#include "layers/polyline_batch.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
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
  for (std::int64_t i = first; i < last; ++i) {
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
    if (rule.template Visit<K == XSource::Index>(px, py, shown, y == badY)) return true;
  }
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

// Runs the loop without looking at the mask over a leading stretch that has no hidden point
// (all of it, usually), and with the mask over the rest.
template <XSource K, class Rule>
void VisitPoints(const LinePoints& p, const common::PixelMapping& m, std::int64_t first, Rule& rule) {
  const float badY = BadValueAsFloat(p.badValue);
  const std::int64_t last = p.count;
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
    VisitPoints<XSource::Double>(p, m, 0, rule);
  } else if (p.xSingle) {
    VisitPoints<XSource::Single>(p, m, 0, rule);
  } else {
    const std::int64_t first = FirstVisibleIndex(m.xMin, p.offset);
    if (first >= p.count) return;
    VisitPoints<XSource::Index>(p, m, first, rule);
  }
}

// The polyline rule: a hidden or bad point lifts the pen, and the next shown point starts a new
// piece. lastX, spanY, curY are the column, start row and end row of the last drawn segment
// (-1: none since the last lift).
template <class Batch>
class PolylineRule {
 public:
  PolylineRule(Batch& batch, LONG right) : batch_(batch), right_(right) {}

  template <bool kStopAtRight>
  bool Visit(LONG px, LONG py, bool shown, bool bad) {
    if (!connect_ || !shown || bad) {
      batch_.MoveTo(px, py);
      lastX_ = spanY_ = curY_ = -1;
      hasPending_ = false;
      connect_ = shown && !bad;
      return kStopAtRight && px > right_;
    }
    if (px == lastX_ && spanY_ >= 0) {
      if (py == curY_) return false;
      if ((spanY_ <= py && py < curY_) || (curY_ < py && py <= spanY_)) {
        pending_ = POINT{px, py};
        hasPending_ = true;
        return false;
      }
    }
    if (hasPending_) {
      batch_.MoveTo(pending_.x, pending_.y);
      hasPending_ = false;
    }
    batch_.LineTo(px, py);
    spanY_ = curY_;
    curY_ = py;
    lastX_ = px;
    return kStopAtRight && px > right_;
  }

 private:
  Batch& batch_;
  LONG right_;
  bool connect_ = false;
  LONG lastX_ = -1;
  LONG spanY_ = -1;
  LONG curY_ = -1;
  bool hasPending_ = false;
  POINT pending_{};
};

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

template <class Batch>
void DrawPolylineWith(HDC dc, const LinePoints& points, const common::PixelMapping& mapping) {
  Batch batch(dc);
  PolylineRule rule(batch, mapping.right);
  VisitLine(points, mapping, rule);
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
    DrawPolylineWith<ColumnSpanBatch>(dc, points, mapping);
  } else if (pen == LinePen::Wide && !IdempotentMix(dc)) {
    DrawPolylineWith<PlainBatch>(dc, points, mapping);
  } else {
    DrawPolylineWith<PolylineBatch<false>>(dc, points, mapping);
  }
}

void DrawPolylineReference(HDC dc, const LinePoints& points, const common::PixelMapping& mapping) {
  DrawPolylineWith<PlainBatch>(dc, points, mapping);
}

void DrawMarkers(HDC dc, const LinePoints& points, const common::PixelMapping& mapping, LONG pointStyle) {
  switch (pointStyle) {
    case 0: DrawMarkersOf<Marker::Circle>(dc, points, mapping); return;
    case 1: DrawMarkersOf<Marker::UprightCross>(dc, points, mapping); return;
    default: DrawMarkersOf<Marker::DiagonalCross>(dc, points, mapping); return;
  }
}

}  // namespace kelmira::layers

// Finding where a line with rising X enters and leaves the painted columns, and the polyline
// rule's state there.
#include "layers/visible_range.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <vector>

namespace kelmira::layers {
namespace {

// Points run through the rule while settling its state, over all candidates; beyond that the
// whole line is visited, which is exact anyway.
constexpr std::int64_t kSettleBudget = std::int64_t{1} << 20;
// More distinct rows than this in the first settled column: visit the whole line.
constexpr std::size_t kMaxCandidateRows = 2048;

template <class X>
struct Points {
  const X* x;
  const float* y;
  const BYTE* mask;
  float badY;
  const common::PixelMapping& m;

  LONG Column(std::int64_t i) const { return m.X(static_cast<double>(x[i])); }
  LONG Row(std::int64_t i) const { return m.Y(static_cast<double>(y[i])); }
  // Shown and not bad: the point joins on to the line.
  bool Joins(std::int64_t i) const { return (!mask || mask[i] != 0) && y[i] != badY; }
  template <class Rule>
  void Visit(Rule& rule, std::int64_t i) const {
    rule.template Visit<false>(Column(i), Row(i), !mask || mask[i] != 0, y[i] == badY);
  }
};

// The first index in [from, to) whose column is at least `column`, if the columns rise.
template <class X>
std::int64_t FirstColumnAtLeast(const Points<X>& p, std::int64_t from, std::int64_t to, LONG column) {
  while (from < to) {
    const std::int64_t mid = from + (to - from) / 2;
    if (p.Column(mid) < column)
      from = mid + 1;
    else
      to = mid;
  }
  return from;
}

// The first point of i's column, if the columns rise; checked by the caller.
template <class X>
std::int64_t ColumnStart(const Points<X>& p, std::int64_t i) {
  return FirstColumnAtLeast(p, 0, i, p.Column(i));
}

// True when no value in [from, to) hits: `block` gives the hits among one SSE2 register's values
// as a bit mask, `one` tests a value. Checked a stretch at a time, so that a hit ends the scan.
template <class T, class Block, class One>
bool NoneHits(const T* x, std::int64_t from, std::int64_t to, const Block& block, const One& one) {
  constexpr std::int64_t kLanes = 16 / sizeof(T), kStretch = 4096;
  std::int64_t i = from;
  while (to - i >= kLanes) {
    const std::int64_t end = i + std::min(kStretch, (to - i) / kLanes * kLanes);
    int hits = 0;
    for (; i < end; i += kLanes) hits |= block(x + i);
    if (hits) return false;
  }
  for (; i < to; ++i)
    if (one(x[i])) return false;
  return true;
}

// No value in [from, to) greater than `limit` (NaN is not).
bool NoneAbove(const double* x, std::int64_t from, std::int64_t to, double limit) {
  const __m128d l = _mm_set1_pd(limit);
  return NoneHits(
      x, from, to, [&](const double* v) { return _mm_movemask_pd(_mm_cmpgt_pd(_mm_loadu_pd(v), l)); },
      [&](double v) { return v > limit; });
}
bool NoneAbove(const float* x, std::int64_t from, std::int64_t to, float limit) {
  const __m128 l = _mm_set1_ps(limit);
  return NoneHits(
      x, from, to, [&](const float* v) { return _mm_movemask_ps(_mm_cmpgt_ps(_mm_loadu_ps(v), l)); },
      [&](float v) { return v > limit; });
}

// Every value in [from, to) at least `limit` (NaN is not).
bool NoneBelow(const double* x, std::int64_t from, std::int64_t to, double limit) {
  const __m128d l = _mm_set1_pd(limit);
  return NoneHits(
      x, from, to, [&](const double* v) { return _mm_movemask_pd(_mm_cmpnge_pd(_mm_loadu_pd(v), l)); },
      [&](double v) { return !(v >= limit); });
}
bool NoneBelow(const float* x, std::int64_t from, std::int64_t to, float limit) {
  const __m128 l = _mm_set1_ps(limit);
  return NoneHits(
      x, from, to, [&](const float* v) { return _mm_movemask_ps(_mm_cmpnge_ps(_mm_loadu_ps(v), l)); },
      [&](float v) { return !(v >= limit); });
}

// The rule's pen, all a settling run needs of a batch.
struct PenOnly {
  POINT at{};
  void MoveTo(LONG x, LONG y) { at = POINT{x, y}; }
  void LineTo(LONG x, LONG y) { at = POINT{x, y}; }
};

struct Candidate {
  PolylineState state;
  POINT pen{};

  auto Key() const {
    const PolylineState& s = state;
    const POINT pending = s.hasPending ? s.pending : POINT{};
    return std::tuple(s.connect, s.lastX, s.spanY, s.curY, s.hasPending, pending.x, pending.y, pen.x, pen.y);
  }
};

void Dedupe(std::vector<Candidate>& all) {
  std::sort(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) { return a.Key() < b.Key(); });
  all.erase(
      std::unique(all.begin(), all.end(), [](const Candidate& a, const Candidate& b) { return a.Key() == b.Key(); }),
      all.end());
}

// Every state the rule can be in before f, the first point of its column (f > 0). If point f-1
// breaks the line, there is one; else the line is connected, its last segment ended in f-1's
// column, and f draws whatever the row it ended on: that row only decides, until the next draw in
// f's column, which rows of the column are kept without drawing, by its order against them (and
// whether it is negative). One row from each class of that order stands for all of it.
template <class X>
bool CandidatesBefore(const Points<X>& p, std::int64_t f, std::int64_t to, std::vector<Candidate>* out) {
  const LONG previousColumn = p.Column(f - 1);
  if (!p.Joins(f - 1)) {
    out->push_back(Candidate{PolylineState{}, POINT{previousColumn, p.Row(f - 1)}});
    return true;
  }
  std::vector<std::int64_t> rows{-1, 0};
  const LONG column = p.Column(f);
  for (std::int64_t i = f + 1; i < to && p.Column(i) == column; ++i) {
    const std::int64_t row = p.Row(i);
    rows.insert(rows.end(), {row - 1, row, row + 1});
    if (rows.size() > 4 * kMaxCandidateRows) {
      std::sort(rows.begin(), rows.end());
      rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
      if (rows.size() > 3 * kMaxCandidateRows) return false;
    }
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  for (const std::int64_t row : rows) {
    if (row < INT32_MIN || row > INT32_MAX) continue;
    const LONG r = static_cast<LONG>(row);
    PolylineState s;
    s.connect = true;
    s.lastX = previousColumn;
    s.curY = r;
    out->push_back(Candidate{s, POINT{previousColumn, r}});
  }
  return true;
}

// The rule's one state after points f..to-1 (f the first of its column, f > 0), run from every
// state it can be in before f; false when they do not all agree or the budget runs out.
template <class X>
bool Settle(const Points<X>& p, std::int64_t f, std::int64_t to, std::int64_t* budget, Candidate* settled) {
  std::vector<Candidate> all;
  if (!CandidatesBefore(p, f, to, &all)) return false;
  for (std::int64_t i = f; i < to; ++i) {
    *budget -= static_cast<std::int64_t>(all.size());
    if (*budget < 0) return false;
    for (Candidate& c : all) {
      PenOnly pen{c.pen};
      PolylineRule rule(pen, 0);
      rule.Resume(c.state);
      p.Visit(rule, i);
      c = Candidate{rule.State(), pen.at};
    }
    if (all.size() > 1 && ((i - f) % 8 == 7 || i + 1 == to)) Dedupe(all);
  }
  if (all.size() > 1) Dedupe(all);
  if (all.size() != 1) return false;
  *settled = all.front();
  return true;
}

// The rule's state after points 0..to-1, from runs over ever more columns before `to`; false when
// none settles within the budget.
template <class X>
bool StateBefore(const Points<X>& p, std::int64_t to, std::int64_t* budget, Candidate* settled) {
  std::int64_t f = to;
  for (std::int64_t columns = 1; f > 0; columns *= 2) {
    for (std::int64_t k = 0; k < columns && f > 0; ++k) {
      f = ColumnStart(p, f - 1);
      if (f > 0 && p.Column(f - 1) == p.Column(f)) return false;  // the columns do not rise here
    }
    if (f == 0) break;
    if (Settle(p, f, to, budget, settled)) return true;
    if (*budget < 0) return false;
  }
  // From the first point the state is known: run it over everything before `to`.
  *budget -= to;
  if (*budget < 0) return false;
  PenOnly pen;
  PolylineRule rule(pen, 0);
  for (std::int64_t i = 0; i < to; ++i) p.Visit(rule, i);
  *settled = Candidate{rule.State(), pen.at};
  return true;
}

template <class X>
bool FindIn(const Points<X>& p, std::int64_t count, LONG clipLeft, LONG clipRight, VisibleRange* range) {
  const std::int64_t enter = FirstColumnAtLeast(p, 0, count, clipLeft);
  const std::int64_t leave = FirstColumnAtLeast(p, enter, count, clipRight);
  if (enter <= 1 && leave >= count - 1) return false;  // nothing worth skipping
  std::int64_t budget = kSettleBudget;
  VisibleRange r;
  r.first = 0;
  r.last = count;
  if (enter >= 2) {
    // Everything before `enter` lies left of the painted columns (a NaN edge would bound nothing).
    const X edge = p.x[enter - 1];
    if (edge != edge || p.Column(enter - 1) >= clipLeft || !NoneAbove(p.x, 0, enter - 1, edge)) return false;
    Candidate state;
    if (!StateBefore(p, enter, &budget, &state)) return false;
    r.first = enter;
    r.resume = true;
    r.entry = state.state;
    r.entryPen = state.pen;
  }
  if (leave + 1 < count) {
    // Everything after `leave` lies right of them.
    const X edge = p.x[leave];
    Candidate state;
    if (p.Column(leave) >= clipRight && NoneBelow(p.x, leave + 1, count, edge) &&
        StateBefore(p, count, &budget, &state)) {
      r.last = leave + 1;
      r.hasExitPen = true;
      r.exitPen = state.pen;
    }
  }
  *range = r;
  return true;
}

}  // namespace

bool FindVisibleRange(const LinePoints& points, const common::PixelMapping& mapping, float badY, LONG clipLeft,
                      LONG clipRight, VisibleRange* range) {
  if (points.count < 2 || !points.y || clipLeft >= clipRight) return false;
  if (!(mapping.xScale > 0.0) || !std::isfinite(mapping.xScale)) return false;
  if (points.xDouble)
    return FindIn(Points<double>{points.xDouble, points.y, points.mask, badY, mapping}, points.count, clipLeft,
                  clipRight, range);
  if (points.xSingle)
    return FindIn(Points<float>{points.xSingle, points.y, points.mask, badY, mapping}, points.count, clipLeft,
                  clipRight, range);
  return false;
}

}  // namespace kelmira::layers

// The polyline rule: which of a line's points are joined, which are only remembered, and where
// the pen lifts. Its whole state is one small record, so that a drawing can resume from a state
// found elsewhere (visible_range.h).
#pragma once

#include <kelmira/platform.h>

#include <emmintrin.h>

namespace kelmira::layers {

// True when all eight rows are `row`.
[[gnu::always_inline]] inline bool AllRowsAre(const __m128i* rows, LONG row) {
  const __m128i r = _mm_set1_epi32(row);
  return _mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi32(rows[0], r), _mm_cmpeq_epi32(rows[1], r))) == 0xFFFF;
}

// lastX, spanY, curY are the column, start row and end row of the last drawn segment (-1: none
// since the last lift); pending is the last point kept in that column without drawing.
struct PolylineState {
  bool connect = false;
  LONG lastX = -1;
  LONG spanY = -1;
  LONG curY = -1;
  bool hasPending = false;
  POINT pending{};

  friend bool operator==(const PolylineState& a, const PolylineState& b) {
    return a.connect == b.connect && a.lastX == b.lastX && a.spanY == b.spanY && a.curY == b.curY &&
           a.hasPending == b.hasPending &&
           (!a.hasPending || (a.pending.x == b.pending.x && a.pending.y == b.pending.y));
  }
};

// A hidden or bad point lifts the pen, and the next shown point starts a new piece. Consecutive
// points in one column that stay within the rows of the last drawn segment draw nothing.
template <class Batch>
class PolylineRule {
 public:
  PolylineRule(Batch& batch, LONG right) : batch_(batch), right_(right) {}

  const PolylineState& State() const { return s_; }
  void Resume(const PolylineState& state) { s_ = state; }

  template <bool kStopAtRight>
  bool Visit(LONG px, LONG py, bool shown, bool bad) {
    if (!s_.connect || !shown || bad) {
      batch_.MoveTo(px, py);
      s_.lastX = s_.spanY = s_.curY = -1;
      s_.hasPending = false;
      s_.connect = shown && !bad;
      return kStopAtRight && px > right_;
    }
    if (px == s_.lastX && s_.spanY >= 0) {
      if (py == s_.curY) return false;
      if ((s_.spanY <= py && py < s_.curY) || (s_.curY < py && py <= s_.spanY)) {
        s_.pending = POINT{px, py};
        s_.hasPending = true;
        return false;
      }
    }
    if (s_.hasPending) {
      batch_.MoveTo(s_.pending.x, s_.pending.y);
      s_.hasPending = false;
    }
    batch_.LineTo(px, py);
    s_.spanY = s_.curY;
    s_.curY = py;
    s_.lastX = px;
    return kStopAtRight && px > right_;
  }

  // Whether points of column px can be taken a block at a time: the line is connected and its
  // last segment lies in that column.
  bool Absorbs(LONG px) const { return s_.connect && px == s_.lastX && s_.spanY >= 0; }
  // The row the last segment ended on.
  LONG Row() const { return s_.curY; }
  // Takes the leading rows of a block of eight that stay in the last segment's span, as Visit
  // would (the last one off the segment's end becomes the pending point); returns how many it took.
  int Absorb(LONG px, const __m128i* block) {
    if (AllRowsAre(block, s_.curY)) return 8;  // the usual case: nothing moves at all
    // A row is taken when it lies between the segment's two rows, ends included (its end row
    // takes nothing, any other becomes the pending point): the leading taken rows, without a
    // branch per row.
    const LONG low = s_.spanY < s_.curY ? s_.spanY : s_.curY, high = s_.spanY < s_.curY ? s_.curY : s_.spanY;
    const LONG first = _mm_cvtsi128_si32(block[0]);
    if (first < low || first > high) return 0;  // a line that leaves the span at once
    const __m128i lo = _mm_set1_epi32(low), hi = _mm_set1_epi32(high);
    const __m128i cur = _mm_set1_epi32(s_.curY);
    unsigned off = 0, moved = 0;
    for (int half = 0; half < 2; ++half) {
      const __m128i rows = block[half];
      const __m128i out = _mm_or_si128(_mm_cmpgt_epi32(lo, rows), _mm_cmpgt_epi32(rows, hi));
      off |= static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(out))) << (4 * half);
      moved |= static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(rows, cur)))) << (4 * half);
    }
    const int k = __builtin_ctz(off | 0x100u);
    moved = ~moved & ((1u << k) - 1);
    if (moved) {
      alignas(16) LONG rows[8];
      _mm_store_si128(reinterpret_cast<__m128i*>(rows), block[0]);
      _mm_store_si128(reinterpret_cast<__m128i*>(rows + 4), block[1]);
      s_.pending = POINT{px, rows[31 - __builtin_clz(moved)]};
      s_.hasPending = true;
    }
    return k;
  }

 private:
  Batch& batch_;
  LONG right_;
  PolylineState s_;
};

}  // namespace kelmira::layers

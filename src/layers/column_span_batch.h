// A dense line's segments with every run of vertical segments in one pixel column painted as one
// span: the same pixels as drawing each segment, at a fraction of the cost when thousands of points
// fall into each column.
//
// Why it is exact: a LineTo from (x, a) to (x, b) paints the rows from a towards b, b excluded.
// Consecutive vertical segments in one column start where the last one ended, or at a point the
// line moved to, so the rows they paint always join the rows painted so far into one interval
// [lo, hi]; a segment that would leave a gap (after a move) ends the interval first. Painting that
// interval once, with MoveTo(x, lo) and LineTo(x, hi + 1), gives the same pixels as painting each
// segment, provided that
// - painting a pixel twice is the same as painting it once, in any order: the mix is one of
//   R2_BLACK, R2_WHITE, R2_NOP, R2_COPYPEN, R2_NOTCOPYPEN, R2_MASKPEN, R2_MERGEPEN,
//   R2_MASKNOTPEN, R2_MERGENOTPEN (not the XOR and NOT mixes);
// - the pen is solid and one pixel wide (a pattern runs on along the segments, a wide pen paints
//   round ends);
// - logical columns are device columns: no world transform.
// CanMergeColumns tells; other lines take the plain batch. Segments that leave a column are drawn
// as they come, and the device context's current position ends at the line's last point, as
// with the plain batch.
#pragma once

#include "layers/polyline_batch.h"

#include <kelmira/platform.h>

#include <algorithm>
#include <cstdint>

namespace kelmira::layers {

// True when the mix, pen and transform of dc allow ColumnSpanBatch (the pen is described by the
// caller, which made it).
bool CanMergeColumns(HDC dc, bool onePixelSolidPen);

class ColumnSpanBatch {
 public:
  explicit ColumnSpanBatch(HDC dc) : dc_(dc), out_(dc) {}
  ColumnSpanBatch(const ColumnSpanBatch&) = delete;
  ColumnSpanBatch& operator=(const ColumnSpanBatch&) = delete;

  // A move paints nothing; the next segment decides whether the column's interval goes on.
  void MoveTo(LONG x, LONG y) {
    x_ = x;
    y_ = y;
  }

  void LineTo(LONG x, LONG y) {
    if (x == x_) {
      if (y != y_) AddToColumn(x, y_ < y ? y_ : y + 1, y_ < y ? y - 1 : y_);
      y_ = y;
      return;
    }
    FlushColumn();
    if (!outAt_ || outX_ != x_ || outY_ != y_) out_.MoveTo(x_, y_);
    out_.LineTo(x, y);
    Track(x, y);
    x_ = x;
    y_ = y;
  }

  // Paints what is left and leaves the current position at the line's last point.
  void Finish() {
    FlushColumn();
    out_.Finish();
    MoveToEx(dc_, x_, y_, nullptr);
  }

 private:
  void AddToColumn(LONG x, LONG from, LONG to) {
    if (open_ && x == column_ && from <= std::int64_t{hi_} + 1 && to >= std::int64_t{lo_} - 1) {
      lo_ = std::min(lo_, from);
      hi_ = std::max(hi_, to);
      return;
    }
    FlushColumn();
    open_ = true;
    column_ = x;
    lo_ = from;
    hi_ = to;
  }

  // Rows lo..hi of the column, each painted once; the end row one past an edge of the 32-bit
  // range is avoided by drawing from the other end.
  void FlushColumn() {
    if (!open_) return;
    open_ = false;
    if (hi_ < INT32_MAX) {
      Span(lo_, hi_ + 1);
    } else if (lo_ > INT32_MIN) {
      Span(hi_, lo_ - 1);
    } else {
      Span(lo_, 0);
      Span(0, hi_);
      Span(hi_, hi_ - 1);
    }
  }
  void Span(LONG from, LONG to) {
    if (!outAt_ || outX_ != column_ || outY_ != from) out_.MoveTo(column_, from);
    out_.LineTo(column_, to);
    Track(column_, to);
  }
  void Track(LONG x, LONG y) {
    outAt_ = true;
    outX_ = x;
    outY_ = y;
  }

  HDC dc_;
  PolylineBatch<false> out_;
  LONG x_ = 0, y_ = 0;  // the line's pen position
  bool open_ = false;   // a column interval is being gathered
  LONG column_ = 0, lo_ = 0, hi_ = 0;
  bool outAt_ = false;  // where the output batch's pen is
  LONG outX_ = 0, outY_ = 0;
};

}  // namespace kelmira::layers

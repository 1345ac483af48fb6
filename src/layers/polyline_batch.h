// Hands a line's segments to the surface in batches from a fixed buffer on the stack, so that a
// dense line costs one surface call per batch instead of one per segment, and nothing is
// allocated while drawing.
//
// Solid and wide pens go through Polyline, which neither needs nor keeps a current position: the
// batch carries its start point itself. A dashed or dotted one-pixel pen (kPatterned, fixed per
// line so that no per-point step tests it) goes through PolylineTo,
// whose pattern runs on from segment to segment exactly as with MoveToEx and LineTo. Either way
// the pixels are those of a MoveToEx at each start and a LineTo for each segment, and the
// device context's current position ends at the last point.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::layers {

template <bool kPatterned>
class PolylineBatch {
 public:
  static constexpr int kCapacity = 256;

  explicit PolylineBatch(HDC dc) : dc_(dc) {}
  PolylineBatch(const PolylineBatch&) = delete;
  PolylineBatch& operator=(const PolylineBatch&) = delete;

  // Lifts the pen to (x, y).
  void MoveTo(LONG x, LONG y) {
    if constexpr (kPatterned) {
      if (count_ > 0) PolylineTo(dc_, points_, static_cast<DWORD>(count_));
      count_ = 0;
      MoveToEx(dc_, x, y, nullptr);
      return;
    }
    if (count_ > 1) Polyline(dc_, points_, count_);
    points_[0] = POINT{x, y};
    count_ = 1;
  }

  // A segment from the pen position to (x, y); the first call is always preceded by a MoveTo.
  void LineTo(LONG x, LONG y) {
    points_[count_++] = POINT{x, y};
    if (count_ == kCapacity) Flush();
  }

  // Draws what is still buffered and leaves the current position at the last point.
  void Finish() {
    if constexpr (kPatterned) {
      Flush();
      return;
    }
    if (count_ == 0) return;
    const POINT last = points_[count_ - 1];
    if (count_ > 1) Polyline(dc_, points_, count_);
    count_ = 0;
    MoveToEx(dc_, last.x, last.y, nullptr);
  }

 private:
  void Flush() {
    if constexpr (kPatterned) {
      if (count_ > 0) PolylineTo(dc_, points_, static_cast<DWORD>(count_));
      count_ = 0;
      return;
    }
    if (count_ > 1) Polyline(dc_, points_, count_);
    points_[0] = points_[count_ - 1];
    count_ = 1;
  }

  HDC dc_;
  int count_ = 0;
  POINT points_[kCapacity];
};

}  // namespace kelmira::layers

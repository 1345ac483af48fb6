// One-pixel solid lines: the hot path of every plot.
//
// The mix is chosen once per line (a plain store for R2_COPYPEN, read-mix-write otherwise) and
// horizontal and vertical lines get their own loops; the general loop is the bare Bresenham
// step with no calls and no state checks.
#include "gdi/line_walk.h"
#include "gdi/raster.h"

#include <algorithm>

namespace kelmira::gdi {
namespace {

template <bool kCopy>
inline void Put(std::uint32_t* p, Mix mix) {
  if constexpr (kCopy) {
    *p = mix.xorMask;
  } else {
    *p = mix.Apply(*p);
  }
}

template <bool kCopy>
void HorizontalRun(std::uint32_t* p, std::ptrdiff_t step, std::int64_t count, Mix mix) {
  // Leftward runs are the same pixels walked from the other end.
  std::uint32_t* start = step > 0 ? p : p - (count - 1);
  if constexpr (kCopy) {
    std::fill_n(start, count, mix.xorMask);
  } else {
    for (std::int64_t i = 0; i < count; ++i) start[i] = mix.Apply(start[i]);
  }
}

template <bool kCopy>
void StrideRun(std::uint32_t* p, std::ptrdiff_t step, std::int64_t count, Mix mix) {
  for (std::int64_t i = 0; i < count; ++i, p += step) Put<kCopy>(p, mix);
}

template <bool kCopy>
void BresenhamRun(const LineWalk& walk, Mix mix) {
  std::uint32_t* p = walk.first;
  std::int64_t err = walk.err;
  const std::ptrdiff_t majorStep = walk.majorStep;
  const std::ptrdiff_t minorStep = walk.minorStep;
  const std::int64_t errStep = walk.errStep;
  const std::int64_t errSpan = walk.errSpan;
  for (std::int64_t i = walk.visible; i > 0; --i) {
    Put<kCopy>(p, mix);
    p += majorStep;
    err += errStep;
    if (err >= 0) {
      err -= errSpan;
      p += minorStep;
    }
  }
}

template <bool kCopy>
void Walk(const LineWalk& walk, Mix mix) {
  if (walk.errStep != 0) {
    BresenhamRun<kCopy>(walk, mix);
  } else if (walk.xMajor) {
    HorizontalRun<kCopy>(walk.first, walk.majorStep, walk.visible, mix);
  } else {
    StrideRun<kCopy>(walk.first, walk.majorStep, walk.visible, mix);
  }
}

}  // namespace

void DrawSolidLine(const Surface& surface, const RECT& clip, Point64 a, Point64 b, Mix mix) {
  if (mix.IsNop()) return;
  const LineWalk walk = SetUpLineWalk(surface, clip, a, b);
  if (walk.visible == 0) return;
  if (mix.IsCopy()) {
    Walk<true>(walk, mix);
  } else {
    Walk<false>(walk, mix);
  }
}

}  // namespace kelmira::gdi

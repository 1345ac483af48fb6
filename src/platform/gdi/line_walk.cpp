// Exact clipping of a Bresenham line, done once per line.
//
// Pixel i (0 <= i < len) of a line lies at major = major0 + sMajor * i and
// minor = minor0 + sMinor * m(i) with m(i) = floor((2 * i * rise + c) / (2 * len)); c = len - 1
// rounds exact halves toward the smaller minor coordinate when the line goes up that axis and
// c = len does the same when it goes down. m(i) never decreases, so the pixels inside the clip
// rectangle form one run of i, found by solving the two inequalities instead of stepping.
#include "gdi/line_walk.h"

#include <algorithm>

namespace kelmira::gdi {
namespace {

using Int128 = __int128;

constexpr std::int64_t kCoordLimit = std::int64_t{1} << 60;
// Below this, 2 * first * rise + c fits in 64 bits.
constexpr std::int64_t kSmall = std::int64_t{1} << 30;

std::int64_t ClampCoord(std::int64_t v) { return std::clamp(v, -kCoordLimit, kCoordLimit); }

// ceil(n / d) for d > 0.
Int128 CeilDiv(Int128 n, Int128 d) {
  Int128 q = n / d;
  if (n % d != 0 && n > 0) ++q;
  return q;
}

struct Range {
  Int128 lo;
  Int128 hi;
};

// Values of t with lo <= origin + sign * t <= hi.
Range StepsWithin(std::int64_t origin, int sign, std::int64_t lo, std::int64_t hi) {
  if (sign > 0) return {Int128{lo} - origin, Int128{hi} - origin};
  return {Int128{origin} - hi, Int128{origin} - lo};
}

bool Contains(const RECT& clip, Point64 p) {
  return p.x >= clip.left && p.x < clip.right && p.y >= clip.top && p.y < clip.bottom;
}

}  // namespace

LineWalk SetUpLineWalk(const Surface& surface, const RECT& clip, Point64 a, Point64 b) {
  LineWalk walk;
  a = {ClampCoord(a.x), ClampCoord(a.y)};
  b = {ClampCoord(b.x), ClampCoord(b.y)};
  const std::int64_t dx = b.x - a.x;
  const std::int64_t dy = b.y - a.y;
  walk.xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const std::int64_t dMajor = walk.xMajor ? dx : dy;
  const std::int64_t dMinor = walk.xMajor ? dy : dx;
  const std::int64_t major0 = walk.xMajor ? a.x : a.y;
  const std::int64_t minor0 = walk.xMajor ? a.y : a.x;
  const int sMajor = dMajor > 0 ? 1 : -1;
  const int sMinor = dMinor >= 0 ? 1 : -1;
  const std::int64_t len = dMajor < 0 ? -dMajor : dMajor;
  const std::int64_t rise = dMinor < 0 ? -dMinor : dMinor;
  walk.total = len;
  if (len == 0 || clip.left >= clip.right || clip.top >= clip.bottom) return walk;

  const std::int64_t c = sMinor > 0 ? len - 1 : len;
  walk.errSpan = 2 * len;
  walk.errStep = 2 * rise;

  std::int64_t first = 0;
  std::int64_t last = len - 1;
  if (!Contains(clip, a) || !Contains(clip, b)) {
    const std::int64_t majorLo = walk.xMajor ? clip.left : clip.top;
    const std::int64_t majorHi = (walk.xMajor ? clip.right : clip.bottom) - 1;
    const std::int64_t minorLo = walk.xMajor ? clip.top : clip.left;
    const std::int64_t minorHi = (walk.xMajor ? clip.bottom : clip.right) - 1;
    const Range steps = StepsWithin(major0, sMajor, majorLo, majorHi);
    Range offsets = StepsWithin(minor0, sMinor, minorLo, minorHi);
    offsets.lo = std::max<Int128>(offsets.lo, 0);
    if (offsets.hi < offsets.lo) return walk;
    Int128 lo = std::max<Int128>(0, steps.lo);
    Int128 hi = std::min<Int128>(last, steps.hi);
    if (rise == 0) {
      if (offsets.lo > 0) return walk;
    } else {
      // m(i) >= k  <=>  i >= ceil((2*len*k - c) / (2*rise)).
      lo = std::max(lo, CeilDiv(Int128{walk.errSpan} * offsets.lo - c, walk.errStep));
      hi = std::min(hi, CeilDiv(Int128{walk.errSpan} * (offsets.hi + 1) - c, walk.errStep) - 1);
    }
    if (lo > hi) return walk;
    first = static_cast<std::int64_t>(lo);
    last = static_cast<std::int64_t>(hi);
  }

  // The state at the first visible pixel; lines that start inside skip the 128-bit division.
  std::int64_t offset = 0;
  walk.err = c - walk.errSpan;
  if (first > 0 && first < kSmall && rise < kSmall) {
    const std::int64_t numerator = 2 * first * rise + c;
    offset = numerator / walk.errSpan;
    walk.err = numerator % walk.errSpan - walk.errSpan;
  } else if (first > 0) {
    const Int128 numerator = 2 * Int128{first} * rise + c;
    offset = static_cast<std::int64_t>(numerator / walk.errSpan);
    walk.err = static_cast<std::int64_t>(numerator % walk.errSpan) - walk.errSpan;
  }
  walk.skipped = first;
  walk.visible = last - first + 1;

  const std::int64_t major = major0 + sMajor * walk.skipped;
  const std::int64_t minor = minor0 + sMinor * offset;
  const std::int64_t x = walk.xMajor ? major : minor;
  const std::int64_t y = walk.xMajor ? minor : major;
  const std::ptrdiff_t stride = surface.stride;
  walk.first = surface.pixels + static_cast<std::ptrdiff_t>(y) * stride + static_cast<std::ptrdiff_t>(x);
  walk.majorStep = walk.xMajor ? sMajor : sMajor * stride;
  walk.minorStep = walk.xMajor ? sMinor * stride : sMinor;
  return walk;
}

}  // namespace kelmira::gdi

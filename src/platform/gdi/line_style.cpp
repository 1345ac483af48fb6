// Styled one-pixel lines. The pattern is counted in pixels along the major axis, so a dash is
// as long on a diagonal as on a horizontal line, and its phase is counted on the whole line:
// clipping skips pattern positions together with the pixels.
#include "gdi/line_walk.h"
#include "gdi/raster.h"

namespace kelmira::gdi {
namespace {

// Bits first..first+count-1.
constexpr std::uint32_t Run(int first, int count) { return ((std::uint32_t{1} << count) - 1) << first; }

}  // namespace

LinePattern PatternForPenStyle(int penStyle) {
  switch (penStyle) {
    case PS_DASH: return {Run(0, 18), 24};
    case PS_DOT: return {Run(0, 3), 6};
    case PS_DASHDOT: return {Run(0, 9) | Run(15, 3), 24};
    case PS_DASHDOTDOT: return {Run(0, 9) | Run(12, 3) | Run(18, 3), 24};
    default: return {};
  }
}

void DrawPatternLine(const Surface& surface, const RECT& clip, Point64 a, Point64 b, Mix on, Mix gap,
                     const LinePattern& pattern, int& patternPos) {
  if (pattern.IsSolid()) {
    DrawSolidLine(surface, clip, a, b, on);
    return;
  }
  const LineWalk walk = SetUpLineWalk(surface, clip, a, b);
  const std::int64_t period = pattern.period;
  const std::int64_t start = ((patternPos % period) + period) % period;
  patternPos = static_cast<int>((start + walk.total % period) % period);
  if (walk.visible == 0) return;

  const Mix mixes[2] = {gap, on};
  const std::uint32_t bits = pattern.onBits;
  int pos = static_cast<int>((start + walk.skipped % period) % period);
  std::uint32_t* p = walk.first;
  std::int64_t err = walk.err;
  for (std::int64_t i = walk.visible; i > 0; --i) {
    *p = mixes[(bits >> pos) & 1u].Apply(*p);
    if (++pos == pattern.period) pos = 0;
    p += walk.majorStep;
    err += walk.errStep;
    if (err >= 0) {
      err -= walk.errSpan;
      p += walk.minorStep;
    }
  }
}

}  // namespace kelmira::gdi

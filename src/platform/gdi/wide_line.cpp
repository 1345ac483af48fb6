// Wide pens: a capsule (all pixel centres within width/2 of the segment) per segment, and the
// union of a polyline's capsules painted row by row so that no pixel is mixed twice.
//
// Each capsule meets a row in one run of columns. The run is estimated in floating point and
// its ends are then settled with an exact integer test, so the pixel set does not depend on
// rounding. An even width centres the capsule between pixels (half a pixel right and down) so
// that a width-w pen covers w pixels across, as an odd width does around the pixel centre; the
// geometry is kept in doubled coordinates to stay in integers.
#include "gdi/raster.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace kelmira::gdi {
namespace {

using Int128 = __int128;

// Beyond this the exact test could overflow; such segments are first cut to the clip area.
constexpr std::int64_t kExactLimit = std::int64_t{1} << 28;
constexpr int kSettleSteps = 64;

struct Capsule {
  Point64 p0;  // doubled end points (shifted by one for even widths)
  Point64 p1;
  std::int64_t top;     // first row that can hold a pixel
  std::int64_t bottom;  // last row that can hold a pixel
};

struct Run {
  std::int64_t left;
  std::int64_t right;  // inclusive
};

bool Fits(Point64 p) { return p.x > -kExactLimit && p.x < kExactLimit && p.y > -kExactLimit && p.y < kExactLimit; }

// Liang-Barsky in doubles against a box; false when the segment misses it.
bool CutToBox(Point64& a, Point64& b, const Rect64& box) {
  const double x0 = static_cast<double>(a.x), y0 = static_cast<double>(a.y);
  const double dx = static_cast<double>(b.x) - x0, dy = static_cast<double>(b.y) - y0;
  double t0 = 0.0, t1 = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x0 - static_cast<double>(box.left), static_cast<double>(box.right) - x0,
                       y0 - static_cast<double>(box.top), static_cast<double>(box.bottom) - y0};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0.0) {
      t0 = std::max(t0, t);
    } else {
      t1 = std::min(t1, t);
    }
    if (t0 > t1) return false;
  }
  const Point64 cutA{std::llround(x0 + t0 * dx), std::llround(y0 + t0 * dy)};
  const Point64 cutB{std::llround(x0 + t1 * dx), std::llround(y0 + t1 * dy)};
  a = cutA;
  b = cutB;
  return true;
}

// Exact: is the centre of pixel (x, y) within width/2 of the capsule's segment? In doubled
// coordinates that distance is within width.
bool Inside(const Capsule& c, std::int64_t x, std::int64_t y, Int128 widthSquared) {
  const Int128 vx = 2 * x - c.p0.x, vy = 2 * y - c.p0.y;
  const Int128 dx = c.p1.x - c.p0.x, dy = c.p1.y - c.p0.y;
  const Int128 t = vx * dx + vy * dy;
  if (t <= 0) return vx * vx + vy * vy <= widthSquared;
  const Int128 length2 = dx * dx + dy * dy;
  if (t >= length2) {
    const Int128 ux = 2 * x - c.p1.x, uy = 2 * y - c.p1.y;
    return ux * ux + uy * uy <= widthSquared;
  }
  const Int128 cross = vx * dy - vy * dx;
  return cross * cross <= widthSquared * length2;
}

// Floating-point estimate of the capsule's doubled x range on row y (lo > hi when it misses).
void EstimateRun(const Capsule& c, std::int64_t y, double radius, double& lo, double& hi) {
  lo = std::numeric_limits<double>::infinity();
  hi = -lo;
  const auto include = [&](double a, double b) {
    if (a > b) return;
    lo = std::min(lo, a);
    hi = std::max(hi, b);
  };
  const double fy = 2.0 * static_cast<double>(y);
  for (const Point64& p : {c.p0, c.p1}) {
    const double ey = fy - static_cast<double>(p.y);
    const double h2 = radius * radius - ey * ey;
    if (h2 >= 0.0) include(static_cast<double>(p.x) - std::sqrt(h2), static_cast<double>(p.x) + std::sqrt(h2));
  }
  const double x0 = static_cast<double>(c.p0.x);
  const double dx = static_cast<double>(c.p1.x) - x0;
  const double dy = static_cast<double>(c.p1.y - c.p0.y);
  const double length2 = dx * dx + dy * dy;
  if (length2 == 0.0) return;  // a dot: its end caps are all of it, and the band below is unbounded
  const double ey = fy - static_cast<double>(c.p0.y);
  const double reach = radius * std::sqrt(length2);
  // Band beside the segment: 0 <= u*dx + ey*dy <= length2 and |u*dy - ey*dx| <= reach.
  double uLo = -std::numeric_limits<double>::infinity(), uHi = -uLo;
  if (dx != 0.0) {
    const double a = -ey * dy / dx, b = (length2 - ey * dy) / dx;
    uLo = std::max(uLo, std::min(a, b));
    uHi = std::min(uHi, std::max(a, b));
  } else if (ey * dy < 0.0 || ey * dy > length2) {
    return;
  }
  if (dy != 0.0) {
    const double a = (ey * dx - reach) / dy, b = (ey * dx + reach) / dy;
    uLo = std::max(uLo, std::min(a, b));
    uHi = std::min(uHi, std::max(a, b));
  } else if (std::abs(ey) > radius) {
    return;
  }
  include(x0 + uLo, x0 + uHi);
}

// The exact run of the capsule on row y, if any.
bool CapsuleRun(const Capsule& c, std::int64_t y, int width, Run& run) {
  double lo = 0.0, hi = 0.0;
  EstimateRun(c, y, width + 1e-6, lo, hi);
  if (!(lo <= hi)) return false;
  // The settling below corrects the estimate; it only has to be a number an integer can hold.
  constexpr double kFar = 0x1p62;
  lo = std::clamp(lo, -kFar, kFar);
  hi = std::clamp(hi, -kFar, kFar);
  const Int128 widthSquared = Int128{width} * width;
  auto left = static_cast<std::int64_t>(std::ceil(lo / 2.0));
  auto right = static_cast<std::int64_t>(std::floor(hi / 2.0));
  for (int i = 0; i < kSettleSteps && left <= right && !Inside(c, left, y, widthSquared); ++i) ++left;
  for (int i = 0; i < kSettleSteps && right >= left && !Inside(c, right, y, widthSquared); ++i) --right;
  if (left > right) return false;
  for (int i = 0; i < kSettleSteps && Inside(c, left - 1, y, widthSquared); ++i) --left;
  for (int i = 0; i < kSettleSteps && Inside(c, right + 1, y, widthSquared); ++i) ++right;
  run = {left, right};
  return true;
}

// Capsules of the visible segments; zero-length segments add nothing their neighbours lack.
std::vector<Capsule> MakeCapsules(const RECT& clip, std::span<const Point64> points, int width) {
  std::vector<Capsule> capsules;
  const std::int64_t reach = width / 2 + 2;
  const Rect64 area{clip.left - reach, clip.top - reach, clip.right + reach, clip.bottom + reach};
  for (std::size_t i = 1; i < points.size(); ++i) {
    Point64 a = points[i - 1], b = points[i];
    if (a.x == b.x && a.y == b.y) continue;
    if ((!Fits(a) || !Fits(b)) && !CutToBox(a, b, area)) continue;
    const std::int64_t top = std::min(a.y, b.y) - reach;
    const std::int64_t bottom = std::max(a.y, b.y) + reach;
    if (bottom < clip.top || top >= clip.bottom) continue;
    if (std::max(a.x, b.x) + reach < clip.left || std::min(a.x, b.x) - reach >= clip.right) continue;
    const std::int64_t shift = width % 2 == 0 ? 1 : 0;
    capsules.push_back({{2 * a.x + shift, 2 * a.y + shift}, {2 * b.x + shift, 2 * b.y + shift}, top, bottom});
  }
  return capsules;
}

// Sorts the runs and paints each maximal merged run once.
void PaintMergedRuns(const Surface& surface, const RECT& clip, std::int64_t y, std::vector<Run>& runs, Mix mix) {
  std::sort(runs.begin(), runs.end(), [](const Run& l, const Run& r) { return l.left < r.left; });
  std::size_t i = 0;
  while (i < runs.size()) {
    Run merged = runs[i++];
    while (i < runs.size() && runs[i].left <= merged.right + 1) merged.right = std::max(merged.right, runs[i++].right);
    FillSpan(surface, clip, y, merged.left, merged.right + 1, mix);
  }
}

}  // namespace

void DrawWidePolyline(const Surface& surface, const RECT& clip, std::span<const Point64> points, int width, Mix mix) {
  if (points.size() < 2 || width < 1 || mix.IsNop()) return;
  std::vector<Capsule> capsules = MakeCapsules(clip, points, width);
  if (capsules.empty()) return;
  std::sort(capsules.begin(), capsules.end(), [](const Capsule& l, const Capsule& r) { return l.top < r.top; });

  std::vector<const Capsule*> active;
  std::vector<Run> runs;
  std::size_t next = 0;
  std::int64_t y = std::max<std::int64_t>(clip.top, capsules.front().top);
  for (; y < clip.bottom; ++y) {
    std::erase_if(active, [y](const Capsule* c) { return c->bottom < y; });
    if (active.empty() && next < capsules.size()) y = std::max(y, capsules[next].top);
    if (y >= clip.bottom) break;
    while (next < capsules.size() && capsules[next].top <= y) active.push_back(&capsules[next++]);
    if (active.empty()) break;
    runs.clear();
    Run run{};
    for (const Capsule* c : active) {
      if (CapsuleRun(*c, y, width, run)) runs.push_back(run);
    }
    PaintMergedRuns(surface, clip, y, runs, mix);
  }
}

}  // namespace kelmira::gdi

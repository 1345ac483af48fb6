// Wide pens: every pixel whose centre lies within width/2 of the path (an even width centred
// between pixels), round ends and joins, and clipping of far-off segments.
#include "support/canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <random>
#include <vector>

namespace {

using namespace kelmira::test;

// Distance from the centre of pixel (x, y) to the segment, with an even width's half-pixel shift.
double Distance(double x, double y, const POINT& a, const POINT& b, int width) {
  if (width % 2 == 0) x -= 0.5, y -= 0.5;
  const double dx = double(b.x) - a.x, dy = double(b.y) - a.y, length2 = dx * dx + dy * dy;
  const double t = std::clamp(length2 > 0 ? ((x - a.x) * dx + (y - a.y) * dy) / length2 : 0.0, 0.0, 1.0);
  return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

// Pixels nearer than width/2 to the path are painted, farther ones not; the edge may go either way.
void ExpectCapsules(const Canvas& canvas, const std::vector<POINT>& path, int width) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      double d = INFINITY;
      for (std::size_t i = 1; i < path.size(); ++i) d = std::min(d, Distance(x, y, path[i - 1], path[i], width));
      if (std::abs(d - width / 2.0) < 1e-6) continue;
      ASSERT_EQ(canvas.At(x, y) != kWhite, d < width / 2.0) << x << "," << y << " distance " << d;
    }
}

// Horizontal and vertical segments of every small width first, then random ones, a polyline
// with round joins and a long segment that is still drawn exactly.
TEST(RasterWide, SegmentsAndJoinsAreCapsules) {
  std::mt19937 random(5);
  for (int n = 0; n < 48; ++n) {
    int x0 = random() % 60, y0 = random() % 50, x1 = random() % 60, y1 = random() % 50;
    int width = 2 + random() % 9;
    if (n < 8) width = 2 + n / 2, x0 = 10, y0 = 20, x1 = n % 2 ? 10 : 40, y1 = n % 2 ? 45 : 20;
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1 << " width " << width);
    Canvas canvas(60, 50);
    Selected pen(canvas.dc(), CreatePen(PS_DOT, width, kBlack));  // styles draw solid when wide
    Line(canvas.dc(), x0, y0, x1, y1);
    if (x0 == x1 && y0 == y1)
      EXPECT_TRUE(canvas.Painted().empty());
    else
      ExpectCapsules(canvas, {{x0, y0}, {x1, y1}}, width);
  }
  Canvas joined(60, 50);
  Selected pen(joined.dc(), CreatePen(PS_SOLID, 7, kBlack));
  const POINT points[] = {{10, 40}, {30, 8}, {50, 40}};
  Polyline(joined.dc(), points, 3);
  ExpectCapsules(joined, {std::begin(points), std::end(points)}, 7);
  Canvas exact(60, 50);
  Selected widePen(exact.dc(), CreatePen(PS_SOLID, 6, kBlack));
  Line(exact.dc(), -100000, -70000, 100000, 70040);
  ExpectCapsules(exact, {{-100000, -70000}, {100000, 70040}}, 6);
}

TEST(RasterWide, FarOffSegmentsAreCutWithoutHarm) {
  const int lines[][4] = {{-1000000, 25, 1000000, 25},
                          {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                          {30, INT_MAX, 30, INT_MIN},
                          {INT_MAX, 0, INT_MIN, 49},
                          {-500000, -300000, 500000, 300040}};
  for (const auto& l : lines) {
    Canvas canvas(60, 50);
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, 5, kBlack));
    Line(canvas.dc(), l[0], l[1], l[2], l[3]);
    EXPECT_FALSE(canvas.Painted().empty()) << l[0] << "," << l[1] << " -> " << l[2] << "," << l[3];
  }
}

TEST(RasterWide, WideEllipseRingStaysInsideTheBounds) {
  Canvas canvas(60, 50);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 4, kBlue));
  Selected brush(canvas.dc(), CreateSolidBrush(kRed));
  Ellipse(canvas.dc(), 5, 6, 55, 44);
  EXPECT_EQ(canvas.Bounds(), (Box{5, 6, 55, 44}));
  // The ring is as thick as the pen across the middle row and column.
  EXPECT_EQ(canvas.Count(kBlue, 5, 25, 30, 26), 4);
  EXPECT_EQ(canvas.Count(kBlue, 30, 6, 31, 25), 4);
  EXPECT_EQ(canvas.At(30, 25), kRed);
}

}  // namespace

// Wide pens: every pixel whose centre lies within width/2 of the segment (an even width centred
// between pixels), round ends and joins, and clipping of far-off segments.
#include "gdi_canvas.h"

#include <climits>
#include <cmath>

namespace {

using namespace gdi_test;

// Distance from the centre of pixel (x, y) to the segment, with an even width's half-pixel shift.
double Distance(double x, double y, double x0, double y0, double x1, double y1, int width) {
  if (width % 2 == 0) x -= 0.5, y -= 0.5;
  const double dx = x1 - x0, dy = y1 - y0;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0 ? ((x - x0) * dx + (y - y0) * dy) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (x0 + t * dx), y - (y0 + t * dy));
}

void ExpectCapsule(const Canvas& canvas, double x0, double y0, double x1, double y1, int width) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) {
      const double d = Distance(x, y, x0, y0, x1, y1, width);
      if (std::abs(d - width / 2.0) < 1e-6) continue;  // on the edge: either is fine here
      ASSERT_EQ(canvas.At(x, y) != kWhite, d < width / 2.0) << x << "," << y << " distance " << d;
    }
}

// Horizontal and vertical segments of every small width first (an even width is centred half a
// pixel right and down), then random ones.
TEST(RasterWide, SegmentsAreCapsules) {
  std::mt19937 random(5);
  for (int n = 0; n < 48; ++n) {
    int x0 = random() % 60, y0 = random() % 50, x1 = random() % 60, y1 = random() % 50;
    int width = 2 + random() % 9;
    if (n < 8) width = 2 + n / 2, x0 = 10, y0 = 20, x1 = n % 2 ? 10 : 40, y1 = n % 2 ? 45 : 20;
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1 << " width " << width);
    Canvas canvas(60, 50);
    Selected pen(canvas.dc(), CreatePen(PS_DOT, width, kBlack));  // styles draw solid when wide
    Line(canvas.dc(), x0, y0, x1, y1);
    if (x0 == x1 && y0 == y1) {
      EXPECT_TRUE(canvas.Painted().empty());
      continue;
    }
    ExpectCapsule(canvas, x0, y0, x1, y1, width);
  }
}

TEST(RasterWide, FarOffSegmentsAreCutWithoutHarm) {
  const int lines[][4] = {{-1000000, 25, 1000000, 25},
                          {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                          {30, INT_MAX, 30, INT_MIN},
                          {INT_MAX, 0, INT_MIN, 49},
                          {-500000, -300000, 500000, 300040}};
  for (const auto& l : lines) {
    SCOPED_TRACE(testing::Message() << l[0] << "," << l[1] << " -> " << l[2] << "," << l[3]);
    Canvas canvas(60, 50);
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, 5, kBlack));
    Line(canvas.dc(), l[0], l[1], l[2], l[3]);
    EXPECT_FALSE(canvas.Painted().empty());
  }
  // Within exact range, a long segment still matches its capsule inside the bitmap.
  Canvas canvas(60, 50);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 6, kBlack));
  Line(canvas.dc(), -100000, -70000, 100000, 70040);
  ExpectCapsule(canvas, -100000, -70000, 100000, 70040, 6);
}

TEST(RasterWide, PolylineJoinsAreRound) {
  Canvas canvas(60, 50);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 7, kBlack));
  const POINT points[] = {{10, 40}, {30, 8}, {50, 40}};
  Polyline(canvas.dc(), points, 3);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 60; ++x) {
      const double d = std::min(Distance(x, y, 10, 40, 30, 8, 7), Distance(x, y, 30, 8, 50, 40, 7));
      if (std::abs(d - 3.5) < 1e-6) continue;
      ASSERT_EQ(canvas.At(x, y) != kWhite, d < 3.5) << x << "," << y;
    }
}

TEST(RasterWide, WideEllipseRingStaysInsideTheBounds) {
  Canvas canvas(60, 50);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 4, kBlue));
  Selected brush(canvas.dc(), CreateSolidBrush(kRed));
  Ellipse(canvas.dc(), 5, 6, 55, 44);
  for (const auto& [x, y] : canvas.Painted()) {
    EXPECT_TRUE(x >= 5 && x < 55 && y >= 6 && y < 44) << x << "," << y;
  }
  // The ring is as thick as the pen across the middle row and column.
  int ring = 0;
  for (int x = 5; x < 30; ++x) ring += canvas.At(x, 25) == kBlue;
  EXPECT_EQ(ring, 4);
  ring = 0;
  for (int y = 6; y < 25; ++y) ring += canvas.At(30, y) == kBlue;
  EXPECT_EQ(ring, 4);
  EXPECT_EQ(canvas.At(30, 25), kRed);
}

}  // namespace

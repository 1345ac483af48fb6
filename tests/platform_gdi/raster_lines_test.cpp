// One-pixel solid lines: the pixel set against a reference (the end pixel never painted),
// clipping, and the current position.
#include "support/canvas.h"

#include <climits>
#include <cstdlib>
#include <random>
#include <tuple>

namespace {

using namespace kelmira::test;
using Int128 = __int128;

// The pixels of the line A->B inside w x h: one per step i (0 <= i < len, so never the end) along
// the major axis (x when |dx| >= |dy|), the minor coordinate the exact one rounded to nearest,
// exact halves toward the smaller coordinate. Only the steps over the bitmap are visited.
PixelSet Reference(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int w = 100, int h = 80) {
  const std::int64_t dx = x1 - x0, dy = y1 - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t len = std::llabs(xMajor ? dx : dy), sign = (xMajor ? dx : dy) > 0 ? 1 : -1;
  PixelSet out;
  for (int m = 0; m < (xMajor ? w : h); ++m) {
    const std::int64_t i = (m - (xMajor ? x0 : y0)) * sign;
    if (i < 0 || i >= len) continue;
    // 2 * len * (exact minor + 1/2) = num
    const Int128 num = 2 * Int128{i} * (xMajor ? dy : dx) + len, den = 2 * Int128{len};
    Int128 q = num / den, r = num % den;
    if (r < 0) --q, r += den;
    if (r == 0) --q;
    const std::int64_t minor = (xMajor ? y0 : x0) + static_cast<std::int64_t>(q);
    const std::int64_t x = xMajor ? m : minor, y = xMajor ? minor : m;
    if (x >= 0 && x < w && y >= 0 && y < h) out.emplace(static_cast<int>(x), static_cast<int>(y));
  }
  return out;
}

PixelSet Drawn(int x0, int y0, int x1, int y1) {
  Canvas canvas(100, 80);
  Line(canvas.dc(), x0, y0, x1, y1);
  return canvas.Painted();
}

TEST(RasterLines, ShortLinesPixelByPixel) {
  const struct {
    int x0, y0, x1, y1;
    PixelSet pixels;
  } cases[] = {
      {3, 5, 7, 5, {{3, 5}, {4, 5}, {5, 5}, {6, 5}}},
      {7, 5, 3, 5, {{7, 5}, {6, 5}, {5, 5}, {4, 5}}},
      {2, 9, 2, 6, {{2, 9}, {2, 8}, {2, 7}}},
      {1, 1, 4, 4, {{1, 1}, {2, 2}, {3, 3}}},
      {4, 1, 1, 4, {{4, 1}, {3, 2}, {2, 3}}},
      {6, 6, 6, 6, {}},
      // Exact halves go to the smaller row, whichever end the line starts from.
      {0, 0, 4, 1, {{0, 0}, {1, 0}, {2, 0}, {3, 1}}},
      {4, 1, 0, 0, {{4, 1}, {3, 1}, {2, 0}, {1, 0}}},
  };
  for (const auto& c : cases) {
    Canvas canvas(10, 10);
    Line(canvas.dc(), c.x0, c.y0, c.x1, c.y1);
    EXPECT_PAINTED(canvas, c.pixels) << c.x0 << "," << c.y0 << " -> " << c.x1 << "," << c.y1;
  }
}

// From the centre into each octant and onto each diagonal, then random lines; both ways round.
TEST(RasterLines, EveryDirectionFollowsTheReference) {
  const int targets[][2] = {{90, 40}, {90, 60}, {70, 79}, {50, 79}, {30, 79}, {5, 60}, {5, 40}, {5, 20},
                            {30, 0},  {50, 0},  {70, 0},  {90, 20}, {90, 75}, {8, 77}, {12, 3}, {88, 5}};
  std::mt19937 random(7);
  for (int n = 0; n < 216; ++n) {
    int x0 = random() % 100, y0 = random() % 80, x1 = random() % 100, y1 = random() % 80;
    if (n < 16) x0 = 50, y0 = 40, x1 = targets[n][0], y1 = targets[n][1];
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    EXPECT_EQ(Drawn(x0, y0, x1, y1), Reference(x0, y0, x1, y1));
    EXPECT_EQ(Drawn(x1, y1, x0, y0), Reference(x1, y1, x0, y0));
  }
}

TEST(RasterLines, ClippingKeepsThePixelsOfTheWholeLine) {
  const int far = 1'000'000'000;
  // clang-format off
  const int lines[][4] = {{-30, 10, 130, 60}, {50, -40, 20, 120}, {-far, 20, far, 60}, {30, -far, 70, far},
                          {-far, -far / 2, far, far / 2 + 7}, {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                          {INT_MAX, 3, INT_MIN, 77}, {-7, INT_MIN + 5, 90, INT_MAX - 3}, {120, 90, -20, -10},
                          {99, 79, 99, -far}};
  // clang-format on
  for (const auto& l : lines)
    EXPECT_EQ(Drawn(l[0], l[1], l[2], l[3]), Reference(l[0], l[1], l[2], l[3]))
        << l[0] << "," << l[1] << " -> " << l[2] << "," << l[3];
  // A clip rectangle keeps the reference pixels inside it.
  const Box clip{20, 15, 70, 50};
  std::mt19937 random(11);
  for (int n = 0; n < 100; ++n) {
    const int x0 = int(random() % 300) - 100, y0 = int(random() % 240) - 80;
    const int x1 = int(random() % 300) - 100, y1 = int(random() % 240) - 80;
    Canvas canvas(100, 80);
    IntersectClipRect(canvas.dc(), clip.left, clip.top, clip.right, clip.bottom);
    Line(canvas.dc(), x0, y0, x1, y1);
    SelectClipRgn(canvas.dc(), nullptr);  // so that every pixel reads back
    PixelSet expected;
    for (const auto& [x, y] : Reference(x0, y0, x1, y1))
      if (clip.Contains(x, y)) expected.emplace(x, y);
    EXPECT_PAINTED(canvas, expected) << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

TEST(RasterLines, ViewportOriginShiftsThePixels) {
  Canvas canvas(100, 80);
  SetViewportOrgEx(canvas.dc(), 10, -5, nullptr);
  Line(canvas.dc(), 0, 20, 30, 31);
  canvas.ResetMapping();
  PixelSet shifted;
  for (const auto& [x, y] : Reference(0, 20, 30, 31)) shifted.emplace(x + 10, y - 5);
  EXPECT_PAINTED(canvas, shifted);
}

// The same path by LineTo, Polyline and PolylineTo: each joint painted by the segment leaving
// it, the last end not at all; Polyline leaves the current position alone.
TEST(RasterLines, PathsPaintEverySegmentAndMoveTheCurrentPosition) {
  const POINT points[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
  PixelSet expected;
  for (int i = 1; i < 4; ++i) {
    const PixelSet part = Reference(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, 40, 40);
    expected.insert(part.begin(), part.end());
  }
  Canvas lines(40, 40), poly(40, 40), chained(40, 40);
  POINT old{-1, -1};
  EXPECT_TRUE(MoveToEx(lines.dc(), 5, 5, &old));
  EXPECT_EQ(std::pair(old.x, old.y), std::pair(0, 0));
  for (int i = 1; i < 4; ++i) EXPECT_TRUE(LineTo(lines.dc(), points[i].x, points[i].y));
  MoveToEx(poly.dc(), 1, 2, nullptr);
  EXPECT_TRUE(Polyline(poly.dc(), points, 4));
  MoveToEx(chained.dc(), 5, 5, nullptr);
  EXPECT_TRUE(PolylineTo(chained.dc(), points + 1, 3));
  for (const auto& [canvas, x, y] : {std::tuple{&lines, 5, 15}, {&poly, 1, 2}, {&chained, 5, 15}}) {
    EXPECT_PAINTED(*canvas, expected);
    MoveToEx(canvas->dc(), 0, 0, &old);
    EXPECT_EQ(std::pair(old.x, old.y), std::pair(x, y));
  }
}

TEST(RasterLines, BadArgumentsFailCleanly) {
  SetLastError(0);
  EXPECT_FALSE(LineTo(nullptr, 1, 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(MoveToEx(reinterpret_cast<HDC>(std::uintptr_t{0x7FFFFFF}), 1, 1, nullptr));
  Canvas canvas(10, 10);
  SetLastError(0);
  EXPECT_FALSE(Polyline(canvas.dc(), nullptr, 3));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(Polyline(canvas.dc(), nullptr, -1));
  EXPECT_TRUE(Polyline(canvas.dc(), nullptr, 0));
  EXPECT_FALSE(Rectangle(nullptr, 0, 0, 5, 5));
  EXPECT_FALSE(Ellipse(nullptr, 0, 0, 5, 5));
  EXPECT_TRUE(canvas.Painted().empty());
}

}  // namespace

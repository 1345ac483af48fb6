// One-pixel solid lines: the pixel set, the end pixel, direction, clipping and the current
// position.
#include "gdi_canvas.h"

#include <climits>
#include <cstdlib>
#include <set>

namespace {

using namespace gdi_test;
using PixelSet = std::set<std::pair<int, int>>;
using Int128 = __int128;

// The pixel of step i of the line A->B: one per step along the major axis (x when |dx| >= |dy|),
// the minor coordinate the exact one rounded to nearest, halves toward the smaller coordinate.
std::pair<std::int64_t, std::int64_t> ReferenceStep(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
                                                    std::int64_t i) {
  const std::int64_t dx = x1 - x0, dy = y1 - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t len = xMajor ? std::llabs(dx) : std::llabs(dy);
  const std::int64_t major = (xMajor ? x0 : y0) + ((xMajor ? dx : dy) > 0 ? i : -i);
  // minor = minor0 + i * dMinor / len; 2 * len * (exact + 1/2) = num.
  const Int128 num = 2 * Int128{i} * (xMajor ? dy : dx) + len;
  const Int128 den = 2 * Int128{len};
  Int128 q = num / den, r = num % den;
  if (r < 0) {
    --q;
    r += den;
  }
  if (r == 0) --q;  // exactly half way: the smaller coordinate
  const std::int64_t minor = (xMajor ? y0 : x0) + static_cast<std::int64_t>(q);
  return xMajor ? std::pair{major, minor} : std::pair{minor, major};
}

// The reference pixels inside columns 0..w-1 and rows 0..h-1, found column (or row) by column.
PixelSet ReferenceInside(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1, int w, int h) {
  PixelSet out;
  const std::int64_t dx = x1 - x0, dy = y1 - y0;
  const bool xMajor = std::llabs(dx) >= std::llabs(dy);
  const std::int64_t len = xMajor ? std::llabs(dx) : std::llabs(dy);
  const std::int64_t origin = xMajor ? x0 : y0;
  const int sign = (xMajor ? dx : dy) > 0 ? 1 : -1;
  for (int m = 0; m < (xMajor ? w : h); ++m) {
    const std::int64_t i = (m - origin) * sign;
    if (i < 0 || i >= len) continue;
    const auto [x, y] = ReferenceStep(x0, y0, x1, y1, i);
    if (x >= 0 && x < w && y >= 0 && y < h) out.emplace(static_cast<int>(x), static_cast<int>(y));
  }
  return out;
}

PixelSet PaintedSet(const Canvas& canvas) {
  const auto painted = canvas.Painted();
  return {painted.begin(), painted.end()};
}

// Device pixels that differ between two sets of raw pixels of a canvas `width` wide.
PixelSet Changed(const std::vector<std::uint32_t>& before, const std::vector<std::uint32_t>& after, int width) {
  PixelSet out;
  for (std::size_t i = 0; i < after.size(); ++i)
    if (after[i] != before[i]) out.emplace(static_cast<int>(i) % width, static_cast<int>(i) / width);
  return out;
}

PixelSet DrawnLine(int x0, int y0, int x1, int y1, int w = 100, int h = 80) {
  Canvas canvas(w, h);
  Line(canvas.dc(), x0, y0, x1, y1);
  return PaintedSet(canvas);
}

TEST(RasterLines, HorizontalVerticalAndDiagonalPixels) {
  EXPECT_EQ(DrawnLine(3, 5, 7, 5), (PixelSet{{3, 5}, {4, 5}, {5, 5}, {6, 5}}));
  EXPECT_EQ(DrawnLine(7, 5, 3, 5), (PixelSet{{7, 5}, {6, 5}, {5, 5}, {4, 5}}));
  EXPECT_EQ(DrawnLine(2, 9, 2, 6), (PixelSet{{2, 9}, {2, 8}, {2, 7}}));
  EXPECT_EQ(DrawnLine(1, 1, 4, 4), (PixelSet{{1, 1}, {2, 2}, {3, 3}}));
  EXPECT_EQ(DrawnLine(4, 1, 1, 4), (PixelSet{{4, 1}, {3, 2}, {2, 3}}));
  EXPECT_TRUE(DrawnLine(6, 6, 6, 6).empty());
  // Exact halves go to the smaller row, whichever end the line starts from.
  EXPECT_EQ(DrawnLine(0, 0, 4, 1), (PixelSet{{0, 0}, {1, 0}, {2, 0}, {3, 1}}));
  EXPECT_EQ(DrawnLine(4, 1, 0, 0), (PixelSet{{4, 1}, {3, 1}, {2, 0}, {1, 0}}));
}

// A line from the centre into each octant and onto each diagonal first, then random ones: the
// pixels are the reference's (one per major step, the end never painted), the same every time,
// and reversing a line only swaps which end is painted.
TEST(RasterLines, PixelsFollowTheReferenceInEveryOctant) {
  const int targets[][2] = {{90, 40}, {90, 60}, {70, 79}, {50, 79}, {30, 79}, {5, 60}, {5, 40}, {5, 20},
                            {30, 0},  {50, 0},  {70, 0},  {90, 20}, {90, 75}, {8, 77}, {12, 3}, {88, 5}};
  std::mt19937 random(7);
  for (int n = 0; n < 216; ++n) {
    int x0 = random() % 100, y0 = random() % 80, x1 = random() % 100, y1 = random() % 80;
    if (n < 16) x0 = 50, y0 = 40, x1 = targets[n][0], y1 = targets[n][1];
    SCOPED_TRACE(testing::Message() << x0 << "," << y0 << " -> " << x1 << "," << y1);
    const PixelSet forward = DrawnLine(x0, y0, x1, y1);
    EXPECT_EQ(forward, ReferenceInside(x0, y0, x1, y1, 100, 80));
    EXPECT_FALSE(forward.count({x1, y1}));
    // Drawn again after other lines, the same pixels.
    Canvas canvas(100, 80);
    Line(canvas.dc(), 0, 0, 99, 79);
    Line(canvas.dc(), x0, y0, x1, y1);
    const PixelSet again = PaintedSet(canvas);
    for (const auto& p : forward) EXPECT_TRUE(again.count(p));
    PixelSet backward = DrawnLine(x1, y1, x0, y0);
    if (x0 != x1 || y0 != y1) {
      backward.erase({x1, y1});
      backward.emplace(x0, y0);
    }
    EXPECT_EQ(backward, forward);
  }
}

TEST(RasterLines, ClippedLinesKeepTheUnclippedPixels) {
  const std::int64_t far = 1'000'000'000;
  const std::int64_t lines[][4] = {{-30, 10, 130, 60},
                                   {50, -40, 20, 120},
                                   {-far, 20, far, 60},
                                   {30, -far, 70, far},
                                   {-far, -far / 2, far, far / 2 + 7},
                                   {INT_MIN, INT_MIN, INT_MAX, INT_MAX},
                                   {INT_MAX, 3, INT_MIN, 77},
                                   {-7, INT_MIN + 5, 90, INT_MAX - 3},
                                   {120, 90, -20, -10},
                                   {99, 79, 99, -far}};
  for (const auto& l : lines) {
    SCOPED_TRACE(testing::Message() << l[0] << "," << l[1] << " -> " << l[2] << "," << l[3]);
    Canvas canvas(100, 80);
    Line(canvas.dc(), static_cast<int>(l[0]), static_cast<int>(l[1]), static_cast<int>(l[2]), static_cast<int>(l[3]));
    EXPECT_EQ(PaintedSet(canvas), ReferenceInside(l[0], l[1], l[2], l[3], 100, 80));
  }
}

TEST(RasterLines, ClipRectangleCutsWithoutMovingPixels) {
  std::mt19937 random(11);
  for (int n = 0; n < 100; ++n) {
    const int x0 = int(random() % 300) - 100, y0 = int(random() % 240) - 80;
    const int x1 = int(random() % 300) - 100, y1 = int(random() % 240) - 80;
    Canvas canvas(100, 80);
    IntersectClipRect(canvas.dc(), 20, 15, 70, 50);
    const auto before = canvas.Pixels();
    Line(canvas.dc(), x0, y0, x1, y1);
    PixelSet expected;
    for (const auto& p : ReferenceInside(x0, y0, x1, y1, 100, 80))
      if (p.first >= 20 && p.first < 70 && p.second >= 15 && p.second < 50) expected.insert(p);
    EXPECT_EQ(Changed(before, canvas.Pixels(), 100), expected) << x0 << "," << y0 << " -> " << x1 << "," << y1;
  }
}

TEST(RasterLines, ViewportOriginShiftsThePixels) {
  Canvas canvas(100, 80);
  const auto before = canvas.Pixels();
  SetViewportOrgEx(canvas.dc(), 10, -5, nullptr);
  Line(canvas.dc(), 0, 20, 30, 31);
  PixelSet shifted;
  for (const auto& p : ReferenceInside(0, 20, 30, 31, 100, 80)) shifted.emplace(p.first + 10, p.second - 5);
  // GetPixel takes logical coordinates too, so read the device pixels directly.
  EXPECT_EQ(Changed(before, canvas.Pixels(), 100), shifted);
  EXPECT_EQ(canvas.At(0, 20), kBlack);
}

TEST(RasterLines, CurrentPositionFollowsMoveToAndLineTo) {
  Canvas canvas(40, 40);
  POINT old{-1, -1};
  EXPECT_TRUE(MoveToEx(canvas.dc(), 5, 6, &old));
  EXPECT_EQ(P(old), P(0, 0));
  EXPECT_TRUE(LineTo(canvas.dc(), 20, 6));
  EXPECT_TRUE(LineTo(canvas.dc(), 20, 30));
  MoveToEx(canvas.dc(), 0, 0, &old);
  EXPECT_EQ(P(old), P(20, 30));
  // The joint is painted once, by the second line; the last end is not painted.
  EXPECT_EQ(std::vector({canvas.At(19, 6), canvas.At(20, 6), canvas.At(20, 29), canvas.At(20, 30)}),
            std::vector({kBlack, kBlack, kBlack, kWhite}));
}

TEST(RasterLines, PolylineJoinsPointsAndLeavesThePositionAlone) {
  Canvas canvas(40, 40);
  MoveToEx(canvas.dc(), 1, 2, nullptr);
  const POINT points[] = {{5, 5}, {15, 5}, {15, 15}, {5, 15}};
  EXPECT_TRUE(Polyline(canvas.dc(), points, 4));
  PixelSet expected;
  for (int i = 1; i < 4; ++i) {
    const auto part = ReferenceInside(points[i - 1].x, points[i - 1].y, points[i].x, points[i].y, 40, 40);
    expected.insert(part.begin(), part.end());
  }
  EXPECT_EQ(PaintedSet(canvas), expected);
  EXPECT_EQ(canvas.At(5, 15), kWhite);
  POINT old{};
  MoveToEx(canvas.dc(), 0, 0, &old);
  EXPECT_EQ(P(old), P(1, 2));

  Canvas chained(40, 40);
  MoveToEx(chained.dc(), 5, 5, nullptr);
  EXPECT_TRUE(PolylineTo(chained.dc(), points + 1, 3));
  EXPECT_EQ(PaintedSet(chained), expected);
  MoveToEx(chained.dc(), 0, 0, &old);
  EXPECT_EQ(P(old), P(5, 15));
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

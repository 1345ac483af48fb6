// Rectangles, ellipses and brush fills: bounds, outline against interior, hatch cells.
#include "platform_gdi/gdi_raster_canvas.h"

namespace {

using namespace raster_test;

bool Inside(int x, int y, int l, int t, int r, int b) { return x >= l && x < r && y >= t && y < b; }

TEST(RasterShapes, RectangleOutlinesInsideTheBoundsAndFillsTheRest) {
  for (const bool flipped : {false, true}) {
    Canvas canvas(30, 30);
    Selected brush(canvas.dc(), CreateSolidBrush(kRed));
    if (flipped) {
      EXPECT_TRUE(Rectangle(canvas.dc(), 20, 15, 4, 5));
    } else {
      EXPECT_TRUE(Rectangle(canvas.dc(), 4, 5, 20, 15));
    }
    for (int y = 0; y < 30; ++y) {
      for (int x = 0; x < 30; ++x) {
        const bool edge = Inside(x, y, 4, 5, 20, 15) && !Inside(x, y, 5, 6, 19, 14);
        const COLORREF expected = edge ? kBlack : Inside(x, y, 5, 6, 19, 14) ? kRed : kWhite;
        ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y;
      }
    }
  }
}

TEST(RasterShapes, RectangleWithNullBrushOrNullPen) {
  Canvas hollow(20, 20);
  {
    Selected brush(hollow.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(hollow.dc(), 2, 2, 10, 8);
  }
  EXPECT_EQ(hollow.At(2, 2), kBlack);
  EXPECT_EQ(hollow.At(9, 7), kBlack);
  EXPECT_EQ(hollow.Painted().size(), 2u * 8 + 2u * 4);

  // Without a pen the brush stops one pixel short on the right and at the bottom.
  Canvas filled(20, 20);
  Selected pen(filled.dc(), GetStockObject(NULL_PEN));
  Selected brush(filled.dc(), CreateSolidBrush(kBlue));
  Rectangle(filled.dc(), 2, 2, 10, 8);
  EXPECT_EQ(filled.At(2, 2), kBlue);
  EXPECT_EQ(filled.At(8, 6), kBlue);
  EXPECT_EQ(filled.Painted().size(), 7u * 5);
  EXPECT_EQ(filled.At(9, 7), kWhite);

  Canvas empty(20, 20);
  Rectangle(empty.dc(), 5, 5, 5, 12);
  EXPECT_TRUE(empty.Painted().empty());
}

TEST(RasterShapes, WidePenFrameStaysInsideTheBounds) {
  Canvas canvas(30, 30);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 3, kBlue));
  Selected brush(canvas.dc(), CreateSolidBrush(kRed));
  Rectangle(canvas.dc(), 5, 5, 20, 17);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      const COLORREF expected =
          Inside(x, y, 8, 8, 17, 14) ? kRed : Inside(x, y, 5, 5, 20, 17) ? kBlue : kWhite;
      ASSERT_EQ(canvas.At(x, y), expected) << x << "," << y;
    }
}

TEST(RasterShapes, SmallEllipseIsARoundDotInsideItsBox) {
  Canvas canvas(20, 20);
  Selected brush(canvas.dc(), CreateSolidBrush(kRed));
  const int px = 10, py = 7;
  EXPECT_TRUE(Ellipse(canvas.dc(), px - 2, py - 2, px + 2, py + 2));
  const char* expected[] = {".OO.", "OIIO", "OIIO", ".OO."};
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) {
      char c = '.';
      if (Inside(x, y, px - 2, py - 2, px + 2, py + 2)) c = expected[y - py + 2][x - px + 2];
      const COLORREF want = c == 'O' ? kBlack : c == 'I' ? kRed : kWhite;
      ASSERT_EQ(canvas.At(x, y), want) << x << "," << y;
    }
}

TEST(RasterShapes, EllipseTouchesEverySideAndIsSymmetric) {
  const int sizes[][2] = {{1, 1}, {2, 5}, {7, 3}, {9, 9}, {16, 10}, {31, 44}, {60, 2}};
  for (const auto& size : sizes) {
    const int w = size[0], h = size[1];
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    Canvas canvas(80, 60);
    Selected brush(canvas.dc(), CreateSolidBrush(kRed));
    Ellipse(canvas.dc(), 5, 4, 5 + w, 4 + h);
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (const auto& [x, y] : canvas.Painted()) {
      EXPECT_TRUE(Inside(x, y, 5, 4, 5 + w, 4 + h)) << x << "," << y;
      minX = std::min(minX, x), maxX = std::max(maxX, x), minY = std::min(minY, y), maxY = std::max(maxY, y);
      EXPECT_EQ(canvas.At(5 + (4 + w - x), y), canvas.At(x, y));  // mirrored left-right
      EXPECT_EQ(canvas.At(x, 4 + (3 + h - y)), canvas.At(x, y));  // mirrored top-bottom
      // An outline pixel has a neighbour outside the figure; an interior pixel has none.
      bool open = false;
      for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        open = open || canvas.At(x + dx, y + dy) == kWhite;
      EXPECT_EQ(canvas.At(x, y), open ? kBlack : kRed) << x << "," << y;
    }
    EXPECT_EQ(minX, 5);
    EXPECT_EQ(maxX, 4 + w);
    EXPECT_EQ(minY, 4);
    EXPECT_EQ(maxY, 3 + h);
  }
}

bool DiagCross(int x, int y) { return ((x - y) & 7) == 0 || ((x + y) & 7) == 7; }

TEST(RasterShapes, DiagonalCrossHatchFollowsTheBrushOriginAndBackgroundMode) {
  for (const int mode : {OPAQUE, TRANSPARENT}) {
    for (const POINT origin : {POINT{0, 0}, POINT{3, 2}}) {
      SCOPED_TRACE(testing::Message() << "mode " << mode << " origin " << origin.x << "," << origin.y);
      Canvas canvas(24, 24);
      SetBkMode(canvas.dc(), mode);
      SetBkColor(canvas.dc(), kGreen);
      SetBrushOrgEx(canvas.dc(), origin.x, origin.y, nullptr);
      Selected pen(canvas.dc(), GetStockObject(NULL_PEN));
      Selected brush(canvas.dc(), CreateHatchBrush(HS_DIAGCROSS, kBlue));
      Rectangle(canvas.dc(), 1, 1, 22, 22);
      for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
          COLORREF want = kWhite;
          if (Inside(x, y, 1, 1, 21, 21)) {
            want = DiagCross(x - origin.x, y - origin.y) ? kBlue : mode == OPAQUE ? kGreen : kWhite;
          }
          ASSERT_EQ(canvas.At(x, y), want) << x << "," << y;
        }
    }
  }
}

TEST(RasterShapes, BottomUpBitmapsGetTheSamePicture) {
  std::vector<COLORREF> pictures[2];
  for (const bool bottomUp : {false, true}) {
    Canvas canvas(50, 40, kWhite, bottomUp);
    SetBkMode(canvas.dc(), TRANSPARENT);
    Selected brush(canvas.dc(), CreateHatchBrush(HS_DIAGCROSS, kBlue));
    for (const auto& [x, y] : {std::pair{49, 0}, {49, 39}, {0, 39}, {25, -10}, {60, 20}}) Line(canvas.dc(), 20, 18, x, y);
    Ellipse(canvas.dc(), 2, 3, 30, 25);
    {
      Selected pen(canvas.dc(), CreatePen(PS_SOLID, 5, kRed));
      Line(canvas.dc(), 5, 35, 45, 30);
    }
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 50; ++x) pictures[bottomUp].push_back(canvas.At(x, y));
  }
  EXPECT_EQ(pictures[1], pictures[0]);
}

}  // namespace

// Rectangles, ellipses and brush fills: bounds, outline against interior, hatch cells.
#include "gdi_canvas.h"

namespace {

using namespace gdi_test;

TEST(RasterShapes, RectangleOutlinesInsideTheBoundsAndFillsTheRest) {
  for (const RECT r : {RECT{4, 5, 20, 15}, RECT{20, 15, 4, 5}}) {
    Canvas canvas(30, 30);
    Selected brush(canvas.dc(), CreateSolidBrush(kRed));
    EXPECT_TRUE(Rectangle(canvas.dc(), r.left, r.top, r.right, r.bottom));
    ExpectPicture(canvas, [](int x, int y) {
      return Inside(x, y, 5, 6, 19, 14) ? kRed : Inside(x, y, 4, 5, 20, 15) ? kBlack : kWhite;
    });
  }
  // A pen three wide keeps its frame inside the bounds too.
  Canvas wide(30, 30);
  Selected pen(wide.dc(), CreatePen(PS_SOLID, 3, kBlue));
  Selected brush(wide.dc(), CreateSolidBrush(kRed));
  Rectangle(wide.dc(), 5, 5, 20, 17);
  ExpectPicture(wide, [](int x, int y) {
    return Inside(x, y, 8, 8, 17, 14) ? kRed : Inside(x, y, 5, 5, 20, 17) ? kBlue : kWhite;
  });
}

TEST(RasterShapes, RectangleWithNullBrushOrNullPen) {
  Canvas hollow(20, 20);
  {
    Selected brush(hollow.dc(), GetStockObject(NULL_BRUSH));
    Rectangle(hollow.dc(), 2, 2, 10, 8);
  }
  ExpectPicture(hollow,
                [](int x, int y) { return Inside(x, y, 2, 2, 10, 8) && !Inside(x, y, 3, 3, 9, 7) ? kBlack : kWhite; });

  // Without a pen the brush stops one pixel short on the right and at the bottom.
  Canvas filled(20, 20);
  Selected pen(filled.dc(), GetStockObject(NULL_PEN));
  Selected brush(filled.dc(), CreateSolidBrush(kBlue));
  Rectangle(filled.dc(), 2, 2, 10, 8);
  ExpectPicture(filled, [](int x, int y) { return Inside(x, y, 2, 2, 9, 7) ? kBlue : kWhite; });

  Canvas empty(20, 20);
  Rectangle(empty.dc(), 5, 5, 5, 12);
  EXPECT_TRUE(empty.Painted().empty());
}

TEST(RasterShapes, SmallEllipseIsARoundDotInsideItsBox) {
  Canvas canvas(20, 20);
  Selected brush(canvas.dc(), CreateSolidBrush(kRed));
  EXPECT_TRUE(Ellipse(canvas.dc(), 8, 5, 12, 9));
  const char* expected[] = {".OO.", "OIIO", "OIIO", ".OO."};
  ExpectPicture(canvas, [&](int x, int y) {
    const char c = Inside(x, y, 8, 5, 12, 9) ? expected[y - 5][x - 8] : '.';
    return c == 'O' ? kBlack : c == 'I' ? kRed : kWhite;
  });
}

TEST(RasterShapes, EllipseTouchesEverySideAndIsSymmetric) {
  for (const auto& [w, h] : {std::pair{1, 1}, {2, 5}, {7, 3}, {9, 9}, {16, 10}, {31, 44}, {60, 2}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    Canvas canvas(80, 60);
    Selected brush(canvas.dc(), CreateSolidBrush(kRed));
    Ellipse(canvas.dc(), 5, 4, 5 + w, 4 + h);
    EXPECT_EQ(canvas.Bounds(), (Box{5, 4, 5 + w, 4 + h}));
    for (const auto& [x, y] : canvas.Painted()) {
      EXPECT_EQ(canvas.At(5 + (4 + w - x), y), canvas.At(x, y));  // mirrored left-right
      EXPECT_EQ(canvas.At(x, 4 + (3 + h - y)), canvas.At(x, y));  // mirrored top-bottom
      // An outline pixel has a neighbour outside the figure; an interior pixel has none.
      bool open = false;
      for (const auto& [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}})
        open = open || canvas.At(x + dx, y + dy) == kWhite;
      EXPECT_EQ(canvas.At(x, y), open ? kBlack : kRed) << x << "," << y;
    }
  }
}

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
      ExpectPicture(canvas, [&](int x, int y) {
        if (!Inside(x, y, 1, 1, 21, 21)) return kWhite;
        const int u = x - origin.x, v = y - origin.y;
        return ((u - v) & 7) == 0 || ((u + v) & 7) == 7 ? kBlue : mode == OPAQUE ? kGreen : kWhite;
      });
    }
  }
}

TEST(RasterShapes, BottomUpBitmapsGetTheSamePicture) {
  std::vector<COLORREF> pictures[2];
  for (const bool bottomUp : {false, true}) {
    Canvas canvas(50, 40, kWhite, bottomUp);
    SetBkMode(canvas.dc(), TRANSPARENT);
    Selected brush(canvas.dc(), CreateHatchBrush(HS_DIAGCROSS, kBlue));
    for (const auto& [x, y] : {std::pair{49, 0}, {49, 39}, {0, 39}, {25, -10}, {60, 20}})
      Line(canvas.dc(), 20, 18, x, y);
    Ellipse(canvas.dc(), 2, 3, 30, 25);
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, 5, kRed));
    Line(canvas.dc(), 5, 35, 45, 30);
    pictures[bottomUp] = canvas.Picture();
  }
  EXPECT_EQ(pictures[1], pictures[0]);
}

}  // namespace

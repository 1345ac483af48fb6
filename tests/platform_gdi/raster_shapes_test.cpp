// Rectangles, ellipses and hatch brushes: bounds, outline against interior, hatch cells.
#include "support/canvas.h"

namespace {

using namespace kelmira::test;

// The pen's frame lies inside the bounds (right and bottom excluded) and the brush fills the
// rest; without a pen the brush stops one pixel short on the right and at the bottom.
TEST(RasterShapes, RectanglePenFrameAndBrushStayInsideTheBounds) {
  constexpr int kNoPen = -1;
  constexpr COLORREF kNoBrush = kWhite;
  // clang-format off
  const struct { RECT r; int penWidth; COLORREF pen, brush; Box frame, inside; } cases[] = {
      {{4, 5, 20, 15}, 0, kBlack, kRed, {4, 5, 20, 15}, {5, 6, 19, 14}},
      {{20, 15, 4, 5}, 0, kBlack, kRed, {4, 5, 20, 15}, {5, 6, 19, 14}},
      {{5, 5, 20, 17}, 3, kBlue, kRed, {5, 5, 20, 17}, {8, 8, 17, 14}},
      {{2, 2, 10, 8}, 0, kBlack, kNoBrush, {2, 2, 10, 8}, {3, 3, 9, 7}},
      {{2, 2, 10, 8}, kNoPen, kBlack, kBlue, {}, {2, 2, 9, 7}},
      {{5, 5, 5, 12}, 0, kBlack, kRed, {}, {}}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "rectangle " << c.r.left << " " << c.r.top << " pen " << c.penWidth);
    Canvas canvas(30, 30);
    Selected pen(canvas.dc(), c.penWidth == kNoPen ? GetStockObject(NULL_PEN) : CreatePen(PS_SOLID, c.penWidth, c.pen));
    Selected brush(canvas.dc(), c.brush == kNoBrush ? GetStockObject(NULL_BRUSH) : CreateSolidBrush(c.brush));
    EXPECT_TRUE(Rectangle(canvas.dc(), c.r.left, c.r.top, c.r.right, c.r.bottom));
    ExpectPicture(canvas, [&](int x, int y) {
      return c.inside.Contains(x, y) ? c.brush : c.frame.Contains(x, y) ? c.pen : kWhite;
    });
  }
}

TEST(RasterShapes, SmallEllipseIsARoundDotInsideItsBox) {
  Canvas canvas(20, 20);
  Selected brush(canvas.dc(), CreateSolidBrush(kRed));
  EXPECT_TRUE(Ellipse(canvas.dc(), 8, 5, 12, 9));
  const char* expected[] = {".OO.", "OIIO", "OIIO", ".OO."};
  ExpectPicture(canvas, [&](int x, int y) {
    const char c = Box{8, 5, 12, 9}.Contains(x, y) ? expected[y - 5][x - 8] : '.';
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

// Cells repeat every 8 pixels from the brush origin; gaps take the background colour in OPAQUE
// mode and keep what was there in TRANSPARENT mode.
TEST(RasterShapes, HatchCellsFollowTheBrushOriginAndBackgroundMode) {
  // clang-format off
  const struct { int style; bool (*on)(int u, int v); } hatches[] = {
      {HS_HORIZONTAL, [](int, int v) { return v == 0; }}, {HS_VERTICAL, [](int u, int) { return u == 0; }},
      {HS_FDIAGONAL, [](int u, int v) { return u == v; }}, {HS_BDIAGONAL, [](int u, int v) { return u + v == 7; }},
      {HS_CROSS, [](int u, int v) { return u == 0 || v == 0; }},
      {HS_DIAGCROSS, [](int u, int v) { return u == v || u + v == 7; }}};
  // clang-format on
  for (const auto& hatch : hatches)
    for (const int mode : {OPAQUE, TRANSPARENT})
      for (const POINT origin : {POINT{0, 0}, POINT{3, 2}}) {
        SCOPED_TRACE(testing::Message() << "style " << hatch.style << " mode " << mode << " origin " << origin.x);
        Canvas canvas(24, 24, kRed, origin.x != 0);  // bottom-up rows too
        SetBkMode(canvas.dc(), mode);
        SetBkColor(canvas.dc(), kGreen);
        SetBrushOrgEx(canvas.dc(), origin.x, origin.y, nullptr);
        Selected pen(canvas.dc(), GetStockObject(NULL_PEN));
        Selected brush(canvas.dc(), CreateHatchBrush(hatch.style, kBlue));
        Rectangle(canvas.dc(), 1, 1, 22, 22);
        ExpectPicture(canvas, [&](int x, int y) {
          if (!Box{1, 1, 21, 21}.Contains(x, y)) return kRed;
          return hatch.on((x - origin.x) & 7, (y - origin.y) & 7) ? kBlue : mode == OPAQUE ? kGreen : kRed;
        });
      }
}

}  // namespace

// Text under a world transform: quarter-turned strings and the axis titles built from them.
#include "gdi_canvas.h"

#include <cmath>
#include <string>

using namespace gdi_test;

namespace {

constexpr float kQuarterTurn = 1.57075f;  // what the axis controls use, not an exact quarter turn

XFORM Turn(float angle) {
  return XFORM{std::cos(angle), -std::sin(angle), std::sin(angle), std::cos(angle), 0.0f, 0.0f};
}

// Pixels painted in the upper and lower halves of a box.
std::pair<int, int> Halves(const Canvas& canvas, const Box& box) {
  const int middle = (box.top + box.bottom) / 2;
  int upper = 0, lower = 0;
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x)
      if (canvas.At(x, y) != kWhite) (y < middle ? upper : lower) += 1;
  return {upper, lower};
}

TEST(GdiTextRotate, QuarterTurnedStringsRunUpOrDownFromTheirOrigin) {
  for (float angle : {kQuarterTurn, -kQuarterTurn}) {
    Canvas canvas(120, 200);
    canvas.UseFont("Arial", -14);
    SetBkMode(canvas.dc(), TRANSPARENT);
    const SIZE cell = canvas.Extent("WWW.......");
    ASSERT_EQ(SetGraphicsMode(canvas.dc(), GM_ADVANCED), GM_COMPATIBLE);
    XFORM xf = Turn(angle);
    ASSERT_TRUE(SetWorldTransform(canvas.dc(), &xf));
    ASSERT_TRUE(SetViewportOrgEx(canvas.dc(), 60, 100, nullptr));
    ASSERT_TRUE(TextOutA(canvas.dc(), 0, 0, "WWW.......", 10));
    canvas.ResetMapping();
    const Box box = canvas.Bounds();
    ASSERT_FALSE(box.Empty());
    EXPECT_GT(box.Height(), cell.cx * 3 / 4);
    EXPECT_LE(box.Width(), cell.cy);
    auto [upper, lower] = Halves(canvas, box);
    if (angle > 0) {
      // Reads upwards: the cell runs up from the origin, the glyph tops face left, 'W' is at the bottom.
      EXPECT_TRUE(Inside(box, 60, 100 - cell.cx - 1, 60 + cell.cy, 101));
      EXPECT_GT(lower, upper);
    } else {
      // Reads downwards: the cell runs down from the origin and lies left of it.
      EXPECT_TRUE(Inside(box, 60 - cell.cy, 99, 61, 100 + cell.cx + 1));
      EXPECT_GT(upper, lower);
    }
  }
}

TEST(GdiTextRotate, AWorldTranslationMovesTextByWholePixels) {
  Canvas plain(120, 60), moved(120, 60);
  for (Canvas* c : {&plain, &moved}) {
    c->UseFont("Arial", -14);
    SetBkMode(c->dc(), TRANSPARENT);
  }
  ASSERT_TRUE(TextOutA(plain.dc(), 17, 13, "Same", 4));
  SetGraphicsMode(moved.dc(), GM_ADVANCED);
  XFORM shift{1, 0, 0, 1, 7, 3};
  ASSERT_TRUE(SetWorldTransform(moved.dc(), &shift));
  ASSERT_TRUE(SetViewportOrgEx(moved.dc(), 5, 6, nullptr));
  ASSERT_TRUE(TextOutA(moved.dc(), 5, 4, "Same", 4));
  moved.ResetMapping();
  EXPECT_FALSE(plain.Bounds().Empty());
  EXPECT_EQ(moved.Picture(), plain.Picture());
}

// The title of a vertical axis, drawn the way the axis control draws it: measured in a rectangle
// of the turned proportions, then drawn through a quarter-turn transform and a moved viewport.
int DrawTitle(HDC dc, const char* title, bool leftAligned, int areaLeft, int areaRight, int top, int bottom) {
  const int w = areaRight - areaLeft, h = bottom - top;
  SetGraphicsMode(dc, GM_ADVANCED);
  XFORM saved{};
  EXPECT_TRUE(GetWorldTransform(dc, &saved));
  const XFORM xf = Turn(leftAligned ? -kQuarterTurn : kQuarterTurn);
  RECT measure =
      leftAligned ? RECT{areaLeft, top - w, areaLeft + h, top} : RECT{areaRight, bottom - w, areaRight + h, bottom};
  DrawTextA(dc, title, -1, &measure, 0x555);
  const int th = measure.bottom - measure.top;
  RECT text{0, -w, h, 0};
  if (th < w) text.top = -w + (w - th) / 2;
  EXPECT_TRUE(SetWorldTransform(dc, &xf));
  const int dx = leftAligned ? areaLeft : areaRight, dy = leftAligned ? top : bottom;
  EXPECT_TRUE(OffsetViewportOrgEx(dc, dx, dy, nullptr));
  DrawTextA(dc, title, -1, &text, 0x155);
  EXPECT_TRUE(OffsetViewportOrgEx(dc, -dx, -dy, nullptr));
  EXPECT_TRUE(SetWorldTransform(dc, &saved));
  return th;
}

TEST(GdiTextRotate, AxisTitlesAreCentredAlongTheStripAndReadTheRightWay) {
  for (bool leftAligned : {false, true}) {
    Canvas canvas(70, 210);
    canvas.UseFont("Arial", -9);
    SetBkMode(canvas.dc(), TRANSPARENT);
    const SIZE cell = canvas.Extent("W Axis (linegr)......");
    const int areaLeft = leftAligned ? 40 : 2, areaRight = leftAligned ? 68 : 30;
    const int th = DrawTitle(canvas.dc(), "W Axis (linegr)......", leftAligned, areaLeft, areaRight, 0, 210);
    EXPECT_EQ(th, cell.cy);
    const Box box = canvas.Bounds();
    ASSERT_FALSE(box.Empty());
    // Inside the area, as long as the text and as wide as one line, centred along the strip.
    EXPECT_TRUE(Inside(box, areaLeft, 0, areaRight, 210));
    EXPECT_NEAR(box.Height(), cell.cx, 3);
    EXPECT_LE(box.Width(), cell.cy);
    EXPECT_NEAR((box.top + box.bottom) / 2, 105, 3);
    // The line's cell is centred across the area.
    const int cellLeft = areaLeft + (areaRight - areaLeft - th) / 2;
    EXPECT_TRUE(Inside(box, cellLeft - 1, 0, cellLeft + th + 1, 210));
    auto [upper, lower] = Halves(canvas, box);
    if (leftAligned)
      EXPECT_GT(upper, lower);  // reads downwards: "W" at the top
    else
      EXPECT_GT(lower, upper);  // reads upwards: "W" at the bottom
  }
}

TEST(GdiTextRotate, WrappedTitlesStackTheirLinesAcrossTheStrip) {
  for (bool leftAligned : {false, true}) {
    Canvas canvas(70, 30);
    canvas.UseFont("Arial", -9);
    SetBkMode(canvas.dc(), TRANSPARENT);
    const TEXTMETRICA tm = canvas.Metrics();
    // The strip is 30 pixels long, so the title breaks into two lines.
    const int areaLeft = 10, areaRight = 60;
    const int th = DrawTitle(canvas.dc(), "Wide Wide", leftAligned, areaLeft, areaRight, 0, 30);
    ASSERT_EQ(th, 2 * tm.tmHeight);
    const Box box = canvas.Bounds();
    ASSERT_FALSE(box.Empty());
    EXPECT_GT(box.Width(), tm.tmHeight);
    const int blockLeft = areaLeft + (areaRight - areaLeft - th) / 2;
    EXPECT_TRUE(Inside(box, blockLeft - 1, 0, blockLeft + th + 1, 30));
  }
}

}  // namespace

// Text under a world transform: quarter-turned strings and the axis titles built from them.
#include "support/canvas.h"

#include <algorithm>
#include <cmath>

namespace {

using namespace kelmira::test;

constexpr float kQuarterTurn = 1.57075f;  // what the axis controls use, not an exact quarter turn

XFORM Turn(float angle) { return XFORM{std::cos(angle), -std::sin(angle), std::sin(angle), std::cos(angle), 0, 0}; }

// Painted pixels in the upper half of a box less those in the lower half.
int UpperMinusLower(const Canvas& canvas, const Box& box) {
  int balance = 0;
  for (const auto& [x, y] : canvas.Painted()) balance += y < (box.top + box.bottom) / 2 ? 1 : -1;
  return balance;
}

TEST(TextRotate, QuarterTurnedStringsRunUpOrDownFromTheirOrigin) {
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
    if (angle > 0) {
      // Reads upwards: the cell runs up from the origin and lies right of it, 'W' at the bottom.
      EXPECT_PRED2(Within, box, (Box{60, 100 - cell.cx - 1, 60 + cell.cy, 101}));
      EXPECT_LT(UpperMinusLower(canvas, box), 0);
    } else {
      // Reads downwards: the cell runs down from the origin and lies left of it, 'W' at the top.
      EXPECT_PRED2(Within, box, (Box{60 - cell.cy, 99, 61, 100 + cell.cx + 1}));
      EXPECT_GT(UpperMinusLower(canvas, box), 0);
    }
  }
}

// The title of a vertical axis, drawn the way the axis control draws it: measured in a rectangle
// of the turned proportions, then drawn through a quarter-turn transform and a moved viewport.
int DrawTitle(HDC dc, const char* title, bool leftAligned, int areaLeft, int areaRight, int top, int bottom) {
  const int w = areaRight - areaLeft, h = bottom - top;
  SetGraphicsMode(dc, GM_ADVANCED);
  const XFORM xf = Turn(leftAligned ? -kQuarterTurn : kQuarterTurn), identity{1, 0, 0, 1, 0, 0};
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
  EXPECT_TRUE(SetWorldTransform(dc, &identity));
  return th;
}

// A title lies in its strip, its lines' block centred across it; a one-line title is as long as
// the text, centred along the strip and reads the right way; a long one wraps into lines stacked
// across the strip.
TEST(TextRotate, AxisTitlesAreCentredInTheirStripAndReadTheRightWay) {
  for (const auto& [title, length, lines] : {std::tuple{"W Axis (linegr)......", 210, 1}, {"Wide Wide", 30, 2}})
    for (bool leftAligned : {false, true}) {
      SCOPED_TRACE(testing::Message() << title << (leftAligned ? " left" : " right"));
      Canvas canvas(70, length);
      canvas.UseFont("Arial", -9);
      SetBkMode(canvas.dc(), TRANSPARENT);
      const SIZE cell = canvas.Extent(title);
      const int areaLeft = leftAligned ? 40 : 2, areaRight = areaLeft + 28;
      const int th = DrawTitle(canvas.dc(), title, leftAligned, areaLeft, areaRight, 0, length);
      ASSERT_EQ(th, lines * cell.cy);
      const Box box = canvas.Bounds();
      ASSERT_FALSE(box.Empty());
      const int blockLeft = areaLeft + (areaRight - areaLeft - th) / 2;
      EXPECT_PRED2(Within, box,
                   (Box{std::max(areaLeft, blockLeft - 1), 0, std::min(areaRight, blockLeft + th + 1), length}));
      if (lines == 1) {
        EXPECT_NEAR(box.Height(), cell.cx, 3);
        EXPECT_NEAR((box.top + box.bottom) / 2, length / 2, 3);
        EXPECT_EQ(UpperMinusLower(canvas, box) > 0, leftAligned);  // left titles read downwards
      } else {
        EXPECT_GT(box.Width(), cell.cy);
      }
    }
}

}  // namespace

// The rubber band: each tool's shape at its pixels, drawn by inversion and removed exactly.
#include "support/mouse_window.h"

namespace kelmira::test {
namespace {

class BandTest : public MouseWindowTest {
 protected:
  // Arms `tool` without a command and AutoZoom off (nothing reported), presses at s and moves to c.
  Image DragTo(int tool, POINT s, POINT c) {
    routing_->SetAutoZoom(0);
    Arm(tool, u"");
    Mouse(WM_LBUTTONDOWN, s.x, s.y);
    Mouse(WM_MOUSEMOVE, c.x, c.y);
    return Snapshot();
  }
  COLORREF Before(int x, int y) const { return before_[y * kSize + x]; }
};

TEST_F(BandTest, ShapesCoverTheirPixelsSurviveAPaintAndAreRemovedExactly) {
  // The band shows the last position only. The rectangle dragged up and to the right; the X range
  // spans the full height, the Y range the full width; the lines follow the cursor.
  struct Case {
    int tool;
    POINT press, end;
    int left, top, right, bottom;
  } const cases[] = {{3, {10, 20}, {50, 5}, 10, 5, 50, 20},
                     {5, {60, 40}, {30, 10}, 30, 0, 60, 100},
                     {6, {60, 40}, {30, 10}, 0, 10, 100, 40},
                     {7, {20, 30}, {70, 60}, 70, 0, 71, 100},
                     {8, {20, 30}, {70, 60}, 0, 60, 100, 61}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tool);
    DragTo(c.tool, c.press, {25, 45});
    Mouse(WM_MOUSEMOVE, c.end.x, c.end.y);
    ExpectFrame(c.left, c.top, c.right, c.bottom);
    // A paint during the drag brings the band back over the fresh picture; arming again ends the
    // drag without a repaint, so only the inversion can restore the picture.
    const int paints = paints_;
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ExpectFrame(c.left, c.top, c.right, c.bottom);
    Arm(c.tool, u"");
    EXPECT_EQ(std::pair(paints_, Differences(before_, Snapshot())), std::pair(paints + 1, 0));
  }

  // The line starts at the press; the point marker sits at the cursor only.
  const Image line = DragTo(2, {10, 10}, {40, 25});
  EXPECT_EQ(std::pair(line[10 * kSize + 10], Differences(before_, line)), std::pair(~Before(10, 10) & 0xFFFFFF, 30));
  Arm(2, u"");
  EXPECT_EQ(Differences(before_, Snapshot()), 0);
  const Image point = DragTo(1, {10, 10}, {40, 25});
  ExpectInvertedExactly(before_, point, [&](int x, int y) {
    return x >= 38 && x <= 41 && y >= 23 && y <= 26 && point[y * kSize + x] != Before(x, y);
  });
  EXPECT_GT(Differences(before_, point), 0);
  Arm(1, u"");
  EXPECT_EQ(Differences(before_, Snapshot()), 0);

  // The ellipse stays inside the rectangle's bounds and leaves its corners alone.
  const Image circle = DragTo(4, {10, 10}, {50, 40});
  ExpectInvertedExactly(before_, circle, [&](int x, int y) {
    return x >= 10 && x < 50 && y >= 10 && y < 40 && circle[y * kSize + x] != Before(x, y);
  });
  EXPECT_EQ(std::pair(circle[10 * kSize + 10] == Before(10, 10), circle[10 * kSize + 30] == Before(30, 10)),
            std::pair(true, false));
  Arm(4, u"");
  EXPECT_EQ(Differences(before_, Snapshot()), 0);
}

// The brush comes from Fill each time the band is drawn; the hatch brush is made only when a drag
// begins with Fill on.
TEST_F(BandTest, FillIsReadEachTimeTheBandIsDrawn) {
  // The changed pixels from (from, from) to (58, 58), inside the band from (10, 10) to (60, 60):
  // each must be the fill colour drawn in NOTXOR.
  auto hatched = [&](const Image& image, int from) {
    int n = 0;
    for (int y = from; y < 59; ++y)
      for (int x = from; x < 59; ++x) {
        if (image[y * kSize + x] == Before(x, y)) continue;
        ++n;
        EXPECT_EQ(image[y * kSize + x], ~(0x0000FFu ^ Before(x, y)) & 0xFFFFFF) << x << "," << y;
      }
    return n;
  };
  manager_->put_Fill(VARIANT_TRUE);
  manager_->put_FillColor(0x000000FF);
  const Image filled = DragTo(3, {10, 10}, {60, 60});
  const int n = hatched(filled, 11);
  EXPECT_TRUE(n > 48 * 2 && n < 48 * 24) << n;  // a hatch, not a solid fill
  manager_->put_Fill(VARIANT_FALSE);            // the move removes only the outline: the old hatch stays
  Mouse(WM_MOUSEMOVE, 40, 40);
  EXPECT_EQ(hatched(Snapshot(), 41), hatched(filled, 41));
  Mouse(WM_LBUTTONUP, 40, 40);  // the repaint at the end clears it
  EXPECT_EQ(Differences(before_, Snapshot()), 0);

  Arm(3, u"");
  Mouse(WM_LBUTTONDOWN, 10, 10);
  manager_->put_Fill(VARIANT_TRUE);  // no hatch brush was made: the band stays hollow
  Mouse(WM_MOUSEMOVE, 60, 60);
  EXPECT_EQ(hatched(Snapshot(), 11), 0);
  Mouse(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(Differences(before_, Snapshot()), 0);
}

}  // namespace
}  // namespace kelmira::test

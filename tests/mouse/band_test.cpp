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
};

TEST_F(BandTest, EveryToolIsRemovedExactlyAndSurvivesAPaint) {
  for (int tool = 1; tool <= 8; ++tool) {
    SCOPED_TRACE(tool);
    Arm(tool, u"T");
    manager_->put_DragColor(0x00A05020 * static_cast<OLE_COLOR>(tool) & 0xFFFFFF);
    manager_->put_Fill(tool % 2 ? VARIANT_TRUE : VARIANT_FALSE);
    manager_->put_FillColor(0x000000FF);
    Mouse(WM_LBUTTONDOWN, 30, 40);
    Mouse(WM_MOUSEMOVE, 45, 52);
    Mouse(WM_MOUSEMOVE, 62, 71);
    const Image during = Snapshot();
    EXPECT_GT(Differences(before_, during), 0);

    // A paint during the drag brings the band back over the fresh picture.
    const int paints = paints_;
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(paints_, paints + 1);
    EXPECT_EQ(Differences(during, Snapshot()), 0);

    // Arming again ends the drag without a repaint: only the inversion can restore the picture.
    Arm(tool, u"T");
    EXPECT_EQ(Differences(before_, Snapshot()), 0);
    EXPECT_EQ(paints_, paints + 1);
    Mouse(WM_LBUTTONUP, 62, 71);
  }
  EXPECT_EQ(boxes_, 0);
}

TEST_F(BandTest, ShapesCoverTheirPixels) {
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
    Arm(c.tool, u"");
  }

  // The line starts at the press; the point marker sits at the cursor only.
  const auto at = [](const Image& image, int x, int y) { return image[y * kSize + x]; };
  const Image line = DragTo(2, {10, 10}, {40, 25});
  EXPECT_EQ(at(line, 10, 10), ~at(before_, 10, 10) & 0xFFFFFF);
  EXPECT_EQ(Differences(before_, line), 30);
  Arm(2, u"");
  const Image point = DragTo(1, {10, 10}, {40, 25});
  ExpectInvertedExactly(before_, point, [&](int x, int y) {
    return x >= 38 && x <= 41 && y >= 23 && y <= 26 && at(point, x, y) != at(before_, x, y);
  });
  EXPECT_GT(Differences(before_, point), 0);
  Arm(1, u"");

  // The ellipse stays inside the rectangle's bounds and leaves its corners alone.
  const Image circle = DragTo(4, {10, 10}, {50, 40});
  ExpectInvertedExactly(before_, circle, [&](int x, int y) {
    return x >= 10 && x < 50 && y >= 10 && y < 40 && at(circle, x, y) != at(before_, x, y);
  });
  EXPECT_EQ(at(circle, 10, 10), at(before_, 10, 10));
  EXPECT_NE(at(circle, 30, 10), at(before_, 30, 10));
  Arm(4, u"");
  EXPECT_EQ(Differences(before_, Snapshot()), 0);
}

TEST_F(BandTest, FillHatchesTheInsideInTheFillColour) {
  manager_->put_Fill(VARIANT_TRUE);
  manager_->put_FillColor(0x000000FF);
  const Image during = DragTo(3, {10, 10}, {60, 60});
  int hatched = 0, clear = 0;
  for (int y = 11; y < 59; ++y)
    for (int x = 11; x < 59; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * kSize + x);
      if (during[i] == before_[i]) {
        ++clear;
        continue;
      }
      ++hatched;
      EXPECT_EQ(during[i], ~(0x0000FFu ^ before_[i]) & 0xFFFFFF) << x << "," << y;
    }
  EXPECT_GT(hatched, 48 * 2);
  EXPECT_GT(clear, 48 * 24);
  Mouse(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(Differences(before_, Snapshot()), 0);
}

// The brush comes from Fill each time the band is drawn; the hatch brush is made only when a drag
// begins with Fill on.
TEST_F(BandTest, FillIsReadEachTimeTheBandIsDrawn) {
  auto changedIn = [&](const Image& image, int left, int top, int right, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = left; x < right; ++x) n += image[y * kSize + x] != before_[y * kSize + x];
    return n;
  };
  routing_->SetAutoZoom(0);
  Arm(3, u"");
  manager_->put_Fill(VARIANT_TRUE);
  Mouse(WM_LBUTTONDOWN, 10, 10);
  Mouse(WM_MOUSEMOVE, 60, 60);
  EXPECT_GT(changedIn(Snapshot(), 41, 41, 59, 59), 18 * 2);
  manager_->put_Fill(VARIANT_FALSE);  // the move removes only the outline: the old hatch stays
  Mouse(WM_MOUSEMOVE, 40, 40);
  EXPECT_GT(changedIn(Snapshot(), 41, 41, 59, 59), 18 * 2);
  Mouse(WM_LBUTTONUP, 40, 40);  // the repaint at the end clears it
  EXPECT_EQ(Differences(before_, Snapshot()), 0);

  Arm(3, u"");
  Mouse(WM_LBUTTONDOWN, 10, 10);
  manager_->put_Fill(VARIANT_TRUE);  // no hatch brush was made: the band stays hollow
  Mouse(WM_MOUSEMOVE, 60, 60);
  EXPECT_EQ(changedIn(Snapshot(), 11, 11, 59, 59), 0);
  Mouse(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(Differences(before_, Snapshot()), 0);
}

}  // namespace
}  // namespace kelmira::test

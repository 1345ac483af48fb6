// Drags from press to release: the report, the zoom, the drag record, capture and cursor.
#include "mouse_fixture.h"

#include <cstdio>

namespace kelmira::test {
namespace {

using Zooms = std::vector<ZoomCall>;
const std::tuple<OLE_COLOR, OLE_COLOR, VARIANT_BOOL> kCleared{0, 0, VARIANT_FALSE};

class DragTest : public MouseTest {
 protected:
  void ExpectMouseFree() {
    EXPECT_EQ(GetCapture(), nullptr);
    const RECT clip = Clip();
    EXPECT_EQ(std::tuple(clip.left, clip.top, clip.right, clip.bottom),
              std::tuple(0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)));
    EXPECT_EQ(CursorCount(), 0);
    EXPECT_FALSE(routing_->IsDragging());
  }
};

TEST_F(DragTest, ACommandDragReportsItsLogicalPointsAndClearsTheRecord) {
  Arm(3, u"Z");
  manager_->put_DragColor(0x000000FF);
  manager_->put_FillColor(0x0000FF00);
  manager_->put_Fill(VARIANT_TRUE);
  Mouse(WM_LBUTTONDOWN, 10, 20);
  Mouse(WM_MOUSEMOVE, 50, 5);
  // While dragging the mouse is held by the window, kept in its client area and hidden.
  EXPECT_TRUE(routing_->IsDragging());
  EXPECT_EQ(GetCapture(), hwnd_);
  const RECT clip = Clip();
  EXPECT_EQ(std::tuple(clip.left, clip.top, clip.right, clip.bottom),
            std::tuple(kLeft, kTop, kLeft + kSize, kTop + kSize));
  EXPECT_EQ(CursorCount(), -1);

  const int paints = paints_;
  Mouse(WM_LBUTTONUP, 50, 5);
  EXPECT_EQ(paints_, paints + 1);  // repainted at once
  EXPECT_EQ(box_.count, 1);
  EXPECT_EQ(box_.owner, hwnd_);
  EXPECT_EQ(box_.text, "Z: (10.000000,79.000000),(50.000000,94.000000)");
  EXPECT_EQ(box_.caption, "MouseInput command not found!");
  EXPECT_EQ(box_.type, MB_ICONHAND);
  EXPECT_TRUE(link_.zooms.empty());
  // AutoZoom is on: moves are reported, presses and releases are not.
  for (const MouseEventCall& e : link_.events) EXPECT_EQ(e.event, kEventMouseMove);
  ExpectMouseFree();
  EXPECT_EQ(Record(), kCleared);

  // The command went with the record: the next press zooms.
  Mouse(WM_LBUTTONDOWN, 20, 20);
  Mouse(WM_LBUTTONUP, 80, 70);
  EXPECT_EQ(box_.count, 1);
  EXPECT_EQ(link_.zooms, Zooms{RectangleZoom(kLeft + 20, kTop + 20, kLeft + 80, kTop + 70)});
}

TEST_F(DragTest, ArmingOverAnArmedToolClearsTheProperties) {
  manager_->put_DragColor(0x000000FF);
  Arm(2, u"A");
  EXPECT_EQ(std::get<0>(Record()), 0x000000FFu);  // set while idle: kept for the next drag
  Arm(2, u"B");
  EXPECT_EQ(Record(), kCleared);
  // The second command is the one reported.
  Mouse(WM_LBUTTONDOWN, 0, 99);
  Mouse(WM_LBUTTONUP, 99, 0);
  EXPECT_EQ(box_.text, "B: (0.000000,0.000000),(99.000000,99.000000)");
}

TEST_F(DragTest, ArmingDuringADragEndsItSilently) {
  const Image before = Snapshot();
  Arm(4, u"First");
  manager_->put_DragColor(0x00123456);
  Mouse(WM_LBUTTONDOWN, 10, 10);
  Mouse(WM_MOUSEMOVE, 40, 30);
  const int paints = paints_;
  Arm(5, u"Second");
  EXPECT_EQ(Differences(before, Snapshot()), 0);
  EXPECT_EQ(paints_, paints);
  ExpectMouseFree();
  EXPECT_EQ(Record(), kCleared);
  Mouse(WM_LBUTTONUP, 40, 30);
  EXPECT_EQ(box_.count, 0);
  EXPECT_TRUE(link_.zooms.empty());
  // The next press begins the newly armed drag.
  Mouse(WM_LBUTTONDOWN, 30, 50);
  EXPECT_TRUE(routing_->IsDragging());
  Mouse(WM_LBUTTONUP, 70, 50);
  EXPECT_EQ(box_.count, 1);
  EXPECT_EQ(box_.text, "Second: (30.000000,49.000000),(70.000000,49.000000)");
}

TEST_F(DragTest, AnEmptyCommandWithoutAutoZoomReportsNothing) {
  routing_->SetAutoZoom(0);
  const Image before = Snapshot();
  Arm(1, nullptr);
  Mouse(WM_LBUTTONDOWN, 50, 50);
  Mouse(WM_MOUSEMOVE, 60, 60);
  EXPECT_GT(Differences(before, Snapshot()), 0);
  Mouse(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(Differences(before, Snapshot()), 0);
  EXPECT_EQ(box_.count, 0);
  EXPECT_TRUE(link_.zooms.empty());
  ExpectMouseFree();
  // The armed press and the release that ends the drag raise no events; the move does.
  ASSERT_FALSE(link_.events.empty());
  for (const MouseEventCall& e : link_.events) EXPECT_EQ(e.event, kEventMouseMove);
  EXPECT_EQ(link_.events.back(), (MouseEventCall{kEventMouseMove, 0, kLeft + 60, kTop + 60}));
}

TEST_F(DragTest, LongCommandsAndHugeCoordinatesAreReportedWhole) {
  link_.xMin = 1e300, link_.xMax = 2e300, link_.yMin = -3e250, link_.yMax = 1e250;
  const std::u16string command(5000, u'C');
  Arm(2, command.c_str());
  Mouse(WM_LBUTTONDOWN, 0, 0);
  Mouse(WM_LBUTTONUP, 99, 99);
  std::vector<char> expected(40000);
  const double x1 = 1e300, y1 = (100 - 0 - 1) / (100 / 4e250) - 3e250;
  const double x2 = 99 / (100 / 1e300) + 1e300, y2 = 0 / (100 / 4e250) - 3e250;
  std::snprintf(expected.data(), expected.size(), "%s: (%f,%f),(%f,%f)", std::string(5000, 'C').c_str(), x1, y1, x2,
                y2);
  EXPECT_GT(box_.text.size(), 5000u + 300 + 300 + 250);
  EXPECT_EQ(box_.text, expected.data());
}

TEST_F(DragTest, DetachingEndsADragAndStopsTheRouting) {
  const Image before = Snapshot();
  Mouse(WM_LBUTTONDOWN, 20, 20);  // the zoom drag
  Mouse(WM_MOUSEMOVE, 70, 80);
  EXPECT_TRUE(routing_->IsDragging());
  routing_->DetachContainer();
  EXPECT_EQ(Differences(before, Snapshot()), 0);
  ExpectMouseFree();
  EXPECT_EQ(Send(WM_LBUTTONUP, 70, 80, 0, nullptr), S_FALSE);
  EXPECT_TRUE(link_.zooms.empty());
  EXPECT_EQ(manager_->DragLine(nullptr), S_OK);
}

}  // namespace
}  // namespace kelmira::test

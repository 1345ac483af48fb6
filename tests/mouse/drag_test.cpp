// Drags from press to release: the report, the zoom, the drag record, capture and cursor.
#include "support/mouse_window.h"

#include <sstream>
#include <tuple>

namespace kelmira::test {
namespace {

using Record = std::tuple<OLE_COLOR, OLE_COLOR, VARIANT_BOOL>;  // DragColor, FillColor, Fill
using Strings = std::vector<std::string>;
const Record kCleared{0, 0, VARIANT_FALSE};

class DragTest : public MouseWindowTest {
 protected:
  Record DragRecord() {
    OLE_COLOR drag = 1, fill = 1;
    VARIANT_BOOL filled = 1;
    EXPECT_EQ(manager_->get_DragColor(&drag) | manager_->get_FillColor(&fill) | manager_->get_Fill(&filled), S_OK);
    return {drag, fill, filled};
  }
  // The hold on the mouse: capture, the cursor's clip rectangle, its show count, the drag.
  std::string Hold() {
    RECT clip{};
    GetClipCursor(&clip);
    std::ostringstream s;
    s << (GetCapture() == hwnd_ ? "captured " : "") << clip.left << " " << clip.top << " " << clip.right << " "
      << clip.bottom << " cursor " << ShowCursor(TRUE) - 1 << (routing_->IsDragging() ? " dragging" : "");
    ShowCursor(FALSE);
    return s.str();
  }
  const std::string free_ = "0 0 " + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + " " +
                            std::to_string(GetSystemMetrics(SM_CYSCREEN)) + " cursor 0";
};

TEST_F(DragTest, ACommandDragReportsItsLogicalPointsAndClearsTheRecord) {
  EXPECT_EQ(DragRecord(), kCleared);  // as a manager starts
  Arm(3, u"Z");
  manager_->put_DragColor(0x000000FF);
  manager_->put_FillColor(0x0000FF00);
  manager_->put_Fill(VARIANT_TRUE);
  Mouse(WM_LBUTTONDOWN, 10, 20);
  Mouse(WM_MOUSEMOVE, 50, 5);
  // While dragging the mouse is held by the window, kept in its client area and hidden.
  EXPECT_EQ(Hold(), "captured 200 150 300 250 cursor -1 dragging");

  const int paints = paints_;
  Mouse(WM_LBUTTONUP, 50, 5);
  EXPECT_EQ(paints_, paints + 1);  // repainted at once
  EXPECT_EQ(boxes_, (decltype(boxes_){{hwnd_, "Z: (10.000000,79.000000),(50.000000,94.000000)",
                                       "MouseInput command not found!", UINT{MB_ICONHAND}}}));
  // AutoZoom is on: moves are reported, presses and releases are not.
  for (const MouseEventCall& e : link_.events) EXPECT_EQ(e.event, kEventMouseMove);
  EXPECT_EQ(std::tuple(Hold(), DragRecord(), link_.zooms), std::tuple(free_, kCleared, Strings{}));

  // The command went with the record: the next press zooms.
  Mouse(WM_LBUTTONDOWN, 20, 20);
  Mouse(WM_LBUTTONUP, 80, 70);
  EXPECT_EQ(std::pair(boxes_.size(), link_.zooms), std::pair(size_t{1}, Strings{"rectangle 220 170 280 220"}));
}

TEST_F(DragTest, ArmingOverAnArmedToolOrDuringADragClearsTheRecordSilently) {
  manager_->put_DragColor(0x000000FF);
  Arm(2, u"A");
  EXPECT_EQ(std::get<0>(DragRecord()), 0x000000FFu);  // set while idle: kept for the next drag
  Arm(4, u"B");
  EXPECT_EQ(DragRecord(), kCleared);
  manager_->put_DragColor(0x00123456);
  Mouse(WM_LBUTTONDOWN, 10, 10);
  Mouse(WM_MOUSEMOVE, 40, 30);
  Arm(5, u"C");
  EXPECT_EQ(std::tuple(Hold(), DragRecord()), std::tuple(free_, kCleared));
  Mouse(WM_LBUTTONUP, 40, 30);
  EXPECT_EQ(std::pair(boxes_.size(), link_.zooms), std::pair(size_t{0}, Strings{}));
  // The next press begins the newly armed drag.
  Mouse(WM_LBUTTONDOWN, 30, 50);
  EXPECT_TRUE(routing_->IsDragging());
  Mouse(WM_LBUTTONUP, 70, 50);
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(std::get<1>(boxes_[0]), "C: (30.000000,49.000000),(70.000000,49.000000)");
}

TEST_F(DragTest, AnEmptyCommandWithoutAutoZoomReportsNothingAndDetachingEndsADrag) {
  routing_->SetAutoZoom(0);
  Arm(1, nullptr);
  Mouse(WM_LBUTTONDOWN, 50, 50);
  Mouse(WM_MOUSEMOVE, 60, 60);
  Mouse(WM_LBUTTONUP, 60, 60);
  // The armed press and the release that ends the drag raise no events; the moves do.
  ASSERT_FALSE(link_.events.empty());
  for (const MouseEventCall& e : link_.events) EXPECT_EQ(e.event, kEventMouseMove);
  EXPECT_EQ(std::tuple(boxes_.size(), link_.zooms, Hold(), link_.events.back()),
            std::tuple(size_t{0}, Strings{}, free_, MouseEventCall{kEventMouseMove, 0, kLeft + 60, kTop + 60}));

  // Detaching removes the band, gives the mouse back and stops the routing.
  routing_->SetAutoZoom(1);
  Mouse(WM_LBUTTONDOWN, 20, 20);  // the zoom drag
  Mouse(WM_MOUSEMOVE, 70, 80);
  EXPECT_TRUE(routing_->IsDragging());
  routing_->DetachContainer();
  EXPECT_EQ(Send(WM_LBUTTONUP, 70, 80), std::nullopt);
  EXPECT_EQ(std::tuple(Differences(before_, Snapshot()), Hold(), link_.zooms), std::tuple(0, free_, Strings{}));
  // Detached, it still takes every call; its event source takes sinks but has no members to raise.
  EXPECT_EQ(manager_->DragLine(nullptr), S_OK);
  ComPtr<IConnectionPoint> point;
  EXPECT_EQ(manager_.As<IConnectionPointContainer>()->FindConnectionPoint(DIID__IMouseInputManagerEvents, &point),
            S_OK);
}

TEST_F(DragTest, LongCommandsAndHugeCoordinatesAreReportedWhole) {
  link_.xMin = 1e300, link_.xMax = 2e300, link_.yMin = -3e250, link_.yMax = 1e250;
  Arm(2, std::u16string(5000, u'C').c_str());
  Mouse(WM_LBUTTONDOWN, 0, 0);
  Mouse(WM_LBUTTONUP, 99, 99);
  const double y1 = (100 - 0 - 1) / (100 / 4e250) - 3e250, x2 = 99 / (100 / 1e300) + 1e300;
  const std::string expected = std::string(5000, 'C') + ": (" + std::to_string(1e300) + "," + std::to_string(y1) +
                               "),(" + std::to_string(x2) + "," + std::to_string(-3e250) + ")";  // as %f prints them
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(std::get<1>(boxes_[0]), expected);
}

}  // namespace
}  // namespace kelmira::test

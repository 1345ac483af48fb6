// The container's mouse messages in both AutoZoom modes, as the fake container sees them.
#include "support/mouse_window.h"

#include <tuple>

namespace kelmira::test {
namespace {

using Events = std::vector<MouseEventCall>;
using Zooms = std::vector<std::string>;

class MessageTableTest : public MouseWindowTest {
 protected:
  // The events other than moves, taken away.
  Events TakeButtonEvents() {
    Events out;
    for (const MouseEventCall& e : link_.events)
      if (e.event != kEventMouseMove) out.push_back(e);
    link_.events.clear();
    return out;
  }
  // Press, release, press again soon enough for a double click, release.
  void DoubleClick(UINT down, UINT up, int x, int y) {
    Mouse(down, x, y);
    Mouse(up, x, y, 10);
    Mouse(down, x, y, 10);
    Mouse(up, x, y, 10);
  }
};

TEST_F(MessageTableTest, WithoutAutoZoomButtonsBecomeEventsInScreenCoordinates) {
  routing_->SetAutoZoom(0);
  const LONG sx = kLeft + 10, sy = kTop + 20;
  for (auto [button, down, up] : {std::tuple{0, WM_LBUTTONDOWN, WM_LBUTTONUP}, {1, WM_RBUTTONDOWN, WM_RBUTTONUP}}) {
    DoubleClick(down, up, 10, 20);
    EXPECT_EQ(TakeButtonEvents(), (Events{{kEventMouseDown, button, sx, sy},
                                          {kEventMouseUp, button, sx, sy},
                                          {kEventMouseDblClick, button, sx, sy},
                                          {kEventMouseUp, button, sx, sy}}));
  }
  EXPECT_EQ(std::pair(link_.zooms, routing_->IsDragging()), std::pair(Zooms{}, false));
  // Positions are signed 16-bit client coordinates.
  EXPECT_EQ(Send(WM_LBUTTONDOWN, -5, -3), 0);
  EXPECT_EQ(TakeButtonEvents(), (Events{{kEventMouseDown, 0, kLeft - 5, kTop - 3}}));
}

TEST_F(MessageTableTest, MovesNameTheRightThenTheMiddleButtonAndExtraButtonsZoom) {
  for (LONG autoZoom : {0, 1}) {
    routing_->SetAutoZoom(autoZoom);
    link_.events.clear();
    link_.zooms.clear();
    EXPECT_EQ(Send(WM_MOUSEMOVE, 5, 6, MK_RBUTTON | MK_MBUTTON | MK_LBUTTON), 0);
    Send(WM_MOUSEMOVE, 5, 7, MK_MBUTTON | MK_LBUTTON);
    Send(WM_MOUSEMOVE, 5, 8, MK_LBUTTON | MK_XBUTTON1);
    EXPECT_EQ(link_.events, (Events{{kEventMouseMove, 1, kLeft + 5, kTop + 6},
                                    {kEventMouseMove, 2, kLeft + 5, kTop + 7},
                                    {kEventMouseMove, 0, kLeft + 5, kTop + 8}}));
    // The extra buttons zoom in about the point and back to the extents, in both modes.
    EXPECT_EQ(Send(WM_XBUTTONDOWN, 25, 50, MAKEWPARAM(0, XBUTTON1)), 1);
    EXPECT_EQ(Send(WM_XBUTTONDBLCLK, 25, 50, MAKEWPARAM(0, XBUTTON2)), 1);
    EXPECT_EQ(link_.zooms, (Zooms{"factor 2 about 25 49", "extents"}));
    for (UINT msg : {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_XBUTTONUP, WM_MOUSEWHEEL, WM_KEYDOWN,
                     WM_SETCURSOR, WM_CAPTURECHANGED})
      EXPECT_EQ(Send(msg, 1, 1), std::nullopt) << msg;
    EXPECT_EQ(link_.events.size(), 3u);
  }
}

TEST_F(MessageTableTest, WithAutoZoomTheLeftButtonDragsAndClicksZoom) {
  Mouse(WM_LBUTTONDOWN, 10, 20);
  Mouse(WM_MOUSEMOVE, 60, 70);
  EXPECT_TRUE(routing_->IsDragging());
  ExpectFrame(10, 20, 60, 70);
  Send(WM_LBUTTONDOWN, 30, 30, MK_LBUTTON);  // ignored while dragging
  Mouse(WM_LBUTTONUP, 60, 70);
  // A double click: the first click zooms as a drag of no size, the second about the point.
  DoubleClick(WM_LBUTTONDOWN, WM_LBUTTONUP, 30, 40);
  EXPECT_FALSE(routing_->IsDragging());
  // The right button zooms out about the centre; its release does nothing.
  EXPECT_EQ(Send(WM_RBUTTONDOWN, 1, 2), 0);
  for (UINT msg : {WM_RBUTTONUP, WM_RBUTTONDBLCLK, WM_LBUTTONUP}) EXPECT_TRUE(Send(msg, 1, 2)) << msg;
  EXPECT_EQ(std::pair(link_.zooms, TakeButtonEvents()),
            std::pair(Zooms{"rectangle 210 170 260 220", "rectangle 230 190 230 190", "factor 2 about 30 59",
                            "factor 0.5", "factor 0.5"},
                      Events{}));
}

TEST_F(MessageTableTest, TheZoomDragIsAnXRangeWhenYMustStayAndOverridesAnEmptyArming) {
  link_.keepsY = true;
  Mouse(WM_LBUTTONDOWN, 30, 40);
  Mouse(WM_MOUSEMOVE, 60, 45);
  ExpectFrame(30, 0, 60, 100);
  Mouse(WM_LBUTTONUP, 60, 45);
  link_.keepsY = false;
  // Armed without a command: the press still makes a black zoom rectangle, whatever was armed.
  Arm(7, u"");
  manager_->put_DragColor(0x000000FF);
  manager_->put_FillColor(0x0000FF00);
  Mouse(WM_LBUTTONDOWN, 10, 10);
  Mouse(WM_MOUSEMOVE, 20, 30);
  ExpectFrame(10, 10, 20, 30);
  Mouse(WM_LBUTTONUP, 20, 30);
  EXPECT_EQ(std::pair(link_.zooms.size(), boxes_.size()), std::pair(size_t{2}, size_t{0}));
}

}  // namespace
}  // namespace kelmira::test

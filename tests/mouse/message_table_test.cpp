// The container's mouse messages in both AutoZoom modes, as the fake container sees them.
#include "mouse_fixture.h"

namespace kelmira::test {
namespace {

class MessageTableTest : public MouseTest {
 protected:
  // The events other than moves, taken away.
  std::vector<EventCall> TakeButtonEvents() {
    std::vector<EventCall> out;
    for (const EventCall& e : link_.events)
      if (e.event != kEventMouseMove) out.push_back(e);
    link_.events.clear();
    return out;
  }
  using Events = std::vector<EventCall>;
};

TEST_F(MessageTableTest, WithoutAutoZoomButtonsBecomeEventsInScreenCoordinates) {
  routing_->SetAutoZoom(0);
  const LONG sx = kLeft + 10, sy = kTop + 20;
  Mouse(WM_LBUTTONDOWN, 10, 20);
  Mouse(WM_LBUTTONUP, 10, 20, 0, 10);
  Mouse(WM_LBUTTONDOWN, 10, 20, 0, 10);  // pairs into a double click
  Mouse(WM_LBUTTONUP, 10, 20, 0, 10);
  EXPECT_EQ(TakeButtonEvents(), (Events{{kEventMouseDown, 0, sx, sy},
                                        {kEventMouseUp, 0, sx, sy},
                                        {kEventMouseDblClick, 0, sx, sy},
                                        {kEventMouseUp, 0, sx, sy}}));
  Mouse(WM_RBUTTONDOWN, 10, 20);
  Mouse(WM_RBUTTONUP, 10, 20, 0, 10);
  Mouse(WM_RBUTTONDOWN, 10, 20, 0, 10);
  Mouse(WM_RBUTTONUP, 10, 20, 0, 10);
  EXPECT_EQ(TakeButtonEvents(), (Events{{kEventMouseDown, 1, sx, sy},
                                        {kEventMouseUp, 1, sx, sy},
                                        {kEventMouseDblClick, 1, sx, sy},
                                        {kEventMouseUp, 1, sx, sy}}));
  EXPECT_TRUE(link_.zooms.empty());
  EXPECT_FALSE(routing_->IsDragging());

  // Positions are signed 16-bit client coordinates.
  LRESULT result = 9;
  EXPECT_EQ(Send(WM_LBUTTONDOWN, -5, -3, 0, &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(TakeButtonEvents(), (Events{{kEventMouseDown, 0, kLeft - 5, kTop - 3}}));
}

TEST_F(MessageTableTest, MovesNameTheRightThenTheMiddleButton) {
  for (LONG autoZoom : {0, 1}) {
    routing_->SetAutoZoom(autoZoom);
    link_.events.clear();
    LRESULT result = 9;
    EXPECT_EQ(Send(WM_MOUSEMOVE, 5, 6, MK_RBUTTON | MK_MBUTTON | MK_LBUTTON, &result), S_OK);
    EXPECT_EQ(result, 0);
    Send(WM_MOUSEMOVE, 5, 7, MK_MBUTTON | MK_LBUTTON, nullptr);
    Send(WM_MOUSEMOVE, 5, 8, MK_LBUTTON | MK_XBUTTON1, nullptr);
    EXPECT_EQ(link_.events, (Events{{kEventMouseMove, 1, kLeft + 5, kTop + 6},
                                    {kEventMouseMove, 2, kLeft + 5, kTop + 7},
                                    {kEventMouseMove, 0, kLeft + 5, kTop + 8}}));
  }
}

TEST_F(MessageTableTest, ExtraButtonsZoomInBothModesAndOtherMessagesAreLeftAlone) {
  for (LONG autoZoom : {0, 1}) {
    routing_->SetAutoZoom(autoZoom);
    link_.zooms.clear();
    LRESULT result = 0;
    EXPECT_EQ(Send(WM_XBUTTONDOWN, 25, 50, MAKEWPARAM(0, XBUTTON1), &result), S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(Send(WM_XBUTTONDBLCLK, 25, 50, MAKEWPARAM(0, XBUTTON2), &result), S_OK);
    EXPECT_EQ(result, 1);
    ASSERT_EQ(link_.zooms.size(), 2u);
    EXPECT_EQ(link_.zooms[0].kind, ZoomCall::Factor);
    EXPECT_EQ(link_.zooms[0].factor, 2.0);
    EXPECT_TRUE(link_.zooms[0].hasCentre);
    EXPECT_EQ(link_.zooms[0].cx, 25.0);
    EXPECT_EQ(link_.zooms[0].cy, 49.0);
    EXPECT_EQ(link_.zooms[1].kind, ZoomCall::Extents);
    for (UINT msg : {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK, WM_XBUTTONUP, WM_MOUSEWHEEL, WM_KEYDOWN,
                     WM_SETCURSOR, WM_CAPTURECHANGED})
      EXPECT_EQ(Send(msg, 1, 1, 0, nullptr), S_FALSE) << msg;
  }
  EXPECT_TRUE(link_.events.empty());
  EXPECT_EQ(link_.zooms.size(), 2u);
}

TEST_F(MessageTableTest, WithAutoZoomTheLeftButtonDragsAndClicksZoom) {
  const Image before = Snapshot();
  Mouse(WM_LBUTTONDOWN, 10, 20);
  Mouse(WM_MOUSEMOVE, 60, 70);
  EXPECT_TRUE(routing_->IsDragging());
  ExpectInvertedExactly(before, Snapshot(), [](int x, int y) {
    return x >= 10 && x < 60 && y >= 20 && y < 70 && (x == 10 || x == 59 || y == 20 || y == 69);
  });
  Send(WM_LBUTTONDOWN, 30, 30, MK_LBUTTON, nullptr);  // ignored while dragging
  Mouse(WM_LBUTTONUP, 60, 70);
  EXPECT_TRUE(TakeButtonEvents().empty());
  ASSERT_EQ(link_.zooms.size(), 1u);
  EXPECT_EQ(link_.zooms[0].kind, ZoomCall::Rectangle);
  EXPECT_EQ(link_.zooms[0].x1, kLeft + 10);
  EXPECT_EQ(link_.zooms[0].y1, kTop + 20);
  EXPECT_EQ(link_.zooms[0].x2, kLeft + 60);
  EXPECT_EQ(link_.zooms[0].y2, kTop + 70);

  // A double click: the first click zooms as a drag of no size, the second about the point.
  link_.zooms.clear();
  Mouse(WM_LBUTTONDOWN, 30, 40);
  Mouse(WM_LBUTTONUP, 30, 40, 0, 10);
  Mouse(WM_LBUTTONDOWN, 30, 40, 0, 10);
  Mouse(WM_LBUTTONUP, 30, 40, 0, 10);
  ASSERT_EQ(link_.zooms.size(), 2u);
  EXPECT_EQ(link_.zooms[0].kind, ZoomCall::Rectangle);
  EXPECT_EQ(link_.zooms[0].x1, link_.zooms[0].x2);
  EXPECT_EQ(link_.zooms[1].kind, ZoomCall::Factor);
  EXPECT_EQ(link_.zooms[1].factor, 2.0);
  EXPECT_EQ(link_.zooms[1].cx, 30.0);
  EXPECT_EQ(link_.zooms[1].cy, 59.0);
  EXPECT_FALSE(routing_->IsDragging());

  // The right button zooms out about the centre; its release does nothing.
  link_.zooms.clear();
  LRESULT result = 5;
  EXPECT_EQ(Send(WM_RBUTTONDOWN, 1, 2, 0, &result), S_OK);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Send(WM_RBUTTONUP, 1, 2, 0, &result), S_OK);
  EXPECT_EQ(Send(WM_RBUTTONDBLCLK, 1, 2, 0, &result), S_OK);
  EXPECT_EQ(Send(WM_LBUTTONUP, 1, 2, 0, &result), S_OK);
  ASSERT_EQ(link_.zooms.size(), 2u);
  for (const ZoomCall& z : link_.zooms) {
    EXPECT_EQ(z.kind, ZoomCall::Factor);
    EXPECT_EQ(z.factor, 0.5);
    EXPECT_FALSE(z.hasCentre);
  }
  EXPECT_TRUE(TakeButtonEvents().empty());
}

TEST_F(MessageTableTest, TheZoomDragIsAnXRangeWhenYMustStayAndOverridesAnEmptyArming) {
  const Image before = Snapshot();
  link_.keepsY = true;
  Mouse(WM_LBUTTONDOWN, 30, 40);
  Mouse(WM_MOUSEMOVE, 60, 45);
  ExpectInvertedExactly(before, Snapshot(), [](int x, int y) {
    return x >= 30 && x < 60 && (x == 30 || x == 59 || y == 0 || y == 99);
  });
  Mouse(WM_LBUTTONUP, 60, 45);
  link_.keepsY = false;

  // Armed without a command: the press still makes a black zoom rectangle, whatever was armed.
  Arm(7, u"");
  manager_->put_DragColor(0x000000FF);
  manager_->put_FillColor(0x0000FF00);
  Mouse(WM_LBUTTONDOWN, 10, 10);
  Mouse(WM_MOUSEMOVE, 20, 30);
  ExpectInvertedExactly(before, Snapshot(), [](int x, int y) {
    return x >= 10 && x < 20 && y >= 10 && y < 30 && (x == 10 || x == 19 || y == 10 || y == 29);
  });
  Mouse(WM_LBUTTONUP, 20, 30);
  EXPECT_EQ(link_.zooms.size(), 2u);
  EXPECT_EQ(box_.count, 0);
}

}  // namespace
}  // namespace kelmira::test

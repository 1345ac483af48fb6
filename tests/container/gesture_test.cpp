// Mouse gestures through injected input: zooming with AutoZoom on, mouse events with it off.
// The container is 200 x 100 pixels with its client origin at screen (100, 50); with limits
// 0..100 a client point (x, y) is the logical point (x / 2, 99 - y).
#include "container/container_test_support.h"

#include <gtest/gtest.h>

using kelmira::Bstr;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kInvertedRed = RGB(0, 255, 255);

struct Four {
  double xMin, xMax, yMin, yMax;
};

class GestureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(hosted.window, nullptr);
    sink = Connect(hosted.container.get());
  }

  // Injects one event at a client point and lets it arrive.
  void Inject(UINT message, int x, int y, WPARAM keys = 0) {
    ASSERT_TRUE(KelmiraInjectMouse(message, kFrameX + x, kFrameY + y, keys));
    PumpMessages();
  }
  void Drag(int x1, int y1, int x2, int y2) {
    Inject(WM_LBUTTONDOWN, x1, y1, MK_LBUTTON);
    Inject(WM_MOUSEMOVE, x2, y2, MK_LBUTTON);
    Inject(WM_LBUTTONUP, x2, y2);
  }
  Four Limits() {
    Four f{};
    hosted.container->GetLimits(&f.xMin, &f.xMax, &f.yMin, &f.yMax);
    return f;
  }
  // The view events only, without the mouse events.
  std::vector<DISPID> ViewEvents() {
    std::vector<DISPID> ids;
    for (DISPID id : sink->Ids())
      if (id != kOnMouseEvent) ids.push_back(id);
    return ids;
  }

  HostedContainer hosted{200, 100};
  kelmira::ComPtr<kelmira::Object<EventSink>> sink;
};

TEST_F(GestureTest, AClickZoomsInByTwoAboutThePressedPoint) {
  Inject(WM_LBUTTONDOWN, 100, 49, MK_LBUTTON);  // logical (50, 50)
  Inject(WM_LBUTTONUP, 100, 49);
  Four l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 25.0);
  EXPECT_DOUBLE_EQ(l.xMax, 75.0);
  EXPECT_DOUBLE_EQ(l.yMin, 25.0);
  EXPECT_DOUBLE_EQ(l.yMax, 75.0);
  EXPECT_EQ(ViewEvents(), (std::vector<DISPID>{kOnViewChanged, kOnUserZoom}));
  EXPECT_EQ(sink->CountOf(kOnMouseEvent), 0);  // presses and releases raise nothing in this mode
}

TEST_F(GestureTest, FourPixelsAreAClickAndFiveARectangle) {
  Drag(100, 49, 104, 53);
  Four l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 25.0);
  EXPECT_DOUBLE_EQ(l.yMax, 75.0);

  hosted.container->SetLimits(0, 100, 0, 100);
  Drag(100, 30, 105, 30);
  l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 50.0);
  EXPECT_DOUBLE_EQ(l.xMax, 52.5);
  EXPECT_DOUBLE_EQ(l.yMin, 69.0);  // one row: the minimum height
  EXPECT_DOUBLE_EQ(l.yMax, 69.001);
}

TEST_F(GestureTest, ADragZoomsToTheRectangleWhicheverWayItGoes) {
  Drag(20, 19, 120, 69);
  Four forward = Limits();
  EXPECT_DOUBLE_EQ(forward.xMin, 10.0);
  EXPECT_DOUBLE_EQ(forward.xMax, 60.0);
  EXPECT_DOUBLE_EQ(forward.yMin, 30.0);
  EXPECT_DOUBLE_EQ(forward.yMax, 80.0);
  EXPECT_EQ(ViewEvents(), (std::vector<DISPID>{kOnViewChanged, kOnUserZoom}));

  hosted.container->SetLimits(0, 100, 0, 100);
  Drag(120, 69, 20, 19);
  Four backward = Limits();
  EXPECT_DOUBLE_EQ(backward.xMin, 10.0);
  EXPECT_DOUBLE_EQ(backward.xMax, 60.0);
  EXPECT_DOUBLE_EQ(backward.yMin, 30.0);
  EXPECT_DOUBLE_EQ(backward.yMax, 80.0);
}

TEST_F(GestureTest, RightPressZoomsOutAndStillReportsAtTheExtents) {
  hosted.container->SetLimits(25, 75, 25, 75);
  sink->Clear();
  Inject(WM_RBUTTONDOWN, 10, 10, MK_RBUTTON);
  Inject(WM_RBUTTONUP, 10, 10);
  Four l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 0.0);
  EXPECT_DOUBLE_EQ(l.xMax, 100.0);
  EXPECT_DOUBLE_EQ(l.yMax, 100.0);
  EXPECT_EQ(ViewEvents(), (std::vector<DISPID>{kOnViewChanged, kOnUserZoom}));

  sink->Clear();
  Inject(WM_RBUTTONDOWN, 150, 70, MK_RBUTTON);
  Inject(WM_RBUTTONUP, 150, 70);
  l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 0.0);
  EXPECT_DOUBLE_EQ(l.xMax, 100.0);
  EXPECT_EQ(ViewEvents(), (std::vector<DISPID>{kOnViewChanged, kOnUserZoom}));
}

TEST_F(GestureTest, KeepingYMakesTheBandAnXRangeAndLeavesTheVerticalLimits) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  hosted.container->AddLayer(Bstr(u"Right").get(), nullptr, &ok);
  hosted.container->SetLayerRightYAxis(IndexOf(0), VARIANT_TRUE);
  hosted.container->Redraw();
  PumpMessages();
  ASSERT_EQ(hosted.Pixel(20, 5), kRed);

  Inject(WM_LBUTTONDOWN, 20, 40, MK_LBUTTON);
  Inject(WM_MOUSEMOVE, 60, 60, MK_LBUTTON);
  EXPECT_EQ(hosted.Pixel(20, 5), kInvertedRed);  // the band runs over the full height
  EXPECT_EQ(hosted.Pixel(20, 99), kInvertedRed);
  Inject(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(hosted.Pixel(20, 5), kRed);
  Four l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 10.0);
  EXPECT_DOUBLE_EQ(l.xMax, 30.0);
  EXPECT_DOUBLE_EQ(l.yMin, 0.0);
  EXPECT_DOUBLE_EQ(l.yMax, 100.0);

  // AllowYZoom FALSE does the same, also for a click.
  hosted.container->SetLayerRightYAxis(IndexOf(0), VARIANT_FALSE);
  hosted.container->put_AllowYZoom(VARIANT_FALSE);
  hosted.container->SetLimits(0, 100, 0, 100);
  Inject(WM_LBUTTONDOWN, 100, 20, MK_LBUTTON);
  Inject(WM_LBUTTONUP, 100, 20);
  l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 25.0);
  EXPECT_DOUBLE_EQ(l.xMax, 75.0);
  EXPECT_DOUBLE_EQ(l.yMin, 0.0);
  EXPECT_DOUBLE_EQ(l.yMax, 100.0);

  // With both allowed again the zoom band is a rectangle: above it nothing is inverted.
  hosted.container->put_AllowYZoom(VARIANT_TRUE);
  Inject(WM_LBUTTONDOWN, 20, 40, MK_LBUTTON);
  Inject(WM_MOUSEMOVE, 60, 60, MK_LBUTTON);
  EXPECT_EQ(hosted.Pixel(20, 5), kRed);
  EXPECT_EQ(hosted.Pixel(20, 50), kInvertedRed);
  Inject(WM_LBUTTONUP, 60, 60);
}

TEST_F(GestureTest, TheSecondExtraButtonShowsTheExtentsInBothModes) {
  const WPARAM second = static_cast<WPARAM>(XBUTTON2) << 16;
  hosted.container->SetLimits(10, 20, 30, 40);
  sink->Clear();
  Inject(WM_XBUTTONDOWN, 50, 50, second);
  Four l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 0.0);
  EXPECT_DOUBLE_EQ(l.xMax, 100.0);
  EXPECT_DOUBLE_EQ(l.yMin, 0.0);
  EXPECT_EQ(ViewEvents(), (std::vector<DISPID>{kOnViewChanged, kOnUserZoom}));

  hosted.container->put_AutoZoom(VARIANT_FALSE);
  hosted.container->SetLimits(10, 20, 30, 40);
  Inject(WM_XBUTTONDOWN, 120, 60, second);
  l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 0.0);
  EXPECT_DOUBLE_EQ(l.yMax, 100.0);
}

TEST_F(GestureTest, WithoutAutoZoomPressesBecomeEventsAndNothingZooms) {
  hosted.container->put_AutoZoom(VARIANT_FALSE);
  Inject(WM_LBUTTONDOWN, 30, 40, MK_LBUTTON);
  Inject(WM_LBUTTONUP, 30, 40);
  ASSERT_EQ(sink->events.size(), 2u);
  EXPECT_EQ(sink->events[0].first, kOnMouseEvent);
  EXPECT_EQ(sink->events[0].second, (std::vector<LONG>{kEventMouseDown, 0, kFrameX + 30, kFrameY + 40}));
  EXPECT_EQ(sink->events[1].second, (std::vector<LONG>{kEventMouseUp, 0, kFrameX + 30, kFrameY + 40}));
  Four l = Limits();
  EXPECT_EQ(l.xMin, 0.0);
  EXPECT_EQ(l.xMax, 100.0);

  sink->Clear();
  Inject(WM_RBUTTONDOWN, 70, 10, MK_RBUTTON);
  Inject(WM_RBUTTONUP, 70, 10);
  ASSERT_EQ(sink->events.size(), 2u);
  EXPECT_EQ(sink->events[0].second, (std::vector<LONG>{kEventMouseDown, 1, kFrameX + 70, kFrameY + 10}));
  EXPECT_EQ(sink->events[1].second, (std::vector<LONG>{kEventMouseUp, 1, kFrameX + 70, kFrameY + 10}));
  EXPECT_EQ(Limits().xMax, 100.0);
}

TEST_F(GestureTest, MovesAreReportedInBothModesWithTheHeldButton) {
  Inject(WM_MOUSEMOVE, 5, 6);
  hosted.container->put_AutoZoom(VARIANT_FALSE);
  Inject(WM_MOUSEMOVE, 6, 7);
  Inject(WM_RBUTTONDOWN, 7, 8);
  Inject(WM_MOUSEMOVE, 8, 9);
  Inject(WM_RBUTTONUP, 8, 9);
  Inject(WM_MBUTTONDOWN, 9, 10);
  Inject(WM_MOUSEMOVE, 10, 11);
  Inject(WM_MBUTTONUP, 10, 11);
  std::vector<std::vector<LONG>> moves;
  for (const auto& e : sink->events)
    if (e.first == kOnMouseEvent && e.second[0] == kEventMouseMove) moves.push_back(e.second);
  ASSERT_EQ(moves.size(), 4u);
  EXPECT_EQ(moves[0], (std::vector<LONG>{kEventMouseMove, 0, kFrameX + 5, kFrameY + 6}));
  EXPECT_EQ(moves[1], (std::vector<LONG>{kEventMouseMove, 0, kFrameX + 6, kFrameY + 7}));
  EXPECT_EQ(moves[2], (std::vector<LONG>{kEventMouseMove, 1, kFrameX + 8, kFrameY + 9}));
  EXPECT_EQ(moves[3], (std::vector<LONG>{kEventMouseMove, 2, kFrameX + 10, kFrameY + 11}));
}

}  // namespace

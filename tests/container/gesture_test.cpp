// Mouse gestures through injected input. The container is 200 x 100 pixels at screen (100, 50);
// with limits 0..100 the client point (x, y) is the logical point (x / 2, 99 - y).
#include "container/container_test_support.h"

#include <gtest/gtest.h>

namespace {

constexpr COLORREF kInvertedRed = RGB(0, 255, 255);

class GestureTest : public ::testing::Test {
 protected:
  void Inject(UINT message, int x, int y, WPARAM keys = 0) {
    ASSERT_TRUE(KelmiraInjectMouse(message, kFrameX + x, kFrameY + y, keys));
    PumpMessages();
  }
  void Drag(int x1, int y1, int x2, int y2) {
    Inject(WM_LBUTTONDOWN, x1, y1);
    Inject(WM_MOUSEMOVE, x2, y2);
    Inject(WM_LBUTTONUP, x2, y2);
  }
  Four Limits() { return LimitsOf(hosted.container.get()); }
  void Reset() {
    hosted.container->SetLimits(0, 100, 0, 100);
    sink->events.clear();
  }
  const std::vector<DISPID> kZoomed{kOnViewChanged, kOnUserZoom};
  HostedContainer hosted{200, 100};
  ComPtr<Object<EventSink>> sink = Connect(hosted.container.get());
};

TEST_F(GestureTest, ClicksAndDragsZoom) {
  Inject(WM_LBUTTONDOWN, 100, 49);  // a click at (50, 50)
  Inject(WM_LBUTTONUP, 100, 49);
  EXPECT_EQ(Limits(), (Four{25, 75, 25, 75}));
  EXPECT_EQ(sink->Ids(true), kZoomed);  // once each, in this order, and no mouse events

  Reset();
  Drag(150, 29, 154, 33);  // 4 pixels: still a click, about the press point (75, 70)
  EXPECT_EQ(Limits(), (Four{50, 100, 45, 95}));
  Reset();
  Drag(100, 30, 105, 30);  // 5 pixels: a rectangle one row high
  Four l = Limits();
  EXPECT_DOUBLE_EQ(l.xMin, 50.0);
  EXPECT_DOUBLE_EQ(l.xMax, 52.5);
  EXPECT_DOUBLE_EQ(l.yMax, 69.001);
  Reset();
  Drag(20, 19, 120, 69);
  EXPECT_EQ(Limits(), (Four{10, 60, 30, 80}));
  EXPECT_EQ(sink->Ids(), kZoomed);
  Reset();
  Drag(120, 69, 20, 19);
  EXPECT_EQ(Limits(), (Four{10, 60, 30, 80}));
}

TEST_F(GestureTest, RightPressZoomsOutUpToTheExtentsAndStillReports) {
  hosted.container->SetLimits(25, 75, 25, 75);
  sink->events.clear();
  Inject(WM_RBUTTONDOWN, 10, 10);
  Inject(WM_RBUTTONUP, 10, 10);
  EXPECT_EQ(Limits(), (Four{0, 100, 0, 100}));
  Inject(WM_RBUTTONDOWN, 150, 70);
  Inject(WM_RBUTTONUP, 150, 70);
  EXPECT_EQ(Limits(), (Four{0, 100, 0, 100}));
  EXPECT_EQ(sink->Ids(), (std::vector<DISPID>{kOnViewChanged, kOnUserZoom, kOnViewChanged, kOnUserZoom}));
}

TEST_F(GestureTest, KeepingYMakesAnXRangeBand) {
  AddNamed(hosted.container.get(), u"Right", nullptr);
  hosted.container->SetLayerRightYAxis(At(0), VARIANT_TRUE);
  Inject(WM_LBUTTONDOWN, 20, 40);
  Inject(WM_MOUSEMOVE, 60, 60);
  EXPECT_EQ(hosted.Pixel(20, 5), kInvertedRed);  // the band runs over the full height
  Inject(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(hosted.Pixel(20, 5), kRed);
  EXPECT_EQ(Limits(), (Four{10, 30, 0, 100}));

  hosted.container->SetLayerRightYAxis(At(0), VARIANT_FALSE);
  hosted.container->put_AllowYZoom(VARIANT_FALSE);
  Reset();
  Drag(100, 20, 100, 20);
  EXPECT_EQ(Limits(), (Four{25, 75, 0, 100}));

  hosted.container->put_AllowYZoom(VARIANT_TRUE);  // a rectangle again: nothing above it
  Inject(WM_LBUTTONDOWN, 20, 40);
  Inject(WM_MOUSEMOVE, 60, 60);
  EXPECT_EQ(hosted.Pixel(20, 5), kRed);
  EXPECT_EQ(hosted.Pixel(20, 50), kInvertedRed);
  Inject(WM_LBUTTONUP, 60, 60);
}

TEST_F(GestureTest, WithoutAutoZoomTheMouseIsReportedAndOnlyTheExtentsButtonZooms) {
  const WPARAM second = static_cast<WPARAM>(XBUTTON2) << 16;
  Inject(WM_MOUSEMOVE, 5, 6);
  hosted.container->put_AutoZoom(VARIANT_FALSE);
  Drag(30, 40, 30, 40);
  Inject(WM_RBUTTONDOWN, 70, 10);
  Inject(WM_MOUSEMOVE, 71, 11);
  Inject(WM_RBUTTONUP, 71, 11);
  Inject(WM_MBUTTONDOWN, 9, 10);
  Inject(WM_MOUSEMOVE, 10, 11);
  Inject(WM_MBUTTONUP, 10, 11);
  const std::vector<std::vector<LONG>> expected = {
      {kEventMouseMove, 0, 105, 56}, {kEventMouseDown, 0, 130, 90}, {kEventMouseMove, 0, 130, 90},
      {kEventMouseUp, 0, 130, 90},   {kEventMouseDown, 1, 170, 60}, {kEventMouseMove, 1, 171, 61},
      {kEventMouseUp, 1, 171, 61},   {kEventMouseMove, 2, 110, 61},
  };
  std::vector<std::vector<LONG>> got;
  for (const auto& e : sink->events) got.push_back(e.second);
  EXPECT_EQ(got, expected);
  EXPECT_EQ(sink->Ids(), std::vector<DISPID>{});
  EXPECT_EQ(Limits(), (Four{0, 100, 0, 100}));

  for (LONG autoZoom : {0, 1}) {
    hosted.container->put_AutoZoom(static_cast<VARIANT_BOOL>(autoZoom));
    hosted.container->SetLimits(10, 20, 30, 40);
    sink->events.clear();
    Inject(WM_XBUTTONDOWN, 50 + autoZoom, 50, second);
    EXPECT_EQ(Limits(), (Four{0, 100, 0, 100})) << autoZoom;
    EXPECT_EQ(sink->Ids(), kZoomed);
  }
}

}  // namespace

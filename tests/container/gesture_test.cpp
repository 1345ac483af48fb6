// Mouse gestures through injected input. The container is 200 x 100 pixels at screen (100, 50);
// with limits 0..100 the client point (x, y) is the logical point (x / 2, 99 - y).
#include "support/canvas.h"
#include "support/event_recorder.h"
#include "support/hosted_control.h"
#include "support/index_variant.h"
#include "support/injected_input.h"
#include "support/layer_stack.h"
#include "support/view_limits.h"

#include <kelmira/container_zoom.h>

#include <cmath>

namespace kelmira::test {
namespace {

constexpr DISPID kOnMouseEvent = 1, kOnViewChanged = 2, kOnUserZoom = 3;

class GestureTest : public ::testing::Test {
 protected:
  void Inject(UINT message, int x, int y, WPARAM keys = 0) {
    Press(message, HostedControl::kFrameX + x, HostedControl::kFrameY + y, keys);
  }
  // A left drag from a freshly reset view; the limits it leaves.
  View Zoomed(int x1, int y1, int x2, int y2) {
    c->SetLimits(0, 100, 0, 100);
    sink->Clear();
    Inject(WM_LBUTTONDOWN, x1, y1);
    if (x2 != x1 || y2 != y1) Inject(WM_MOUSEMOVE, x2, y2);
    Inject(WM_LBUTTONUP, x2, y2);
    EXPECT_EQ(sink->Ids(kOnMouseEvent), kZoomed);
    return Limits(c);
  }
  const std::vector<DISPID> kZoomed{kOnViewChanged, kOnUserZoom};
  HostedContainer hosted{200, 100};
  IGraphicsContainer* c = hosted.container.get();
  ComPtr<Object<EventRecorder>> sink = EventRecorder::Make();
  DWORD cookie = sink->Advise(c, DIID_IGraphicsEvents);
};

TEST_F(GestureTest, ClicksAndDragsZoom) {
  EXPECT_EQ(Zoomed(100, 49, 100, 49), (View{25, 75, 25, 75}));            // a click at (50, 50)
  EXPECT_EQ(sink->Ids(), kZoomed);                                        // once each, in this order, no mouse events
  EXPECT_EQ(Zoomed(150, 29, 154, 33), (View{50, 100, 45, 95}));           // 4 pixels: a click about the press point
  EXPECT_EQ(Zoomed(100, 30, 105, 30), (View{50, 52.5, 69, 69 + 0.001}));  // 5 pixels: a rectangle one row high
  for (auto [x1, y1, x2, y2] : {std::tuple(20, 19, 120, 69), {120, 69, 20, 19}})  // either way round
    EXPECT_EQ(Zoomed(x1, y1, x2, y2), (View{10, 60, 30, 80}));
}

TEST_F(GestureTest, RightPressZoomsOutUpToTheExtentsAndStillReports) {
  c->SetLimits(25, 75, 25, 75);
  sink->Clear();
  for (POINT p : {POINT{10, 10}, POINT{150, 70}}) {
    Inject(WM_RBUTTONDOWN, p.x, p.y), Inject(WM_RBUTTONUP, p.x, p.y);
    EXPECT_EQ(Limits(c), (View{0, 100, 0, 100}));
  }
  EXPECT_EQ(sink->Ids(kOnMouseEvent), (std::vector<DISPID>{kOnViewChanged, kOnUserZoom, kOnViewChanged, kOnUserZoom}));
}

TEST_F(GestureTest, KeepingYMakesAnXRangeBand) {
  AddLayer(c, u"Right", nullptr);
  c->SetLayerRightYAxis(ByPosition(0), VARIANT_TRUE);
  Inject(WM_LBUTTONDOWN, 20, 40);
  Inject(WM_MOUSEMOVE, 60, 60);
  EXPECT_EQ(hosted.Pixel(20, 5), RGB(0, 255, 255));  // the red inverted: the band runs over the full height
  Inject(WM_LBUTTONUP, 60, 60);
  EXPECT_EQ(Limits(c), (View{10, 30, 0, 100}));
  c->SetLayerRightYAxis(ByPosition(0), VARIANT_FALSE), c->put_AllowYZoom(VARIANT_FALSE);
  EXPECT_EQ(Zoomed(100, 20, 100, 20), (View{25, 75, 0, 100}));
  c->put_AllowYZoom(VARIANT_TRUE);
  EXPECT_EQ(Zoomed(100, 20, 100, 20), (View{25, 75, 50, 100}));
}

TEST_F(GestureTest, WithoutAutoZoomTheMouseIsReportedAndOnlyTheExtentsButtonZooms) {
  Inject(WM_MOUSEMOVE, 5, 6);
  c->put_AutoZoom(VARIANT_FALSE);
  Inject(WM_RBUTTONDOWN, 70, 10), Inject(WM_MOUSEMOVE, 71, 11), Inject(WM_RBUTTONUP, 71, 11);
  // Event, button and screen point of each; moves name the button held.
  std::vector<LONG> got;
  for (const EventCall& e : sink->Calls())
    for (LONG v : e.Longs()) got.push_back(v);
  const std::vector<LONG> expected{kEventMouseMove, 0, 105, 56, kEventMouseDown, 1, 170, 60,
                                   kEventMouseMove, 1, 171, 61, kEventMouseUp,   1, 171, 61};
  EXPECT_EQ(std::tuple(got, sink->Ids(kOnMouseEvent), Limits(c)),
            std::tuple(expected, std::vector<DISPID>{}, View{0, 100, 0, 100}));

  c->SetLimits(10, 20, 30, 40);
  sink->Clear();
  Inject(WM_XBUTTONDOWN, 50, 50, static_cast<WPARAM>(XBUTTON2) << 16);
  EXPECT_EQ(std::pair(Limits(c), sink->Ids()), std::pair(View{0, 100, 0, 100}, kZoomed));
}

// The exported operations behave as the gestures; bad arguments change nothing and raise nothing.
TEST_F(GestureTest, HostZoomsAsTheGesturesDo) {
  const double x = 40, y = 60, inf = INFINITY;
  c->SetLimits(0, 100, 0, 100);
  sink->Clear();
  EXPECT_EQ(KelmiraZoomByFactor(c, 2.0, &x, &y), S_OK);
  EXPECT_EQ(std::pair(Limits(c), sink->Ids()), std::pair(View{15, 65, 35, 85}, kZoomed));
  EXPECT_EQ(KelmiraZoomByFactor(c, 0.5, nullptr, nullptr), S_OK);  // about the centre, clamped
  EXPECT_EQ(Limits(c), (View{0, 100, 0, 100}));
  c->SetLimits(10, 20, 30, 40);
  sink->Clear();
  const struct {
    IUnknown* object;
    double factor;
    const double *x, *y;
    HRESULT expected;
  } refused[] = {{nullptr, 2, nullptr, nullptr, E_POINTER},
                 {sink.get(), 2, nullptr, nullptr, E_NOINTERFACE},
                 {c, 0, nullptr, nullptr, E_INVALIDARG},
                 {c, -2, nullptr, nullptr, E_INVALIDARG},
                 {c, inf, nullptr, nullptr, E_INVALIDARG},
                 {c, 2, &x, nullptr, E_INVALIDARG},
                 {c, 2, &inf, &y, E_INVALIDARG}};
  for (const auto& r : refused) EXPECT_EQ(KelmiraZoomByFactor(r.object, r.factor, r.x, r.y), r.expected);
  EXPECT_EQ(std::pair(Limits(c), sink->Ids()), std::pair(View{10, 20, 30, 40}, std::vector<DISPID>{}));
  EXPECT_EQ(KelmiraZoomToExtents(c), S_OK);
  EXPECT_EQ(std::pair(Limits(c), sink->Ids()), std::pair(View{0, 100, 0, 100}, kZoomed));
}

}  // namespace
}  // namespace kelmira::test

// The view: the validation of the limits, right-Y limits, events of view changes, and the
// conversions between screen points and logical coordinates.
#include "container/container_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using kelmira::ComPtr;

namespace {

struct Four {
  double xMin, xMax, yMin, yMax;
};

Four LimitsOf(IGraphicsContainer* c) {
  Four f{};
  EXPECT_EQ(c->GetLimits(&f.xMin, &f.xMax, &f.yMin, &f.yMax), S_OK);
  return f;
}

Four ExtentsOf(IGraphicsContainer* c) {
  Four f{};
  EXPECT_EQ(c->GetExtents(&f.xMin, &f.xMax, &f.yMin, &f.yMax), S_OK);
  return f;
}

TEST(ViewTest, SetLimitsKeepsTheViewInsideTheExtentsAndNoSmallerThanTheMinimum) {
  auto c = NewContainer();
  ASSERT_TRUE(c);
  Four start = LimitsOf(c.get());
  EXPECT_EQ(start.xMin, 0.0);
  EXPECT_EQ(start.xMax, 100.0);
  Four extents = ExtentsOf(c.get());  // 0..100 before the first SetExtents
  EXPECT_EQ(extents.xMin, 0.0);
  EXPECT_EQ(extents.yMax, 100.0);
  double minimum = 0.0;
  c->get_MinZoomX(&minimum);
  EXPECT_EQ(minimum, 0.001);

  struct Case {
    double xMin, xMax, wantMin, wantMax;
  };
  const Case cases[] = {
      {5, 5, 5, 5.001},       // minimum width from XMin
      {-20, 30, 0, 50},       // moved right
      {80, 130, 50, 100},     // moved left
      {-50, 150, 0, 100},     // shrunk to the extents
      {30, 10, 30, 30.001},   // reversed: minimum width from XMin
      {99.9995, 99.9995, 99.999, 100},  // the minimum first, then moved inside
  };
  for (const Case& k : cases) {
    ASSERT_EQ(c->SetLimits(k.xMin, k.xMax, 0, 100), S_OK);
    Four got = LimitsOf(c.get());
    EXPECT_DOUBLE_EQ(got.xMin, k.wantMin) << k.xMin << ".." << k.xMax;
    EXPECT_DOUBLE_EQ(got.xMax, k.wantMax) << k.xMin << ".." << k.xMax;
    EXPECT_EQ(got.yMin, 0.0);
    EXPECT_EQ(got.yMax, 100.0);
  }
  // The same rule applies to y, with its own minimum.
  c->put_MinZoomY(2.0);
  c->SetLimits(0, 100, 99, 99);
  Four got = LimitsOf(c.get());
  EXPECT_DOUBLE_EQ(got.yMin, 98.0);
  EXPECT_DOUBLE_EQ(got.yMax, 100.0);

  // Extents smaller than the minimum win over it.
  c->SetExtents(0, 0.0001, 0, 1);
  got = LimitsOf(c.get());
  EXPECT_DOUBLE_EQ(got.xMin, 0.0);
  EXPECT_DOUBLE_EQ(got.xMax, 0.0001);
  EXPECT_DOUBLE_EQ(got.yMin, 0.0);
  EXPECT_DOUBLE_EQ(got.yMax, 1.0);
}

TEST(ViewTest, BadNumbersAreRefusedAndChangeNothing) {
  auto c = NewContainer();
  auto sink = Connect(c.get());
  c->SetLimits(10, 20, 30, 40);
  sink->Clear();
  EXPECT_EQ(c->SetLimits(NAN, 20, 30, 40), E_INVALIDARG);
  EXPECT_EQ(c->SetLimits(10, INFINITY, 30, 40), E_INVALIDARG);
  EXPECT_EQ(c->SetExtents(0, 1, -INFINITY, 1), E_INVALIDARG);
  EXPECT_EQ(c->SetRightYLimits(NAN, 1), E_INVALIDARG);
  Four got = LimitsOf(c.get());
  EXPECT_EQ(got.xMin, 10.0);
  EXPECT_EQ(got.yMax, 40.0);
  EXPECT_EQ(ExtentsOf(c.get()).xMax, 100.0);
  EXPECT_TRUE(sink->events.empty());
  EXPECT_EQ(c->GetLimits(nullptr, nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(c->GetRightYLimits(nullptr, nullptr), E_POINTER);

  // Finite arguments whose validated view would not be finite: moving a range of infinite width
  // inside huge extents.
  ASSERT_EQ(c->SetExtents(-1.5e308, 1.5e308, 0, 1), S_OK);
  sink->Clear();
  EXPECT_EQ(c->SetLimits(-1.6e308, 1e308, 0, 1), E_INVALIDARG);
  EXPECT_EQ(LimitsOf(c.get()).xMin, -1.5e308);
  EXPECT_TRUE(sink->events.empty());
}

TEST(ViewTest, RightYLimitsRepairAnEmptyRangeByOneUnit) {
  auto c = NewContainer();
  double lo = -1, hi = -1;
  c->GetRightYLimits(&lo, &hi);
  EXPECT_EQ(lo, 0.0);
  EXPECT_EQ(hi, 100.0);
  auto sink = Connect(c.get());
  EXPECT_EQ(c->SetRightYLimits(5, 5), S_OK);
  c->GetRightYLimits(&lo, &hi);
  EXPECT_EQ(lo, 5.0);
  EXPECT_EQ(hi, 6.0);
  c->SetRightYLimits(7, 3);
  c->GetRightYLimits(&lo, &hi);
  EXPECT_EQ(lo, 7.0);
  EXPECT_EQ(hi, 8.0);
  c->SetRightYLimits(-2, 40);
  c->GetRightYLimits(&lo, &hi);
  EXPECT_EQ(lo, -2.0);
  EXPECT_EQ(hi, 40.0);
  EXPECT_TRUE(sink->events.empty());  // no event, and the limits are not touched
  EXPECT_EQ(LimitsOf(c.get()).xMax, 100.0);
}

TEST(ViewTest, EveryHostSetLimitsRaisesOnViewChangedButNeverOnUserZoom) {
  auto c = NewContainer();
  auto sink = Connect(c.get());
  ASSERT_EQ(c->SetExtents(0, 10, -5, 5), S_OK);
  EXPECT_EQ(sink->Ids(), (std::vector<DISPID>{kOnViewChanged}));
  Four got = LimitsOf(c.get());
  EXPECT_EQ(got.xMax, 10.0);
  EXPECT_EQ(got.yMin, -5.0);
  Four extents = ExtentsOf(c.get());
  EXPECT_EQ(extents.xMax, 10.0);
  EXPECT_EQ(extents.yMin, -5.0);

  sink->Clear();
  c->SetLimits(0, 10, -5, 5);  // unchanged still raises
  c->SetLimits(1, 2, 3, 4);
  EXPECT_EQ(sink->Ids(), (std::vector<DISPID>{kOnViewChanged, kOnViewChanged}));
  EXPECT_TRUE(sink->events[0].second.empty());

  // Extents are stored unchecked (reversed here), the limits through the rule.
  sink->Clear();
  c->SetExtents(10, 0, 0, 1);
  extents = ExtentsOf(c.get());
  EXPECT_EQ(extents.xMin, 10.0);
  EXPECT_EQ(extents.xMax, 0.0);
  EXPECT_EQ(sink->CountOf(kOnViewChanged), 1);
}

TEST(ViewTest, ConversionsFollowTheClientAreaOnTheScreen) {
  HostedContainer hosted(200, 100);
  ASSERT_NE(hosted.window, nullptr);
  IGraphicsContainer* c = hosted.container.get();
  LONG sx = 0, sy = 0;
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(c->LogicalToScreen(50, 0, &sx, &sy, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(sx, 200);  // client left edge at screen x 100, 2 pixels per unit
  EXPECT_EQ(sy, kFrameY + 99);  // YMin lies on the bottom row
  double x = 0, y = 0;
  ASSERT_EQ(c->ScreenToLogical(200, kFrameY + 99, &x, &y, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(x, 50.0);
  EXPECT_EQ(y, 0.0);
  c->ScreenToLogical(kFrameX, kFrameY, &x, &y, &ok);
  EXPECT_EQ(x, 0.0);
  EXPECT_EQ(y, 99.0);  // the top row is one pixel below YMax

  // Truncation toward zero, never to the nearest pixel.
  c->LogicalToScreen(50.45, 98.5, &sx, &sy, &ok);  // 200.9 and 50.5
  EXPECT_EQ(sx, 200);
  EXPECT_EQ(sy, kFrameY);
  c->LogicalToScreen(-50.25, 0, &sx, &sy, &ok);  // -0.5
  EXPECT_EQ(sx, 0);

  // Degenerate views and far points give finite, saturated answers.
  c->put_MinZoomX(0.0);
  ASSERT_EQ(c->SetLimits(40, 40, 0, 100), S_OK);
  c->LogicalToScreen(40, 0, &sx, &sy, &ok);
  EXPECT_EQ(sx, kFrameX);
  c->ScreenToLogical(150, 60, &x, &y, &ok);
  EXPECT_TRUE(std::isfinite(x));
  c->SetLimits(0, 100, 0, 100);
  c->LogicalToScreen(1e300, -1e300, &sx, &sy, &ok);
  EXPECT_EQ(sx, 2147483647);
  EXPECT_EQ(sy, 2147483647);
  EXPECT_EQ(c->LogicalToScreen(NAN, 0, &sx, &sy, &ok), E_INVALIDARG);
  EXPECT_EQ(c->ScreenToLogical(0, 0, nullptr, &y, &ok), E_POINTER);

  LONG handle = 0;
  c->get_hwnd(&handle);
  EXPECT_EQ(UlongToHandle<HWND>(static_cast<std::uint32_t>(handle)), hosted.window);
}

TEST(ViewTest, WithoutAWindowConversionsReportFalseAndLeaveTheOutputs) {
  auto c = NewContainer();
  LONG handle = 5;
  c->get_hwnd(&handle);
  EXPECT_EQ(handle, 0);
  double x = 7, y = 8;
  VARIANT_BOOL ok = VARIANT_TRUE;
  EXPECT_EQ(c->ScreenToLogical(1, 2, &x, &y, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_EQ(x, 7.0);
  EXPECT_EQ(y, 8.0);
  LONG sx = 3, sy = 4;
  ok = VARIANT_TRUE;
  EXPECT_EQ(c->LogicalToScreen(1, 2, &sx, &sy, &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_EQ(sx, 3);
}

TEST(ViewTest, ZoomSettingsAndTheManager) {
  auto c = NewContainer();
  VARIANT_BOOL value = 0;
  ASSERT_EQ(c->get_AutoZoom(&value), S_OK);
  EXPECT_EQ(value, 1);  // the container sets 1 when it makes its manager
  c->put_AutoZoom(0);
  c->get_AutoZoom(&value);
  EXPECT_EQ(value, 0);
  c->get_AllowYZoom(&value);
  EXPECT_EQ(value, VARIANT_TRUE);
  c->put_AllowYZoom(3);
  c->get_AllowYZoom(&value);
  EXPECT_EQ(value, 3);

  ComPtr<IMouseInputManager> first, second;
  ASSERT_EQ(c->get_MouseInput(&first), S_OK);
  ASSERT_TRUE(first);
  c->get_MouseInput(&second);
  EXPECT_EQ(first.get(), second.get());
  EXPECT_EQ(c->get_MouseInput(nullptr), E_POINTER);
  // The manager may outlive its container.
  c.Reset();
  OLE_COLOR color = 1;
  EXPECT_EQ(first->get_DragColor(&color), S_OK);
}

}  // namespace

// The view: validation of the limits, right-Y limits, view events, and the screen conversions.
#include "container/container_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

TEST(ViewTest, SetLimitsFollowsTheOneValidationRule) {
  auto c = NewContainer();
  EXPECT_EQ(ExtentsOf(c.get()), (Four{0, 100, 0, 100}));  // before the first SetExtents
  const Four cases[][2] = {
      {{5, 5, 0, 100}, {5, 5.001, 0, 100}},         // minimum width from XMin
      {{-20, 30, 0, 100}, {0, 50, 0, 100}},         // moved right
      {{80, 130, 0, 100}, {50, 100, 0, 100}},       // moved left
      {{-50, 150, 0, 100}, {0, 100, 0, 100}},       // shrunk to the extents
      {{30, 10, 0, 100}, {30, 30.001, 0, 100}},     // reversed
      {{0, 100, 100, 100}, {0, 100, 99.999, 100}},  // minimum height, then moved inside
  };
  for (const auto& k : cases) {
    ASSERT_EQ(c->SetLimits(k[0].xMin, k[0].xMax, k[0].yMin, k[0].yMax), S_OK);
    const Four got = LimitsOf(c.get());
    for (auto field : {&Four::xMin, &Four::xMax, &Four::yMin, &Four::yMax})
      EXPECT_DOUBLE_EQ(got.*field, k[1].*field) << k[0];
  }
  c->SetExtents(0, 0.0001, 0, 1);  // extents below the minimum win
  EXPECT_EQ(LimitsOf(c.get()), (Four{0, 0.0001, 0, 1}));

  double lo = -1, hi = -1;
  for (auto [setLo, setHi, wantLo, wantHi] : {std::tuple(0.0, 0.0, 0.0, 100.0), {5, 5, 5, 6}, {7, 3, 7, 8}}) {
    if (setLo != 0) c->SetRightYLimits(setLo, setHi);  // the first row reads the defaults
    c->GetRightYLimits(&lo, &hi);
    EXPECT_EQ(std::pair(lo, hi), std::pair(wantLo, wantHi)) << setLo << " " << setHi;
  }
}

TEST(ViewTest, ViewEventsAndNumbersThatAreNotFinite) {
  auto c = NewContainer();
  auto sink = Connect(c.get());
  c->SetExtents(0, 10, -5, 5);
  EXPECT_EQ(sink->Ids(), (std::vector<DISPID>{kOnViewChanged}));
  EXPECT_EQ(LimitsOf(c.get()), (Four{0, 10, -5, 5}));
  c->SetLimits(0, 10, -5, 5);  // unchanged still raises
  c->SetRightYLimits(1, 2);    // raises nothing
  EXPECT_EQ(sink->Ids(), (std::vector<DISPID>{kOnViewChanged, kOnViewChanged}));

  // Stored through the rule and raised like any other values.
  sink->events.clear();
  EXPECT_EQ(c->SetLimits(NAN, 1, 0, 1), S_OK);
  const Four nan = LimitsOf(c.get());
  EXPECT_TRUE(std::isnan(nan.xMin) && nan.xMax == 1) << nan;  // NaN passes every step
  EXPECT_EQ(c->SetExtents(0, INFINITY, 0, 1), S_OK);
  EXPECT_EQ(ExtentsOf(c.get()), (Four{0, INFINITY, 0, 1}));
  EXPECT_EQ(LimitsOf(c.get()), (Four{0, INFINITY, 0, 1}));
  c->SetExtents(-1.5e308, 1.5e308, 0, 1);
  EXPECT_EQ(c->SetLimits(-1.6e308, 1e308, 0, 1), S_OK);  // the width overflows: moved, then shrunk
  EXPECT_EQ(LimitsOf(c.get()), (Four{-INFINITY, 1.5e308, 0, 1}));
  EXPECT_EQ(sink->Ids(), std::vector<DISPID>(4, kOnViewChanged));
  EXPECT_EQ(c->SetRightYLimits(0, NAN), S_OK);  // 0 < NaN is false: one unit up
  double lo = -1, hi = -1;
  c->GetRightYLimits(&lo, &hi);
  EXPECT_EQ(std::pair(lo, hi), std::pair(0.0, 1.0));
  EXPECT_EQ(c->GetLimits(nullptr, nullptr, nullptr, nullptr), E_POINTER);
}

TEST(ViewTest, ConversionsFollowTheClientAreaOnTheScreen) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  LONG sx = 0, sy = 0;
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(c->LogicalToScreen(50, 0, &sx, &sy, &ok), S_OK);
  EXPECT_EQ(std::tuple(ok, sx, sy), std::tuple(VARIANT_TRUE, 200, kFrameY + 99));  // YMin on the bottom row
  double x = 0, y = 0;
  c->ScreenToLogical(200, kFrameY + 99, &x, &y, &ok);
  EXPECT_EQ(std::pair(x, y), std::pair(50.0, 0.0));
  c->LogicalToScreen(50.45, 98.5, &sx, &sy, &ok);  // 200.9 and 50.5 truncate
  EXPECT_EQ(std::pair(sx, sy), std::pair(200, kFrameY));
  c->LogicalToScreen(-50.25, 0, &sx, &sy, &ok);  // -0.5 truncates toward zero
  EXPECT_EQ(sx, 0);
  c->LogicalToScreen(1e300, -1e300, &sx, &sy, &ok);
  EXPECT_EQ(std::pair(sx, sy), std::pair(2147483647, 2147483647));

  // A zero-width view (minimum 0) maps as one unit: nothing infinite comes out.
  c->put_MinZoomX(0.0);
  c->SetLimits(40, 40, 0, 100);
  c->LogicalToScreen(40, 0, &sx, &sy, &ok);
  EXPECT_EQ(sx, kFrameX);
  c->ScreenToLogical(kFrameX + 100, 60, &x, &y, &ok);
  EXPECT_DOUBLE_EQ(x, 40.5);
  ok = VARIANT_FALSE;
  EXPECT_EQ(c->LogicalToScreen(NAN, INFINITY, &sx, &sy, &ok), S_OK);  // whatever the values
  EXPECT_EQ(std::tuple(ok, sx, sy), std::tuple(VARIANT_TRUE, INT32_MIN, INT32_MIN));

  // Without a window: FALSE and the outputs left alone.
  auto alone = NewContainer();
  LONG handle = 5;
  alone->get_hwnd(&handle);
  EXPECT_EQ(handle, 0);
  x = 7;
  alone->ScreenToLogical(1, 2, &x, &y, &ok);
  EXPECT_EQ(ok, VARIANT_FALSE);
  EXPECT_EQ(x, 7.0);
}

}  // namespace

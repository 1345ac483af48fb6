// GridLayer as an object: identity, settings, and the steps its automatic choice stores.
#include "layer_canvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using kelmira::ComPtr;
using grid_test::LayerInfo;
using grid_test::Canvas;

namespace {

ComPtr<IGridLayer> MakeGrid() {
  ComPtr<IGridLayer> grid;
  EXPECT_EQ(CoCreateInstance(CLSID_GridLayer, nullptr, CLSCTX_INPROC_SERVER, IID_IGridLayer,
                             reinterpret_cast<void**>(&grid)),
            S_OK);
  return grid;
}

template <class C, class T>
T Read(IGridLayer* grid, HRESULT (STDMETHODCALLTYPE C::*getter)(T*)) {
  T value{};
  EXPECT_EQ((grid->*getter)(&value), S_OK);
  return value;
}

// Redraws on a scratch canvas showing [xmin, xmax] x [ymin, ymax] on width x height pixels.
void RedrawView(IGridLayer* grid, int width, int height, double xmin, double xmax, double ymin, double ymax) {
  Canvas canvas(width, height);
  EXPECT_EQ(grid->Redraw(LayerInfo(canvas.dc(), width, height, xmin, xmax, ymin, ymax)), S_OK);
}

}  // namespace

TEST(GridLayerTest, StartsWithTheDocumentedSettingsAndStoresPutsUnchanged) {
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(CoCreateInstance(CLSID_GridLayer, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&unknown)),
            S_OK);
  ComPtr<IGridLayer> grid = unknown.As<IGridLayer>();
  ASSERT_TRUE(grid);
  EXPECT_EQ(unknown.As<IGraphicsLayer>().get(), static_cast<IGraphicsLayer*>(grid.get()));
  EXPECT_EQ(unknown.As<IDispatch>().get(), static_cast<IDispatch*>(grid.get()));
  EXPECT_FALSE(unknown.As<IBackgroundLayer>());
  EXPECT_FALSE(unknown.As<ILineLegendLayer>());

  IGridLayer* g = grid.get();
  EXPECT_EQ(Read(g, &IGridLayer::get_LineColor), 0u);
  EXPECT_EQ(Read(g, &IGridLayer::get_LineStyle), 2);
  EXPECT_EQ(Read(g, &IGridLayer::get_XSteps), 6);
  EXPECT_EQ(Read(g, &IGridLayer::get_YSteps), 4);
  EXPECT_EQ(Read(g, &IGridLayer::get_AutoStep), 1);  // 1, not VARIANT_TRUE
  EXPECT_EQ(Read(g, &IGridLayer::get_MinXStep), 0.0001);
  EXPECT_EQ(Read(g, &IGridLayer::get_MinYStep), 0.0001);
  EXPECT_EQ(Read(g, &IGridLayer::get_Lines), VARIANT_TRUE);
  EXPECT_EQ(Read(g, &IGridLayer::get_Border), VARIANT_FALSE);
  EXPECT_EQ(Read(g, &IGridLayer::get_UseXAsDate), VARIANT_FALSE);
  EXPECT_EQ(Read(g, &IGridLayer::get_UseBitmap), VARIANT_FALSE);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 10.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 10.0);

  // No checks on what is put.
  EXPECT_EQ(g->put_UseBitmap(5), S_OK);
  EXPECT_EQ(Read(g, &IGridLayer::get_UseBitmap), 5);
  EXPECT_EQ(g->put_LineColor(0x80000005), S_OK);
  EXPECT_EQ(Read(g, &IGridLayer::get_LineColor), 0x80000005u);
  EXPECT_EQ(g->put_XSteps(-3), S_OK);
  EXPECT_EQ(Read(g, &IGridLayer::get_XSteps), -3);
  EXPECT_EQ(g->get_XStep(nullptr), E_POINTER);
}

TEST(GridLayerTest, AutomaticStepsFollowTheVisibleRange) {
  ComPtr<IGridLayer> grid = MakeGrid();
  ASSERT_TRUE(grid);
  IGridLayer* g = grid.get();

  // r = 16.67 and 25.
  RedrawView(g, 600, 400, 0, 100, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 10.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 20.0);

  // r = 20 exactly gives 10, not 20; negative limits do not matter.
  RedrawView(g, 600, 400, 0, 120, -50, 30);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 10.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 10.0);

  // The nice steps 0.00001 and 0.00002 lie below the minimum steps.
  RedrawView(g, 600, 400, 0, 0.0001, 5, 5.0001);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 0.0001);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 0.0001);
  g->put_MinXStep(0);
  g->put_MinYStep(0.00003);
  RedrawView(g, 600, 400, 0, 0.0001, 5, 5.0001);
  EXPECT_DOUBLE_EQ(Read(g, &IGridLayer::get_XStep), 0.00001);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 0.00003);

  // XSteps and YSteps set the aimed number of intervals.
  g->put_XSteps(12);  // r = 8.33
  g->put_YSteps(40);  // r = 2.5
  RedrawView(g, 600, 400, 0, 100, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 5.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 2.0);
}

TEST(GridLayerTest, DateStepsAreWholeDaysHoursMinutesOrSeconds) {
  ComPtr<IGridLayer> grid = MakeGrid();
  ASSERT_TRUE(grid);
  IGridLayer* g = grid.get();
  g->put_UseXAsDate(VARIANT_TRUE);
  const double day0 = 37636.0;  // 2003-01-15

  RedrawView(g, 600, 400, day0, day0 + 30, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 2.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 20.0);  // Y keeps the plain rule

  RedrawView(g, 600, 400, day0, day0 + 6, 0, 100);  // raw 1 day is not above 1
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 1.0);
  RedrawView(g, 600, 400, day0, day0 + 4.2, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 0.5);
  RedrawView(g, 600, 400, day0, day0 + 3, 0, 100);  // 0.2 day is below a half: 10 hours
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 10 * 0.041666666666666664);

  RedrawView(g, 600, 400, 0, 0.25, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 0.041666666666666664);

  RedrawView(g, 600, 400, 0, 0.5, 0, 100);  // 2 hours raw, 2 is not above 2
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 1 * 0.041666666666666664);
  RedrawView(g, 600, 400, 0, 0.0625, 0, 100);  // 15 minutes raw
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 10 * 0.0006944444444444445);
  RedrawView(g, 600, 400, 0, 2.5 / 1440, 0, 100);  // 150 seconds: 25-second raw step
  EXPECT_DOUBLE_EQ(Read(g, &IGridLayer::get_XStep), 20 * 0.000011574074074074073);

  // The seconds rule gives 0.1, raised to one second; MinXStep does not apply to dates.
  g->put_XSteps(600);
  g->put_MinXStep(1.0);
  RedrawView(g, 600, 400, 0, 0.001, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 0.000011574074074074073);

  g->put_XSteps(6);
  RedrawView(g, 600, 400, 0, 60, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 10.0);
}

TEST(GridLayerTest, StepsStayWhenTheyAreNotChosen) {
  ComPtr<IGridLayer> grid = MakeGrid();
  ASSERT_TRUE(grid);
  IGridLayer* g = grid.get();
  const double nan = std::numeric_limits<double>::quiet_NaN();

  // AutoStep off: the host's steps stay, whatever the view.
  g->put_AutoStep(VARIANT_FALSE);
  g->put_XStep(10);
  g->put_YStep(10);
  RedrawView(g, 600, 400, 0, 1000, 0, 3);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 10.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 10.0);

  // Lines off: no automatic choice runs.
  g->put_AutoStep(VARIANT_TRUE);
  g->put_Lines(VARIANT_FALSE);
  g->put_XStep(7);
  g->put_YStep(3);
  RedrawView(g, 600, 400, 0, 100, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 7.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 3.0);

  // Raw steps that are infinite, zero or undefined leave the previous step in place.
  g->put_Lines(VARIANT_TRUE);
  g->put_XSteps(0);
  g->put_YSteps(0);
  RedrawView(g, 600, 400, 0, 100, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 7.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 3.0);
  g->put_UseXAsDate(VARIANT_TRUE);
  RedrawView(g, 600, 400, 0, 100, 0, 100);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 7.0);

  g->put_XSteps(6);
  g->put_YSteps(4);
  Canvas canvas(600, 400);
  for (double scale : {0.0, nan, std::numeric_limits<double>::infinity()}) {
    for (VARIANT_BOOL dates : {VARIANT_FALSE, VARIANT_TRUE}) {
      g->put_UseXAsDate(dates);
      DrawLayerInfo info = LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100);
      info.XScale = scale;
      info.YScale = scale;
      EXPECT_EQ(g->Redraw(info), S_OK);
      EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 7.0) << scale;
      EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 3.0) << scale;
    }
  }
  // An area with no width: range 0.
  g->put_UseXAsDate(VARIANT_FALSE);
  DrawLayerInfo flat = LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100);
  flat.right = 0;
  EXPECT_EQ(g->Redraw(flat), S_OK);
  EXPECT_EQ(Read(g, &IGridLayer::get_XStep), 7.0);
  EXPECT_EQ(Read(g, &IGridLayer::get_YStep), 20.0);
}

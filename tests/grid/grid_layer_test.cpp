// GridLayer as an object: its settings and the steps its automatic choice stores.
#include "support/canvas.h"
#include "support/create.h"
#include "support/property.h"

#include <limits>
#include <tuple>

namespace kelmira::test {
namespace {

using Steps = std::pair<double, double>;
constexpr double kHour = 0.041666666666666664, kMinute = 0.0006944444444444445, kSecond = 0.000011574074074074073;

Steps StepsOf(IGridLayer* g) { return {Get(g, &IGridLayer::get_XStep), Get(g, &IGridLayer::get_YStep)}; }

// Redraws for a 600 x 400 area showing [xmin, xmax] x [ymin, ymax]; the steps it stored. The record
// has no device context: the steps are chosen all the same.
Steps StepsFor(IGridLayer* grid, double xmin, double xmax, double ymin, double ymax) {
  EXPECT_EQ(grid->Redraw(LayerInfo(nullptr, 600, 400, xmin, xmax, ymin, ymax)), S_OK);
  return StepsOf(grid);
}

TEST(GridLayerTest, StartsWithTheDocumentedSettingsAndAutomaticStepsFollowTheVisibleRange) {
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  IGridLayer* g = grid.get();
  EXPECT_EQ(std::tuple(
                Get(g, &IGridLayer::get_LineColor), Get(g, &IGridLayer::get_LineStyle), Get(g, &IGridLayer::get_XSteps),
                Get(g, &IGridLayer::get_YSteps), Get(g, &IGridLayer::get_AutoStep), Get(g, &IGridLayer::get_MinXStep),
                Get(g, &IGridLayer::get_MinYStep), Get(g, &IGridLayer::get_Lines), Get(g, &IGridLayer::get_Border),
                Get(g, &IGridLayer::get_UseXAsDate), Get(g, &IGridLayer::get_UseBitmap), StepsOf(g)),
            std::tuple(0u, 2, 6, 4, VARIANT_BOOL{1} /* not VARIANT_TRUE */, 0.0001, 0.0001, VARIANT_TRUE, VARIANT_FALSE,
                       VARIANT_FALSE, VARIANT_FALSE, Steps(10.0, 10.0)));
  // Automatic steps follow the visible range.
  EXPECT_EQ(StepsFor(g, 0, 100, 0, 100), Steps(10.0, 20.0));   // r = 16.67 and 25
  EXPECT_EQ(StepsFor(g, 0, 120, -50, 30), Steps(10.0, 10.0));  // r = 20 exactly gives 10; sign does not matter
  // The nice steps 0.00001 and 0.00002 lie below the minimum steps.
  EXPECT_EQ(StepsFor(g, 0, 0.0001, 5, 5.0001), Steps(0.0001, 0.0001));
  g->put_MinXStep(0);
  g->put_MinYStep(0.00003);
  const Steps tiny = StepsFor(g, 0, 0.0001, 5, 5.0001);
  EXPECT_DOUBLE_EQ(tiny.first, 0.00001);
  EXPECT_EQ(tiny.second, 0.00003);
  // XSteps and YSteps set the aimed number of intervals: r = 8.33 and 2.5.
  g->put_XSteps(12);
  g->put_YSteps(40);
  EXPECT_EQ(StepsFor(g, 0, 100, 0, 100), Steps(5.0, 2.0));
}

TEST(GridLayerTest, DateStepsAreWholeDaysHoursMinutesOrSeconds) {
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  IGridLayer* g = grid.get();
  g->put_UseXAsDate(VARIANT_TRUE);
  const double day0 = 37636.0;                                        // 2003-01-15
  EXPECT_EQ(StepsFor(g, day0, day0 + 30, 0, 100), Steps(2.0, 20.0));  // Y keeps the plain rule
  struct Case {
    double xmin, xmax, step;
  } const cases[] = {
      {day0, day0 + 6, 1.0},         // raw 1 day is not above 1
      {day0, day0 + 4.2, 0.5},       //
      {day0, day0 + 3, 10 * kHour},  // 0.2 day is below a half: 10 hours
      {0, 0.2, 0.5 * kHour},         // half an hour is still hours
      {0, 0.25, kHour},              //
      {0, 0.5, kHour},               // 2 hours raw, 2 is not above 2
      {0, 0.0625, 10 * kMinute},     // 15 minutes raw
      {0, 60, 10.0},                 //
  };
  for (const Case& c : cases) EXPECT_EQ(StepsFor(g, c.xmin, c.xmax, 0, 100).first, c.step) << c.xmax - c.xmin;
  EXPECT_DOUBLE_EQ(StepsFor(g, 0, 2.5 / 1440, 0, 100).first, 20 * kSecond);  // 150 s: 25-second raw step
  // The seconds rule gives 0.1, raised to one second; MinXStep does not apply to dates.
  g->put_XSteps(600);
  g->put_MinXStep(1.0);
  EXPECT_EQ(StepsFor(g, 0, 0.001, 0, 100).first, kSecond);
}

TEST(GridLayerTest, StepsStayWhenTheyAreNotChosen) {
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  IGridLayer* g = grid.get();
  // AutoStep off: the steps stay, whatever the view.
  g->put_AutoStep(VARIANT_FALSE);
  EXPECT_EQ(StepsFor(g, 0, 1000, 0, 3), Steps(10.0, 10.0));
  // Lines off: no automatic choice runs.
  g->put_AutoStep(VARIANT_TRUE);
  g->put_Lines(VARIANT_FALSE);
  g->put_XStep(7);
  g->put_YStep(3);
  EXPECT_EQ(StepsFor(g, 0, 100, 0, 100), Steps(7.0, 3.0));
  // Raw steps that are infinite, zero or undefined leave the previous step in place.
  g->put_Lines(VARIANT_TRUE);
  g->put_XSteps(0);
  g->put_YSteps(0);
  EXPECT_EQ(StepsFor(g, 0, 100, 0, 100), Steps(7.0, 3.0));
  g->put_UseXAsDate(VARIANT_TRUE);
  EXPECT_EQ(StepsFor(g, 0, 100, 0, 100), Steps(7.0, 3.0));
  g->put_XSteps(6);
  g->put_YSteps(4);
  for (double scale : {0.0, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()})
    for (VARIANT_BOOL dates : {VARIANT_FALSE, VARIANT_TRUE}) {
      g->put_UseXAsDate(dates);
      DrawLayerInfo info = LayerInfo(nullptr, 600, 400, 0, 100, 0, 100);
      info.XScale = info.YScale = scale;
      EXPECT_EQ(g->Redraw(info), S_OK);
      EXPECT_EQ(StepsOf(g), Steps(7.0, 3.0)) << scale << " " << dates;
    }
  // An area with no width: range 0.
  g->put_UseXAsDate(VARIANT_FALSE);
  DrawLayerInfo flat = LayerInfo(nullptr, 600, 400, 0, 100, 0, 100);
  flat.right = 0;
  EXPECT_EQ(g->Redraw(flat), S_OK);
  EXPECT_EQ(StepsOf(g), Steps(7.0, 20.0));
}

}  // namespace
}  // namespace kelmira::test

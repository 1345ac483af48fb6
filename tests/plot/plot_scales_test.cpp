// Log axes, offsets and extreme ranges: the tick texts, and kelmira-plot's pictures and messages.
#include "plot/plot_scales.h"
#include "support/plot_run.h"
#include "support/scratch_dir.h"

#include <cmath>

using namespace kelmira::plot;
using namespace kelmira::test;

TEST(PlotScales, TickTexts) {
  PlotOptions o;
  o.logY = true, o.yShift[1] = 1e9, o.numberLabels[0] = true;
  // Axis, value, step, pixels per unit (a decade when log), text. Zoomed in, every log tick is
  // labelled to half a pixel.
  using enum ScaleAxis;
  // clang-format off
  const std::tuple<ScaleAxis, double, double, double, std::string> cases[] = {
      {Y, 5, 1, 50, "100000"}, {Y, -3, 1, 50, "0.001"}, {Y, -4, 1, 50, "1e-4"}, {Y, 2.3, 0.1, 200, "200"},
      {Y, 0.4, 0.1, 200, ""}, {Y, 3.1, 0.02, 3600, "1258.9"}, {RightY, 2.5, 0.5, 1, "1000000002.5"},
      {X, 1.7e308, 5e306, 1, "1.7e+308"}};
  // clang-format on
  for (const auto& [axis, value, step, perUnit, text] : cases)
    EXPECT_EQ(ScaleLabel(o, axis, value, step, perUnit), text) << value;
  EXPECT_EQ(std::tuple(LogStep(0, 2, 400, 15), LogStep(0, 4, 400, 15), CalendarStep(2, 8) * 24),
            std::tuple(0.1, 1.0, 5.0));  // tenths of a decade where they have room; 5 hours
  EXPECT_EQ(DrawnTicksY(0.05, 3, 1, 300, 0), (std::vector<double>{3, 2, 1}));  // from the top
}

TEST(PlotScales, LogAxisPlacesDecadesAndLeavesOutNonPositiveValues) {
  // Weekday closes from 1 to 1000 with a halt at exactly 10, missing closes and days without volume.
  std::string rows = "date,close,volume\n";
  for (int i = 0; i < 300; ++i) {
    const double close = std::pow(10, std::min(i, 100) / 100.0 + std::max(i - 150, 0) / 75.0);
    rows += std::to_string(44200 + i / 5 * 7 + i % 5) + "," + (i % 37 == 5 ? "" : std::to_string(close)) + "," +
            std::to_string(i % 50 ? 1000 + i : 0) + "\n";
  }
  WriteFile("stock.csv", rows);
  const ProcessResult run = RunPlotTool({"--size", "800x400", "--date-x", "--logy", "--ylim", "1:1000", "--right-y",
                                         "volume", "--logy2", "--grid-style", "solid", "--grid-color", "blue",
                                         "--colors", "red,green", "-o", "stock.png", "stock.csv"});
  EXPECT_NE(run.output.find("stock.csv: column 3 (volume): 6 values <= 0 left out"), std::string::npos);
  // The frame and the grid lines at 10 and 100 split it in thirds; the halt lies on the line at 10.
  auto picture = LoadPicture("stock.png", 800, 400);
  std::vector<int> grid;
  for (int y = 0; y < 400; ++y)
    if (picture->Count(kBlue, 0, y, 800, y + 1) > 400) grid.push_back(y);
  ASSERT_EQ(grid.size(), 4u) << run.output;
  EXPECT_NEAR(grid[2] - grid[1], (grid[3] - grid[0]) / 3.0, 1.5);
  EXPECT_GT(picture->Count(kRed, 0, grid[2] - 1, 800, grid[2] + 2), 100) << "the halt at 10";
}

TEST(PlotScales, EpochSecondsGetAPixelColumnEach) {
  std::string rows = "t,level\n";
  for (int i = 0; i < 600; ++i) rows += std::to_string(1700000000 + i) + "," + std::to_string(i) + "\n";
  WriteFile("epoch.csv", rows);
  ASSERT_EQ(RunPlotTool({"--colors", "red", "--no-grid", "-o", "epoch.png", "epoch.csv"}).exitCode, 0);
  auto picture = LoadPicture("epoch.png", 800, 500);
  for (int x = 80; x < 780 && !HasFailure(); ++x)  // the plot
    EXPECT_LE(picture->Count(kRed, x, 0, x + 1, 500), 3) << "a staircase at " << x;
}

TEST(PlotScales, PrecisionOffsetsAndOverflow) {
  std::string counter = "t,bytes\n";
  for (int i = 0; i < 200; ++i) counter += std::to_string(i) + "," + std::to_string(1000000000 + i % 40) + "\n";
  WriteFile("bytes.csv", counter);
  WriteFile("flat.csv", "x,y\n1.79e308,-1\n1.79e308,0\n");
  // Arguments, exit status, a part of the output ("" for no warning).
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"bytes.csv"}, 0, "column 2 (bytes): values lose up to"},
      {{"--y-offset", "auto", "bytes.csv"}, 0, ""},
      {{"--logy", "flat.csv"}, 1, "nothing to draw: no value is above 0 on the log scale"},
      {{"flat.csv"}, 1, "the X range, widened to be seen, goes past"}};
  for (const auto& [args, status, text] : cases) {
    const ProcessResult run = RunPlotTool(args);
    EXPECT_EQ(run.exitCode, status) << run.output;
    EXPECT_EQ(run.output.find(text.empty() ? ".csv:" : text) == std::string::npos, text.empty()) << run.output;
  }
}

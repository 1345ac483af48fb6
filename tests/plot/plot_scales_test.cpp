// Log axes, offsets and extreme ranges: the tick texts, and kelmira-plot's pictures and messages.
#include "plot/plot_scales.h"
#include "support/plot_run.h"
#include "support/scratch_dir.h"

#include <cmath>
#include <cstdio>

using namespace kelmira::plot;
using namespace kelmira::test;

namespace {

std::string Csv(const char* name, const std::string& content) {
  WriteFile(name, content);
  return std::filesystem::absolute(name).string();
}

// Rows whose pixels are mostly `colour`, from the top.
std::vector<int> FullRows(const Canvas& c, COLORREF colour) {
  std::vector<int> rows;
  for (int y = 0; y < c.height(); ++y)
    if (c.Count(colour, 0, y, c.width(), y + 1) > c.width() / 2) rows.push_back(y);
  return rows;
}

}  // namespace

TEST(PlotScales, TickTexts) {
  PlotOptions o;
  o.logY = true;
  o.yShift[1] = 1e9;
  o.numberLabels[0] = true;
  // Axis, value, step, pixels per unit (decade), text.
  const std::tuple<ScaleAxis, double, double, double, std::string> cases[] = {
      {ScaleAxis::Y, 0, 1, 50, "1"},
      {ScaleAxis::Y, 5, 1, 50, "100000"},
      {ScaleAxis::Y, 6, 2, 50, "1e6"},
      {ScaleAxis::Y, -3, 1, 50, "0.001"},
      {ScaleAxis::Y, -4, 1, 50, "1e-4"},
      {ScaleAxis::Y, 0.3, 0.1, 200, "2"},
      {ScaleAxis::Y, -1.3, 0.1, 200, "0.05"},
      {ScaleAxis::Y, 2.7, 0.1, 200, "500"},
      {ScaleAxis::Y, 0.4, 0.1, 200, ""},
      {ScaleAxis::Y, 6.3, 0.1, 200, "2e6"},
      {ScaleAxis::Y, 0.8, 0.05, 100, "6.31"},  // zoomed in: every tick, to half a pixel
      {ScaleAxis::Y, 3.1, 0.02, 3600, "1258.9"},
      {ScaleAxis::Y, 0.3, 0.1, 3600, "1.9953"},
      {ScaleAxis::RightY, -20, 10, 1, "999999980"},
      {ScaleAxis::RightY, 2.5, 0.5, 1, "1000000002.5"},
      {ScaleAxis::X, 1.7e308, 5e306, 1, "1.7e+308"},
  };
  for (const auto& [axis, value, step, perUnit, text] : cases)
    EXPECT_EQ(ScaleLabel(o, axis, value, step, perUnit), text) << value;
  // Tenths of a decade only where a label has room; below a decade the plain step.
  EXPECT_EQ(
      std::tuple(LogStep(0, 2, 400, 15), LogStep(0, 3, 400, 15), LogStep(-300, 300, 400, 15), LogStep(3, 3.1, 400, 15)),
      std::tuple(0.1, 1.0, 50.0, 0.01));
  // From the top; the first multiple below the range is not drawn.
  EXPECT_EQ(DrawnTicksY(0.05, 3, 1, 300, 0), (std::vector<double>{3, 2, 1}));
}

TEST(PlotScales, LogAxisPlacesDecadesAndLeavesOutNonPositiveValues) {
  // Trading days from 1 to 1000 with a halt at exactly 10, missing closes and days without volume.
  std::string rows = "date,close,volume\n";
  for (int i = 0; i < 300; ++i) {
    const double close = i < 100 ? std::pow(10, i / 100.0) : i < 150 ? 10 : std::pow(10, 1 + (i - 150) / 75.0);
    char row[80];
    std::snprintf(row, sizeof row, "2021-%02d-%02d,%s,%d\n", 1 + i / 28, 1 + i % 28,
                  i % 37 == 5 ? "" : std::to_string(close).c_str(), i % 50 == 0 ? 0 : 1000 + i);
    rows += row;
  }
  const std::string csv = Csv("stock.csv", rows), png = std::filesystem::absolute("stock.png").string();
  const ProcessResult run =
      RunPlotTool({"--date-x", "--logy", "--ylim", "1:1000", "--right-y", "volume", "--logy2", "--grid-style", "solid",
                   "--grid-color", "blue", "--colors", "red,green", "-o", png, csv});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find(csv + ": column 3 (volume): 6 values <= 0 left out of the log scale"), std::string::npos);
  auto picture = LoadPicture(png, 800, 500);
  ASSERT_TRUE(picture);
  // The frame and the lines at 10 and 100, a third of the way apart; the halt lies on the line at 10.
  const std::vector<int> grid = FullRows(*picture, kBlue);
  ASSERT_EQ(grid.size(), 4u);
  EXPECT_NEAR(grid[2] - grid[1], (grid[3] - grid[0]) / 3.0, 1.5);
  const int halt = picture->Count(kRed, 0, grid[2] - 1, 800, grid[2] + 2);
  EXPECT_GT(halt, 100) << "the halt at 10";
}

TEST(PlotScales, EpochSecondsGetAPixelColumnEach) {
  std::string rows = "t,level\n";
  for (int i = 0; i < 600; ++i) rows += std::to_string(1700000000 + i) + "," + std::to_string(i) + "\n";
  const std::string csv = Csv("epoch.csv", rows), png = std::filesystem::absolute("epoch.png").string();
  ASSERT_EQ(RunPlotTool({"--colors", "red", "--no-grid", "-o", png, csv}).exitCode, 0);
  auto picture = LoadPicture(png, 800, 500);
  ASSERT_TRUE(picture);
  int steepest = 0, columns = 0;
  for (int x = 80; x < 780; ++x) {  // the plot, right of the red labels
    const int n = picture->Count(kRed, x, 0, x + 1, 500);
    steepest = std::max(steepest, n), columns += n > 0;
  }
  EXPECT_LE(steepest, 3) << "a staircase";
  EXPECT_GT(columns, 600);
}

TEST(PlotScales, PrecisionOffsetsAndOverflow) {
  std::string counter = "t,bytes\n";
  for (int i = 0; i < 200; ++i) counter += std::to_string(i) + "," + std::to_string(1000000000 + i % 40) + "\n";
  const std::string bytes = Csv("bytes.csv", counter), small = Csv("small.csv", "x,y\n1,0.5\n2,-1\n3,2\n");
  const std::string flat = Csv("flat.csv", "x,y\n1.79e308,1\n1.79e308,2\n");
  const std::string huge = Csv("huge.csv", "x,y\n-8e307,-3.4e38\n8e307,3.4e38\n");
  // Arguments, exit status, a part of the output ("" for none of the warnings).
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{bytes}, 0, "column 2 (bytes): values lose up to"},
      {{"--y-offset", "auto", bytes}, 0, ""},
      {{"--y-offset", "1e300", bytes}, 1, "less the offset 1e+300 is beyond single precision"},
      {{"--logy", small}, 0, "column 2 (y): 1 value <= 0 left out"},
      {{"--logy", "--ylim", "-1:10", small}, 2, "--logy needs limits above 0"},
      {{"--logx", "--date-x", small}, 2, "--logx cannot be used with --date-x"},
      {{"--logx", "--xlim", "-1:1", small}, 2, "--logx needs limits above 0"},
      {{"--logy", "-y", "y", Csv("neg.csv", "x,y\n1,-1\n2,0\n")}, 1, "no value is above 0 on the log scale"},
      {{flat}, 1, "the X range, widened to be seen, goes past"},
      {{"--xlim", "-1e308:1.7e308", small}, 1, "too wide to draw"},
      {{huge}, 0, ""},
  };
  for (const auto& [args, status, text] : cases) {
    const ProcessResult run = RunPlotTool(args);
    EXPECT_EQ(run.exitCode, status) << args.front() << run.output;
    EXPECT_EQ(run.output.find(text.empty() ? "kelmira-plot: /" : text) == std::string::npos, text.empty())
        << run.output;
  }
}

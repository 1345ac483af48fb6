// kelmira-plot run as a program: the graph it draws, its saved settings and its messages for bad
// input.
#include "plot/plot_legend.h"
#include "support/canvas.h"
#include "support/child_process.h"
#include "support/plot_run.h"
#include "support/scratch_dir.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

#include <sys/stat.h>

namespace kelmira::test {
namespace {

ProcessResult RunPlot(std::vector<std::string> args) { return RunPlotTool(std::move(args)); }

std::string InWorkDir(const std::string& name, const char* content = nullptr) {
  const std::string path = (std::filesystem::current_path() / name).string();
  if (content) std::ofstream(path) << content;
  return path;
}

TEST(PlotTool, DrawsAGraphWithTitleAndAxes) {
  const std::string csv = InWorkDir("flat.csv", "x,level\n0,5\n5,5\n10,5\n"), png = InWorkDir("flat.png");
  std::filesystem::remove(png);
  const ProcessResult run = RunPlot({"--size", "300x200", "--xlim", "0:10", "--ylim", "0:10", "--no-grid",
                                     "--no-border", "--colors", "red", "-o", png, csv});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("wrote"), std::string::npos);
  Canvas picture(300, 200);
  ASSERT_TRUE(picture.Load(png));

  // The plot spans x 70..287 (the left axis strip is 70 wide; with no right column 12 pixels stay
  // free) and y 25..149 (title line and gap above, the 50-pixel X axis strip below).
  EXPECT_GT(picture.Count(kWhite, 0, 0, 300, 20), 0) << "a title";
  EXPECT_LT(picture.Count(kWhite, 0, 0, 300, 20), 300 * 20) << "a title";
  EXPECT_EQ(picture.Count(kWhite, 289, 25, 300, 150), 11 * 125) << "no right axis";
  EXPECT_EQ(picture.Count(kRed, 150, 0, 151, 200), 1);
  EXPECT_EQ(picture.At(150, 25 + 61), kRed);  // trunc(124 - 5 * 12.5)
  // X ticks every 2 hang 4 pixels from the strip's top, at 70 + trunc(x * 218 / 10).
  for (int x : {70, 113, 157, 200, 244, 288}) EXPECT_EQ(picture.Count(kBlack, x, 150, x + 1, 154), 4) << x;
  EXPECT_EQ(picture.Count(kBlack, 0, 152, 300, 153), 6);
  EXPECT_LT(picture.Count(kWhite, 0, 155, 300, 200), 300 * 45) << "X labels and title";
}

// Two level lines, red at 5 and blue at 5.5, in the plot area {70, 25, 288, 150} of the first test.
TEST(PlotTool, LegendGoesWhereAsked) {
  const std::string two = InWorkDir("levels.csv", "x,low,high\n0,5,5.5\n10,5,5.5\n"), png = InWorkDir("legend.png");
  const std::string one = InWorkDir("one.csv", "x,level\n0,5\n10,5\n");
  const std::vector<std::string> common = {"--size",    "300x200",     "--xlim",   "0:10",     "--ylim", "0:10",
                                           "--no-grid", "--no-border", "--colors", "red,blue", "-o",     png};
  constexpr COLORREF kFrame = 0x00808080;
  // Where the frame's edges must be (0: not checked); no box at all when `shown` is false. The
  // default is upper right with two lines and none with one.
  const std::tuple<const char*, const std::string&, bool, int, int, int, int> cases[] = {
      {"upper-right", two, true, 0, 33, 280, 0},  {"upper-left", two, true, 78, 33, 0, 0},
      {"lower-right", two, true, 0, 0, 280, 142}, {"lower-left", two, true, 78, 0, 0, 142},
      {"outside", two, true, 0, 25, 292, 0},      {"none", two, false, 0, 0, 0, 0},
      {nullptr, two, true, 0, 33, 280, 0},        {nullptr, one, false, 0, 0, 0, 0},
      {"upper-left", one, true, 78, 33, 0, 0}};
  for (const auto& [place, csv, shown, left, top, right, bottom] : cases) {
    SCOPED_TRACE(std::string(place ? place : "default") + " " + csv);
    std::vector<std::string> args = common;
    if (place) args.insert(args.end(), {"--legend", place});
    args.push_back(csv);
    ASSERT_EQ(RunPlot(args).exitCode, 0);
    Canvas picture(300, 200);
    ASSERT_TRUE(picture.Load(png));
    const Box box = picture.Find(kFrame, Box{70, 25, 300, 150});
    ASSERT_EQ(box.Empty(), !shown);
    for (auto [edge, want] : {std::pair(box.left, left), {box.top, top}, {box.right, right}, {box.bottom, bottom}})
      EXPECT_EQ(want ? edge : 0, want);
    if (!shown || &csv == &one) continue;
    // One 28-pixel sample per line in the line's colour, in the lines' order.
    const Box red = picture.Find(kRed, box), blue = picture.Find(kBlue, box);
    EXPECT_EQ(std::tuple(red.Width(), blue.Width(), red.top < blue.top), std::tuple(28, 28, true));
    // An outside legend does not cover the lines: the graph is narrower.
    const Box lines = picture.Find(kRed, Box{0, 80, 300, 95});
    EXPECT_TRUE(std::strcmp(place ? place : "", "outside") || lines.right < box.left) << box.left;
  }
}

TEST(PlotTool, LegendCountsTheRowsThatDoNotFit) {
  const HDC dc = CreateCompatibleDC(nullptr);
  const std::vector<plot::LegendEntry> five(5, {"sensor", 0, 0, 1, true, std::nullopt});
  const int three = plot::MeasureLegend(dc, {five.begin(), five.begin() + 3}, {}).cy;
  const auto fitted = plot::FitLegend(dc, five, {}, three), all = plot::FitLegend(dc, five, {}, three * 2);
  EXPECT_EQ(std::tuple(fitted.size(), fitted.back().name, all.size()), std::tuple(3u, "and 3 more", 5u));
  DeleteDC(dc);
}

// Level lines 1 to 11 (a survey's yearly shares, flat for the picture), each across the plot.
TEST(PlotTool, ElevenLinesTakeTenColoursThenDashes) {
  std::string csv = "year", rows[2] = {"2000", "2024"};
  for (int k = 1; k <= 11; ++k) {
    csv += ",region " + std::to_string(k);
    for (std::string& row : rows) row += "," + std::to_string(k);
  }
  const std::string png = InWorkDir("eleven.png"),
                    data = InWorkDir("regions.csv", (csv + "\n" + rows[0] + "\n" + rows[1] + "\n").c_str());
  ASSERT_EQ(
      RunPlot({"--size=300x200", "--ylim=0:12", "--no-grid", "--no-border", "--legend=none", "-o", png, data}).exitCode,
      0);
  Canvas picture(300, 200);
  ASSERT_TRUE(picture.Load(png));
  // Top down: each drawn row's colour and how many of the plot's 218 columns it covers.
  std::vector<std::pair<COLORREF, int>> drawn;
  for (int y = 25; y < 150; ++y) {
    const COLORREF colour = picture.At(150, y) != kWhite ? picture.At(150, y) : picture.At(152, y);
    if (colour != kWhite) drawn.emplace_back(colour, picture.Count(colour, 70, y, 288, y + 1));
  }
  ASSERT_EQ(drawn.size(), 11u);
  std::set<COLORREF> colours;
  for (std::size_t k = 1; k < 11; ++k) colours.insert(drawn[k].first);
  // Line 1 is solid; line 11 takes its colour, dashed (three quarters drawn; dotted would be half).
  EXPECT_EQ(std::tuple(colours.size(), drawn[10].second, drawn[0].first == drawn[10].first, drawn[0].second / 50),
            std::tuple(10u, 218, true, 3));
}

// One-point lines, --xlim fitting Y, and the output's format.
TEST(PlotTool, MarkersLimitsAndOutputs) {
  const std::string png = InWorkDir("points.png");
  // A calibration reading taken once, among hourly readings: shown as a blue circle at (1, 5).
  const std::string once = InWorkDir("once.csv", "hour,level,calibration\n0,1,\n1,2,5\n2,3,\n");
  // x² with a reading whose time was lost; X from 1 to 3 shows Y from 1 to 9, so (2, 4) is mid-height.
  const std::string square = InWorkDir("square.csv", "t,y\n0,0\n1,1\n,1000\n2,4\n3,9\n10,100\n");
  const std::vector<std::string> common = {"--size", "300x200", "--no-grid", "--colors", "red,blue", "-o", png};
  const std::tuple<std::vector<std::string>, COLORREF, Box, int> pictures[] = {
      {{"--ylim", "0:10", once}, kBlue, {176, 83, 183, 90}, 12},
      {{"--xlim", "1:3", square}, kRed, {177, 99, 182, 106}, 2},
  };
  for (const auto& [args, colour, where, least] : pictures) {
    std::vector<std::string> all = common;
    all.insert(all.end(), args.begin(), args.end());
    ASSERT_EQ(RunPlot(all).exitCode, 0) << args.back();
    Canvas picture(300, 200);
    ASSERT_TRUE(picture.Load(png));
    EXPECT_GE(picture.Count(colour, where.left, where.top, where.right, where.bottom), least) << args.back();
  }
  // "-o -": the PNG on standard output, the message on standard error, and no file named "-".
  const char* dir = std::getenv("KELMIRA_TOOLS_DIR");
  const std::string piped = InWorkDir("piped.png");
  const ProcessResult run = RunProcess(
      {"/bin/sh", "-c", "\"$0\" -o - \"$1\" > \"$2\"", std::string(dir ? dir : ".") + "/kelmira-plot", once, piped});
  EXPECT_EQ(run.output, "kelmira-plot: wrote the PNG to standard output (800x500, 2 lines, 3 points each)\n");
  EXPECT_EQ(std::pair(ReadFile(piped).substr(1, 3), std::filesystem::exists(InWorkDir("-"))),
            std::pair(std::string("PNG"), false));
}

TEST(PlotTool, SavedSettingsDrawTheSameGraph) {
  const std::string settings = InWorkDir("look.graph"), first = InWorkDir("first.png"), again = InWorkDir("again.png");
  std::vector<std::string> look = {"--title",      "Look",  "--xlabel",    "hours", "--background", "#f0f0ff",
                                   "--grid-style", "solid", "--font-size", "11",    "--save",       settings};
  look.insert(look.end(), {"-o", first});
  const ProcessResult saved = RunPlot(look);
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  const ProcessResult loaded = RunPlot({"--load", settings, "-o", again});
  ASSERT_EQ(loaded.exitCode, 0) << loaded.output;
  EXPECT_EQ(ReadFile(first), ReadFile(again));

  // Settings saved with --dpi are those of the screen.
  look.insert(look.end(), {"--dpi", "150", "-o", again});
  ASSERT_EQ(RunPlot(look).exitCode, 0);
  ASSERT_EQ(RunPlot({"--load", settings, "-o", again}).exitCode, 0);
  EXPECT_EQ(ReadFile(first), ReadFile(again));

  // Options given with --load override the file.
  ASSERT_EQ(RunPlot({"--load", settings, "--title", "Other", "-o", again}).exitCode, 0);
  EXPECT_NE(ReadFile(first), ReadFile(again));

  // A damaged file is refused before anything is drawn.
  const std::string whole = ReadFile(settings);
  WriteFile(InWorkDir("cut.graph"), whole.substr(0, whole.size() / 2));
  WriteFile(InWorkDir("long.graph"), whole + "x");
  for (const char* name : {"cut.graph", "long.graph"}) {
    std::filesystem::remove(again);
    const ProcessResult run = RunPlot({"--load", InWorkDir(name), "-o", again});
    EXPECT_EQ(run.exitCode, 1) << name;
    EXPECT_NE(run.output.find("is damaged"), std::string::npos) << run.output;
    EXPECT_FALSE(std::filesystem::exists(again)) << name;
  }
}

TEST(PlotTool, BadInputGivesClearMessages) {
  const std::string bad = InWorkDir("bad.csv", "x,y\n1,2\n2,two\n"), good = InWorkDir("good.csv", "x,y\n1,2\n2,3\n");
  const std::string labels = InWorkDir("labels.csv", "name,y\nfirst,2\nsecond,3\n");
  const std::string wide = InWorkDir("wide.csv", "x,y\n-1e308,1\n1e308,2\n");
  const std::string iris = InWorkDir("iris.csv", "length,width,species\n5.1,3.5,setosa\n7.0,3.2,versicolor\n");
  const std::string gaps = InWorkDir("gaps.csv", "x,y\n1,2\n2,-inf\n3\n4,5\n");
  const std::string wideText = InWorkDir("utf16.csv", "\xFF\xFEx\0");
  // Outputs that are not regular writable files are refused and left alone; a link is written through.
  const std::string dir = InWorkDir("a-dir"), fifo = InWorkDir("a-fifo"), locked = InWorkDir("locked.png", "keep");
  const std::string link = InWorkDir("link.png"), linked = InWorkDir("linked.png", "old");
  std::filesystem::create_directory(dir);
  mkfifo(fifo.c_str(), 0644);
  std::filesystem::permissions(locked, std::filesystem::perms::owner_read);
  std::filesystem::remove(link);
  std::filesystem::create_symlink(linked, link);
  // Arguments, exit status, and the whole output or, with "~", a part of it.
  const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
      {{"/nonexistent/data.csv"}, 1, "kelmira-plot: cannot open '/nonexistent/data.csv': No such file or directory\n"},
      {{bad}, 1, "kelmira-plot: " + bad + ":3: column 2 (y): 'two' is not a number\n"},
      {{labels}, 1, "kelmira-plot: " + labels + ":2: column 1 (name): 'first' is not a number\n"},
      {{"--xticklabels", "name", labels}, 0, "~wrote"},
      {{wide}, 1, "kelmira-plot: the X range runs from -1e+308 to 1e+308, too wide to draw\n"},
      {{"-x", "1", "-y", "width", iris}, 0, "~wrote"},
      {{"--skip-bad-rows", gaps},
       0,
       "~column 2 (y): 1 infinite value drawn as a gap\nkelmira-plot: skipped 1 bad row (first: " + gaps + ":4)\n"},
      {{wideText},
       1,
       "kelmira-plot: " + wideText + ": looks like UTF-16 text; save it as UTF-8 (or ASCII) and try again\n"},
      {{"-o", dir, good}, 1, "kelmira-plot: '" + dir + "' is a directory, not a file that can be replaced\n"},
      {{"-o", fifo, good}, 1, "kelmira-plot: '" + fifo + "' is a named pipe, not a file that can be replaced\n"},
      {{"-o", locked, good}, 1, "kelmira-plot: '" + locked + "' is read-only\n"},
      {{"-o", link, good}, 0, "~wrote"},
      {{"-o", "/proc/self/out.png", good}, 1, "~no file can be created in '/proc/self'"},
      {{"-o", "/nonexistent/dir/out.png", good},
       1,
       "kelmira-plot: cannot write '/nonexistent/dir/out.png': the directory '/nonexistent/dir' does not exist\n"},
      {{"--save", "/nonexistent/dir/s.graph", good},
       1,
       "kelmira-plot: cannot write '/nonexistent/dir/s.graph': the directory '/nonexistent/dir' does not exist\n"},
      {{"--load", good}, 1, "kelmira-plot: '" + good + "' is not a graph saved by kelmira-plot --save\n"},
      {{"-o", "fig.eps", good}, 2, "~: fig.eps: unsupported output format '.eps' (supported: .png, .svg, .pdf)\nTry"},
      {{"-o", "fig.pdf", "--dpi", "300", good}, 2, "~--dpi is for PNG output"},
      {{"-o", "print.png", "--size", "2inx1.5in", "--dpi", "192", good}, 0, "~(384x288, 1 lines"},
      {{"-o", "fig.PNG", good}, 0, "~wrote"},
      {{"--size", "big"}, 2, "~Try 'kelmira-plot --help'"},  // after the message the option tests check
      {{"--help"}, 0, "~--xticklabels COLUMN"},
  };
  const std::string png = InWorkDir("kelmira-plot.png");
  for (const auto& [args, status, output] : cases) {
    SCOPED_TRACE(args[0]);
    std::filesystem::remove(png);
    const ProcessResult run = RunPlot(args);
    EXPECT_EQ(run.exitCode, status);
    if (output[0] == '~')
      EXPECT_NE(run.output.find(output.substr(1)), std::string::npos) << run.output;
    else
      EXPECT_EQ(run.output, output);
    EXPECT_TRUE(status == 0 || !std::filesystem::exists(png));
  }
  EXPECT_FALSE(std::filesystem::exists("fig.pdf") || std::filesystem::exists("fig.svg"));
  EXPECT_EQ(std::tuple(std::filesystem::is_symlink(link), ReadFile(linked).substr(1, 3), ReadFile(locked),
                       std::filesystem::is_fifo(fifo)),
            std::tuple(true, std::string("PNG"), std::string("keep"), true));
}

}  // namespace
}  // namespace kelmira::test

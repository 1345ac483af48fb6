// kelmira-plot run as a program: the graph it draws, its saved settings and its messages for bad
// input.
#include "support/canvas.h"
#include "support/child_process.h"
#include "support/scratch_dir.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include <sys/stat.h>

namespace kelmira::test {
namespace {

ProcessResult RunPlot(std::vector<std::string> args) {
  const char* dir = std::getenv("KELMIRA_TOOLS_DIR");
  args.insert(args.begin(), std::string(dir ? dir : ".") + "/kelmira-plot");
  return RunProcess(args);
}

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
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(KelmiraLoadPng(png.c_str(), &bitmap), S_OK);
  Canvas picture(300, 200);
  const HDC dc = CreateCompatibleDC(nullptr);
  {
    Selected selected(dc, bitmap);
    BitBlt(picture.dc(), 0, 0, 300, 200, dc, 0, 0, SRCCOPY);
  }
  DeleteDC(dc);

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

TEST(PlotTool, EpochSecondsStayApart) {
  // A zigzag one second per point at 1.7e9 s: in single precision X falls on 128-second steps.
  std::string text = "t,v\n";
  for (int i = 0; i < 100; ++i) text += std::to_string(1700000000 + i) + "," + std::to_string(i % 2) + "\n";
  const std::string csv = InWorkDir("epoch.csv", text.c_str()), png = InWorkDir("epoch.png");
  ASSERT_EQ(RunPlot({"--size", "300x200", "--ylim", "-1:2", "--colors", "red", "-o", png, csv}).exitCode, 0);
  Canvas picture(300, 200);
  ASSERT_TRUE(picture.LoadPng(png.c_str()));
  EXPECT_GT(picture.Count(kRed, 150, 25, 200, 150), 300);
}

TEST(PlotTool, SavedSettingsDrawTheSameGraph) {
  const std::string settings = InWorkDir("look.graph"), first = InWorkDir("first.png"), again = InWorkDir("again.png");
  const ProcessResult saved = RunPlot({"--title", "Look", "--xlabel", "hours", "--background", "#f0f0ff",
                                       "--grid-style", "solid", "--font-size", "11", "--save", settings, "-o", first});
  ASSERT_EQ(saved.exitCode, 0) << saved.output;
  const ProcessResult loaded = RunPlot({"--load", settings, "-o", again});
  ASSERT_EQ(loaded.exitCode, 0) << loaded.output;
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
  EXPECT_EQ(std::tuple(std::filesystem::is_symlink(link), ReadFile(linked).substr(1, 3), ReadFile(locked),
                       std::filesystem::is_fifo(fifo)),
            std::tuple(true, std::string("PNG"), std::string("keep"), true));
}

}  // namespace
}  // namespace kelmira::test

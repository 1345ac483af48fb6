// kelmira-plot run as a program: the picture it writes and its messages for bad input.
#include "support/canvas.h"
#include "support/child_process.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

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

TEST(PlotTool, DrawsACsvFileIntoAPng) {
  // A flat line at y = 5 over 0..10 in both directions: row 99 - 5 * 10 = 49 of a 100-pixel picture.
  const std::string csv = InWorkDir("flat.csv", "x,level\n0,5\n5,5\n10,5\n"), png = InWorkDir("flat.png");
  std::filesystem::remove(png);
  const ProcessResult run = RunPlot({"--size", "120x100", "--ylim", "0:10", "--no-grid", "--no-border", "--colors",
                                     "red", "--background", "white", "-o", png, csv});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("wrote"), std::string::npos);
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(KelmiraLoadPng(png.c_str(), &bitmap), S_OK);
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  ASSERT_EQ(std::pair(info.bmWidth, info.bmHeight), std::pair(120, 100));
  Canvas picture(120, 100);
  const HDC dc = CreateCompatibleDC(nullptr);
  {
    Selected selected(dc, bitmap);
    BitBlt(picture.dc(), 0, 0, 120, 100, dc, 0, 0, SRCCOPY);
  }
  DeleteDC(dc);
  ExpectPicture(picture, [](int, int y) { return y == 49 ? kRed : kWhite; });
}

TEST(PlotTool, BadInputGivesClearMessages) {
  const std::string bad = InWorkDir("bad.csv", "x,y\n1,2\n2,two\n"), good = InWorkDir("good.csv", "x,y\n1,2\n2,3\n");
  const struct {
    std::vector<std::string> args;
    int status;
    std::string output;  // the whole output, or with "~" a part of it
  } cases[] = {
      {{"/nonexistent/data.csv"}, 1, "kelmira-plot: cannot open '/nonexistent/data.csv': No such file or directory\n"},
      {{bad}, 1, "kelmira-plot: " + bad + ":3: column 2 (y): 'two' is not a number\n"},
      {{"-o", "/nonexistent/dir/out.png", good},
       1,
       "kelmira-plot: cannot write '/nonexistent/dir/out.png': the directory does not exist\n"},
      {{"--size", "big"}, 2, "~Try 'kelmira-plot --help'"},  // after the message the option tests check
      {{"--help"}, 0, "~Usage: kelmira-plot"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args[0]);
    const ProcessResult run = RunPlot(c.args);
    EXPECT_EQ(run.exitCode, c.status);
    if (c.output[0] == '~')
      EXPECT_NE(run.output.find(c.output.substr(1)), std::string::npos) << run.output;
    else
      EXPECT_EQ(run.output, c.output);
  }
}

}  // namespace
}  // namespace kelmira::test

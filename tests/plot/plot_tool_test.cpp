// kelmira-plot run as a program: the picture it writes and its messages for bad input.
#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct ToolRun {
  int status = -1;
  std::string output;  // stdout and stderr together
};

ToolRun RunPlot(const std::string& args) {
  const char* dir = std::getenv("KELMIRA_TOOLS_DIR");
  std::string command = std::string(dir ? dir : ".") + "/kelmira-plot " + args + " 2>&1";
  ToolRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[512];
  while (std::fgets(buffer, sizeof buffer, pipe)) run.output += buffer;
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string WriteFile(const std::string& name, const std::string& content) {
  std::filesystem::path path = std::filesystem::current_path() / name;
  std::ofstream(path) << content;
  return path.string();
}

class Png {
 public:
  explicit Png(const std::string& path) {
    if (FAILED(KelmiraLoadPng(path.c_str(), &bitmap_))) return;
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
    BITMAP info{};
    GetObjectA(bitmap_, sizeof info, &info);
    width = info.bmWidth;
    height = info.bmHeight;
  }
  ~Png() {
    if (!dc_) return;
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  int width = 0, height = 0;

 private:
  HBITMAP bitmap_ = nullptr;
  HDC dc_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace

TEST(PlotTool, DrawsACsvFileIntoAPng) {
  // A flat line at y = 5 over 0..10 in both directions: row 99 - 5 * 10 = 49 of a 100-pixel picture.
  std::string csv = WriteFile("flat.csv", "x,level\n0,5\n5,5\n10,5\n");
  std::string png = (std::filesystem::current_path() / "flat.png").string();
  std::filesystem::remove(png);
  ToolRun run =
      RunPlot("--size 120x100 --ylim 0:10 --no-grid --no-border --colors red --background white -o " + png + " " + csv);
  ASSERT_EQ(run.status, 0) << run.output;
  EXPECT_NE(run.output.find("wrote"), std::string::npos);
  Png picture(png);
  ASSERT_EQ(picture.width, 120);
  ASSERT_EQ(picture.height, 100);
  EXPECT_EQ(picture.At(10, 49), 0x0000FFu);
  EXPECT_EQ(picture.At(60, 49), 0x0000FFu);
  EXPECT_EQ(picture.At(60, 48), 0xFFFFFFu);
  EXPECT_EQ(picture.At(60, 20), 0xFFFFFFu);
  EXPECT_EQ(picture.At(0, 99), 0xFFFFFFu);
}

TEST(PlotTool, DemoDataFillsThePicture) {
  std::string png = (std::filesystem::current_path() / "demo.png").string();
  ToolRun run = RunPlot("--size 400x300 -o " + png);
  ASSERT_EQ(run.status, 0) << run.output;
  Png picture(png);
  ASSERT_EQ(picture.width, 400);
  // The frame is drawn in the grid colour (lines may cross it) and nothing is left red (uncovered).
  int frame = 0, red = 0, background = 0;
  for (int y = 0; y < 300; ++y) frame += picture.At(0, y) == 0xA0A0A0u;
  EXPECT_GT(frame, 270);
  for (int y = 0; y < 300; y += 3)
    for (int x = 0; x < 400; x += 3) {
      red += picture.At(x, y) == 0x0000FFu;
      background += picture.At(x, y) == 0xFFFFFFu;
    }
  EXPECT_EQ(red, 0);
  EXPECT_GT(background, 100 * 133 / 2);
}

TEST(PlotTool, BadInputGivesClearMessages) {
  ToolRun run = RunPlot("/nonexistent/data.csv");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "kelmira-plot: cannot open '/nonexistent/data.csv': No such file or directory\n");

  std::string bad = WriteFile("bad.csv", "x,y\n1,2\n2,two\n");
  run = RunPlot(bad);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "kelmira-plot: " + bad + ":3: column 2 (y): 'two' is not a number\n");

  std::string empty = WriteFile("empty.csv", "x,y\n");
  run = RunPlot(empty);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "kelmira-plot: " + empty + ": no data rows\n");

  std::string good = WriteFile("good.csv", "x,y\n1,2\n2,3\n");
  run = RunPlot("-o /nonexistent/dir/out.png " + good);
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.output, "kelmira-plot: cannot write '/nonexistent/dir/out.png': the directory does not exist\n");

  run = RunPlot("--size big");
  EXPECT_EQ(run.status, 2);
  EXPECT_NE(run.output.find("bad value 'big' for --size"), std::string::npos);
  EXPECT_NE(run.output.find("Try 'kelmira-plot --help'"), std::string::npos);

  run = RunPlot("--help");
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.output.find("Usage: kelmira-plot"), std::string::npos);
}

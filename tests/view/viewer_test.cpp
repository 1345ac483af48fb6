// kelmira-view run as a user would: a scripted session on generated data without a display, the
// same session with real SDL windows (SDL's offscreen driver, and Xvfb when it is installed), the
// files its keys write, and its refusals.
#include "support/environment.h"
#include "support/plot_run.h"
#include "support/scratch_dir.h"
#include "support/x_server.h"

#include "plot/plot_options.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

namespace kelmira::test {
namespace {

ProcessResult RunView(std::vector<std::string> args) { return RunTool("kelmira-view", std::move(args)); }

// The lines a run printed that start with `word`, without it.
std::vector<std::string> Printed(const std::string& output, const std::string& word) {
  std::vector<std::string> found;
  std::istringstream in(output);
  for (std::string line; std::getline(in, line);)
    if (line.rfind(word + " ", 0) == 0) found.push_back(line.substr(word.size() + 1));
  return found;
}

struct Box {
  double x0, x1, y0, y1;
};
Box Parse(const std::string& text) {
  Box b{};
  std::istringstream(text) >> b.x0 >> b.x1 >> b.y0 >> b.y1;
  return b;
}

// A noisy sine and a damped cosine over 0..20.
void WriteData(const std::string& path) {
  std::ofstream out(path);
  out << "t,signal,reference\n";
  for (int i = 0; i <= 2000; ++i) {
    const double t = i * 0.01;
    out << t << "," << std::sin(t) + 0.05 * std::sin(37.0 * t) << "," << 0.8 * std::cos(t) * std::exp(-t / 15) << "\n";
  }
}

class ViewerRun : public ::testing::Test {
 protected:
  void SetUp() override { WriteData(data); }
  ProcessResult Session(const std::string& script, std::vector<std::string> more = {}) {
    { std::ofstream(dir / "session.txt") << script; }
    std::vector<std::string> args{data, "--size", "600x400", "--script", dir / "session.txt"};
    args.insert(args.end(), more.begin(), more.end());
    return RunView(args);
  }
  ScratchDir dir;
  std::string data = dir / "wave.csv";
};

const char kSession[] =
    "print extents\n"
    "drag 25% 25% 75% 75%\n"
    "print limits\n"
    "wheel 2 50% 50%\n"
    "print limits\n"
    "key home\n"
    "print limits\n"
    "key 3\n"
    "drag 10% 20% 30% 60% 4\n"
    "print status\n"
    "key p\n"
    "snapshot {page}\n"
    "key escape\n"
    "print limits\n"
    "move 50% 50%\n"
    "print status\n"
    "key p\n"
    "key tab\n"
    "type Scan 42\n"
    "key return\n"
    "print title\n"
    "resize 500 300\n"
    "print limits\n";

std::string WithPage(const std::string& script, const std::string& page) {
  std::string s = script;
  s.replace(s.find("{page}"), 6, page);
  return s;
}

TEST_F(ViewerRun, ZoomsByRectangleWheelAndHomeReportsToolsAndOpensThePropertyPage) {
  const std::string png = dir / "end.png", page = dir / "page.png";
  ProcessResult run = Session(WithPage(kSession, page), {"--snapshot", png});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  const std::vector<std::string> limits = Printed(run.output, "limits"), status = Printed(run.output, "status");
  ASSERT_EQ(std::pair(limits.size(), status.size()), std::pair(std::size_t{5}, std::size_t{2})) << run.output;
  const Box all = Parse(Printed(run.output, "extents").at(0)), rect = Parse(limits[0]), wheel = Parse(limits[1]);
  const double w = all.x1 - all.x0, h = all.y1 - all.y0;
  EXPECT_NEAR(all.x0, 0, 1e-9);
  EXPECT_NEAR(all.x1, 20, 1e-9);
  // The middle half of the plot, to a pixel or two; the wheel keeps the middle and shows 1/1.25^2.
  const double px = w / 400, py = h / 300;  // plot smaller than the window: generous pixel sizes
  for (auto [got, want, pixel] : {std::tuple(rect.x0, all.x0 + w / 4, px),
                                  {rect.x1, all.x0 + 3 * w / 4, px},
                                  {rect.y0, all.y0 + h / 4, py},
                                  {rect.y1, all.y0 + 3 * h / 4, py}})
    EXPECT_NEAR(got, want, 2 * pixel) << run.output;
  EXPECT_NEAR(wheel.x1 - wheel.x0, (rect.x1 - rect.x0) / 1.5625, 1e-6);
  EXPECT_NEAR((wheel.x0 + wheel.x1) / 2, (rect.x0 + rect.x1) / 2, 2 * px);
  EXPECT_EQ(limits[2], Printed(run.output, "extents").at(0));  // Home
  EXPECT_EQ(limits[3], limits[2]);                             // the page was cancelled
  EXPECT_EQ(limits[4], "0 20 -1.11 1.11");  // OK applied the page fields (two decimals); resizing kept them
  EXPECT_EQ(Printed(run.output, "title"), std::vector<std::string>{"Scan 42"});  // typed into the page, OK
  EXPECT_NE(status[0].find("DragRectangle (0: zoom)  |  DragRectangle: ("), std::string::npos) << status[0];
  EXPECT_EQ(status[1].rfind("x 10", 0) == 0 || status[1].rfind("x 9.9", 0) == 0, true) << status[1];

  // The page's frame was in front: its picture is the dialog, not the viewer.
  auto pageSize = [](const std::string& path) {
    HBITMAP bitmap = nullptr;
    BITMAP info{};
    if (KelmiraLoadPng(path.c_str(), &bitmap) != S_OK) return SIZE{};
    GetObjectA(bitmap, sizeof info, &info);
    DeleteObject(bitmap);
    return SIZE{info.bmWidth, info.bmHeight};
  };
  const SIZE frame = pageSize(page), window = pageSize(png);
  EXPECT_EQ(std::pair(window.cx, window.cy), std::pair(LONG{500}, LONG{300}));
  EXPECT_TRUE(frame.cx > 300 && frame.cx != 600) << frame.cx << "x" << frame.cy;

  // Laid out again at the new size: both lines in their colours, the status line grey below.
  auto picture = LoadPicture(png, 500, 300);
  int first = 0, second = 0;
  for (int y = 0; y < 278; ++y)
    for (int x = 0; x < 500; ++x) {
      first += picture->At(x, y) == plot::kDefaultPalette[0];
      second += picture->At(x, y) == plot::kDefaultPalette[1];
    }
  EXPECT_TRUE(first > 300 && second > 300) << first << " " << second;
  EXPECT_EQ(std::pair(picture->At(250, 296), picture->At(250, 270)),
            std::pair(GetSysColor(COLOR_BTNFACE), COLORREF{0x00FFFFFF}));
}

// The same session with the SDL back-end prints the same, so what the headless runs test is
// what a user sees.
TEST_F(ViewerRun, RunsTheSameWithRealWindows) {
  const std::string script = WithPage(kSession, dir / "page.png");
  ProcessResult headless = Session(script);
  ASSERT_EQ(headless.exitCode, 0) << headless.output;
  std::vector<std::pair<std::string, ProcessResult>> runs;
  {
    EnvOverride backend("KELMIRA_DISPLAY", "sdl"), driver("SDL_VIDEODRIVER", "offscreen");
    runs.emplace_back("offscreen", Session(script));
  }
  if (XServer::Available()) {
    XServer server;
    ASSERT_FALSE(server.Display().empty());
    EnvOverride backend("KELMIRA_DISPLAY", "sdl"), display("DISPLAY", server.Display()),
        wayland("WAYLAND_DISPLAY", std::nullopt), driver("SDL_VIDEODRIVER", std::nullopt),
        bus("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    runs.emplace_back("Xvfb", Session(script));
  } else {
    std::cout << "Xvfb is not installed (scripts/install-deps.sh installs it): the X11 run is left out\n";
  }
  for (const auto& [name, run] : runs) {
    EXPECT_EQ(run.exitCode, 0) << name << ": " << run.output;
    for (const char* word : {"extents", "limits", "status", "title"})
      EXPECT_EQ(Printed(run.output, word), Printed(headless.output, word)) << name;
  }
}

// S and Ctrl+S never replace a file: they take the next free name, and --load brings the saved
// view back.
TEST_F(ViewerRun, SavesTakeFreshNamesAndTheSavedViewComesBack) {
  std::ofstream(dir / "wave-1.png") << "keep";
  ProcessResult run = Session("drag 20% 20% 60% 70%\nkey s\nkey ctrl+s\nprint limits\nprint status\n");
  ASSERT_EQ(run.exitCode, 0) << run.output;
  std::ifstream kept(dir / "wave-1.png");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "keep");
  auto picture = LoadPicture(dir / "wave-2.png", 600, 400);
  EXPECT_NE(picture->At(599, 399), CLR_INVALID);
  EXPECT_NE(Printed(run.output, "status").at(0).find("wrote " + (dir / "wave-1.klg")), std::string::npos);

  ProcessResult again = Session("print limits\n", {"--load", dir / "wave-1.klg"});
  ASSERT_EQ(again.exitCode, 0) << again.output;
  EXPECT_EQ(Printed(again.output, "limits"), Printed(run.output, "limits"));
}

// S writes the format that -o names by its extension.
TEST_F(ViewerRun, SavesTheFormatTheOutputNames) {
  ProcessResult run = Session("key s\n", {"-o", dir / "wave.PDF"});
  ASSERT_EQ(run.exitCode, 0) << run.output;
  EXPECT_EQ(ReadFile(dir / "wave.PDF").substr(0, 5), "%PDF-");
}

TEST_F(ViewerRun, RefusesBadInputBeforeAnyWork) {
  const std::string png = dir / "never.png";
  std::ofstream(dir / "bad.txt") << "move 1 2\nclick lft\n";
  std::ofstream(dir / "print.txt") << "print everything\n";
  const struct {
    std::vector<std::string> args;
    int code;
    const char* says;
  } cases[] = {
      {{data, "--script", dir / "bad.txt", "--snapshot", png}, 1, "bad.txt:2: unknown button 'lft'"},
      {{data, "--script", dir / "print.txt"}, 1, "print.txt:1: cannot print 'everything'"},
      {{data, "--script", dir / "none.txt"}, 1, "none.txt"},
      {{data, "--snapshot", dir.path()}, 1, "is a directory"},
      {{dir / "missing.csv", "--snapshot", png}, 1, "missing.csv"},
      {{data, "--bogus"}, 2, "unknown option '--bogus'"},
      {{data, "--script"}, 2, "needs a file name"},
      {{data, "-o", "-"}, 2, "writes its pictures to files"},
      {{data, "--dpi", "300"}, 2, "--dpi is for kelmira-plot"},
      {{"--help"}, 0, "Ctrl+S"},
  };
  EnvOverride headless("KELMIRA_DISPLAY", "headless");  // and no script: nothing would be shown
  ProcessResult unseen = RunView({data});
  EXPECT_TRUE(unseen.exitCode == 1 && unseen.output.find("nothing would be shown") != std::string::npos)
      << unseen.output;
  for (const auto& c : cases) {
    ProcessResult run = RunView(c.args);
    EXPECT_EQ(run.exitCode, c.code) << c.says << ": " << run.output;
    EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
  }
  EXPECT_FALSE(std::filesystem::exists(png));
}

}  // namespace
}  // namespace kelmira::test

// The SDL back-end on a real X server (a private Xvfb), and the kelmira-view tool on every
// display it supports.
#include "support/canvas.h"
#include "support/child_process.h"
#include "support/environment.h"
#include "support/x_server.h"

#if KELMIRA_HAVE_SDL2
#include "support/pump.h"
#include "support/sdl_window.h"
#endif

#include <kelmira/platform.h>

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace kelmira::test {
namespace {

// SDL's input-method probe would otherwise ask the X server to start a session bus for it (and
// libdbus keeps what it allocated for that until the process ends).
constexpr char kNoSessionBus[] = "disabled:";

std::string ViewTool() {
  const char* dir = std::getenv("KELMIRA_TOOLS_DIR");
  std::string path = dir ? std::string(dir) + "/kelmira-view" : std::string();
  return !path.empty() && access(path.c_str(), X_OK) == 0 ? path : std::string();
}

#if KELMIRA_HAVE_SDL2
using Xvfb = WindowTest;

// Every frame of the tool moves its crosshair by injected input, so frames only come when the
// whole chain works: input, hit testing, the hosted control's repaint request, paint, present.
TEST_F(Xvfb, WindowIsShownPaintedAndTakesPointerInputAndTheToolRunsFrames) {
  if (!XServer::Available()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs it)";
  XServer server;
  ASSERT_FALSE(server.Display().empty());
  EnvOverride display("DISPLAY", server.Display()), wayland("WAYLAND_DISPLAY", std::nullopt),
      driver("SDL_VIDEODRIVER", std::nullopt), bus("DBUS_SESSION_BUS_ADDRESS", kNoSessionBus);
  if (std::string tool = ViewTool(); !tool.empty()) {
    ProcessResult x11 = RunProcess({tool, "--frames", "6", "--size", "320x200"});
    EXPECT_EQ(x11.exitCode, 0) << x11.output;
  }
  ASSERT_EQ(KelmiraSetDisplayBackend("sdl"), S_OK);
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);

  HWND hwnd = Top(100, 120, 200, 150, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ASSERT_NE(Native(hwnd), nullptr);
  EXPECT_TRUE(SDL_GetWindowFlags(Native(hwnd)) & SDL_WINDOW_SHOWN);
  ASSERT_TRUE(PumpUntil([&] { return window::SdlPresentCountOf(hwnd) > 0 && Count(hwnd, WM_PAINT) > 0; }));
  // What went to the X server: the window surface holds the class background.
  EXPECT_EQ(Presented(hwnd, 100, 75), kClassBackground);

  // The pointer moves on the X server; its motion event comes back as a client message.
  SDL_WarpMouseInWindow(Native(hwnd), 20, 30);
  auto at = [](const Sent& m) { return m.lParam == MAKELPARAM(20, 30); };
  ASSERT_TRUE(PumpUntil([&] { return std::ranges::any_of(Log({WM_MOUSEMOVE}, hwnd), at); }));
  // A size change made on the desktop side reaches the window as WM_SIZE.
  SDL_SetWindowSize(Native(hwnd), 260, 190);
  ASSERT_TRUE(PumpUntil([&] { return Client(hwnd) == Edges{0, 0, 260, 190}; }));
  DestroyWindow(hwnd);
  EXPECT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
}
#endif

TEST(XvfbView, HeadlessSnapshotOffscreenFramesAndArguments) {
  std::string tool = ViewTool();
  if (tool.empty()) GTEST_SKIP() << "kelmira-view not found (KELMIRA_TOOLS_DIR)";
  EnvOverride display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt),
      driver("SDL_VIDEODRIVER", std::nullopt);
  std::string png = testing::TempDir() + "kelmira-view-snapshot.png";
  std::remove(png.c_str());
  ProcessResult snapshot = RunProcess({tool, "--headless-snapshot", png, "--size", "300x200"});
  ASSERT_EQ(snapshot.exitCode, 0) << snapshot.output;
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(KelmiraLoadPng(png.c_str(), &bitmap), S_OK);
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  EXPECT_EQ(std::pair(info.bmWidth, info.bmHeight), std::pair(300, 200));
  // The bottom-left corner is the gradient's teal end, away from crosshair and text.
  HDC dc = CreateCompatibleDC(nullptr);
  {
    Selected picture(dc, bitmap);
    COLORREF corner = GetPixel(dc, 0, 199);
    EXPECT_TRUE(GetRValue(corner) < 0x20 && GetGValue(corner) > 0x90) << std::hex << corner;
  }
  DeleteDC(dc);

  ProcessResult none = RunProcess({tool, "--frames", "1"});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.output.find("--headless-snapshot"), std::string::npos) << none.output;
  EXPECT_EQ(std::tuple(RunProcess({tool, "--help"}).exitCode, RunProcess({tool, "--frames", "0"}).exitCode,
                       RunProcess({tool, "--size", "12"}).exitCode),
            std::tuple(0, 2, 2));
#if KELMIRA_HAVE_SDL2
  EnvOverride offscreenDriver("SDL_VIDEODRIVER", "offscreen");
  ProcessResult offscreen = RunProcess({tool, "--frames", "4"});
  EXPECT_EQ(offscreen.exitCode, 0) << offscreen.output;
#endif
}

}  // namespace
}  // namespace kelmira::test

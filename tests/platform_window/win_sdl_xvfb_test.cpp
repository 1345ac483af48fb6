// The SDL back-end on a real X server (a private Xvfb), and the kelmira-view tool on every
// display it supports.
#include "win_sdl_support.h"

#if KELMIRA_HAVE_SDL2
#include "window/backend_sdl.h"

#include <SDL2/SDL.h>
#endif

#include <cstdio>
#include <cstring>

using namespace win_sdl_test;

namespace {

// SDL's input-method probe would otherwise ask the X server to start a session bus for it (and
// libdbus keeps what it allocated for that until the process ends).
constexpr char kNoSessionBus[] = "disabled:";

std::string ViewTool() {
  const char* dir = std::getenv("KELMIRA_TOOLS_DIR");
  std::string path = dir ? std::string(dir) + "/kelmira-view" : std::string();
  return !path.empty() && access(path.c_str(), X_OK) == 0 ? path : std::string();
}

}  // namespace

#if KELMIRA_HAVE_SDL2
using kelmira::window::SdlPresentCountOf;
using kelmira::window::SdlWindowIdOf;

TEST(WinSdlXvfb, WindowIsShownPaintedAndTakesPointerInput) {
  if (!XServer::Available()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs it)";
  XServer server;
  ASSERT_TRUE(server.Start());
  EnvOverride display("DISPLAY", server.Display());
  EnvOverride wayland("WAYLAND_DISPLAY", std::nullopt);
  EnvOverride driver("SDL_VIDEODRIVER", std::nullopt);
  EnvOverride bus("DBUS_SESSION_BUS_ADDRESS", kNoSessionBus);
  ASSERT_EQ(KelmiraSetDisplayBackend("sdl"), S_OK);
  EXPECT_STREQ(SDL_GetCurrentVideoDriver(), "x11");
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  wincore::RegisterTestClasses();
  wincore::Recorder::Get() = wincore::Recorder{};

  HWND hwnd = CreateWindowExA(0, "WinCoreTest", "Xvfb window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 200, 150,
                              nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  SDL_Window* native = SDL_GetWindowFromID(SdlWindowIdOf(hwnd));
  ASSERT_NE(native, nullptr);
  EXPECT_TRUE(SDL_GetWindowFlags(native) & SDL_WINDOW_SHOWN);
  ASSERT_TRUE(PumpUntil([&] { return SdlPresentCountOf(hwnd) > 0 && Find(hwnd, WM_PAINT); }));

  // What went to the X server: the window surface holds the class background.
  SDL_Surface* surface = SDL_GetWindowSurface(native);
  ASSERT_NE(surface, nullptr);
  Uint32 pixel = 0;
  std::memcpy(&pixel, static_cast<const Uint8*>(surface->pixels) + 75 * surface->pitch + 100 * 4, sizeof pixel);
  Uint8 r, g, b;
  SDL_GetRGB(pixel, surface->format, &r, &g, &b);
  EXPECT_EQ(RGB(r, g, b), wincore::kBackground);

  // The pointer moves on the X server; its motion event comes back as a client message.
  SDL_WarpMouseInWindow(native, 20, 30);
  ASSERT_TRUE(PumpUntil([&] {
    for (const wincore::Event& m : wincore::Recorder::Get().events)
      if (m.hwnd == hwnd && m.msg == WM_MOUSEMOVE && m.lParam == MAKELPARAM(20, 30)) return true;
    return false;
  }));

  // A size change made on the desktop side reaches the window as WM_SIZE.
  SDL_SetWindowSize(native, 260, 190);
  ASSERT_TRUE(PumpUntil([&] {
    RECT rc;
    return GetClientRect(hwnd, &rc) && rc.right == 260 && rc.bottom == 190;
  }));

  DestroyWindow(hwnd);
  wincore::Recorder::Get() = wincore::Recorder{};
  EXPECT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
}

// Every frame of the tool moves its crosshair by injected input, so frames only come when the
// whole chain works: input, hit testing, the hosted control's repaint request, paint, present.
TEST(WinSdlView, RunsFramesOnXvfbAndOffscreen) {
  std::string tool = ViewTool();
  if (tool.empty()) GTEST_SKIP() << "kelmira-view not found (KELMIRA_TOOLS_DIR)";
  ProcessResult offscreen =
      RunProcess({tool, "--frames", "4"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", "offscreen"}});
  EXPECT_EQ(offscreen.exitCode, 0) << offscreen.output;

  if (!XServer::Available()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs it)";
  XServer server;
  ASSERT_TRUE(server.Start());
  ProcessResult x11 =
      RunProcess({tool, "--frames", "6", "--size", "320x200"}, {{"DISPLAY", server.Display()},
                                                                {"WAYLAND_DISPLAY", ""},
                                                                {"SDL_VIDEODRIVER", ""},
                                                                {"DBUS_SESSION_BUS_ADDRESS", kNoSessionBus}});
  EXPECT_EQ(x11.exitCode, 0) << x11.output;
}
#endif

TEST(WinSdlView, HeadlessSnapshotAndArguments) {
  std::string tool = ViewTool();
  if (tool.empty()) GTEST_SKIP() << "kelmira-view not found (KELMIRA_TOOLS_DIR)";
  std::string png = testing::TempDir() + "kelmira-view-snapshot.png";
  std::remove(png.c_str());
  ProcessResult snapshot = RunProcess({tool, "--headless-snapshot", png, "--size", "300x200"}, {{"DISPLAY", ""}});
  ASSERT_EQ(snapshot.exitCode, 0) << snapshot.output;

  HBITMAP bitmap = nullptr;
  ASSERT_EQ(KelmiraLoadPng(png.c_str(), &bitmap), S_OK);
  BITMAP info{};
  GetObjectA(bitmap, sizeof info, &info);
  EXPECT_EQ(info.bmWidth, 300);
  EXPECT_EQ(info.bmHeight, 200);
  // The bottom-left corner is the gradient's teal end, away from crosshair and text.
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bitmap);
  COLORREF corner = GetPixel(dc, 0, 199);
  EXPECT_LT(GetRValue(corner), 0x20);
  EXPECT_GT(GetGValue(corner), 0x90);
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bitmap);

  EXPECT_EQ(RunProcess({tool, "--help"}).exitCode, 0);
  EXPECT_EQ(RunProcess({tool, "--frames", "0"}).exitCode, 2);
  EXPECT_EQ(RunProcess({tool, "--size", "12"}).exitCode, 2);
  ProcessResult noDisplay =
      RunProcess({tool, "--frames", "1"}, {{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"SDL_VIDEODRIVER", ""}});
  EXPECT_EQ(noDisplay.exitCode, 1);
  EXPECT_NE(noDisplay.output.find("--headless-snapshot"), std::string::npos) << noDisplay.output;
}

// Display back-ends. Choosing one: the API call, KELMIRA_DISPLAY at first use (in fresh child
// processes), and the clear failure when SDL finds no display. The SDL back-end with SDL's
// offscreen video driver: desktop windows follow top-level windows, paints are presented, and SDL
// events come back as messages; the same on a real X server (a private Xvfb).
#include "support/canvas.h"
#include "support/child_process.h"
#include "support/environment.h"
#include "support/recording_window.h"
#include "support/x_server.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#if KELMIRA_HAVE_SDL2
#include "support/pump.h"
#include "support/sdl_window.h"

#include <thread>
#endif

namespace kelmira::test {
namespace {
// The back-end a fresh process ends up with: what the child half below writes, with SDL's word.
std::string ChildBackend(const char* kelmiraDisplay, std::optional<std::string> sdlDriver = std::nullopt) {
  EnvOverride display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt),
      driver("SDL_VIDEODRIVER", sdlDriver), chosen("KELMIRA_DISPLAY", kelmiraDisplay);
  return RunProcess(
             {SelfPath(), "--gtest_filter=BackendSelectChild.DISABLED_Writes", "--gtest_also_run_disabled_tests"})
      .output;
}

using BackendSelect = WindowTest;

// Bad names and live windows leave the back-end alone, and so does SDL without a display (unless
// a console driver takes over there).
TEST_F(BackendSelect, BadNamesLiveWindowsAndNoDisplayLeaveTheBackendAlone) {
  ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
  EnvOverride display("DISPLAY", std::nullopt), wayland("WAYLAND_DISPLAY", std::nullopt),
      driver("SDL_VIDEODRIVER", std::nullopt);
  if (HRESULT sdl = KelmiraSetDisplayBackend("sdl"); sdl != S_OK) {
    EXPECT_EQ(std::pair(sdl, std::string(KelmiraGetDisplayBackend())), std::pair(E_FAIL, std::string("headless")));
  }
  ASSERT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);  // falling back is the caller's choice
  EXPECT_EQ(std::pair(KelmiraSetDisplayBackend(nullptr), KelmiraSetDisplayBackend("vga")),
            std::pair(E_INVALIDARG, E_INVALIDARG));
  HWND hwnd = Top(0, 0, 100, 80, WS_OVERLAPPEDWINDOW);
  // Even the current one is refused.
  EXPECT_EQ((std::tuple{KelmiraSetDisplayBackend("sdl"), KelmiraSetDisplayBackend("headless"),
                        std::string(KelmiraGetDisplayBackend())}),
            std::tuple(E_ACCESSDENIED, E_ACCESSDENIED, "headless"));
  DestroyWindow(hwnd);
}

// A fresh process reads KELMIRA_DISPLAY once, at first use; SDL says why it cannot start.
TEST(BackendSelectFirstUse, EnvironmentDecides) {
  for (const char* value : {"", "headless", "vga"})
    EXPECT_NE(ChildBackend(value).find("back-end: headless\n"), std::string::npos) << value;
  std::string sdl = ChildBackend("sdl");
  EXPECT_NE(sdl.find("back-end: headless\n"), std::string::npos) << sdl;
#if KELMIRA_HAVE_SDL2
  EXPECT_NE(sdl.find("SDL display back-end cannot start: no display"), std::string::npos) << sdl;
  // A driver that draws nowhere is accepted when asked for by name.
  EXPECT_NE(ChildBackend("sdl", "offscreen").find("back-end: sdl\n"), std::string::npos);
#else
  EXPECT_NE(sdl.find("this build has no SDL2"), std::string::npos) << sdl;
#endif
}

TEST(BackendSelectChild, DISABLED_Writes) { std::printf("back-end: %s\n", KelmiraGetDisplayBackend()); }

#if KELMIRA_HAVE_SDL2

using window::SdlPresentCountOf;
using window::SdlWindowIdOf;
using SdlBackend = SdlWindowTest;

void PushWindowEvent(HWND hwnd, Uint8 which, int data1 = 0, int data2 = 0) {
  Push(hwnd, SDL_WINDOWEVENT,
       [&](SDL_Event& e) { e.window.event = which, e.window.data1 = data1, e.window.data2 = data2; });
}

TEST_F(SdlBackend, DesktopWindowFollowsTheTopLevelWindowPresentsItsPaintAndBringsEvents) {
  HWND hwnd = Top(30, 40, 200, 150, WS_OVERLAPPEDWINDOW);
  SetWindowTextA(hwnd, "Caf\xE9");  // Windows-1252 in, UTF-8 out
  EXPECT_EQ(SdlWindowIdOf(hwnd), 0u) << "no desktop window before it is shown";
  ShowWindow(hwnd, SW_SHOW);
  SDL_Window* native = Native(hwnd);
  ASSERT_NE(native, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(native), "Caf\xC3\xA9");
  int x, y, w, h;
  auto geometry = [&] {
    return SDL_GetWindowPosition(native, &x, &y), SDL_GetWindowSize(native, &w, &h), std::vector<int>{x, y, w, h};
  };
  EXPECT_EQ(
      (std::tuple{geometry(), (SDL_GetWindowFlags(native) & SDL_WINDOW_RESIZABLE) != 0,
                  (SetWindowTextA(hwnd, "\xC9t\xE9"), std::string(SDL_GetWindowTitle(native))),
                  (MoveWindow(hwnd, 50, 60, 300, 220, TRUE), geometry())}),
      std::tuple(std::vector<int>{30, 40, 200, 150}, true, "\xC3\x89t\xC3\xA9", std::vector<int>{50, 60, 300, 220}));

  // Paints are presented.
  ASSERT_TRUE(PumpUntil([&] { return Count(hwnd, WM_PAINT) > 0; }));
  EXPECT_EQ(std::pair(Presented(hwnd, 0, 0), Presented(hwnd, 199, 149)), std::pair(kClassBackground, kClassBackground));
  unsigned presents = SdlPresentCountOf(hwnd);
  EXPECT_GT(presents, 0u);

  // Drawing outside WM_PAINT shows once the DC is released.
  Fill(hwnd, RECT{10, 10, 20, 20}, RGB(0, 0xFF, 0));
  EXPECT_EQ(std::pair(Presented(hwnd, 15, 15), Presented(hwnd, 25, 15)), std::pair(RGB(0, 0xFF, 0), kClassBackground));
  EXPECT_GT(SdlPresentCountOf(hwnd), presents);

  // An expose shows the kept pixels again without asking the window to paint.
  Clear();
  presents = SdlPresentCountOf(hwnd);
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_EXPOSED);
  ASSERT_TRUE(PumpUntil([&] { return SdlPresentCountOf(hwnd) > presents; }));
  EXPECT_EQ(Count(hwnd, WM_PAINT), 0);

  // Size changes, moves and closing made on the desktop side come back as window changes.
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_SIZE_CHANGED, 320, 240);
  ASSERT_TRUE(PumpUntil([&] { return Count(hwnd, WM_SIZE) > 0 && Count(hwnd, WM_PAINT) > 0; }));
  EXPECT_EQ(Log({WM_SIZE}, hwnd)[0].lParam, MAKELPARAM(320, 240));
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_MOVED, 70, 80);
  ASSERT_TRUE(PumpUntil([&] { return Count(hwnd, WM_MOVE) > 0; }));
  EXPECT_EQ(Screen(hwnd), (Edges{70, 80, 390, 320}));

  // Input events become client messages.
  SetFocus(hwnd);
  auto button = [hwnd](Uint32 type, Uint8 which, int bx, int by) {
    Push(hwnd, type, [&](SDL_Event& e) { e.button.button = which, e.button.x = bx, e.button.y = by; });
  };
  Push(hwnd, SDL_MOUSEMOTION, [](SDL_Event& e) { e.motion.x = 10, e.motion.y = 20; });
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 11, 21);
  button(SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 11, 21);
  button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X2, 12, 22);
  Push(hwnd, SDL_MOUSEWHEEL, [](SDL_Event& e) { e.wheel.y = -2, e.wheel.mouseX = 5, e.wheel.mouseY = 6; });
  Push(hwnd, SDL_KEYDOWN, [](SDL_Event& e) { e.key.keysym.sym = SDLK_q; });
  Push(hwnd, SDL_KEYUP, [](SDL_Event& e) { e.key.keysym.sym = SDLK_q; });
  ASSERT_TRUE(PumpUntil([&] { return Count(hwnd, WM_KEYUP) > 0; }));
  // The wheel carries screen coordinates, the rest client ones.
  EXPECT_EQ(Log({WM_MOUSEMOVE}, hwnd).at(0).lParam, MAKELPARAM(10, 20));
  // Scan code 0x10 for Q.
  // clang-format off
  EXPECT_EQ(
      Log({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_XBUTTONDOWN, WM_MOUSEWHEEL, WM_KEYDOWN, WM_CHAR}, hwnd),
      (std::vector<Sent>{{hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(11, 21)},
                         {hwnd, WM_LBUTTONUP, 0, MAKELPARAM(11, 21)},
                         {hwnd, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), MAKELPARAM(12, 22)},
                         {hwnd, WM_MOUSEWHEEL, MAKEWPARAM(MK_XBUTTON2, -2 * WHEEL_DELTA), MAKELPARAM(75, 86)},
                         {hwnd, WM_KEYDOWN, 'Q', 0x00100001}, {hwnd, WM_CHAR, 'q', 0x00100001}}));
  // clang-format on

  // GetMessageA waits for native events; with no desktop window left nothing can arrive, and the
  // loop ends instead of blocking for ever.
  SDL_Event motion{};  // made here: window handles belong to this thread
  motion.motion = SDL_MouseMotionEvent{SDL_MOUSEMOTION, 0, SdlWindowIdOf(hwnd), 0, 0, 3, 4, 0, 0};
  std::thread late([&motion] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SDL_PushEvent(&motion);
  });
  MSG msg{};
  BOOL got = GetMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE);
  late.join();
  EXPECT_EQ(std::tuple(got, msg.message, msg.lParam), std::tuple(TRUE, UINT{WM_MOUSEMOVE}, MAKELPARAM(3, 4)));
  EXPECT_EQ((std::tuple{ShowWindow(hwnd, SW_HIDE), (SDL_GetWindowFlags(native) & SDL_WINDOW_HIDDEN) != 0,
                        GetMessageA(&msg, nullptr, 0, 0)}),
            std::tuple(TRUE, true, -1));
  Uint32 id = SdlWindowIdOf(hwnd);
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_CLOSE);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
  EXPECT_EQ(std::pair(Count(hwnd, WM_CLOSE), SDL_GetWindowFromID(id)), std::pair(1, static_cast<SDL_Window*>(nullptr)));
}

// Ranges at their ends, the keys whose codes do not line up with a range, and keys the platform
// has no code for, dropped rather than guessed.
TEST(SdlKeys, KeycodesMapToVirtualKeys) {
  std::vector<int> vks;
  for (SDL_Keycode k :
       {SDLK_a, SDLK_9, SDLK_F24, SDLK_KP_0, SDLK_KP_ENTER, SDLK_RSHIFT, SDLK_QUOTE, SDLK_AUDIOPLAY, SDLK_UNKNOWN})
    vks.push_back(window::VirtualKeyFromSdlKeycode(k));
  EXPECT_EQ(vks, (std::vector<int>{'A', '9', VK_F12 + 12, VK_NUMPAD0, VK_RETURN, VK_SHIFT, VK_OEM_7, 0, 0}));
}

#endif

// SDL's input-method probe would otherwise ask the X server to start a session bus for it (and
// libdbus keeps what it allocated for that until the process ends).
constexpr char kNoSessionBus[] = "disabled:";

#if KELMIRA_HAVE_SDL2
using Xvfb = WindowTest;

TEST_F(Xvfb, WindowIsShownPaintedAndTakesPointerInput) {
  if (!XServer::Available()) GTEST_SKIP() << "Xvfb is not installed (scripts/install-deps.sh installs it)";
  XServer server;
  ASSERT_FALSE(server.Display().empty());
  EnvOverride display("DISPLAY", server.Display()), wayland("WAYLAND_DISPLAY", std::nullopt),
      driver("SDL_VIDEODRIVER", std::nullopt), bus("DBUS_SESSION_BUS_ADDRESS", kNoSessionBus);
  ASSERT_EQ(KelmiraSetDisplayBackend("sdl"), S_OK);
  EXPECT_EQ(std::pair(std::string(SDL_GetCurrentVideoDriver()), GetSystemMetrics(SM_CXSCREEN)),
            std::pair(std::string("x11"), 1024));

  HWND hwnd = Top(100, 120, 200, 150, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ASSERT_TRUE(Native(hwnd) && (SDL_GetWindowFlags(Native(hwnd)) & SDL_WINDOW_SHOWN));
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

}  // namespace
}  // namespace kelmira::test

// The SDL back-end with SDL's offscreen video driver: desktop windows follow top-level windows,
// paints are presented, and SDL events come back as messages. Events are pushed into SDL's queue
// as a display server would deliver them.
#if KELMIRA_HAVE_SDL2
#include "win_sdl_support.h"

#include "window/backend_sdl.h"

#include <SDL2/SDL.h>

#include <cstring>
#include <optional>
#include <thread>

using namespace win_sdl_test;
using kelmira::window::SdlPresentCountOf;
using kelmira::window::SdlWindowIdOf;

namespace {

class WinSdlBackend : public wincore::WindowTest {
 protected:
  void SetUp() override {
    driver_.emplace("SDL_VIDEODRIVER", "offscreen");
    ASSERT_EQ(KelmiraSetDisplayBackend("sdl"), S_OK);
    ASSERT_STREQ(KelmiraGetDisplayBackend(), "sdl");
    wincore::WindowTest::SetUp();
  }

  void TearDown() override {
    wincore::WindowTest::TearDown();
    EXPECT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
  }

  // Painted in the class background, wincore::kBackground.
  HWND MakeWindow(DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE) {
    HWND hwnd =
        CreateWindowExA(0, "WinCoreTest", "Plot window", style, 30, 40, 200, 150, nullptr, nullptr, nullptr, nullptr);
    created_.push_back(hwnd);
    return hwnd;
  }

  static SDL_Window* Native(HWND hwnd) { return SDL_GetWindowFromID(SdlWindowIdOf(hwnd)); }

  // What the desktop window shows at (x, y), read from its window surface.
  static COLORREF Presented(HWND hwnd, int x, int y) {
    SDL_Surface* surface = SDL_GetWindowSurface(Native(hwnd));
    if (!surface || x >= surface->w || y >= surface->h) return CLR_INVALID;
    const auto* row = static_cast<const Uint8*>(surface->pixels) + y * surface->pitch;
    Uint32 pixel = 0;
    std::memcpy(&pixel, row + x * surface->format->BytesPerPixel, sizeof pixel);
    Uint8 r, g, b;
    SDL_GetRGB(pixel, surface->format, &r, &g, &b);
    return RGB(r, g, b);
  }

  // Pushes an event for hwnd's desktop window (every SDL event has its window id at the same place).
  template <class Fill>
  static void Push(HWND hwnd, Uint32 type, Fill fill) {
    SDL_Event e{};
    e.type = type;
    e.window.windowID = SdlWindowIdOf(hwnd);
    fill(e);
    SDL_PushEvent(&e);
  }
  static void PushWindowEvent(HWND hwnd, Uint8 which, int data1 = 0, int data2 = 0) {
    Push(hwnd, SDL_WINDOWEVENT,
         [&](SDL_Event& e) { e.window.event = which, e.window.data1 = data1, e.window.data2 = data2; });
  }
  static void PushButton(HWND hwnd, Uint32 type, Uint8 button, int x, int y) {
    Push(hwnd, type, [&](SDL_Event& e) { e.button.button = button, e.button.x = x, e.button.y = y; });
  }

  static bool Received(HWND hwnd, UINT msg) { return Rec().Count(hwnd, msg) > 0; }

 private:
  std::optional<EnvOverride> driver_;
};

}  // namespace

TEST_F(WinSdlBackend, DesktopWindowFollowsTheTopLevelWindow) {
  HWND hwnd = MakeWindow(WS_OVERLAPPEDWINDOW);
  ASSERT_NE(hwnd, nullptr);
  EXPECT_EQ(SdlWindowIdOf(hwnd), 0u) << "no desktop window before it is shown";

  ShowWindow(hwnd, SW_SHOW);
  SDL_Window* native = Native(hwnd);
  ASSERT_NE(native, nullptr);
  EXPECT_STREQ(SDL_GetWindowTitle(native), "Plot window");
  auto geometry = [native] {
    int x, y, w, h;
    SDL_GetWindowPosition(native, &x, &y);
    SDL_GetWindowSize(native, &w, &h);
    return std::vector<int>{x, y, w, h};
  };
  EXPECT_EQ(geometry(), (std::vector<int>{30, 40, 200, 150}));
  EXPECT_TRUE(SDL_GetWindowFlags(native) & SDL_WINDOW_RESIZABLE);

  SetWindowTextA(hwnd, "Caf\xE9");  // Windows-1252 in, UTF-8 out
  EXPECT_STREQ(SDL_GetWindowTitle(native), "Caf\xC3\xA9");

  MoveWindow(hwnd, 50, 60, 300, 220, TRUE);
  EXPECT_EQ(geometry(), (std::vector<int>{50, 60, 300, 220}));

  ShowWindow(hwnd, SW_HIDE);
  EXPECT_TRUE(SDL_GetWindowFlags(native) & SDL_WINDOW_HIDDEN);

  Uint32 id = SdlWindowIdOf(hwnd);
  DestroyWindow(hwnd);
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
}

TEST_F(WinSdlBackend, PaintingIsPresented) {
  HWND hwnd = MakeWindow();
  ASSERT_TRUE(PumpUntil([&] { return Received(hwnd, WM_PAINT); }));
  EXPECT_EQ(Presented(hwnd, 0, 0), wincore::kBackground);
  EXPECT_EQ(Presented(hwnd, 199, 149), wincore::kBackground);
  unsigned presents = SdlPresentCountOf(hwnd);
  EXPECT_GT(presents, 0u);

  // Drawing outside WM_PAINT shows once the DC is released.
  HDC hdc = GetDC(hwnd);
  RECT corner{10, 10, 20, 20};
  HBRUSH green = CreateSolidBrush(RGB(0, 0xFF, 0));
  FillRect(hdc, &corner, green);
  DeleteObject(green);
  ReleaseDC(hwnd, hdc);
  EXPECT_EQ(Presented(hwnd, 15, 15), RGB(0, 0xFF, 0));
  EXPECT_EQ(Presented(hwnd, 25, 15), wincore::kBackground);
  EXPECT_GT(SdlPresentCountOf(hwnd), presents);

  // An expose shows the kept pixels again without asking the window to paint.
  Clear();
  presents = SdlPresentCountOf(hwnd);
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_EXPOSED);
  ASSERT_TRUE(PumpUntil([&] { return SdlPresentCountOf(hwnd) > presents; }));
  EXPECT_FALSE(Received(hwnd, WM_PAINT));
}

TEST_F(WinSdlBackend, InputEventsBecomeClientMessages) {
  HWND hwnd = MakeWindow();
  SetFocus(hwnd);
  Push(hwnd, SDL_MOUSEMOTION, [](SDL_Event& e) { e.motion.x = 10, e.motion.y = 20; });
  PushButton(hwnd, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 11, 21);
  PushButton(hwnd, SDL_MOUSEBUTTONUP, SDL_BUTTON_LEFT, 11, 21);
  PushButton(hwnd, SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X2, 12, 22);
  Push(hwnd, SDL_MOUSEWHEEL, [](SDL_Event& e) { e.wheel.y = -2, e.wheel.mouseX = 5, e.wheel.mouseY = 6; });
  Push(hwnd, SDL_KEYDOWN, [](SDL_Event& e) { e.key.keysym.sym = SDLK_q; });
  Push(hwnd, SDL_KEYUP, [](SDL_Event& e) { e.key.keysym.sym = SDLK_q; });
  ASSERT_TRUE(PumpUntil([&] { return Received(hwnd, WM_KEYUP); }));

  EXPECT_EQ(Find(hwnd, WM_MOUSEMOVE)->lParam, MAKELPARAM(10, 20));
  std::optional<wincore::Event> down = Find(hwnd, WM_LBUTTONDOWN);
  ASSERT_TRUE(down && Received(hwnd, WM_LBUTTONUP) && Received(hwnd, WM_XBUTTONDOWN));
  EXPECT_EQ(down->lParam, MAKELPARAM(11, 21));
  EXPECT_TRUE(down->wParam & MK_LBUTTON);
  EXPECT_EQ(HIWORD(Find(hwnd, WM_XBUTTONDOWN)->wParam), XBUTTON2);
  std::optional<wincore::Event> wheel = Find(hwnd, WM_MOUSEWHEEL);
  ASSERT_TRUE(wheel);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel->wParam), -2 * WHEEL_DELTA);
  EXPECT_EQ(wheel->lParam, MAKELPARAM(30 + 5, 40 + 6)) << "the wheel carries screen coordinates";
  EXPECT_EQ(Find(hwnd, WM_KEYDOWN)->wParam, WPARAM{'Q'});
  ASSERT_TRUE(Received(hwnd, WM_CHAR));
  EXPECT_EQ(Find(hwnd, WM_CHAR)->wParam, WPARAM{'q'});
}

TEST_F(WinSdlBackend, ResizeMoveAndCloseComeBackAsWindowChanges) {
  HWND hwnd = MakeWindow();
  ASSERT_TRUE(PumpUntil([&] { return Received(hwnd, WM_PAINT); }));
  Clear();

  PushWindowEvent(hwnd, SDL_WINDOWEVENT_SIZE_CHANGED, 320, 240);
  ASSERT_TRUE(PumpUntil([&] { return Received(hwnd, WM_SIZE) && Received(hwnd, WM_PAINT); }));
  EXPECT_EQ(Find(hwnd, WM_SIZE)->lParam, MAKELPARAM(320, 240));

  PushWindowEvent(hwnd, SDL_WINDOWEVENT_MOVED, 70, 80);
  ASSERT_TRUE(PumpUntil([&] { return Received(hwnd, WM_MOVE); }));
  RECT r;
  GetWindowRect(hwnd, &r);
  EXPECT_EQ((std::vector<LONG>{r.left, r.top, r.right, r.bottom}), (std::vector<LONG>{70, 80, 390, 320}));

  Uint32 id = SdlWindowIdOf(hwnd);
  PushWindowEvent(hwnd, SDL_WINDOWEVENT_CLOSE);
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(hwnd); }));
  EXPECT_TRUE(Received(hwnd, WM_CLOSE));
  EXPECT_EQ(SDL_GetWindowFromID(id), nullptr);
}

TEST_F(WinSdlBackend, GetMessageWaitsForNativeEvents) {
  HWND hwnd = MakeWindow();
  ASSERT_TRUE(PumpUntil([&] { return Received(hwnd, WM_PAINT); }));
  SDL_Event motion{};
  motion.type = SDL_MOUSEMOTION;
  motion.motion.windowID = SdlWindowIdOf(hwnd);
  motion.motion.x = 3;
  motion.motion.y = 4;
  std::thread late([&motion] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    SDL_PushEvent(&motion);
  });
  MSG msg{};
  BOOL got = GetMessageA(&msg, nullptr, WM_MOUSEMOVE, WM_MOUSEMOVE);
  late.join();
  EXPECT_EQ(got, TRUE);
  EXPECT_EQ(msg.message, WM_MOUSEMOVE);
  EXPECT_EQ(msg.lParam, MAKELPARAM(3, 4));

  // With no desktop window left nothing can arrive: the loop ends instead of blocking for ever.
  ShowWindow(hwnd, SW_HIDE);
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), -1);
}
#endif

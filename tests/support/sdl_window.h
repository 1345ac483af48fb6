// The SDL back-end's desktop windows as a test sees them: what they show, and events pushed into
// SDL's queue as a display server would deliver them. Only for programs built with SDL2.
#pragma once

#include "support/environment.h"
#include "support/recording_window.h"
#include "window/backend_sdl.h"

#include <SDL2/SDL.h>

#include <cstring>

namespace kelmira::test {

inline SDL_Window* Native(HWND hwnd) { return SDL_GetWindowFromID(window::SdlWindowIdOf(hwnd)); }

// What the desktop window shows at (x, y), read from its window surface.
inline COLORREF Presented(HWND hwnd, int x, int y) {
  SDL_Surface* s = SDL_GetWindowSurface(Native(hwnd));
  if (!s || x >= s->w || y >= s->h) return CLR_INVALID;
  Uint32 pixel = 0;
  std::memcpy(&pixel, static_cast<const Uint8*>(s->pixels) + y * s->pitch + x * s->format->BytesPerPixel, sizeof pixel);
  Uint8 r, g, b;
  SDL_GetRGB(pixel, s->format, &r, &g, &b);
  return RGB(r, g, b);
}

// An event for hwnd's desktop window (every SDL event has its window id at the same place).
template <class Fill>
void Push(HWND hwnd, Uint32 type, Fill fill) {
  SDL_Event e{};
  e.type = type;
  e.window.windowID = window::SdlWindowIdOf(hwnd);
  fill(e);
  SDL_PushEvent(&e);
}

// Recording windows on the SDL back-end with SDL's offscreen driver.
class SdlWindowTest : public WindowTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(KelmiraSetDisplayBackend("sdl"), S_OK);
    WindowTest::SetUp();
  }
  void TearDown() override {
    WindowTest::TearDown();
    EXPECT_EQ(KelmiraSetDisplayBackend("headless"), S_OK);
  }
  EnvOverride driver_{"SDL_VIDEODRIVER", "offscreen"};
};

}  // namespace kelmira::test

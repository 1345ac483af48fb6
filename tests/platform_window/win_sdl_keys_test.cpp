// SDL keycodes to virtual keys.
#if KELMIRA_HAVE_SDL2
#include "win_sdl_support.h"

#include "window/backend_sdl.h"

#include <SDL2/SDL_keyboard.h>

TEST(WinSdlKeys, KeycodesMapToVirtualKeys) {
  struct Case {
    SDL_Keycode sdl;
    int vk;
  } cases[] = {
      // Ranges at their ends, and the keys whose codes do not line up with a range.
      {SDLK_a, 'A'},
      {SDLK_9, '9'},
      {SDLK_F24, VK_F12 + 12},
      {SDLK_KP_0, VK_NUMPAD0},
      {SDLK_KP_ENTER, VK_RETURN},
      {SDLK_RSHIFT, VK_SHIFT},
      {SDLK_QUOTE, VK_OEM_7},
      // Keys the platform has no code for are dropped rather than guessed.
      {SDLK_AUDIOPLAY, 0},
      {SDLK_UNKNOWN, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kelmira::window::VirtualKeyFromSdlKeycode(c.sdl), c.vk) << SDL_GetKeyName(c.sdl);
  }
}
#endif

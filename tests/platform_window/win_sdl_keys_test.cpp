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
      {SDLK_a, 'A'},           {SDLK_z, 'Z'},          {SDLK_0, '0'},               {SDLK_9, '9'},
      {SDLK_F1, VK_F1},        {SDLK_F12, VK_F12},     {SDLK_F13, VK_F12 + 1},      {SDLK_F24, VK_F12 + 12},
      {SDLK_KP_1, VK_NUMPAD1}, {SDLK_KP_9, VK_NUMPAD9}, {SDLK_KP_0, VK_NUMPAD0},    {SDLK_KP_ENTER, VK_RETURN},
      {SDLK_ESCAPE, VK_ESCAPE}, {SDLK_BACKSPACE, VK_BACK}, {SDLK_DELETE, VK_DELETE}, {SDLK_PAGEDOWN, VK_NEXT},
      {SDLK_RSHIFT, VK_SHIFT}, {SDLK_RCTRL, VK_CONTROL}, {SDLK_LALT, VK_MENU},       {SDLK_CAPSLOCK, VK_CAPITAL},
      {SDLK_SEMICOLON, VK_OEM_1}, {SDLK_MINUS, VK_OEM_MINUS}, {SDLK_QUOTE, VK_OEM_7}, {SDLK_KP_DIVIDE, VK_DIVIDE},
      // Keys the platform has no code for are dropped rather than guessed.
      {SDLK_AUDIOPLAY, 0},     {SDLK_UNKNOWN, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(kelmira::window::VirtualKeyFromSdlKeycode(c.sdl), c.vk) << SDL_GetKeyName(c.sdl);
  }
}
#endif

// SDL keycodes to virtual keys.
#if KELMIRA_HAVE_SDL2
#include "win_sdl_support.h"

#include "window/backend_sdl.h"

#include <SDL2/SDL_keyboard.h>

using kelmira::window::VirtualKeyFromSdlKeycode;

TEST(WinSdlKeys, LettersDigitsAndRuns) {
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_a), 'A');
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_z), 'Z');
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_0), '0');
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_9), '9');
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F1), VK_F1);
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F12), VK_F12);
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F13), VK_F12 + 1);
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_F24), VK_F12 + 12);
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_KP_1), VK_NUMPAD1);
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_KP_9), VK_NUMPAD9);
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_KP_0), VK_NUMPAD0);
}

TEST(WinSdlKeys, NamedKeysModifiersAndPunctuation) {
  struct Case {
    SDL_Keycode sdl;
    int vk;
  } cases[] = {
      {SDLK_RETURN, VK_RETURN},     {SDLK_KP_ENTER, VK_RETURN}, {SDLK_ESCAPE, VK_ESCAPE},
      {SDLK_BACKSPACE, VK_BACK},    {SDLK_TAB, VK_TAB},         {SDLK_SPACE, VK_SPACE},
      {SDLK_DELETE, VK_DELETE},     {SDLK_LEFT, VK_LEFT},       {SDLK_PAGEDOWN, VK_NEXT},
      {SDLK_LSHIFT, VK_SHIFT},      {SDLK_RSHIFT, VK_SHIFT},    {SDLK_RCTRL, VK_CONTROL},
      {SDLK_LALT, VK_MENU},         {SDLK_CAPSLOCK, VK_CAPITAL}, {SDLK_SEMICOLON, VK_OEM_1},
      {SDLK_MINUS, VK_OEM_MINUS},   {SDLK_SLASH, VK_OEM_2},     {SDLK_QUOTE, VK_OEM_7},
      {SDLK_KP_PLUS, VK_ADD},       {SDLK_KP_DIVIDE, VK_DIVIDE},
  };
  for (const Case& c : cases) EXPECT_EQ(VirtualKeyFromSdlKeycode(c.sdl), c.vk) << SDL_GetKeyName(c.sdl);
  // Keys the platform has no code for are dropped rather than guessed.
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_AUDIOPLAY), 0);
  EXPECT_EQ(VirtualKeyFromSdlKeycode(SDLK_UNKNOWN), 0);
}
#endif

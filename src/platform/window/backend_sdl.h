// The SDL2 display back-end: each visible top-level window is a desktop window showing the
// window's backing surface; SDL's mouse, keyboard and window events come back in as injected
// input, SetWindowPos and WM_CLOSE.
//
// This header has no SDL types, so that code built without SDL (and the tests) can include it.
#pragma once

#include "window/backend.h"

#include <cstdint>
#include <memory>

namespace kelmira::window {

// Starts SDL's video subsystem. Null, with the reason on stderr, when it cannot start or when
// the only video driver SDL finds draws nowhere (no display), unless that driver was asked for
// through SDL_VIDEODRIVER.
std::unique_ptr<Backend> MakeSdlBackend();

// The virtual key of an SDL keycode (US layout), 0 for keys the platform has no code for.
KELMIRA_API int VirtualKeyFromSdlKeycode(std::int32_t keycode);

// For tests and tools: the SDL window id showing a top-level window (0 when the SDL back-end is
// not in use or the window has no desktop window), and how often its pixels were presented.
KELMIRA_API std::uint32_t SdlWindowIdOf(HWND hwnd);
KELMIRA_API unsigned SdlPresentCountOf(HWND hwnd);

}  // namespace kelmira::window

// The SDL back-end's state, shared by its files (window life cycle, presenting, events).
#pragma once

#include "window/backend_sdl.h"

#include <SDL2/SDL.h>

#include <array>
#include <memory>
#include <unordered_map>

namespace kelmira::window {

// The desktop window of one top-level window.
struct NativeWindow {
  SDL_Window* window = nullptr;
  Uint32 id = 0;
  HWND hwnd = nullptr;
  RECT rect{0, 0, 0, 0};  // where SDL last put it, in screen coordinates
  bool shown = false;
  unsigned presents = 0;
};

class SdlBackend final : public Backend {
 public:
  SdlBackend();
  ~SdlBackend() override;
  SdlBackend(const SdlBackend&) = delete;
  SdlBackend& operator=(const SdlBackend&) = delete;

  const char* Name() const override { return "sdl"; }
  SIZE ScreenSize() const override;

  void WindowShown(Window& top) override;
  void WindowHidden(Window& top) override;
  void WindowDestroyed(Window& top) override;
  void WindowMoved(Window& top) override;
  void WindowTextChanged(Window& top) override;
  void Present(Window& top, const RECT& dirty) override;
  void CursorChanged(HCURSOR cursor, bool visible) override;
  void CursorMoved(POINT screen) override;
  bool PumpEvents(bool wait) override;

  NativeWindow* NativeOf(const Window& top) const;
  NativeWindow* NativeById(Uint32 id) const;

 private:
  NativeWindow* Create(Window& top);
  bool AnyWindowShown() const;
  // Event translation (backend_sdl_events.cpp). True when the event reached the window system.
  bool HandleEvent(const SDL_Event& event);
  bool HandleWindowEvent(const SDL_WindowEvent& event);
  bool DrainEvents();

  std::unordered_map<Uint32, std::unique_ptr<NativeWindow>> windows_;  // by SDL window id
  std::array<SDL_Cursor*, SDL_NUM_SYSTEM_CURSORS> cursors_{};
};

// Copies the dirty part of the backing surface to the desktop window (backend_sdl_present.cpp).
void PresentBacking(NativeWindow& native, BackingSurface& backing, const RECT& dirty);

}  // namespace kelmira::window

// Display back-ends: what shows top-level windows and turns native events into input.
//
// The window system calls the back-end when a top-level window appears, changes or goes, and
// after drawing (Present). Message loops call PumpEvents when the queue is empty; the back-end
// feeds native events in through the injection functions (SendInput and friends), so they take
// the same path as synthetic input. Windows' pixels always live in their backing surfaces
// (window.h); a back-end only copies them out.
#pragma once

#include "window/window.h"

#include <memory>

namespace kelmira::window {

class Backend {
 public:
  virtual ~Backend() = default;
  virtual const char* Name() const = 0;
  // The virtual screen.
  virtual SIZE ScreenSize() const = 0;

  // A top-level window became visible / was hidden / is about to be freed.
  virtual void WindowShown(Window& top) { (void)top; }
  virtual void WindowHidden(Window& top) { (void)top; }
  virtual void WindowDestroyed(Window& top) { (void)top; }
  // Its position or size changed (the backing surface already has the new size).
  virtual void WindowMoved(Window& top) { (void)top; }
  virtual void WindowTextChanged(Window& top) { (void)top; }
  // Drawing into the backing surface finished; dirty is in surface coordinates.
  virtual void Present(Window& top, const RECT& dirty) { (void)top, (void)dirty; }
  // The cursor shape or visibility changed.
  virtual void CursorChanged(HCURSOR cursor, bool visible) { (void)cursor, (void)visible; }
  // SetCursorPos moved the cursor.
  virtual void CursorMoved(POINT screen) { (void)screen; }

  // Turns pending native events into input. With wait, blocks until at least one arrives or
  // nothing ever can (the headless back-end returns at once). Returns true when something may
  // have been queued. The message loops call the idle hook between the two.
  virtual bool PumpEvents(bool wait) = 0;
};

using BackendFactory = std::unique_ptr<Backend> (*)();
// Makes a back-end available under name (called by static initialisers of the back-ends).
KELMIRA_API void RegisterBackend(const char* name, BackendFactory factory);
// The back-end in use, made on first use from KELMIRA_DISPLAY (headless by default).
KELMIRA_API Backend& CurrentBackend();

std::unique_ptr<Backend> MakeHeadlessBackend();

// The backing surface of a top-level window follows its size; new pixels are white.
void ResizeBacking(Window& top);

}  // namespace kelmira::window

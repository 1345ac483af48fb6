// Capture, focus and activation follow the windows: a window that goes away, or can no longer
// take input, gives them up.
#include "window/input.h"
#include "window/window_table.h"

namespace kelmira::window {
namespace {

bool InSubtree(const Window* candidate, const Window& root) {
  return candidate && (candidate == &root || IsDescendantOf(*candidate, root));
}

// When the active window goes, its owner takes over if it can (a closing dialog gives the
// activation back to the window it belongs to); otherwise nothing is active.
HWND Successor(const Window& w) {
  Window* owner = w.owner ? FindWindowObject(w.owner) : nullptr;
  if (!owner || owner->destroying || !IsVisibleChain(*owner) || !IsEnabledChain(*owner)) return nullptr;
  return owner->handle;
}

void WindowDestroying(Window& w) {
  InputState& s = Input();
  if (InSubtree(LiveWindow(s.capture), w)) ChangeCapture(nullptr);
  if (InSubtree(LiveWindow(s.focus), w)) ChangeFocus(nullptr);
  if (LiveWindow(s.active) == &w) Activate(Successor(w), WA_ACTIVE, true);
  if (s.lastPress.hwnd == w.handle) s.lastPress = LastPress{};
}

// A hidden focus window hands the focus to its parent when the parent can take it.
HWND FocusAfterHiding(const Window& hidden) {
  const Window* parent = hidden.parent;
  if (!parent || !IsVisibleChain(*parent) || !IsEnabledChain(*parent)) return nullptr;
  return parent->handle;
}

void WindowHiddenOrDisabled(Window& w) {
  InputState& s = Input();
  Window* capture = LiveWindow(s.capture);
  if (InSubtree(capture, w) && !IsEnabledChain(*capture)) ChangeCapture(nullptr);

  Window* focus = LiveWindow(s.focus);
  if (InSubtree(focus, w)) {
    if (!IsEnabledChain(*focus))
      ChangeFocus(nullptr);
    else if (!IsVisibleChain(*focus))
      ChangeFocus(FocusAfterHiding(w));
  }
  if (LiveWindow(s.active) == &w && !IsVisibleChain(w)) Activate(Successor(w), WA_ACTIVE, true);
}

// Showing a top-level window activates it (and gives it the focus), as on the desktop.
void WindowShown(Window& w, bool activate) {
  if (!activate || w.parent || (w.exStyle & WS_EX_NOACTIVATE)) return;
  Activate(w.handle, WA_ACTIVE, true);
}

void ShowCursorShape(HCURSOR cursor) { SetCursor(cursor); }

SHORT KeyState(int vk) { return GetKeyState(vk); }

[[maybe_unused]] const bool kListening = [] {
  WindowListener listener;
  listener.destroying = WindowDestroying;
  listener.hiddenOrDisabled = WindowHiddenOrDisabled;
  listener.shown = WindowShown;
  listener.setCursor = ShowCursorShape;
  listener.keyState = KeyState;
  AddWindowListener(listener);
  return true;
}();

}  // namespace
}  // namespace kelmira::window

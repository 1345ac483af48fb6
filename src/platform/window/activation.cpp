// The active top-level window: the one the user works with. Clicking a window or focusing one of
// its descendants activates it.
#include "window/input.h"
#include "window/window_table.h"

namespace kelmira::window {
namespace {

HWND ActiveNow() {
  InputState& s = Input();
  return LiveWindow(s.active) ? s.active : nullptr;
}

WPARAM ActivateParam(WORD how) { return MAKEWPARAM(how, 0); }

}  // namespace

bool Activate(HWND top, WORD how, bool giveFocus) {
  InputState& s = Input();
  HWND previous = ActiveNow();
  if (previous != top) {
    s.active = top;
    if (previous) SendMessageA(previous, WM_ACTIVATE, ActivateParam(WA_INACTIVE), reinterpret_cast<LPARAM>(top));
    if (s.active != top) return false;
    if (top) SendMessageA(top, WM_ACTIVATE, ActivateParam(how), reinterpret_cast<LPARAM>(previous));
    if (s.active != top) return false;
  }
  if (!top) return true;
  Window* w = FindWindowObject(top);
  if (!w) return false;
  if (!giveFocus) return true;
  Window* focus = LiveWindow(s.focus);
  if (focus && (focus == w || IsDescendantOf(*focus, *w))) return true;
  ChangeFocus(top);
  return true;
}

}  // namespace kelmira::window

using namespace kelmira::window;

HWND GetActiveWindow() {
  if (!CheckWindowThread()) return nullptr;
  return ActiveNow();
}

HWND SetActiveWindow(HWND hWnd) {
  if (!CheckWindowThread()) return nullptr;
  HWND previous = ActiveNow();
  if (!hWnd) {
    Activate(nullptr, WA_INACTIVE, false);
    return previous;
  }
  Window* w = LookupWindow(hWnd);
  if (!w) return nullptr;
  // Child windows are never active: the call changes nothing.
  if (w->parent) return previous;
  if (!Activate(hWnd, WA_ACTIVE, true)) return nullptr;
  return previous;
}

HWND GetForegroundWindow() { return GetActiveWindow(); }

BOOL SetForegroundWindow(HWND hWnd) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  HWND top = TopLevelOf(*w).handle;
  return Activate(top, WA_ACTIVE, true) ? TRUE : FALSE;
}

// The keyboard focus: one window (or none) gets the key messages.
#include "window/input.h"
#include "window/window_table.h"

namespace kelmira::window {
namespace {

// A window can take the focus unless it or an ancestor is disabled.
bool CanTakeFocus(const Window& w) { return IsEnabledChain(w); }

}  // namespace

HWND ChangeFocus(HWND hwnd) {
  InputState& s = Input();
  HWND previous = LiveWindow(s.focus) ? s.focus : nullptr;
  if (previous == hwnd) return previous;
  s.focus = hwnd;
  if (previous) SendMessageA(previous, WM_KILLFOCUS, reinterpret_cast<WPARAM>(hwnd), 0);
  // The old window may have moved the focus elsewhere while losing it; that choice stands.
  if (!hwnd || s.focus != hwnd || !FindWindowObject(hwnd)) return previous;
  SendMessageA(hwnd, WM_SETFOCUS, reinterpret_cast<WPARAM>(previous), 0);
  return previous;
}

}  // namespace kelmira::window

using namespace kelmira::window;

HWND SetFocus(HWND hWnd) {
  if (!CheckWindowThread()) return nullptr;
  InputState& s = Input();
  HWND previous = LiveWindow(s.focus) ? s.focus : nullptr;
  if (!hWnd) return ChangeFocus(nullptr);
  Window* w = LookupWindow(hWnd);
  if (!w) return nullptr;
  if (hWnd == previous) return previous;
  if (!CanTakeFocus(*w)) return nullptr;
  HWND top = TopLevelOf(*w).handle;
  if (top != (LiveWindow(s.active) ? s.active : nullptr)) {
    if (!Activate(top, WA_ACTIVE, false)) return nullptr;
    // Activation runs window code: the window may be gone or the activation taken back.
    if (!FindWindowObject(hWnd) || s.active != top) return nullptr;
    previous = LiveWindow(s.focus) ? s.focus : nullptr;
  }
  ChangeFocus(hWnd);
  return previous;
}

HWND GetFocus() {
  if (!CheckWindowThread()) return nullptr;
  return LiveWindow(Input().focus) ? Input().focus : nullptr;
}

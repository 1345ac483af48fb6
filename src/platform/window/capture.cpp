// Mouse capture: the capturing window gets every mouse message, wherever the cursor is.
#include "window/input.h"
#include "window/window_table.h"

namespace kelmira::window {

HWND ChangeCapture(HWND hwnd) {
  InputState& s = Input();
  HWND previous = LiveWindow(s.capture) ? s.capture : nullptr;
  s.capture = hwnd;
  if (previous && previous != hwnd) SendMessageA(previous, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(hwnd));
  return previous;
}

}  // namespace kelmira::window

using namespace kelmira::window;

HWND SetCapture(HWND hWnd) {
  if (!CheckWindowThread()) return nullptr;
  if (!hWnd) return ChangeCapture(nullptr);
  if (!LookupWindow(hWnd)) return nullptr;
  return ChangeCapture(hWnd);
}

BOOL ReleaseCapture() {
  if (!CheckWindowThread()) return FALSE;
  ChangeCapture(nullptr);
  return TRUE;
}

HWND GetCapture() {
  if (!CheckWindowThread()) return nullptr;
  return LiveWindow(Input().capture) ? Input().capture : nullptr;
}

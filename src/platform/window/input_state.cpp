#include "window/input_state.h"

#include "window/backend.h"
#include "window/cursor_table.h"
#include "window/message_queue.h"
#include "window/window_table.h"

namespace kelmira::window {

InputState& Input() {
  static InputState state = [] {
    InputState s;
    s.cursor = SystemCursor(IDC_ARROW);
    return s;
  }();
  return state;
}

void ResetInputState() {
  InputState& s = Input();
  s = InputState{};
  s.cursor = SystemCursor(IDC_ARROW);
  RECT screen = ScreenBounds();
  CursorPosition() = POINT{screen.right / 2, screen.bottom / 2};
}

Window* LiveWindow(HWND& stored) {
  if (!stored) return nullptr;
  Window* w = FindWindowObject(stored);
  if (!w) stored = nullptr;
  return w;
}

RECT ScreenBounds() {
  SIZE size = CurrentBackend().ScreenSize();
  return RECT{0, 0, size.cx, size.cy};
}

}  // namespace kelmira::window

// The cursor's shape and the display counter. The back-end is told whenever what it shows changes.
#include "window/backend.h"
#include "window/cursor_table.h"
#include "window/input_state.h"
#include "window/window_table.h"

#include <climits>

using namespace kelmira::window;

namespace {

void TellBackend() {
  const InputState& s = Input();
  CurrentBackend().CursorChanged(s.cursor, s.showCount >= 0);
}

}  // namespace

HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName) {
  HCURSOR cursor = hInstance ? nullptr : SystemCursor(lpCursorName);
  if (!cursor) SetLastError(kErrorResourceNameNotFound);
  return cursor;
}

HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName) {
  HICON icon = hInstance ? nullptr : SystemIcon(lpIconName);
  if (!icon) SetLastError(kErrorResourceNameNotFound);
  return icon;
}

HCURSOR SetCursor(HCURSOR hCursor) {
  if (!CheckWindowThread()) return nullptr;
  if (hCursor && !IsSystemCursor(hCursor)) {
    SetLastError(kErrorInvalidCursorHandle);
    return nullptr;
  }
  InputState& s = Input();
  HCURSOR previous = s.cursor;
  if (previous == hCursor) return previous;
  s.cursor = hCursor;
  TellBackend();
  return previous;
}

HCURSOR GetCursor() { return Input().cursor; }

int ShowCursor(BOOL bShow) {
  if (!CheckWindowThread()) return Input().showCount;
  InputState& s = Input();
  bool wasVisible = s.showCount >= 0;
  if (bShow && s.showCount < INT_MAX) ++s.showCount;
  if (!bShow && s.showCount > INT_MIN) --s.showCount;
  if (wasVisible != (s.showCount >= 0)) TellBackend();
  return s.showCount;
}

// Where the cursor is and where it may go.
#include "window/backend.h"
#include "window/input.h"
#include "window/message_queue.h"
#include "window/window_table.h"

#include <algorithm>

using namespace kelmira::window;

namespace {

bool SamePoint(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }

// A new clip rectangle pulls the cursor in at once; no message says so, as on the desktop.
void KeepCursorInside() {
  POINT& pos = CursorPosition();
  POINT inside = ConfineCursor(pos);
  if (SamePoint(inside, pos)) return;
  pos = inside;
  CurrentBackend().CursorMoved(pos);
}

}  // namespace

BOOL GetCursorPos(LPPOINT lpPoint) {
  if (!lpPoint) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *lpPoint = CursorPosition();
  return TRUE;
}

BOOL SetCursorPos(int X, int Y) {
  if (!CheckWindowThread()) return FALSE;
  POINT target = ConfineCursor(POINT{X, Y});
  if (SamePoint(target, CursorPosition())) return TRUE;
  CurrentBackend().CursorMoved(target);
  MouseMove(target, 0, 0);
  return TRUE;
}

BOOL ClipCursor(const RECT* lpRect) {
  if (!CheckWindowThread()) return FALSE;
  InputState& s = Input();
  if (!lpRect) {
    s.clipped = false;
    return TRUE;
  }
  RECT screen = ScreenBounds();
  RECT clip{std::max(lpRect->left, screen.left), std::max(lpRect->top, screen.top),
            std::min(lpRect->right, screen.right), std::min(lpRect->bottom, screen.bottom)};
  if (clip.left > clip.right || clip.top > clip.bottom) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  s.clip = clip;
  s.clipped = true;
  KeepCursorInside();
  return TRUE;
}

BOOL GetClipCursor(LPRECT lpRect) {
  if (!lpRect) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const InputState& s = Input();
  *lpRect = s.clipped ? s.clip : ScreenBounds();
  return TRUE;
}

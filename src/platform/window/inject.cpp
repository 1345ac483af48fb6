// Input injection: SendInput as on the desktop, and two shorter forms for tests and back-ends.
#include "window/input.h"
#include "window/keyboard_layout.h"
#include "window/message_queue.h"
#include "window/window_table.h"

#include <algorithm>
#include <cstdint>

namespace kelmira::window {
namespace {

constexpr LONG kNormalizedRange = 65536;

// 0..65535 spread over the screen's pixels: 0 is the first pixel, 65535 the last.
LONG FromNormalized(LONG value, LONG pixels) {
  return static_cast<LONG>((static_cast<long long>(value) * pixels) / kNormalizedRange);
}

POINT EventPosition(const MOUSEINPUT& mi) {
  if (mi.dwFlags & MOUSEEVENTF_ABSOLUTE) {
    RECT screen = ScreenBounds();
    return POINT{FromNormalized(mi.dx, screen.right), FromNormalized(mi.dy, screen.bottom)};
  }
  POINT pos = CursorPosition();
  long long x = static_cast<long long>(pos.x) + mi.dx;
  long long y = static_cast<long long>(pos.y) + mi.dy;
  auto clampToLong = [](long long v) {
    return static_cast<LONG>(std::max<long long>(INT32_MIN, std::min<long long>(INT32_MAX, v)));
  };
  return POINT{clampToLong(x), clampToLong(y)};
}

// One message per X button named in mouseData (XBUTTON1 first).
void XButtons(UINT message, DWORD mouseData, DWORD time) {
  if (mouseData & XBUTTON1) MouseButton(message, XBUTTON1, time, 0);
  if (mouseData & XBUTTON2) MouseButton(message, XBUTTON2, time, 0);
}

struct FlagMessage {
  DWORD flag;
  UINT message;
};
constexpr FlagMessage kButtonFlags[] = {
    {MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},   {MOUSEEVENTF_LEFTUP, WM_LBUTTONUP},
    {MOUSEEVENTF_RIGHTDOWN, WM_RBUTTONDOWN},  {MOUSEEVENTF_RIGHTUP, WM_RBUTTONUP},
    {MOUSEEVENTF_MIDDLEDOWN, WM_MBUTTONDOWN}, {MOUSEEVENTF_MIDDLEUP, WM_MBUTTONUP},
};

constexpr DWORD kKnownMouseFlags =
    MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_LEFTUP | MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_RIGHTUP |
    MOUSEEVENTF_MIDDLEDOWN | MOUSEEVENTF_MIDDLEUP | MOUSEEVENTF_XDOWN | MOUSEEVENTF_XUP | MOUSEEVENTF_WHEEL |
    MOUSEEVENTF_HWHEEL | MOUSEEVENTF_MOVE_NOCOALESCE | MOUSEEVENTF_VIRTUALDESK | MOUSEEVENTF_ABSOLUTE;

bool InjectMouse(const MOUSEINPUT& mi) {
  if (mi.dwFlags & ~kKnownMouseFlags) return false;
  // The desktop's order: the move, then the buttons, then the wheels.
  if (mi.dwFlags & (MOUSEEVENTF_MOVE | MOUSEEVENTF_MOVE_NOCOALESCE)) MouseMove(EventPosition(mi), mi.time, 0);
  for (const FlagMessage& f : kButtonFlags)
    if (mi.dwFlags & f.flag) MouseButton(f.message, 0, mi.time, 0);
  if (mi.dwFlags & MOUSEEVENTF_XDOWN) XButtons(WM_XBUTTONDOWN, mi.mouseData, mi.time);
  if (mi.dwFlags & MOUSEEVENTF_XUP) XButtons(WM_XBUTTONUP, mi.mouseData, mi.time);
  auto delta = static_cast<int>(static_cast<LONG>(mi.mouseData));
  if (mi.dwFlags & MOUSEEVENTF_WHEEL) MouseWheel(WM_MOUSEWHEEL, delta, mi.time, 0);
  if (mi.dwFlags & MOUSEEVENTF_HWHEEL) MouseWheel(WM_MOUSEHWHEEL, delta, mi.time, 0);
  return true;
}

bool InjectOne(const INPUT& input) {
  switch (input.type) {
    case INPUT_MOUSE: return InjectMouse(input.mi);
    case INPUT_KEYBOARD: return KeyEvent(input.ki.wVk, input.ki.wScan, input.ki.dwFlags, input.ki.time);
    default: return false;
  }
}

bool IsButtonMessage(UINT message) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_XBUTTONDOWN:
    case WM_XBUTTONUP: return true;
    default: return false;
  }
}

}  // namespace
}  // namespace kelmira::window

using namespace kelmira::window;

UINT SendInput(UINT cInputs, LPINPUT pInputs, int cbSize) {
  if (cbSize != static_cast<int>(sizeof(INPUT)) || (cInputs && !pInputs)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  if (!CheckWindowThread()) return 0;
  for (UINT i = 0; i < cInputs; ++i) {
    if (!InjectOne(pInputs[i])) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return i;
    }
  }
  return cInputs;
}

BOOL KelmiraInjectMouse(UINT message, int screenX, int screenY, WPARAM keys) {
  if (!CheckWindowThread()) return FALSE;
  bool wheel = message == WM_MOUSEWHEEL || message == WM_MOUSEHWHEEL;
  if (message != WM_MOUSEMOVE && !wheel && !IsButtonMessage(message)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WORD xbutton = HIWORD(keys);
  bool xMessage = message == WM_XBUTTONDOWN || message == WM_XBUTTONUP;
  if (xMessage && xbutton != XBUTTON1 && xbutton != XBUTTON2) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  WPARAM modifiers = keys & (MK_SHIFT | MK_CONTROL);
  if (message == WM_MOUSEMOVE) {
    MouseMove(POINT{screenX, screenY}, 0, modifiers);
    return TRUE;
  }
  // The cursor jumps to the event's position; only WM_MOUSEMOVE itself reports motion.
  CursorPosition() = ConfineCursor(POINT{screenX, screenY});
  if (wheel)
    MouseWheel(message, static_cast<SHORT>(xbutton), 0, modifiers);
  else
    MouseButton(message, xMessage ? xbutton : 0, 0, modifiers);
  return TRUE;
}

BOOL KelmiraInjectKey(UINT message, WPARAM vk) {
  if (!CheckWindowThread()) return FALSE;
  if ((message != WM_KEYDOWN && message != WM_KEYUP) || vk == 0 || vk > 0xFE) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  auto key = static_cast<WORD>(vk);
  DWORD flags = message == WM_KEYUP ? KEYEVENTF_KEYUP : 0;
  if (IsExtendedVk(key)) flags |= KEYEVENTF_EXTENDEDKEY;
  return KeyEvent(key, 0, flags, 0) ? TRUE : FALSE;
}

// Mouse events into messages: the target is the capture window or the window under the cursor;
// presses tell the parents (WM_PARENTNOTIFY) and activate (WM_MOUSEACTIVATE), the window may set
// the cursor (WM_SETCURSOR), and a second press can become a double click.
#include "window/double_click.h"
#include "window/input.h"
#include "window/message_queue.h"
#include "window/window_table.h"

namespace kelmira::window {
namespace {

struct MouseTarget {
  HWND hwnd = nullptr;
  bool captured = false;
};

MouseTarget FindTarget(POINT screen) {
  InputState& s = Input();
  if (LiveWindow(s.capture)) return MouseTarget{s.capture, true};
  // A disabled window under the cursor (a modal dialog's owner) swallows the event.
  Window* w = HitTestScreenPoint(screen);
  if (!w || !IsEnabledChain(*w)) return MouseTarget{};
  return MouseTarget{w->handle, false};
}

DWORD EventTime(DWORD time) { return time ? time : TickCount(); }

// Coordinates travel as two signed 16-bit values.
LPARAM PointParam(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

LPARAM ClientParam(HWND hwnd, POINT screen) {
  Window* w = FindWindowObject(hwnd);
  return w ? PointParam(ScreenToClientPoint(*w, screen)) : 0;
}

bool IsPress(UINT message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
         message == WM_XBUTTONDOWN;
}

int ButtonKey(UINT message, WORD xbutton) {
  switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return VK_LBUTTON;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return VK_RBUTTON;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return VK_MBUTTON;
    default: return xbutton == XBUTTON2 ? VK_XBUTTON2 : VK_XBUTTON1;
  }
}

void UpdateButtonState(UINT message, WORD xbutton) {
  std::uint8_t& key = Input().asyncKeys[ButtonKey(message, xbutton)];
  if (!IsPress(message)) {
    key &= static_cast<std::uint8_t>(~kKeyDown);
    return;
  }
  if (!(key & kKeyDown)) key ^= kKeyToggled;
  key |= kKeyDown;
}

// Each ancestor of a clicked child hears of the press, nearest first, unless a window on the way
// asked not to tell its parent.
void NotifyParents(HWND hwnd, UINT press, WORD xbutton, POINT screen) {
  for (HWND current = hwnd;;) {
    Window* w = FindWindowObject(current);
    if (!w || !w->parent || !(w->style & WS_CHILD) || (w->exStyle & WS_EX_NOPARENTNOTIFY)) return;
    HWND parent = w->parent->handle;
    SendMessageA(parent, WM_PARENTNOTIFY, MAKEWPARAM(static_cast<WORD>(press), xbutton), ClientParam(parent, screen));
    current = parent;
  }
}

// False when the press is to be swallowed.
bool MouseActivate(HWND hwnd, UINT press) {
  Window* w = FindWindowObject(hwnd);
  if (!w) return false;
  HWND top = TopLevelOf(*w).handle;
  InputState& s = Input();
  if (hwnd == (LiveWindow(s.active) ? s.active : nullptr)) return true;
  LRESULT result = SendMessageA(hwnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(HTCLIENT, press));
  bool eat = result == MA_ACTIVATEANDEAT || result == MA_NOACTIVATEANDEAT;
  if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT) return !eat;
  Window* topWindow = FindWindowObject(top);
  if (!topWindow || (topWindow->exStyle & WS_EX_NOACTIVATE)) return !eat;
  if (top != s.active && !Activate(top, WA_CLICKACTIVE, true)) return false;
  return !eat;
}

void SendSetCursor(const MouseTarget& target, UINT message) {
  if (target.captured) return;
  SendMessageA(target.hwnd, WM_SETCURSOR, reinterpret_cast<WPARAM>(target.hwnd), MAKELPARAM(HTCLIENT, message));
}

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD time) {
  return MSG{hwnd, message, wParam, lParam, time, CursorPosition()};
}

// Posts msg unless its window went away meanwhile; true when posted.
bool Post(const MSG& msg) {
  if (!msg.hwnd || !FindWindowObject(msg.hwnd)) return false;
  PostWithTime(msg.hwnd, msg.message, msg.wParam, msg.lParam, msg.time, msg.pt);
  return true;
}

}  // namespace

POINT ConfineCursor(POINT screen) {
  RECT area = ScreenBounds();
  const InputState& s = Input();
  if (s.clipped) area = s.clip;
  screen.x = std::max(area.left, std::min(screen.x, std::max(area.left, area.right - 1)));
  screen.y = std::max(area.top, std::min(screen.y, std::max(area.top, area.bottom - 1)));
  return screen;
}

WPARAM MouseKeyFlags() {
  const KeyStates& keys = Input().asyncKeys;
  auto down = [&](int vk) { return (keys[vk] & kKeyDown) != 0; };
  WPARAM flags = 0;
  if (down(VK_LBUTTON)) flags |= MK_LBUTTON;
  if (down(VK_RBUTTON)) flags |= MK_RBUTTON;
  if (down(VK_SHIFT)) flags |= MK_SHIFT;
  if (down(VK_CONTROL)) flags |= MK_CONTROL;
  if (down(VK_MBUTTON)) flags |= MK_MBUTTON;
  if (down(VK_XBUTTON1)) flags |= MK_XBUTTON1;
  if (down(VK_XBUTTON2)) flags |= MK_XBUTTON2;
  return flags;
}

void MouseMove(POINT screen, DWORD time, WPARAM extraKeys) {
  CursorPosition() = ConfineCursor(screen);
  POINT pos = CursorPosition();
  MouseTarget target = FindTarget(pos);
  if (!target.hwnd) return;
  SendSetCursor(target, WM_MOUSEMOVE);
  Post(MakeMessage(target.hwnd, WM_MOUSEMOVE, MouseKeyFlags() | (extraKeys & (MK_SHIFT | MK_CONTROL)),
                   ClientParam(target.hwnd, pos), EventTime(time)));
}

void MouseButton(UINT message, WORD xbutton, DWORD time, WPARAM extraKeys) {
  time = EventTime(time);
  POINT pos = CursorPosition();
  UpdateButtonState(message, xbutton);
  WPARAM keys = MouseKeyFlags() | (extraKeys & (MK_SHIFT | MK_CONTROL));
  if (message == WM_XBUTTONDOWN || message == WM_XBUTTONUP) keys |= static_cast<WPARAM>(xbutton) << 16;

  MouseTarget target = FindTarget(pos);
  MSG msg = MakeMessage(target.hwnd, message, keys, 0, time);
  bool deliver = target.hwnd != nullptr;
  if (deliver && IsPress(message)) {
    Window* w = FindWindowObject(target.hwnd);
    msg.message = ClassifyPress(*w, message, xbutton, time, pos);
    NotifyParents(target.hwnd, message, xbutton, pos);
    deliver = MouseActivate(target.hwnd, message);
  }
  if (target.hwnd && FindWindowObject(target.hwnd)) SendSetCursor(target, message);
  msg.lParam = ClientParam(target.hwnd, pos);
  bool posted = deliver && Post(msg);
  QueueKeyState(posted, msg);
}

void MouseWheel(UINT message, int delta, DWORD time, WPARAM extraKeys) {
  POINT pos = CursorPosition();
  MouseTarget target = FindTarget(pos);
  if (!target.hwnd) return;
  WPARAM keys = MouseKeyFlags() | (extraKeys & (MK_SHIFT | MK_CONTROL));
  keys |= static_cast<WPARAM>(static_cast<WORD>(delta)) << 16;
  Post(MakeMessage(target.hwnd, message, keys, PointParam(pos), EventTime(time)));
}

}  // namespace kelmira::window

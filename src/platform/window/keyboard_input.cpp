// Key events into WM_KEYDOWN / WM_KEYUP (WM_SYSKEY* with Alt) for the focus window, and the key
// states that GetKeyState and GetAsyncKeyState report.
#include "window/input.h"
#include "window/keyboard_layout.h"
#include "window/message_queue.h"
#include "window/window_table.h"

#include "com/codepage.h"

namespace kelmira::window {
namespace {

// A key as the messages name it (VK_SHIFT for either shift key) and as the key state tracks it
// (the left or right one).
struct KeyIdentity {
  WORD messageVk;
  WORD sidedVk;
  bool extended;
};

KeyIdentity Identify(WORD vk, WORD scan, bool extended) {
  switch (vk) {
    case VK_SHIFT: return {VK_SHIFT, static_cast<WORD>(scan == 0x36 ? VK_RSHIFT : VK_LSHIFT), extended};
    case VK_LSHIFT:
    case VK_RSHIFT: return {VK_SHIFT, vk, extended};
    case VK_CONTROL: return {VK_CONTROL, static_cast<WORD>(extended ? VK_RCONTROL : VK_LCONTROL), extended};
    case VK_LCONTROL: return {VK_CONTROL, vk, extended};
    case VK_RCONTROL: return {VK_CONTROL, vk, true};
    case VK_MENU: return {VK_MENU, static_cast<WORD>(extended ? VK_RMENU : VK_LMENU), extended};
    case VK_LMENU: return {VK_MENU, vk, extended};
    case VK_RMENU: return {VK_MENU, vk, true};
    default: return {vk, vk, extended};
  }
}

bool IsDown(int vk) { return (Input().asyncKeys[vk] & kKeyDown) != 0; }

void SetKey(int vk, bool down) {
  std::uint8_t& key = Input().asyncKeys[vk];
  if (down && !(key & kKeyDown)) key ^= kKeyToggled;
  key = down ? static_cast<std::uint8_t>(key | kKeyDown) : static_cast<std::uint8_t>(key & ~kKeyDown);
}

void UpdateKeyState(const KeyIdentity& key, bool down) {
  SetKey(key.sidedVk, down);
  if (key.messageVk == key.sidedVk) return;
  int left = key.messageVk == VK_SHIFT ? VK_LSHIFT : key.messageVk == VK_CONTROL ? VK_LCONTROL : VK_LMENU;
  SetKey(key.messageVk, IsDown(left) || IsDown(left + 1));
}

// Alt turns key messages into system key messages, unless Control is down too (AltGr). A lone
// Alt press and release gives WM_SYSKEYDOWN, WM_SYSKEYUP; F10 is always a system key.
bool IsSystemKey(WORD messageVk, bool up) {
  InputState& s = Input();
  if (messageVk == VK_MENU) {
    if (up) {
      bool alone = s.altAlone;
      s.altAlone = false;
      return alone;
    }
    s.altAlone = true;
    return !IsDown(VK_CONTROL);
  }
  s.altAlone = false;
  if (messageVk == VK_F10) return true;
  return IsDown(VK_MENU) && !IsDown(VK_CONTROL);
}

LPARAM KeyParam(WORD scan, bool extended, bool altContext, bool wasDown, bool up) {
  DWORD bits = 1;  // repeat count
  bits |= static_cast<DWORD>(scan & 0xFF) << 16;
  if (extended) bits |= 1u << 24;
  if (altContext) bits |= 1u << 29;
  if (wasDown) bits |= 1u << 30;
  if (up) bits |= 1u << 31;
  return static_cast<LPARAM>(bits);
}

// Keys go to the focus window; without one, to the active window as system keys.
HWND KeyTarget(bool& forceSystem) {
  InputState& s = Input();
  forceSystem = false;
  if (LiveWindow(s.focus)) return s.focus;
  if (!LiveWindow(s.active)) return nullptr;
  forceSystem = true;
  return s.active;
}

bool StillQueued(const MSG& m) {
  for (const MSG& q : Queue().posted) {
    if (q.hwnd == m.hwnd && q.message == m.message && q.wParam == m.wParam && q.lParam == m.lParam &&
        q.time == m.time && q.pt.x == m.pt.x && q.pt.y == m.pt.y)
      return true;
  }
  return false;
}

// Applies, in order, the key states of the events whose messages have left the queue; true when
// none is waiting any more.
bool ApplyDelivered(InputState& s) {
  while (!s.pendingKeys.empty()) {
    const PendingKeyState& front = s.pendingKeys.front();
    if (front.posted && StillQueued(front.msg)) return false;
    s.syncKeys = front.after;
    s.pendingKeys.pop_front();
  }
  return true;
}

const KeyStates& SyncKeys() {
  InputState& s = Input();
  if (ApplyDelivered(s)) s.syncKeys = s.asyncKeys;
  return s.syncKeys;
}

bool Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD time, MSG& out) {
  out = MSG{hwnd, message, wParam, lParam, time, CursorPosition()};
  if (!hwnd || !FindWindowObject(hwnd)) return false;
  PostWithTime(hwnd, message, wParam, lParam, time, out.pt);
  return true;
}

// KEYEVENTF_UNICODE: the character travels with VK_PACKET; no key can translate it, so its
// WM_CHAR (in the ANSI code page) is posted right behind the key-down.
void UnicodeKeyEvent(WCHAR ch, bool up, DWORD time) {
  bool forceSystem = false;
  HWND target = KeyTarget(forceSystem);
  UINT message = up ? WM_KEYUP : WM_KEYDOWN;
  if (forceSystem) message += WM_SYSKEYDOWN - WM_KEYDOWN;
  MSG msg{};
  LPARAM lParam = KeyParam(0, false, false, up, up);  // a key-up was down before it
  if (!Post(target, message, VK_PACKET, lParam, time, msg) || up) return;
  int ansi = codepage::ToWindows1252(ch);
  if (ansi < 0) return;
  Post(target, forceSystem ? WM_SYSCHAR : WM_CHAR, static_cast<WPARAM>(ansi), lParam, time, msg);
}

SHORT KeyStateValue(std::uint8_t key) {
  USHORT value = (key & kKeyDown) ? 0x8000 : 0;
  if (key & kKeyToggled) value |= 1;
  return static_cast<SHORT>(value);
}

}  // namespace

// What left the queue is applied first, so that the list holds only events still on their way
// whether or not the host ever asks GetKeyState.
void QueueKeyState(bool posted, const MSG& msg) {
  InputState& s = Input();
  ApplyDelivered(s);
  s.pendingKeys.push_back(PendingKeyState{posted, msg, s.asyncKeys});
}

std::size_t PendingKeyStateCount() { return Input().pendingKeys.size(); }

bool KeyEvent(WORD vk, WORD scan, DWORD flags, DWORD time) {
  if (!time) time = TickCount();
  bool up = (flags & KEYEVENTF_KEYUP) != 0;
  if (flags & KEYEVENTF_UNICODE) {
    UnicodeKeyEvent(static_cast<WCHAR>(scan), up, time);
    return true;
  }
  bool extended = (flags & KEYEVENTF_EXTENDEDKEY) != 0;
  if (flags & KEYEVENTF_SCANCODE) vk = VkFromScan(scan, extended);
  if (vk == 0 || vk > 0xFE) return false;
  if (!scan) scan = ScanFromVk(vk);

  KeyIdentity key = Identify(vk, scan, extended);
  bool wasDown = IsDown(key.sidedVk);
  UpdateKeyState(key, !up);
  bool system = IsSystemKey(key.messageVk, up);
  bool altContext = IsDown(VK_MENU);

  bool forceSystem = false;
  HWND target = KeyTarget(forceSystem);
  UINT message = up ? WM_KEYUP : WM_KEYDOWN;
  if (system || forceSystem) message += WM_SYSKEYDOWN - WM_KEYDOWN;
  MSG msg{};
  bool posted =
      Post(target, message, key.messageVk, KeyParam(scan, key.extended, altContext, wasDown || up, up), time, msg);
  QueueKeyState(posted, msg);
  return true;
}

}  // namespace kelmira::window

using namespace kelmira::window;

SHORT GetKeyState(int nVirtKey) {
  if (nVirtKey < 0 || nVirtKey > 0xFF) return 0;
  return KeyStateValue(SyncKeys()[nVirtKey]);
}

SHORT GetAsyncKeyState(int vKey) {
  if (vKey < 0 || vKey > 0xFF) return 0;
  return KeyStateValue(Input().asyncKeys[vKey]);
}

// The message queue: posting, retrieving (with WM_QUIT and WM_PAINT generated when nothing is
// posted), sending and dispatching.
#include "window/message_queue.h"

#include "window/backend.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <chrono>

namespace kelmira::window {

MessageQueue& Queue() {
  static MessageQueue queue;
  return queue;
}

DWORD TickCount() {
  using Clock = std::chrono::steady_clock;
  static const Clock::time_point start = Clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
  // A fixed non-zero start keeps "time 0" free to mean "now" in injected input.
  return static_cast<DWORD>(ms) + 1000u;
}

POINT& CursorPosition() {
  static POINT position{0, 0};
  return position;
}

void PostWithTime(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD time, POINT pt) {
  Queue().posted.push_back(MSG{hwnd, message, wParam, lParam, time, pt});
}

void DropMessagesFor(HWND hwnd) {
  std::erase_if(Queue().posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

}  // namespace kelmira::window

using namespace kelmira::window;

namespace {

const HWND kThreadMessagesOnly = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

struct Filter {
  HWND hwnd;
  UINT min;
  UINT max;

  bool Range(UINT message) const { return (min == 0 && max == 0) || (message >= min && message <= max); }

  bool Targets(HWND target) const {
    if (!hwnd) return true;
    if (hwnd == kThreadMessagesOnly) return target == nullptr;
    if (target == hwnd) return true;
    return IsChild(hwnd, target) != FALSE;
  }

  bool Matches(const MSG& m) const { return m.message == WM_QUIT || (Targets(m.hwnd) && Range(m.message)); }
};

MSG Generated(HWND hwnd, UINT message, WPARAM wParam) {
  return MSG{hwnd, message, wParam, 0, TickCount(), CursorPosition()};
}

bool TakePosted(const Filter& f, MSG* out, bool remove) {
  auto& posted = Queue().posted;
  auto it = std::find_if(posted.begin(), posted.end(), [&f](const MSG& m) { return f.Matches(m); });
  if (it == posted.end()) return false;
  *out = *it;
  if (remove) posted.erase(it);
  return true;
}

bool TakeQuit(MSG* out, bool remove) {
  MessageQueue& q = Queue();
  if (!q.quitPending) return false;
  *out = Generated(nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode));
  if (remove) q.quitPending = false;
  return true;
}

bool TakePaint(const Filter& f, MSG* out) {
  if (!f.Range(WM_PAINT) || f.hwnd == kThreadMessagesOnly) return false;
  const kelmira::window::Window* within = f.hwnd ? FindWindowObject(f.hwnd) : nullptr;
  kelmira::window::Window* w = NextWindowToPaint(within);
  if (!w) return false;
  *out = Generated(w->handle, WM_PAINT, 0);
  return true;
}

bool Peek(const Filter& f, MSG* out, bool remove) {
  bool found = TakePosted(f, out, remove) || TakeQuit(out, remove) || TakePaint(f, out);
  if (found && remove) Queue().last = *out;
  return found;
}

bool CheckFilterWindow(HWND hwnd) {
  if (!hwnd || hwnd == kThreadMessagesOnly) return true;
  return LookupWindow(hwnd) != nullptr;
}

// The character a key makes on the US layout with the given modifiers, 0 for none.
char KeyCharacter(WPARAM vk, bool shift, bool caps, bool control) {
  if (vk >= 'A' && vk <= 'Z') {
    if (control) return static_cast<char>(vk - 'A' + 1);
    bool upper = shift != caps;
    return static_cast<char>(upper ? vk : vk - 'A' + 'a');
  }
  if (control) return 0;
  static constexpr char kShiftedDigits[] = ")!@#$%^&*(";
  if (vk >= '0' && vk <= '9') return shift ? kShiftedDigits[vk - '0'] : static_cast<char>(vk);
  if (vk >= static_cast<WPARAM>(VK_NUMPAD0) && vk <= static_cast<WPARAM>(VK_NUMPAD9))
    return static_cast<char>('0' + (vk - VK_NUMPAD0));
  struct Oem {
    int vk;
    char plain;
    char shifted;
  };
  static constexpr Oem kKeys[] = {
      {VK_SPACE, ' ', ' '},     {VK_RETURN, '\r', '\r'},  {VK_TAB, '\t', '\t'},      {VK_BACK, '\b', '\b'},
      {VK_ESCAPE, 27, 27},      {VK_MULTIPLY, '*', '*'},  {VK_ADD, '+', '+'},        {VK_SUBTRACT, '-', '-'},
      {VK_DECIMAL, '.', '.'},   {VK_DIVIDE, '/', '/'},    {VK_OEM_1, ';', ':'},      {VK_OEM_PLUS, '=', '+'},
      {VK_OEM_COMMA, ',', '<'}, {VK_OEM_MINUS, '-', '_'}, {VK_OEM_PERIOD, '.', '>'}, {VK_OEM_2, '/', '?'},
      {VK_OEM_3, '`', '~'},     {VK_OEM_4, '[', '{'},     {VK_OEM_5, '\\', '|'},     {VK_OEM_6, ']', '}'},
      {VK_OEM_7, '\'', '"'},
  };
  for (const Oem& k : kKeys)
    if (static_cast<WPARAM>(k.vk) == vk) return shift ? k.shifted : k.plain;
  return 0;
}

struct IdleHook {
  KelmiraIdleHook hook = nullptr;
  void* context = nullptr;
  bool running = false;
};

IdleHook& Idle() {
  static IdleHook idle;
  return idle;
}

// Not inside itself: what the hook calls may run a message loop of its own.
bool RunIdleHook() {
  IdleHook& idle = Idle();
  if (!idle.hook || idle.running) return false;
  KelmiraIdleHook hook = idle.hook;
  void* context = idle.context;
  idle.running = true;
  bool queued = false;  // a hook that throws queued nothing
  (void)kelmira::Guarded([&] { queued = hook(context) != FALSE; });
  Idle().running = false;
  return queued;
}

// Nothing posted and nothing to paint: pending native events first, then the idle hook, and only
// then a wait, so that the hook runs under every back-end. True when something may have come.
bool AwaitInput() {
  Backend& backend = CurrentBackend();
  return backend.PumpEvents(false) || RunIdleHook() || backend.PumpEvents(true);
}

SHORT KeyState(int vk) {
  for (const WindowListener& l : WindowListeners())
    if (l.keyState) return l.keyState(vk);
  return 0;
}

}  // namespace

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!CheckWindowThread()) return FALSE;
  if (hWnd && !LookupWindow(hWnd)) return FALSE;
  PostWithTime(hWnd, Msg, wParam, lParam, TickCount(), CursorPosition());
  return TRUE;
}

void PostQuitMessage(int nExitCode) {
  if (!CheckWindowThread()) return;
  Queue().quitPending = true;
  Queue().quitCode = nExitCode;
}

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg) return Fail(ERROR_INVALID_PARAMETER, -1);
  if (!CheckWindowThread() || !CheckFilterWindow(hWnd)) return -1;
  Filter f{hWnd, wMsgFilterMin, wMsgFilterMax};
  for (;;) {
    if (Peek(f, lpMsg, true)) return lpMsg->message == WM_QUIT ? 0 : 1;
    if (!AwaitInput() && !Peek(f, lpMsg, false)) {
      *lpMsg = MSG{};
      return Fail(ERROR_TIMEOUT, -1);
    }
  }
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  if (!lpMsg) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  if (!CheckWindowThread() || !CheckFilterWindow(hWnd)) return FALSE;
  Filter f{hWnd, wMsgFilterMin, wMsgFilterMax};
  bool remove = (wRemoveMsg & PM_REMOVE) != 0;
  if (Peek(f, lpMsg, remove)) return TRUE;
  CurrentBackend().PumpEvents(false);
  return Peek(f, lpMsg, remove) ? TRUE : FALSE;
}

BOOL WaitMessage() {
  if (!CheckWindowThread()) return FALSE;
  MSG m;
  Filter any{nullptr, 0, 0};
  if (!Peek(any, &m, false)) AwaitInput();
  return TRUE;
}

BOOL TranslateMessage(const MSG* lpMsg) {
  if (!lpMsg) return FALSE;
  UINT charMessage = 0;
  if (lpMsg->message == WM_KEYDOWN)
    charMessage = WM_CHAR;
  else if (lpMsg->message == WM_SYSKEYDOWN)
    charMessage = WM_SYSCHAR;
  else
    return lpMsg->message == WM_KEYUP || lpMsg->message == WM_SYSKEYUP ? TRUE : FALSE;
  bool shift = KeyState(VK_SHIFT) < 0;
  bool control = KeyState(VK_CONTROL) < 0 && KeyState(VK_MENU) >= 0;
  bool caps = (KeyState(VK_CAPITAL) & 1) != 0;
  char c = KeyCharacter(lpMsg->wParam, shift, caps, control);
  if (!c) return TRUE;
  // The character is the next message retrieved, ahead of anything posted since.
  Queue().posted.push_front(MSG{lpMsg->hwnd, charMessage, static_cast<WPARAM>(static_cast<unsigned char>(c)),
                                lpMsg->lParam, lpMsg->time, lpMsg->pt});
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg) return Fail(ERROR_INVALID_PARAMETER, LRESULT{0});
  if (!lpMsg->hwnd) return 0;
  kelmira::window::Window* w = LookupWindow(lpMsg->hwnd);
  if (!w) return 0;
  return CallProcedure(w->proc, lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam);
}

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  kelmira::window::Window* w = LookupWindow(hWnd);
  if (!w) return 0;
  return CallProcedure(w->proc, hWnd, Msg, wParam, lParam);
}

LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!lpPrevWndFunc) return Fail(ERROR_INVALID_PARAMETER, LRESULT{0});
  return CallProcedure(lpPrevWndFunc, hWnd, Msg, wParam, lParam);
}

LONG GetMessageTime() { return static_cast<LONG>(Queue().last.time); }

DWORD GetMessagePos() {
  const POINT& p = Queue().last.pt;
  return static_cast<DWORD>(MAKELONG(static_cast<WORD>(p.x), static_cast<WORD>(p.y)));
}

DWORD GetTickCount() { return TickCount(); }

void KelmiraSetIdleHook(KelmiraIdleHook hook, void* context) {
  IdleHook& idle = Idle();
  idle.hook = hook;
  idle.context = context;
}

// Input: focus, activation and the keyboard; mouse routing (hit testing, capture, double clicks,
// X buttons, key flags, activation) and the cursor (position, confinement, SendInput's coordinates).
#include "support/injected_input.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include "window/input_state.h"

namespace kelmira::test {
namespace {

using Keyboard = WindowTest;
using UintList = std::vector<UINT>;
WPARAM W(HWND h) { return reinterpret_cast<WPARAM>(h); }
LPARAM L(HWND h) { return reinterpret_cast<LPARAM>(h); }
void Keys(std::initializer_list<std::pair<UINT, WPARAM>> strokes) {
  for (auto [message, vk] : strokes) Key(message, vk);
}

TEST_F(Keyboard, FocusAndActivation) {
  HWND top = Top(100, 100, 200, 200, kPopup), a = Child(top, 1, 0, 0, 50, 50), b = Child(top, 2, 60, 0, 50, 50);
  SetFocus(a);
  Clear();
  SetFocus(b);
  SetFocus(b);  // already there: nothing sent
  SetFocus(nullptr);
  EXPECT_EQ(Log({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}),
            (std::vector<Sent>{{a, WM_KILLFOCUS, W(b), 0}, {b, WM_SETFOCUS, W(a), 0}, {b, WM_KILLFOCUS, 0, 0}}));

  // A disabled window cannot take the focus; disabling the focus window takes it away.
  SetFocus(a);
  EnableWindow(b, FALSE);
  EXPECT_EQ(std::pair(SetFocus(b), GetFocus()), std::pair(HWND{}, a));
  EnableWindow(a, FALSE);
  EXPECT_EQ(std::pair(GetFocus(), SetFocus(reinterpret_cast<HWND>(12345))), std::pair(HWND{}, HWND{}));

  // Focusing a window of another top-level window activates that one.
  EnableWindow(a, TRUE);
  HWND other = Top(400, 100, 100, 100, kPopup, kBare), inner = Child(other, 1, 0, 0, 10, 10);
  EXPECT_EQ(GetActiveWindow(), other);  // shown, so activated
  SetActiveWindow(top);
  SetFocus(a);
  Clear();
  SetFocus(inner);
  SetActiveWindow(a);  // a child is never the active window
  // clang-format off
  EXPECT_EQ(Log({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}),
            (std::vector<Sent>{{top, WM_ACTIVATE, WA_INACTIVE, L(other)}, {other, WM_ACTIVATE, WA_ACTIVE, L(top)},
                               {a, WM_KILLFOCUS, W(inner), 0}, {inner, WM_SETFOCUS, W(a), 0}}));
  // clang-format on
  EXPECT_EQ(GetActiveWindow(), other);

  // A click activates an inactive window and gives it the focus; the active one is not asked.
  SetActiveWindow(top);
  Clear();
  for (int i = 0; i < 2; ++i) {
    Press(WM_LBUTTONDOWN, 450, 150);
    Press(WM_LBUTTONUP, 450, 150);
  }
  EXPECT_EQ(std::pair(GetFocus(), Count(other, WM_MOUSEACTIVATE)), std::pair(other, 1));
  EXPECT_EQ(Log({WM_ACTIVATE}, other), (std::vector<Sent>{{other, WM_ACTIVATE, WA_CLICKACTIVE, L(top)}}));

  // Closing the active window gives the activation back to its owner.
  HWND owned = CreateWindowExA(0, kBare, "", kPopup, 0, 0, 10, 10, other, nullptr, nullptr, nullptr);
  EXPECT_EQ((std::tuple{GetFocus(), DestroyWindow(owned), GetActiveWindow(), GetFocus()}),
            std::tuple(owned, TRUE, other, other));
}

TEST_F(Keyboard, KeysGoToTheFocusWindowWithTheirParameterBits) {
  HWND top = Top(100, 100, 200, 200, kPopup), a = Child(top, 1, 0, 0, 50, 50);
  SetFocus(a);
  // GetKeyState reports down and toggled as of the retrieved messages.
  EXPECT_EQ((std::tuple{KelmiraInjectKey(WM_KEYDOWN, 'K'), GetAsyncKeyState('K') < 0, GetKeyState('K'), Pump() > 0,
                        GetKeyState('K')}),
            std::tuple(TRUE, true, SHORT{0}, true, static_cast<SHORT>(0x8001)));
  Key(WM_KEYUP, 'K');
  EXPECT_EQ(GetKeyState('K'), 1);  // up, toggled
  Clear();
  Key(WM_KEYDOWN, 'A');
  ASSERT_TRUE(KelmiraInjectKey(WM_KEYDOWN, 'A'));  // held: a repeat
  Keys({{WM_KEYUP, 'A'}, {WM_KEYDOWN, VK_SHIFT}, {WM_KEYDOWN, 'Q'}, {WM_KEYUP, VK_SHIFT}, {WM_KEYDOWN, VK_LEFT}});
  auto k = Range(WM_KEYFIRST, WM_KEYLAST, a);
  ASSERT_EQ(k.size(), 10u);
  // One stroke of scan code 0x1E, its character, the repeat (down before), the release; the
  // character of shift + Q; an extended key.
  EXPECT_EQ(std::tuple(k[0].wParam, k[0].lParam, k[1].wParam, k[2].lParam, k[4].lParam, k[7].wParam, k[9].lParam),
            std::tuple(WPARAM{'A'}, LPARAM{0x001E0001}, WPARAM{'a'}, LPARAM{0x401E0001}, LPARAM{0xC01E0001},
                       WPARAM{'Q'}, LPARAM{0x014B0001}));

  // Alt makes system keys, a lone Alt press and release too.
  Clear();
  Keys({{WM_KEYDOWN, VK_MENU}, {WM_KEYDOWN, 'F'}, {WM_KEYUP, 'F'}, {WM_KEYUP, VK_MENU}});
  Keys({{WM_KEYDOWN, VK_MENU}, {WM_KEYUP, VK_MENU}});
  k = Range(WM_KEYFIRST, WM_KEYLAST, a);
  EXPECT_EQ(Ids(k),
            (UintList{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}));
  EXPECT_EQ(k[1].lParam, 0x20210001);  // Alt context bit, scan code of F

  // A Unicode key event brings its character (e acute) with VK_PACKET.
  Clear();
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wScan = in[1].ki.wScan = 0x00E9;
  in[0].ki.dwFlags = KEYEVENTF_UNICODE;
  in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
  Pump();
  k = Range(WM_KEYFIRST, WM_KEYLAST, a);
  ASSERT_EQ(k.size(), 3u);
  EXPECT_EQ((std::vector<Sent>{k[0], k[1]}), (std::vector<Sent>{{a, WM_KEYDOWN, VK_PACKET, 1}, {a, WM_CHAR, 0xE9, 1}}));
  // A key-up says the key was down before (bit 30) and is being released (bit 31).
  EXPECT_EQ(std::tuple(k[2].msg, k[2].wParam, k[2].lParam),
            std::tuple(UINT{WM_KEYUP}, WPARAM{VK_PACKET}, LPARAM{0xC0000001}));

  // Either shift key is VK_SHIFT too; caps lock's toggle turns letters to capitals.
  Key(WM_KEYDOWN, VK_RSHIFT);
  EXPECT_TRUE(GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_LSHIFT) >= 0 &&
              Range(WM_KEYFIRST, WM_KEYLAST, a).back().wParam == VK_SHIFT);
  Key(WM_KEYUP, VK_RSHIFT);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  Keys({{WM_KEYDOWN, VK_CAPITAL}, {WM_KEYDOWN, 'Z'}});
  EXPECT_EQ(Range(WM_KEYFIRST, WM_KEYLAST, a).back().wParam, WPARAM{'Z'});

  // Without a focus window the keys go to the active window as system keys.
  SetFocus(nullptr);
  Keys({{WM_KEYDOWN, 'B'}, {WM_KEYUP, 'B'}});
  EXPECT_EQ(Ids(Range(WM_KEYFIRST, WM_KEYLAST, top)), (UintList{WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}));
  EXPECT_FALSE(KelmiraInjectKey(WM_CHAR, 'A'));
}

// A top-level window at (100, 100), 200 x 200, with a child at (20, 30), 50 x 50 in it.
using MouseRouting = WindowTest;
constexpr DWORD kAt = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;

std::vector<UINT> Buttons(HWND only = nullptr) {
  return WindowTest::Ids(WindowTest::Range(WM_LBUTTONDOWN, WM_MOUSELAST, only));
}

std::pair<int, int> CursorNow() {
  POINT p{-1, -1};
  EXPECT_TRUE(GetCursorPos(&p));
  return {p.x, p.y};
}

TEST_F(MouseRouting, HitTestingPicksTheChildUnderThePointInItsClientCoordinates) {
  HWND top = Top(100, 100, 200, 200, kPopup), child = Child(top, 1, 20, 30, 50, 50);
  Move(130, 140);
  Move(110, 105);
  EnableWindow(child, FALSE);  // a disabled child passes the mouse to its parent
  Move(131, 141);
  ShowWindow(child, SW_HIDE);
  EnableWindow(child, TRUE);
  Move(132, 142);                                                      // a hidden one is not there
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(132, 142)));  // the last retrieved, on the screen
  auto move = [](HWND h, int x, int y) { return Sent{h, WM_MOUSEMOVE, 0, MAKELPARAM(x, y)}; };
  EXPECT_EQ(Log({WM_MOUSEMOVE}),
            (std::vector<Sent>{move(child, 10, 10), move(top, 10, 5), move(top, 31, 41), move(top, 32, 42)}));

  // A disabled top-level window gets nothing, and neither does anything outside every window.
  Clear();
  EnableWindow(top, FALSE);
  Press(WM_LBUTTONDOWN, 110, 110);
  Press(WM_LBUTTONUP, 110, 110);
  EnableWindow(top, TRUE);
  Move(5, 5);
  EXPECT_TRUE(Range(WM_MOUSEFIRST, WM_MOUSELAST).empty() && Log({WM_SETCURSOR, WM_MOUSEACTIVATE}).empty());
}

TEST_F(MouseRouting, ExtraButtonsWheelAndCapture) {
  HWND top = Top(100, 100, 200, 200, kPopup), child = Child(top, 1, 20, 30, 50, 50);
  // The extra buttons' number and the wheel's delta travel in the high word; the wheel has screen
  // coordinates and, unhandled, goes on to the parent.
  Mouse(kAt | MOUSEEVENTF_XDOWN, 130, 140, 1000, XBUTTON2);
  Mouse(kAt | MOUSEEVENTF_XUP, 130, 140, 1010, XBUTTON2);
  Mouse(kAt | MOUSEEVENTF_XDOWN, 130, 140, 1020, XBUTTON1);  // X1 pairs with X1 only
  Mouse(kAt | MOUSEEVENTF_XDOWN, 130, 140, 1030, XBUTTON1);
  Mouse(MOUSEEVENTF_WHEEL, 0, 0, 0, static_cast<DWORD>(-2 * WHEEL_DELTA));
  const LPARAM at = MAKELPARAM(10, 10);
  const WPARAM x1 = MAKEWPARAM(MK_XBUTTON1, XBUTTON1), wheel = MAKEWPARAM(MK_XBUTTON1, -240);
  // clang-format off
  EXPECT_EQ(Log({WM_XBUTTONDOWN, WM_XBUTTONUP, WM_XBUTTONDBLCLK, WM_MOUSEWHEEL}),
            (std::vector<Sent>{{child, WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), at},
                               {child, WM_XBUTTONUP, MAKEWPARAM(0, XBUTTON2), at}, {child, WM_XBUTTONDOWN, x1, at},
                               {child, WM_XBUTTONDBLCLK, x1, at}, {child, WM_MOUSEWHEEL, wheel, MAKELPARAM(130, 140)},
                               {top, WM_MOUSEWHEEL, wheel, MAKELPARAM(130, 140)}}));
  // clang-format on
  EXPECT_FALSE(KelmiraInjectMouse(WM_XBUTTONDOWN, 130, 140, MAKEWPARAM(0, 3)));

  // The capturing window gets everything in its own coordinates.
  Mouse(kAt | MOUSEEVENTF_XUP, 130, 140, 1040, XBUTTON1);
  Clear();
  On(WM_LBUTTONDOWN, [](HWND h, WPARAM, LPARAM) { SetCapture(h); });
  Press(WM_LBUTTONDOWN, 130, 140);
  EXPECT_EQ(GetCapture(), child);
  Move(50, 60);  // outside everything, left of and above the child
  Move(250, 250);
  Press(WM_LBUTTONUP, 1000, 900);
  const WPARAM l = MK_LBUTTON;
  EXPECT_EQ(Range(WM_MOUSEFIRST, WM_MOUSELAST), (std::vector<Sent>{{child, WM_LBUTTONDOWN, l, MAKELPARAM(10, 10)},
                                                                   {child, WM_MOUSEMOVE, l, MAKELPARAM(-70, -70)},
                                                                   {child, WM_MOUSEMOVE, l, MAKELPARAM(130, 120)},
                                                                   {child, WM_LBUTTONUP, 0, MAKELPARAM(880, 770)}}));
  // Nobody is asked for a cursor while the mouse is captured.
  EXPECT_EQ(Count(child, WM_SETCURSOR), 1);

  // The loser hears who has the capture now (null after ReleaseCapture).
  Clear();
  SetCapture(top);
  ReleaseCapture();
  EXPECT_EQ(Log({WM_CAPTURECHANGED}), (std::vector<Sent>{{child, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(top)},
                                                         {top, WM_CAPTURECHANGED, 0, 0}}));
  // Capture and focus end with their window.
  SetCapture(child);
  SetFocus(child);
  DestroyWindow(child);
  EXPECT_EQ(std::tuple(GetCapture(), GetFocus()), std::tuple(nullptr, nullptr));
  Move(130, 140);
  EXPECT_EQ(Log({WM_MOUSEMOVE}).back().hwnd, top);
}

// Two presses make a double click when they are close in time and place, of the same button and
// window, and the window's class asks for double clicks; a third press starts over.
TEST_F(MouseRouting, DoubleClicks) {
  Child(Top(100, 100, 200, 200, kPopup), 1, 20, 30, 50, 50);
  Top(400, 100, 100, 100, kPopup, kBare);
  DWORD time = 1000;
  for (DWORD flags :
       {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN})
    Mouse(kAt | flags, 130, 140, time += 10);
  EXPECT_EQ(Buttons(), (UintList{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN}));

  const DWORD limit = GetDoubleClickTime();
  // The first press's x, the second's offset from it, the time between them, its button, what it makes.
  const std::tuple<int, int, DWORD, DWORD, UINT> cases[] = {
      {121, 0, limit, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},        // too late
      {121, 5, 10, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},           // too far
      {121, 3, 10, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},           // just outside the 4 x 4 box
      {121, 2, limit - 1, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDBLCLK},  // just inside both
      {121, 0, 10, MOUSEEVENTF_RIGHTDOWN, WM_RBUTTONDOWN},          // another button
      {121, -2, 10, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},          // another window (the top-level)
      {450, 0, 10, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},           // a class without CS_DBLCLKS
  };
  for (auto [x, dx, gap, secondFlags, secondMessage] : cases) {
    Clear();
    Mouse(kAt | MOUSEEVENTF_LEFTDOWN, x, 131, time += 10000);
    Mouse(kAt | secondFlags, x + dx, 131, time + gap);
    EXPECT_EQ(Buttons(), (UintList{WM_LBUTTONDOWN, secondMessage})) << x << " " << dx << " " << gap;
  }
}

// The key flags follow buttons and modifiers; GetKeyState follows the messages retrieved, not the
// injection.
TEST_F(MouseRouting, KeyFlagsAndKeyStateDuringADrag) {
  Child(Top(100, 100, 200, 200, kPopup), 1, 20, 30, 50, 50);
  std::vector<SHORT> left;  // GetKeyState(VK_LBUTTON) while each left button message is handled
  Handle([&](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_LBUTTONDOWN || msg == WM_LBUTTONUP) left.push_back(GetKeyState(VK_LBUTTON));
    return std::nullopt;
  });
  Key(WM_KEYDOWN, VK_SHIFT);
  Press(WM_LBUTTONDOWN, 130, 140);
  Move(135, 145);
  Press(WM_RBUTTONDOWN, 135, 145);
  Move(140, 150);
  Key(WM_KEYUP, VK_SHIFT);
  Press(WM_LBUTTONUP, 140, 150);
  Move(141, 150);
  Press(WM_RBUTTONUP, 141, 150);
  Press(WM_MBUTTONDOWN, 130, 140, MK_CONTROL);  // given with the event: for that event only
  Move(142, 150);
  std::vector<WPARAM> flags;
  for (const Sent& s : Range(WM_MOUSEFIRST, WM_MOUSELAST)) flags.push_back(s.wParam);
  const WPARAM l = MK_LBUTTON, r = MK_RBUTTON, s = MK_SHIFT;
  EXPECT_EQ(flags,
            (std::vector<WPARAM>{l | s, l | s, l | r | s, l | r | s, r, r, 0, MK_MBUTTON | MK_CONTROL, MK_MBUTTON}));

  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, 175, 175, 0) && KelmiraInjectMouse(WM_LBUTTONUP, 175, 175, 0));
  EXPECT_EQ(std::pair(GetAsyncKeyState(VK_LBUTTON), GetKeyState(VK_LBUTTON)), std::pair(SHORT{0}, SHORT{1}));
  Pump();
  const auto downToggled = static_cast<SHORT>(0x8001), down = static_cast<SHORT>(0x8000);
  EXPECT_EQ(left, (std::vector<SHORT>{downToggled, 1, down, 0}));
  // Key states wait only for messages still queued, whether or not anyone asks for them.
  Handle([](HWND, UINT, WPARAM, LPARAM) -> std::optional<LRESULT> { return std::nullopt; });
  for (int i = 0; i < 500; ++i) Press(i % 2 ? WM_LBUTTONUP : WM_LBUTTONDOWN, 175, 175);
  EXPECT_LE(window::PendingKeyStateCount(), 1u);
}

TEST_F(MouseRouting, APressAsksForActivationAndTheCursorBeforeItArrives) {
  HWND top = Top(100, 100, 200, 200, kPopup), child = Child(top, 1, 20, 30, 50, 50);
  SetActiveWindow(nullptr);
  SetFocus(nullptr);
  Clear();
  Press(WM_LBUTTONDOWN, 130, 140);
  // The parent hears of the press; the child is asked to activate (and asks its parent through
  // the default procedure), then for the cursor (likewise); the press arrives last.
  auto m = Log({WM_PARENTNOTIFY, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS, WM_SETCURSOR,
                WM_CAPTURECHANGED, WM_MOUSEMOVE, WM_LBUTTONDOWN});
  EXPECT_EQ(Ids(m), (UintList{WM_PARENTNOTIFY, WM_MOUSEACTIVATE, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                              WM_SETCURSOR, WM_SETCURSOR, WM_LBUTTONDOWN}));
  ASSERT_EQ(m.size(), 8u);
  EXPECT_EQ(std::pair(m[0].lParam, m[1]),
            std::pair(MAKELPARAM(30, 40), Sent{child, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top),
                                               MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)}));
  // The class cursor.
  EXPECT_EQ(std::tuple(GetActiveWindow(), GetFocus(), GetCursor()),
            std::tuple(top, top, LoadCursorA(nullptr, IDC_CROSS)));

  // A window may swallow the press that activates it.
  Clear();
  Handle([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_MOUSEACTIVATE) return MA_NOACTIVATEANDEAT;
    return std::nullopt;
  });
  Press(WM_RBUTTONDOWN, 130, 140);
  Press(WM_RBUTTONUP, 130, 140);
  EXPECT_EQ(Buttons(), (UintList{WM_RBUTTONUP}));
}

// SetCursorPos moves the mouse over windows (and sets the class cursor); ClipCursor keeps the
// cursor inside until freed.
TEST_F(MouseRouting, SetCursorPosClipCursorAndSendInput) {
  HWND top = Top(100, 100, 100, 100, kPopup, kBare);
  SetCursorPos(150, 160);
  SetCursorPos(150, 160);  // no motion, no message
  Pump();
  EXPECT_EQ(Log({WM_MOUSEMOVE}, top), (std::vector<Sent>{{top, WM_MOUSEMOVE, 0, MAKELPARAM(50, 60)}}));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));  // the class cursor

  SetCursorPos(50, 50);
  RECT box{100, 100, 200, 150}, inverted{200, 100, 100, 150};
  ASSERT_TRUE(ClipCursor(&box));
  // Pulled in at once; after ClipCursor(nullptr) only the screen's edge confines.
  // clang-format off
  EXPECT_EQ((std::vector{CursorNow(), (SetCursorPos(500, 500), CursorNow()),
                         (Mouse(MOUSEEVENTF_MOVE, -1000, 10), CursorNow()), (Move(10, 10), CursorNow()),
                         std::pair<int, int>{ClipCursor(&inverted), ClipCursor(nullptr)},
                         (SetCursorPos(500, 500), CursorNow()), (SetCursorPos(-5, 100000), CursorNow())}),
            (std::vector<std::pair<int, int>>{{100, 100}, {199, 149}, {100, 149}, {100, 100}, {FALSE, TRUE}, {500, 500},
                                              {0, GetSystemMetrics(SM_CYSCREEN) - 1}}));
  // clang-format on

  // SendInput takes normalised absolute and relative moves.
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[2]{};
  in[0].type = INPUT_MOUSE, in[1].type = INPUT_HARDWARE;
  in[0].mi.dx = 65535, in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  EXPECT_EQ((std::tuple{SendInput(1, in, sizeof(INPUT)), CursorNow(), (Mouse(MOUSEEVENTF_MOVE, -10, 7), CursorNow())}),
            std::tuple(1u, std::pair(width - 1, 0), std::pair(width - 11, 7)));
  for (int p : {0, 1, 333, height - 1}) {
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p, p);
    EXPECT_EQ(CursorNow(), std::pair(p, p));
  }
  EXPECT_EQ(SendInput(2, in, sizeof(INPUT)), 1u);  // stops at the one it cannot take
  EXPECT_EQ(SendInput(1, in, sizeof(INPUT) - 1) + SendInput(1, nullptr, sizeof(INPUT)), 0u);
}

}  // namespace
}  // namespace kelmira::test

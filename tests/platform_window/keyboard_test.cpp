// Focus, activation and the keyboard.
#include "support/injected_input.h"
#include "support/pump.h"
#include "support/recording_window.h"

namespace kelmira::test {
namespace {

using Keyboard = WindowTest;
using UintList = std::vector<UINT>;
WPARAM W(HWND h) { return reinterpret_cast<WPARAM>(h); }
LPARAM L(HWND h) { return reinterpret_cast<LPARAM>(h); }

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
  EXPECT_EQ(Log({WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}), (std::vector<Sent>{{top, WM_ACTIVATE, WA_INACTIVE, L(other)},
                                                                              {other, WM_ACTIVATE, WA_ACTIVE, L(top)},
                                                                              {a, WM_KILLFOCUS, W(inner), 0},
                                                                              {inner, WM_SETFOCUS, W(a), 0}}));
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
  EXPECT_EQ(GetFocus(), owned);
  DestroyWindow(owned);
  EXPECT_EQ(std::pair(GetActiveWindow(), GetFocus()), std::pair(other, other));
}

TEST_F(Keyboard, KeysGoToTheFocusWindowWithTheirParameterBits) {
  HWND top = Top(100, 100, 200, 200, kPopup), a = Child(top, 1, 0, 0, 50, 50);
  SetFocus(a);
  Key(WM_KEYDOWN, 'A');
  ASSERT_TRUE(KelmiraInjectKey(WM_KEYDOWN, 'A'));  // held: a repeat
  Key(WM_KEYUP, 'A');
  Key(WM_KEYDOWN, VK_SHIFT);
  Key(WM_KEYDOWN, 'Q');
  Key(WM_KEYUP, VK_SHIFT);
  Key(WM_KEYDOWN, VK_LEFT);
  auto k = Range(WM_KEYFIRST, WM_KEYLAST, a);
  ASSERT_EQ(k.size(), 10u);
  // One stroke of scan code 0x1E, its character, the repeat (down before), the release; the
  // character of shift + Q; an extended key.
  EXPECT_EQ(std::tuple(k[0].wParam, k[0].lParam, k[1].wParam, k[2].lParam, k[4].lParam, k[7].wParam, k[9].lParam),
            std::tuple(WPARAM{'A'}, LPARAM{0x001E0001}, WPARAM{'a'}, LPARAM{0x401E0001}, LPARAM{0xC01E0001},
                       WPARAM{'Q'}, LPARAM{0x014B0001}));

  // Alt makes system keys, a lone Alt press and release too.
  Clear();
  for (WPARAM vk : {WPARAM{VK_MENU}, WPARAM{'F'}}) Key(WM_KEYDOWN, vk);
  for (WPARAM vk : {WPARAM{'F'}, WPARAM{VK_MENU}}) Key(WM_KEYUP, vk);
  Key(WM_KEYDOWN, VK_MENU);
  Key(WM_KEYUP, VK_MENU);
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
  EXPECT_EQ(std::pair(k[2].msg, k[2].wParam), std::pair(UINT{WM_KEYUP}, WPARAM{VK_PACKET}));

  // Without a focus window the keys go to the active window as system keys.
  SetFocus(nullptr);
  Key(WM_KEYDOWN, 'B');
  Key(WM_KEYUP, 'B');
  EXPECT_EQ(Ids(Range(WM_KEYFIRST, WM_KEYLAST, top)), (UintList{WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}));
  EXPECT_FALSE(KelmiraInjectKey(WM_CHAR, 'A'));
}

TEST_F(Keyboard, GetKeyStateReportsDownAndToggledAsOfTheRetrievedMessages) {
  HWND a = Child(Top(100, 100, 200, 200, kPopup), 1, 0, 0, 50, 50);
  SetFocus(a);
  ASSERT_TRUE(KelmiraInjectKey(WM_KEYDOWN, 'K'));
  EXPECT_LT(GetAsyncKeyState('K'), 0);
  EXPECT_EQ(GetKeyState('K'), 0);  // its message is still queued
  Pump();
  EXPECT_EQ(GetKeyState('K'), static_cast<SHORT>(0x8001));
  Key(WM_KEYUP, 'K');
  EXPECT_EQ(GetKeyState('K'), 1);  // up, toggled

  // Either shift key is VK_SHIFT too; caps lock's toggle turns letters to capitals.
  Key(WM_KEYDOWN, VK_RSHIFT);
  EXPECT_TRUE(GetKeyState(VK_SHIFT) < 0 && GetKeyState(VK_LSHIFT) >= 0);
  EXPECT_EQ(Range(WM_KEYFIRST, WM_KEYLAST, a).back().wParam, WPARAM{VK_SHIFT});
  Key(WM_KEYUP, VK_RSHIFT);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  Key(WM_KEYDOWN, VK_CAPITAL);
  Key(WM_KEYDOWN, 'Z');
  EXPECT_EQ(Range(WM_KEYFIRST, WM_KEYLAST, a).back().wParam, WPARAM{'Z'});
}

}  // namespace
}  // namespace kelmira::test

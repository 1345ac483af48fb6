// Focus, activation and the keyboard.
#include "win_input_fixture.h"

namespace kelmira::test {
namespace {

using UintList = std::vector<UINT>;

class KeyboardTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    top = MakeTop(kPlainClass, 100, 100, 200, 200);
    a = MakeChild(top, 0, 0, 50, 50);
    b = MakeChild(top, 60, 0, 50, 50);
    SetFocus(a);
    ClearMessages();
  }
  // The key messages the focus window a got, with their parameters.
  std::vector<Received> Keys(HWND to) const { return Messages(WM_KEYFIRST, WM_KEYLAST, to); }

  HWND top = nullptr;
  HWND a = nullptr;
  HWND b = nullptr;
};

TEST_F(KeyboardTest, SetFocusTellsTheLoserFirstThenTheWinner) {
  SetFocus(b);
  auto m = Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(Whole(m[0]), Whole(a, WM_KILLFOCUS, reinterpret_cast<WPARAM>(b), 0));
  EXPECT_EQ(Whole(m[1]), Whole(b, WM_SETFOCUS, reinterpret_cast<WPARAM>(a), 0));

  ClearMessages();
  SetFocus(b);  // already there: nothing sent
  SetFocus(nullptr);
  EXPECT_EQ(Ids(), (UintList{WM_KILLFOCUS}));

  // A disabled window cannot take the focus; disabling the focus window takes it away.
  SetFocus(a);
  EnableWindow(b, FALSE);
  EXPECT_EQ(SetFocus(b), nullptr);
  EXPECT_EQ(GetFocus(), a);
  EnableWindow(a, FALSE);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(SetFocus(reinterpret_cast<HWND>(12345)), nullptr);
}

TEST_F(KeyboardTest, FocusingAWindowOfAnotherTopLevelWindowActivatesIt) {
  HWND other = MakeTop(kPlainClass, 400, 100, 100, 100);
  HWND inner = MakeChild(other, 0, 0, 10, 10);
  EXPECT_EQ(GetActiveWindow(), other);  // shown, so activated
  SetActiveWindow(top);
  SetFocus(a);
  ClearMessages();
  SetFocus(inner);
  EXPECT_EQ(Ids(), (UintList{WM_ACTIVATE, WM_ACTIVATE, WM_KILLFOCUS, WM_SETFOCUS}));
  auto m = Messages();
  EXPECT_EQ(std::tuple(m[0].hwnd, m[0].wParam, m[1].hwnd, m[1].wParam),
            std::tuple(top, WPARAM{WA_INACTIVE}, other, WPARAM{WA_ACTIVE}));
  SetActiveWindow(a);  // a child is never the active window
  EXPECT_EQ(GetActiveWindow(), other);

  // A click activates an inactive window and gives it the focus; the active one is not asked.
  SetActiveWindow(top);
  ClearMessages();
  for (int i = 0; i < 2; ++i) {
    Press(WM_LBUTTONDOWN, 450, 150);
    Press(WM_LBUTTONUP, 450, 150);
  }
  EXPECT_EQ(GetFocus(), other);
  EXPECT_EQ(Ids(WM_MOUSEACTIVATE, WM_MOUSEACTIVATE).size(), 1u);
  auto activate = Messages(WM_ACTIVATE, WM_ACTIVATE, other);
  ASSERT_EQ(activate.size(), 1u);
  EXPECT_EQ(Whole(activate[0]), Whole(other, WM_ACTIVATE, WA_CLICKACTIVE, reinterpret_cast<LPARAM>(top)));
}

TEST_F(KeyboardTest, ClosingTheActiveWindowGivesTheActivationBackToItsOwner) {
  HWND owned = CreateWindowExA(0, kPlainClass, "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
  EXPECT_EQ(GetFocus(), owned);
  DestroyWindow(owned);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetFocus(), top);
}

TEST_F(KeyboardTest, KeysGoToTheFocusWindowWithTheirParameterBits) {
  Key(WM_KEYDOWN, 'A');
  ASSERT_TRUE(KelmiraInjectKey(WM_KEYDOWN, 'A'));  // held: a repeat
  Key(WM_KEYUP, 'A');
  Key(WM_KEYDOWN, VK_SHIFT);
  Key(WM_KEYDOWN, 'Q');
  Key(WM_KEYUP, VK_SHIFT);
  Key(WM_KEYDOWN, VK_LEFT);
  auto k = Keys(a);
  ASSERT_EQ(k.size(), 10u);
  // One stroke of scan code 0x1E, its character, the repeat (down before), the release; the
  // character of shift + Q; an extended key.
  EXPECT_EQ(std::tuple(k[0].wParam, k[0].lParam, k[1].wParam, k[2].lParam, k[4].lParam, k[7].wParam, k[9].lParam),
            std::tuple(WPARAM{'A'}, LPARAM{0x001E0001}, WPARAM{'a'}, LPARAM{0x401E0001}, LPARAM{0xC01E0001},
                       WPARAM{'Q'}, LPARAM{0x014B0001}));

  // Without a focus window the keys go to the active window as system keys.
  SetFocus(nullptr);
  Key(WM_KEYDOWN, 'B');
  Key(WM_KEYUP, 'B');
  EXPECT_EQ(Ids(WM_KEYFIRST, WM_KEYLAST, top), (UintList{WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}));
  EXPECT_FALSE(KelmiraInjectKey(WM_CHAR, 'A'));
}

TEST_F(KeyboardTest, AltMakesSystemKeys) {
  for (WPARAM vk : {WPARAM{VK_MENU}, WPARAM{'F'}}) Key(WM_KEYDOWN, vk);
  for (WPARAM vk : {WPARAM{'F'}, WPARAM{VK_MENU}}) Key(WM_KEYUP, vk);
  Key(WM_KEYDOWN, VK_MENU);
  Key(WM_KEYUP, VK_MENU);
  EXPECT_EQ(Ids(WM_KEYFIRST, WM_KEYLAST),
            (UintList{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}));
  EXPECT_EQ(Keys(a)[1].lParam, 0x20210001);  // Alt context bit, scan code of F
}

TEST_F(KeyboardTest, GetKeyStateReportsDownAndToggledAsOfTheRetrievedMessages) {
  ASSERT_TRUE(KelmiraInjectKey(WM_KEYDOWN, 'K'));
  EXPECT_LT(GetAsyncKeyState('K'), 0);
  EXPECT_EQ(GetKeyState('K'), 0);  // its message is still queued
  Pump();
  EXPECT_EQ(GetKeyState('K'), static_cast<SHORT>(0x8001));
  Key(WM_KEYUP, 'K');
  EXPECT_EQ(GetKeyState('K'), 1);  // up, toggled

  // Either shift key is VK_SHIFT too; caps lock's toggle turns letters to capitals.
  Key(WM_KEYDOWN, VK_RSHIFT);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_GE(GetKeyState(VK_LSHIFT), 0);
  EXPECT_EQ(Keys(a).back().wParam, static_cast<WPARAM>(VK_SHIFT));
  Key(WM_KEYUP, VK_RSHIFT);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
  Key(WM_KEYDOWN, VK_CAPITAL);
  Key(WM_KEYDOWN, 'Z');
  EXPECT_EQ(Keys(a).back().wParam, static_cast<WPARAM>('Z'));
}

TEST_F(KeyboardTest, UnicodeKeyEventsBringTheirCharacter) {
  INPUT in[2]{};
  in[0].type = INPUT_KEYBOARD;
  in[0].ki.wScan = 0x00E9;  // e acute
  in[0].ki.dwFlags = KEYEVENTF_UNICODE;
  in[1] = in[0];
  in[1].ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
  ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
  Pump();
  auto k = Keys(a);
  ASSERT_EQ(k.size(), 3u);
  EXPECT_EQ(std::tuple(k[0].message, k[0].wParam, k[1].message, k[1].wParam, k[2].message),
            std::tuple(UINT{WM_KEYDOWN}, WPARAM{VK_PACKET}, UINT{WM_CHAR}, WPARAM{0xE9}, UINT{WM_KEYUP}));
}

}  // namespace
}  // namespace kelmira::test

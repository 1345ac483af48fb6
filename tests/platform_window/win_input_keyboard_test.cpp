// Focus, activation and the keyboard.
#include "win_input_fixture.h"

namespace kelmira::test {
namespace {

using Ids = std::vector<UINT>;

class KeyboardTest : public InputTest {
 protected:
  void SetUp() override {
    InputTest::SetUp();
    top = MakeTop(kPlainClass, 100, 100, 200, 200);
    a = MakeChild(top, 0, 0, 50, 50);
    b = MakeChild(top, 60, 0, 50, 50);
    SetFocus(a);
    Pump();
    ClearMessages();
  }
  HWND top = nullptr;
  HWND a = nullptr;
  HWND b = nullptr;
};

constexpr DWORD kScanBits = 0x00FF0000;
constexpr DWORD kPreviousDown = 1u << 30;
constexpr DWORD kReleased = 1u << 31;
constexpr DWORD kAltContext = 1u << 29;

DWORD Bits(LPARAM lParam) { return static_cast<DWORD>(lParam); }

TEST_F(KeyboardTest, SetFocusTellsTheLoserFirstThenTheWinner) {
  EXPECT_EQ(GetFocus(), a);
  EXPECT_EQ(SetFocus(b), a);
  EXPECT_EQ(GetFocus(), b);
  auto m = Messages();
  ASSERT_EQ(m.size(), 2u);
  EXPECT_EQ(m[0].hwnd, a);
  EXPECT_EQ(m[0].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(m[0].wParam, reinterpret_cast<WPARAM>(b));
  EXPECT_EQ(m[1].hwnd, b);
  EXPECT_EQ(m[1].message, static_cast<UINT>(WM_SETFOCUS));
  EXPECT_EQ(m[1].wParam, reinterpret_cast<WPARAM>(a));

  ClearMessages();
  EXPECT_EQ(SetFocus(b), b);  // already there: nothing sent
  EXPECT_TRUE(Messages().empty());
  EXPECT_EQ(SetFocus(nullptr), b);
  EXPECT_EQ(GetFocus(), nullptr);
  EXPECT_EQ(MessageIds(), (Ids{WM_KILLFOCUS}));

  // A disabled window cannot take the focus; disabling the focus window takes it away.
  EXPECT_EQ(SetFocus(a), nullptr);  // nobody had it
  EXPECT_EQ(GetFocus(), a);
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
  EXPECT_EQ(SetFocus(inner), a);
  EXPECT_EQ(GetActiveWindow(), other);
  auto m = Messages();
  ASSERT_EQ(m.size(), 4u);
  EXPECT_EQ(m[0].hwnd, top);
  EXPECT_EQ(m[0].message, static_cast<UINT>(WM_ACTIVATE));
  EXPECT_EQ(LOWORD(m[0].wParam), WA_INACTIVE);
  EXPECT_EQ(m[1].hwnd, other);
  EXPECT_EQ(LOWORD(m[1].wParam), WA_ACTIVE);
  EXPECT_EQ(m[2].message, static_cast<UINT>(WM_KILLFOCUS));
  EXPECT_EQ(m[3].hwnd, inner);
  EXPECT_EQ(m[3].message, static_cast<UINT>(WM_SETFOCUS));
  // A child window is never the active window.
  EXPECT_EQ(SetActiveWindow(a), other);
  EXPECT_EQ(GetActiveWindow(), other);
}

TEST_F(KeyboardTest, KeysGoToTheFocusWindowWithTheirParameterBits) {
  Key(WM_KEYDOWN, 'A');
  ASSERT_TRUE(KelmiraInjectKey(WM_KEYDOWN, 'A'));  // held: a repeat
  Key(WM_KEYUP, 'A');
  auto keys = Messages(WM_KEYFIRST, WM_KEYLAST);
  ASSERT_EQ(keys.size(), 5u);
  EXPECT_EQ(keys[0].hwnd, a);
  EXPECT_EQ(keys[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(Bits(keys[0].lParam), 0x001E0001u);
  EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('a'));
  EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(Bits(keys[2].lParam) & kPreviousDown, kPreviousDown);
  EXPECT_EQ(keys[4].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(Bits(keys[4].lParam), 0xC01E0001u);

  // Shift makes capitals; the extended bit marks the grey keys.
  ClearMessages();
  Key(WM_KEYDOWN, VK_SHIFT);
  Key(WM_KEYDOWN, 'Q');
  Key(WM_KEYUP, 'Q');
  Key(WM_KEYUP, VK_SHIFT);
  Key(WM_KEYDOWN, VK_LEFT);
  Key(WM_KEYUP, VK_LEFT);
  auto chars = Messages(WM_CHAR, WM_CHAR);
  ASSERT_EQ(chars.size(), 1u);
  EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('Q'));
  auto left = Messages(WM_KEYDOWN, WM_KEYDOWN).back();
  EXPECT_EQ(left.wParam, static_cast<WPARAM>(VK_LEFT));
  EXPECT_EQ(Bits(left.lParam) & (1u << 24), 1u << 24);
  EXPECT_EQ(Bits(left.lParam) & kScanBits, 0x004B0000u);

  // Without a focus window the keys go to the active window as system keys.
  ClearMessages();
  SetFocus(nullptr);
  Key(WM_KEYDOWN, 'B');
  Key(WM_KEYUP, 'B');
  EXPECT_EQ(MessageIds(WM_KEYFIRST, WM_KEYLAST, top), (Ids{WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP}));
}

TEST_F(KeyboardTest, AltMakesSystemKeys) {
  Key(WM_KEYDOWN, VK_MENU);
  Key(WM_KEYDOWN, 'F');
  Key(WM_KEYUP, 'F');
  Key(WM_KEYUP, VK_MENU);
  Key(WM_KEYDOWN, VK_MENU);
  Key(WM_KEYUP, VK_MENU);
  auto keys = Messages(WM_KEYFIRST, WM_KEYLAST);
  Ids ids;
  for (const Received& r : keys) ids.push_back(r.message);
  EXPECT_EQ(ids, (Ids{WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSCHAR, WM_SYSKEYUP, WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP}));
  EXPECT_EQ(Bits(keys[1].lParam) & kAltContext, kAltContext);
  EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('F'));
  EXPECT_EQ(keys[4].wParam, static_cast<WPARAM>(VK_MENU));
}

TEST_F(KeyboardTest, GetKeyStateReportsDownAndToggledAsOfTheRetrievedMessages) {
  EXPECT_EQ(GetKeyState('K'), 0);
  ASSERT_TRUE(KelmiraInjectKey(WM_KEYDOWN, 'K'));
  EXPECT_LT(GetAsyncKeyState('K'), 0);
  EXPECT_GE(GetKeyState('K'), 0);  // its message is still queued
  Pump();
  EXPECT_LT(GetKeyState('K'), 0);
  EXPECT_EQ(GetKeyState('K') & 1, 1);
  Key(WM_KEYUP, 'K');
  EXPECT_EQ(GetKeyState('K'), 1);
  Key(WM_KEYDOWN, 'K');
  Key(WM_KEYUP, 'K');
  EXPECT_EQ(GetKeyState('K'), 0);

  // Either shift key is VK_SHIFT too.
  Key(WM_KEYDOWN, VK_RSHIFT);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  EXPECT_LT(GetKeyState(VK_RSHIFT), 0);
  EXPECT_GE(GetKeyState(VK_LSHIFT), 0);
  EXPECT_EQ(Messages(WM_KEYDOWN, WM_KEYDOWN).back().wParam, static_cast<WPARAM>(VK_SHIFT));
  Key(WM_KEYUP, VK_RSHIFT);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);

  // Caps lock toggles the letters' case.
  Key(WM_KEYDOWN, VK_CAPITAL);
  Key(WM_KEYUP, VK_CAPITAL);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, 1);
  ClearMessages();
  Key(WM_KEYDOWN, 'Z');
  Key(WM_KEYUP, 'Z');
  EXPECT_EQ(Messages(WM_CHAR, WM_CHAR).at(0).wParam, static_cast<WPARAM>('Z'));
  EXPECT_EQ(GetKeyState(-1), 0);
  EXPECT_EQ(GetKeyState(0x1234), 0);
  EXPECT_FALSE(KelmiraInjectKey(WM_CHAR, 'A'));
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
  auto keys = Messages(WM_KEYFIRST, WM_KEYLAST, a);
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>(VK_PACKET));
  EXPECT_EQ(keys[1].message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(keys[1].wParam, 0xE9u);
  EXPECT_EQ(keys[2].message, static_cast<UINT>(WM_KEYUP));
}

TEST_F(KeyboardTest, ClickingAnInactiveWindowActivatesAndFocusesIt) {
  HWND other = MakeTop(kPlainClass, 400, 100, 100, 100);
  SetActiveWindow(top);
  SetFocus(a);
  ClearMessages();
  Press(WM_LBUTTONDOWN, 450, 150);
  Press(WM_LBUTTONUP, 450, 150);
  EXPECT_EQ(GetActiveWindow(), other);
  EXPECT_EQ(GetFocus(), other);
  auto activate = Messages(WM_ACTIVATE, WM_ACTIVATE, other);
  ASSERT_EQ(activate.size(), 1u);
  EXPECT_EQ(LOWORD(activate[0].wParam), WA_CLICKACTIVE);
  EXPECT_EQ(activate[0].lParam, reinterpret_cast<LPARAM>(top));
  // The active window itself is not asked again.
  ClearMessages();
  Press(WM_LBUTTONDOWN, 450, 150);
  Press(WM_LBUTTONUP, 450, 150);
  EXPECT_TRUE(Messages(WM_MOUSEACTIVATE, WM_MOUSEACTIVATE).empty());
}

}  // namespace
}  // namespace kelmira::test

// Mouse routing: hit testing, capture, double clicks, X buttons, key flags, activation.
#include "win_input_fixture.h"

namespace kelmira::test {
namespace {

using Ids = std::vector<UINT>;

class MouseTest : public InputTest {
 protected:
  // A top-level window at (100, 100), 200 x 200, with a child at (20, 30), 50 x 50 in it.
  void SetUp() override {
    InputTest::SetUp();
    top = MakeTop(kDoubleClickClass, 100, 100, 200, 200);
    child = MakeChild(top, 20, 30, 50, 50);
  }
  HWND top = nullptr;
  HWND child = nullptr;
};

TEST_F(MouseTest, HitTestingPicksTheChildUnderThePointInItsClientCoordinates) {
  Move(130, 140);
  Move(110, 105);
  auto moves = Messages(WM_MOUSEMOVE, WM_MOUSEMOVE);
  ASSERT_EQ(moves.size(), 2u);
  EXPECT_EQ(moves[0].hwnd, child);
  EXPECT_EQ(X(moves[0].lParam), 10);
  EXPECT_EQ(Y(moves[0].lParam), 10);
  EXPECT_EQ(moves[1].hwnd, top);
  EXPECT_EQ(X(moves[1].lParam), 10);
  EXPECT_EQ(Y(moves[1].lParam), 5);

  // A disabled child passes the mouse to its parent; a hidden one is not there at all.
  ClearMessages();
  EnableWindow(child, FALSE);
  Move(131, 141);
  ShowWindow(child, SW_HIDE);
  EnableWindow(child, TRUE);
  Move(132, 142);
  auto later = MouseMessages();
  ASSERT_EQ(later.size(), 2u);
  EXPECT_EQ(later[0].hwnd, top);
  EXPECT_EQ(X(later[0].lParam), 31);
  EXPECT_EQ(later[1].hwnd, top);

  // A disabled top-level window gets nothing, and nothing outside every window gets anything.
  ClearMessages();
  EnableWindow(top, FALSE);
  Press(WM_LBUTTONDOWN, 110, 110);
  Press(WM_LBUTTONUP, 110, 110);
  EnableWindow(top, TRUE);
  Move(5, 5);
  EXPECT_TRUE(MouseMessages().empty());
}

TEST_F(MouseTest, TheCapturingWindowGetsEverythingInItsOwnCoordinates) {
  Behaviour().captureOnPress = true;
  Press(WM_LBUTTONDOWN, 130, 140);
  EXPECT_EQ(GetCapture(), child);
  Move(50, 60);    // outside everything, left of and above the child
  Move(250, 250);  // over the top-level window
  Press(WM_LBUTTONUP, 1000, 900);

  auto mouse = MouseMessages();
  ASSERT_EQ(mouse.size(), 4u);
  for (const Received& r : mouse) EXPECT_EQ(r.hwnd, child);
  EXPECT_EQ(X(mouse[1].lParam), 50 - 120);
  EXPECT_EQ(Y(mouse[1].lParam), 60 - 130);
  EXPECT_EQ(X(mouse[2].lParam), 130);
  EXPECT_EQ(X(mouse[3].lParam), 1000 - 120);
  EXPECT_EQ(Y(mouse[3].lParam), 900 - 130);
  // Nobody is asked for a cursor while the mouse is captured.
  EXPECT_EQ(Messages(WM_SETCURSOR, WM_SETCURSOR, child).size(), 1u);

  // Taking the capture away tells the loser who has it now; releasing it tells it null.
  ClearMessages();
  EXPECT_EQ(SetCapture(top), child);
  EXPECT_EQ(GetCapture(), top);
  EXPECT_TRUE(ReleaseCapture());
  EXPECT_EQ(GetCapture(), nullptr);
  auto changes = Messages(WM_CAPTURECHANGED, WM_CAPTURECHANGED);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0].hwnd, child);
  EXPECT_EQ(changes[0].lParam, reinterpret_cast<LPARAM>(top));
  EXPECT_EQ(changes[1].hwnd, top);
  EXPECT_EQ(changes[1].lParam, 0);
}

TEST_F(MouseTest, CaptureAndFocusEndWithTheWindow) {
  SetCapture(child);
  SetFocus(child);
  EXPECT_EQ(GetFocus(), child);
  DestroyWindow(child);
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_EQ(GetFocus(), nullptr);
  Move(130, 140);
  EXPECT_EQ(MouseMessages().back().hwnd, top);
}

TEST_F(MouseTest, TwoQuickPressesMakeADoubleClickOnlyForDoubleClickClasses) {
  MouseAt(MOUSEEVENTF_LEFTDOWN, 130, 140, 1000);
  MouseAt(MOUSEEVENTF_LEFTUP, 130, 140, 1050);
  MouseAt(MOUSEEVENTF_LEFTDOWN, 130, 140, 1100);
  MouseAt(MOUSEEVENTF_LEFTUP, 130, 140, 1150);
  MouseAt(MOUSEEVENTF_LEFTDOWN, 130, 140, 1200);  // a third press starts over
  EXPECT_EQ(MessageIds(WM_LBUTTONDOWN, WM_MOUSELAST),
            (Ids{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN}));

  HWND plain = MakeTop(kPlainClass, 400, 100, 100, 100);
  MouseAt(MOUSEEVENTF_RIGHTDOWN, 450, 150, 2000);
  MouseAt(MOUSEEVENTF_RIGHTUP, 450, 150, 2010);
  MouseAt(MOUSEEVENTF_RIGHTDOWN, 450, 150, 2020);
  MouseAt(MOUSEEVENTF_RIGHTUP, 450, 150, 2030);
  EXPECT_EQ(MessageIds(WM_LBUTTONDOWN, WM_MOUSELAST, plain),
            (Ids{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));
}

TEST_F(MouseTest, SecondPressesTooLateTooFarOrOfAnotherButtonAreSinglePresses) {
  UINT limit = GetDoubleClickTime();
  EXPECT_EQ(limit, 500u);
  auto pressTwice = [&](DWORD flags, int dx, DWORD gap, DWORD start) {
    ClearMessages();
    MouseAt(flags, 130, 140, start);
    MouseAt(flags, 130 + dx, 140, start + gap);
    return MessageIds(WM_LBUTTONDOWN, WM_MOUSELAST);
  };
  EXPECT_EQ(pressTwice(MOUSEEVENTF_LEFTDOWN, 0, limit, 10000), (Ids{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  EXPECT_EQ(pressTwice(MOUSEEVENTF_LEFTDOWN, 5, 10, 20000), (Ids{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  EXPECT_EQ(pressTwice(MOUSEEVENTF_LEFTDOWN, 3, 10, 30000), (Ids{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
  EXPECT_EQ(pressTwice(MOUSEEVENTF_LEFTDOWN, 2, limit - 1, 40000), (Ids{WM_LBUTTONDOWN, WM_LBUTTONDBLCLK}));
  EXPECT_EQ(pressTwice(MOUSEEVENTF_MIDDLEDOWN, 0, 10, 50000), (Ids{WM_MBUTTONDOWN, WM_MBUTTONDBLCLK}));

  ClearMessages();
  MouseAt(MOUSEEVENTF_LEFTDOWN, 130, 140, 60000);
  MouseAt(MOUSEEVENTF_RIGHTDOWN, 130, 140, 60010);
  MouseAt(MOUSEEVENTF_LEFTDOWN, 130, 140, 60020);
  EXPECT_EQ(MessageIds(WM_LBUTTONDOWN, WM_MOUSELAST), (Ids{WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_LBUTTONDOWN}));

  // Presses on two different windows never pair.
  ClearMessages();
  MouseAt(MOUSEEVENTF_LEFTDOWN, 121, 131, 70000);
  MouseAt(MOUSEEVENTF_LEFTDOWN, 119, 129, 70010);
  EXPECT_EQ(MessageIds(WM_LBUTTONDOWN, WM_MOUSELAST), (Ids{WM_LBUTTONDOWN, WM_LBUTTONDOWN}));
}

TEST_F(MouseTest, ExtraButtonsCarryTheirNumberInTheHighWord) {
  MouseAt(MOUSEEVENTF_XDOWN, 130, 140, 1000, XBUTTON2);
  MouseAt(MOUSEEVENTF_XUP, 130, 140, 1010, XBUTTON2);
  MouseAt(MOUSEEVENTF_XDOWN, 130, 140, 1020, XBUTTON1);
  MouseAt(MOUSEEVENTF_XDOWN, 130, 140, 1030, XBUTTON1);
  auto x = Messages(WM_XBUTTONDOWN, WM_XBUTTONDBLCLK);
  ASSERT_EQ(x.size(), 4u);
  EXPECT_EQ(x[0].message, static_cast<UINT>(WM_XBUTTONDOWN));
  EXPECT_EQ(GET_XBUTTON_WPARAM(x[0].wParam), XBUTTON2);
  EXPECT_EQ(GET_KEYSTATE_WPARAM(x[0].wParam), MK_XBUTTON2);
  EXPECT_EQ(x[1].message, static_cast<UINT>(WM_XBUTTONUP));
  EXPECT_EQ(GET_XBUTTON_WPARAM(x[1].wParam), XBUTTON2);
  EXPECT_EQ(GET_KEYSTATE_WPARAM(x[1].wParam), 0);
  // The second X1 press follows an X2 press and release: X1 pairs with X1 only.
  EXPECT_EQ(x[2].message, static_cast<UINT>(WM_XBUTTONDOWN));
  EXPECT_EQ(x[3].message, static_cast<UINT>(WM_XBUTTONDBLCLK));
  EXPECT_EQ(GET_XBUTTON_WPARAM(x[3].wParam), XBUTTON1);
  EXPECT_TRUE(KelmiraInjectMouse(WM_XBUTTONUP, 130, 140, MAKEWPARAM(0, XBUTTON1)));
  EXPECT_FALSE(KelmiraInjectMouse(WM_XBUTTONDOWN, 130, 140, MAKEWPARAM(0, 3)));
}

TEST_F(MouseTest, KeyFlagsFollowTheButtonsAndModifiersDuringADrag) {
  Key(WM_KEYDOWN, VK_SHIFT);
  Press(WM_LBUTTONDOWN, 130, 140);
  Move(135, 145);
  Press(WM_RBUTTONDOWN, 135, 145);
  Move(140, 150);
  Key(WM_KEYUP, VK_SHIFT);
  Press(WM_LBUTTONUP, 140, 150);
  Move(141, 150);
  Press(WM_RBUTTONUP, 141, 150);
  Move(142, 150);
  auto m = MouseMessages();
  ASSERT_EQ(m.size(), 8u);
  EXPECT_EQ(m[0].wParam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(m[1].wParam, MK_LBUTTON | MK_SHIFT);
  EXPECT_EQ(m[2].wParam, MK_LBUTTON | MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(m[3].wParam, MK_LBUTTON | MK_RBUTTON | MK_SHIFT);
  EXPECT_EQ(m[4].wParam, MK_RBUTTON);
  EXPECT_EQ(m[5].wParam, MK_RBUTTON);
  EXPECT_EQ(m[6].wParam, 0u);
  EXPECT_EQ(m[7].wParam, 0u);
  // Modifiers given with an injected event count for that event only.
  ClearMessages();
  Press(WM_MBUTTONDOWN, 130, 140, MK_CONTROL);
  EXPECT_EQ(MouseMessages().back().wParam, MK_MBUTTON | MK_CONTROL);
  Press(WM_MBUTTONUP, 130, 140);
}

TEST_F(MouseTest, TheWheelSendsItsDeltaAndScreenPosition) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = MOUSEEVENTF_WHEEL;
  in.mi.mouseData = static_cast<DWORD>(-2 * WHEEL_DELTA);
  SetCursorPos(130, 140);
  ASSERT_EQ(SendInput(1, &in, sizeof(in)), 1u);
  Pump();
  auto wheel = Messages(WM_MOUSEWHEEL, WM_MOUSEWHEEL);
  ASSERT_FALSE(wheel.empty());
  EXPECT_EQ(wheel.front().hwnd, child);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel.front().wParam), -240);
  EXPECT_EQ(X(wheel.front().lParam), 130);
  EXPECT_EQ(Y(wheel.front().lParam), 140);
}

TEST_F(MouseTest, APressAsksForActivationAndTheCursorBeforeItArrives) {
  SetActiveWindow(nullptr);
  SetFocus(nullptr);
  ClearMessages();
  Press(WM_LBUTTONDOWN, 130, 140);
  // The child's parent hears of the press; the child is asked to activate (and asks its parent
  // through the default procedure), then to set the cursor; the press arrives last.
  EXPECT_EQ(MessageIds(), (Ids{WM_PARENTNOTIFY, WM_MOUSEACTIVATE, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                              WM_SETCURSOR, WM_SETCURSOR, WM_LBUTTONDOWN}));
  auto activate = Messages(WM_MOUSEACTIVATE, WM_MOUSEACTIVATE);
  EXPECT_EQ(activate[0].hwnd, child);
  EXPECT_EQ(activate[0].wParam, reinterpret_cast<WPARAM>(top));
  EXPECT_EQ(activate[0].lParam, MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
  EXPECT_EQ(activate[1].hwnd, top);
  auto notify = Messages(WM_PARENTNOTIFY, WM_PARENTNOTIFY);
  EXPECT_EQ(notify[0].hwnd, top);
  EXPECT_EQ(LOWORD(notify[0].wParam), WM_LBUTTONDOWN);
  EXPECT_EQ(X(notify[0].lParam), 30);
  EXPECT_EQ(Y(notify[0].lParam), 40);
  EXPECT_EQ(GetActiveWindow(), top);
  EXPECT_EQ(GetFocus(), top);
  // The default procedure showed the class cursor.
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_CROSS));
  Press(WM_LBUTTONUP, 130, 140);

  // A window may swallow the press that activates it.
  ClearMessages();
  Behaviour().mouseActivate = MA_NOACTIVATEANDEAT;
  Press(WM_RBUTTONDOWN, 130, 140);
  Press(WM_RBUTTONUP, 130, 140);
  EXPECT_EQ(MessageIds(WM_LBUTTONDOWN, WM_MOUSELAST), (Ids{WM_RBUTTONUP}));
}

TEST_F(MouseTest, GetKeyStateFollowsTheMessagesRetrievedNotTheInjection) {
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, 130, 140, 0));
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONUP, 130, 140, 0));
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON) & 0x8000, 0);
  Pump();
  auto buttons = Messages(WM_LBUTTONDOWN, WM_LBUTTONUP);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_LT(buttons[0].leftButton, 0);  // down while the press is handled
  EXPECT_GE(buttons[1].leftButton, 0);
  EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
  EXPECT_EQ(GetKeyState(VK_LBUTTON) & 1, 1);  // toggled by one press
}

}  // namespace
}  // namespace kelmira::test

// Mouse routing: hit testing, capture, double clicks, X buttons, key flags, activation.
#include "win_input_fixture.h"

namespace kelmira::test {
namespace {

using UintList = std::vector<UINT>;

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
  EnableWindow(child, FALSE);  // a disabled child passes the mouse to its parent
  Move(131, 141);
  ShowWindow(child, SW_HIDE);
  EnableWindow(child, TRUE);
  Move(132, 142);                                                      // a hidden one is not there
  EXPECT_EQ(GetMessagePos(), static_cast<DWORD>(MAKELONG(132, 142)));  // the last retrieved, on the screen
  std::vector<std::pair<HWND, LPARAM>> moves;
  for (const Received& r : Messages(WM_MOUSEMOVE, WM_MOUSEMOVE)) moves.emplace_back(r.hwnd, r.lParam);
  EXPECT_EQ(moves, (std::vector<std::pair<HWND, LPARAM>>{{child, MAKELPARAM(10, 10)},
                                                         {top, MAKELPARAM(10, 5)},
                                                         {top, MAKELPARAM(31, 41)},
                                                         {top, MAKELPARAM(32, 42)}}));

  // A disabled top-level window gets nothing, and neither does anything outside every window.
  ClearMessages();
  EnableWindow(top, FALSE);
  Press(WM_LBUTTONDOWN, 110, 110);
  Press(WM_LBUTTONUP, 110, 110);
  EnableWindow(top, TRUE);
  Move(5, 5);
  EXPECT_TRUE(Messages(WM_MOUSEFIRST, WM_MOUSELAST).empty());
  EXPECT_TRUE(Messages(WM_SETCURSOR, WM_MOUSEACTIVATE).empty());
}

TEST_F(MouseTest, TheCapturingWindowGetsEverythingInItsOwnCoordinates) {
  Behaviour().captureOnPress = true;
  Press(WM_LBUTTONDOWN, 130, 140);
  EXPECT_EQ(GetCapture(), child);
  Move(50, 60);  // outside everything, left of and above the child
  Move(250, 250);
  Press(WM_LBUTTONUP, 1000, 900);
  std::vector<std::tuple<HWND, int, int>> m;
  for (const Received& r : Messages(WM_MOUSEFIRST, WM_MOUSELAST))
    m.emplace_back(r.hwnd, GET_X_LPARAM(r.lParam), GET_Y_LPARAM(r.lParam));
  EXPECT_EQ(m, (std::vector<std::tuple<HWND, int, int>>{
                   {child, 10, 10}, {child, -70, -70}, {child, 130, 120}, {child, 880, 770}}));
  // Nobody is asked for a cursor while the mouse is captured.
  EXPECT_EQ(Messages(WM_SETCURSOR, WM_SETCURSOR, child).size(), 1u);

  // The loser hears who has the capture now (null after ReleaseCapture).
  ClearMessages();
  SetCapture(top);
  ReleaseCapture();
  auto changes = Messages(WM_CAPTURECHANGED, WM_CAPTURECHANGED);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(Whole(changes[0]), Whole(child, WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(top)));
  EXPECT_EQ(Whole(changes[1]), Whole(top, WM_CAPTURECHANGED, 0, 0));

  // Capture and focus end with their window.
  SetCapture(child);
  SetFocus(child);
  DestroyWindow(child);
  EXPECT_EQ(std::tuple(GetCapture(), GetFocus()), std::tuple(nullptr, nullptr));
  Move(130, 140);
  EXPECT_EQ(Messages(WM_MOUSEMOVE, WM_MOUSEMOVE).back().hwnd, top);
}

TEST_F(MouseTest, TwoQuickPressesMakeADoubleClickOnlyForDoubleClickClasses) {
  DWORD time = 1000;
  for (DWORD flags : {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP,
                      MOUSEEVENTF_LEFTDOWN})  // the third press starts over
    MouseAt(flags, 130, 140, time += 10);
  EXPECT_EQ(Buttons(), (UintList{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP, WM_LBUTTONDOWN}));

  HWND plain = MakeTop(kPlainClass, 400, 100, 100, 100);
  for (DWORD flags : {MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP})
    MouseAt(flags, 450, 150, 2000);
  EXPECT_EQ(Buttons(plain), (UintList{WM_RBUTTONDOWN, WM_RBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP}));
}

TEST_F(MouseTest, SecondPressesTooLateTooFarOrOfAnotherKindAreSinglePresses) {
  const DWORD limit = GetDoubleClickTime();
  EXPECT_EQ(limit, 500u);
  struct Case {
    int dx;
    DWORD gap;
    DWORD secondFlags;
    UINT secondMessage;
  } cases[] = {
      {0, limit, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},        // too late
      {5, 10, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},           // too far
      {3, 10, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},           // just outside the 4 x 4 box
      {2, limit - 1, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDBLCLK},  // just inside both
      {0, 10, MOUSEEVENTF_RIGHTDOWN, WM_RBUTTONDOWN},          // another button
      {-2, 10, MOUSEEVENTF_LEFTDOWN, WM_LBUTTONDOWN},          // another window (the top-level)
  };
  DWORD start = 10000;
  for (const Case& c : cases) {
    ClearMessages();
    MouseAt(MOUSEEVENTF_LEFTDOWN, 121, 131, start);
    MouseAt(c.secondFlags, 121 + c.dx, 131, start + c.gap);
    EXPECT_EQ(Buttons(), (UintList{WM_LBUTTONDOWN, c.secondMessage})) << c.dx << " " << c.gap;
    start += 10000;
  }
}

TEST_F(MouseTest, ExtraButtonsCarryTheirNumberInTheHighWord) {
  MouseAt(MOUSEEVENTF_XDOWN, 130, 140, 1000, XBUTTON2);
  MouseAt(MOUSEEVENTF_XUP, 130, 140, 1010, XBUTTON2);
  MouseAt(MOUSEEVENTF_XDOWN, 130, 140, 1020, XBUTTON1);  // X1 pairs with X1 only
  MouseAt(MOUSEEVENTF_XDOWN, 130, 140, 1030, XBUTTON1);
  auto x = Messages(WM_XBUTTONDOWN, WM_XBUTTONDBLCLK);
  ASSERT_EQ(x.size(), 4u);
  EXPECT_EQ(std::tuple(x[0].wParam, x[1].message, x[1].wParam, x[2].message, x[3].message, x[3].wParam),
            std::tuple(MAKEWPARAM(MK_XBUTTON2, XBUTTON2), UINT{WM_XBUTTONUP}, MAKEWPARAM(0, XBUTTON2),
                       UINT{WM_XBUTTONDOWN}, UINT{WM_XBUTTONDBLCLK}, MAKEWPARAM(MK_XBUTTON1, XBUTTON1)));
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
  Press(WM_MBUTTONDOWN, 130, 140, MK_CONTROL);  // given with the event: for that event only
  Move(142, 150);
  std::vector<WPARAM> flags;
  for (const Received& r : Messages(WM_MOUSEFIRST, WM_MOUSELAST)) flags.push_back(r.wParam);
  const WPARAM l = MK_LBUTTON, r = MK_RBUTTON, s = MK_SHIFT;
  EXPECT_EQ(flags,
            (std::vector<WPARAM>{l | s, l | s, l | r | s, l | r | s, r, r, 0, MK_MBUTTON | MK_CONTROL, MK_MBUTTON}));
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
  EXPECT_EQ(Whole(wheel[0]), Whole(child, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), MAKELPARAM(130, 140)));
}

TEST_F(MouseTest, APressAsksForActivationAndTheCursorBeforeItArrives) {
  SetActiveWindow(nullptr);
  SetFocus(nullptr);
  ClearMessages();
  Press(WM_LBUTTONDOWN, 130, 140);
  // The parent hears of the press; the child is asked to activate (and asks its parent through
  // the default procedure), then for the cursor (likewise); the press arrives last.
  EXPECT_EQ(Ids(), (UintList{WM_PARENTNOTIFY, WM_MOUSEACTIVATE, WM_MOUSEACTIVATE, WM_ACTIVATE, WM_SETFOCUS,
                             WM_SETCURSOR, WM_SETCURSOR, WM_LBUTTONDOWN}));
  auto m = Messages();
  EXPECT_EQ(m[0].lParam, MAKELPARAM(30, 40));
  EXPECT_EQ(Whole(m[1]),
            Whole(child, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(top), MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));
  EXPECT_EQ(std::tuple(GetActiveWindow(), GetFocus()), std::tuple(top, top));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_CROSS));  // the class cursor

  // A window may swallow the press that activates it.
  ClearMessages();
  Behaviour().mouseActivate = MA_NOACTIVATEANDEAT;
  Press(WM_RBUTTONDOWN, 130, 140);
  Press(WM_RBUTTONUP, 130, 140);
  EXPECT_EQ(Buttons(), (UintList{WM_RBUTTONUP}));
}

TEST_F(MouseTest, GetKeyStateFollowsTheMessagesRetrievedNotTheInjection) {
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, 130, 140, 0));
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONUP, 130, 140, 0));
  EXPECT_EQ(GetAsyncKeyState(VK_LBUTTON), 1);  // up, toggled once
  Pump();
  auto buttons = Messages(WM_LBUTTONDOWN, WM_LBUTTONUP);
  ASSERT_EQ(buttons.size(), 2u);
  EXPECT_LT(buttons[0].leftButton, 0);  // down while the press is handled
  EXPECT_EQ(buttons[1].leftButton, 1);
}

}  // namespace
}  // namespace kelmira::test

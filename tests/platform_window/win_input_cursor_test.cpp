// The cursor: position, confinement, the display counter, shapes, and SendInput's coordinates.
#include "win_input_fixture.h"

namespace kelmira::test {
namespace {

using CursorTest = InputTest;

POINT CursorNow() {
  POINT p{-1, -1};
  EXPECT_TRUE(GetCursorPos(&p));
  return p;
}

void MoveBy(LONG dx, LONG dy) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.dwFlags = MOUSEEVENTF_MOVE;
  ASSERT_EQ(SendInput(1, &in, sizeof(in)), 1u);
}

TEST_F(CursorTest, ClipCursorKeepsTheCursorInsideUntilFreed) {
  RECT screen{};
  ASSERT_TRUE(GetClipCursor(&screen));
  EXPECT_EQ(screen.right, GetSystemMetrics(SM_CXSCREEN));
  EXPECT_EQ(screen.bottom, GetSystemMetrics(SM_CYSCREEN));

  SetCursorPos(50, 50);
  RECT box{100, 100, 200, 150};
  ASSERT_TRUE(ClipCursor(&box));
  EXPECT_EQ(CursorNow().x, 100);  // pulled in at once
  EXPECT_EQ(CursorNow().y, 100);
  RECT got{};
  ASSERT_TRUE(GetClipCursor(&got));
  EXPECT_TRUE(EqualRect(&got, &box));

  SetCursorPos(500, 500);
  EXPECT_EQ(CursorNow().x, 199);
  EXPECT_EQ(CursorNow().y, 149);
  MoveBy(-1000, 10);
  EXPECT_EQ(CursorNow().x, 100);
  EXPECT_EQ(CursorNow().y, 149);
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, 10, 10, 0));
  EXPECT_EQ(CursorNow().x, 100);
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONUP, 10, 10, 0));

  RECT inverted{200, 100, 100, 150};
  EXPECT_FALSE(ClipCursor(&inverted));
  ASSERT_TRUE(ClipCursor(nullptr));
  SetCursorPos(500, 500);
  EXPECT_EQ(CursorNow().x, 500);
  // The screen's edge is a confinement of its own.
  SetCursorPos(-5, 100000);
  EXPECT_EQ(CursorNow().x, 0);
  EXPECT_EQ(CursorNow().y, screen.bottom - 1);
}

TEST_F(CursorTest, ShowCursorCountsAndReturnsTheNewCount) {
  EXPECT_EQ(ShowCursor(FALSE), -1);
  EXPECT_EQ(ShowCursor(FALSE), -2);
  EXPECT_EQ(ShowCursor(TRUE), -1);
  EXPECT_EQ(ShowCursor(TRUE), 0);
  EXPECT_EQ(ShowCursor(TRUE), 1);
}

TEST_F(CursorTest, SystemCursorsAreSharedHandles) {
  HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  ASSERT_NE(arrow, nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), arrow);
  for (LPCSTR id : {IDC_CROSS, IDC_IBEAM, IDC_WAIT, IDC_SIZEALL, IDC_HAND}) {
    HCURSOR c = LoadCursorA(nullptr, id);
    EXPECT_NE(c, nullptr);
    EXPECT_NE(c, arrow);
  }
  EXPECT_EQ(LoadCursorA(nullptr, MAKEINTRESOURCEA(1)), nullptr);
  EXPECT_EQ(LoadCursorA(nullptr, "arrow"), nullptr);
  EXPECT_EQ(LoadCursorA(reinterpret_cast<HINSTANCE>(1), IDC_ARROW), nullptr);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);

  EXPECT_EQ(GetCursor(), arrow);
  HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
  EXPECT_EQ(SetCursor(cross), arrow);
  EXPECT_EQ(GetCursor(), cross);
  EXPECT_EQ(SetCursor(nullptr), cross);
  EXPECT_EQ(GetCursor(), nullptr);
  EXPECT_EQ(SetCursor(reinterpret_cast<HCURSOR>(7)), nullptr);  // not a cursor: nothing changes
  EXPECT_EQ(GetCursor(), nullptr);
}

TEST_F(CursorTest, SetCursorPosMovesTheMouseOverWindows) {
  HWND top = MakeTop(kPlainClass, 100, 100, 100, 100);
  SetCursorPos(150, 160);
  SetCursorPos(150, 160);  // no motion, no message
  Pump();
  auto moves = Messages(WM_MOUSEMOVE, WM_MOUSEMOVE, top);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(X(moves[0].lParam), 50);
  EXPECT_EQ(Y(moves[0].lParam), 60);
  // The default procedure answered WM_SETCURSOR with the class cursor.
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));
}

TEST_F(CursorTest, SendInputTakesNormalisedAbsoluteAndRelativeMoves) {
  int width = GetSystemMetrics(SM_CXSCREEN);
  int height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[2]{};
  in[0].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[0].mi.dx = 65535;
  in[0].mi.dy = 0;
  in[1].type = INPUT_MOUSE;
  in[1].mi.dwFlags = MOUSEEVENTF_MOVE;
  in[1].mi.dx = -10;
  in[1].mi.dy = 7;
  ASSERT_EQ(SendInput(2, in, sizeof(INPUT)), 2u);
  EXPECT_EQ(CursorNow().x, width - 11);
  EXPECT_EQ(CursorNow().y, 7);

  for (int p : {0, 1, 333, width / 2, width - 1}) {
    in[0].mi.dx = Normalised(p, width);
    in[0].mi.dy = Normalised(p % height, height);
    ASSERT_EQ(SendInput(1, in, sizeof(INPUT)), 1u);
    EXPECT_EQ(CursorNow().x, p);
    EXPECT_EQ(CursorNow().y, p % height);
  }

  EXPECT_EQ(SendInput(1, in, sizeof(INPUT) - 1), 0u);
  EXPECT_EQ(SendInput(1, nullptr, sizeof(INPUT)), 0u);
  in[1].type = INPUT_HARDWARE;
  EXPECT_EQ(SendInput(2, in, sizeof(INPUT)), 1u);  // stops at the one it cannot take
}

}  // namespace
}  // namespace kelmira::test

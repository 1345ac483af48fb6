// The cursor: position, confinement, the class cursor, and SendInput's coordinates.
#include "win_input_fixture.h"

namespace kelmira::test {
namespace {

using CursorTest = InputTest;

POINT CursorNow() {
  POINT p{-1, -1};
  EXPECT_TRUE(GetCursorPos(&p));
  return p;
}

::testing::AssertionResult CursorAt(LONG x, LONG y) {
  POINT p = CursorNow();
  if (p.x == x && p.y == y) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "cursor at " << p.x << ", " << p.y;
}

UINT SendMouse(DWORD flags, LONG dx, LONG dy) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = dx;
  in.mi.dy = dy;
  in.mi.dwFlags = flags;
  return SendInput(1, &in, sizeof(in));
}

TEST_F(CursorTest, ClipCursorKeepsTheCursorInsideUntilFreed) {
  SetCursorPos(50, 50);
  RECT box{100, 100, 200, 150};
  ASSERT_TRUE(ClipCursor(&box));
  EXPECT_TRUE(CursorAt(100, 100));  // pulled in at once
  SetCursorPos(500, 500);
  EXPECT_TRUE(CursorAt(199, 149));
  ASSERT_EQ(SendMouse(MOUSEEVENTF_MOVE, -1000, 10), 1u);
  EXPECT_TRUE(CursorAt(100, 149));
  ASSERT_TRUE(KelmiraInjectMouse(WM_MOUSEMOVE, 10, 10, 0));
  EXPECT_TRUE(CursorAt(100, 100));

  RECT inverted{200, 100, 100, 150};
  EXPECT_FALSE(ClipCursor(&inverted));
  ASSERT_TRUE(ClipCursor(nullptr));
  SetCursorPos(500, 500);
  EXPECT_TRUE(CursorAt(500, 500));
  SetCursorPos(-5, 100000);  // the screen's edge confines too
  EXPECT_TRUE(CursorAt(0, GetSystemMetrics(SM_CYSCREEN) - 1));
}

TEST_F(CursorTest, SetCursorPosMovesTheMouseOverWindows) {
  HWND top = MakeTop(kPlainClass, 100, 100, 100, 100);
  SetCursorPos(150, 160);
  SetCursorPos(150, 160);  // no motion, no message
  Pump();
  auto moves = Messages(WM_MOUSEMOVE, WM_MOUSEMOVE, top);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].lParam, MAKELPARAM(50, 60));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));  // the class cursor
}

TEST_F(CursorTest, SendInputTakesNormalisedAbsoluteAndRelativeMoves) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  ASSERT_EQ(SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 65535, 0), 1u);
  EXPECT_TRUE(CursorAt(width - 1, 0));
  ASSERT_EQ(SendMouse(MOUSEEVENTF_MOVE, -10, 7), 1u);
  EXPECT_TRUE(CursorAt(width - 11, 7));
  for (int p : {0, 1, 333, height - 1}) {
    ASSERT_EQ(SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, Normalised(p, width), Normalised(p, height)), 1u);
    EXPECT_TRUE(CursorAt(p, p));
  }

  INPUT in[2]{};
  in[0].type = INPUT_MOUSE;
  in[1].type = INPUT_HARDWARE;
  EXPECT_EQ(SendInput(2, in, sizeof(INPUT)), 1u);  // stops at the one it cannot take
  EXPECT_EQ(SendInput(1, in, sizeof(INPUT) - 1), 0u);
  EXPECT_EQ(SendInput(1, nullptr, sizeof(INPUT)), 0u);
}

}  // namespace
}  // namespace kelmira::test

// The cursor: position, confinement, the class cursor, and SendInput's coordinates.
#include "support/injected_input.h"
#include "support/pump.h"
#include "support/recording_window.h"

namespace kelmira::test {
namespace {

using Cursor = WindowTest;

std::pair<int, int> CursorNow() {
  POINT p{-1, -1};
  EXPECT_TRUE(GetCursorPos(&p));
  return {p.x, p.y};
}

TEST_F(Cursor, ClipCursorKeepsTheCursorInsideUntilFreed) {
  SetCursorPos(50, 50);
  RECT box{100, 100, 200, 150};
  ASSERT_TRUE(ClipCursor(&box));
  EXPECT_EQ(CursorNow(), std::pair(100, 100));  // pulled in at once
  SetCursorPos(500, 500);
  EXPECT_EQ(CursorNow(), std::pair(199, 149));
  Mouse(MOUSEEVENTF_MOVE, -1000, 10);
  EXPECT_EQ(CursorNow(), std::pair(100, 149));
  Move(10, 10);
  EXPECT_EQ(CursorNow(), std::pair(100, 100));

  RECT inverted{200, 100, 100, 150};
  EXPECT_FALSE(ClipCursor(&inverted));
  ASSERT_TRUE(ClipCursor(nullptr));
  SetCursorPos(500, 500);
  EXPECT_EQ(CursorNow(), std::pair(500, 500));
  SetCursorPos(-5, 100000);  // the screen's edge confines too
  EXPECT_EQ(CursorNow(), std::pair(0, GetSystemMetrics(SM_CYSCREEN) - 1));
}

TEST_F(Cursor, SetCursorPosMovesTheMouseOverWindows) {
  HWND top = Top(100, 100, 100, 100, WS_POPUP | WS_VISIBLE, kBare);
  Pump();
  SetCursorPos(150, 160);
  SetCursorPos(150, 160);  // no motion, no message
  Pump();
  std::vector<Sent> moves = Log({WM_MOUSEMOVE}, top);
  ASSERT_EQ(moves.size(), 1u);
  EXPECT_EQ(moves[0].lParam, MAKELPARAM(50, 60));
  EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, IDC_IBEAM));  // the class cursor
}

TEST_F(Cursor, SendInputTakesNormalisedAbsoluteAndRelativeMoves) {
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in[2]{};
  in[0].type = INPUT_MOUSE, in[1].type = INPUT_HARDWARE;
  in[0].mi.dx = 65535, in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  ASSERT_EQ(SendInput(1, in, sizeof(INPUT)), 1u);
  EXPECT_EQ(CursorNow(), std::pair(width - 1, 0));
  Mouse(MOUSEEVENTF_MOVE, -10, 7);
  EXPECT_EQ(CursorNow(), std::pair(width - 11, 7));
  for (int p : {0, 1, 333, height - 1}) {
    Mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, p, p);
    EXPECT_EQ(CursorNow(), std::pair(p, p));
  }
  EXPECT_EQ(SendInput(2, in, sizeof(INPUT)), 1u);  // stops at the one it cannot take
  EXPECT_EQ(SendInput(1, in, sizeof(INPUT) - 1), 0u);
  EXPECT_EQ(SendInput(1, nullptr, sizeof(INPUT)), 0u);
}

}  // namespace
}  // namespace kelmira::test

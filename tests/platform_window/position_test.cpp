// Positions and sizes, visibility, the enabled state, the tree and coordinate mapping.
#include "support/canvas.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include <climits>

namespace kelmira::test {
namespace {

using Position = WindowTest;

TEST_F(Position, MoveWindowSendsPositionMessagesWithTheNewClientSize) {
  HWND top = Top(0, 0, 200, 200), child = Child(top, 1, 10, 10, 50, 40);
  Clear();
  ASSERT_TRUE(MoveWindow(child, 20, 30, 80, 60, TRUE));
  EXPECT_EQ(Ids(Log({}, child)), (std::vector<UINT>{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}));
  EXPECT_EQ(Log().back().lParam, MAKELPARAM(80, 60));
  EXPECT_EQ(Screen(child), (Edges{20, 30, 100, 90}));  // the parent is at the screen origin

  Clear();
  SetWindowPos(child, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetWindowPos(child, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_EQ(Pairs(Log({WM_MOVE, WM_SIZE})), (Sequence{{child, WM_MOVE}, {child, WM_SIZE}}));
  EXPECT_EQ(Screen(child), (Edges{5, 5, 15, 15}));
  MoveWindow(child, 0, 0, -5, -5, FALSE);  // negative sizes become empty
  EXPECT_EQ(Client(child), (Edges{0, 0, 0, 0}));

  // WM_WINDOWPOSCHANGING may alter the position.
  On(WM_WINDOWPOSCHANGING, [](HWND, WPARAM, LPARAM lp) { reinterpret_cast<WINDOWPOS*>(lp)->cx = 77; });
  MoveWindow(top, 0, 0, 150, 150, TRUE);
  EXPECT_EQ(Client(top)[2], 77);
}

// The axis layout guard: a window that adjusts its own size from WM_SIZE gets the nested WM_SIZE
// while the outer handler is still running, and the outer one then sees the final size.
TEST_F(Position, MoveInsideWmSizeNestsASecondWmSize) {
  HWND child = Child(Top(0, 0, 300, 300), 1, 0, 0, 50, 50);
  int depth = 0;
  std::vector<std::pair<int, int>> sizes;  // (depth, width)
  LONG afterNested = 0;
  On(WM_SIZE, [&](HWND, WPARAM, LPARAM lp) {
    sizes.emplace_back(++depth, LOWORD(lp));
    if (depth == 1 && LOWORD(lp) != 120) MoveWindow(child, 0, 0, 120, 40, TRUE), afterNested = Client(child)[2];
    --depth;
  });
  MoveWindow(child, 0, 0, 90, 40, TRUE);
  EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{1, 90}, {2, 120}}));
  EXPECT_EQ(afterNested, 120);
}

TEST_F(Position, VisibilityFollowsAncestorsAndStateChangesAreAnnouncedOnce) {
  HWND top = Top(0, 0, 100, 100, WS_OVERLAPPED), child = Child(top, 1, 0, 0, 10, 10);
  EXPECT_FALSE(IsWindowVisible(child));  // WS_VISIBLE, but the parent is hidden
  Clear();
  ShowWindow(top, SW_SHOWNORMAL);
  EXPECT_TRUE(IsWindowVisible(child));
  ShowWindow(top, SW_SHOWNA);  // already visible: no message
  EXPECT_FALSE(ShowWindow(top, 99));
  EnableWindow(top, FALSE);
  EnableWindow(top, FALSE);  // already disabled: no message
  EnableWindow(top, TRUE);
  EXPECT_EQ(Log({WM_SHOWWINDOW, WM_ENABLE}),
            (std::vector<Sent>{{top, WM_SHOWWINDOW, TRUE, 0}, {top, WM_ENABLE, FALSE, 0}, {top, WM_ENABLE, TRUE, 0}}));
}

TEST_F(Position, TreeNavigationAndZOrder) {
  HWND top = Top(0, 0, 100, 100), a = Child(top, 1, 0, 0, 10, 10), b = Child(top, 2, 0, 0, 10, 10);
  HWND c = Child(top, 3, 0, 0, 10, 10), grand = Child(b, 4, 0, 0, 5, 5);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);  // creation order
  EXPECT_EQ(std::pair(IsChild(top, grand), IsChild(a, grand)), std::pair(TRUE, FALSE));
  SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);
  SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(a, GW_HWNDLAST), c);
  SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // right below a
  std::vector<HWND> seen;
  auto collect = [](HWND h, LPARAM p) { return reinterpret_cast<std::vector<HWND>*>(p)->push_back(h), TRUE; };
  EnumChildWindows(top, collect, reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{a, c, b, grand}));

  HWND other = Top(300, 300, 50, 50);
  SetParent(b, other);
  EXPECT_EQ(GetAncestor(grand, GA_ROOT), other);
  EXPECT_EQ(SetParent(other, grand), nullptr);  // into its own subtree: refused
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST_F(Position, CoordinateMapping) {
  HWND top = Top(100, 200, 400, 300), child = Child(top, 1, 10, 20, 200, 100), grand = Child(child, 2, 5, 6, 50, 50);
  POINT p{1, 2}, q{1, 2};
  ClientToScreen(grand, &p);
  ClientToScreen(grand, &q);
  ScreenToClient(child, &q);
  EXPECT_EQ(std::tuple(p.x, p.y, q.x, q.y), std::tuple(116, 228, 6, 8));
  POINT pts[2] = {{0, 0}, {3, 4}};
  EXPECT_EQ(MapWindowPoints(grand, top, pts, 2), MAKELONG(15, 26));
  EXPECT_EQ(std::pair(pts[1].x, pts[1].y), std::pair(18, 30));
  RECT r{0, 0, 10, 10};
  MapWindowPoints(grand, nullptr, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(E(r), (Edges{115, 226, 125, 236}));

  EXPECT_EQ(std::tuple(WindowFromPoint(POINT{120, 230}), ChildWindowFromPoint(top, POINT{16, 27}),
                       ChildWindowFromPoint(top, POINT{300, 250}), ChildWindowFromPoint(top, POINT{-1, 0}),
                       WindowFromPoint(POINT{5000, 5000})),
            std::tuple(grand, child, top, HWND{}, HWND{}));
}

TEST_F(Position, ExtremeGeometryIsClampedAndDrawsSafely) {
  HWND top = Top(0, 0, 10, 10), child = Child(top, 1, 0, 0, 5, 5);
  MoveWindow(child, INT_MAX, INT_MIN + 1, INT_MAX, INT_MAX, TRUE);
  EXPECT_EQ(Screen(child), (Edges{1000000, -1000000, 2000000, 0}));
  MoveWindow(top, 0, 0, 50000, 10, TRUE);  // wider than a backing surface may be
  Pump();
  Fill(top, RECT{0, 0, 50000, 10}, kBlack);
  EXPECT_EQ(WindowPixel(top, 16383, 9), kBlack);
  COLORREF c;
  EXPECT_EQ(KelmiraGetWindowPixel(top, 20000, 0, &c), E_INVALIDARG);
  MoveWindow(top, 0, 0, 10, 10, TRUE);
  EXPECT_EQ(WindowPixel(top, 9, 9), kBlack);
}

}  // namespace
}  // namespace kelmira::test

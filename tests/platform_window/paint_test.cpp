// The paint cycle and window device contexts.
#include "support/canvas.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include <cstdio>

namespace kelmira::test {
namespace {

constexpr COLORREF kBack = kClassBackground;
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr RECT kHuge{-50, -50, 500, 500};

struct PaintRecord {
  Edges clipBox, rcPaint;
  bool fErase;
  bool operator==(const PaintRecord&) const = default;
};

// Records every WM_PAINT and fills `filled` red.
Answer RecordPaints(std::vector<PaintRecord>& paints, HWND filled = nullptr) {
  return [&paints, filled](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_PAINT) return std::nullopt;
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(h, &ps);
    RECT box;
    GetClipBox(hdc, &box);
    paints.push_back({E(box), E(ps.rcPaint), ps.fErase != FALSE});
    HBRUSH brush = CreateSolidBrush(kRed);
    if (h == filled) FillRect(hdc, &kHuge, brush);
    DeleteObject(brush);
    EndPaint(h, &ps);
    return 0;
  };
}

using Paint = WindowTest;

TEST_F(Paint, InvalidationErasePaintAndUpdateRectangles) {
  HWND w = Top(0, 0, 100, 80);
  Pump();
  Fill(w, RECT{0, 0, 100, 80}, kRed);
  std::vector<PaintRecord> paints;
  Handle(RecordPaints(paints));
  Clear();
  RECT r{10, 20, 30, 40};
  InvalidateRect(w, &r, TRUE);
  Pump();
  EXPECT_EQ(Ids(Log()), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  EXPECT_EQ(paints, (std::vector<PaintRecord>{{E(r), E(r), false}}));  // DefWindowProcA erased with the class brush
  // The erase drew exactly the update rectangle.
  EXPECT_EQ(std::tuple(WindowPixel(w, 10, 20), WindowPixel(w, 29, 39), WindowPixel(w, 30, 39), WindowPixel(w, 9, 20)),
            std::tuple(kBack, kBack, kRed, kRed));
  EXPECT_EQ(Pump(), 0);  // nothing more

  // Two invalidations without erase coalesce into one paint over their union.
  paints.clear();
  Clear();
  RECT a{10, 10, 20, 20}, b{50, 30, 60, 70};
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, FALSE);
  Pump();
  EXPECT_EQ(
      std::pair(Ids(Log()), paints),
      std::pair(std::vector<UINT>{WM_PAINT}, std::vector<PaintRecord>{{{10, 10, 60, 70}, {10, 10, 60, 70}, false}}));

  // Without a class brush the erase is left to the paint; unhandled, the paint validates.
  HWND bare = Top(0, 0, 50, 50, WS_OVERLAPPED | WS_VISIBLE, kBare);
  paints.clear();
  Pump();
  EXPECT_EQ(paints, (std::vector<PaintRecord>{{{0, 0, 50, 50}, {0, 0, 50, 50}, true}}));
  Handle(nullptr);
  InvalidateRect(w, nullptr, TRUE);
  Clear();
  // Erased through DefWindowProcA's BeginPaint.
  EXPECT_EQ((std::tuple{Pump(), Count(w, WM_ERASEBKGND), Update(bare) || Update(w)}), std::tuple(1, 1, false));

  // WM_PAINT waits for posted messages, and stays until the window is validated, PM_REMOVE or not.
  Clear();
  InvalidateRect(w, nullptr, FALSE);
  PostMessageA(w, WM_USER, 1, 0);
  PostMessageA(w, WM_USER, 2, 0);
  Pump();
  EXPECT_EQ(Ids(Log({WM_USER, WM_PAINT})), (std::vector<UINT>{WM_USER, WM_USER, WM_PAINT}));
  MSG m;
  InvalidateRect(w, nullptr, FALSE);
  EXPECT_EQ((std::tuple{PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE),
                        m.message, ValidateRect(w, nullptr), PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)}),
            std::tuple(true, UINT{WM_PAINT}, TRUE, FALSE));

  // ValidateRect shrinks the update rectangle; a resize invalidates what appeared, or everything
  // for a class with CS_HREDRAW | CS_VREDRAW.
  HWND redraw = Top(0, 0, 50, 50, WS_OVERLAPPED | WS_VISIBLE, kRedrawing);
  Pump();
  RECT half{0, 0, 100, 50}, left{0, 0, 30, 50}, middle{40, 0, 50, 50};
  InvalidateRect(w, &half, FALSE);
  // Validating the middle would leave two pieces: the bounding box stays.
  const auto validate = [w](const RECT* piece) { return ValidateRect(w, piece), Update(w); };
  EXPECT_EQ((std::vector{validate(&left), validate(&middle), validate(nullptr)}),
            (std::vector<std::optional<Edges>>{Edges{30, 0, 100, 50}, Edges{30, 0, 100, 50}, std::nullopt}));
  MoveWindow(w, 0, 0, 130, 80, TRUE);
  MoveWindow(redraw, 0, 0, 80, 50, TRUE);
  // Only what appeared, or everything.
  EXPECT_EQ((std::vector{Update(w), Update(redraw)}),
            (std::vector<std::optional<Edges>>{Edges{100, 0, 130, 80}, Edges{0, 0, 80, 50}}));
  Pump();
  MoveWindow(w, 0, 0, 200, 200, FALSE);
  EXPECT_FALSE(Update(w));  // no repaint asked
}

TEST_F(Paint, HiddenWindowsAreNotPaintedUntilShownAndDrawNothing) {
  HWND w = Top(0, 0, 50, 50, WS_OVERLAPPED), shownChildOfHidden = Child(w, 1, 0, 0, 10, 10);
  InvalidateRect(w, nullptr, TRUE);
  InvalidateRect(shownChildOfHidden, nullptr, TRUE);
  Clear();
  HDC hdc = GetDC(w);
  RECT box;
  EXPECT_EQ((std::tuple{Pump(), UpdateWindow(w), Log().size(), GetClipBox(hdc, &box), ReleaseDC(w, hdc)}),
            std::tuple(0, TRUE, 0u, NULLREGION, 1));
  Fill(w, RECT{0, 0, 50, 50}, kRed);
  EXPECT_NE(WindowPixel(w, 5, 5), kRed);
  ShowWindow(w, SW_SHOW);
  Clear();
  Pump();
  EXPECT_EQ(Pairs(Log({WM_PAINT})), (Sequence{{w, WM_PAINT}, {shownChildOfHidden, WM_PAINT}}));  // parents first
}

TEST_F(Paint, RedrawWindowAndChildMoves) {
  HWND w = Top(0, 0, 100, 100), child = Child(w, 1, 10, 10, 20, 20);
  Pump();
  const auto redraw = [w](UINT flags) {
    Clear();
    RedrawWindow(w, nullptr, nullptr, flags);
    return Pairs(Log({WM_PAINT, WM_ERASEBKGND}));
  };
  // The child was painted over by its parent: drawn again. Erasing now leaves the paint for later.
  EXPECT_EQ((std::vector{redraw(RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW),
                         redraw(RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN),
                         redraw(RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW)}),
            (std::vector<Sequence>{{{w, WM_PAINT}, {w, WM_ERASEBKGND}, {child, WM_PAINT}, {child, WM_ERASEBKGND}},
                                   {{w, WM_PAINT}},
                                   {{w, WM_ERASEBKGND}, {child, WM_ERASEBKGND}}}));
  EXPECT_TRUE(Update(w));
  RedrawWindow(w, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
  EXPECT_FALSE(Update(w) || Update(child));
  EXPECT_FALSE(RedrawWindow(w, nullptr, reinterpret_cast<HRGN>(static_cast<std::intptr_t>(1)), RDW_INVALIDATE));

  // Painting follows the child across moves (the parent repaints the old place); a growing
  // top-level window's backing surface keeps the picture.
  std::vector<PaintRecord> paints;
  Handle(RecordPaints(paints, child));
  MoveWindow(child, 50, 50, 20, 20, TRUE);
  Pump();
  EXPECT_EQ(std::tuple(WindowPixel(w, 15, 15), WindowPixel(w, 55, 55)), std::tuple(kBack, kRed));
  MoveWindow(w, 0, 0, 300, 200, TRUE);
  EXPECT_EQ(WindowPixel(w, 55, 55), kRed);
  Pump();
  EXPECT_EQ(std::tuple(WindowPixel(w, 299, 199), WindowPixel(w, 55, 55)), std::tuple(kBack, kRed));
}

TEST_F(Paint, ChildDrawsAtItsOffsetAndOnlyInsideItself) {
  HWND top = Top(0, 0, 100, 100), child = Child(top, 1, 30, 40, 20, 10);
  Pump();
  Fill(child, kHuge, kRed);
  HDC hdc = GetDC(child);
  SetPixel(hdc, 0, 0, kGreen);
  EXPECT_EQ((std::pair{ReleaseDC(child, hdc), ReleaseDC(child, hdc)}), std::pair(1, 0));
  // A grandchild sticking out of its parent is clipped to the parent.
  HWND grand = Child(child, 2, 15, 5, 30, 30);
  Fill(grand, kHuge, kYellow);
  PixelSet inChild;
  for (int y = 40; y < 50; ++y)
    for (int x = 30; x < 50; ++x) inChild.insert({x, y});
  EXPECT_EQ(WindowPainted(top, kBack), inChild);
  EXPECT_EQ(std::tuple(WindowPixel(top, 30, 40), WindowPixel(top, 44, 49), WindowPixel(top, 45, 45),
                       WindowPixel(top, 49, 49), WindowPixel(child, 14, 9)),
            std::tuple(kGreen, kRed, kYellow, kYellow, kRed));

  // A destroyed window's DC draws nothing.
  hdc = GetDC(grand);
  DestroyWindow(child);
  EXPECT_NE(SetPixel(hdc, 1, 1, kRed), kRed);
  EXPECT_EQ(ReleaseDC(nullptr, hdc), 1);
  EXPECT_EQ(WindowPixel(top, 46, 46), kYellow);
}

// WS_CLIPCHILDREN and WS_CLIPSIBLINGS protect the windows they name.
TEST_F(Paint, ClipChildrenAndClipSiblingsProtectTheirWindows) {
  HWND top = Top(0, 0, 100, 100, WS_OVERLAPPED | WS_VISIBLE | WS_CLIPCHILDREN), child = Child(top, 1, 10, 10, 20, 20);
  HWND other = Top(0, 0, 100, 100), upper = Child(other, 1, 0, 0, 50, 50);
  HWND lower = Child(other, 2, 25, 25, 50, 50, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  Pump();
  Fill(child, RECT{5, 5, 6, 6}, kGreen);
  Fill(top, RECT{0, 0, 100, 100}, kRed);
  Fill(lower, RECT{0, 0, 50, 50}, kRed);
  EXPECT_EQ(std::tuple(WindowPixel(top, 5, 5), WindowPixel(child, 5, 5), WindowPixel(child, 0, 0),
                       WindowPixel(upper, 30, 30), WindowPixel(lower, 30, 30)),
            std::tuple(kRed, kGreen, kBack, kBack, kRed));
  // Without the style the parent paints over its child.
  SetWindowLongPtrA(top, GWL_STYLE, WS_OVERLAPPED | WS_VISIBLE);
  Fill(top, RECT{0, 0, 100, 100}, kRed);
  EXPECT_EQ(WindowPixel(child, 5, 5), kRed);
}

// The picture of a child window alone, at its size.
TEST_F(Paint, PngOfAWindow) {
  HWND child = Child(Top(0, 0, 40, 30), 1, 10, 10, 8, 6);
  Pump();
  Fill(child, RECT{0, 0, 8, 6}, kRed);
  std::string path = ::testing::TempDir() + "paint_test_child.png";
  ASSERT_EQ(KelmiraSaveWindowPng(child, path.c_str()), S_OK);
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(KelmiraLoadPng(path.c_str(), &bitmap), S_OK);
  std::remove(path.c_str());
  Canvas view(1, 1);
  Selected picture(view.dc(), bitmap);
  EXPECT_EQ(std::tuple(view.At(7, 5), view.At(8, 5), view.At(7, 6)), std::tuple(kRed, CLR_INVALID, CLR_INVALID));
  COLORREF c;
  EXPECT_EQ(std::pair(KelmiraGetWindowPixel(child, 8, 0, &c), KelmiraSaveWindowPng(child, nullptr)),
            std::pair(E_INVALIDARG, E_INVALIDARG));
}

}  // namespace
}  // namespace kelmira::test

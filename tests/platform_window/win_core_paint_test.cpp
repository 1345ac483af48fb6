// The paint cycle and window device contexts.
#include "win_core_support.h"

namespace wincore {
namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr RECT kHuge{-50, -50, 500, 500};

class Paint : public WindowTest {
 protected:
  // Records the clip box of every WM_PAINT and, when `fill` is set, fills the client area of
  // `filled` with that colour.
  void RecordPaints(COLORREF fill = CLR_INVALID, HWND filled = nullptr) {
    Rec().handler = [this, fill, filled](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg != WM_PAINT) return std::nullopt;
      PAINTSTRUCT ps;
      HDC hdc = BeginPaint(h, &ps);
      RECT box;
      GetClipBox(hdc, &box);
      paints_.push_back({box, ps.rcPaint, ps.fErase != FALSE});
      if (fill != CLR_INVALID && h == filled) {
        HBRUSH brush = CreateSolidBrush(fill);
        RECT client = ClientRect(h);
        FillRect(hdc, &client, brush);
        DeleteObject(brush);
      }
      EndPaint(h, &ps);
      return 0;
    };
  }
  struct PaintRecord {
    RECT clipBox;
    RECT rcPaint;
    bool fErase;
  };
  std::vector<PaintRecord> paints_;
};

TEST_F(Paint, OneInvalidationGivesOneEraseAndOnePaintWithTheRightClipBox) {
  HWND w = Top(0, 0, 100, 80);
  Pump();
  Fill(w, RECT{0, 0, 100, 80}, kRed);
  RecordPaints();
  Clear();
  RECT r{10, 20, 30, 40};
  InvalidateRect(w, &r, TRUE);
  Pump();
  EXPECT_EQ(Rec().MessagesFor(w), (std::vector<UINT>{WM_PAINT, WM_ERASEBKGND}));
  ASSERT_EQ(paints_.size(), 1u);
  EXPECT_EQ(V(paints_[0].clipBox), V(r));
  EXPECT_FALSE(paints_[0].fErase);  // DefWindowProcA erased with the class brush
  EXPECT_FALSE(UpdateRect(w));
  // The erase drew exactly the update rectangle.
  for (auto [x, y, colour] : {std::tuple{10, 20, kBackground}, {29, 39, kBackground}, {30, 39, kRed}, {9, 20, kRed}})
    EXPECT_EQ(Pixel(w, x, y), colour) << x << "," << y;
  EXPECT_EQ(Pump(), 0);  // nothing more

  // Two invalidations without erase coalesce into one paint over their union.
  paints_.clear();
  Clear();
  RECT a{10, 10, 20, 20}, b{50, 30, 60, 70};
  InvalidateRect(w, &a, FALSE);
  InvalidateRect(w, &b, FALSE);
  Pump();
  EXPECT_EQ(Rec().MessagesFor(w), (std::vector<UINT>{WM_PAINT}));
  ASSERT_EQ(paints_.size(), 1u);
  EXPECT_EQ(V(paints_[0].clipBox), V(10, 10, 60, 70));
}

TEST_F(Paint, EraseNotHandledLeavesFEraseSetAndUnhandledPaintIsValidated) {
  HWND bare = Top(0, 0, 50, 50, WS_OVERLAPPED | WS_VISIBLE, "WinCoreBare");
  HWND plain = Top(0, 0, 50, 50);
  Pump();
  InvalidateRect(plain, nullptr, TRUE);
  Clear();
  EXPECT_EQ(Pump(), 1);
  EXPECT_EQ(Rec().Count(plain, WM_ERASEBKGND), 1);  // through DefWindowProcA's BeginPaint
  RecordPaints();
  InvalidateRect(bare, nullptr, TRUE);
  Pump();
  ASSERT_EQ(paints_.size(), 1u);
  EXPECT_TRUE(paints_[0].fErase);
  EXPECT_EQ(V(paints_[0].rcPaint), V(0, 0, 50, 50));
}

TEST_F(Paint, HiddenWindowsAreNotPaintedUntilShownAndDrawNothing) {
  HWND w = Top(0, 0, 50, 50, WS_OVERLAPPED);
  HWND shownChildOfHidden = Child(w, 1, 0, 0, 10, 10);
  InvalidateRect(w, nullptr, TRUE);
  InvalidateRect(shownChildOfHidden, nullptr, TRUE);
  Clear();
  EXPECT_EQ(Pump(), 0);
  UpdateWindow(w);
  EXPECT_TRUE(Rec().events.empty());
  HDC hdc = GetDC(w);
  RECT box;
  EXPECT_EQ(GetClipBox(hdc, &box), NULLREGION);
  ReleaseDC(w, hdc);
  Fill(w, RECT{0, 0, 50, 50}, kRed);
  EXPECT_NE(Pixel(w, 5, 5), kRed);
  ShowWindow(w, SW_SHOW);
  Clear();
  Pump();
  EXPECT_EQ(Rec().Sequence({WM_PAINT}),  // parents first
            (std::vector<std::pair<HWND, UINT>>{{w, WM_PAINT}, {shownChildOfHidden, WM_PAINT}}));
}

TEST_F(Paint, WmPaintWaitsForPostedMessages) {
  HWND w = Top(0, 0, 50, 50);
  Pump();
  InvalidateRect(w, nullptr, FALSE);
  PostMessageA(w, WM_USER, 1, 0);
  PostMessageA(w, WM_USER, 2, 0);
  MSG m;
  std::vector<UINT> order;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(m.message);
    DispatchMessageA(&m);
  }
  EXPECT_EQ(order, (std::vector<UINT>{WM_USER, WM_USER, WM_PAINT}));
  // WM_PAINT stays until the window is validated, PM_REMOVE or not.
  InvalidateRect(w, nullptr, FALSE);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  ValidateRect(w, nullptr);
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Paint, ValidateRectShrinksTheUpdateRectangle) {
  HWND w = Top(0, 0, 100, 100);
  Pump();
  RECT r{0, 0, 100, 50}, left{0, 0, 30, 50}, middle{40, 0, 50, 50};
  InvalidateRect(w, &r, FALSE);
  ValidateRect(w, &left);
  EXPECT_EQ(V(*UpdateRect(w)), V(30, 0, 100, 50));
  ValidateRect(w, &middle);  // would leave two pieces: the bounding box stays
  EXPECT_EQ(V(*UpdateRect(w)), V(30, 0, 100, 50));
  ValidateRect(w, nullptr);
  EXPECT_FALSE(UpdateRect(w));
}

TEST_F(Paint, RedrawWindowUpdateNowPaintsSynchronously) {
  HWND w = Top(0, 0, 100, 100);
  HWND child = Child(w, 1, 10, 10, 20, 20);
  Pump();
  RecordPaints();
  Clear();
  using Seq = std::vector<std::pair<HWND, UINT>>;
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  // The child was painted over by its parent: drawn again.
  EXPECT_EQ(Rec().Sequence({WM_PAINT}), (Seq{{w, WM_PAINT}, {child, WM_PAINT}}));
  Clear();
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOCHILDREN);
  EXPECT_EQ(Rec().Sequence({WM_PAINT}), (Seq{{w, WM_PAINT}}));
  Clear();
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW);
  EXPECT_EQ(Rec().Count(w, WM_ERASEBKGND), 1);
  EXPECT_TRUE(Rec().Sequence({WM_PAINT}).empty());
  EXPECT_TRUE(UpdateRect(w));
  RedrawWindow(w, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
  EXPECT_FALSE(UpdateRect(w));
  EXPECT_FALSE(UpdateRect(child));
  EXPECT_FALSE(RedrawWindow(w, nullptr, reinterpret_cast<HRGN>(static_cast<std::intptr_t>(1)), RDW_INVALIDATE));
}

TEST_F(Paint, ResizeRepaintsAccordingToTheClassStyle) {
  HWND plain = Top(0, 0, 50, 50);
  HWND redraw = Top(0, 0, 50, 50, WS_OVERLAPPED | WS_VISIBLE, "WinCoreRedraw");
  Pump();
  MoveWindow(plain, 0, 0, 80, 50, TRUE);
  MoveWindow(redraw, 0, 0, 80, 50, TRUE);
  EXPECT_EQ(V(*UpdateRect(plain)), V(50, 0, 80, 50));  // only what appeared
  EXPECT_EQ(V(*UpdateRect(redraw)), V(0, 0, 80, 50));
  Pump();
  MoveWindow(plain, 0, 0, 100, 100, FALSE);
  EXPECT_FALSE(UpdateRect(plain));  // no repaint asked
}

TEST_F(Paint, ChildDrawsAtItsOffsetAndOnlyInsideItself) {
  HWND top = Top(0, 0, 100, 100);
  HWND child = Child(top, 1, 30, 40, 20, 10);
  Pump();
  Fill(child, kHuge, kRed);
  HDC hdc = GetDC(child);
  SetPixel(hdc, 0, 0, kGreen);
  EXPECT_EQ(ReleaseDC(child, hdc), 1);
  EXPECT_EQ(ReleaseDC(child, hdc), 0);
  for (auto [x, y, colour] : {std::tuple{30, 40, kGreen},
                              {49, 49, kRed},
                              {50, 49, kBackground},
                              {29, 40, kBackground},
                              {30, 39, kBackground},
                              {30, 50, kBackground}})
    EXPECT_EQ(Pixel(top, x, y), colour) << x << "," << y;
  EXPECT_EQ(Pixel(child, 19, 9), kRed);

  // A grandchild sticking out of its parent is clipped to the parent.
  HWND grand = Child(child, 2, 15, 5, 30, 30);
  Fill(grand, kHuge, kGreen);
  for (auto [x, y, colour] : {std::tuple{45, 45, kGreen}, {50, 45, kBackground}, {45, 50, kBackground}})
    EXPECT_EQ(Pixel(top, x, y), colour) << x << "," << y;

  // A destroyed window's DC draws nothing.
  hdc = GetDC(grand);
  DestroyWindow(child);
  EXPECT_NE(SetPixel(hdc, 1, 1, kRed), kRed);
  EXPECT_EQ(ReleaseDC(nullptr, hdc), 1);
  EXPECT_EQ(Pixel(top, 46, 46), kGreen);
}

TEST_F(Paint, ClipChildrenAndClipSiblingsProtectTheirWindows) {
  HWND top = Top(0, 0, 100, 100, WS_OVERLAPPED | WS_VISIBLE | WS_CLIPCHILDREN);
  HWND child = Child(top, 1, 10, 10, 20, 20);
  Pump();
  Fill(child, RECT{5, 5, 6, 6}, kGreen);
  Fill(top, RECT{0, 0, 100, 100}, kRed);
  EXPECT_EQ(std::tuple(Pixel(top, 5, 5), Pixel(child, 5, 5), Pixel(child, 0, 0)),
            std::tuple(kRed, kGreen, kBackground));
  // Without the style the parent paints over its child.
  SetWindowLongPtrA(top, GWL_STYLE, GetWindowLongPtrA(top, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPCHILDREN));
  Fill(top, RECT{0, 0, 100, 100}, kRed);
  EXPECT_EQ(Pixel(child, 5, 5), kRed);

  HWND other = Top(0, 0, 100, 100);
  HWND upper = Child(other, 1, 0, 0, 50, 50);
  HWND lower = Child(other, 2, 25, 25, 50, 50, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS);
  Pump();
  Fill(lower, RECT{0, 0, 50, 50}, kRed);
  EXPECT_EQ(std::tuple(Pixel(upper, 30, 30), Pixel(lower, 30, 30)), std::tuple(kBackground, kRed));
}

TEST_F(Paint, PaintingFollowsTheChildAcrossMovesAndResizes) {
  HWND top = Top(0, 0, 100, 100);
  HWND child = Child(top, 1, 0, 0, 10, 10);
  Pump();
  RecordPaints(kRed, child);
  MoveWindow(child, 50, 50, 20, 20, TRUE);
  Pump();
  // The old place was repainted by the parent.
  EXPECT_EQ(std::tuple(Pixel(top, 5, 5), Pixel(top, 55, 55)), std::tuple(kBackground, kRed));
  // The top-level window grows: its backing surface follows and keeps the picture.
  MoveWindow(top, 0, 0, 300, 200, TRUE);
  EXPECT_EQ(Pixel(top, 55, 55), kRed);
  Pump();
  EXPECT_EQ(std::tuple(Pixel(top, 299, 199), Pixel(top, 55, 55)), std::tuple(kBackground, kRed));
}

TEST_F(Paint, PngOfAWindow) {
  HWND top = Top(0, 0, 40, 30);
  HWND child = Child(top, 1, 10, 10, 8, 6);
  Pump();
  Fill(child, RECT{0, 0, 8, 6}, kRed);
  std::string path = ::testing::TempDir() + "win_core_child.png";
  ASSERT_EQ(KelmiraSaveWindowPng(child, path.c_str()), S_OK);
  HBITMAP bitmap = nullptr;
  ASSERT_EQ(KelmiraLoadPng(path.c_str(), &bitmap), S_OK);
  HDC mem = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(mem, bitmap);
  EXPECT_EQ(GetPixel(mem, 7, 5), kRed);
  EXPECT_EQ(GetPixel(mem, 8, 5), CLR_INVALID);  // the child's size, not its parent's
  SelectObject(mem, old);
  DeleteDC(mem);
  DeleteObject(bitmap);
  std::remove(path.c_str());

  COLORREF c;
  EXPECT_EQ(KelmiraGetWindowPixel(child, 8, 0, &c), E_INVALIDARG);
  EXPECT_EQ(KelmiraSaveWindowPng(child, nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace wincore

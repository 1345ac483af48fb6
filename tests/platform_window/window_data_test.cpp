// Styles, window data, subclassing, window text and finding windows.
#include "support/recording_window.h"

#include <cstring>

namespace kelmira::test {
namespace {

using WindowData = WindowTest;

TEST_F(WindowData, StyleChangesAreAnnouncedAndMayBeAdjusted) {
  HWND w = Top(0, 0, 50, 50, WS_OVERLAPPED);
  STYLESTRUCT changing{}, changed{};
  WPARAM which = 0;
  Handle([&](HWND, UINT msg, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    auto* ss = reinterpret_cast<STYLESTRUCT*>(lp);
    if (msg == WM_STYLECHANGING) {
      changing = *ss, which = wp;
      ss->styleNew |= WS_TABSTOP;  // the window insists on a tab stop
    }
    if (msg == WM_STYLECHANGED) changed = *ss;
    return std::nullopt;
  });
  SetWindowLongPtrA(w, GWL_STYLE, WS_OVERLAPPED | WS_CLIPCHILDREN);
  EXPECT_EQ(
      std::tuple(which, changing.styleOld, changing.styleNew, changed.styleNew),
      std::tuple(WPARAM(GWL_STYLE), DWORD{WS_OVERLAPPED}, DWORD{WS_CLIPCHILDREN}, DWORD{WS_CLIPCHILDREN | WS_TABSTOP}));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)), WS_CLIPCHILDREN | WS_TABSTOP);
  // The high bit of a style survives the 32-bit setter.
  SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)), WS_POPUP | WS_TABSTOP);
}

TEST_F(WindowData, ExtraBytesAndBadIndices) {
  HWND child = Child(Top(0, 0, 50, 50, WS_OVERLAPPED), 5, 0, 0, 10, 10);
  SetLastError(5);
  EXPECT_EQ(SetWindowLongPtrA(child, GWLP_USERDATA, 0x1234), 0);
  EXPECT_EQ(GetLastError(), 0u);  // a successful call returning 0 clears the error
  SetWindowLongPtrA(child, GWLP_ID, 9);
  EXPECT_EQ(GetDlgCtrlID(child), 9);
  SetWindowLongPtrA(child, 8, -77);  // cbWndExtra is 16: the last 8-byte slot
  EXPECT_EQ(GetWindowLongPtrA(child, 8), -77);
  EXPECT_EQ(GetWindowLongPtrA(child, 9), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  SetLastError(0);
  EXPECT_EQ(SetWindowLongPtrA(child, -1000, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 1) return 100;
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return CallWindowProcA(previous, hwnd, msg, wParam, lParam) + (msg == WM_USER + 2);
}

TEST_F(WindowData, SubclassingThroughTheWindowProcedure) {
  HWND w = Top(0, 0, 10, 10, WS_OVERLAPPED);
  Handle([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER + 2) return 41;
    return std::nullopt;
  });
  LONG_PTR original = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
  SetWindowLongPtrA(w, GWLP_USERDATA, original);
  EXPECT_EQ(SendMessageA(w, WM_USER + 1, 0, 0), 100);
  EXPECT_EQ(SendMessageA(w, WM_USER + 2, 0, 0), 42);
  EXPECT_EQ(Ids(Log({WM_USER + 1, WM_USER + 2})), std::vector<UINT>{WM_USER + 2});  // the subclass kept the first
  // Dispatched messages reach the subclass too.
  PostMessageA(w, WM_USER + 1, 0, 0);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, w, WM_USER, WM_USER + 10, PM_REMOVE));
  EXPECT_EQ(DispatchMessageA(&m), 100);
  EXPECT_EQ(SetWindowLongPtrA(w, GWLP_WNDPROC, 0), 0);  // a null procedure is refused
}

TEST_F(WindowData, WindowTextGoesThroughMessages) {
  HWND w = Top(0, 0, 10, 10, WS_OVERLAPPED);
  HWND child = Child(w, 3, 0, 0, 1, 1);
  Clear();
  EXPECT_TRUE(SetWindowTextA(w, "Hello, world"));
  char buf[6];
  EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 5);  // truncated and terminated
  EXPECT_STREQ(buf, "Hello");
  EXPECT_EQ(Ids(Log({WM_SETTEXT, WM_GETTEXT}, w)), (std::vector<UINT>{WM_SETTEXT, WM_GETTEXT}));
  EXPECT_EQ(GetWindowTextA(w, buf, 0), 0);

  // A window that answers WM_GETTEXT itself.
  Handle([](HWND, UINT msg, WPARAM cap, LPARAM lp) -> std::optional<LRESULT> {
    if (msg != WM_GETTEXT) return std::nullopt;
    std::strncpy(reinterpret_cast<char*>(lp), "own", cap);
    return 3;
  });
  EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 3);
  EXPECT_STREQ(buf, "own");
  Handle(nullptr);

  EXPECT_TRUE(SetDlgItemTextA(w, 3, "item"));
  EXPECT_EQ(SendMessageA(child, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_FALSE(SetDlgItemTextA(w, 4, "none"));
}

TEST_F(WindowData, FindWindowByClassAndTitle) {
  HWND a = Top(0, 0, 10, 10, WS_OVERLAPPED);
  SetWindowTextA(a, "alpha");
  HWND b = Top(0, 0, 10, 10, WS_OVERLAPPED, kBare);
  SetWindowTextA(b, "beta");
  EXPECT_EQ(FindWindowA("kelmirarecording", "alpha"), a);  // any case
  EXPECT_EQ(FindWindowA(nullptr, "beta"), b);
  EXPECT_EQ(FindWindowA(kBare, nullptr), b);
  EXPECT_EQ(FindWindowA(kRecording, "beta"), nullptr);
}

}  // namespace
}  // namespace kelmira::test

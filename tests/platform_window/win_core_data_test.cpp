// Styles, window data, subclassing and window text.
#include "win_core_support.h"

namespace wincore {
namespace {

using WindowData = WindowTest;

TEST_F(WindowData, StyleChangesAreAnnouncedAndMayBeAdjusted) {
  HWND w = Top(0, 0, 50, 50, WS_OVERLAPPED);
  STYLESTRUCT changing{}, changed{};
  WPARAM which = 0;
  Rec().handler = [&](HWND, UINT msg, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    auto* ss = reinterpret_cast<STYLESTRUCT*>(lp);
    if (msg == WM_STYLECHANGING) {
      changing = *ss;
      which = wp;
      ss->styleNew |= WS_TABSTOP;  // the window insists on a tab stop
    }
    if (msg == WM_STYLECHANGED) changed = *ss;
    return std::nullopt;
  };
  SetWindowLongPtrA(w, GWL_STYLE, WS_OVERLAPPED | WS_CLIPCHILDREN);
  EXPECT_EQ(which, static_cast<WPARAM>(GWL_STYLE));
  EXPECT_EQ(changing.styleOld, WS_OVERLAPPED);
  EXPECT_EQ(changing.styleNew, WS_OVERLAPPED | WS_CLIPCHILDREN);
  EXPECT_EQ(changed.styleNew, WS_OVERLAPPED | WS_CLIPCHILDREN | WS_TABSTOP);
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)), WS_OVERLAPPED | WS_CLIPCHILDREN | WS_TABSTOP);

  // The high bit of a style survives the 32-bit setter.
  SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)), WS_POPUP | WS_TABSTOP);
}

TEST_F(WindowData, ExtraBytesAndBadIndices) {
  HWND top = Top(0, 0, 50, 50, WS_OVERLAPPED);
  HWND child = Child(top, 5, 0, 0, 10, 10);
  SetLastError(5);
  EXPECT_EQ(SetWindowLongPtrA(child, GWLP_USERDATA, 0x1234), 0);
  EXPECT_EQ(GetLastError(), 0u);  // a successful call returning 0 clears the error
  SetWindowLongPtrA(child, GWLP_ID, 9);
  EXPECT_EQ(GetDlgCtrlID(child), 9);
  SetWindowLongPtrA(child, 8, -77);  // cbWndExtra is 16: the last 8-byte slot
  EXPECT_EQ(GetWindowLongPtrA(child, 8), -77);
  EXPECT_EQ(GetWindowLongPtrA(child, 9), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(SetWindowLongPtrA(child, -1000, 1), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 1) return 100;
  WNDPROC previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  LRESULT r = CallWindowProcA(previous, hwnd, msg, wParam, lParam);
  return msg == WM_USER + 2 ? r + 1 : r;
}

TEST_F(WindowData, SubclassingThroughTheWindowProcedure) {
  HWND w = Top(0, 0, 10, 10, WS_OVERLAPPED);
  Rec().handler = [](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER + 2) return 41;
    return std::nullopt;
  };
  LONG_PTR original = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
  EXPECT_EQ(reinterpret_cast<WNDPROC>(original), &RecordingProc);
  SetWindowLongPtrA(w, GWLP_USERDATA, original);
  EXPECT_EQ(SendMessageA(w, WM_USER + 1, 0, 0), 100);
  EXPECT_EQ(SendMessageA(w, WM_USER + 2, 0, 0), 42);
  EXPECT_EQ(Rec().Count(w, WM_USER + 1), 0);  // the subclass kept it
  EXPECT_EQ(Rec().Count(w, WM_USER + 2), 1);
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
  EXPECT_EQ(Rec().Count(w, WM_SETTEXT), 1);
  char buf[6];
  EXPECT_EQ(GetWindowTextA(w, buf, sizeof buf), 5);  // truncated and terminated
  EXPECT_STREQ(buf, "Hello");
  EXPECT_EQ(Rec().Count(w, WM_GETTEXT), 1);
  EXPECT_EQ(GetWindowTextA(w, buf, 0), 0);

  // A window that answers WM_GETTEXT itself.
  Rec().handler = [](HWND, UINT msg, WPARAM cap, LPARAM lp) -> std::optional<LRESULT> {
    if (msg != WM_GETTEXT) return std::nullopt;
    std::strncpy(reinterpret_cast<char*>(lp), "own", cap);
    return 3;
  };
  char own[8];
  EXPECT_EQ(GetWindowTextA(w, own, sizeof own), 3);
  EXPECT_STREQ(own, "own");
  Rec().handler = nullptr;

  EXPECT_TRUE(SetDlgItemTextA(w, 3, "item"));
  EXPECT_EQ(SendMessageA(child, WM_GETTEXTLENGTH, 0, 0), 4);
  EXPECT_FALSE(SetDlgItemTextA(w, 4, "none"));
}

TEST_F(WindowData, FindWindowByClassAndTitle) {
  HWND a = Top(0, 0, 10, 10, WS_OVERLAPPED);
  SetWindowTextA(a, "alpha");
  HWND b = Top(0, 0, 10, 10, WS_OVERLAPPED, "WinCoreBare");
  SetWindowTextA(b, "beta");
  EXPECT_EQ(FindWindowA("wincoretest", "alpha"), a);
  EXPECT_EQ(FindWindowA(nullptr, "beta"), b);
  EXPECT_EQ(FindWindowA("WinCoreBare", nullptr), b);
  EXPECT_EQ(FindWindowA("WinCoreTest", "beta"), nullptr);
}

}  // namespace
}  // namespace wincore

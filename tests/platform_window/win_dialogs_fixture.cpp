#include "win_dialogs_fixture.h"

#include "window/input_state.h"

namespace kelmira::test {
namespace {

constexpr const char* kOwnerClass = "KelmiraDialogTestOwner";

}  // namespace

void DialogTest::SetUp() {
  RegisterPlainClass(kOwnerClass, &DefWindowProcA, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  window::ResetInputState();
  KelmiraSetMessageBoxHook(nullptr, nullptr);
  KelmiraSetIdleHook(nullptr, nullptr);
}

void DialogTest::TearDown() {
  KelmiraSetMessageBoxHook(nullptr, nullptr);
  KelmiraSetIdleHook(nullptr, nullptr);
  for (HWND hwnd : windows_)
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  Pump();
  MSG msg;
  while (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
  }
  window::ResetInputState();
}

HWND DialogTest::MakeOwner(int x, int y, int w, int h) {
  HWND hwnd = MakePopup(kOwnerClass, x, y, w, h);
  Track(hwnd);
  Pump();
  return hwnd;
}

void DialogTest::Pump() {
  MSG msg;
  for (int guard = 0; guard < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++guard) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

COLORREF DialogTest::Pixel(HWND hwnd, int x, int y) {
  COLORREF colour = CLR_INVALID;
  EXPECT_EQ(KelmiraGetWindowPixel(hwnd, x, y, &colour), S_OK);
  return colour;
}

void RegisterPlainClass(const char* name, WNDPROC proc, HBRUSH background) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

HWND MakePopup(const char* cls, int x, int y, int w, int h) {
  HWND hwnd = CreateWindowExA(0, cls, "", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(hwnd, nullptr);
  return hwnd;
}

RECT BoundsOfColour(HWND hwnd, COLORREF colour) {
  RECT client{};
  GetClientRect(hwnd, &client);
  RECT box{client.right, client.bottom, 0, 0};
  for (int y = 0; y < client.bottom; ++y) {
    for (int x = 0; x < client.right; ++x) {
      COLORREF c = CLR_INVALID;
      if (KelmiraGetWindowPixel(hwnd, x, y, &c) != S_OK || c != colour) continue;
      box.left = std::min<LONG>(box.left, x);
      box.top = std::min<LONG>(box.top, y);
      box.right = std::max<LONG>(box.right, x + 1);
      box.bottom = std::max<LONG>(box.bottom, y + 1);
    }
  }
  if (box.left >= box.right) return RECT{0, 0, 0, 0};
  return box;
}

POINT CentreOnScreen(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

}  // namespace kelmira::test

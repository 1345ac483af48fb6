// Shared set-up of the dialog, static and message box tests: a plain owner window, pumping the
// queue until everything is painted, and reading what a window shows.
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/dialog_template.h>
#include <kelmira/platform/winuser.h>

#include <gtest/gtest.h>

#include <vector>

namespace kelmira::test {

class DialogTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A visible top-level window of a plain class (white background), destroyed after the test.
  HWND MakeOwner(int x = 100, int y = 100, int w = 400, int h = 300);
  // Destroyed after the test if still alive.
  void Track(HWND hwnd) { windows_.push_back(hwnd); }
  // Dispatches everything posted and paints everything invalid.
  static void Pump();
  static COLORREF Pixel(HWND hwnd, int x, int y);

 private:
  std::vector<HWND> windows_;
};

// Registers a plain window class once (later calls find it registered: fine).
void RegisterPlainClass(const char* name, WNDPROC proc, HBRUSH background = nullptr);
// A visible popup of that class, owned by nobody.
HWND MakePopup(const char* cls, int x, int y, int w, int h);

// The bounding box (client coordinates) of the pixels of hwnd that have exactly `colour`;
// empty when there are none.
RECT BoundsOfColour(HWND hwnd, COLORREF colour);

// The screen point at the centre of a window.
POINT CentreOnScreen(HWND hwnd);

}  // namespace kelmira::test

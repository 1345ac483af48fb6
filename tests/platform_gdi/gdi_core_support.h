// A memory device context with its own bitmap, cleaned up at the end of a test.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

namespace gdi_core_test {

class Canvas {
 public:
  Canvas(int width, int height) : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateCompatibleBitmap(dc_, width, height)) {
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bitmap_; }

  void Fill(COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    BITMAP bm{};
    GetObjectA(bitmap_, sizeof bm, &bm);
    RECT all{0, 0, bm.bmWidth, bm.bmHeight};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace gdi_core_test

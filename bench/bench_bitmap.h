// The 1000 x 600 memory bitmap the drawing benchmarks draw into.
#pragma once

#include <kelmira/platform.h>

namespace bench {

constexpr int kWidth = 1000;
constexpr int kHeight = 600;

class Bitmap {
 public:
  Bitmap() {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, kWidth, kHeight);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Bitmap() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Bitmap(const Bitmap&) = delete;
  Bitmap& operator=(const Bitmap&) = delete;
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

}  // namespace bench

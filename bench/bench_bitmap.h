// The memory bitmap the drawing benchmarks draw into, 1000 x 600 unless they ask for another size.
#pragma once

#include <kelmira/platform.h>

namespace bench {

constexpr int kWidth = 1000;
constexpr int kHeight = 600;

class Bitmap {
 public:
  explicit Bitmap(int width = kWidth, int height = kHeight) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
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

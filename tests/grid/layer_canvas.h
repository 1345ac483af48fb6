// A memory device context for layer drawing tests, and DrawLayerInfo records built by hand the way
// a container fills them.
#pragma once

#include <kelmira/kelmira.h>

#include <cstdint>

namespace grid_test {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kGrey = 0x00C0C0C0;

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    previous_ = SelectObject(dc_, bitmap_);
    Fill(kWhite);
  }
  ~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Fill(COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    const RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Pixels that are not white.
  int CountPainted() const {
    int n = 0;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) n += At(x, y) != kWhite;
    return n;
  }

 private:
  int width_;
  int height_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

// The record a container gives for an area of width x height showing [xmin, xmax] x [ymin, ymax].
inline DrawLayerInfo AreaInfo(HDC dc, int width, int height, double xmin, double xmax, double ymin, double ymax) {
  DrawLayerInfo info{};
  info.hDC = static_cast<LONG>(HandleToUlong(dc));
  info.left = 0;
  info.top = 0;
  info.right = width;
  info.bottom = height;
  info.XMin = xmin;
  info.YMin = ymin;
  info.XScale = width / (xmax - xmin);
  info.YScale = height / (ymax - ymin);
  return info;
}

}  // namespace grid_test

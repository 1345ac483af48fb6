// A memory device context over a top-down DIB section, for the raster tests: pixels are
// asserted through GetPixel, and the bits pointer gives quick set-up and whole-picture
// comparisons.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>
#include <vector>

namespace raster_test {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kGreen = 0x0000FF00;

class Canvas {
 public:
  // bottomUp: rows stored bottom row first (a positive DIB height), as some hosts hand them.
  Canvas(int width, int height, COLORREF background = kWhite, bool bottomUp = false)
      : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = bottomUp ? height : -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    Clear(background);
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
  bool ok() const { return dc_ && bitmap_ && bits_; }

  // Raw pixels (0x00RRGGBB) in storage order, for set-up and comparisons that must see past
  // the clip.
  std::vector<std::uint32_t> Pixels() const { return {bits_, bits_ + width_ * height_}; }
  void Clear(COLORREF colour) {
    const std::uint32_t pixel = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    std::fill(bits_, bits_ + width_ * height_, pixel);
  }
  void Noise(unsigned seed) {
    std::mt19937 random(seed);
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = random() & 0x00FFFFFF;
  }

  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Pixels whose colour differs from `background`, in row order.
  std::vector<std::pair<int, int>> Painted(COLORREF background = kWhite) const {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (GetPixel(dc_, x, y) != background) out.emplace_back(x, y);
    return out;
  }

 private:
  int width_;
  int height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
};

// Selects a new drawing object for a scope, then selects the previous one back and deletes it.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), previous_(SelectObject(dc, object)) {}
  ~Selected() {
    SelectObject(dc_, previous_);
    DeleteObject(object_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_;
  HGDIOBJ previous_;
};

inline void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace raster_test

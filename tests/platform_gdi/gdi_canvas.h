// A memory device context over a 32-bit DIB section for the drawing tests: pixels are asserted
// through GetPixel, and the bits give quick set-up and comparisons that see past the clip.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace gdi_test {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kGreen = 0x0000FF00;

// Pixels from left to right-1 and top to bottom-1; empty (left > right) when nothing is in it.
struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  bool Empty() const { return left > right; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const Box&) const = default;
};

inline void PrintTo(const Box& b, std::ostream* os) {
  *os << "{" << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom << "}";
}

inline bool Inside(const Box& inner, int left, int top, int right, int bottom) {
  return inner.left >= left && inner.top >= top && inner.right <= right && inner.bottom <= bottom;
}

inline bool Inside(int x, int y, int left, int top, int right, int bottom) {
  return x >= left && x < right && y >= top && y < bottom;
}

class Canvas {
 public:
  // bottomUp: rows stored bottom row first (a positive DIB height), as some hosts hand them.
  Canvas(int width, int height, COLORREF background = kWhite, bool bottomUp = false)
      : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader =
        BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, bottomUp ? height : -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
    Clear(background);
  }
  ~Canvas() {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (font_) DeleteObject(font_);
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

  // Raw pixels (0x00RRGGBB) in storage order.
  std::vector<std::uint32_t> Pixels() const { return {bits_, bits_ + width_ * height_}; }
  void Clear(COLORREF colour = kWhite) {
    const std::uint32_t pixel = ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
    std::fill(bits_, bits_ + width_ * height_, pixel);
  }
  void Noise(unsigned seed) {
    std::mt19937 random(seed);
    for (int i = 0; i < width_ * height_; ++i) bits_[i] = random() & 0x00FFFFFF;
  }

  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Every pixel as GetPixel reads it, row by row.
  std::vector<COLORREF> Picture() const {
    std::vector<COLORREF> out;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) out.push_back(At(x, y));
    return out;
  }
  // Pixels whose colour differs from `background`, in row order.
  std::vector<std::pair<int, int>> Painted(COLORREF background = kWhite) const {
    std::vector<std::pair<int, int>> out;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) != background) out.emplace_back(x, y);
    return out;
  }
  // The box around every pixel that is not `background`.
  Box Bounds(COLORREF background = kWhite) const {
    Box box;
    for (const auto& [x, y] : Painted(background)) {
      box.left = std::min(box.left, x), box.top = std::min(box.top, y);
      box.right = std::max(box.right, x + 1), box.bottom = std::max(box.bottom, y + 1);
    }
    return box;
  }
  int Count(COLORREF colour, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
      for (int x = std::max(left, 0); x < std::min(right, width_); ++x) n += At(x, y) == colour;
    return n;
  }

  // Selects a font of this face and height that the canvas owns.
  void UseFont(const char* face, int height, int weight = FW_NORMAL, bool italic = false, bool underline = false) {
    HFONT font = CreateFontA(height, 0, 0, 0, weight, italic, underline, 0, ANSI_CHARSET, 0, 0, 0, 0, face);
    ASSERT_NE(font, nullptr);
    HGDIOBJ previous = SelectObject(dc_, font);
    if (!oldFont_) oldFont_ = previous;
    if (font_) DeleteObject(font_);
    font_ = font;
  }
  TEXTMETRICA Metrics() const {
    TEXTMETRICA tm{};
    EXPECT_TRUE(GetTextMetricsA(dc_, &tm));
    return tm;
  }
  SIZE Extent(const std::string& s) const {
    SIZE size{};
    EXPECT_TRUE(GetTextExtentPoint32A(dc_, s.c_str(), static_cast<int>(s.size()), &size));
    return size;
  }
  // Back to plain device coordinates, so that the pixel helpers read the whole bitmap.
  void ResetMapping() {
    XFORM identity{1, 0, 0, 1, 0, 0};
    SetWorldTransform(dc_, &identity);
    SetGraphicsMode(dc_, GM_COMPATIBLE);
    SetViewportOrgEx(dc_, 0, 0, nullptr);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  HFONT font_ = nullptr;
};

// Every pixel must have the colour the rule gives it; the first one that does not is reported.
template <class Rule>
void ExpectPicture(const Canvas& canvas, Rule colour) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.At(x, y) != colour(x, y)) {
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << canvas.At(x, y) << ", expected "
                      << colour(x, y);
        return;
      }
}

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

// A point as a comparable, printable value.
inline std::pair<LONG, LONG> P(POINT p) { return {p.x, p.y}; }
inline std::pair<LONG, LONG> P(LONG x, LONG y) { return {x, y}; }

inline void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace gdi_test

// A white memory device context for the text tests, with helpers that read painted pixels.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

namespace text_test {

constexpr COLORREF kWhite = 0x00FFFFFF;

struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;  // right/bottom exclusive
  bool Empty() const { return left > right; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

class Canvas {
 public:
  Canvas(int width, int height) : width_(width), height_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    old_ = SelectObject(dc_, bitmap_);
    Clear();
  }
  ~Canvas() {
    if (oldFont_) SelectObject(dc_, oldFont_);
    if (font_) DeleteObject(font_);
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }

  void Clear() {
    RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
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

  // The box around every pixel that is not `background`.
  Box Painted(COLORREF background = kWhite) const {
    Box box;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x) {
        if (GetPixel(dc_, x, y) == background) continue;
        box.left = std::min(box.left, x);
        box.top = std::min(box.top, y);
        box.right = std::max(box.right, x + 1);
        box.bottom = std::max(box.bottom, y + 1);
      }
    return box;
  }

  int Count(COLORREF color, int left, int top, int right, int bottom) const {
    int n = 0;
    for (int y = std::max(top, 0); y < std::min(bottom, height_); ++y)
      for (int x = std::max(left, 0); x < std::min(right, width_); ++x) n += GetPixel(dc_, x, y) == color;
    return n;
  }

  // Writes the picture into $KELMIRA_TEXT_PNG_DIR when that is set, to look at while developing.
  void Save(const std::string& name) const {
    const char* dir = std::getenv("KELMIRA_TEXT_PNG_DIR");
    if (!dir) return;
    EXPECT_EQ(KelmiraSaveDCPng(dc_, (std::string(dir) + "/" + name + ".png").c_str()), S_OK);
  }

 private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
  HGDIOBJ oldFont_ = nullptr;
  HFONT font_ = nullptr;
};

inline bool Inside(const Box& inner, int left, int top, int right, int bottom) {
  return inner.left >= left && inner.top >= top && inner.right <= right && inner.bottom <= bottom;
}

}  // namespace text_test

// A memory device context over a 32-bit top-down DIB section, the pixel reader every drawing test
// uses, and the comparison of painted pixel sets that writes the picture as a PNG when it fails.
#pragma once

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kelmira::test {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kGreen = 0x0000FF00;
constexpr COLORREF kBlue = 0x00FF0000;

using Pixel = std::pair<int, int>;  // (x, y)
using PixelSet = std::set<Pixel>;

// Pixels from left to right-1 and top to bottom-1; empty (left > right) when nothing is in it.
struct Box {
  int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
  bool Empty() const { return left > right; }
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Box&) const = default;
};
// An empty box lies within any other.
inline bool Within(const Box& inner, const Box& outer) {
  return inner.Empty() || (inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
                           inner.bottom <= outer.bottom);
}
inline void PrintTo(const Box& b, std::ostream* os) {
  *os << "{" << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom << "}";
}

// The record a container hands a layer for an area of width x height showing
// [xmin, xmax] x [ymin, ymax].
inline DrawLayerInfo LayerInfo(HDC dc, int width, int height, double xmin, double xmax, double ymin, double ymax) {
  const double xScale = width / (xmax - xmin), yScale = height / (ymax - ymin);
  return {static_cast<LONG>(HandleToUlong(dc)), 0, 0, width, height, xmin, ymin, xScale, yScale};
}

class Canvas {
 public:
  // bottomUp: rows stored bottom row first (a positive DIB height), as some hosts hand them.
  Canvas(int width, int height, COLORREF background = kWhite, bool bottomUp = false);
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  DrawLayerInfo Info(double xmin, double xmax, double ymin, double ymax) const {
    return LayerInfo(dc_, width_, height_, xmin, xmax, ymin, ymax);
  }

  // Raw pixels (0x00RRGGBB) in storage order.
  std::vector<std::uint32_t> Bits() const { return {bits_, bits_ + width_ * height_}; }
  // CLR_INVALID, as colour or background below, stands for the canvas's own background.
  void Clear(COLORREF colour = CLR_INVALID);
  void Noise(unsigned seed);

  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  // Every pixel as GetPixel reads it, row by row.
  std::vector<COLORREF> Picture() const;
  // Pixels whose colour differs from `background`, and the box around them.
  PixelSet Painted(COLORREF background = CLR_INVALID) const;
  Box Bounds(COLORREF background = CLR_INVALID) const;
  int Count(COLORREF colour, int left, int top, int right, int bottom) const;
  // The box around the pixels of this colour inside `within`.
  Box Find(COLORREF colour, const Box& within) const;
  // Copies a PNG file to the top left corner; false when it cannot be read.
  bool Load(const std::string& png);

  // Selects a font of this face and height that the canvas owns.
  void UseFont(const char* face, int height, int weight = FW_NORMAL, bool italic = false, bool underline = false);
  TEXTMETRICA Metrics() const;
  SIZE Extent(const std::string& s) const;
  // Back to plain device coordinates, so that the pixel helpers read the whole bitmap.
  void ResetMapping();

  // Writes the picture to <current test>.<label>.png in the working directory; returns the path.
  std::string Dump(const char* label = "canvas") const;

 private:
  int width_, height_;
  COLORREF background_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr, oldFont_ = nullptr;
  std::uint32_t* bits_ = nullptr;
  HFONT font_ = nullptr;
};

// Draws an object into the canvas through its IViewObject, in bounds (the whole canvas if empty).
inline HRESULT DrawView(IUnknown* object, const Canvas& canvas, RECTL bounds = {}) {
  if (bounds.right <= bounds.left) bounds = {0, 0, canvas.width(), canvas.height()};
  ComPtr<IViewObject> view;
  const HRESULT hr = object->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view));
  if (FAILED(hr)) return hr;
  return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0);
}

// Equal sets pass; otherwise the message lists the pixels missing and the pixels extra (the
// first few of each) and the canvas is written as a PNG next to the test.
::testing::AssertionResult SamePixels(const Canvas& canvas, const PixelSet& actual, const PixelSet& expected);
#define EXPECT_PAINTED(canvas, expected) \
  EXPECT_TRUE(::kelmira::test::SamePixels((canvas), (canvas).Painted(), (expected)))

// Every pixel must have the colour the rule gives it; the first one that does not is reported
// (and the canvas dumped).
template <class Rule>
void ExpectPicture(const Canvas& canvas, Rule colour) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x)
      if (canvas.At(x, y) != colour(x, y)) {
        ADD_FAILURE() << "pixel " << x << "," << y << " is " << std::hex << canvas.At(x, y) << ", expected "
                      << colour(x, y) << "; picture in " << canvas.Dump();
        return;
      }
}

// What a window shows at a client pixel (CLR_INVALID outside it).
COLORREF WindowPixel(HWND hwnd, int x, int y);
// The pixels of a window's client area whose colour differs from `background`.
PixelSet WindowPainted(HWND hwnd, COLORREF background);
// The box around a window's pixels of this colour.
Box WindowFind(HWND hwnd, COLORREF colour);
// Writes what the window shows to <current test>.<label>.png; returns the path.
std::string DumpWindow(HWND hwnd, const char* label = "window");

// Selects a new drawing object for a scope, then selects the previous one back and deletes it.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), object_(object), previous_(SelectObject(dc, object)) {}
  ~Selected() { SelectObject(dc_, previous_), DeleteObject(object_); }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ object_, previous_;
};

inline void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

}  // namespace kelmira::test

// A memory device context that layer tests draw into, and the DrawLayerInfo a container would hand
// over for it. Header only: this folder is not a test program of its own.
#pragma once

#include <kelmira/kelmira.h>

#include <set>
#include <utility>
#include <vector>

namespace kelmira_test {

// The record a container gives for an area of width x height showing [xmin, xmax] x [ymin, ymax].
inline DrawLayerInfo LayerInfo(HDC dc, int width, int height, double xmin, double xmax, double ymin, double ymax) {
  DrawLayerInfo info{};
  info.hDC = static_cast<LONG>(HandleToUlong(dc));
  info.right = width;
  info.bottom = height;
  info.XMin = xmin;
  info.YMin = ymin;
  info.XScale = width / (xmax - xmin);
  info.YScale = height / (ymax - ymin);
  return info;
}

class LayerCanvas {
 public:
  LayerCanvas(int width, int height, COLORREF background)
      : width_(width), height_(height), background_(background), dc_(CreateCompatibleDC(nullptr)) {
    bitmap_ = CreateCompatibleBitmap(dc_, width, height);
    previous_ = SelectObject(dc_, bitmap_);
    Fill(background);
  }
  ~LayerCanvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  LayerCanvas(const LayerCanvas&) = delete;
  LayerCanvas& operator=(const LayerCanvas&) = delete;

  HDC dc() const { return dc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  DrawLayerInfo Info(double xmin, double xmax, double ymin, double ymax) const {
    return LayerInfo(dc_, width_, height_, xmin, xmax, ymin, ymax);
  }

  void Fill(COLORREF color) {
    const HBRUSH brush = CreateSolidBrush(color);
    const RECT all{0, 0, width_, height_};
    FillRect(dc_, &all, brush);
    DeleteObject(brush);
  }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }
  bool Painted(int x, int y) const { return At(x, y) != background_; }
  int CountPainted() const { return static_cast<int>(PaintedPixels().size()); }
  std::set<std::pair<int, int>> PaintedPixels() const {
    std::set<std::pair<int, int>> painted;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (Painted(x, y)) painted.insert({x, y});
    return painted;
  }
  // Pixels where the two canvases differ, as (x, y) pairs.
  std::vector<std::pair<int, int>> Differences(const LayerCanvas& other) const {
    std::vector<std::pair<int, int>> diff;
    for (int y = 0; y < height_; ++y)
      for (int x = 0; x < width_; ++x)
        if (At(x, y) != other.At(x, y)) diff.push_back({x, y});
    return diff;
  }

 private:
  int width_;
  int height_;
  COLORREF background_;
  HDC dc_;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

}  // namespace kelmira_test

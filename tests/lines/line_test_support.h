// Shared pieces of the line tests: a memory bitmap to draw into, the DrawLayerInfo for it, and
// LineData filled through its pointers.
#pragma once

#include <kelmira/kelmira.h>

#include <gtest/gtest.h>

#include "support/layer_canvas.h"

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

namespace linetest {

using kelmira::ComPtr;

constexpr COLORREF kBlack = 0x00000000;
constexpr COLORREF kWhite = 0x00FFFFFF;

// A memory device context over a black bitmap.
class Canvas : public kelmira_test::LayerCanvas {
 public:
  Canvas(int width, int height) : LayerCanvas(width, height, kBlack) {}
};

// A pen and a brush of one colour, selected into a device context while this lives.
class Tools {
 public:
  Tools(HDC dc, int style, int width, COLORREF color)
      : dc_(dc), pen_(CreatePen(style, width, color)), brush_(CreateSolidBrush(color)) {
    oldPen_ = SelectObject(dc, pen_);
    oldBrush_ = SelectObject(dc, brush_);
  }
  ~Tools() {
    SelectObject(dc_, oldPen_);
    SelectObject(dc_, oldBrush_);
    DeleteObject(pen_);
    DeleteObject(brush_);
  }
  Tools(const Tools&) = delete;
  Tools& operator=(const Tools&) = delete;

 private:
  HDC dc_;
  HPEN pen_;
  HBRUSH brush_;
  HGDIOBJ oldPen_;
  HGDIOBJ oldBrush_;
};

inline void Segment(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

inline ComPtr<ILineLayer> NewLayer() {
  ComPtr<ILineLayer> layer;
  EXPECT_EQ(CoCreateInstance(CLSID_LineLayer, nullptr, CLSCTX_INPROC_SERVER, IID_ILineLayer,
                             reinterpret_cast<void**>(&layer)),
            S_OK);
  return layer;
}

// X kinds a test can ask for.
enum class XKind { Index, Single, Double };

// LineData with the given Y values (and X values unless X is the index), every point shown.
inline ComPtr<ILineData> NewData(const std::vector<double>& ys, XKind kind = XKind::Index,
                                 const std::vector<double>& xs = {}) {
  ComPtr<ILineData> data;
  EXPECT_EQ(
      CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData, reinterpret_cast<void**>(&data)),
      S_OK);
  if (!data) return data;
  if (kind == XKind::Index) data->put_UseXData(VARIANT_FALSE);
  if (kind == XKind::Double) data->put_UseDoubleForXData(VARIANT_TRUE);
  data->put_Size(static_cast<LONG>(ys.size()));
  float* y = nullptr;
  data->GetDataPtr(&y);
  for (std::size_t i = 0; i < ys.size(); ++i) y[i] = static_cast<float>(ys[i]);
  if (kind == XKind::Single) {
    float* x = nullptr;
    data->GetDataPtrX(&x);
    for (std::size_t i = 0; i < xs.size(); ++i) x[i] = static_cast<float>(xs[i]);
  } else if (kind == XKind::Double) {
    double* x = nullptr;
    data->get_DataPtrXDouble(&x);
    for (std::size_t i = 0; i < xs.size(); ++i) x[i] = xs[i];
  }
  return data;
}

inline void SetMask(ILineData* data, const std::vector<int>& hidden) {
  BYTE* mask = nullptr;
  data->GetMaskPtr(&mask);
  for (int i : hidden) mask[i] = 0;
}

// A line in the layer, white, solid, one pixel wide, with the data attached.
inline ComPtr<ILine> AddWhiteLine(ILineLayer* layer, ILineData* data, LONG style = 0) {
  ComPtr<ILine> line;
  EXPECT_EQ(layer->AddLine(nullptr, kWhite, style, &line), S_OK);
  if (line && data) line->put_Data(data);
  return line;
}

// The pixels of a one-pixel line from a to b, end pixel excluded, as the surface paints them.
inline std::set<std::pair<int, int>> ReferenceSegment(int x0, int y0, int x1, int y1) {
  Canvas canvas(200, 200);
  {
    Tools tools(canvas.dc(), PS_SOLID, 0, kWhite);
    Segment(canvas.dc(), x0 + 50, y0 + 50, x1 + 50, y1 + 50);
  }
  std::set<std::pair<int, int>> painted;
  for (auto [x, y] : canvas.PaintedPixels()) painted.insert({x - 50, y - 50});
  return painted;
}

}  // namespace linetest

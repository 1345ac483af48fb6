// The grid tests' canvas and colours.
#pragma once

#include <kelmira/kelmira.h>

#include "support/layer_canvas.h"

#include <cstdint>

namespace grid_test {

constexpr COLORREF kWhite = 0x00FFFFFF;
constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kGrey = 0x00C0C0C0;

// A white canvas.
class Canvas : public kelmira_test::LayerCanvas {
 public:
  Canvas(int width, int height) : LayerCanvas(width, height, kWhite) {}
};

using kelmira_test::LayerInfo;

}  // namespace grid_test

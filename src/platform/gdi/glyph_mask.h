// A rendered glyph: 8-bit coverage in device pixels, placed relative to the glyph's origin.
#pragma once

#include <cstdint>
#include <vector>

namespace kelmira::gdi {

struct GlyphMask {
  int left = 0;  // column of the first mask pixel, relative to the origin
  int top = 0;   // row of the first mask pixel, relative to the origin (y grows downwards)
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> coverage;  // width * height, row by row, 0 = none, 255 = full
};

// A linear map of the plane in device orientation (y grows downwards):
// (x, y) -> (xx * x + xy * y, yx * x + yy * y).
struct Matrix2 {
  double xx = 1, xy = 0, yx = 0, yy = 1;

  bool IsIdentity() const { return xx == 1 && xy == 0 && yx == 0 && yy == 1; }
  Matrix2 Then(const Matrix2& outer) const {  // outer applied after this
    return {outer.xx * xx + outer.xy * yx, outer.xx * xy + outer.xy * yy, outer.yx * xx + outer.yy * yx,
            outer.yx * xy + outer.yy * yy};
  }
};

}  // namespace kelmira::gdi

// The six 8 x 8 hatch cells. Bit x of row y is set where the hatch line passes; the cell is
// repeated from the brush origin.
#include "gdi/raster.h"

namespace kelmira::gdi {
namespace {

constexpr int kHatchHorizontal = 0;
constexpr int kHatchVertical = 1;
constexpr int kHatchForwardDiagonal = 2;  // top-left to bottom-right
constexpr int kHatchBackwardDiagonal = 3; // bottom-left to top-right
constexpr int kHatchCross = 4;
constexpr int kHatchDiagonalCross = 5;

constexpr bool HatchBit(int style, int x, int y) {
  switch (style) {
    case kHatchHorizontal: return y == 0;
    case kHatchVertical: return x == 0;
    case kHatchForwardDiagonal: return x == y;
    case kHatchBackwardDiagonal: return x + y == 7;
    case kHatchCross: return x == 0 || y == 0;
    case kHatchDiagonalCross: return x == y || x + y == 7;
    default: return false;
  }
}

}  // namespace

std::array<std::uint8_t, 8> HatchRows(int hatchStyle) {
  std::array<std::uint8_t, 8> rows{};
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8; ++x) {
      if (HatchBit(hatchStyle, x, y)) rows[y] = static_cast<std::uint8_t>(rows[y] | (1u << x));
    }
  }
  return rows;
}

}  // namespace kelmira::gdi

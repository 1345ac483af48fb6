// The six 8 x 8 hatch cells. Bit x of row y is set where the hatch line passes; the cell is
// repeated from the brush origin.
#include "gdi/raster.h"

namespace kelmira::gdi {
namespace {

constexpr bool HatchBit(int style, int x, int y) {
  switch (style) {
    case HS_HORIZONTAL: return y == 0;
    case HS_VERTICAL: return x == 0;
    case HS_FDIAGONAL: return x == y;
    case HS_BDIAGONAL: return x + y == 7;
    case HS_CROSS: return x == 0 || y == 0;
    case HS_DIAGCROSS: return x == y || x + y == 7;
    default: return false;
  }
}

}  // namespace

std::uint8_t HatchRow(int hatchStyle, int y) {
  std::uint8_t row = 0;
  for (int x = 0; x < 8; ++x) {
    if (HatchBit(hatchStyle, x, y & 7)) row = static_cast<std::uint8_t>(row | (1u << x));
  }
  return row;
}

std::array<std::uint8_t, 8> HatchRows(int hatchStyle) {
  std::array<std::uint8_t, 8> rows{};
  for (int y = 0; y < 8; ++y) rows[static_cast<std::size_t>(y)] = HatchRow(hatchStyle, y);
  return rows;
}

}  // namespace kelmira::gdi

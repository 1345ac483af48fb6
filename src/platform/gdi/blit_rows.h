// Row kernels of BitBlt and PatBlt: one row of a ternary raster operation.
#pragma once

#include "gdi/rop3.h"

#include <array>
#include <cstdint>

namespace kelmira::gdi {

// The brush as a source of P values along one row.
struct PatternRow {
  enum class Kind { None, Solid, Hatch };
  Kind kind = Kind::None;
  std::uint32_t color = 0;       // brush pixel (hatch lines)
  std::uint32_t background = 0;  // hatch gaps in OPAQUE mode
  bool opaque = true;            // TRANSPARENT mode leaves hatch gaps alone
  std::uint8_t bits = 0;         // hatch row rotated so that bit 0 is the row's first pixel
};

// dst[0..count) = op(P, src[i], dst[i]); src may be null when the operation does not read it.
void BlendRow(std::uint8_t code, std::uint32_t* dst, const std::uint32_t* src, const PatternRow& pattern,
              std::int64_t count);

}  // namespace kelmira::gdi

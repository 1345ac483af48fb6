// Ternary raster operations (BitBlt, PatBlt): the operation code is the result byte of the
// operation applied to P = 0xF0, S = 0xCC, D = 0xAA, i.e. a truth table over brush, source and
// destination bits; it sits in bits 16..23 of the ROP value.
#pragma once

#include <kelmira/platform/types.h>

#include <array>
#include <cstdint>

namespace kelmira::gdi {

constexpr std::uint8_t Rop3Code(DWORD rop) { return static_cast<std::uint8_t>((rop >> 16) & 0xFF); }

// Whether the result depends on the source / the brush / the destination.
constexpr bool Rop3UsesSource(std::uint8_t code) { return (((code >> 2) ^ code) & 0x33) != 0; }
constexpr bool Rop3UsesPattern(std::uint8_t code) { return (((code >> 4) ^ code) & 0x0F) != 0; }
constexpr bool Rop3UsesDestination(std::uint8_t code) { return (((code >> 1) ^ code) & 0x55) != 0; }

// The operation on 24 colour bits at once: an OR of the truth table's minterms.
constexpr std::uint32_t ApplyRop3(std::uint8_t code, std::uint32_t p, std::uint32_t s, std::uint32_t d) {
  std::uint32_t result = 0;
  for (unsigned i = 0; i < 8; ++i) {
    if (!((code >> i) & 1u)) continue;
    result |= ((i & 4u) ? p : ~p) & ((i & 2u) ? s : ~s) & ((i & 1u) ? d : ~d);
  }
  return result & 0x00FFFFFFu;
}

static_assert(ApplyRop3(0xEE, 0, 0x0000FF, 0x00FF00) == 0x00FFFF);
static_assert(ApplyRop3(0x66, 0, 0x0F0F0F, 0x00FF00) == 0x0FF00F);
static_assert(ApplyRop3(0x5A, 0xFF0000, 0, 0x0F0000) == 0xF00000);

}  // namespace kelmira::gdi

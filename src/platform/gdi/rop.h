// Binary raster operations (ROP2) reduced to one AND mask and one XOR mask.
//
// For a fixed pen colour every one of the sixteen mixes acts on each destination bit as one of
// "clear", "set", "keep" or "invert", so the whole mix is dst = (dst & andMask) ^ xorMask. The
// masks are worked out once per primitive; inner loops then apply the same two instructions
// whatever the mix, and R2_COPYPEN (andMask 0) can skip the read entirely.
#pragma once

#include <cstdint>

namespace kelmira::gdi {

// Desktop mix-mode numbers (R2_BLACK .. R2_WHITE).
inline constexpr int kRop2First = 1;
inline constexpr int kRop2Last = 16;
inline constexpr int kRop2CopyPen = 13;

// Only the 24 colour bits are ever changed; the top byte of a pixel stays 0.
inline constexpr std::uint32_t kColorBits = 0x00FFFFFF;

struct Mix {
  std::uint32_t andMask;
  std::uint32_t xorMask;

  constexpr std::uint32_t Apply(std::uint32_t dst) const { return (dst & andMask) ^ xorMask; }
  constexpr bool IsCopy() const { return andMask == 0; }
  constexpr bool IsNop() const { return andMask == kColorBits && xorMask == 0; }
};

// Leaves the destination as it is (transparent gaps, R2_NOP).
inline constexpr Mix kNopMix{kColorBits, 0};

constexpr bool IsValidRop2(int rop2) { return rop2 >= kRop2First && rop2 <= kRop2Last; }

// The mix applied bitwise: R2_* value, pen bits, destination bits.
constexpr std::uint32_t ApplyRop2(int rop2, std::uint32_t pen, std::uint32_t dst) {
  switch (rop2) {
    case 1: return 0;              // R2_BLACK
    case 2: return ~(pen | dst);   // R2_NOTMERGEPEN
    case 3: return ~pen & dst;     // R2_MASKNOTPEN
    case 4: return ~pen;           // R2_NOTCOPYPEN
    case 5: return pen & ~dst;     // R2_MASKPENNOT
    case 6: return ~dst;           // R2_NOT
    case 7: return pen ^ dst;      // R2_XORPEN
    case 8: return ~(pen & dst);   // R2_NOTMASKPEN
    case 9: return pen & dst;      // R2_MASKPEN
    case 10: return ~(pen ^ dst);  // R2_NOTXORPEN
    case 11: return dst;           // R2_NOP
    case 12: return ~pen | dst;    // R2_MERGENOTPEN
    case 13: return pen;           // R2_COPYPEN
    case 14: return pen | ~dst;    // R2_MERGEPENNOT
    case 15: return pen | dst;     // R2_MERGEPEN
    default: return ~0u;           // R2_WHITE
  }
}

// The masks for a mix and a pen pixel (0x00RRGGBB). An invalid mix acts as R2_COPYPEN.
constexpr Mix MixFor(int rop2, std::uint32_t penPixel) {
  if (!IsValidRop2(rop2)) rop2 = kRop2CopyPen;
  const std::uint32_t onZero = ApplyRop2(rop2, penPixel, 0);
  const std::uint32_t onOnes = ApplyRop2(rop2, penPixel, ~0u);
  return Mix{(onZero ^ onOnes) & kColorBits, onZero & kColorBits};
}

}  // namespace kelmira::gdi

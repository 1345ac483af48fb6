// What a logical font asks for, as plain values: the LOGFONT fields that choose and size a face.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace kelmira::gdi {

// A request with height 0 gets a cell of this many pixels.
constexpr int kDefaultCellHeight = 16;
// Heights beyond this are clamped; larger glyphs are of no use and only cost memory.
constexpr int kMaxFontPixels = 2048;

struct FontRequest {
  std::string faceName;  // UTF-8 (converted from the ANSI face name)
  int height = 0;        // < 0: em size; > 0: cell height (ascent + descent); 0: default
  int width = 0;         // 0: natural; otherwise the average character width
  int weight = 0;        // 0 means normal (400)
  int escapement = 0;    // tenths of a degree, counter-clockwise
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::uint8_t charSet = 0;
  std::uint8_t pitchAndFamily = 0;

  bool operator==(const FontRequest&) const = default;
};

struct FontRequestHash {
  std::size_t operator()(const FontRequest& r) const noexcept {
    std::size_t h = std::hash<std::string>()(r.faceName);
    auto mix = [&h](std::size_t v) { h ^= v + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2); };
    mix(static_cast<std::size_t>(r.height));
    mix(static_cast<std::size_t>(r.width));
    mix(static_cast<std::size_t>(r.weight));
    mix(static_cast<std::size_t>(r.escapement));
    mix((r.italic ? 1u : 0u) | (r.underline ? 2u : 0u) | (r.strikeOut ? 4u : 0u));
    mix(static_cast<std::size_t>(r.charSet) << 8 | r.pitchAndFamily);
    return h;
  }
};

}  // namespace kelmira::gdi

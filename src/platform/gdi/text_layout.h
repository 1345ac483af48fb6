// Line layout of DrawTextA as pure functions: prefixes, line breaks, word wrapping, tab
// expansion, ellipsis, and the placement of the lines in the rectangle. The functions are
// exported so that the tests can check the layout without fonts.
#pragma once

#include <kelmira/platform/types.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelmira::gdi {

// DrawText format bits that the layout reads.
namespace dt {
constexpr std::uint32_t kCenter = 0x1;
constexpr std::uint32_t kRight = 0x2;
constexpr std::uint32_t kVCenter = 0x4;
constexpr std::uint32_t kBottom = 0x8;
constexpr std::uint32_t kWordBreak = 0x10;
constexpr std::uint32_t kSingleLine = 0x20;
constexpr std::uint32_t kExpandTabs = 0x40;
constexpr std::uint32_t kTabStop = 0x80;
constexpr std::uint32_t kNoClip = 0x100;
constexpr std::uint32_t kExternalLeading = 0x200;
constexpr std::uint32_t kCalcRect = 0x400;
constexpr std::uint32_t kNoPrefix = 0x800;
constexpr std::uint32_t kEndEllipsis = 0x8000;
constexpr std::uint32_t kHidePrefix = 0x100000;
constexpr std::uint32_t kPrefixOnly = 0x200000;
constexpr int kDefaultTabChars = 8;
}  // namespace dt

// With DT_TABSTOP the second byte of the format is the tab length in average character widths,
// so the flags that live in that byte are off.
struct DrawTextFormat {
  std::uint32_t flags = 0;
  int tabChars = dt::kDefaultTabChars;
};
KELMIRA_API DrawTextFormat ParseDrawTextFormat(std::uint32_t format);

// Text after '&' prefix handling: "&x" underlines x, "&&" is one '&', a final lone '&' goes.
struct PrefixedText {
  std::u16string text;
  std::vector<std::size_t> underlined;  // indices into text
};
KELMIRA_API PrefixedText StripPrefixes(std::u16string_view text);

struct LaidOutLine {
  std::u16string text;
  std::vector<int> x;  // pen position of each character from the line's start, then the end
  std::vector<std::size_t> underlined;
  int width = 0;  // trailing spaces at a wrap do not count
};

// Advance widths of characters (tabs are measured by the layout itself).
using AdvanceFunction = std::function<void(std::u16string_view, int*)>;

struct LayoutParams {
  std::uint32_t flags = 0;  // DrawTextFormat::flags
  int rectWidth = 0;        // the wrap and ellipsis width
  int tabWidth = 0;         // pixels between tab stops
};

// Breaks the text into lines: at CR, LF and CR LF unless DT_SINGLELINE; at spaces (and expanded
// tabs) to keep lines within rectWidth with DT_WORDBREAK, a word wider than that standing alone
// on its line; expands tabs to the next stop from the line's start with DT_EXPANDTABS; shortens
// lines that are too wide to "..." with DT_END_ELLIPSIS. Empty text has no lines; a line break at
// the end of the text does not start another line.
KELMIRA_API std::vector<LaidOutLine> LayOutLines(const PrefixedText& text, const LayoutParams& params,
                                                 const AdvanceFunction& advances);

struct TextRect {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct LinePlacement {
  std::vector<std::pair<int, int>> origins;  // top-left of each line
  TextRect bounds;                           // what DT_CALCRECT gives back
  int result = 0;                            // DrawText's return value
};

// Lines stack from the top, or one line sits at the bottom or in the middle (DT_BOTTOM and
// DT_VCENTER apply to DT_SINGLELINE only); each line is left, centred or right aligned. The
// measured rectangle keeps its top-left corner and spans the widest line and all lines. The
// result is the text height, or with DT_VCENTER / DT_BOTTOM on a single line the distance from
// the rectangle's top to the bottom of the text.
KELMIRA_API LinePlacement PlaceLines(const std::vector<LaidOutLine>& lines, const TextRect& rect, std::uint32_t flags,
                                     int lineHeight);

}  // namespace kelmira::gdi

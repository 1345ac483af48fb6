// DrawTextA: the line layout on its own (fixed advances) and through a device context.
#include "support/canvas.h"

#include "gdi/text_layout.h"

namespace {

using namespace kelmira::gdi;
using namespace kelmira::test;

// Every character 10 pixels wide, 'W' 30.
void FixedAdvances(std::u16string_view s, int* out) {
  for (std::size_t i = 0; i < s.size(); ++i) out[i] = s[i] == u'W' ? 30 : 10;
}

std::vector<std::u16string> Lines(std::u16string_view text, std::uint32_t flags, int width, int tabWidth = 80) {
  LayoutParams params{flags, width, tabWidth};
  auto prefixed = (flags & dt::kNoPrefix) ? PrefixedText{std::u16string(text), {}} : StripPrefixes(text);
  std::vector<std::u16string> out;
  for (const LaidOutLine& line : LayOutLines(prefixed, params, FixedAdvances)) out.push_back(line.text);
  return out;
}

using Texts = std::vector<std::u16string>;

TEST(TextLayout, LineBreaksWrappingPrefixesTabsAndEllipsis) {
  using namespace dt;
  // clang-format off
  const struct { std::u16string_view text; std::uint32_t flags; int width; Texts lines; } cases[] = {
      {u"one\ntwo\r\nthree\rfour", 0, 1000, {u"one", u"two", u"three", u"four"}}, {u"end\n", 0, 1000, {u"end"}},
      {u"a\n\nb", 0, 1000, {u"a", u"", u"b"}}, {u"one\ntwo", kSingleLine, 1000, {u"one\ntwo"}},
      {u"", kWordBreak, 100, {}},
      // 70 pixels: "aaa bbb" is exactly 70 wide and fits; spaces at a break go.
      {u"aaa bbb ccc", kWordBreak, 70, {u"aaa bbb", u"ccc"}},
      {u"aaa bbb ccc", kWordBreak, 69, {u"aaa", u"bbb", u"ccc"}}, {u"aaa    bbb", kWordBreak, 50, {u"aaa", u"bbb"}},
      // A word wider than the line is not broken.
      {u"a abcdefghij b", kWordBreak, 50, {u"a", u"abcdefghij", u"b"}},
      {u"abcdefghij", kWordBreak, 0, {u"abcdefghij"}}, {u"x y", kWordBreak, -5, {u"x", u"y"}},
      // Without word breaking, or on a single line, nothing wraps; paragraphs wrap on their own.
      {u"aaa bbb ccc", 0, 30, {u"aaa bbb ccc"}}, {u"aaa bbb ccc", kWordBreak | kSingleLine, 30, {u"aaa bbb ccc"}},
      {u"aa bb\ncc dd", kWordBreak, 40, {u"aa", u"bb", u"cc", u"dd"}},
      {u"&a&&b", kNoPrefix, 100, {u"&a&&b"}}, {u"&a&&b", 0, 100, {u"a&b"}},
      {u"abcdefghij", kEndEllipsis, 60, {u"abc..."}}, {u"abcdef", kEndEllipsis, 60, {u"abcdef"}},
      {u"abcdefg", kEndEllipsis, 20, {u"..."}}};
  // clang-format on
  for (const auto& c : cases) EXPECT_EQ(Lines(c.text, c.flags, c.width), c.lines) << c.flags << " " << c.width;
  const PrefixedText stripped = StripPrefixes(u"&File && &Edit&");
  EXPECT_EQ(std::pair(stripped.text, stripped.underlined),
            std::pair(std::u16string(u"File & Edit"), std::vector<std::size_t>{0, 7}));
  auto lines = LayOutLines(StripPrefixes(u"ab\tc\t\td"), {dt::kExpandTabs, 1000, 80}, FixedAdvances);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].x, (std::vector<int>{0, 10, 20, 80, 90, 160, 240, 250}));
  EXPECT_EQ(lines[0].width, 250);
  // Tab stops count from each line's start; expanded tabs are break opportunities.
  lines = LayOutLines(StripPrefixes(u"abcdefgh\tij\tk"), {dt::kExpandTabs | dt::kWordBreak, 100, 80}, FixedAdvances);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, u"abcdefgh");
  EXPECT_EQ(lines[1].x, (std::vector<int>{0, 10, 20, 80, 90}));
  // Without DT_EXPANDTABS a tab is an ordinary character.
  EXPECT_EQ(LayOutLines(StripPrefixes(u"a\tb"), {0, 1000, 80}, FixedAdvances)[0].width, 30);

  const DrawTextFormat format = ParseDrawTextFormat(dt::kTabStop | dt::kExpandTabs | (4u << 8));
  EXPECT_EQ(std::pair(format.tabChars, format.flags), std::pair(4, dt::kTabStop | dt::kExpandTabs));
  EXPECT_EQ(ParseDrawTextFormat(dt::kCalcRect).tabChars, 8);
}

// The rectangle DT_CALCRECT makes of `r` for the text, and the height DrawTextA returns.
std::pair<Box, int> Measure(const Canvas& canvas, const char* text, RECT r, UINT format = 0) {
  const int height = DrawTextA(canvas.dc(), text, -1, &r, format | DT_CALCRECT);
  return {Box{r.left, r.top, r.right, r.bottom}, height};
}

TEST(DrawText, CalcRectMeasuresWithoutDrawing) {
  Canvas canvas(300, 200);
  canvas.UseFont("Arial", -12);
  const int line = canvas.Metrics().tmHeight;
  const int label = canvas.Extent("10.5").cx;
  // Too small a rectangle is widened, too big a one narrowed to the text; nothing is drawn.
  const auto measured = std::pair(Box{20, 30, 20 + label, 30 + line}, line);
  EXPECT_EQ(Measure(canvas, "10.5", {20, 30, 25, 31}, 0x555), measured);
  EXPECT_EQ(Measure(canvas, "10.5", {20, 30, 280, 190}, DT_CENTER), measured);
  EXPECT_TRUE(canvas.Bounds().Empty());

  // Word wrapping at the rectangle's width: "Y Axis" fits, "(linegr)" goes to a new line.
  const int width = canvas.Extent("Y Axis").cx, wrapped = std::max(width, canvas.Extent("(linegr)").cx);
  EXPECT_EQ(Measure(canvas, "Y Axis (linegr)", {0, 0, width, 0}, DT_WORDBREAK),
            std::pair(Box{0, 0, wrapped, 2 * line}, 2 * line));
  // Prefixes are not measured; tabs expand to 8 average widths.
  EXPECT_EQ(Measure(canvas, "&File", {}).first.right, canvas.Extent("File").cx);
  EXPECT_EQ(Measure(canvas, "&File", {}, DT_NOPREFIX).first.right, canvas.Extent("&File").cx);
  EXPECT_EQ(Measure(canvas, "\tx", {}, DT_EXPANDTABS).first.right,
            8 * canvas.Metrics().tmAveCharWidth + canvas.Extent("x").cx);
  EXPECT_EQ(Measure(canvas, "", {5, 6, 50, 60}), std::pair(Box{5, 6, 5, 6}, 0));

  // External leading is added on request.
  canvas.UseFont("Times New Roman", -30);
  const TEXTMETRICA tm = canvas.Metrics();
  ASSERT_GT(tm.tmExternalLeading, 0);
  EXPECT_EQ(Measure(canvas, "a\nb", {0, 0, 100, 0}, DT_EXTERNALLEADING).second,
            2 * (tm.tmHeight + tm.tmExternalLeading));
}

// Opaque lines fill exactly their cells, which lie where the format puts them; the prefix mark
// takes no room, and the rectangle clips unless told not to.
TEST(DrawText, LinesArePlacedAndClippedInTheRectangle) {
  Canvas canvas(300, 120);
  canvas.UseFont("Arial", -14);
  SetBkColor(canvas.dc(), kGreen);
  const int w = canvas.Extent("Centred").cx, h = canvas.Metrics().tmHeight;
  // clang-format off
  const std::pair<UINT, POINT> cases[] = {
      {DT_LEFT | DT_TOP, {40, 20}}, {DT_CENTER, {40 + (200 - w) / 2, 20}}, {DT_RIGHT, {240 - w, 20}},
      {DT_SINGLELINE | DT_VCENTER | DT_CENTER, {40 + (200 - w) / 2, 20 + (80 - h) / 2}},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, {240 - w, 100 - h}},
      {DT_VCENTER, {40, 20}}};  // without DT_SINGLELINE vertical placement does nothing
  // clang-format on
  for (const auto& [format, at] : cases) {
    canvas.Clear();
    RECT r{40, 20, 240, 100};
    // The height returned reaches the line's bottom.
    EXPECT_EQ(DrawTextA(canvas.dc(), "&Centred", -1, &r, format), at.y - 20 + h) << format;
    EXPECT_EQ(canvas.Bounds(), (Box{at.x, at.y, at.x + w, at.y + h})) << format;
  }
  for (UINT format : {DT_LEFT, DT_LEFT | DT_NOCLIP}) {
    canvas.Clear();
    RECT r{40, 20, 60, 30};
    DrawTextA(canvas.dc(), "&Centred", -1, &r, format);
    EXPECT_EQ(canvas.Bounds(), (format == DT_LEFT ? Box{40, 20, 60, 30} : Box{40, 20, 40 + w, 20 + h})) << format;
  }
}

TEST(DrawText, BadCallsReturnZero) {
  Canvas canvas(10, 10);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(
      std::vector({DrawTextA(nullptr, "a", 1, &r, 0), DrawTextA(canvas.dc(), "a", 1, nullptr, 0),
                   DrawTextA(canvas.dc(), nullptr, 3, &r, 0), DrawTextA(canvas.dc(), nullptr, 0, &r, 0), r.right}),
      std::vector({0, 0, 0, 0, 10}));
  // Rectangles at the ends of the coordinate range neither overflow nor paint stray pixels.
  for (RECT extreme : {RECT{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, RECT{INT_MAX - 3, 0, INT_MAX, 10},
                       RECT{INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}}) {
    for (UINT format : {0u, 0x555u, 0x155u, 0x15Bu, UINT(DT_SINGLELINE | DT_VCENTER | DT_CENTER),
                        UINT(DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_NOCLIP)}) {
      RECT copy = extreme;
      DrawTextA(canvas.dc(), "Far\tout words", -1, &copy, format | DT_EXPANDTABS);
    }
  }
  EXPECT_TRUE(canvas.Bounds().Empty());
  // Centred in the whole coordinate range, a line lands around the origin.
  r = RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  SetBkMode(canvas.dc(), TRANSPARENT);
  EXPECT_GT(DrawTextA(canvas.dc(), "Mid", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER), 0);
  EXPECT_FALSE(canvas.Bounds().Empty());
}

}  // namespace

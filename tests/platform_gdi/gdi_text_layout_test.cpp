// DrawTextA: the line layout on its own (fixed advances) and through a device context.
#include "gdi/text_layout.h"
#include "gdi_text_canvas.h"

#include <string>
#include <vector>

using kelmira::gdi::LaidOutLine;
using kelmira::gdi::LayoutParams;
using text_test::Box;
using text_test::Canvas;
using text_test::Inside;
namespace dt = kelmira::gdi::dt;

namespace {

// Every character 10 pixels wide, 'W' 30.
void FixedAdvances(std::u16string_view s, int* out) {
  for (std::size_t i = 0; i < s.size(); ++i) out[i] = s[i] == u'W' ? 30 : 10;
}

std::vector<std::u16string> Lines(std::u16string_view text, std::uint32_t flags, int width, int tabWidth = 80) {
  LayoutParams params{flags, width, tabWidth};
  auto prefixed = (flags & dt::kNoPrefix) ? kelmira::gdi::PrefixedText{std::u16string(text), {}}
                                          : kelmira::gdi::StripPrefixes(text);
  std::vector<std::u16string> out;
  for (const LaidOutLine& line : kelmira::gdi::LayOutLines(prefixed, params, FixedAdvances)) out.push_back(line.text);
  return out;
}

using Texts = std::vector<std::u16string>;

TEST(GdiTextLayout, LineBreaksAndWordWrapping) {
  EXPECT_EQ(Lines(u"one\ntwo\r\nthree\rfour", 0, 1000), (Texts{u"one", u"two", u"three", u"four"}));
  EXPECT_EQ(Lines(u"end\n", 0, 1000), (Texts{u"end"}));
  EXPECT_EQ(Lines(u"a\n\nb", 0, 1000), (Texts{u"a", u"", u"b"}));
  EXPECT_EQ(Lines(u"one\ntwo", dt::kSingleLine, 1000), (Texts{u"one\ntwo"}));
  EXPECT_TRUE(Lines(u"", dt::kWordBreak, 100).empty());
  // 70 pixels: "aaa bbb" is exactly 70 wide and fits; spaces at a break go.
  EXPECT_EQ(Lines(u"aaa bbb ccc", dt::kWordBreak, 70), (Texts{u"aaa bbb", u"ccc"}));
  EXPECT_EQ(Lines(u"aaa bbb ccc", dt::kWordBreak, 69), (Texts{u"aaa", u"bbb", u"ccc"}));
  EXPECT_EQ(Lines(u"aaa    bbb", dt::kWordBreak, 50), (Texts{u"aaa", u"bbb"}));
  // A word wider than the line is not broken.
  EXPECT_EQ(Lines(u"a abcdefghij b", dt::kWordBreak, 50), (Texts{u"a", u"abcdefghij", u"b"}));
  EXPECT_EQ(Lines(u"abcdefghij", dt::kWordBreak, 0), (Texts{u"abcdefghij"}));
  EXPECT_EQ(Lines(u"x y", dt::kWordBreak, -5), (Texts{u"x", u"y"}));
  // Without word breaking, or on a single line, nothing wraps.
  EXPECT_EQ(Lines(u"aaa bbb ccc", 0, 30), (Texts{u"aaa bbb ccc"}));
  EXPECT_EQ(Lines(u"aaa bbb ccc", dt::kWordBreak | dt::kSingleLine, 30), (Texts{u"aaa bbb ccc"}));
  // Paragraphs wrap on their own.
  EXPECT_EQ(Lines(u"aa bb\ncc dd", dt::kWordBreak, 40), (Texts{u"aa", u"bb", u"cc", u"dd"}));
}

TEST(GdiTextLayout, PrefixesTabsAndEllipsis) {
  auto stripped = kelmira::gdi::StripPrefixes(u"&File && &Edit&");
  EXPECT_EQ(stripped.text, u"File & Edit");
  EXPECT_EQ(stripped.underlined, (std::vector<std::size_t>{0, 7}));
  EXPECT_EQ(Lines(u"&a&&b", dt::kNoPrefix, 100), (Texts{u"&a&&b"}));

  LayoutParams tabs{dt::kExpandTabs, 1000, 80};
  auto lines = kelmira::gdi::LayOutLines(kelmira::gdi::StripPrefixes(u"ab\tc\t\td"), tabs, FixedAdvances);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].x, (std::vector<int>{0, 10, 20, 80, 90, 160, 240, 250}));
  EXPECT_EQ(lines[0].width, 250);
  // Tab stops count from each line's start; expanded tabs are break opportunities.
  LayoutParams wrapTabs{dt::kExpandTabs | dt::kWordBreak, 100, 80};
  lines = kelmira::gdi::LayOutLines(kelmira::gdi::StripPrefixes(u"abcdefgh\tij\tk"), wrapTabs, FixedAdvances);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, u"abcdefgh");
  EXPECT_EQ(lines[1].x, (std::vector<int>{0, 10, 20, 80, 90}));
  // Without DT_EXPANDTABS a tab is an ordinary character.
  EXPECT_EQ(kelmira::gdi::LayOutLines(kelmira::gdi::StripPrefixes(u"a\tb"), {0, 1000, 80}, FixedAdvances)[0].width, 30);

  EXPECT_EQ(Lines(u"abcdefghij", dt::kEndEllipsis, 60), (Texts{u"abc..."}));
  EXPECT_EQ(Lines(u"abcdef", dt::kEndEllipsis, 60), (Texts{u"abcdef"}));
  EXPECT_EQ(Lines(u"abcdefg", dt::kEndEllipsis, 20), (Texts{u"..."}));

  auto format = kelmira::gdi::ParseDrawTextFormat(dt::kTabStop | dt::kExpandTabs | (4u << 8));
  EXPECT_EQ(format.tabChars, 4);
  EXPECT_EQ(format.flags, dt::kTabStop | dt::kExpandTabs);
  EXPECT_EQ(kelmira::gdi::ParseDrawTextFormat(dt::kCalcRect).tabChars, 8);
}

TEST(GdiTextDrawText, CalcRectMeasuresWithoutDrawing) {
  Canvas canvas(300, 200);
  canvas.UseFont("Arial", -12);
  const TEXTMETRICA tm = canvas.Metrics();
  const SIZE label = canvas.Extent("10.5");

  RECT r{20, 30, 25, 31};  // too small: widened
  EXPECT_EQ(DrawTextA(canvas.dc(), "10.5", -1, &r, 0x555), tm.tmHeight);
  EXPECT_EQ(r.left, 20);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.right, 20 + label.cx);
  EXPECT_EQ(r.bottom, 30 + tm.tmHeight);
  r = RECT{20, 30, 280, 190};  // too big: narrowed to the text
  EXPECT_EQ(DrawTextA(canvas.dc(), "10.5", 4, &r, DT_CALCRECT | DT_CENTER), tm.tmHeight);
  EXPECT_EQ(r.right, 20 + label.cx);
  EXPECT_EQ(r.bottom, 30 + tm.tmHeight);
  EXPECT_TRUE(canvas.Painted().Empty());

  r = RECT{0, 0, 100, 0};
  EXPECT_EQ(DrawTextA(canvas.dc(), "first\nsecond line", -1, &r, DT_CALCRECT), 2 * tm.tmHeight);
  EXPECT_EQ(r.right, canvas.Extent("second line").cx);

  // Word wrapping at the rectangle's width: "Y Axis" fits, "(linegr)" goes to a new line.
  const int width = canvas.Extent("Y Axis").cx;
  r = RECT{0, 0, width, 0};
  EXPECT_EQ(DrawTextA(canvas.dc(), "Y Axis (linegr)", -1, &r, DT_CALCRECT | DT_WORDBREAK), 2 * tm.tmHeight);
  EXPECT_EQ(r.right, std::max(width, canvas.Extent("(linegr)").cx));
  // A single long word widens the rectangle.
  r = RECT{0, 0, 5, 0};
  EXPECT_EQ(DrawTextA(canvas.dc(), "Unbreakable", -1, &r, DT_CALCRECT | DT_WORDBREAK), tm.tmHeight);
  EXPECT_EQ(r.right, canvas.Extent("Unbreakable").cx);

  // Prefixes are not measured; tabs expand to 8 average widths.
  r = RECT{0, 0, 0, 0};
  DrawTextA(canvas.dc(), "&File", -1, &r, DT_CALCRECT);
  EXPECT_EQ(r.right, canvas.Extent("File").cx);
  r = RECT{0, 0, 0, 0};
  DrawTextA(canvas.dc(), "&File", -1, &r, DT_CALCRECT | DT_NOPREFIX);
  EXPECT_EQ(r.right, canvas.Extent("&File").cx);
  r = RECT{0, 0, 0, 0};
  DrawTextA(canvas.dc(), "\tx", -1, &r, DT_CALCRECT | DT_EXPANDTABS);
  EXPECT_EQ(r.right, 8 * tm.tmAveCharWidth + canvas.Extent("x").cx);

  r = RECT{5, 6, 50, 60};
  EXPECT_EQ(DrawTextA(canvas.dc(), "", -1, &r, DT_CALCRECT), 0);
  EXPECT_EQ(r.right, 5);
  EXPECT_EQ(r.bottom, 6);
}

TEST(GdiTextDrawText, ExternalLeadingIsAddedOnRequest) {
  Canvas canvas(10, 10);
  canvas.UseFont("Times New Roman", -30);
  const TEXTMETRICA tm = canvas.Metrics();
  ASSERT_GT(tm.tmExternalLeading, 0);
  RECT r{0, 0, 100, 0};
  EXPECT_EQ(DrawTextA(canvas.dc(), "a\nb", -1, &r, DT_CALCRECT | DT_EXTERNALLEADING),
            2 * (tm.tmHeight + tm.tmExternalLeading));
}

TEST(GdiTextDrawText, LinesArePlacedInTheRectangle) {
  Canvas canvas(300, 120);
  canvas.UseFont("Arial", -14);
  SetBkMode(canvas.dc(), TRANSPARENT);
  const SIZE text = canvas.Extent("Centred");
  const TEXTMETRICA tm = canvas.Metrics();
  struct Case {
    UINT format;
    int left, top;
  } cases[] = {
      {DT_LEFT | DT_TOP, 40, 20},
      {DT_CENTER, 40 + (200 - text.cx) / 2, 20},
      {DT_RIGHT, 240 - text.cx, 20},
      {DT_SINGLELINE | DT_VCENTER | DT_CENTER, 40 + (200 - text.cx) / 2, 20 + (80 - tm.tmHeight) / 2},
      {DT_SINGLELINE | DT_BOTTOM | DT_RIGHT, 240 - text.cx, 100 - tm.tmHeight},
      {DT_VCENTER, 40, 20},  // without DT_SINGLELINE vertical placement does nothing
  };
  for (const Case& c : cases) {
    canvas.Clear();
    RECT r{40, 20, 240, 100};
    int height = DrawTextA(canvas.dc(), "Centred", -1, &r, c.format);
    const Box box = canvas.Painted();
    // The glyphs lie inside the line's cell.
    EXPECT_TRUE(Inside(box, c.left, c.top, c.left + text.cx + 1, c.top + tm.tmHeight)) << c.format;
    EXPECT_LE(box.left, c.left + 2) << c.format;
    EXPECT_GE(box.right, c.left + text.cx - 2) << c.format;
    const bool offset = (c.format & DT_SINGLELINE) && (c.format & (DT_VCENTER | DT_BOTTOM));
    EXPECT_EQ(height, offset ? c.top - 20 + tm.tmHeight : tm.tmHeight) << c.format;
  }
  canvas.Save("drawtext");
}

TEST(GdiTextDrawText, ClipsToTheRectangleUnlessToldNotTo) {
  Canvas canvas(200, 60);
  canvas.UseFont("Arial", -20);
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT r{10, 10, 40, 20};
  DrawTextA(canvas.dc(), "Wide label", -1, &r, DT_LEFT);
  Box box = canvas.Painted();
  EXPECT_TRUE(Inside(box, 10, 10, 40, 20));
  canvas.Clear();
  DrawTextA(canvas.dc(), "Wide label", -1, &r, DT_LEFT | DT_NOCLIP);
  box = canvas.Painted();
  EXPECT_GT(box.right, 60);
  EXPECT_GT(box.bottom, 20);
  // Opaque lines fill their cells; the prefixed character is underlined.
  canvas.Clear();
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), 0x00E0E0E0);
  r = RECT{10, 10, 190, 50};
  DrawTextA(canvas.dc(), "&Menu", -1, &r, 0);
  const SIZE cell = canvas.Extent("Menu");
  box = canvas.Painted();
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.top, 10);
  EXPECT_EQ(box.Width(), cell.cx);
  EXPECT_EQ(box.Height(), cell.cy);
  canvas.Save("prefix");
}

TEST(GdiTextDrawText, BadCallsReturnZero) {
  Canvas canvas(10, 10);
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(DrawTextA(nullptr, "a", 1, &r, 0), 0);
  EXPECT_EQ(DrawTextA(canvas.dc(), "a", 1, nullptr, 0), 0);
  EXPECT_EQ(DrawTextA(canvas.dc(), nullptr, 3, &r, 0), 0);
  EXPECT_EQ(DrawTextA(canvas.dc(), nullptr, 0, &r, 0), 0);
  EXPECT_EQ(r.right, 10);
  // Rectangles at the ends of the coordinate range neither overflow nor paint stray pixels.
  for (RECT extreme : {RECT{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, RECT{INT_MAX - 3, 0, INT_MAX, 10},
                       RECT{INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}}) {
    for (UINT format : {0u, 0x555u, 0x155u, 0x15Bu, UINT(DT_SINGLELINE | DT_VCENTER | DT_CENTER),
                        UINT(DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_NOCLIP)}) {
      RECT copy = extreme;
      DrawTextA(canvas.dc(), "Far\tout words", -1, &copy, format | DT_EXPANDTABS);
    }
  }
  EXPECT_TRUE(canvas.Painted().Empty());
  // Centred in the whole coordinate range, a line lands around the origin.
  r = RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  SetBkMode(canvas.dc(), TRANSPARENT);
  EXPECT_GT(DrawTextA(canvas.dc(), "Mid", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER), 0);
  EXPECT_FALSE(canvas.Painted().Empty());
}

}  // namespace

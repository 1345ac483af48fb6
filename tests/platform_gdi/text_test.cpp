// Fonts and text: face lookup and fallback, sizes, metrics and extents, stock fonts and the
// handles font objects realise; TextOutA and ExtTextOutA (cells, colours, background modes,
// alignment, fills, clipping, turned text); DrawTextA, its line layout on its own (fixed
// advances) and through a device context.
#include "support/canvas.h"
#include "support/last_error.h"

#include "gdi/text_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <tuple>

namespace {

using namespace kelmira::gdi;
using namespace kelmira::test;

TEST(TextOut, TransparentTextPaintsInsideItsCellInTheTextColour) {
  Canvas canvas(200, 60);
  canvas.UseFont("Arial", -16, FW_NORMAL, false, true);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), kRed);
  ASSERT_TRUE(TextOutA(canvas.dc(), 20, 10, "Hello, World", 12));
  const SIZE cell = canvas.Extent("Hello, World");
  const TEXTMETRICA tm = canvas.Metrics();
  const Box box = canvas.Bounds();
  EXPECT_PRED2(Within, box, (Box{20, 10, 20 + cell.cx + 1, 10 + cell.cy}));
  // 'H' reaches the ascender zone, ',' the descender zone.
  EXPECT_TRUE(box.Width() > cell.cx * 3 / 4 && box.top < 10 + tm.tmInternalLeading + tm.tmAscent / 2 &&
              box.bottom > 10 + tm.tmAscent)
      << testing::PrintToString(box);
  // The underline runs below the baseline under the whole string, the space included.
  int underline = 0;
  for (int y = 10 + tm.tmAscent; y < 10 + tm.tmHeight; ++y)
    underline += canvas.Count(kRed, 20, y, 20 + cell.cx, y + 1) == cell.cx;
  EXPECT_GE(underline, 1);
  // Stems are covered fully, so the exact text colour appears; the edges are blends of red and white.
  const int solid = canvas.Count(kRed, 0, 0, 200, 60);
  EXPECT_TRUE(solid > 20 && canvas.Painted().size() > std::size_t(solid) + 20) << solid;
  for (const auto& [x, y] : canvas.Painted()) {
    const COLORREF c = canvas.At(x, y);
    EXPECT_TRUE((c & 0xFF) == 0xFF && ((c >> 8) & 0xFF) == ((c >> 16) & 0xFF)) << std::hex << c << " at " << x;
  }
}

TEST(TextOut, OpaqueCellsAndRectanglesAlignmentAndClipping) {
  Canvas canvas(240, 120);
  canvas.UseFont("Arial", -14);
  SetBkColor(canvas.dc(), kGreen);
  SetTextColor(canvas.dc(), kBlue);
  const SIZE cell = canvas.Extent("Align");
  const int ascent = canvas.Metrics().tmAscent;
  // clang-format off
  const std::pair<UINT, POINT> cases[] = {
      {TA_LEFT | TA_TOP, {100, 50}}, {TA_RIGHT | TA_TOP, {100 - cell.cx, 50}},
      {TA_CENTER | TA_TOP, {100 - cell.cx / 2, 50}}, {TA_LEFT | TA_BOTTOM, {100, 50 - cell.cy}},
      {TA_LEFT | TA_BASELINE, {100, 50 - ascent}}, {TA_RIGHT | TA_BASELINE, {100 - cell.cx, 50 - ascent}}};
  // clang-format on
  for (const auto& [align, at] : cases) {
    canvas.Clear();
    SetTextAlign(canvas.dc(), align);
    ASSERT_TRUE(TextOutA(canvas.dc(), 100, 50, "Align", 5));
    EXPECT_EQ(canvas.Bounds(), (Box{at.x, at.y, at.x + cell.cx, at.y + cell.cy})) << align;
  }
  // The cell is filled with the background colour before the glyphs go on it.
  EXPECT_EQ((std::tuple{canvas.Count(kWhite, 100 - cell.cx, 50 - ascent, 100, 50 - ascent + cell.cy),
                        canvas.Count(kBlue, 0, 0, 240, 120) > 10}),
            std::tuple(0, true));
  // ETO_OPAQUE fills its rectangle in either mode, with or without text; ETO_CLIPPED keeps the
  // text inside it.
  canvas.Clear();
  SetTextAlign(canvas.dc(), TA_LEFT | TA_TOP);
  SetBkMode(canvas.dc(), TRANSPARENT);
  RECT r{5, 7, 25, 19};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr) &&
              ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  ExpectPicture(canvas, [](int x, int y) { return Box{5, 7, 25, 19}.Contains(x, y) ? kGreen : kWhite; });
  canvas.Clear();
  r = RECT{30, 12, 60, 22};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 20, 5, ETO_CLIPPED | ETO_OPAQUE, &r, "WWWWWWW", 7, nullptr));
  EXPECT_EQ(canvas.Bounds(), (Box{30, 12, 60, 22}));
  // Rectangles far outside or inverted fill nothing and do not fail; a huge one fills everything.
  canvas.Clear();
  for (RECT nothing : {RECT{INT_MIN, INT_MIN, INT_MIN + 5, INT_MAX}, RECT{20, 20, 10, 10}})
    EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &nothing, "", 0, nullptr));
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ((std::tuple{canvas.Painted().size(), ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &huge, "", 0, nullptr),
                        canvas.Painted(kGreen).size()}),
            std::tuple(0u, TRUE, 0u));
}

// The same text drawn two ways must give the same picture.
TEST(TextOut, SameTextTwoWays) {
  using Draw = std::function<void(HDC)>;
  const INT dx[4] = {40, 40, 40, 40};
  // clang-format off
  const struct { const char* label; Draw a, b; } cases[] = {
      // TA_UPDATECP draws from the current position and moves it past the string, or, right
      // aligned, back before it.
      {"update cp", [](HDC dc) { TextOutA(dc, 10, 5, "Current position", 16); },
       [](HDC dc) { SetTextAlign(dc, TA_UPDATECP); MoveToEx(dc, 10, 5, nullptr);
                    TextOutA(dc, 99, 99, "Current ", 8); TextOutA(dc, 99, 99, "position", 8); }},
      {"update cp right", [](HDC dc) { SetTextAlign(dc, TA_RIGHT); TextOutA(dc, 150, 5, "Current position", 16); },
       [](HDC dc) { SetTextAlign(dc, TA_UPDATECP | TA_RIGHT); MoveToEx(dc, 150, 5, nullptr);
                    TextOutA(dc, 0, 0, "position", 8); TextOutA(dc, 0, 0, "Current ", 8); }},
      {"spacing array", [&](HDC dc) { ExtTextOutA(dc, 10, 5, 0, nullptr, "IIII", 4, dx); },
       [](HDC dc) { for (int k = 0; k < 4; ++k) TextOutA(dc, 10 + 40 * k, 5, "I", 1); }},
      // A world translation moves text by whole pixels.
      {"world translation", [](HDC dc) { TextOutA(dc, 17, 13, "Same", 4); },
       [](HDC dc) { const XFORM move{1, 0, 0, 1, 7, 3}; SetGraphicsMode(dc, GM_ADVANCED); SetWorldTransform(dc, &move);
                    SetViewportOrgEx(dc, 5, 6, nullptr); TextOutA(dc, 5, 4, "Same", 4); }}};
  // clang-format on
  for (const auto& c : cases) {
    Canvas a(200, 40), b(200, 40);
    for (auto [canvas, draw] : {std::pair{&a, &c.a}, {&b, &c.b}}) {
      canvas->UseFont("Arial", -14);
      SetBkMode(canvas->dc(), TRANSPARENT);
      (*draw)(canvas->dc());
      canvas->ResetMapping();
    }
    EXPECT_FALSE(a.Painted().empty()) << c.label;
    EXPECT_EQ(a.Picture(), b.Picture()) << c.label;
  }
}

// Bad calls fail: the last error tells a stale context from a bad argument. Far-away reference
// points and rectangles at the ends of the coordinate range neither overflow nor paint stray
// pixels.
TEST(TextCalls, BadOnesFailWithoutDrawing) {
  Canvas canvas(20, 20);
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  SIZE size{};
  TEXTMETRICA tm{};
  INT w = 0;
  RECT r{0, 0, 10, 10};
  EXPECT_EQ(std::vector({LastErrorOf([&] { return TextOutA(stale, 0, 0, "a", 1); }),
                         LastErrorOf([&] { return TextOutA(canvas.dc(), 0, 0, nullptr, 2); }),
                         LastErrorOf([&] { return GetTextExtentPoint32A(stale, "a", 1, &size); }),
                         LastErrorOf([&] { return GetTextExtentPoint32A(canvas.dc(), "a", 1, nullptr); })}),
            std::vector<DWORD>(
                {ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER, ERROR_INVALID_HANDLE, ERROR_INVALID_PARAMETER}));
  EXPECT_EQ(std::vector({TextOutA(canvas.dc(), 0, 0, "a", -1), GetTextExtentPoint32A(canvas.dc(), nullptr, 3, &size),
                         GetTextExtentPoint32A(canvas.dc(), "a", -1, &size), GetTextMetricsA(nullptr, &tm),
                         GetTextMetricsA(canvas.dc(), nullptr), GetCharWidth32A(canvas.dc(), 'b', 'a', &w),
                         GetCharWidth32A(canvas.dc(), 'a', 'a', nullptr), DrawTextA(nullptr, "a", 1, &r, 0),
                         DrawTextA(canvas.dc(), "a", 1, nullptr, 0), DrawTextA(canvas.dc(), nullptr, 3, &r, 0),
                         DrawTextA(canvas.dc(), nullptr, 0, &r, 0), r.right - 10}),
            std::vector(12, FALSE));
  EXPECT_EQ(std::tuple(TextOutA(canvas.dc(), 0, 0, nullptr, 0), SetTextColor(stale, kRed), SetBkMode(canvas.dc(), 7),
                       GetBkMode(canvas.dc()), CreateFontIndirectA(nullptr)),
            std::tuple(TRUE, CLR_INVALID, 0, OPAQUE, HFONT{}));
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MAX, INT_MAX, "far", 3) && TextOutA(canvas.dc(), INT_MIN, INT_MIN, "far", 3));
  SetTextAlign(canvas.dc(), TA_RIGHT | TA_BOTTOM);
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MIN, INT_MIN, "far", 3));
  // Each rectangle is a fresh copy: DT_CALCRECT (in 0x555) changes it.
  for (UINT format : {0u, 0x555u, 0x155u, 0x15Bu, UINT(DT_SINGLELINE | DT_VCENTER | DT_CENTER),
                      UINT(DT_SINGLELINE | DT_BOTTOM | DT_RIGHT | DT_NOCLIP)})
    for (RECT extreme : {RECT{INT_MAX, INT_MAX, INT_MIN, INT_MIN}, RECT{INT_MAX - 3, 0, INT_MAX, 10},
                         RECT{INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 5}})
      DrawTextA(canvas.dc(), "Far\tout words", -1, &extreme, format | DT_EXPANDTABS);
  EXPECT_TRUE(canvas.Painted().empty());
  // Centred in the whole coordinate range, a line lands around the origin.
  r = RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  SetBkMode(canvas.dc(), TRANSPARENT);
  EXPECT_GT(DrawTextA(canvas.dc(), "Mid", -1, &r, DT_SINGLELINE | DT_VCENTER | DT_CENTER), 0);
  EXPECT_FALSE(canvas.Bounds().Empty());
  // The face name query truncates and reports the size needed.
  char name[6];
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, name), 0);
  canvas.UseFont("Times New Roman", -12);
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, nullptr), 16);
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 6, name), 6);
  EXPECT_STREQ(name, "Times");
}

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
  EXPECT_EQ(std::pair(lines[0].x, lines[0].width), std::pair(std::vector<int>{0, 10, 20, 80, 90, 160, 240, 250}, 250));
  // Tab stops count from each line's start; expanded tabs are break opportunities.
  lines = LayOutLines(StripPrefixes(u"abcdefgh\tij\tk"), {dt::kExpandTabs | dt::kWordBreak, 100, 80}, FixedAdvances);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(std::pair(lines[0].text, lines[1].x),
            std::pair(std::u16string(u"abcdefgh"), std::vector<int>{0, 10, 20, 80, 90}));
  // Without DT_EXPANDTABS a tab is an ordinary character.
  EXPECT_EQ(LayOutLines(StripPrefixes(u"a\tb"), {0, 1000, 80}, FixedAdvances)[0].width, 30);

  const DrawTextFormat format = ParseDrawTextFormat(dt::kTabStop | dt::kExpandTabs | (4u << 8));
  EXPECT_EQ(std::tuple(format.tabChars, format.flags, ParseDrawTextFormat(dt::kCalcRect).tabChars),
            std::tuple(4, dt::kTabStop | dt::kExpandTabs, 8));
}

// The rectangle DT_CALCRECT makes of `r` for the text, and the height DrawTextA returns.
std::pair<Box, int> Measure(const Canvas& canvas, const char* text, RECT r, UINT format = 0) {
  const int height = DrawTextA(canvas.dc(), text, -1, &r, format | DT_CALCRECT);
  return {Box{r.left, r.top, r.right, r.bottom}, height};
}

TEST(DrawText, CalcRectMeasuresWithoutDrawingAndLinesArePlacedAndClippedInTheRectangle) {
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

  // Opaque lines fill exactly their cells, which lie where the format puts them; the prefix mark
  // takes no room, and the rectangle clips unless told not to.
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

std::string FaceOf(HDC dc) {
  char name[LF_FACESIZE] = {};
  EXPECT_GT(GetTextFaceA(dc, LF_FACESIZE, name), 0);
  return name;
}

// The stock fonts are the desktop's; desktop face names find faces of their metrics, unknown ones
// fall back to a real face. A negative height is the em height, a positive one the cell height, 0
// the default cell.
TEST(Font, FacesHeightsExtentsAndStylesFollowTheDesktop) {
  LOGFONTA gui{}, system{};
  ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), static_cast<int>(sizeof gui));
  ASSERT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system), static_cast<int>(sizeof system));
  // A new device context draws with the system font, a bold face 16 pixels high.
  Canvas canvas(8, 8);
  EXPECT_EQ(std::tuple(gui.lfHeight, std::string(gui.lfFaceName), system.lfHeight, system.lfWeight,
                       canvas.Metrics().tmHeight, canvas.Metrics().tmWeight),
            std::tuple(-11, std::string("MS Shell Dlg"), 16, FW_BOLD, 16, FW_BOLD));
  for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
    canvas.UseFont(face, -12);
    EXPECT_EQ(FaceOf(canvas.dc()), face);
  }
  // Courier New is monospaced; the desktop's pitch bit is set for variable pitch only.
  EXPECT_EQ(canvas.Extent("i").cx, canvas.Extent("W").cx);
  EXPECT_EQ(canvas.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
  canvas.UseFont("Arial", -12);
  EXPECT_LT(canvas.Extent("i").cx, canvas.Extent("W").cx);
  EXPECT_NE(canvas.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
  canvas.UseFont("No Such Face 1234", -12);
  EXPECT_EQ((std::tuple{FaceOf(canvas.dc()) == "No Such Face 1234",
                        canvas.Metrics().tmHeight - canvas.Metrics().tmInternalLeading, canvas.Extent("Hello").cx > 0}),
            std::tuple(false, 12, true));
  // The desktop's dialog faces stand for a sans-serif face of Arial's widths.
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  canvas.UseFont("MS Sans Serif", -11);
  const LONG dialog = canvas.Extent(alphabet).cx;
  canvas.UseFont("Arial", -11);
  EXPECT_EQ(canvas.Extent(alphabet).cx, dialog);
  for (int height : {-8, -9, -11, -12, -16, -24, -40, 10, 13, 16, 20, 33, 0}) {
    canvas.UseFont("Arial", height);
    const TEXTMETRICA tm = canvas.Metrics();
    EXPECT_EQ(std::tuple(tm.tmAscent + tm.tmDescent, tm.tmInternalLeading > 0,
                         height < 0 ? tm.tmHeight - tm.tmInternalLeading : tm.tmHeight),
              std::tuple(tm.tmHeight, true, height ? std::abs(height) : 16))
        << height;
  }
  canvas.UseFont("Arial", INT_MIN);  // absurd sizes are limited, never overflow
  EXPECT_GT(canvas.Metrics().tmHeight, 0);

  // Extents are sums of advances by the font height; style fields reach the metrics and glyphs.
  canvas.UseFont("Arial", -13);
  const std::string text = "Axis 12.5 (linegr)";
  std::vector<INT> widths(256);
  ASSERT_TRUE(GetCharWidth32A(canvas.dc(), 0, 255, widths.data()));
  int sum = 0;
  for (std::size_t n = 0; n < text.size(); ++n) {
    const int width = widths[static_cast<unsigned char>(text[n])];
    EXPECT_GT(width, 0) << n;  // no character is empty
    EXPECT_EQ(canvas.Extent(text.substr(0, n + 1)).cx, sum += width) << n;
  }
  SIZE legacy{}, empty{-1, -1};
  EXPECT_TRUE(GetTextExtentPointA(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &legacy) &&
              GetTextExtentPoint32A(canvas.dc(), "", 0, &empty));
  EXPECT_EQ(std::tuple(legacy.cx, legacy.cy, empty.cx, empty.cy),
            std::tuple(sum, canvas.Metrics().tmHeight, 0, canvas.Metrics().tmHeight));
  // Windows-1252 bytes above 127 are characters of their own.
  EXPECT_GT(canvas.Extent("\xE9\x80").cx, 0);

  canvas.UseFont("Arial", -16);
  const TEXTMETRICA normal = canvas.Metrics();
  const SIZE normalExtent = canvas.Extent("Bold text");
  canvas.UseFont("Arial", -16, FW_BOLD, true, true);
  const TEXTMETRICA bold = canvas.Metrics();
  EXPECT_EQ(std::tuple(normal.tmWeight, normal.tmItalic, normal.tmUnderlined, bold.tmWeight, bold.tmItalic != 0,
                       bold.tmUnderlined != 0),
            std::tuple(FW_NORMAL, 0, 0, FW_BOLD, true, true));
  EXPECT_GT(canvas.Extent("Bold text").cx, normalExtent.cx);
  // A width other than 0 stretches the face to that average character width.
  Selected wide(canvas.dc(), CreateFontA(-16, 20, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  EXPECT_NEAR(canvas.Metrics().tmAveCharWidth, 20, 1);
  EXPECT_EQ(canvas.Metrics().tmHeight, normal.tmHeight);
  EXPECT_GT(canvas.Extent("Bold text").cx, normalExtent.cx * 2);
}

// Font objects of the component runtime realise font handles for drawing.
kelmira::ComPtr<IFont> MakeFont(const char16_t* name, LONGLONG size, SHORT weight) {
  std::u16string copy = name;
  FONTDESC desc{sizeof(FONTDESC), copy.data(), {}, weight, 0, FALSE, FALSE, FALSE};
  desc.cySize.int64 = size;
  kelmira::ComPtr<IFont> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(&font)), S_OK);
  return font;
}

LOGFONTA Describe(HFONT font) {
  LOGFONTA lf{};
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

TEST(FontObject, HandlesDescribeTheFontAtNinetySixDpiAndOutliveChangesWhileLocked) {
  auto font = MakeFont(u"Arial", 70000, 300);  // 7 points
  HFONT h = nullptr, again = nullptr;
  ASSERT_EQ(std::vector({font->put_Italic(TRUE), font->put_Charset(2), font->get_hFont(&h), font->get_hFont(&again)}),
            std::vector(4, S_OK));
  const LOGFONTA lf = Describe(h);
  // Kept until something changes. Height: 7 * 96 / 72 = 9.33.
  EXPECT_EQ(std::tuple(again == h, lf.lfHeight, lf.lfWeight, lf.lfItalic, lf.lfUnderline, lf.lfCharSet,
                       std::string(lf.lfFaceName)),
            std::tuple(true, -9, 300, BYTE{TRUE}, BYTE{FALSE}, BYTE{2}, std::string("Arial")));
  TEXTMETRICW metrics{};
  EXPECT_EQ((std::tuple{font->QueryTextMetrics(&metrics), metrics.tmHeight - metrics.tmInternalLeading,
                        metrics.tmItalic != 0}),
            std::tuple(S_OK, 9, true));
  // The ratio scales the height: 1 logical unit per point.
  EXPECT_EQ((std::tuple{font->SetRatio(72, 2540), font->get_hFont(&h), Describe(h).lfHeight,
                        font->QueryTextMetrics(nullptr), font->get_hFont(nullptr)}),
            std::tuple(S_OK, S_OK, -7, E_POINTER, E_POINTER));

  // Locked handles outlive changes until released.
  font = MakeFont(u"Times New Roman", 100000, 400);
  HFONT first = nullptr, second = nullptr;
  ASSERT_EQ(font->get_hFont(&first), S_OK);
  // Only a handle the font realised can be locked, and only a locked one released.
  for (HFONT other : {HFONT{}, reinterpret_cast<HFONT>(0x51)}) EXPECT_EQ(font->AddRefHfont(other), E_INVALIDARG);
  EXPECT_EQ(font->ReleaseHfont(first), E_INVALIDARG);
  CY size{};
  size.int64 = 120000;
  ASSERT_EQ(std::vector({font->AddRefHfont(first), font->AddRefHfont(first), font->put_Size(size)}),
            std::vector(3, S_OK));
  EXPECT_EQ((std::tuple{font->get_hFont(&second), second != first, Describe(second).lfHeight}),
            std::tuple(S_OK, true, -16));
  // Locked twice, it outlives one release and goes with the second.
  const auto release = [&] {
    const HRESULT hr = font->ReleaseHfont(first);
    return std::pair(hr, GetObjectType(first));
  };
  EXPECT_EQ(std::vector({release(), release(), release()}),
            (std::vector<std::pair<HRESULT, DWORD>>{{S_OK, OBJ_FONT}, {S_OK, 0}, {E_INVALIDARG, 0}}));

  // A handle selected into a device context survives its font object.
  Canvas canvas(4, 4);
  HGDIOBJ old = SelectObject(canvas.dc(), second);
  font.Reset();
  EXPECT_EQ((std::tuple{canvas.Metrics().tmHeight - canvas.Metrics().tmInternalLeading,
                        SelectObject(canvas.dc(), old) != nullptr, GetObjectType(second)}),
            std::tuple(16, true, 0u));
}

}  // namespace

// Painting text: cells, colours, background modes, alignment, ExtTextOutA fills and clipping.
#include "gdi_canvas.h"

#include <string>

using namespace gdi_test;

namespace {

constexpr COLORREF kPaleGreen = 0x00C0FFC0;

// Two canvases with the same font in transparent mode, for drawing the same text two ways.
struct Pair {
  Pair(int width, int height, int fontHeight) : a(width, height), b(width, height) {
    for (Canvas* c : {&a, &b}) {
      c->UseFont("Arial", fontHeight);
      SetBkMode(c->dc(), TRANSPARENT);
    }
  }
  Canvas a, b;
};

TEST(GdiTextDraw, TransparentTextPaintsInsideItsCellInTheTextColour) {
  Canvas canvas(200, 60);
  canvas.UseFont("Arial", -16);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), kRed);
  const std::string text = "Hello, World";
  ASSERT_TRUE(TextOutA(canvas.dc(), 20, 10, text.c_str(), static_cast<int>(text.size())));
  const SIZE cell = canvas.Extent(text);
  const Box box = canvas.Bounds();
  EXPECT_TRUE(Inside(box, 20, 10, 20 + cell.cx + 1, 10 + cell.cy));
  EXPECT_GT(box.Width(), cell.cx * 3 / 4);
  // Stems of the glyphs are covered fully: the exact text colour appears, and only red tones.
  EXPECT_GT(canvas.Count(kRed, 0, 0, 200, 60), 20);
  for (const auto& [x, y] : canvas.Painted()) {
    const COLORREF c = canvas.At(x, y);
    EXPECT_EQ(c & 0xFF, 0xFFu) << x << "," << y;  // blended towards red from white
    EXPECT_EQ((c >> 8) & 0xFF, (c >> 16) & 0xFF);
  }
  // The glyph body sits between the cell's top and its baseline plus descent: 'H' reaches the
  // ascender zone, ',' the descender zone.
  const TEXTMETRICA tm = canvas.Metrics();
  EXPECT_LT(box.top, 10 + tm.tmInternalLeading + tm.tmAscent / 2);
  EXPECT_GT(box.bottom, 10 + tm.tmAscent);
}

TEST(GdiTextDraw, OpaqueModeFillsTheCellFirstAndAlignmentMovesIt) {
  Canvas canvas(240, 120);
  canvas.UseFont("Arial", -14);
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), kPaleGreen);
  SetTextColor(canvas.dc(), kBlue);
  const SIZE cell = canvas.Extent("Align");
  const int ascent = canvas.Metrics().tmAscent;
  const std::pair<UINT, POINT> cases[] = {
      {TA_LEFT | TA_TOP, {100, 50}},
      {TA_RIGHT | TA_TOP, {100 - cell.cx, 50}},
      {TA_CENTER | TA_TOP, {100 - cell.cx / 2, 50}},
      {TA_LEFT | TA_BOTTOM, {100, 50 - cell.cy}},
      {TA_LEFT | TA_BASELINE, {100, 50 - ascent}},
      {TA_RIGHT | TA_BASELINE, {100 - cell.cx, 50 - ascent}},
  };
  for (const auto& [align, at] : cases) {
    canvas.Clear();
    SetTextAlign(canvas.dc(), align);
    EXPECT_EQ(GetTextAlign(canvas.dc()), align);
    ASSERT_TRUE(TextOutA(canvas.dc(), 100, 50, "Align", 5));
    EXPECT_EQ(canvas.Bounds(), (Box{at.x, at.y, at.x + cell.cx, at.y + cell.cy})) << align;
  }
  // The cell is filled with the background colour before the glyphs go on it.
  EXPECT_EQ(canvas.Count(kWhite, 100 - cell.cx, 50 - ascent, 100, 50 - ascent + cell.cy), 0);
  EXPECT_EQ(canvas.At(100 - cell.cx, 50 - ascent), kPaleGreen);
  EXPECT_GT(canvas.Count(kBlue, 0, 0, 240, 120), 10);
}

TEST(GdiTextDraw, UpdateCpDrawsFromAndAdvancesTheCurrentPosition) {
  Pair p(200, 40, -14);
  // A new context's current position is (0, 0).
  ASSERT_TRUE(TextOutA(p.a.dc(), 0, 0, "Current position", 16));
  SetTextAlign(p.b.dc(), TA_UPDATECP);
  ASSERT_TRUE(TextOutA(p.b.dc(), 99, 99, "Current ", 8));
  ASSERT_TRUE(TextOutA(p.b.dc(), 99, 99, "position", 8));
  EXPECT_FALSE(p.a.Bounds().Empty());
  EXPECT_EQ(p.b.Picture(), p.a.Picture());
  // Right alignment draws to the left of the position and moves it back.
  p.b.Clear();
  SetTextAlign(p.b.dc(), TA_UPDATECP | TA_RIGHT);
  ASSERT_TRUE(TextOutA(p.b.dc(), 0, 0, "position", 8));
  ASSERT_TRUE(TextOutA(p.b.dc(), 0, 0, "Current ", 8));
  EXPECT_EQ(p.b.Picture(), p.a.Picture());
}

TEST(GdiTextDraw, OpaqueRectangleWithoutTextFillsExactlyTheRectangle) {
  Canvas canvas(40, 30);
  SetBkColor(canvas.dc(), kPaleGreen);
  SetBkMode(canvas.dc(), TRANSPARENT);  // the rectangle is filled in either mode
  RECT r{5, 7, 25, 19};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr));
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  ExpectPicture(canvas, [](int x, int y) { return Inside(x, y, 5, 7, 25, 19) ? kPaleGreen : kWhite; });
  // Rectangles far outside or inverted fill nothing and do not fail.
  canvas.Clear();
  for (RECT nothing : {RECT{INT_MIN, INT_MIN, INT_MIN + 5, INT_MAX}, RECT{20, 20, 10, 10}})
    EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &nothing, "", 0, nullptr));
  EXPECT_TRUE(canvas.Painted().empty());
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &huge, "", 0, nullptr));
  EXPECT_TRUE(canvas.Painted(kPaleGreen).empty());
}

TEST(GdiTextDraw, ClippedTextStaysInsideTheRectangle) {
  Canvas canvas(200, 40);
  canvas.UseFont("Arial", -20);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), kRed);
  RECT r{30, 12, 60, 22};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 20, 5, ETO_CLIPPED, &r, "WWWWWWW", 7, nullptr));
  const Box box = canvas.Bounds();
  EXPECT_TRUE(Inside(box, 30, 12, 60, 22));
  EXPECT_EQ(box.left, 30);
  EXPECT_EQ(box.right, 60);
  // Opaque and clipped: the rectangle is filled, the text clipped to it.
  canvas.Clear();
  SetBkColor(canvas.dc(), kPaleGreen);
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 20, 5, ETO_CLIPPED | ETO_OPAQUE, &r, "WWWWWWW", 7, nullptr));
  EXPECT_EQ(canvas.Bounds(), (Box{30, 12, 60, 22}));
}

TEST(GdiTextDraw, SpacingArrayPlacesEachCharacter) {
  Pair p(300, 40, -14);
  const INT dx[4] = {40, 40, 40, 40};
  ASSERT_TRUE(ExtTextOutA(p.a.dc(), 10, 5, 0, nullptr, "IIII", 4, dx));
  // Each 'I' is a single one moved by 40 pixels.
  for (int k = 0; k < 4; ++k) ASSERT_TRUE(TextOutA(p.b.dc(), 10 + 40 * k, 5, "I", 1));
  EXPECT_EQ(p.a.Picture(), p.b.Picture());
}

TEST(GdiTextDraw, UnderlineRunsUnderTheWholeString) {
  Canvas canvas(200, 40);
  canvas.UseFont("Arial", -16, FW_NORMAL, false, true);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), kBlue);
  ASSERT_TRUE(TextOutA(canvas.dc(), 10, 5, "a  b", 4));
  const SIZE cell = canvas.Extent("a  b");
  const TEXTMETRICA tm = canvas.Metrics();
  int fullRows = 0;
  for (int y = 5 + tm.tmAscent; y < 5 + tm.tmHeight; ++y)
    fullRows += canvas.Count(kBlue, 10, y, 10 + cell.cx, y + 1) == cell.cx;
  EXPECT_GE(fullRows, 1);
  EXPECT_TRUE(Inside(canvas.Bounds(), 10, 5, 10 + cell.cx, 5 + tm.tmHeight));
}

TEST(GdiTextDraw, BadCallsFailWithoutDrawing) {
  Canvas canvas(20, 20);
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  SetLastError(0);
  EXPECT_FALSE(TextOutA(stale, 0, 0, "a", 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, "a", -1));
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, nullptr, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(TextOutA(canvas.dc(), 0, 0, nullptr, 0));
  EXPECT_EQ(SetTextColor(stale, kRed), CLR_INVALID);
  EXPECT_EQ(SetBkMode(canvas.dc(), 7), 0);
  EXPECT_EQ(GetBkMode(canvas.dc()), OPAQUE);
  // Far-away reference points draw nothing and do not overflow.
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MAX, INT_MAX, "far", 3));
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MIN, INT_MIN, "far", 3));
  SetTextAlign(canvas.dc(), TA_RIGHT | TA_BOTTOM);
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MIN, INT_MIN, "far", 3));
  EXPECT_TRUE(canvas.Painted().empty());
}

}  // namespace

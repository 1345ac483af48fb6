// Painting text: cells, colours, background modes, alignment, ExtTextOutA fills and clipping.
#include "gdi_text_canvas.h"

#include <string>
#include <vector>

using text_test::Box;
using text_test::Canvas;
using text_test::Inside;
using text_test::kWhite;

namespace {

constexpr COLORREF kRed = 0x000000FF;
constexpr COLORREF kBlue = 0x00FF0000;
constexpr COLORREF kPaleGreen = 0x00C0FFC0;

TEST(GdiTextDraw, TransparentTextPaintsInsideItsCellInTheTextColour) {
  Canvas canvas(200, 60);
  canvas.UseFont("Arial", -16);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), kRed);
  const std::string text = "Hello, World";
  ASSERT_TRUE(TextOutA(canvas.dc(), 20, 10, text.c_str(), static_cast<int>(text.size())));
  canvas.Save("transparent");
  const SIZE cell = canvas.Extent(text);
  const Box box = canvas.Painted();
  ASSERT_FALSE(box.Empty());
  EXPECT_TRUE(Inside(box, 20, 10, 20 + cell.cx + 1, 10 + cell.cy)) << box.left << "," << box.top << " " << box.right
                                                                     << "," << box.bottom;
  EXPECT_GT(box.Width(), cell.cx * 3 / 4);
  // Stems of the glyphs are covered fully: the exact text colour appears, and only red tones.
  EXPECT_GT(canvas.Count(kRed, 0, 0, 200, 60), 20);
  for (int y = box.top; y < box.bottom; ++y)
    for (int x = box.left; x < box.right; ++x) {
      COLORREF c = GetPixel(canvas.dc(), x, y);
      EXPECT_EQ(c & 0x000000FF, 0xFFu) << x << "," << y;  // blended towards red from white
      EXPECT_EQ((c >> 8) & 0xFF, (c >> 16) & 0xFF);
    }
  // The glyph body sits between the cell's top and its baseline plus descent: 'H' reaches the
  // ascender zone, ',' the descender zone.
  const TEXTMETRICA tm = canvas.Metrics();
  EXPECT_LT(box.top, 10 + tm.tmInternalLeading + tm.tmAscent / 2);
  EXPECT_GT(box.bottom, 10 + tm.tmAscent);
}

TEST(GdiTextDraw, OpaqueModeFillsTheCellFirst) {
  Canvas canvas(200, 60);
  canvas.UseFont("Arial", -16);
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), kPaleGreen);
  SetTextColor(canvas.dc(), kBlue);
  ASSERT_TRUE(TextOutA(canvas.dc(), 30, 15, "Opaque", 6));
  canvas.Save("opaque");
  const SIZE cell = canvas.Extent("Opaque");
  const Box box = canvas.Painted();
  EXPECT_EQ(box.left, 30);
  EXPECT_EQ(box.top, 15);
  EXPECT_EQ(box.right, 30 + cell.cx);
  EXPECT_EQ(box.bottom, 15 + cell.cy);
  EXPECT_EQ(canvas.Count(kWhite, 30, 15, 30 + cell.cx, 15 + cell.cy), 0);
  EXPECT_EQ(GetPixel(canvas.dc(), 30, 15), kPaleGreen);
  EXPECT_EQ(GetPixel(canvas.dc(), 30 + cell.cx - 1, 15 + cell.cy - 1), kPaleGreen);
  EXPECT_GT(canvas.Count(kBlue, 30, 15, 30 + cell.cx, 15 + cell.cy), 10);
}

TEST(GdiTextDraw, AlignmentMovesTheCellAroundTheReferencePoint) {
  Canvas canvas(240, 120);
  canvas.UseFont("Arial", -14);
  SetBkMode(canvas.dc(), OPAQUE);
  SetBkColor(canvas.dc(), kPaleGreen);
  const SIZE cell = canvas.Extent("Align");
  const TEXTMETRICA tm = canvas.Metrics();
  struct Case {
    UINT align;
    int left, top;
  } cases[] = {
      {TA_LEFT | TA_TOP, 100, 50},
      {TA_RIGHT | TA_TOP, 100 - cell.cx, 50},
      {TA_CENTER | TA_TOP, 100 - cell.cx / 2, 50},
      {TA_LEFT | TA_BOTTOM, 100, 50 - cell.cy},
      {TA_LEFT | TA_BASELINE, 100, 50 - tm.tmAscent},
      {TA_RIGHT | TA_BASELINE, 100 - cell.cx, 50 - tm.tmAscent},
  };
  for (const Case& c : cases) {
    canvas.Clear();
    SetTextAlign(canvas.dc(), c.align);
    EXPECT_EQ(GetTextAlign(canvas.dc()), c.align);
    ASSERT_TRUE(TextOutA(canvas.dc(), 100, 50, "Align", 5));
    const Box box = canvas.Painted();
    EXPECT_EQ(box.left, c.left) << c.align;
    EXPECT_EQ(box.top, c.top) << c.align;
    EXPECT_EQ(box.Width(), cell.cx) << c.align;
    EXPECT_EQ(box.Height(), cell.cy) << c.align;
  }
}

TEST(GdiTextDraw, UpdateCpDrawsFromAndAdvancesTheCurrentPosition) {
  Canvas whole(200, 40), pieces(200, 40);
  for (Canvas* c : {&whole, &pieces}) {
    c->UseFont("Arial", -14);
    SetBkMode(c->dc(), TRANSPARENT);
  }
  // A new context's current position is (0, 0).
  ASSERT_TRUE(TextOutA(whole.dc(), 0, 0, "Current position", 16));
  SetTextAlign(pieces.dc(), TA_UPDATECP);
  ASSERT_TRUE(TextOutA(pieces.dc(), 99, 99, "Current ", 8));
  ASSERT_TRUE(TextOutA(pieces.dc(), 99, 99, "position", 8));
  EXPECT_FALSE(whole.Painted().Empty());
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(GetPixel(whole.dc(), x, y), GetPixel(pieces.dc(), x, y)) << x << "," << y;
  // Right alignment draws to the left of the position and moves it back.
  pieces.Clear();
  SetTextAlign(pieces.dc(), TA_UPDATECP | TA_RIGHT);
  ASSERT_TRUE(TextOutA(pieces.dc(), 0, 0, "position", 8));
  ASSERT_TRUE(TextOutA(pieces.dc(), 0, 0, "Current ", 8));
  const Box box = pieces.Painted();
  EXPECT_GE(box.left, 0);
  EXPECT_LE(box.right, whole.Extent("Current position").cx);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_EQ(GetPixel(whole.dc(), x, y), GetPixel(pieces.dc(), x, y)) << x << "," << y;
}

TEST(GdiTextDraw, OpaqueRectangleWithoutTextFillsExactlyTheRectangle) {
  Canvas canvas(40, 30);
  SetBkColor(canvas.dc(), kPaleGreen);
  SetBkMode(canvas.dc(), TRANSPARENT);  // the rectangle is filled in either mode
  RECT r{5, 7, 25, 19};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr));
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  const Box box = canvas.Painted();
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.top, 7);
  EXPECT_EQ(box.right, 25);
  EXPECT_EQ(box.bottom, 19);
  EXPECT_EQ(canvas.Count(kPaleGreen, 5, 7, 25, 19), 20 * 12);
  // Rectangles far outside or inverted fill nothing and do not fail.
  canvas.Clear();
  RECT far{INT_MIN, INT_MIN, INT_MIN + 5, INT_MAX};
  RECT inverted{20, 20, 10, 10};
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &far, "", 0, nullptr));
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &inverted, "", 0, nullptr));
  EXPECT_TRUE(canvas.Painted().Empty());
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &huge, "", 0, nullptr));
  EXPECT_EQ(canvas.Count(kPaleGreen, 0, 0, 40, 30), 40 * 30);
}

TEST(GdiTextDraw, ClippedTextStaysInsideTheRectangle) {
  Canvas canvas(200, 40);
  canvas.UseFont("Arial", -20);
  SetBkMode(canvas.dc(), TRANSPARENT);
  SetTextColor(canvas.dc(), kRed);
  RECT r{30, 12, 60, 22};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 20, 5, ETO_CLIPPED, &r, "WWWWWWW", 7, nullptr));
  Box box = canvas.Painted();
  ASSERT_FALSE(box.Empty());
  EXPECT_TRUE(Inside(box, 30, 12, 60, 22));
  EXPECT_EQ(box.left, 30);
  EXPECT_EQ(box.right, 60);
  // Opaque and clipped: the rectangle is filled, the text clipped to it.
  canvas.Clear();
  SetBkColor(canvas.dc(), kPaleGreen);
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 20, 5, ETO_CLIPPED | ETO_OPAQUE, &r, "WWWWWWW", 7, nullptr));
  box = canvas.Painted();
  EXPECT_EQ(box.left, 30);
  EXPECT_EQ(box.top, 12);
  EXPECT_EQ(box.right, 60);
  EXPECT_EQ(box.bottom, 22);
}

TEST(GdiTextDraw, SpacingArrayPlacesEachCharacter) {
  Canvas spaced(300, 40), single(300, 40);
  for (Canvas* c : {&spaced, &single}) {
    c->UseFont("Arial", -14);
    SetBkMode(c->dc(), TRANSPARENT);
  }
  const INT dx[4] = {40, 40, 40, 40};
  ASSERT_TRUE(ExtTextOutA(spaced.dc(), 10, 5, 0, nullptr, "IIII", 4, dx));
  ASSERT_TRUE(TextOutA(single.dc(), 10, 5, "I", 1));
  const Box one = single.Painted();
  const Box four = spaced.Painted();
  EXPECT_EQ(four.left, one.left);
  EXPECT_EQ(four.right, one.right + 120);
  // Each 'I' is the single one moved by 40 pixels.
  for (int k = 0; k < 4; ++k)
    for (int y = 0; y < 40; ++y)
      for (int x = one.left; x < one.right; ++x)
        ASSERT_EQ(GetPixel(spaced.dc(), x + 40 * k, y), GetPixel(single.dc(), x, y)) << k;
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
  EXPECT_TRUE(Inside(canvas.Painted(), 10, 5, 10 + cell.cx, 5 + tm.tmHeight));
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
  EXPECT_TRUE(canvas.Painted().Empty());
}

}  // namespace

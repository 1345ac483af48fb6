// TextOutA and ExtTextOutA: cells, colours, background modes, alignment, fills, clipping and
// turned text.
#include "support/canvas.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <tuple>

namespace {

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
  EXPECT_GT(box.Width(), cell.cx * 3 / 4);
  // 'H' reaches the ascender zone, ',' the descender zone.
  EXPECT_LT(box.top, 10 + tm.tmInternalLeading + tm.tmAscent / 2);
  EXPECT_GT(box.bottom, 10 + tm.tmAscent);
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

TEST(TextOut, OpaqueModeFillsTheCellAndAlignmentMovesIt) {
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
  EXPECT_EQ(canvas.Count(kWhite, 100 - cell.cx, 50 - ascent, 100, 50 - ascent + cell.cy), 0);
  EXPECT_GT(canvas.Count(kBlue, 0, 0, 240, 120), 10);
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

TEST(TextOut, OpaqueRectangleIsFilledAndClipsTheText) {
  Canvas canvas(200, 40);
  canvas.UseFont("Arial", -20);
  SetBkColor(canvas.dc(), kGreen);
  SetBkMode(canvas.dc(), TRANSPARENT);  // the rectangle is filled in either mode
  RECT r{5, 7, 25, 19};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr));
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr));
  ExpectPicture(canvas, [](int x, int y) { return Box{5, 7, 25, 19}.Contains(x, y) ? kGreen : kWhite; });
  // Clipped, text drawn across the rectangle paints nothing outside it.
  canvas.Clear();
  r = RECT{30, 12, 60, 22};
  ASSERT_TRUE(ExtTextOutA(canvas.dc(), 20, 5, ETO_CLIPPED | ETO_OPAQUE, &r, "WWWWWWW", 7, nullptr));
  EXPECT_EQ(canvas.Bounds(), (Box{30, 12, 60, 22}));
  // Rectangles far outside or inverted fill nothing and do not fail; a huge one fills everything.
  canvas.Clear();
  for (RECT nothing : {RECT{INT_MIN, INT_MIN, INT_MIN + 5, INT_MAX}, RECT{20, 20, 10, 10}})
    EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &nothing, "", 0, nullptr));
  EXPECT_TRUE(canvas.Painted().empty());
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_TRUE(ExtTextOutA(canvas.dc(), 0, 0, ETO_OPAQUE, &huge, "", 0, nullptr));
  EXPECT_TRUE(canvas.Painted(kGreen).empty());
}

TEST(TextOut, BadCallsFailWithoutDrawing) {
  Canvas canvas(20, 20);
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  SetLastError(0);
  EXPECT_FALSE(TextOutA(stale, 0, 0, "a", 1));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(TextOutA(canvas.dc(), 0, 0, nullptr, 2));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(std::tuple(TextOutA(canvas.dc(), 0, 0, "a", -1), TextOutA(canvas.dc(), 0, 0, nullptr, 0),
                       SetTextColor(stale, kRed), SetBkMode(canvas.dc(), 7), GetBkMode(canvas.dc())),
            std::tuple(FALSE, TRUE, CLR_INVALID, 0, OPAQUE));
  // Far-away reference points draw nothing and do not overflow.
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MAX, INT_MAX, "far", 3) && TextOutA(canvas.dc(), INT_MIN, INT_MIN, "far", 3));
  SetTextAlign(canvas.dc(), TA_RIGHT | TA_BOTTOM);
  EXPECT_TRUE(TextOutA(canvas.dc(), INT_MIN, INT_MIN, "far", 3));
  EXPECT_TRUE(canvas.Painted().empty());
}

// Painted pixels in the upper half of a box less those in the lower half.
int UpperMinusLower(const Canvas& canvas, const Box& box) {
  int balance = 0;
  for (const auto& [x, y] : canvas.Painted()) balance += y < (box.top + box.bottom) / 2 ? 1 : -1;
  return balance;
}

// Titles of vertical axes as the axis controls draw them: turned by their not quite exact quarter
// turn about a corner of the strip, through the viewport origin. A title lies in its strip, its
// lines' block centred across it; a one-line title is as long as the text, centred along the
// strip and reads the right way, left titles downwards; a long one wraps into lines stacked across
// the strip.
TEST(TextRotate, AxisTitlesAreCentredInTheirStripAndReadTheRightWay) {
  for (const auto& [title, length, lines] : {std::tuple{"W Axis (linegr)......", 210, 1}, {"Wide Wide", 30, 2}})
    for (bool left : {false, true}) {
      SCOPED_TRACE(testing::Message() << title << (left ? " left" : " right"));
      Canvas canvas(70, length);
      canvas.UseFont("Arial", -9);
      SetBkMode(canvas.dc(), TRANSPARENT);
      const SIZE cell = canvas.Extent(title);
      const int strip = left ? 40 : 2, w = 28, th = lines * cell.cy;
      const float angle = left ? -1.57075f : 1.57075f;
      const XFORM turn{std::cos(angle), -std::sin(angle), std::sin(angle), std::cos(angle), 0, 0};
      SetGraphicsMode(canvas.dc(), GM_ADVANCED);
      ASSERT_TRUE(SetWorldTransform(canvas.dc(), &turn) &&
                  SetViewportOrgEx(canvas.dc(), left ? strip : strip + w, left ? 0 : length, nullptr));
      RECT text{0, -w + (w - th) / 2, length, 0};
      DrawTextA(canvas.dc(), title, -1, &text, DT_CENTER | DT_WORDBREAK | DT_NOCLIP);
      canvas.ResetMapping();
      const Box box = canvas.Bounds();
      ASSERT_FALSE(box.Empty());
      const int blockLeft = strip + (w - th) / 2;
      EXPECT_PRED2(Within, box,
                   (Box{std::max(strip, blockLeft - 1), 0, std::min(strip + w, blockLeft + th + 1), length}));
      if (lines == 1) {
        EXPECT_NEAR(box.Height(), cell.cx, 3);
        EXPECT_NEAR((box.top + box.bottom) / 2, length / 2, 3);
        EXPECT_EQ(UpperMinusLower(canvas, box) > 0, left);
      } else {
        EXPECT_GT(box.Width(), cell.cy);
      }
    }
}

}  // namespace

// Mix modes: the sixteen ROP2 functions, and exclusive-or drawing that mixes each pixel once and
// undoes itself, for every figure.
#include "support/canvas.h"

#include <functional>
#include <tuple>

namespace {

using namespace kelmira::test;
using Draw = std::function<void(HDC)>;

const POINT kZigzag[] = {{5, 5}, {80, 10}, {6, 20}, {85, 30}, {10, 60}, {10, 5}, {40, 40}, {40, 40}, {60, 41}};

TEST(RasterRop, SetRop2ReturnsThePreviousModeAndRejectsBadOnes) {
  Canvas canvas(4, 4);
  EXPECT_EQ(std::vector({GetROP2(canvas.dc()), SetROP2(nullptr, R2_BLACK), GetROP2(nullptr),
                         SetROP2(canvas.dc(), R2_NOTXORPEN), SetROP2(canvas.dc(), 0), SetROP2(canvas.dc(), 17),
                         GetROP2(canvas.dc())}),
            std::vector({R2_COPYPEN, 0, 0, R2_COPYPEN, 0, 0, R2_NOTXORPEN}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

// The mix number less one is a truth table: its bit (2 * pen bit + screen bit) is the result.
TEST(RasterRop, EveryMixCombinesPenAndScreenBitwise) {
  const COLORREF pen = 0x00F0CC0A, screen = 0x003C5AA5;
  for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
    SCOPED_TRACE(testing::Message() << "R2 " << rop);
    COLORREF mixed = 0;
    for (int bit = 0; bit < 24; ++bit)
      mixed |= static_cast<COLORREF>(((rop - 1) >> (2 * ((pen >> bit) & 1) + ((screen >> bit) & 1))) & 1) << bit;
    Canvas canvas(6, 3, screen);
    Selected selected(canvas.dc(), CreatePen(PS_SOLID, 0, pen));
    SetROP2(canvas.dc(), rop);
    Line(canvas.dc(), 0, 1, 5, 1);
    ExpectPicture(canvas, [&](int x, int y) { return y == 1 && x < 5 ? mixed : screen; });
    EXPECT_EQ(canvas.Bits()[8] >> 24, 0u);  // the top byte stays 0
  }
}

HGDIOBJ MakeBrush(int kind) {
  switch (kind) {
    case 1: return CreateSolidBrush(0x00336699);
    case 2: return CreateHatchBrush(HS_DIAGCROSS, 0x00FF00FF);
    case 3: return CreateHatchBrush(HS_CROSS, 0x0000AA00);
    default: return GetStockObject(NULL_BRUSH);
  }
}

// Over noise, R2_NOTXORPEN drawn twice must change pixels, then restore every one. When `once`,
// R2_XORPEN drawn on white must also change exactly the pixels R2_COPYPEN paints: a pixel mixed
// twice would come back white. (One-pixel polylines mix segment by segment, so they are spared.)
void ExpectMixes(const Draw& draw, int penStyle, int penWidth, int brush, int bkMode, bool once) {
  const int rops[] = {R2_NOTXORPEN, R2_COPYPEN, R2_XORPEN};
  PixelSet painted[2];
  for (int k = 0; k < (once ? 3 : 1); ++k) {
    Canvas canvas(90, 70);
    if (k == 0) canvas.Noise(42);
    const auto before = canvas.Bits();
    Selected pen(canvas.dc(), CreatePen(penStyle, penWidth, 0x00123456));
    Selected selectedBrush(canvas.dc(), MakeBrush(brush));
    SetBkMode(canvas.dc(), bkMode);
    SetBkColor(canvas.dc(), 0x00A0B0C0);
    SetROP2(canvas.dc(), rops[k]);
    draw(canvas.dc());
    EXPECT_NE(canvas.Bits(), before);
    if (k > 0) {
      painted[k - 1] = canvas.Painted();
    } else {
      draw(canvas.dc());
      EXPECT_EQ(canvas.Bits(), before);
    }
  }
  EXPECT_EQ(painted[1], painted[0]);
}

TEST(RasterRop, EveryFigureMixesEachPixelOnceAndNotXorTwiceRestores) {
  const Draw star = [](HDC dc) {
    for (const auto& [x, y] : {std::pair{85, 35}, {80, 65}, {45, 69}, {3, 60}, {2, 30}, {20, 0}, {45, -10}, {89, 2}})
      Line(dc, 45, 35, x, y);
    MoveToEx(dc, -100, 10, nullptr);
    LineTo(dc, 200, 60);
    LineTo(dc, 30, -200);
  };
  const Draw zigzag = [](HDC dc) { Polyline(dc, kZigzag, 9); };
  for (const int width : {0, 2, 3, 4, 7, 12})
    for (const int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT})
      for (const int mode : {OPAQUE, TRANSPARENT}) {
        SCOPED_TRACE(testing::Message() << "lines, style " << style << " width " << width << " mode " << mode);
        ExpectMixes(star, style, width, 0, mode, false);
        ExpectMixes(zigzag, style, width, 0, mode, width > 0);
      }
  // clang-format off
  const Draw shapes[] = {
      [](HDC dc) { Rectangle(dc, 5, 5, 40, 30); }, [](HDC dc) { Rectangle(dc, 60, 50, 45, 10); },
      [](HDC dc) { Rectangle(dc, -10, 40, 20, 100); }, [](HDC dc) { Rectangle(dc, 70, 2, 71, 20); },
      [](HDC dc) { Ellipse(dc, 20, 35, 70, 66); }, [](HDC dc) { Ellipse(dc, 8, 8, 12, 12); },
      [](HDC dc) { Ellipse(dc, 10, 10, 12, 40); }, [](HDC dc) { Ellipse(dc, 75, 60, 120, 80); }};
  // clang-format on
  for (std::size_t f = 0; f < std::size(shapes); ++f)
    for (int brush = 0; brush < 4; ++brush)
      for (const int mode : {OPAQUE, TRANSPARENT})
        for (const auto& [style, width] : {std::pair{PS_SOLID, 0}, {PS_DASHDOT, 0}, {PS_SOLID, 4}, {PS_NULL, 0}}) {
          SCOPED_TRACE("shape, brush, mode, style, width " +
                       testing::PrintToString(std::tuple(f, brush, mode, style, width)));
          // Without a pen there is nothing to draw without a brush, nor in a rectangle one pixel wide.
          if (style != PS_NULL || (brush && f != 3)) ExpectMixes(shapes[f], style, width, brush, mode, true);
        }
}

}  // namespace

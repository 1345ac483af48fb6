// Mix modes: the sixteen ROP2 functions, and exclusive-or drawing that undoes itself for every
// figure.
#include "support/canvas.h"

#include <functional>

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

// Drawn with R2_NOTXORPEN over noise, the figure must change pixels, and drawn again restore
// every one.
void ExpectXorUndoes(const Draw& draw, int penStyle, int penWidth, int brush, int bkMode) {
  Canvas canvas(90, 70);
  canvas.Noise(42);
  const auto before = canvas.Bits();
  Selected pen(canvas.dc(), CreatePen(penStyle, penWidth, 0x00123456));
  Selected selectedBrush(canvas.dc(), MakeBrush(brush));
  SetBkMode(canvas.dc(), bkMode);
  SetBkColor(canvas.dc(), 0x00A0B0C0);
  SetROP2(canvas.dc(), R2_NOTXORPEN);
  draw(canvas.dc());
  EXPECT_NE(canvas.Bits(), before);
  draw(canvas.dc());
  EXPECT_EQ(canvas.Bits(), before);
}

TEST(RasterRop, NotXorTwiceRestoresEveryFigure) {
  const Draw lines = [](HDC dc) {
    for (const auto& [x, y] : {std::pair{85, 35}, {80, 65}, {45, 69}, {3, 60}, {2, 30}, {20, 0}, {45, -10}, {89, 2}})
      Line(dc, 45, 35, x, y);
    Polyline(dc, kZigzag, 9);
    MoveToEx(dc, -100, 10, nullptr);
    LineTo(dc, 200, 60);
    LineTo(dc, 30, -200);
  };
  for (const int width : {0, 2, 3, 4, 7, 12})
    for (const int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT})
      for (const int mode : {OPAQUE, TRANSPARENT}) {
        SCOPED_TRACE(testing::Message() << "lines, style " << style << " width " << width << " mode " << mode);
        ExpectXorUndoes(lines, style, width, 0, mode);
      }
  const Draw shapes = [](HDC dc) {
    Rectangle(dc, 5, 5, 40, 30);
    Rectangle(dc, 60, 50, 45, 10);
    Rectangle(dc, -10, 40, 20, 100);
    Rectangle(dc, 70, 2, 71, 20);
    Ellipse(dc, 20, 35, 70, 66);
    Ellipse(dc, 8, 8, 12, 12);
    Ellipse(dc, 75, 60, 120, 80);
  };
  for (int brush = 0; brush < 4; ++brush)
    for (const int mode : {OPAQUE, TRANSPARENT})
      for (const auto& [style, width] : {std::pair{PS_SOLID, 0}, {PS_DOT, 0}, {PS_SOLID, 4}, {PS_NULL, 0}}) {
        SCOPED_TRACE(testing::Message() << "shapes, brush " << brush << " mode " << mode << " style " << style
                                        << " width " << width);
        if (brush || style != PS_NULL) ExpectXorUndoes(shapes, style, width, brush, mode);
      }
}

// Drawn once with R2_XORPEN on white, a figure changes exactly the pixels it paints with
// R2_COPYPEN: a pixel mixed twice would come back white. (One-pixel polylines are drawn segment
// by segment, so only wide ones are held to this.)
TEST(RasterRop, EachFigureMixesEveryPixelOnce) {
  const Draw figures[] = {[](HDC dc) { Polyline(dc, kZigzag, 9); },    [](HDC dc) { Rectangle(dc, 5, 5, 60, 50); },
                          [](HDC dc) { Rectangle(dc, 5, 5, 6, 50); },  [](HDC dc) { Ellipse(dc, 3, 4, 80, 66); },
                          [](HDC dc) { Ellipse(dc, 10, 10, 14, 14); }, [](HDC dc) { Ellipse(dc, 10, 10, 12, 40); }};
  for (const int width : {0, 2, 5})
    for (const int style : {PS_SOLID, PS_DASHDOT})
      for (std::size_t f = width == 0 ? 1 : 0; f < std::size(figures); ++f) {
        SCOPED_TRACE(testing::Message() << "width " << width << " style " << style << " figure " << f);
        PixelSet changed[2];
        for (const int rop : {R2_COPYPEN, R2_XORPEN}) {
          Canvas canvas(90, 70);
          Selected pen(canvas.dc(), CreatePen(style, width, 0x00123456));
          Selected brush(canvas.dc(), CreateHatchBrush(HS_DIAGCROSS, 0x00654321));
          SetBkColor(canvas.dc(), 0x00A0B0C0);
          SetROP2(canvas.dc(), rop);
          figures[f](canvas.dc());
          changed[rop == R2_XORPEN] = canvas.Painted();
        }
        EXPECT_FALSE(changed[0].empty());
        EXPECT_EQ(changed[1], changed[0]);
      }
}

}  // namespace

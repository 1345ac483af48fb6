// Mix modes: the sixteen ROP2 functions, SetROP2/GetROP2, and exclusive-or drawing that undoes
// itself for every figure.
#include "gdi_canvas.h"

#include <functional>

namespace {

using namespace gdi_test;

TEST(RasterRop, SetRop2ReturnsThePreviousModeAndRejectsBadOnes) {
  Canvas canvas(4, 4);
  EXPECT_EQ(GetROP2(canvas.dc()), R2_COPYPEN);
  EXPECT_EQ(SetROP2(canvas.dc(), R2_NOTXORPEN), R2_COPYPEN);
  EXPECT_EQ(SetROP2(canvas.dc(), R2_XORPEN), R2_NOTXORPEN);
  SetLastError(0);
  EXPECT_EQ(SetROP2(canvas.dc(), 0), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(SetROP2(canvas.dc(), 17), 0);
  EXPECT_EQ(GetROP2(canvas.dc()), R2_XORPEN);
  EXPECT_EQ(SetROP2(nullptr, R2_BLACK), 0);
  EXPECT_EQ(GetROP2(nullptr), 0);
}

TEST(RasterRop, EveryMixCombinesPenAndScreenBitwise) {
  const COLORREF pen = 0x00F0CC0A, screen = 0x003C5AA5;
  const std::function<std::uint32_t(std::uint32_t, std::uint32_t)> mixes[] = {
      [](auto, auto) { return 0u; },         [](auto p, auto d) { return ~(p | d); },
      [](auto p, auto d) { return ~p & d; }, [](auto p, auto) { return ~p; },
      [](auto p, auto d) { return p & ~d; }, [](auto, auto d) { return ~d; },
      [](auto p, auto d) { return p ^ d; },  [](auto p, auto d) { return ~(p & d); },
      [](auto p, auto d) { return p & d; },  [](auto p, auto d) { return ~(p ^ d); },
      [](auto, auto d) { return d; },        [](auto p, auto d) { return ~p | d; },
      [](auto p, auto) { return p; },        [](auto p, auto d) { return p | ~d; },
      [](auto p, auto d) { return p | d; },  [](auto, auto) { return ~0u; }};
  for (int rop = R2_BLACK; rop <= R2_WHITE; ++rop) {
    SCOPED_TRACE(testing::Message() << "R2 " << rop);
    Canvas canvas(6, 3, screen);
    Selected selected(canvas.dc(), CreatePen(PS_SOLID, 0, pen));
    SetROP2(canvas.dc(), rop);
    Line(canvas.dc(), 0, 1, 5, 1);
    EXPECT_EQ(canvas.At(2, 1), mixes[rop - 1](pen, screen) & 0x00FFFFFF);
    EXPECT_EQ(canvas.Pixels()[6 + 2] >> 24, 0u);  // the top byte stays 0
    EXPECT_EQ(canvas.At(5, 1), screen);
    EXPECT_EQ(canvas.At(2, 0), screen);
  }
}

// Draws the figure twice with R2_NOTXORPEN over noise: the first pass must change pixels and
// the second must restore every one.
using BrushMaker = std::function<HGDIOBJ()>;

HGDIOBJ NoBrush() { return GetStockObject(NULL_BRUSH); }

void ExpectXorUndoes(const char* what, const std::function<void(HDC)>& draw, int penStyle = PS_SOLID, int penWidth = 0,
                     const BrushMaker& makeBrush = NoBrush, int bkMode = OPAQUE) {
  SCOPED_TRACE(what);
  Canvas canvas(90, 70);
  canvas.Noise(42);
  const auto before = canvas.Pixels();
  Selected pen(canvas.dc(), CreatePen(penStyle, penWidth, 0x00123456));
  Selected brush(canvas.dc(), makeBrush());
  SetBkMode(canvas.dc(), bkMode);
  SetBkColor(canvas.dc(), 0x00A0B0C0);
  SetROP2(canvas.dc(), R2_NOTXORPEN);
  draw(canvas.dc());
  EXPECT_NE(canvas.Pixels(), before);
  draw(canvas.dc());
  EXPECT_EQ(canvas.Pixels(), before);
}

TEST(RasterRop, NotXorTwiceRestoresLinesOfEveryStyleAndWidth) {
  const auto star = [](HDC dc) {
    for (const auto& [x, y] : {std::pair{85, 35}, {80, 65}, {45, 69}, {3, 60}, {2, 30}, {20, 0}, {45, -10}, {89, 2}}) {
      MoveToEx(dc, 45, 35, nullptr);
      LineTo(dc, x, y);
    }
    MoveToEx(dc, -100, 10, nullptr);
    LineTo(dc, 200, 60);
    LineTo(dc, 30, -200);
  };
  for (const int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT}) {
    for (const int mode : {OPAQUE, TRANSPARENT}) {
      ExpectXorUndoes(("style " + std::to_string(style) + " mode " + std::to_string(mode)).c_str(), star, style, 0,
                      NoBrush, mode);
    }
  }
  const POINT zigzag[] = {{5, 5}, {80, 10}, {6, 20}, {85, 30}, {10, 60}, {10, 5}};
  ExpectXorUndoes("polyline", [&](HDC dc) { Polyline(dc, zigzag, 6); });
  ExpectXorUndoes(
      "dotted polyline", [&](HDC dc) { Polyline(dc, zigzag, 6); }, PS_DOT);
  const POINT joints[] = {{5, 5}, {80, 10}, {6, 20}, {85, 30}, {10, 60}, {10, 5}, {40, 40}, {40, 40}, {60, 41}};
  for (const int width : {2, 3, 4, 7, 12}) {
    ExpectXorUndoes(
        "wide polyline", [&](HDC dc) { Polyline(dc, joints, 9); }, PS_SOLID, width);
    ExpectXorUndoes(
        "wide dashed line", [&](HDC dc) { Line(dc, -20, 70, 100, -3); }, PS_DASH, width);
  }
}

TEST(RasterRop, NotXorTwiceRestoresRectanglesAndEllipses) {
  const auto shapes = [](HDC dc) {
    Rectangle(dc, 5, 5, 40, 30);
    Rectangle(dc, 60, 50, 45, 10);
    Rectangle(dc, -10, 40, 20, 100);
    Rectangle(dc, 70, 2, 71, 20);
    Ellipse(dc, 20, 35, 70, 66);
    Ellipse(dc, 8, 8, 12, 12);
    Ellipse(dc, 75, 60, 120, 80);
  };
  const BrushMaker brushes[] = {NoBrush, [] { return HGDIOBJ{CreateSolidBrush(0x00336699)}; },
                                [] { return HGDIOBJ{CreateHatchBrush(HS_DIAGCROSS, 0x00FF00FF)}; },
                                [] { return HGDIOBJ{CreateHatchBrush(HS_CROSS, 0x0000AA00)}; }};
  for (const BrushMaker& brush : brushes) {
    for (const int mode : {OPAQUE, TRANSPARENT}) {
      ExpectXorUndoes("solid pen", shapes, PS_SOLID, 0, brush, mode);
      ExpectXorUndoes("dotted pen", shapes, PS_DOT, 0, brush, mode);
      ExpectXorUndoes("wide pen", shapes, PS_SOLID, 4, brush, mode);
      if (&brush != &brushes[0]) ExpectXorUndoes("null pen", shapes, PS_NULL, 0, brush, mode);
    }
  }
}

// Drawn once with R2_XORPEN on white, a figure changes exactly the pixels it paints with
// R2_COPYPEN: a pixel mixed twice would come back white. (One-pixel polylines are drawn
// segment by segment, so only wide ones are held to this.)
TEST(RasterRop, EachFigureMixesEveryPixelOnce) {
  const POINT zigzag[] = {{5, 5}, {80, 10}, {6, 20}, {85, 30}, {10, 60}, {10, 5}, {40, 40}, {60, 41}};
  const std::function<void(HDC)> figures[] = {
      [&](HDC dc) { Polyline(dc, zigzag, 8); },    [](HDC dc) { Rectangle(dc, 5, 5, 60, 50); },
      [](HDC dc) { Rectangle(dc, 5, 5, 6, 50); },  [](HDC dc) { Ellipse(dc, 3, 4, 80, 66); },
      [](HDC dc) { Ellipse(dc, 10, 10, 14, 14); }, [](HDC dc) { Ellipse(dc, 10, 10, 12, 40); }};
  for (const int width : {0, 2, 5}) {
    for (const int style : {PS_SOLID, PS_DASHDOT}) {
      for (std::size_t f = width == 0 ? 1 : 0; f < std::size(figures); ++f) {
        SCOPED_TRACE(testing::Message() << "width " << width << " style " << style << " figure " << f);
        std::vector<std::pair<int, int>> changed[2];
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
  }
}

}  // namespace

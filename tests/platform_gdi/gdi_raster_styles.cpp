// Styled one-pixel pens: on/off runs, gap colour by background mode, and where the pattern
// continues or starts afresh.
#include "gdi_canvas.h"

#include <string>

namespace {

using namespace gdi_test;

// Row y from x0 to x1-1 as text: 'P' pen colour, 'B' background colour, '.' untouched (white).
std::string RowText(const Canvas& canvas, int y, int x0, int x1, COLORREF pen = kBlack, COLORREF bk = kGreen) {
  std::string out;
  for (int x = x0; x < x1; ++x) {
    const COLORREF c = canvas.At(x, y);
    out += c == pen ? 'P' : c == bk ? 'B' : c == kWhite ? '.' : '?';
  }
  return out;
}

std::string Runs(std::initializer_list<std::pair<char, int>> runs) {
  std::string out;
  for (const auto& [c, n] : runs) out.append(static_cast<std::size_t>(n), c);
  return out;
}

struct StyledCanvas : Canvas {
  StyledCanvas(int style, int bkMode) : Canvas(120, 20), pen(dc(), CreatePen(style, 0, kBlack)) {
    SetBkColor(dc(), kGreen);
    SetBkMode(dc(), bkMode);
  }
  Selected pen;
};

TEST(RasterStyles, DashAndDotRunsWithOpaqueOrTransparentGaps) {
  StyledCanvas dash(PS_DASH, OPAQUE);
  Line(dash.dc(), 0, 1, 60, 1);
  EXPECT_EQ(RowText(dash, 1, 0, 61), Runs({{'P', 18}, {'B', 6}, {'P', 18}, {'B', 6}, {'P', 12}, {'.', 1}}));

  StyledCanvas dot(PS_DOT, OPAQUE);
  Line(dot.dc(), 0, 1, 14, 1);
  EXPECT_EQ(RowText(dot, 1, 0, 15), "PPPBBBPPPBBBPP.");

  StyledCanvas dashDot(PS_DASHDOT, OPAQUE);
  Line(dashDot.dc(), 0, 1, 30, 1);
  EXPECT_EQ(RowText(dashDot, 1, 0, 30), Runs({{'P', 9}, {'B', 6}, {'P', 3}, {'B', 6}, {'P', 6}}));

  StyledCanvas dashDotDot(PS_DASHDOTDOT, OPAQUE);
  Line(dashDotDot.dc(), 0, 1, 30, 1);
  EXPECT_EQ(RowText(dashDotDot, 1, 0, 30),
            Runs({{'P', 9}, {'B', 3}, {'P', 3}, {'B', 3}, {'P', 3}, {'B', 3}, {'P', 6}}));

  // Clipping keeps the phase.
  StyledCanvas clipped(PS_DASH, OPAQUE);
  Line(clipped.dc(), -20, 1, 40, 1);
  EXPECT_EQ(RowText(clipped, 1, 0, 41), Runs({{'B', 4}, {'P', 18}, {'B', 6}, {'P', 12}, {'.', 1}}));

  // Transparent mode leaves the gaps alone; vertical runs are counted down the column.
  StyledCanvas transparent(PS_DASH, TRANSPARENT);
  Line(transparent.dc(), 0, 1, 48, 1);
  EXPECT_EQ(RowText(transparent, 1, 0, 48), Runs({{'P', 18}, {'.', 6}, {'P', 18}, {'.', 6}}));
  StyledCanvas column(PS_DOT, TRANSPARENT);
  Line(column.dc(), 5, 1, 5, 13);
  std::string down;
  for (int y = 1; y < 14; ++y) down += column.At(5, y) == kBlack ? 'P' : '.';
  EXPECT_EQ(down, "PPP...PPP....");
}

TEST(RasterStyles, PatternIsCountedAlongTheMajorAxis) {
  StyledCanvas dash(PS_DASH, OPAQUE);
  Line(dash.dc(), 0, 0, 30, 15);
  int pen = 0, gap = 0;
  for (int x = 0; x < 30; ++x) {
    const int y = x / 2;  // exact halves go to the smaller row
    const COLORREF c = dash.At(x, y);
    (x % 24 < 18 ? pen : gap) += c == (x % 24 < 18 ? kBlack : kGreen) ? 1 : 0;
  }
  EXPECT_EQ(pen, 24);
  EXPECT_EQ(gap, 6);
}

TEST(RasterStyles, PatternContinuesAcrossLineToAndRestartsAtMoveTo) {
  StyledCanvas joined(PS_DASH, OPAQUE);
  MoveToEx(joined.dc(), 0, 1, nullptr);
  LineTo(joined.dc(), 10, 1);
  LineTo(joined.dc(), 40, 1);
  StyledCanvas single(PS_DASH, OPAQUE);
  Line(single.dc(), 0, 1, 40, 1);
  EXPECT_EQ(RowText(joined, 1, 0, 41), RowText(single, 1, 0, 41));

  StyledCanvas restarted(PS_DASH, OPAQUE);
  Line(restarted.dc(), 0, 1, 10, 1);
  Line(restarted.dc(), 10, 1, 40, 1);
  EXPECT_EQ(RowText(restarted, 1, 10, 41), Runs({{'P', 18}, {'B', 6}, {'P', 6}, {'.', 1}}));

  // Polyline starts its own pattern and does not disturb the context's.
  StyledCanvas poly(PS_DOT, OPAQUE);
  MoveToEx(poly.dc(), 0, 3, nullptr);
  LineTo(poly.dc(), 4, 3);
  const POINT points[] = {{0, 1}, {5, 1}, {11, 1}};
  Polyline(poly.dc(), points, 3);
  LineTo(poly.dc(), 10, 3);
  EXPECT_EQ(RowText(poly, 1, 0, 12), "PPPBBBPPPBB.");
  EXPECT_EQ(RowText(poly, 3, 0, 11), "PPPBBBPPPB.");
}

TEST(RasterStyles, NullPenDrawsNothingButMoves) {
  Canvas canvas(20, 20);
  Selected pen(canvas.dc(), CreatePen(PS_NULL, 0, kBlack));
  MoveToEx(canvas.dc(), 1, 1, nullptr);
  EXPECT_TRUE(LineTo(canvas.dc(), 15, 9));
  POINT old{};
  MoveToEx(canvas.dc(), 0, 0, &old);
  EXPECT_EQ(P(old), P(15, 9));
  EXPECT_TRUE(canvas.Painted().empty());
}

TEST(RasterStyles, StyledRectangleWalksTheOutlineOnce) {
  StyledCanvas rect(PS_DOT, OPAQUE);
  Selected brush(rect.dc(), GetStockObject(NULL_BRUSH));
  Rectangle(rect.dc(), 2, 2, 12, 8);
  // Clockwise from the top-left corner: 9 pixels along the top, then down the right side.
  EXPECT_EQ(RowText(rect, 2, 2, 12), "PPPBBBPPPB");
  std::string right;
  for (int y = 3; y < 8; ++y) right += rect.At(11, y) == kBlack ? 'P' : 'B';
  EXPECT_EQ(right, "BBPPP");
}

}  // namespace

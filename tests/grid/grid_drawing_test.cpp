// GridLayer drawing: exact pixels of lines, frame and pen styles, and the per-direction line cap.
#include "support/canvas.h"
#include "support/create.h"

#include <vector>

namespace kelmira::test {
namespace {

constexpr COLORREF kGrey = 0x00C0C0C0;

ComPtr<IGridLayer> MakeGrid(LONG style = 0) {
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  grid->put_LineStyle(style);
  grid->put_LineColor(kRed);
  return grid;
}

ComPtr<IGridLayer> FixedGrid(double xStep, double yStep) {
  auto grid = MakeGrid();
  grid->put_AutoStep(VARIANT_FALSE);
  grid->put_XStep(xStep);
  grid->put_YStep(yStep);
  return grid;
}

std::vector<int> PaintedColumns(const Canvas& canvas, int row, int from = 0, int to = -1) {
  std::vector<int> columns;
  for (int x = from; x < (to < 0 ? canvas.width() : to); ++x)
    if (canvas.At(x, row) != kWhite) columns.push_back(x);
  return columns;
}

std::vector<int> PaintedRows(const Canvas& canvas, int column) {
  std::vector<int> rows;
  for (int y = 0; y < canvas.height(); ++y)
    if (canvas.At(column, y) != kWhite) rows.push_back(y);
  return rows;
}

std::vector<int> Every(int first, int step, int last) {
  std::vector<int> values;
  for (int v = first; v <= last; v += step) values.push_back(v);
  return values;
}

TEST(GridDrawingTest, LinesFallOnWholeMultiplesFromJustOutsideToJustPastTheArea) {
  // The 600 x 400 area sits at (100, 100) of a larger bitmap so that the lines drawn outside it
  // (px -60 and 660, py 479 and -1) can be seen.
  Canvas canvas(800, 600);
  SetViewportOrgEx(canvas.dc(), 100, 100, nullptr);
  ASSERT_EQ(MakeGrid()->Redraw(LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100)), S_OK);
  canvas.ResetMapping();
  // Vertical lines at px -60, 0, 60, ..., 660, each over rows 0..399 of the area; horizontal lines
  // at py 479, 399, ..., 79, -1, each over columns 0..599 of the area.
  ExpectPicture(canvas, [](int x, int y) {
    const bool column = (x - 40) % 60 == 0 && x <= 760 && y >= 100 && y < 500;
    const bool row = y >= 99 && (y - 99) % 80 == 0 && y <= 579 && x >= 100 && x < 700;
    return column || row ? kRed : kWhite;
  });
}

TEST(GridDrawingTest, ScaledOffsetsAreCutTowardZeroBeforeTheEdgeIsApplied) {
  Canvas canvas(300, 200);
  DrawLayerInfo info = LayerInfo(canvas.dc(), 200, 100, 0, 1, 0, 1);
  info.left = 10;
  info.XMin = 5;
  info.XScale = 1.3;
  info.YScale = 3.35;
  ASSERT_EQ(FixedGrid(10, 10)->Redraw(info), S_OK);
  // x = 0 has offset -6.5: cut to -6, plus left gives 4 (not 3); x = 10: 6.5 -> 16; x = 20: 29.
  EXPECT_EQ(PaintedColumns(canvas, 50, 0, 60), (std::vector<int>{4, 16, 29, 42, 55}));
  // y = 10 has offset 33.5: 99 - 33 = 66, one row below the 65 of a whole-expression cut;
  // y = -10 lies below the area at 132, y = 30 above it at -1.
  EXPECT_EQ(PaintedRows(canvas, 100), (std::vector<int>{32, 66, 99, 132}));
}

TEST(GridDrawingTest, EachDirectionStopsAfterTenThousandLines) {
  // A negative step walks one pixel per line away from the area's far edge, so the lines never
  // pass it and the cap ends the drawing; every line stays visible, so they can be counted.
  Canvas wide(10010, 6);
  DrawLayerInfo info = LayerInfo(wide.dc(), 5, 4, 0, 1, 0, 1);
  info.left = 10005;
  info.right = 10010;
  info.XScale = 4;
  info.top = 5;  // top > bottom: no horizontal lines
  ASSERT_EQ(FixedGrid(-0.25, 1)->Redraw(info), S_OK);
  EXPECT_EQ(PaintedColumns(wide, 5), Every(7, 1, 10006));
  EXPECT_TRUE(PaintedColumns(wide, 4).empty());

  Canvas tall(6, 10400);
  info = LayerInfo(tall.dc(), 4, 400, 0, 1, 0, 1);
  info.left = 5;  // left > right: no vertical lines
  info.YScale = 1;
  ASSERT_EQ(FixedGrid(1, -1)->Redraw(info), S_OK);
  // The first multiple, y = 1, goes back to 0 because the view starts at 0: rows 399 down.
  EXPECT_EQ(PaintedRows(tall, 5), Every(399, 1, 10398));
  EXPECT_TRUE(PaintedRows(tall, 4).empty());
}

TEST(GridDrawingTest, ZeroAndTinyStepsDrawTheCapOnOnePixelLine) {
  // All lines of a direction land on the same pixels; drawn in NOTXOR mode an even count
  // leaves no trace, while the copy mode shows they were drawn.
  struct Case {
    double xStep, yStep;
    bool column;  // which line they pile up on: column 0 or row 399
  } const cases[] = {{0, 1e9, true}, {1e9, 0.000000001, false}, {0, 0, true}};
  for (const Case& c : cases) {
    for (int mode : {R2_COPYPEN, R2_NOTXORPEN}) {
      SCOPED_TRACE(testing::Message() << c.xStep << " " << c.yStep << " mode " << mode);
      Canvas canvas(600, 400);
      SetROP2(canvas.dc(), mode);
      ASSERT_EQ(FixedGrid(c.xStep, c.yStep)->Redraw(LayerInfo(canvas.dc(), 600, 400, 0.5, 100.5, 0.5, 100.5)), S_OK);
      if (c.yStep == 0) continue;  // both directions pile up; only termination matters
      PixelSet line;
      for (int i = 0; mode == R2_COPYPEN && i < (c.column ? 400 : 600); ++i)
        line.insert(c.column ? Pixel{0, i} : Pixel{i, 399});
      EXPECT_PAINTED(canvas, line);
    }
  }
}

TEST(GridDrawingTest, BorderIsASolidFrameOnTheOutermostPixels) {
  auto grid = MakeGrid(2);  // dotted grid lines; the frame stays solid
  grid->put_Lines(VARIANT_FALSE);
  grid->put_Border(VARIANT_TRUE);
  Canvas canvas(202, 102);
  SetViewportOrgEx(canvas.dc(), 1, 1, nullptr);
  ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 200, 100, 0, 100, 0, 100)), S_OK);
  canvas.ResetMapping();
  EXPECT_EQ(canvas.Bounds(), (Box{1, 1, 201, 101}));
  EXPECT_EQ(canvas.Count(kRed, 0, 0, 202, 102), 2 * 200 + 2 * 100 - 4);
  EXPECT_EQ(canvas.Count(kRed, 2, 2, 200, 100), 0);
}

TEST(GridDrawingTest, PenStylesFillTheirGapsWithTheContextBackground) {
  struct Case {
    LONG style;
    int on, off;
  } const cases[] = {{0, 1, 0}, {1, 18, 6}, {2, 3, 3}, {7, 3, 3}, {-1, 3, 3}};
  for (const Case& c : cases) {
    for (bool opaque : {true, false}) {
      SCOPED_TRACE(testing::Message() << "style " << c.style << (opaque ? " opaque" : " transparent"));
      auto grid = MakeGrid(c.style);
      grid->put_AutoStep(VARIANT_FALSE);
      grid->put_XStep(10);
      grid->put_YStep(20);
      Canvas canvas(600, 400);
      SetBkColor(canvas.dc(), kGrey);  // what a background layer leaves behind
      SetBkMode(canvas.dc(), opaque ? OPAQUE : TRANSPARENT);
      ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100)), S_OK);
      // Column 60 (x = 10) from its top end, and row 79 (y = 80) from its left end.
      for (int i = 0; i < 48; ++i) {
        const COLORREF expected = i % (c.on + c.off) < c.on ? kRed : opaque ? kGrey : kWhite;
        EXPECT_EQ(canvas.At(60, i), expected) << "row " << i;
        EXPECT_EQ(canvas.At(i, 79), expected) << "column " << i;
      }
      EXPECT_EQ(GetBkColor(canvas.dc()), kGrey);
    }
  }
}

TEST(GridDrawingTest, LeavesTheContextAsItFoundIt) {
  auto grid = MakeGrid(1);
  grid->put_Border(VARIANT_TRUE);
  Canvas canvas(100, 100);
  const HGDIOBJ pen = CreatePen(PS_SOLID, 3, 0x00123456);
  const HGDIOBJ before = SelectObject(canvas.dc(), pen);
  ASSERT_EQ(grid->Redraw(canvas.Info(0, 100, 0, 100)), S_OK);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
  SelectObject(canvas.dc(), before);
  EXPECT_TRUE(DeleteObject(pen));  // still the host's
  // A record without a usable context still chooses the steps and reports success.
  EXPECT_EQ(grid->Redraw(LayerInfo(nullptr, 600, 400, 0, 100, 0, 100)), S_OK);
  double step = 0;
  grid->get_YStep(&step);
  EXPECT_EQ(step, 20.0);
}

}  // namespace
}  // namespace kelmira::test

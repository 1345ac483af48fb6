// GridLayer drawing: exact pixels of lines, frame and pen styles, and the per-direction line cap.
#include "layer_canvas.h"

#include <gtest/gtest.h>

#include <vector>

using grid_test::Canvas;
using grid_test::kGrey;
using grid_test::kRed;
using grid_test::kWhite;
using grid_test::LayerInfo;
using kelmira::ComPtr;

namespace {

ComPtr<IGridLayer> MakeGrid(LONG style = 0, COLORREF color = kRed) {
  ComPtr<IGridLayer> grid;
  EXPECT_EQ(
      CoCreateInstance(CLSID_GridLayer, nullptr, CLSCTX_INPROC_SERVER, IID_IGridLayer, reinterpret_cast<void**>(&grid)),
      S_OK);
  if (grid) {
    grid->put_LineStyle(style);
    grid->put_LineColor(color);
  }
  return grid;
}

void FixSteps(IGridLayer* grid, double xStep, double yStep) {
  grid->put_AutoStep(VARIANT_FALSE);
  grid->put_XStep(xStep);
  grid->put_YStep(yStep);
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

}  // namespace

TEST(GridDrawingTest, LinesFallOnWholeMultiplesFromJustOutsideToJustPastTheArea) {
  ComPtr<IGridLayer> grid = MakeGrid();
  ASSERT_TRUE(grid);
  // The 600 x 400 area sits at (100, 100) of a larger bitmap so that the lines drawn outside it
  // (px -60 and 660, py 479 and -1) can be seen.
  Canvas canvas(800, 600);
  SetViewportOrgEx(canvas.dc(), 100, 100, nullptr);
  ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100)), S_OK);
  SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);

  // Vertical lines at px -60, 0, 60, ..., 660, each over rows 0..399 of the area.
  EXPECT_EQ(PaintedColumns(canvas, 150), Every(40, 60, 760));
  EXPECT_EQ(PaintedRows(canvas, 40), Every(100, 1, 499));
  // Horizontal lines at py 479, 399, ..., 79, -1, each over columns 0..599 of the area.
  const std::vector<int> rows = {99, 179, 259, 339, 419, 499, 579};
  EXPECT_EQ(PaintedRows(canvas, 130), rows);
  EXPECT_EQ(PaintedColumns(canvas, 579), Every(100, 1, 699));
  EXPECT_EQ(canvas.At(160, 300), kRed);
}

TEST(GridDrawingTest, ScaledOffsetsAreCutTowardZeroBeforeTheEdgeIsApplied) {
  ComPtr<IGridLayer> grid = MakeGrid();
  ASSERT_TRUE(grid);
  FixSteps(grid.get(), 10, 10);
  Canvas canvas(300, 200);
  DrawLayerInfo info = LayerInfo(canvas.dc(), 200, 100, 0, 1, 0, 1);
  info.left = 10;
  info.XMin = 5;
  info.XScale = 1.3;
  info.YScale = 3.35;
  ASSERT_EQ(grid->Redraw(info), S_OK);

  // x = 0 has offset -6.5: cut to -6, plus left gives 4 (not 3); x = 10: 6.5 -> 16; x = 20: 29.
  EXPECT_EQ(PaintedColumns(canvas, 50, 0, 60), (std::vector<int>{4, 16, 29, 42, 55}));
  // y = 10 has offset 33.5: 99 - 33 = 66, one row below the 65 of a whole-expression cut;
  // y = -10 lies below the area at 132, y = 30 above it at -1.
  EXPECT_EQ(PaintedRows(canvas, 100), (std::vector<int>{32, 66, 99, 132}));
}

TEST(GridDrawingTest, EachDirectionStopsAfterTenThousandLines) {
  // A negative step walks one pixel per line away from the area's far edge, so the lines never
  // pass it and the cap ends the drawing; every line stays visible, so they can be counted.
  {
    ComPtr<IGridLayer> grid = MakeGrid();
    ASSERT_TRUE(grid);
    FixSteps(grid.get(), -0.25, 1);
    Canvas canvas(10010, 6);
    DrawLayerInfo info = LayerInfo(canvas.dc(), 5, 4, 0, 1, 0, 1);
    info.left = 10005;
    info.right = 10010;
    info.XScale = 4;
    info.top = 5;  // top > bottom: no horizontal lines
    ASSERT_EQ(grid->Redraw(info), S_OK);
    EXPECT_EQ(PaintedColumns(canvas, 5), Every(7, 1, 10006));
    EXPECT_TRUE(PaintedColumns(canvas, 4).empty());
  }
  {
    ComPtr<IGridLayer> grid = MakeGrid();
    ASSERT_TRUE(grid);
    FixSteps(grid.get(), 1, -1);
    Canvas canvas(6, 10400);
    DrawLayerInfo info = LayerInfo(canvas.dc(), 4, 400, 0, 1, 0, 1);
    info.left = 5;  // left > right: no vertical lines
    info.YScale = 1;
    ASSERT_EQ(grid->Redraw(info), S_OK);
    // The first multiple, y = 1, goes back to 0 because the view starts at 0: rows 399 down.
    EXPECT_EQ(PaintedRows(canvas, 5), Every(399, 1, 10398));
    EXPECT_TRUE(PaintedRows(canvas, 4).empty());
  }
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
      ComPtr<IGridLayer> grid = MakeGrid();
      ASSERT_TRUE(grid);
      FixSteps(grid.get(), c.xStep, c.yStep);
      Canvas canvas(600, 400);
      SetROP2(canvas.dc(), mode);
      ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 600, 400, 0.5, 100.5, 0.5, 100.5)), S_OK);
      if (c.yStep == 0) continue;  // both directions pile up; only termination matters
      if (mode == R2_NOTXORPEN) {
        EXPECT_EQ(canvas.CountPainted(), 0) << c.xStep << " " << c.yStep;
      } else if (c.column) {
        EXPECT_EQ(PaintedRows(canvas, 0), Every(0, 1, 399));
        EXPECT_EQ(canvas.CountPainted(), 400);
      } else {
        EXPECT_EQ(PaintedColumns(canvas, 399), Every(0, 1, 599));
        EXPECT_EQ(canvas.CountPainted(), 600);
      }
    }
  }
}

TEST(GridDrawingTest, BorderIsASolidFrameOnTheOutermostPixels) {
  ComPtr<IGridLayer> grid = MakeGrid(2);  // dotted grid lines; the frame stays solid
  ASSERT_TRUE(grid);
  grid->put_Lines(VARIANT_FALSE);
  grid->put_Border(VARIANT_TRUE);
  Canvas canvas(202, 102);
  SetViewportOrgEx(canvas.dc(), 1, 1, nullptr);
  ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 200, 100, 0, 100, 0, 100)), S_OK);
  SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);
  EXPECT_EQ(PaintedColumns(canvas, 1), Every(1, 1, 200));
  EXPECT_EQ(PaintedColumns(canvas, 100), Every(1, 1, 200));
  EXPECT_EQ(PaintedColumns(canvas, 50), (std::vector<int>{1, 200}));
  EXPECT_EQ(PaintedRows(canvas, 1), Every(1, 1, 100));
  EXPECT_EQ(PaintedRows(canvas, 200), Every(1, 1, 100));
  EXPECT_EQ(canvas.CountPainted(), 2 * 200 + 2 * 100 - 4);
  EXPECT_EQ(canvas.At(1, 1), kRed);
}

TEST(GridDrawingTest, PenStylesFillTheirGapsWithTheContextBackground) {
  struct Case {
    LONG style;
    int on, off;
  } const cases[] = {{0, 1, 0}, {1, 18, 6}, {2, 3, 3}, {7, 3, 3}, {-1, 3, 3}};
  for (const Case& c : cases) {
    for (bool opaque : {true, false}) {
      ComPtr<IGridLayer> grid = MakeGrid(c.style);
      ASSERT_TRUE(grid);
      FixSteps(grid.get(), 10, 20);
      Canvas canvas(600, 400);
      SetBkColor(canvas.dc(), kGrey);  // what a background layer leaves behind
      SetBkMode(canvas.dc(), opaque ? OPAQUE : TRANSPARENT);
      ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100)), S_OK);
      // Column 60 (x = 10) from its top end, and row 79 (y = 80) from its left end.
      const COLORREF gap = opaque ? kGrey : kWhite;
      for (int i = 0; i < 48; ++i) {
        const COLORREF expected = i % (c.on + c.off) < c.on ? kRed : gap;
        EXPECT_EQ(canvas.At(60, i), expected) << "style " << c.style << " row " << i;
        EXPECT_EQ(canvas.At(i, 79), expected) << "style " << c.style << " column " << i;
      }
      EXPECT_EQ(GetBkColor(canvas.dc()), kGrey);
    }
  }
}

TEST(GridDrawingTest, LeavesTheContextAsItFoundIt) {
  ComPtr<IGridLayer> grid = MakeGrid(1);
  ASSERT_TRUE(grid);
  grid->put_Border(VARIANT_TRUE);
  Canvas canvas(100, 100);
  const HGDIOBJ pen = CreatePen(PS_SOLID, 3, 0x00123456);
  const HGDIOBJ before = SelectObject(canvas.dc(), pen);
  ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 100, 100, 0, 100, 0, 100)), S_OK);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
  SelectObject(canvas.dc(), before);
  EXPECT_TRUE(DeleteObject(pen));

  // A record without a usable context still chooses the steps and reports success.
  DrawLayerInfo stale = LayerInfo(nullptr, 600, 400, 0, 100, 0, 100);
  grid->put_AutoStep(VARIANT_TRUE);
  EXPECT_EQ(grid->Redraw(stale), S_OK);
  double step = 0;
  grid->get_YStep(&step);
  EXPECT_EQ(step, 20.0);
}

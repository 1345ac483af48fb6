// GridLayer drawing: exact pixels of lines, frame and pen styles, and the per-direction line cap.
#include "support/canvas.h"
#include "support/create.h"

#include <vector>

namespace kelmira::test {
namespace {

constexpr COLORREF kGrey = 0x00C0C0C0;

// A red grid with fixed steps.
ComPtr<IGridLayer> Grid(double xStep, double yStep, LONG style = 0) {
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  grid->put_LineStyle(style);
  grid->put_LineColor(kRed);
  grid->put_AutoStep(VARIANT_FALSE);
  grid->put_XStep(xStep);
  grid->put_YStep(yStep);
  return grid;
}

// The painted columns of a row (column < 0), or the painted rows of a column.
std::vector<int> PaintedAlong(const Canvas& canvas, int row, int column = -1) {
  std::vector<int> found;
  for (int i = 0; i < (column < 0 ? canvas.width() : canvas.height()); ++i)
    if ((column < 0 ? canvas.At(i, row) : canvas.At(column, i)) != kWhite) found.push_back(i);
  return found;
}

TEST(GridDrawingTest, LinesFallOnWholeMultiplesFromJustOutsideToJustPastTheAreaCutTowardZero) {
  // The 600 x 400 area sits at (100, 100) of a larger bitmap so that the lines drawn outside it
  // (px -60 and 660, py 479 and -1) can be seen.
  Canvas canvas(800, 600);
  SetViewportOrgEx(canvas.dc(), 100, 100, nullptr);
  ASSERT_EQ(Grid(10, 20)->Redraw(LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100)), S_OK);
  canvas.ResetMapping();
  // Vertical lines at px -60, 0, 60, ..., 660, each over rows 0..399 of the area; horizontal lines
  // at py 479, 399, ..., 79, -1, each over columns 0..599 of the area.
  ExpectPicture(canvas, [](int x, int y) {
    const bool column = (x - 40) % 60 == 0 && x <= 760 && y >= 100 && y < 500;
    const bool row = y >= 99 && (y - 99) % 80 == 0 && y <= 579 && x >= 100 && x < 700;
    return column || row ? kRed : kWhite;
  });

  // Scaled offsets are cut toward zero before the edge is added.
  Canvas scaled(300, 200);
  DrawLayerInfo info = LayerInfo(scaled.dc(), 200, 100, 0, 1, 0, 1);
  info.left = 10;
  info.XMin = 5;
  info.XScale = 1.3;
  info.YScale = 3.35;
  ASSERT_EQ(Grid(10, 10)->Redraw(info), S_OK);
  // x = 0 has offset -6.5: cut to -6, plus left gives 4 (not 3); x = 10: 6.5 -> 16; x = 20: 29.
  std::vector<int> columns = PaintedAlong(scaled, 50);
  columns.resize(5);
  EXPECT_EQ(columns, (std::vector<int>{4, 16, 29, 42, 55}));
  // y = 10 has offset 33.5: 99 - 33 = 66, one row below the 65 of a whole-expression cut;
  // y = -10 lies below the area at 132, y = 30 above it at -1.
  EXPECT_EQ(PaintedAlong(scaled, 0, 100), (std::vector<int>{32, 66, 99, 132}));
}

TEST(GridDrawingTest, EachDirectionStopsAfterTenThousandLines) {
  // A negative step walks one pixel per line away from the area's far edge, so the lines never
  // pass it and the cap ends the drawing; every line stays visible, so they can be counted.
  auto span = [](const std::vector<int>& v) { return std::tuple(static_cast<int>(v.size()), v.front(), v.back()); };
  Canvas wide(10010, 6);
  DrawLayerInfo info = LayerInfo(wide.dc(), 5, 4, 0, 1, 0, 1);
  info.left = 10005;
  info.right = 10010;
  info.XScale = 4;
  info.top = 5;  // top > bottom: no horizontal lines
  ASSERT_EQ(Grid(-0.25, 1)->Redraw(info), S_OK);
  EXPECT_EQ(std::pair(span(PaintedAlong(wide, 5)), PaintedAlong(wide, 4)),  // each column once
            std::pair(std::tuple(10000, 7, 10006), std::vector<int>{}));

  Canvas tall(6, 10400);
  info = LayerInfo(tall.dc(), 4, 400, 0, 1, 0, 1);
  info.left = 5;  // left > right: no vertical lines
  info.YScale = 1;
  ASSERT_EQ(Grid(1, -1)->Redraw(info), S_OK);
  // The first multiple, y = 1, goes back to 0 because the view starts at 0: rows 399 down.
  EXPECT_EQ(std::pair(span(PaintedAlong(tall, 0, 5)), PaintedAlong(tall, 0, 4)),
            std::pair(std::tuple(10000, 399, 10398), std::vector<int>{}));
}

TEST(GridDrawingTest, ZeroAndTinyStepsDrawTheCapOnOnePixelLine) {
  // All lines of a direction land on the same pixels, from the view's edge.
  struct Case {
    double xStep, yStep;
    bool column;  // which line they pile up on: column 0 or row 399
  } const cases[] = {{0, 1e9, true}, {1e9, 0.000000001, false}, {0, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.xStep << " " << c.yStep);
    Canvas canvas(600, 400);
    ASSERT_EQ(Grid(c.xStep, c.yStep)->Redraw(LayerInfo(canvas.dc(), 600, 400, 0.5, 100.5, 0.5, 100.5)), S_OK);
    if (c.yStep == 0) continue;  // both directions pile up; only termination matters
    PixelSet line;
    for (int i = 0; i < (c.column ? 400 : 600); ++i) line.insert(c.column ? Pixel{0, i} : Pixel{i, 399});
    EXPECT_PAINTED(canvas, line);
  }
}

TEST(GridDrawingTest, BorderIsASolidFrameOnTheOutermostPixelsAndTheHostPenStays) {
  auto grid = Grid(10, 20, 2);  // dotted grid lines; the frame stays solid
  grid->put_Lines(VARIANT_FALSE);
  grid->put_Border(VARIANT_TRUE);
  Canvas canvas(202, 102);
  SetViewportOrgEx(canvas.dc(), 1, 1, nullptr);
  const HGDIOBJ pen = CreatePen(PS_SOLID, 3, 0x00123456), before = SelectObject(canvas.dc(), pen);
  ASSERT_EQ(grid->Redraw(LayerInfo(canvas.dc(), 200, 100, 0, 100, 0, 100)), S_OK);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
  SelectObject(canvas.dc(), before);
  EXPECT_TRUE(DeleteObject(pen));  // still the host's
  canvas.ResetMapping();
  EXPECT_EQ(std::tuple(canvas.Bounds(), canvas.Count(kRed, 0, 0, 202, 102), canvas.Count(kRed, 2, 2, 200, 100)),
            std::tuple(Box{1, 1, 201, 101}, 2 * 200 + 2 * 100 - 4, 0));
}

TEST(GridDrawingTest, PenStylesFillTheirGapsWithTheContextBackground) {
  struct Case {
    LONG style;
    int on, off;
  } const cases[] = {{0, 1, 0}, {1, 18, 6}, {2, 3, 3}, {7, 3, 3}, {-1, 3, 3}};
  for (const Case& c : cases) {
    for (bool opaque : {true, false}) {
      SCOPED_TRACE(testing::Message() << "style " << c.style << (opaque ? " opaque" : " transparent"));
      Canvas canvas(600, 400);
      SetBkColor(canvas.dc(), kGrey);  // what a background layer leaves behind
      SetBkMode(canvas.dc(), opaque ? OPAQUE : TRANSPARENT);
      const HGDIOBJ pen = GetCurrentObject(canvas.dc(), OBJ_PEN);
      ASSERT_EQ(Grid(10, 20, c.style)->Redraw(LayerInfo(canvas.dc(), 600, 400, 0, 100, 0, 100)), S_OK);
      // Column 60 (x = 10) from its top end, and row 79 (y = 80) from its left end.
      for (int i = 0; i < 48; ++i) {
        const COLORREF expected = i % (c.on + c.off) < c.on ? kRed : opaque ? kGrey : kWhite;
        EXPECT_EQ(std::pair(canvas.At(60, i), canvas.At(i, 79)), std::pair(expected, expected)) << i;
      }
      EXPECT_EQ(std::pair(GetBkColor(canvas.dc()), GetCurrentObject(canvas.dc(), OBJ_PEN)), std::pair(kGrey, pen));
    }
  }
}

}  // namespace
}  // namespace kelmira::test

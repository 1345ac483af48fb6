// Drawing of a line layer into a memory bitmap, checked pixel by pixel.
#include "line_test_support.h"

#include <cmath>

using namespace linetest;

namespace {

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Union(std::initializer_list<PixelSet> sets) {
  PixelSet all;
  for (const PixelSet& s : sets) all.insert(s.begin(), s.end());
  return all;
}

// A 100 x 100 area showing 0..10 in both directions: point i of an index-X line with Offset 1
// lies at x pixel 10 * (i + 1), and y at row 99 - 10 * y.
PixelSet DrawOnSmallArea(ILineData* data) {
  Canvas canvas(100, 100);
  ComPtr<ILineLayer> layer = NewLayer();
  AddWhiteLine(layer.get(), data);
  EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);
  return canvas.PaintedPixels();
}

}  // namespace

TEST(LineDrawTest, IndexLineJoinsItsPointsAndRestoresTheContext) {
  Canvas canvas(100, 100);
  ComPtr<ILineLayer> layer = NewLayer();
  ComPtr<ILineData> data = NewData({1, 2, 3, 4});
  AddWhiteLine(layer.get(), data.get());
  HGDIOBJ penBefore = GetCurrentObject(canvas.dc(), OBJ_PEN);
  HGDIOBJ brushBefore = GetCurrentObject(canvas.dc(), OBJ_BRUSH);

  EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);

  // (10,89), (20,79), (30,69), (40,59), joined by three segments; the last end pixel is left out.
  EXPECT_EQ(canvas.PaintedPixels(), Union({ReferenceSegment(10, 89, 20, 79), ReferenceSegment(20, 79, 30, 69),
                                           ReferenceSegment(30, 69, 40, 59)}));
  EXPECT_EQ(canvas.At(10, 89), kWhite);
  EXPECT_EQ(canvas.At(30, 69), kWhite);
  EXPECT_FALSE(canvas.Painted(40, 59));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), penBefore);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_BRUSH), brushBefore);
}

TEST(LineDrawTest, HiddenAndBadPointsBreakTheLine) {
  const PixelSet twoPieces = Union({ReferenceSegment(10, 89, 20, 79), ReferenceSegment(40, 59, 50, 49)});
  // A point is hidden by its mask (index 2 below) or by the bad value -5 or 7, for each kind of X.
  struct Case {
    std::vector<double> ys;
    XKind kind;
    std::vector<int> hidden;
    HRESULT (STDMETHODCALLTYPE ILineData::*putBad)(double);
    double bad;
    bool empty;
  } const cases[] = {
      {{1, 2, 3, 4, 5}, XKind::Index, {2}, nullptr, 0, false},
      {{1, 2, -5, 4, 5}, XKind::Index, {}, &ILineData::put_BadDataValue, -5, false},
      {{1, 2, 3, 4, 5}, XKind::Single, {2}, nullptr, 0, false},
      {{1, 2, -5, 4, 5}, XKind::Double, {}, &ILineData::put_BadDataValueY, -5, false},
      // A shown point between two hidden ones has nothing to join.
      {{1, 2, 3}, XKind::Index, {0, 2}, nullptr, 0, true},
      {{7, 2, 7}, XKind::Single, {}, &ILineData::put_BadDataValue, 7, true},
  };
  for (const Case& c : cases) {
    const std::vector<double> xs = {1, 2, 3, 4, 5};
    ComPtr<ILineData> data = NewData(c.ys, c.kind, {xs.begin(), xs.begin() + static_cast<std::ptrdiff_t>(c.ys.size())});
    SetMask(data.get(), c.hidden);
    if (c.putBad) (data.get()->*c.putBad)(c.bad);
    EXPECT_EQ(DrawOnSmallArea(data.get()), c.empty ? PixelSet{} : twoPieces) << &c - cases;
  }
  // The default bad value written as a float is an ordinary point, drawn far below the area:
  // the segment from (10,89) runs straight down column 10.
  ComPtr<ILineData> data = NewData({1, 0, 3});
  data->put_DataY(1, -999999.9);  // stored as -999999.875
  const PixelSet painted = DrawOnSmallArea(data.get());
  for (int row = 89; row < 100; ++row) EXPECT_TRUE(painted.count({10, row})) << row;
  // With the bad value set to what the float holds, the point breaks the line.
  data->put_BadDataValue(static_cast<double>(static_cast<float>(-999999.9)));
  EXPECT_TRUE(DrawOnSmallArea(data.get()).empty());
}

TEST(LineDrawTest, MarkersAreDedupedAndStayInsideTheArea) {
  // X values put points where wanted: X 10 is the right column, Y -0.1 the bottom row (row 100).
  ComPtr<ILineData> data = NewData({1, 1, 5, 5, 20, 4, -0.1, -0.2, 5},  //
                                   XKind::Double, {1, 1, 3, -1, 4, 10, 5, 6, 8});
  SetMask(data.get(), {8});
  for (LONG shape : {0, 1, 2}) {
    Canvas canvas(100, 100);
    ComPtr<ILineLayer> layer = NewLayer();
    layer->put_Style(1);
    ComPtr<ILine> line = AddWhiteLine(layer.get(), data.get());
    line->put_PointStyle(shape);
    // Exclusive-or: a marker drawn twice would leave no trace.
    SetROP2(canvas.dc(), R2_XORPEN);
    EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);

    Canvas expected(100, 100);
    {
      Tools tools(expected.dc(), PS_SOLID, 0, kWhite);
      SetROP2(expected.dc(), R2_XORPEN);
      const HDC dc = expected.dc();
      for (POINT p : {POINT{10, 89}, POINT{30, 49}, POINT{100, 59}, POINT{50, 100}}) {
        const int x = p.x, y = p.y;
        if (shape == 0) {
          Ellipse(dc, x - 2, y - 2, x + 2, y + 2);
        } else if (shape == 1) {
          Segment(dc, x - 2, y, x + 3, y);
          Segment(dc, x, y - 2, x, y + 3);
        } else {
          Segment(dc, x - 2, y - 2, x + 3, y + 3);
          Segment(dc, x - 2, y + 2, x + 3, y - 3);
        }
      }
    }
    EXPECT_FALSE(expected.PaintedPixels().empty());
    EXPECT_TRUE(canvas.Differences(expected).empty()) << "shape " << shape;
  }
}

TEST(LineDrawTest, IndexLineStartsHalfAUnitLeftOfTheView) {
  // One pixel per unit: XMin 50.7 starts at index 49 (x = 50, pixel trunc(-0.7) = 0). Index 48
  // would be joined from pixel -1 on row 10 and mark column 0 above row 90.
  std::vector<double> ys(200, 9.0);
  for (int i = 0; i <= 48; ++i) ys[i] = 89.0;
  ComPtr<ILineData> data = NewData(ys);
  Canvas canvas(100, 100);
  ComPtr<ILineLayer> layer = NewLayer();
  AddWhiteLine(layer.get(), data.get());

  EXPECT_EQ(layer->Redraw(canvas.Info(50.7, 150.7, 0, 100)), S_OK);

  PixelSet expected;
  for (int x = 0; x < 100; ++x) expected.insert({x, 90});
  EXPECT_EQ(canvas.PaintedPixels(), expected);

  // A first index past the last point draws nothing.
  Canvas empty(100, 100);
  EXPECT_EQ(layer->Redraw(empty.Info(300.7, 400.7, 0, 100)), S_OK);
  EXPECT_TRUE(empty.PaintedPixels().empty());
}

TEST(LineDrawTest, IndexLineStopsAfterTheFirstPointRightOfTheArea) {
  // Points at x pixels 10, 20, ..., 100 (the right column, still inside), 110 (the first beyond)
  // and 120, which jumps far up. A 30-pixel pen reaches back into the area from the segment
  // 110 -> 120; it is drawn only when the line goes on (X values need not increase).
  std::vector<double> ys(12, 5.0);
  ys[11] = 100.0;
  std::vector<double> xs;
  for (int i = 0; i < 12; ++i) xs.push_back(i + 1);
  for (XKind kind : {XKind::Index, XKind::Single}) {
    ComPtr<ILineData> data = NewData(ys, kind, xs);
    Canvas canvas(100, 100);
    ComPtr<ILineLayer> layer = NewLayer();
    ComPtr<ILine> line = AddWhiteLine(layer.get(), data.get());
    line->put_Width(30);
    EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);
    EXPECT_TRUE(canvas.Painted(50, 49));
    EXPECT_EQ(canvas.Painted(97, 10), kind == XKind::Single);
  }
}

TEST(LineDrawTest, ColumnMergeDrawsOnlyWhatLeavesTheLastSegment) {
  // One pixel per unit, y = 99 - row: each point below sits on the pixel named beside it.
  const std::vector<std::pair<int, int>> pixels = {
      {10, 50},  // start
      {20, 50},  // drawn: a new column
      {20, 60},  // drawn: same column, but no span yet since the start
      {20, 60},  // same row as the last end: nothing
      {20, 55},  // inside the span 50..60: kept as the pending point
      {20, 52},  // inside again: replaces the pending point
      {20, 40},  // leaves the span: move to (20,52), line to (20,40)
      {20, 60},  // inside the new span 40..60 (its far end included): pending
      {30, 60},  // a new column: move to (20,60), line to (30,60)
  };
  std::vector<double> xs, ys;
  for (auto [x, row] : pixels) xs.push_back(x), ys.push_back(99 - row);
  for (LONG style : {0, 1}) {
    ComPtr<ILineData> data = NewData(ys, XKind::Double, xs);
    Canvas canvas(100, 100);
    ComPtr<ILineLayer> layer = NewLayer();
    AddWhiteLine(layer.get(), data.get(), style);
    SetROP2(canvas.dc(), R2_XORPEN);  // overlapping segments cancel: the exact calls show
    EXPECT_EQ(layer->Redraw(canvas.Info(0, 100, 0, 100)), S_OK);

    Canvas expected(100, 100);
    {
      Tools tools(expected.dc(), style, 0, kWhite);
      SetROP2(expected.dc(), R2_XORPEN);
      Segment(expected.dc(), 10, 50, 20, 50);
      LineTo(expected.dc(), 20, 60);
      Segment(expected.dc(), 20, 52, 20, 40);
      Segment(expected.dc(), 20, 60, 30, 60);
    }

    EXPECT_TRUE(canvas.Differences(expected).empty()) << "style " << style;
    EXPECT_FALSE(canvas.Painted(20, 40));
  }
}

TEST(LineDrawTest, PenStylesAndWidthsMatchMoveAndLineTo) {
  // 700 points, one column apart, zigzagging, hidden at 300 and 301: several batches and a
  // break, so a dash pattern must run on across batches and restart after the break.
  constexpr int kPoints = 700;
  std::vector<double> ys;
  for (int i = 0; i < kPoints; ++i) ys.push_back(20 + (i * 7) % 60);
  ComPtr<ILineData> data = NewData(ys);
  SetMask(data.get(), {300, 301});
  const COLORREF kGap = 0x00404040;

  struct Pen {
    LONG style;
    LONG width;
  };
  for (Pen pen : {Pen{0, 0}, Pen{1, 0}, Pen{2, 1}, Pen{1, 5}, Pen{0, 3}}) {
    Canvas canvas(1000, 100);
    SetBkColor(canvas.dc(), kGap);
    ComPtr<ILineLayer> layer = NewLayer();
    ComPtr<ILine> line = AddWhiteLine(layer.get(), data.get(), pen.style);
    line->put_Width(pen.width);
    EXPECT_EQ(layer->Redraw(canvas.Info(0, 1000, 0, 100)), S_OK);

    Canvas expected(1000, 100);
    SetBkColor(expected.dc(), kGap);
    Tools tools(expected.dc(), pen.style, pen.width, kWhite);
    bool joined = false;
    for (int i = 0; i < kPoints; ++i) {
      if (i == 300 || i == 301) {
        joined = false;
        continue;
      }
      const int x = i + 1, y = 99 - static_cast<int>(ys[i]);
      if (joined)
        LineTo(expected.dc(), x, y);
      else
        MoveToEx(expected.dc(), x, y, nullptr);
      joined = true;
    }

    EXPECT_TRUE(canvas.Differences(expected).empty()) << "style " << pen.style << " width " << pen.width;
    if (pen.style != 0 && pen.width <= 1) {
      // The gaps show: some pixel of the line took the background colour.
      bool gap = false;
      for (int x = 1; x < 300 && !gap; ++x)
        for (int y = 0; y < 100 && !gap; ++y) gap = canvas.At(x, y) == kGap;
      EXPECT_TRUE(gap);
    }
  }
}

TEST(LineDrawTest, LinesWithoutDataPointsOrVisibilityDrawNothingButPlaceholdersInDesignMode) {
  Canvas canvas(100, 100);
  ComPtr<ILineLayer> layer = NewLayer();
  AddWhiteLine(layer.get(), nullptr);
  ComPtr<ILineData> data = NewData({1, 2, 3, 4}), empty = NewData({});
  ComPtr<ILine> hidden = AddWhiteLine(layer.get(), data.get());
  hidden->put_Visible(VARIANT_FALSE);
  AddWhiteLine(layer.get(), empty.get());
  EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);
  EXPECT_TRUE(canvas.PaintedPixels().empty());

  // Design mode draws one placeholder per line whatever the data; the hidden line keeps its place at 50.
  layer->put_DesignMode(VARIANT_TRUE);
  EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);
  PixelSet expected;
  for (int x = 0; x < 100; ++x) expected.insert({x, 25}), expected.insert({x, 75});
  EXPECT_EQ(canvas.PaintedPixels(), expected);
}

TEST(LineDrawTest, ExtremeValuesDrawWithoutFault) {
  const double nan = std::nan("");
  const double inf = HUGE_VAL;
  ComPtr<ILineData> data = NewData({nan, 1e30, -1e30, inf, 5, -inf});
  ComPtr<ILineData> withX = NewData({nan, 1e30, 5, 5}, XKind::Double, {1e300, -inf, nan, 2});
  for (LONG layerStyle : {0, 1}) {
    Canvas canvas(100, 100);
    ComPtr<ILineLayer> layer = NewLayer();
    layer->put_Style(layerStyle);
    layer->put_Offset(-2147483647 - 1);
    AddWhiteLine(layer.get(), data.get());
    AddWhiteLine(layer.get(), withX.get());
    EXPECT_EQ(layer->Redraw(canvas.Info(0, 10, 0, 10)), S_OK);
    DrawLayerInfo odd = canvas.Info(-1e300, 1e300, 0, 10);
    odd.XScale = inf;
    EXPECT_EQ(layer->Redraw(odd), S_OK);
    odd.XMin = nan;
    odd.YScale = -1e300;
    EXPECT_EQ(layer->Redraw(odd), S_OK);
  }
}

// Drawing of a line layer into a memory bitmap, checked pixel by pixel, and its use of ILineData;
// the fast path against the plain reference: random lines drawn both ways must paint the same
// pixels and leave the same current position, whatever the data, view, pen, mix, clip and transform.
#include "layers/line_render.h"

#include "layers/pixel_interval.h"
#include "support/canvas.h"
#include "support/counting_line_data.h"
#include "support/line_data.h"

#include <array>
#include <cmath>
#include <random>
#include <vector>

namespace kelmira::test {
namespace {

// A line layer that draws white lines onto a black canvas.
struct Drawing {
  explicit Drawing(int width = 100, int height = 100) : canvas(width, height, kBlack) {}
  ComPtr<ILine> Add(ILineData* data, LONG style = 0) {
    ComPtr<ILine> line;
    EXPECT_EQ(layer->AddLine(nullptr, kWhite, style, &line), S_OK);
    if (data) line->put_Data(data);
    return line;
  }
  HRESULT Redraw(double xmin, double xmax, double ymin, double ymax) {
    return layer->Redraw(canvas.Info(xmin, xmax, ymin, ymax));
  }
  Canvas canvas;
  ComPtr<ILineLayer> layer = Create<ILineLayer>(CLSID_LineLayer);
};

// What a white one-pixel pen paints for these segments (x0, y0, x1, y1) on a black 100 x 100 area.
PixelSet Segments(std::initializer_list<std::array<int, 4>> segments) {
  Canvas canvas(100, 100, kBlack);
  Selected pen(canvas.dc(), CreatePen(PS_SOLID, 0, kWhite));
  for (auto [x0, y0, x1, y1] : segments) Line(canvas.dc(), x0, y0, x1, y1);
  return canvas.Painted();
}

// A 100 x 100 area showing 0..10 in both directions: point i of an index-X line with Offset 1
// lies at x pixel 10 * (i + 1), and y at row 99 - 10 * y.
PixelSet DrawOnSmallArea(ILineData* data) {
  Drawing d;
  d.Add(data);
  EXPECT_EQ(d.Redraw(0, 10, 0, 10), S_OK);
  return d.canvas.Painted();
}

TEST(LineDrawTest, IndexLineJoinsItsPointsOthersDrawNothingButPlaceholdersInDesignMode) {
  auto failing = CountingLineData::Wrap(NewLineData({5, 5}));
  failing->failMask = true;  // a line whose data fails is skipped
  Drawing d;
  d.Add(failing.get());
  d.Add(NewLineData({1, 2, 3, 4}).get());
  d.Add(nullptr);  // no data, no points, hidden: nothing drawn
  d.Add(NewLineData({1, 2, 3, 4}).get())->put_Visible(VARIANT_FALSE);
  d.Add(NewLineData({}).get());
  const HDC dc = d.canvas.dc();
  const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
  EXPECT_EQ(d.Redraw(0, 10, 0, 10), S_OK);
  // (10,89), (20,79), (30,69), (40,59), joined by three segments; the last end pixel is left out.
  EXPECT_PAINTED(d.canvas, Segments({{10, 89, 20, 79}, {20, 79, 30, 69}, {30, 69, 40, 59}}));
  EXPECT_EQ(std::pair(GetCurrentObject(dc, OBJ_PEN), GetCurrentObject(dc, OBJ_BRUSH)), std::pair(pen, brush));

  // Design mode draws one placeholder per line whatever the data, at rows 100 * k / 6; the hidden
  // fourth line keeps its place at 66.
  d.layer->put_DesignMode(VARIANT_TRUE);
  d.canvas.Clear();
  EXPECT_EQ(d.Redraw(0, 10, 0, 10), S_OK);
  EXPECT_PAINTED(d.canvas, Segments({{0, 16, 100, 16}, {0, 33, 100, 33}, {0, 50, 100, 50}, {0, 83, 100, 83}}));
}

TEST(LineDrawTest, HiddenAndBadPointsBreakTheLine) {
  const PixelSet twoPieces = Segments({{10, 89, 20, 79}, {40, 59, 50, 49}});
  // A point is hidden by its mask (the indexes given) or by a bad value (put through the member
  // given), for each kind of X.
  using PutBad = HRESULT (STDMETHODCALLTYPE ILineData::*)(double);
  const std::tuple<std::vector<double>, XKind, std::vector<int>, PutBad, double> cases[] = {
      {{1, 2, 3, 4, 5}, XKind::Index, {2}, nullptr, 0},
      {{1, 2, -5, 4, 5}, XKind::Index, {}, &ILineData::put_BadDataValue, -5},
      {{1, 2, 3, 4, 5}, XKind::Single, {2}, nullptr, 0},
      {{1, 2, -5, 4, 5}, XKind::Double, {}, &ILineData::put_BadDataValueY, -5},
      // A shown point between two hidden ones has nothing to join.
      {{1, 2, 3}, XKind::Index, {0, 2}, nullptr, 0},
      {{7, 2, 7}, XKind::Single, {}, &ILineData::put_BadDataValue, 7},
  };
  for (const auto& [ys, kind, hidden, putBad, bad] : cases) {
    SCOPED_TRACE(testing::PrintToString(std::tuple(ys, static_cast<int>(kind), hidden, bad)));
    auto data = NewLineData(ys, kind, {1, 2, 3, 4, 5});
    for (int i : hidden) data->put_Mask(i, 0);
    if (putBad) (data.get()->*putBad)(bad);
    EXPECT_EQ(DrawOnSmallArea(data.get()), ys.size() == 3 ? PixelSet{} : twoPieces);
  }
  // The default bad value written as a float is an ordinary point, drawn far below the area:
  // the segment from (10,89) runs straight down column 10.
  auto data = NewLineData({1, 0, 3});
  data->put_DataY(1, -999999.9);  // stored as -999999.875
  const PixelSet painted = DrawOnSmallArea(data.get());
  for (int row = 89; row < 100; ++row) EXPECT_TRUE(painted.count({10, row})) << row;
  // With the bad value set to what the float holds, the point breaks the line.
  data->put_BadDataValue(static_cast<double>(static_cast<float>(-999999.9)));
  EXPECT_TRUE(DrawOnSmallArea(data.get()).empty());
}

TEST(LineDrawTest, MarkersAreDedupedAndStayInsideTheArea) {
  // X values put points where wanted: X 10 is the right column, Y -0.1 the bottom row (row 100).
  auto data = NewLineData({1, 1, 5, 5, 20, 4, -0.1, -0.2, 5}, XKind::Double, {1, 1, 3, -1, 4, 10, 5, 6, 8});
  data->put_Mask(8, 0);
  for (LONG shape : {0, 1, 2}) {
    SCOPED_TRACE(shape);
    Drawing d;
    d.layer->put_Style(1);
    d.Add(data.get())->put_PointStyle(shape);
    SetROP2(d.canvas.dc(), R2_XORPEN);  // a marker drawn twice would leave no trace
    EXPECT_EQ(d.Redraw(0, 10, 0, 10), S_OK);

    Canvas expected(100, 100, kBlack);
    const HDC dc = expected.dc();
    Selected pen(dc, CreatePen(PS_SOLID, 0, kWhite)), brush(dc, CreateSolidBrush(kWhite));
    SetROP2(dc, R2_XORPEN);
    for (auto [x, y] : {POINT{10, 89}, POINT{30, 49}, POINT{100, 59}, POINT{50, 100}}) {
      switch (shape) {
        case 0: Ellipse(dc, x - 2, y - 2, x + 2, y + 2); break;
        case 1: Line(dc, x - 2, y, x + 3, y), Line(dc, x, y - 2, x, y + 3); break;
        default: Line(dc, x - 2, y - 2, x + 3, y + 3), Line(dc, x - 2, y + 2, x + 3, y - 3);
      }
    }
    ExpectPicture(d.canvas, [&](int x, int y) { return expected.At(x, y); });
  }
}

TEST(LineDrawTest, IndexLineStartsHalfAUnitLeftOfTheViewAndStopsAfterTheFirstPointRightOfIt) {
  // One pixel per unit: XMin 50.7 starts at index 49 (x = 50, pixel trunc(-0.7) = 0). Index 48
  // would be joined from pixel -1 on row 10 and mark column 0 above row 90.
  std::vector<double> ys(200, 9.0);
  for (int i = 0; i <= 48; ++i) ys[i] = 89.0;
  Drawing d;
  d.Add(NewLineData(ys).get());
  EXPECT_EQ(d.Redraw(50.7, 150.7, 0, 100), S_OK);
  EXPECT_PAINTED(d.canvas, Segments({{0, 90, 100, 90}}));
  // Ten pixels per unit: index 49 (pixel -7) is joined to index 50 (pixel 3) across the left edge.
  d.canvas.Clear();
  EXPECT_EQ(d.Redraw(50.7, 60.7, 0, 100), S_OK);
  EXPECT_EQ(d.canvas.Count(kWhite, 0, 90, 3, 91), 3);
  // A first index past the last point draws nothing.
  d.canvas.Clear();
  EXPECT_EQ(d.Redraw(300.7, 400.7, 0, 100), S_OK);
  EXPECT_PAINTED(d.canvas, PixelSet{});

  // It stops after the first point right of the area. Points at x pixels 10, 20, ..., 100 (the
  // right column, still inside), 110 (the first beyond) and 120, which jumps far up. A 30-pixel
  // pen reaches back into the area from the segment 110 -> 120; it is drawn only when the line
  // goes on (X values need not increase).
  std::vector<double> xs;
  ys.assign(12, 5.0), ys[11] = 100.0;
  for (int i = 0; i < 12; ++i) xs.push_back(i + 1);
  for (XKind kind : {XKind::Index, XKind::Single}) {
    Drawing wide;
    wide.Add(NewLineData(ys, kind, xs).get())->put_Width(30);
    EXPECT_EQ(wide.Redraw(0, 10, 0, 10), S_OK);
    EXPECT_EQ(std::pair(wide.canvas.At(50, 49), wide.canvas.At(97, 10)),
              std::pair(kWhite, kind == XKind::Single ? kWhite : kBlack));
  }
}

TEST(LineDrawTest, ColumnMergeDrawsOnlyWhatLeavesTheLastSegment) {
  // One pixel per unit, y = 99 - row: each point below sits on the pixel named beside it.
  const std::vector<std::pair<int, int>> pixels = {
      {10, 50},  // start
      {20, 50},  // drawn: a new column
      {20, 60},  // drawn: same column, but no span yet since the start
      {20, 60},  // same row as the last end: nothing
      {20, 50},  // inside the span 50..60, its start row included: kept as the pending point
      {20, 52},  // inside again: replaces the pending point
      {20, 40},  // leaves the span: move to (20,52), line to (20,40)
      {20, 60},  // inside the new span 40..60 (its far end included): pending
      {30, 60},  // a new column: move to (20,60), line to (30,60)
  };
  std::vector<double> xs, ys;
  for (auto [x, row] : pixels) xs.push_back(x), ys.push_back(99 - row);
  for (LONG style : {0, 1}) {
    SCOPED_TRACE(style);
    Drawing d;
    d.Add(NewLineData(ys, XKind::Double, xs).get(), style);
    SetROP2(d.canvas.dc(), R2_XORPEN);  // overlapping segments cancel: the exact calls show
    EXPECT_EQ(d.Redraw(0, 100, 0, 100), S_OK);

    Canvas expected(100, 100, kBlack);
    Selected pen(expected.dc(), CreatePen(style, 0, kWhite));
    SetROP2(expected.dc(), R2_XORPEN);
    Line(expected.dc(), 10, 50, 20, 50);
    LineTo(expected.dc(), 20, 60);
    Line(expected.dc(), 20, 52, 20, 40);
    Line(expected.dc(), 20, 60, 30, 60);
    ExpectPicture(d.canvas, [&](int x, int y) { return expected.At(x, y); });
    EXPECT_EQ(d.canvas.At(20, 40), kBlack);
  }
}

TEST(LineDrawTest, PenStylesAndWidthsMatchMoveAndLineTo) {
  // 700 points, one column apart, zigzagging, hidden at 300 and 301: several batches and a
  // break, so a dash pattern must run on across batches and restart after the break.
  constexpr int kPoints = 700;
  constexpr COLORREF kGap = 0x00404040;
  std::vector<double> ys;
  for (int i = 0; i < kPoints; ++i) ys.push_back(20 + (i * 7) % 60);
  auto data = NewLineData(ys);
  data->put_Mask(300, 0), data->put_Mask(301, 0);
  for (auto [style, width] : {std::pair(0, 0), {1, 0}, {2, 1}, {1, 5}, {0, 3}}) {
    SCOPED_TRACE(testing::Message() << "style " << style << " width " << width);
    Drawing d(1000, 100);
    Canvas expected(1000, 100, kBlack);
    for (HDC dc : {d.canvas.dc(), expected.dc()}) SetBkColor(dc, kGap);
    d.Add(data.get(), style)->put_Width(width);
    EXPECT_EQ(d.Redraw(0, 1000, 0, 100), S_OK);

    Selected pen(expected.dc(), CreatePen(style, width, kWhite));
    for (int i = 0; i < kPoints; ++i) {
      const int x = i + 1, y = 99 - static_cast<int>(ys[i]);
      if (i == 300 || i == 301) continue;
      i == 0 || i == 302 ? MoveToEx(expected.dc(), x, y, nullptr) : LineTo(expected.dc(), x, y);
    }
    ExpectPicture(d.canvas, [&](int x, int y) { return expected.At(x, y); });
    // The gaps show: some pixel of the line took the background colour.
    EXPECT_TRUE(style == 0 || width > 1 || d.canvas.Count(kGap, 1, 0, 300, 100) > 0);
  }
}

TEST(LineDrawTest, ExtremeValuesDrawWithoutFault) {
  const double nan = std::nan(""), inf = HUGE_VAL;
  Drawing d;
  d.layer->put_Offset(-2147483647 - 1);
  d.Add(NewLineData({nan, 1e30, -1e30, inf, 5, -inf}).get());
  d.Add(NewLineData({nan, 1e30, 5, 5}, XKind::Double, {1e300, -inf, nan, 2}).get());
  for (LONG style : {0, 1}) {
    d.layer->put_Style(style);
    EXPECT_EQ(d.Redraw(0, 10, 0, 10), S_OK);
    DrawLayerInfo odd = d.canvas.Info(-1e300, 1e300, 0, 10);
    odd.XScale = inf;
    EXPECT_EQ(d.layer->Redraw(odd), S_OK);
    odd.XMin = nan, odd.YScale = -1e300;
    EXPECT_EQ(d.layer->Redraw(odd), S_OK);
  }
}

TEST(LineDataUseTest, CallsPerLineDoNotGrowWithThePoints) {
  for (XKind kind : {XKind::Index, XKind::Single, XKind::Double}) {
    std::vector<int> calls;
    for (std::size_t n : {10, 100000}) {
      std::vector<double> ys(n, 5.0), xs;
      for (std::size_t i = 0; i < n; ++i) xs.push_back(static_cast<double>(i) * 10 / n);
      auto counting = CountingLineData::Wrap(NewLineData(ys, kind, xs));
      Drawing d;
      d.Add(counting.get());
      d.Redraw(0, 10, 0, 10);
      EXPECT_FALSE(d.canvas.Painted().empty());
      calls.push_back(counting->calls);
    }
    EXPECT_EQ(calls[0], calls[1]);
    EXPECT_LE(calls[1], 8);
  }
}

using layers::LinePen;
using layers::LinePoints;

struct RandomLine {
  std::vector<float> y;
  std::vector<float> xSingle;
  std::vector<double> xDouble;
  std::vector<BYTE> mask;
  LinePoints points;
};

// Noisy (jumps of up to a third of the height) or smooth values, with the X kind, order, mask
// and bad values the seed picks; or, around a given value, a ramp that moves one float at a time,
// so that it meets the exact float where the rows change.
RandomLine MakeLine(std::mt19937& random, int count, float rampAround, double xEdge) {
  RandomLine line;
  float ramp = rampAround;
  const float towards = random() % 2 ? INFINITY : -INFINITY;  // rising or falling
  for (int k = 0; k < count / 2 && ramp == ramp; ++k) ramp = std::nextafter(ramp, -towards);
  const bool noisy = random() % 2, masked = random() % 3 == 0, bad = random() % 3 == 0;
  // index, single, double, unsorted double, rising double that steps back at every eighth point,
  // and single or double X rising one value at a time through the edge of a column
  const int xKind = static_cast<int>(random() % 7);
  double xRamp = xEdge;
  float xRampSingle = static_cast<float>(xEdge);
  for (int k = 0; k < count / 2; ++k)
    xRamp = std::nextafter(xRamp, -INFINITY), xRampSingle = std::nextafter(xRampSingle, -INFINITY);
  double value = 50;
  for (int i = 0; i < count; ++i) {
    value = noisy ? std::clamp(value + static_cast<int>(random() % 61) - 30, -20.0, 120.0)
                  : 50 + 45 * std::sin(i * 0.002) + (random() % 100) * 0.001;
    if (ramp == ramp) value = ramp = std::nextafter(ramp, towards);
    line.y.push_back(bad && random() % 50 == 0 ? -1.0f : static_cast<float>(value));
    const double x = xKind == 3 ? static_cast<double>(random() % count) : i - (xKind == 4 && i % 8 == 7 ? 6.5 : 0.0);
    if (xKind == 1) line.xSingle.push_back(static_cast<float>(x));
    if (xKind >= 2 && xKind <= 4) line.xDouble.push_back(x);
    if (xKind == 5) line.xDouble.push_back(xRamp = std::nextafter(xRamp, INFINITY));
    if (xKind == 6) line.xSingle.push_back(xRampSingle = std::nextafter(xRampSingle, INFINITY));
    if (masked) line.mask.push_back(random() % 40 != 0);
  }
  line.points.count = count;
  line.points.y = line.y.data();
  line.points.xSingle = xKind == 1 || xKind == 6 ? line.xSingle.data() : nullptr;
  line.points.xDouble = xKind >= 2 && xKind <= 5 ? line.xDouble.data() : nullptr;
  line.points.mask = masked ? line.mask.data() : nullptr;
  line.points.badValue = -1.0;
  line.points.offset = 0;
  return line;
}

TEST(LineFastPath, PaintsExactlyThePixelsOfThePlainPath) {
  std::mt19937 random(20261206);
  const int mixes[] = {R2_COPYPEN, R2_NOTXORPEN, R2_MERGEPEN, R2_MASKNOTPEN, R2_XORPEN, R2_NOTCOPYPEN};
  for (int trial = 0; trial < 240; ++trial) {
    SCOPED_TRACE(trial);
    // The whole data, or a zoomed piece of it, in an area that may sit inside the bitmap.
    const int count = 500 + static_cast<int>(random() % 6000);
    const double zoom = random() % 2 ? 1.0 : 0.1 + (random() % 50) * 0.01;
    const double x0 = (random() % 100) * count * 0.004;
    const RECT area{static_cast<LONG>(random() % 10), static_cast<LONG>(random() % 10), 150, 90};
    const auto mapping = common::PixelMapping::Of(area, x0, x0 + count * zoom, -5, 105);
    // A quarter of the lines ramp across the edge between rows 40 and 41; ramps of X go through the
    // left edge of column 70.
    const float edge = static_cast<float>(mapping.yMin + (mapping.bottomRow - 41.0) / mapping.yScale);
    const double xEdge = mapping.xMin + (70.0 - mapping.leftEdge) / mapping.xScale;
    const RandomLine line = MakeLine(random, count, random() % 4 == 0 ? edge : NAN, xEdge);
    const int style = random() % 4 == 0 ? PS_DASH : PS_SOLID, width = random() % 5 == 0 ? 3 : 1;
    const LinePen pen = width > 1 ? LinePen::Wide : style == PS_SOLID ? LinePen::OnePixelSolid : LinePen::Patterned;
    const int mix = mixes[random() % 6];
    const bool clip = random() % 3 == 0, turned = random() % 8 == 0;

    Canvas fast(160, 100), plain(160, 100);
    POINT ends[2]{};
    int which = 0;
    for (Canvas* c : {&fast, &plain}) {
      c->Noise(static_cast<unsigned>(trial));
      Selected selected(c->dc(), CreatePen(style, width, RGB(200, 30, 90)));
      SetROP2(c->dc(), mix);
      if (clip) IntersectClipRect(c->dc(), 20, 15, 120, 70);
      if (turned) {
        SetGraphicsMode(c->dc(), GM_ADVANCED);
        const XFORM scale{1.5f, 0, 0, 0.75f, 2, 1};
        SetWorldTransform(c->dc(), &scale);
      }
      if (c == &fast)
        layers::DrawPolyline(c->dc(), line.points, mapping, pen);
      else
        layers::DrawPolylineReference(c->dc(), line.points, mapping);
      MoveToEx(c->dc(), 0, 0, &ends[which++]);  // gives the current position back
    }
    ASSERT_EQ(fast.Bits(), plain.Bits()) << "mix " << mix << " pen " << style << "/" << width << " clip " << clip
                                         << " turned " << turned << "; " << fast.Dump("fast") << " "
                                         << plain.Dump("plain");
    EXPECT_EQ(std::pair(ends[0].x, ends[0].y), std::pair(ends[1].x, ends[1].y));
  }
}

// Rising X zoomed in, so that most points lie left or right of the clip box and are skipped:
// dense and sparse columns, runs of equal X, masks, bad values, wide pens, an XOR mix, and X out
// of order or NaN where it would be skipped (then nothing may be).
TEST(LineFastPath, SkipsOnlyPointsThatPaintNothing) {
  std::mt19937 random(7031);
  for (int trial = 0; trial < 300; ++trial) {
    SCOPED_TRACE(trial);
    const int count = 1000 + static_cast<int>(random() % 20000);
    const bool single = random() % 2, masked = random() % 4 == 0, bad = random() % 4 == 0;
    const int repeat = 1 + static_cast<int>(random() % 4);  // points sharing one X
    std::vector<double> xd(count);
    std::vector<float> xs(count), y(count);
    std::vector<BYTE> mask(count, 1);
    float level = 50;
    for (int i = 0; i < count; ++i) {
      xd[i] = static_cast<double>(i / repeat) * 0.01;
      xs[i] = static_cast<float>(xd[i]);
      level += random() % 3 == 0 ? 0.0f : static_cast<float>(static_cast<int>(random() % 21) - 10) * 0.3f;
      y[i] = bad && random() % 97 == 0 ? -1.0f : level;
      if (masked) mask[i] = random() % 53 != 0;
    }
    const LinePoints points{
        count, y.data(), single ? xs.data() : nullptr, single ? nullptr : xd.data(), masked ? mask.data() : nullptr,
        -1.0,  0};
    const double span = count * 0.01 / repeat, width = span / (1 + random() % 200);
    const double x0 = (random() % 1000) * 0.001 * span - width / 2;
    const float middle = y[static_cast<std::size_t>(std::clamp((x0 + width / 2) * 100 * repeat, 0.0, count - 1.0))];
    const auto mapping = common::PixelMapping::Of(RECT{5, 5, 155, 95}, x0, x0 + width, middle - 30, middle + 30);
    // One point out of order, in the middle of the view, far left, or NaN; at times the point a
    // binary search looks at first.
    const std::size_t broken = random() % 3 == 0 ? count / 2 : random() % count;
    const double outOfOrder[] = {x0 + width / 2, -1.0 * count, NAN};
    if (random() % 4 == 0) {
      xd[broken] = xs[broken] = static_cast<float>(outOfOrder[random() % 3]);
      y[broken] = middle;
    }
    const bool clip = random() % 3 == 0, xorMix = random() % 4 == 0;
    const int penWidth = random() % 4 == 0 ? 2 + static_cast<int>(random() % 9) : 1;

    Canvas fast(160, 100, kBlack), plain(160, 100, kBlack);
    POINT ends[2]{};
    int which = 0;
    for (Canvas* c : {&fast, &plain}) {
      Selected selected(c->dc(), CreatePen(PS_SOLID, penWidth, kWhite));
      SetROP2(c->dc(), xorMix ? R2_XORPEN : R2_COPYPEN);
      if (clip) IntersectClipRect(c->dc(), 40, 10, 90, 80);
      if (c == &fast)
        layers::DrawPolyline(c->dc(), points, mapping, penWidth > 1 ? LinePen::Wide : LinePen::OnePixelSolid);
      else
        layers::DrawPolylineReference(c->dc(), points, mapping);
      MoveToEx(c->dc(), 0, 0, &ends[which++]);
    }
    ASSERT_EQ(fast.Bits(), plain.Bits()) << fast.Dump("fast") << " " << plain.Dump("plain");
    EXPECT_EQ(std::pair(ends[0].x, ends[0].y), std::pair(ends[1].x, ends[1].y));
  }
}

// The interval of floats on one pixel (pixel = floor(value)) is found exactly, whatever the guesses
// for its ends: right, a little inside or outside, far outside, or none.
TEST(PixelIntervalTest, FindsTheExactEndsFromAnyGuesses) {
  const auto pixelOf = [](float v) { return static_cast<LONG>(std::floor(v)); };
  const float ulp = std::nextafter(1000.0f, 2000.0f) - 1000.0f;
  const double guesses[][2] = {{1000, 1001},          {1000 + 3 * ulp, 1001 - 5 * ulp},
                               {1000 - ulp, 1001},    {1000 - 7 * ulp, 1001 + 2 * ulp},
                               {990, 1001.5},         {NAN, NAN},
                               {1001 + 40 * ulp, 999}};
  for (const auto& [g1, g2] : guesses) {
    SCOPED_TRACE(testing::Message() << g1 << " " << g2);
    layers::PixelInterval<float> interval;
    ASSERT_TRUE(interval.Learn(pixelOf, 1000, 1000.25f, g1, g2));
    auto in = [&](float v) { return interval.AllIn(std::array<float, 8>{v, v, v, v, v, v, v, v}.data()); };
    EXPECT_TRUE(in(1000.0f) && in(std::nextafter(1001.0f, 0.0f)));
    EXPECT_FALSE(in(std::nextafter(1000.0f, 0.0f)) || in(1001.0f));
  }
}

}  // namespace
}  // namespace kelmira::test

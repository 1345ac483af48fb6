// What the axes paint, pixel for pixel: each picture is compared with one the test builds from the
// documented positions (ticks, label cells, the title band) with the axis's own font.
#include <kelmira/tick_label_list.h>

#include "support/canvas.h"
#include "support/create.h"
#include "support/layer_stack.h"
#include "support/property.h"
#include "support/variant_values.h"

#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace kelmira::test {
namespace {

constexpr COLORREF kGrey = 0x00C0C0C0;

struct Label {
  int at;  // the tick's pixel along the axis
  std::string text;
};

// The axis's font selected into the reference picture, and its text cells.
struct Reference {
  Reference(IAxis* axis, int width, int height) : canvas(width, height) {
    ComPtr<IFontDisp> disp;
    EXPECT_EQ(axis->get_Font(&disp), S_OK);
    EXPECT_EQ(disp.As<IFont>()->get_hFont(&font), S_OK);
    SelectObject(canvas.dc(), font);
    SetBkMode(canvas.dc(), TRANSPARENT);
  }
  SIZE Cell(const std::string& text) const {
    RECT r{0, 0, canvas.width(), canvas.height()};
    DrawTextA(canvas.dc(), text.c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK | DT_CENTER);
    return {r.right - r.left, r.bottom - r.top};
  }
  void Text(int x, int y, const std::string& text) const { TextOutA(canvas.dc(), x, y, text.data(), int(text.size())); }
  void Tick(int x0, int y0, int x1, int y1) const {
    Selected pen(canvas.dc(), CreatePen(PS_SOLID, 0, kRed));
    Line(canvas.dc(), x0, y0, x1, y1);
  }

  Canvas canvas;
  HFONT font = nullptr;
};

// An X axis with TickLength 2: each label centred under its tick, the first moved right to start
// at the left edge, the last moved left to end at the right edge; the title centred in the band
// below the tallest label (counted at most a third of the height) plus 4 pixels.
void ExpectXAxis(IXAxis* axis, int width, int height, bool bottom, int spacing, const std::vector<Label>& labels) {
  Canvas canvas(width, height, kGrey);
  ASSERT_EQ(DrawView(axis, canvas), S_OK);
  Reference ref(axis, width, height);
  int tallest = 0;
  for (std::size_t k = 0; k < labels.size(); ++k) {
    const SIZE cell = ref.Cell(labels[k].text);
    const int x = labels[k].at, h = std::min<int>(cell.cy, height / 3), half = spacing / 2;
    tallest = std::max(tallest, h);
    int left = (2 * x - int(cell.cx)) / 2;
    if (x - cell.cx / 2 < 0) left = 0;
    if (x + cell.cx / 2 > width) left = (2 * (width - cell.cx / 2) - int(cell.cx)) / 2;
    ASSERT_LE(cell.cx, 2 * half) << labels[k].text;
    ref.Text(left, bottom ? height - 4 - h : 4, labels[k].text);
    ref.Tick(x, bottom ? height : 0, x, bottom ? height - 2 : 2);
  }
  const SIZE title = ref.Cell("Axis");
  const int bandTop = bottom ? 0 : 6 + tallest, bandBottom = bottom ? height - 6 - tallest : height;
  ref.Text((width - title.cx) / 2, bandTop + (bandBottom - bandTop - title.cy) / 2, "Axis");
  ExpectPicture(canvas, [&](int x, int y) { return ref.canvas.At(x, y); });
}

TEST(AxisDrawing, XAxisDefaults) {
  auto axis = Create<IXAxis>(CLSID_XAxis);
  std::vector<Label> labels;
  const int xs[] = {1, 40, 80, 120, 160, 200, 239, 279, 319, 359, 399};
  for (int k = 0; k <= 10; ++k) labels.push_back({xs[k], std::to_string(k) + ".0"});
  ExpectXAxis(axis.get(), 400, 50, false, 39, labels);
  axis->put_BottomAligned(VARIANT_TRUE);
  ExpectXAxis(axis.get(), 400, 50, true, 39, labels);
  // Labels taller than a third of the strip count as a third for the title.
  ExpectXAxis(axis.get(), 400, 30, true, 39, labels);
}

TEST(AxisDrawing, XLabelIndicesCountOnlyDrawnTicks) {
  // 2.0 is visited first but lies left of the margin: 3.0 takes the first host label.
  auto axis = Create<IXAxis>(CLSID_XAxis);
  ASSERT_EQ(axis->SetParams(2.5, 5, 1), S_OK);
  auto list = NewTickLabelList();
  LONG index = 0;
  for (const char16_t* text : {u"a", u"b"}) list->AddLabel(Str(text), &index);
  ASSERT_EQ(axis->put_TickLabels(list.get()), S_OK);
  // scale 98 / 2.5: 3.0 at 1 + 19, 4.0 at 1 + 58, 5.0 at 1 + 98.
  ExpectXAxis(axis.get(), 100, 50, false, 39, {{20, "a"}, {59, "b"}, {99, "???"}});
}

TEST(AxisDrawing, NothingButTheTitleWithoutAUsableStep) {
  auto axis = Create<IXAxis>(CLSID_XAxis);
  for (auto [start, end, step] : std::vector<std::tuple<double, double, double>>{
           {5, 5, 1}, {0, 10, 0}, {0, 10, -1}, {10, 0, 1}, {0, 10, NAN}, {0, NAN, 1}}) {
    ASSERT_EQ(axis->SetParams(start, end, step), S_OK);
    ExpectXAxis(axis.get(), 400, 50, false, 0, {});
  }
  axis->SetParams(0, 10, 1), axis->put_Margin(200);  // no room inside the margins
  ExpectXAxis(axis.get(), 400, 50, false, 0, {});
  // Extreme lengths and margins put everything off the strip (their sums once overflowed).
  axis->put_Margin(INT32_MIN + 1), axis->put_TickLength(INT32_MAX), axis->SetParams(0, 1e9, 1e8);
  Canvas extreme(400, 50);
  EXPECT_EQ(DrawView(axis.get(), extreme), S_OK);
}

TEST(AxisDrawing, YAxisDefaults) {
  auto axis = Create<IYAxis>(CLSID_YAxis);
  const char16_t* kTitle = u"WW Axis .....";  // heavy at its start, to see which way it reads
  axis->put_Title(Bstr(kTitle).get());
  for (bool mirrored : {false, true}) {
    axis->put_LeftAligned(mirrored ? VARIANT_TRUE : VARIANT_FALSE);
    Canvas canvas(70, 210, kGrey);
    ASSERT_EQ(DrawView(axis.get(), canvas, {0, 0, 70, 210}), S_OK);
    Reference ref(axis.get(), 70, 210);
    int widest = 0;
    for (int k = 0; k <= 10; ++k) {
      // Right-aligned 2 pixels short of the tick ends, or starting 2 pixels past them; narrowed
      // to the text height inside the 20-pixel cell around the tick, moved inside at the ends.
      const std::string text = std::to_string(10 - k);
      const SIZE cell = ref.Cell(text);
      const int y = 21 * k, hh = cell.cy / 2;
      int top = y - 10;
      if (y - hh < 0) top = hh - 10;
      if (top + 10 + hh > 210) top = 210 - hh - 10;
      top += (20 - cell.cy) / 2;
      widest = std::max(widest, int(cell.cx));
      ref.Text(mirrored ? 5 : 65 - cell.cx, top, text);
      ref.Tick(mirrored ? 0 : 69, y, mirrored ? 3 : 66, y);
    }
    // The turned title lies in its band, centred along the height, and is read along it.
    const int bandLeft = mirrored ? 3 + widest + 4 : 2, bandRight = mirrored ? 68 : 70 - 4 - 3 - widest;
    auto inBand = [&](int x) { return x >= bandLeft && x < bandRight; };
    PixelSet outside, expected, inside;
    for (auto [x, y] : canvas.Painted(kWhite)) (inBand(x) ? inside : outside).insert({x, y});
    Box title;
    for (auto [x, y] : inside)
      title = {std::min(title.left, x), std::min(title.top, y), std::max(title.right, x + 1),
               std::max(title.bottom, y + 1)};
    const SIZE titleCell = ref.Cell("WW Axis .....");
    EXPECT_NEAR(title.top + title.bottom, 210, 2) << "mirrored " << mirrored;
    EXPECT_NEAR(title.Height(), titleCell.cx, 3);
    EXPECT_LE(title.Width(), titleCell.cy);
    int upperHalf = 0;  // ink above the middle less ink below it
    for (auto [x, y] : inside) upperHalf += 2 * y < title.top + title.bottom ? 1 : -1;
    EXPECT_EQ(upperHalf > 0, mirrored) << "reads upwards, or downwards when mirrored";
    for (auto [x, y] : ref.canvas.Painted(kWhite))
      if (!inBand(x)) expected.insert({x, y});
    EXPECT_TRUE(SamePixels(canvas, outside, expected)) << "mirrored " << mirrored;
  }
}

TEST(AxisDrawing, NoFontAndTooManyTicks) {
  // Without a font the labels use the context's own; a step of 1e-9 over 1e9 stops at the cap.
  auto axis = Create<IXAxis>(CLSID_XAxis);
  ASSERT_EQ(axis->putref_Font(nullptr), S_OK);
  Canvas plain(400, 50), crowded(400, 50);
  ASSERT_EQ(DrawView(axis.get(), plain), S_OK);
  EXPECT_NE(plain.Count(kBlack, 0, 3, 400, 20), 0);
  axis->SetParams(0, 1e9, 1e-9);
  ASSERT_EQ(DrawView(axis.get(), crowded), S_OK);
  EXPECT_EQ(crowded.At(1, 0), kRed);
}

TEST(AxisDrawing, AFailingLabelListEndsTheDrawingInOrder) {
  auto axis = Create<IXAxis>(CLSID_XAxis);
  auto list = NewTickLabelList();
  LONG index = 0;
  Variant object;
  object.vt = VT_UNKNOWN, object.punkVal = axis.get(), axis->AddRef();  // has no text
  list->AddLabel(Str(u"first"), &index), list->AddLabel(object, &index);
  axis->put_TickLabels(list.get());
  Canvas canvas(400, 50, kGrey);
  const HGDIOBJ pen = GetCurrentObject(canvas.dc(), OBJ_PEN), font = GetCurrentObject(canvas.dc(), OBJ_FONT);
  SetTextColor(canvas.dc(), kBlue);
  EXPECT_EQ(DrawView(axis.get(), canvas), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(std::tuple(GetCurrentObject(canvas.dc(), OBJ_PEN), GetCurrentObject(canvas.dc(), OBJ_FONT),
                       GetTextColor(canvas.dc())),
            std::tuple(pen, font, kBlue));
  // What was drawn stays: the first tick with its label, and the second tick's mark.
  EXPECT_EQ(std::tuple(canvas.At(1, 0), canvas.At(40, 0), canvas.At(80, 0)), std::tuple(kRed, kRed, kWhite));
  EXPECT_NE(canvas.Count(kWhite, 0, 3, 20, 20), 17 * 20);
  list->Clear();
}

// Axis ticks and grid lines of one view: the same container and grid, the same width. (The grid's
// automatic step stops at MinXStep and the axis's does not, so the tiny view lowers it.)
TEST(AxisDrawing, TicksFallOnTheGridLinesOfTheSameView) {
  // The range, AutoStep and XStep of each view.
  const std::tuple<double, double, bool, double> views[] = {{-1.3, 9.1, false, 0.7},  {0, 100, true, 0},
                                                            {9.1, -1.3, false, -0.7}, {0, 1e-9, true, 0},
                                                            {1e6, 1e6 + 1, true, 0},  {40000, 40031, true, 0}};
  for (const auto& [from, to, autoStep, step] : views)
    for (int width : {400, 333, 97}) {
      auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
      auto grid = Create<IGridLayer>(CLSID_GridLayer);
      grid->put_LineColor(kBlue), grid->put_LineStyle(0), grid->put_AutoStep(autoStep ? VARIANT_TRUE : 0);
      grid->put_XStep(step), grid->put_XSteps(7), grid->put_MinXStep(1e-15), grid->put_YStep(5),
          grid->put_YSteps(1);  // rows at the edges
      AddLayer(container.get(), u"Grid", grid.get());
      container->SetExtents(from, to, 0, 1);
      auto axis = Create<IXAxis>(CLSID_XAxis);
      axis->put_Margin(0), axis->put_TickColor(kBlue);
      axis->put_GraphicContainer(container.get()), axis->put_Grid(grid.get());
      Canvas lines(width, 50), ticks(width, 50);
      ASSERT_EQ(DrawView(container.get(), lines), S_OK);
      ASSERT_EQ(DrawView(axis.get(), ticks), S_OK);
      // The grid also draws the line before the range, which can truncate onto column 0; the axis
      // starts at the first multiple inside.
      std::vector<int> gridColumns, tickColumns;
      for (int x = 1; x < width; ++x) {
        if (lines.At(x, 20) == kBlue && lines.At(x, 30) == kBlue) gridColumns.push_back(x);
        if (ticks.At(x, 0) == kBlue) tickColumns.push_back(x);
      }
      EXPECT_EQ(std::pair(tickColumns.empty(), tickColumns), std::pair(false, gridColumns))
          << from << ".." << to << " in " << width;
    }
}

}  // namespace
}  // namespace kelmira::test

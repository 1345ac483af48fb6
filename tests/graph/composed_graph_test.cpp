// A container hosted as a host would host it, with the library's own background, grid and line
// layers: the pixels of the composed picture, left and right Y.
#include "support/canvas.h"
#include "support/index_variant.h"
#include "support/layer_stack.h"
#include "support/line_data.h"

#include <cmath>

namespace kelmira::test {
namespace {

constexpr COLORREF kGray = 0x808080;

ComPtr<ILineLayer> LineLayerWith(const std::vector<double>& xs, const std::vector<double>& ys, OLE_COLOR color) {
  auto layer = Create<ILineLayer>(CLSID_LineLayer);
  ComPtr<ILine> line;
  EXPECT_EQ(layer->AddLine(Bstr(u"data").get(), color, 0, &line), S_OK);
  line->put_Data(NewLineData(ys, XKind::Single, xs).get());
  return layer;
}

// Hosts `c` in a new popup window of width x height with a white background, `grid` in grey, a red
// line through (0,0) (25,25) (100,100) and, on the right Y axis, a blue level line at 7.5.
HWND Compose(IGraphicsContainer* c, IGridLayer* grid, int width, int height) {
  auto background = Create<IBackgroundLayer>(CLSID_BackgroundLayer);
  background->put_FillColor(kWhite);
  grid->put_LineColor(kGray);
  AddLayer(c, u"Background", background.get());
  AddLayer(c, u"Grid", grid);
  AddLayer(c, u"Line", LineLayerWith({0, 25, 100}, {0, 25, 100}, kRed).get());
  AddLayer(c, u"RightLine", LineLayerWith({0, 100}, {7.5, 7.5}, kBlue).get());
  EXPECT_EQ(c->SetLayerRightYAxis(ByName(u"rightline"), VARIANT_TRUE), S_OK);  // names are found whatever the case
  const HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, width, height, nullptr,
                                    nullptr, nullptr, nullptr);
  EXPECT_EQ(AtlAxAttachControl(c, host, nullptr), S_OK);
  return host;
}

// Expects each listed pixel of the window to have the colour.
void ExpectPixels(HWND window, COLORREF colour, std::initializer_list<POINT> pixels) {
  for (POINT p : pixels) EXPECT_EQ(WindowPixel(window, p.x, p.y), colour) << p.x << "," << p.y;
}

TEST(ComposedGraph, BackgroundGridAndLinesOnScreen) {
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  grid->put_AutoStep(VARIANT_FALSE);
  grid->put_XStep(10);
  grid->put_YStep(20);
  grid->put_LineStyle(0);
  const HWND host = Compose(container.get(), grid.get(), 600, 400);
  ASSERT_EQ(container->SetRightYLimits(0, 10) | container->SetExtents(0, 100, 0, 100), S_OK);
  container->Redraw();
  UpdateWindow(host);
  // Grid columns every 60 pixels, rows every 80 counted up from the bottom row 399; the left line
  // through its middle point (150, 399 - 100) and across a grid row; the right-Y line at 7.5 of
  // 0..10 on row 399 - 7.5 * 40.
  ExpectPixels(host, kGray, {{60, 10}, {540, 10}, {10, 319}, {10, 239}});
  ExpectPixels(host, kWhite, {{61, 10}, {10, 318}, {150, 298}, {100, 100}, {100, 98}});
  ExpectPixels(host, kRed, {{150, 299}, {120, 319}});
  ExpectPixels(host, kBlue, {{100, 99}});
  // A zoom to the left half (12 pixels per unit) keeps the right-Y range and moves the grid.
  ASSERT_EQ(container->SetLimits(0, 50, 0, 100), S_OK);
  container->Redraw();
  UpdateWindow(host);
  EXPECT_EQ(std::tuple(WindowPixel(host, 120, 10), WindowPixel(host, 60, 10), WindowPixel(host, 300, 99),
                       WindowPixel(host, 300, 299)),
            std::tuple(kGray, kWhite, kBlue, kRed));
  DestroyWindow(host);
}

// Views that are not finite are stored as given; painting them must still end, stay inside the
// pictures and leave every pixel defined (the sanitizer build runs this too).
TEST(ComposedGraph, ViewsThatAreNotFiniteStillPaint) {
  constexpr double kNaN = NAN, kInf = INFINITY;
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto grid = Create<IGridLayer>(CLSID_GridLayer);  // automatic steps
  grid->put_Border(VARIANT_TRUE);
  const HWND host = Compose(container.get(), grid.get(), 120, 80);
  const double views[][4] = {{kNaN, 1, 0, 1},          {-kInf, kInf, 0, 100},    {0, 100, -kInf, kNaN},
                             {kInf, kInf, kInf, kInf}, {kNaN, kNaN, kNaN, kNaN}, {-1e308, 1e308, -1e308, 1e308}};
  for (const auto& v : views) {
    SCOPED_TRACE(testing::Message() << v[0] << " " << v[1] << " " << v[2] << " " << v[3]);
    ASSERT_EQ(container->SetExtents(v[0], v[1], v[2], v[3]) | container->SetRightYLimits(v[2], v[3]), S_OK);
    container->Redraw();
    UpdateWindow(host);
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x) {
        const COLORREF c = WindowPixel(host, x, y);
        ASSERT_TRUE(c == kWhite || c == kGray || c == kRed || c == kBlue) << x << "," << y << ": " << std::hex << c;
      }
    EXPECT_EQ(WindowPixel(host, 0, 0), kGray);  // the frame is drawn whatever the view
  }
  DestroyWindow(host);
}

}  // namespace
}  // namespace kelmira::test

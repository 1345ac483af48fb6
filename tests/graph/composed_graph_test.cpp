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

// Expects each listed pixel of the window to have its colour.
void ExpectPixels(HWND window, std::initializer_list<std::tuple<int, int, COLORREF>> pixels) {
  for (auto [x, y, colour] : pixels) EXPECT_EQ(WindowPixel(window, x, y), colour) << x << "," << y;
}

TEST(ComposedGraph, BackgroundGridAndLinesOnScreen) {
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto background = Create<IBackgroundLayer>(CLSID_BackgroundLayer);
  background->put_FillColor(kWhite);
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  grid->put_AutoStep(VARIANT_FALSE);
  grid->put_XStep(10);
  grid->put_YStep(20);
  grid->put_LineStyle(0);
  grid->put_LineColor(kGray);
  AddLayer(container.get(), u"Background", background.get());
  AddLayer(container.get(), u"Grid", grid.get());
  // Left: (0,0) (25,25) (100,100); right: a level line at 7.5 of 0..10.
  AddLayer(container.get(), u"Line", LineLayerWith({0, 25, 100}, {0, 25, 100}, kRed).get());
  AddLayer(container.get(), u"RightLine", LineLayerWith({0, 100}, {7.5, 7.5}, kBlue).get());
  // Names are found without regard to case.
  ASSERT_EQ(container->SetLayerRightYAxis(ByName(u"rightline"), VARIANT_TRUE), S_OK);
  ASSERT_EQ(container->SetRightYLimits(0, 10), S_OK);
  ASSERT_EQ(container->SetExtents(0, 100, 0, 100), S_OK);

  const HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr,
                                    nullptr, nullptr);
  ASSERT_TRUE(host);
  ASSERT_EQ(AtlAxAttachControl(container.get(), host, nullptr), S_OK);
  UpdateWindow(host);
  // Grid columns every 60 pixels, rows every 80 counted up from the bottom row 399; the left line
  // through its middle point (150, 399 - 100) and across a grid row; the right-Y line at 7.5 of
  // 0..10 on row 399 - 7.5 * 40.
  ExpectPixels(host, {{60, 10, kGray},
                      {540, 10, kGray},
                      {10, 319, kGray},
                      {10, 239, kGray},
                      {61, 10, kWhite},
                      {10, 318, kWhite},
                      {150, 299, kRed},
                      {150, 298, kWhite},
                      {120, 319, kRed},
                      {100, 99, kBlue},
                      {100, 100, kWhite},
                      {100, 98, kWhite}});
  // A zoom to the left half (12 pixels per unit) keeps the right-Y range and moves the grid.
  ASSERT_EQ(container->SetLimits(0, 50, 0, 100), S_OK);
  ASSERT_EQ(container->Redraw(), S_OK);
  UpdateWindow(host);
  ExpectPixels(host, {{120, 10, kGray}, {60, 10, kWhite}, {300, 99, kBlue}, {300, 299, kRed}});
  DestroyWindow(host);
}

// Views that are not finite are stored as given; painting them must still end, stay inside the
// pictures and leave every pixel defined (the sanitizer build runs this too).
TEST(ComposedGraph, ViewsThatAreNotFiniteStillPaint) {
  constexpr double kNaN = NAN, kInf = INFINITY;
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto background = Create<IBackgroundLayer>(CLSID_BackgroundLayer);
  background->put_FillColor(kWhite);
  auto grid = Create<IGridLayer>(CLSID_GridLayer);  // automatic steps
  grid->put_LineColor(kGray);
  grid->put_Border(VARIANT_TRUE);
  AddLayer(container.get(), u"Background", background.get());
  AddLayer(container.get(), u"Grid", grid.get());
  AddLayer(container.get(), u"Line", LineLayerWith({0, 25, 100}, {0, 25, 100}, kGreen).get());
  AddLayer(container.get(), u"RightLine", LineLayerWith({0, 100}, {7.5, 7.5}, kBlue).get());
  ASSERT_EQ(container->SetLayerRightYAxis(ByPosition(3), VARIANT_TRUE), S_OK);
  const HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 120, 80, nullptr, nullptr,
                                    nullptr, nullptr);
  ASSERT_EQ(AtlAxAttachControl(container.get(), host, nullptr), S_OK);
  const double views[][4] = {{kNaN, 1, 0, 1},           {-kInf, kInf, 0, 100},     {0, 100, -kInf, kNaN},
                             {kInf, kInf, kInf, kInf}, {kNaN, kNaN, kNaN, kNaN}, {-1e308, 1e308, -1e308, 1e308}};
  for (const auto& v : views) {
    SCOPED_TRACE(testing::Message() << v[0] << " " << v[1] << " " << v[2] << " " << v[3]);
    ASSERT_EQ(container->SetExtents(v[0], v[1], v[2], v[3]), S_OK);
    ASSERT_EQ(container->SetRightYLimits(v[2], v[3]), S_OK);
    ASSERT_EQ(container->Redraw(), S_OK);
    UpdateWindow(host);
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x) {
        const COLORREF c = WindowPixel(host, x, y);
        ASSERT_TRUE(c == kWhite || c == kGray || c == kGreen || c == kBlue) << x << "," << y << ": " << std::hex << c;
      }
    EXPECT_EQ(WindowPixel(host, 0, 0), kGray);  // the frame is drawn whatever the view
  }
  DestroyWindow(host);
}

}  // namespace
}  // namespace kelmira::test

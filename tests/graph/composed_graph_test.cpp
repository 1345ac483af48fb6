// A container hosted as a host would host it, with the library's own background, grid and line
// layers: the pixels of the composed picture, left and right Y, for finite views and for views
// that are not finite.
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

// Expects each listed pixel of the window to have the colour.
void ExpectPixels(HWND window, COLORREF colour, std::initializer_list<POINT> pixels) {
  for (POINT p : pixels) EXPECT_EQ(WindowPixel(window, p.x, p.y), colour) << p.x << "," << p.y;
}

// Views that are not finite are stored as given; painting them must still end, stay inside the
// pictures and leave every pixel defined (the sanitizer build runs this too).
TEST(ComposedGraph, ViewsThatAreNotFiniteStillPaint) {
  constexpr double kNaN = NAN, kInf = INFINITY;
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  IGraphicsContainer* c = container.get();
  auto background = Create<IBackgroundLayer>(CLSID_BackgroundLayer);  // white
  auto grid = Create<IGridLayer>(CLSID_GridLayer);                    // automatic steps
  grid->put_LineColor(kGray);
  grid->put_LineStyle(0);
  grid->put_Border(VARIANT_TRUE);
  AddLayer(c, u"Background", background.get());
  AddLayer(c, u"Grid", grid.get());
  AddLayer(c, u"Line", LineLayerWith({0, 25, 100}, {0, 25, 100}, kRed).get());
  AddLayer(c, u"RightLine", LineLayerWith({0, 100}, {7.5, 7.5}, kBlue).get());
  ASSERT_EQ(c->SetLayerRightYAxis(ByName(u"rightline"), VARIANT_TRUE), S_OK);  // names are found whatever the case
  const HWND host =
      CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 120, 80, nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(AtlAxAttachControl(c, host, nullptr), S_OK);

  // A finite view first: grid columns every 12 pixels, rows every 16 up from the bottom row 79; the
  // left line from (0, 79) through (30, 59); the right-Y line at 7.5 of 0..10 on row 79 - 60.
  ASSERT_EQ(c->SetExtents(0, 100, 0, 100) | c->SetRightYLimits(0, 10), S_OK);
  c->Redraw();
  UpdateWindow(host);
  ExpectPixels(host, kGray, {{12, 5}, {108, 5}, {5, 63}, {5, 15}});
  ExpectPixels(host, kWhite, {{13, 5}, {5, 62}, {50, 20}, {50, 18}});
  ExpectPixels(host, kRed, {{15, 69}, {24, 63}});
  ExpectPixels(host, kBlue, {{50, 19}});

  const double views[][4] = {{kNaN, 1, 0, 1},          {-kInf, kInf, 0, 100},    {0, 100, -kInf, kNaN},
                             {kInf, kInf, kInf, kInf}, {kNaN, kNaN, kNaN, kNaN}, {-1e308, 1e308, -1e308, 1e308}};
  for (const auto& v : views) {
    SCOPED_TRACE(testing::Message() << v[0] << " " << v[1] << " " << v[2] << " " << v[3]);
    ASSERT_EQ(c->SetExtents(v[0], v[1], v[2], v[3]) | c->SetRightYLimits(v[2], v[3]), S_OK);
    c->Redraw();
    UpdateWindow(host);
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x) {
        const COLORREF colour = WindowPixel(host, x, y);
        ASSERT_TRUE(colour == kWhite || colour == kGray || colour == kRed || colour == kBlue)
            << x << "," << y << ": " << std::hex << colour;
      }
    EXPECT_EQ(WindowPixel(host, 0, 0), kGray);  // the frame is drawn whatever the view
  }
  DestroyWindow(host);
}

}  // namespace
}  // namespace kelmira::test

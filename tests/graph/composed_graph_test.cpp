// A container hosted as a host would host it, with the library's own background, grid and line
// layers: the pixels of the composed picture, left and right Y.
#include <kelmira/kelmira.h>
#include <kelmira/platform/atlhost.h>

#include <gtest/gtest.h>

#include <cmath>

using kelmira::Bstr;
using kelmira::ComPtr;
using kelmira::Variant;

namespace {

template <class T>
ComPtr<T> Make(REFCLSID clsid, REFIID iid) {
  ComPtr<T> object;
  EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, reinterpret_cast<void**>(&object)), S_OK);
  return object;
}

ComPtr<ILineLayer> LineLayerWith(std::initializer_list<std::pair<double, double>> points, OLE_COLOR color) {
  auto layer = Make<ILineLayer>(CLSID_LineLayer, IID_ILineLayer);
  ComPtr<ILine> line;
  EXPECT_EQ(layer->AddLine(Bstr(u"data").get(), color, 0, &line), S_OK);
  ComPtr<ILineData> data;
  EXPECT_EQ(line->get_Data(&data), S_OK);
  data->put_Size(static_cast<LONG>(points.size()));
  LONG i = 0;
  for (auto [x, y] : points) {
    data->put_DataX(i, x);
    data->put_DataY(i++, y);
  }
  return layer;
}

void Add(IGraphicsContainer* container, const OLECHAR* name, IUnknown* layer) {
  ComPtr<IGraphicsLayer> graphicsLayer;
  ASSERT_EQ(layer->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&graphicsLayer)), S_OK);
  VARIANT_BOOL added = VARIANT_FALSE;
  ASSERT_EQ(container->AddLayer(Bstr(name).get(), graphicsLayer.get(), &added), S_OK);
  EXPECT_EQ(added, VARIANT_TRUE);
}

}  // namespace

TEST(ComposedGraph, BackgroundGridAndLinesOnScreen) {
  constexpr OLE_COLOR kWhite = 0xFFFFFF, kGray = 0x808080, kRed = 0x0000FF, kBlue = 0xFF0000;
  auto container = Make<IGraphicsContainer>(CLSID_GraphicsContainer, IID_IGraphicsContainer);
  auto background = Make<IBackgroundLayer>(CLSID_BackgroundLayer, IID_IBackgroundLayer);
  background->put_FillColor(kWhite);
  auto grid = Make<IGridLayer>(CLSID_GridLayer, IID_IGridLayer);
  grid->put_AutoStep(VARIANT_FALSE);
  grid->put_XStep(10);
  grid->put_YStep(20);
  grid->put_LineStyle(0);
  grid->put_LineColor(kGray);
  // Left: (0,0) (25,25) (100,100); right: a level line at 7.5 of 0..10.
  auto left = LineLayerWith({{0, 0}, {25, 25}, {100, 100}}, kRed);
  auto right = LineLayerWith({{0, 7.5}, {100, 7.5}}, kBlue);
  Add(container.get(), u"Background", background.get());
  Add(container.get(), u"Grid", grid.get());
  Add(container.get(), u"Line", left.get());
  Add(container.get(), u"RightLine", right.get());
  Variant rightLine;
  rightLine.vt = VT_BSTR;
  rightLine.bstrVal = SysAllocString(u"rightline");  // names are found without regard to case
  ASSERT_EQ(container->SetLayerRightYAxis(rightLine, VARIANT_TRUE), S_OK);
  ASSERT_EQ(container->SetRightYLimits(0, 10), S_OK);
  ASSERT_EQ(container->SetExtents(0, 100, 0, 100), S_OK);

  HWND host = CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr, nullptr,
                              nullptr);
  ASSERT_TRUE(host);
  ASSERT_EQ(AtlAxAttachControl(container.get(), host, nullptr), S_OK);
  UpdateWindow(host);
  HDC dc = GetDC(host);

  // Grid: columns every 60 pixels, rows every 80 counted up from the bottom row 399.
  EXPECT_EQ(GetPixel(dc, 60, 10), kGray);
  EXPECT_EQ(GetPixel(dc, 540, 10), kGray);
  EXPECT_EQ(GetPixel(dc, 10, 319), kGray);
  EXPECT_EQ(GetPixel(dc, 10, 239), kGray);
  EXPECT_EQ(GetPixel(dc, 61, 10), kWhite);
  EXPECT_EQ(GetPixel(dc, 10, 318), kWhite);
  // The left line through its middle point (150, 399 - 100), and across a grid row.
  EXPECT_EQ(GetPixel(dc, 150, 299), kRed);
  EXPECT_EQ(GetPixel(dc, 150, 298), kWhite);
  EXPECT_EQ(GetPixel(dc, 120, 319), kRed);
  // The right-Y line at 7.5 of 0..10: row 399 - 7.5 * 40.
  EXPECT_EQ(GetPixel(dc, 100, 99), kBlue);
  EXPECT_EQ(GetPixel(dc, 100, 100), kWhite);
  EXPECT_EQ(GetPixel(dc, 100, 98), kWhite);
  ReleaseDC(host, dc);

  // A zoom to the left half keeps the right-Y range and moves the grid with the view.
  ASSERT_EQ(container->SetLimits(0, 50, 0, 100), S_OK);
  ASSERT_EQ(container->Redraw(), S_OK);
  UpdateWindow(host);
  dc = GetDC(host);
  EXPECT_EQ(GetPixel(dc, 120, 10), kGray);  // x = 10 at 12 pixels per unit
  EXPECT_EQ(GetPixel(dc, 60, 10), kWhite);
  EXPECT_EQ(GetPixel(dc, 300, 99), kBlue);  // still row 99 for the right line
  EXPECT_EQ(GetPixel(dc, 300, 299), kRed);  // (25,25) at 12 pixels per unit in x
  ReleaseDC(host, dc);
  DestroyWindow(host);
}

// Views that are not finite are stored as given; painting them must still end, stay inside the
// pictures and leave every pixel defined (the sanitizer build runs this too).
TEST(ComposedGraph, ViewsThatAreNotFiniteStillPaint) {
  constexpr OLE_COLOR kWhite = 0xFFFFFF, kGray = 0x808080, kGreen = 0x00FF00, kBlue = 0xFF0000;
  constexpr double kNaN = NAN, kInf = INFINITY;
  auto container = Make<IGraphicsContainer>(CLSID_GraphicsContainer, IID_IGraphicsContainer);
  auto background = Make<IBackgroundLayer>(CLSID_BackgroundLayer, IID_IBackgroundLayer);
  background->put_FillColor(kWhite);
  auto grid = Make<IGridLayer>(CLSID_GridLayer, IID_IGridLayer);  // automatic steps
  grid->put_LineColor(kGray);
  grid->put_Border(VARIANT_TRUE);
  auto left = LineLayerWith({{0, 0}, {25, 25}, {100, 100}}, kGreen);
  auto right = LineLayerWith({{0, 7.5}, {100, 7.5}}, kBlue);
  Add(container.get(), u"Background", background.get());
  Add(container.get(), u"Grid", grid.get());
  Add(container.get(), u"Line", left.get());
  Add(container.get(), u"RightLine", right.get());
  Variant fourth;
  fourth.vt = VT_I4;
  fourth.lVal = 3;
  ASSERT_EQ(container->SetLayerRightYAxis(fourth, VARIANT_TRUE), S_OK);
  HWND host =
      CreateWindowExA(0, "AtlAxWin", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, 120, 80, nullptr, nullptr, nullptr, nullptr);
  ASSERT_EQ(AtlAxAttachControl(container.get(), host, nullptr), S_OK);

  const double views[][4] = {{kNaN, 1, 0, 1},          {-kInf, kInf, 0, 100},    {0, 100, -kInf, kNaN},
                             {kInf, kInf, kInf, kInf}, {kNaN, kNaN, kNaN, kNaN}, {-1e308, 1e308, -1e308, 1e308}};
  for (const auto& v : views) {
    SCOPED_TRACE(testing::Message() << v[0] << " " << v[1] << " " << v[2] << " " << v[3]);
    ASSERT_EQ(container->SetExtents(v[0], v[1], v[2], v[3]), S_OK);
    ASSERT_EQ(container->SetRightYLimits(v[2], v[3]), S_OK);
    ASSERT_EQ(container->Redraw(), S_OK);
    UpdateWindow(host);
    HDC dc = GetDC(host);
    for (int y = 0; y < 80; ++y)
      for (int x = 0; x < 120; ++x) {
        const COLORREF c = GetPixel(dc, x, y);
        ASSERT_TRUE(c == kWhite || c == kGray || c == kGreen || c == kBlue) << x << "," << y << ": " << std::hex << c;
      }
    EXPECT_EQ(GetPixel(dc, 0, 0), kGray);  // the frame is drawn whatever the view
    ReleaseDC(host, dc);
  }
  DestroyWindow(host);
}

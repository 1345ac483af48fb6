// Painting: the kept composite, which layers are called with what, merging by OR, and drawing
// into a host's device context.
#include "container/container_test_support.h"

#include "support/layer_canvas.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(RenderTest, LayersAreCalledOnlyForANewPicture) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  EXPECT_EQ(hosted.Pixel(0, 0), kRed);  // an empty stack
  EXPECT_EQ(hosted.Pixel(199, 99), kRed);
  EXPECT_EQ(GetClassLongPtrA(hosted.window, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
  EXPECT_EQ(SendMessageA(hosted.window, WM_ERASEBKGND, 0, 0), 1);

  std::vector<std::string> order;
  auto bottom = MakeLayer(RGB(0, 0, 80)), hidden = MakeLayer(0), top = MakeLayer(RGB(80, 0, 0), {0, 0, 10, 10});
  bottom->name = "bottom";
  top->name = "top";
  bottom->order = hidden->order = top->order = &order;
  AddNamed(c, u"Bottom", bottom.get());
  AddNamed(c, u"Hidden", hidden.get());
  AddNamed(c, u"Top", top.get());
  c->SetLayerVisible(At(1), VARIANT_FALSE);
  c->Redraw();
  PumpMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"bottom", "top"}));
  EXPECT_EQ(hosted.Pixel(5, 5), RGB(80, 0, 0));
  EXPECT_EQ(hosted.Pixel(199, 99), RGB(0, 0, 80));

  order.clear();
  for (int i = 0; i < 2; ++i) {
    InvalidateRect(hosted.window, nullptr, TRUE);
    PumpMessages();
  }
  EXPECT_TRUE(order.empty());  // the kept picture is copied
  c->RedrawLayer(At(2));
  PumpMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"bottom", "top"}));

  order.clear();
  MoveWindow(hosted.host, 0, 0, 150, 80, TRUE);
  PumpMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"bottom", "top"}));
  EXPECT_EQ(std::pair(bottom->draws.back().right, bottom->draws.back().bottom), (std::pair<LONG, LONG>(150, 80)));
  EXPECT_TRUE(hidden->draws.empty());
}

TEST(RenderTest, RecordsCarryTheMappingAndRightYLayersTheirOwnRange) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  auto left = MakeLayer(0), right = MakeLayer(0);
  left->useBitmap = VARIANT_TRUE;
  AddNamed(c, u"Left", left.get());
  AddNamed(c, u"Right", right.get());
  c->SetLayerRightYAxis(At(1), VARIANT_TRUE);
  c->SetExtents(-100, 100, -100, 100);
  c->SetLimits(10, 60, -5, 15);
  c->SetRightYLimits(-10, 10);
  c->Redraw();
  PumpMessages();
  ASSERT_EQ(left->draws.size(), 1u);
  ASSERT_EQ(right->draws.size(), 1u);
  auto fields = [](const DrawLayerInfo& i) {
    return std::tuple(i.left, i.top, i.right, i.bottom, i.XMin, i.YMin, i.XScale, i.YScale);
  };
  EXPECT_EQ(fields(left->draws[0]), std::tuple(0, 0, 200, 100, 10.0, -5.0, 4.0, 5.0));
  EXPECT_EQ(fields(right->draws[0]), std::tuple(0, 0, 200, 100, 10.0, -10.0, 4.0, 5.0));
  EXPECT_NE(right->draws[0].hDC, left->draws[0].hDC);  // the bitmap layer draws into a context of its own
}

TEST(RenderTest, BitmapLayersAreMergedByOrAndFailuresAreSkipped) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  auto base = MakeLayer(RGB(0, 0, 0x80));
  auto red = MakeLayer(RGB(255, 0, 0), {0, 0, 20, 20});
  auto green = MakeLayer(RGB(0, 255, 0), {10, 10, 30, 30});
  auto cover = MakeLayer(RGB(1, 2, 3), {0, 0, 5, 5});
  auto failing = MakeLayer(RGB(9, 9, 9));
  auto silent = MakeLayer(RGB(9, 9, 9));
  red->useBitmap = 5;  // any non-zero value
  green->useBitmap = failing->useBitmap = VARIANT_TRUE;
  failing->redrawResult = E_UNEXPECTED;
  silent->useBitmapResult = E_FAIL;
  for (auto* l : {base.get(), red.get(), green.get(), failing.get(), silent.get()}) AddNamed(c, u"", l);
  AddNamed(c, u"", nullptr);
  AddNamed(c, u"", cover.get());
  c->Redraw();
  PumpMessages();
  EXPECT_EQ(hosted.Pixel(15, 15), RGB(255, 255, 0x80));
  EXPECT_EQ(hosted.Pixel(100, 50), RGB(0, 0, 0x80));  // black bitmap pixels change nothing
  EXPECT_EQ(hosted.Pixel(2, 2), RGB(1, 2, 3));        // direct layers paint over
  EXPECT_EQ(failing->draws.size(), 1u);
  EXPECT_TRUE(silent->draws.empty());
  EXPECT_EQ(cover->draws.size(), 1u);

  c->SetLayerVisible(At(0), VARIANT_FALSE);
  c->Redraw();
  PumpMessages();
  EXPECT_EQ(hosted.Pixel(15, 15), RGB(255, 255, 0));  // 0x0000FF | 0x00FF00
  EXPECT_EQ(hosted.Pixel(100, 50), kRed);
}

TEST(RenderTest, DrawingIntoAHostContextAtAnOffset) {
  auto c = NewContainer();
  ComPtr<IBackgroundLayer> background;  // the library's own layer covers the red
  ASSERT_EQ(CoCreateInstance(CLSID_BackgroundLayer, nullptr, CLSCTX_INPROC_SERVER, IID_IBackgroundLayer,
                             reinterpret_cast<void**>(&background)),
            S_OK);
  background->put_FillColor(RGB(1, 2, 3));
  AddNamed(c.get(), u"Background", background.get());
  auto layer = MakeLayer(RGB(0, 200, 0), {0, 0, 10, 10});
  AddNamed(c.get(), u"Corner", layer.get());
  ComPtr<IViewObject> view;
  ASSERT_EQ(c->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)), S_OK);
  kelmira_test::LayerCanvas canvas(300, 200, RGB(255, 255, 255));
  const HDC dc = canvas.dc();
  auto draw = [&](RECTL bounds) {
    return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0);
  };
  ASSERT_EQ(draw({50, 40, 150, 90}), S_OK);
  EXPECT_EQ(std::pair(layer->draws.back().right, layer->draws.back().bottom), (std::pair<LONG, LONG>(100, 50)));
  EXPECT_EQ(GetPixel(dc, 50, 40), RGB(0, 200, 0));
  EXPECT_EQ(GetPixel(dc, 60, 50), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(dc, 149, 89), RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(dc, 49, 40), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(dc, 150, 89), RGB(255, 255, 255));

  layer->color = RGB(1, 1, 1);
  ASSERT_EQ(draw({0, 0, 100, 50}), S_OK);  // same size: the kept picture, elsewhere
  EXPECT_EQ(layer->draws.size(), 1u);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 200, 0));
  c->Redraw();
  draw({0, 0, 100, 50});
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(1, 1, 1));
}

}  // namespace

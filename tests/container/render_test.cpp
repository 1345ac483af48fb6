// Painting: the kept composite, which layers are called with what, merging by OR, and drawing
// into a host's device context.
#include "support/canvas.h"
#include "support/create.h"
#include "support/hosted_control.h"
#include "support/index_variant.h"
#include "support/layer_stack.h"
#include "support/pump.h"

#include <tuple>

namespace kelmira::test {
namespace {

void Repaint(IGraphicsContainer* c) {
  c->Redraw();
  Pump();
}

TEST(RenderTest, LayersAreCalledOnlyForANewPicture) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  // An empty stack leaves the red; the background is never erased.
  EXPECT_EQ(std::tuple(WindowPainted(hosted.window, kRed), GetClassLongPtrA(hosted.window, GCL_STYLE),
                       SendMessageA(hosted.window, WM_ERASEBKGND, 0, 0)),
            std::tuple(PixelSet{}, static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS), LRESULT{1}));

  auto bottom = RecordingLayer::Make(RGB(0, 0, 80)), hidden = RecordingLayer::Make(),
       top = RecordingLayer::Make(RGB(80, 0, 0), {0, 0, 10, 10});
  AddLayer(c, u"Bottom", bottom.get());
  AddLayer(c, u"Hidden", hidden.get());
  AddLayer(c, u"Top", top.get());
  c->SetLayerVisible(ByPosition(1), VARIANT_FALSE);
  auto draws = [&] { return std::tuple(bottom->draws.size(), hidden->draws.size(), top->draws.size()); };
  Repaint(c);
  // Bottom to top: the top layer's corner over the bottom's fill.
  EXPECT_EQ(std::tuple(hosted.Pixel(5, 5), hosted.Pixel(199, 99), draws()),
            std::tuple(RGB(80, 0, 0), RGB(0, 0, 80), std::tuple(1u, 0u, 1u)));
  InvalidateRect(hosted.window, nullptr, TRUE);
  Pump();
  EXPECT_EQ(draws(), std::tuple(1u, 0u, 1u));  // the kept picture is copied
  c->RedrawLayer(ByPosition(2));
  Pump();
  EXPECT_EQ(draws(), std::tuple(2u, 0u, 2u));
  MoveWindow(hosted.host, 0, 0, 150, 80, TRUE);
  Pump();
  EXPECT_EQ(std::tuple(draws(), bottom->draws.back().right, bottom->draws.back().bottom),
            std::tuple(std::tuple(3u, 0u, 3u), 150, 80));
}

TEST(RenderTest, RecordsCarryTheMappingBitmapLayersAreMergedByOrAndFailuresAreSkipped) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  auto base = RecordingLayer::Make(RGB(0, 0, 0x80));
  auto red = RecordingLayer::Make(RGB(255, 0, 0), {0, 0, 20, 20});
  auto green = RecordingLayer::Make(RGB(0, 255, 0), {10, 10, 30, 30});
  auto failing = RecordingLayer::Make(RGB(9, 9, 9)), silent = RecordingLayer::Make(RGB(9, 9, 9));
  auto cover = RecordingLayer::Make(RGB(1, 2, 3), {0, 0, 5, 5});
  red->useBitmap = 5;  // any non-zero value
  green->useBitmap = failing->useBitmap = VARIANT_TRUE;
  failing->redrawResult = E_UNEXPECTED;
  silent->useBitmapResult = E_FAIL;
  for (auto* l : {base.get(), red.get(), green.get(), failing.get(), silent.get()}) AddLayer(c, u"", l);
  AddLayer(c, u"", nullptr);
  AddLayer(c, u"", cover.get());
  c->SetLayerRightYAxis(ByPosition(2), VARIANT_TRUE);
  c->SetExtents(-100, 100, -100, 100);
  c->SetLimits(10, 60, -5, 15);
  c->SetRightYLimits(-10, 10);
  Repaint(c);
  auto fields = [](const DrawLayerInfo& i) {
    return std::tuple(i.left, i.top, i.right, i.bottom, i.XMin, i.YMin, i.XScale, i.YScale);
  };
  EXPECT_EQ(
      std::pair(fields(base->draws.at(0)), fields(green->draws.at(0))),  // the right-Y layer: its own Y range
      std::pair(std::tuple(0, 0, 200, 100, 10.0, -5.0, 4.0, 5.0), std::tuple(0, 0, 200, 100, 10.0, -10.0, 4.0, 5.0)));
  EXPECT_NE(green->draws[0].hDC, base->draws[0].hDC);  // a bitmap layer draws into a context of its own
  // Black bitmap pixels change nothing; direct layers paint over.
  EXPECT_EQ(std::tuple(hosted.Pixel(15, 15), hosted.Pixel(100, 50), hosted.Pixel(2, 2)),
            std::tuple(RGB(255, 255, 0x80), RGB(0, 0, 0x80), RGB(1, 2, 3)));
  EXPECT_EQ(std::tuple(base->draws.size(), failing->draws.size(), silent->draws.size(), cover->draws.size()),
            std::tuple(1u, 1u, 0u, 1u));

  c->SetLayerVisible(ByPosition(0), VARIANT_FALSE);
  Repaint(c);
  EXPECT_EQ(std::pair(hosted.Pixel(15, 15), hosted.Pixel(100, 50)), std::pair(RGB(255, 255, 0), kRed));
}

TEST(RenderTest, DrawingIntoAHostContextAtAnOffset) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto background = Create<IBackgroundLayer>(CLSID_BackgroundLayer);  // the library's own layer covers the red
  background->put_FillColor(RGB(1, 2, 3));
  AddLayer(c.get(), u"Background", background.get());
  auto layer = RecordingLayer::Make(RGB(0, 200, 0), {0, 0, 10, 10});
  AddLayer(c.get(), u"Corner", layer.get());
  Canvas canvas(300, 200);
  ASSERT_EQ(DrawView(c.get(), canvas, {50, 40, 150, 90}), S_OK);
  EXPECT_EQ(std::pair(layer->draws.back().right, layer->draws.back().bottom), std::pair(100, 50));
  ExpectPicture(canvas, [](int x, int y) {
    return x < 50 || y < 40 || x >= 150 || y >= 90 ? kWhite : x < 60 && y < 50 ? RGB(0, 200, 0) : RGB(1, 2, 3);
  });

  layer->color = RGB(1, 1, 1);
  ASSERT_EQ(DrawView(c.get(), canvas, {0, 0, 100, 50}), S_OK);  // same size: the kept picture, elsewhere
  EXPECT_EQ(std::pair(layer->draws.size(), canvas.At(0, 0)), std::pair(size_t{1}, RGB(0, 200, 0)));
  c->Redraw();
  DrawView(c.get(), canvas, {0, 0, 100, 50});
  EXPECT_EQ(canvas.At(0, 0), RGB(1, 1, 1));
}

}  // namespace
}  // namespace kelmira::test

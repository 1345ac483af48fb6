// Painting: the kept composite, which layers are called and with what, how bitmap layers are
// merged, and drawing into a host's device context.
#include "container/container_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

using kelmira::Bstr;
using kelmira::ComPtr;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);  // 0x0000FF: what no layer covers
constexpr COLORREF kWhite = RGB(255, 255, 255);

void AddLayer(IGraphicsContainer* c, const char16_t* name, IGraphicsLayer* layer) {
  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(c->AddLayer(Bstr(name).get(), layer, &ok), S_OK);
}

class MemoryCanvas {
 public:
  MemoryCanvas(int width, int height)
      : dc_(CreateCompatibleDC(nullptr)), bitmap_(CreateCompatibleBitmap(dc_, width, height)) {
    old_ = SelectObject(dc_, bitmap_);
    RECT all{0, 0, width, height};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~MemoryCanvas() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  MemoryCanvas(const MemoryCanvas&) = delete;
  MemoryCanvas& operator=(const MemoryCanvas&) = delete;
  HDC dc() const { return dc_; }
  COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ old_;
};

HRESULT DrawInto(IGraphicsContainer* c, HDC hdc, RECTL bounds) {
  ComPtr<IViewObject> view;
  c->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view));
  if (!view) return E_NOINTERFACE;
  return view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, hdc, &bounds, nullptr, nullptr, 0);
}

TEST(RenderTest, EmptyStackPaintsRedAndAFullLayerCoversIt) {
  HostedContainer hosted(200, 100);
  ASSERT_NE(hosted.window, nullptr);
  EXPECT_EQ(hosted.Pixel(0, 0), kRed);
  EXPECT_EQ(hosted.Pixel(199, 99), kRed);
  // Double-clicks arrive as such, the cursor is the arrow, and the background is never erased.
  EXPECT_EQ(GetClassLongPtrA(hosted.window, GCL_STYLE), static_cast<ULONG_PTR>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS));
  char className[64] = {};
  GetClassNameA(hosted.window, className, sizeof className);
  WNDCLASSEXA windowClass{};
  windowClass.cbSize = sizeof windowClass;
  ASSERT_TRUE(GetClassInfoExA(nullptr, className, &windowClass));
  EXPECT_EQ(windowClass.hCursor, LoadCursorA(nullptr, IDC_ARROW));
  HDC dc = GetDC(hosted.window);
  EXPECT_EQ(SendMessageA(hosted.window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0), 1);
  ReleaseDC(hosted.window, dc);

  auto background = MakeLayer(RGB(10, 20, 30));
  AddLayer(hosted.container.get(), u"Background", background.get());
  hosted.container->Redraw();
  PumpMessages();
  EXPECT_EQ(hosted.Pixel(0, 0), RGB(10, 20, 30));
  EXPECT_EQ(hosted.Pixel(199, 99), RGB(10, 20, 30));
}

TEST(RenderTest, LayersAreCalledOnlyWhenANewPictureIsNeeded) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  std::vector<std::string> order;
  auto bottom = MakeLayer(RGB(0, 0, 80));
  auto hidden = MakeLayer(RGB(0, 80, 0));
  auto top = MakeLayer(RGB(80, 0, 0));
  bottom->name = "bottom";
  hidden->name = "hidden";
  top->name = "top";
  for (auto* l : {bottom.get(), hidden.get(), top.get()}) l->order = &order;
  top->area = RECT{0, 0, 10, 10};
  AddLayer(c, u"Bottom", bottom.get());
  AddLayer(c, u"Hidden", hidden.get());
  AddLayer(c, u"Top", top.get());
  c->SetLayerVisible(IndexOf(1), VARIANT_FALSE);

  c->Redraw();
  PumpMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"bottom", "top"}));
  EXPECT_EQ(hosted.Pixel(5, 5), RGB(80, 0, 0));
  EXPECT_EQ(hosted.Pixel(50, 50), RGB(0, 0, 80));

  // Repaints without Redraw copy the kept picture and call nobody.
  order.clear();
  InvalidateRect(hosted.window, nullptr, TRUE);
  PumpMessages();
  InvalidateRect(hosted.window, nullptr, TRUE);
  PumpMessages();
  EXPECT_TRUE(order.empty());
  EXPECT_EQ(hidden->useBitmapQueries, 0);
  EXPECT_EQ(hosted.Pixel(5, 5), RGB(80, 0, 0));

  // RedrawLayer also redraws every visible layer, in stack order.
  c->RedrawLayer(IndexOf(2));
  PumpMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"bottom", "top"}));

  // A new size gives a new picture with the new right and bottom.
  order.clear();
  ASSERT_TRUE(MoveWindow(hosted.host, 0, 0, 150, 80, TRUE));
  PumpMessages();
  EXPECT_EQ(order, (std::vector<std::string>{"bottom", "top"}));
  ASSERT_FALSE(bottom->draws.empty());
  EXPECT_EQ(bottom->draws.back().right, 150);
  EXPECT_EQ(bottom->draws.back().bottom, 80);
  EXPECT_EQ(bottom->draws.back().left, 0);
  EXPECT_EQ(bottom->draws.back().top, 0);
  EXPECT_TRUE(hidden->draws.empty());
}

TEST(RenderTest, RecordsCarryTheMappingAndRightYLayersTheirOwnVerticalRange) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  auto left = MakeLayer();
  auto right = MakeLayer();
  left->useBitmap = VARIANT_TRUE;
  AddLayer(c, u"Left", left.get());
  AddLayer(c, u"Right", right.get());
  c->SetLayerRightYAxis(IndexOf(1), VARIANT_TRUE);
  c->SetExtents(-100, 100, -100, 100);
  c->SetLimits(10, 60, -5, 15);
  c->SetRightYLimits(-10, 10);
  c->Redraw();
  PumpMessages();
  ASSERT_EQ(left->draws.size(), 1u);
  ASSERT_EQ(right->draws.size(), 1u);
  const DrawLayerInfo& l = left->draws[0];
  const DrawLayerInfo& r = right->draws[0];
  EXPECT_EQ(l.right, 200);
  EXPECT_EQ(l.bottom, 100);
  EXPECT_EQ(l.XMin, 10.0);
  EXPECT_EQ(l.YMin, -5.0);
  EXPECT_EQ(l.XScale, 4.0);
  EXPECT_EQ(l.YScale, 5.0);
  EXPECT_EQ(r.YMin, -10.0);
  EXPECT_EQ(r.YScale, 5.0);
  EXPECT_EQ(r.XMin, l.XMin);
  EXPECT_EQ(r.XScale, l.XScale);
  EXPECT_EQ(r.right, l.right);
  EXPECT_EQ(r.bottom, l.bottom);
  // The bitmap layer drew into a context of its own, the other one straight onto the composite.
  EXPECT_NE(l.hDC, r.hDC);

  // A zero-width view (minimum 0) still hands out finite, non-zero scales.
  c->put_MinZoomX(0.0);
  c->SetLimits(20, 20, -5, 15);
  c->Redraw();
  PumpMessages();
  ASSERT_EQ(left->draws.size(), 2u);
  EXPECT_TRUE(std::isfinite(left->draws[1].XScale));
  EXPECT_GT(left->draws[1].XScale, 0.0);
}

TEST(RenderTest, BitmapLayersAreMergedByOrAndDirectLayersPaintOver) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  auto base = MakeLayer(RGB(0, 0, 0x80));        // direct, fills everything
  auto red = MakeLayer(RGB(255, 0, 0));          // 0x0000FF, bitmap
  auto green = MakeLayer(RGB(0, 255, 0));        // 0x00FF00, bitmap
  auto cover = MakeLayer(RGB(1, 2, 3));          // direct, on top of a corner
  red->useBitmap = 5;  // any non-zero value counts
  green->useBitmap = VARIANT_TRUE;
  red->area = RECT{0, 0, 20, 20};
  green->area = RECT{10, 10, 30, 30};
  cover->area = RECT{0, 0, 5, 5};
  AddLayer(c, u"Base", base.get());
  AddLayer(c, u"Red", red.get());
  AddLayer(c, u"Green", green.get());
  AddLayer(c, u"Cover", cover.get());
  c->Redraw();
  PumpMessages();
  EXPECT_EQ(hosted.Pixel(15, 15), RGB(255, 255, 0x80));  // 0x0000FF | 0x00FF00 | 0x800000
  EXPECT_EQ(hosted.Pixel(25, 25), RGB(0, 255, 0x80));
  EXPECT_EQ(hosted.Pixel(100, 50), RGB(0, 0, 0x80));      // black of the bitmaps leaves it alone
  EXPECT_EQ(hosted.Pixel(2, 2), RGB(1, 2, 3));

  // Without the base the same pixel shows the plain OR of the two layers on red.
  c->SetLayerVisible(IndexOf(0), VARIANT_FALSE);
  c->Redraw();
  PumpMessages();
  EXPECT_EQ(hosted.Pixel(15, 15), RGB(255, 255, 0));  // 0x00FFFF
}

TEST(RenderTest, FailingAndEmptyRecordsAreSkippedAndThePaintGoesOn) {
  HostedContainer hosted(200, 100);
  IGraphicsContainer* c = hosted.container.get();
  auto noAnswer = MakeLayer(RGB(9, 9, 9));
  noAnswer->useBitmapResult = E_FAIL;
  auto failing = MakeLayer(RGB(7, 7, 7));
  failing->useBitmap = VARIANT_TRUE;
  failing->redrawResult = E_UNEXPECTED;
  auto last = MakeLayer(RGB(0, 0, 90));
  last->area = RECT{0, 0, 10, 10};
  AddLayer(c, u"NoAnswer", noAnswer.get());
  AddLayer(c, u"Empty", nullptr);
  AddLayer(c, u"Failing", failing.get());
  AddLayer(c, u"Last", last.get());
  c->Redraw();
  PumpMessages();
  EXPECT_TRUE(noAnswer->draws.empty());
  EXPECT_EQ(failing->draws.size(), 1u);
  EXPECT_EQ(last->draws.size(), 1u);
  EXPECT_EQ(hosted.Pixel(5, 5), RGB(0, 0, 90));
  EXPECT_EQ(hosted.Pixel(50, 50), kRed);  // the failed bitmap layer was not merged
}

TEST(RenderTest, DrawingIntoAHostContextUsesTheBoundsAsTheArea) {
  auto c = NewContainer();
  auto layer = MakeLayer(RGB(0, 200, 0));
  layer->area = RECT{0, 0, 10, 10};
  AddLayer(c.get(), u"Corner", layer.get());
  MemoryCanvas canvas(300, 200);
  ASSERT_EQ(DrawInto(c.get(), canvas.dc(), RECTL{50, 40, 150, 90}), S_OK);
  ASSERT_EQ(layer->draws.size(), 1u);
  EXPECT_EQ(layer->draws[0].right, 100);
  EXPECT_EQ(layer->draws[0].bottom, 50);
  EXPECT_EQ(canvas.At(50, 40), RGB(0, 200, 0));
  EXPECT_EQ(canvas.At(59, 49), RGB(0, 200, 0));
  EXPECT_EQ(canvas.At(60, 50), kRed);
  EXPECT_EQ(canvas.At(149, 89), kRed);
  EXPECT_EQ(canvas.At(49, 40), kWhite);
  EXPECT_EQ(canvas.At(150, 89), kWhite);
  EXPECT_EQ(canvas.At(50, 90), kWhite);

  // The same size again: the kept picture is copied, even to another place.
  layer->color = RGB(1, 1, 1);
  MemoryCanvas second(300, 200);
  ASSERT_EQ(DrawInto(c.get(), second.dc(), RECTL{0, 0, 100, 50}), S_OK);
  EXPECT_EQ(layer->draws.size(), 1u);
  EXPECT_EQ(second.At(0, 0), RGB(0, 200, 0));
  EXPECT_EQ(second.At(99, 49), kRed);

  // Redraw (not active: the view sink is told) makes the next draw call the layer again.
  c->Redraw();
  ASSERT_EQ(DrawInto(c.get(), second.dc(), RECTL{0, 0, 100, 50}), S_OK);
  EXPECT_EQ(layer->draws.size(), 2u);
  EXPECT_EQ(second.At(0, 0), RGB(1, 1, 1));

  // An empty area draws nothing and fails nothing.
  EXPECT_EQ(DrawInto(c.get(), second.dc(), RECTL{10, 10, 10, 10}), S_OK);
}

}  // namespace

// BackgroundLayer: its interfaces, stored properties and the fill.
#include "support/canvas.h"
#include "support/create.h"
#include "support/property.h"

#include <vector>

namespace kelmira::test {
namespace {

TEST(BackgroundLayerTest, FillsExactlyItsRectangleAndLeavesTheBackgroundColourSet) {
  auto layer = Create<IBackgroundLayer>(CLSID_BackgroundLayer);
  EXPECT_EQ(Get(layer.get(), &IBackgroundLayer::get_FillColor), kWhite);  // the documented starting colour
  Canvas canvas(220, 120, 0x00404040);
  EXPECT_EQ(layer->Redraw(LayerInfo(canvas.dc(), 200, 100, 0, 200, 0, 100)), S_OK);
  ExpectPicture(canvas, [](int x, int y) { return x < 200 && y < 100 ? kWhite : 0x00404040; });
  EXPECT_EQ(GetBkColor(canvas.dc()), kWhite);

  ASSERT_EQ(layer->put_FillColor(0x00C0C0C0), S_OK);
  EXPECT_EQ(layer->Redraw(LayerInfo(canvas.dc(), 10, 10, 0, 10, 0, 10)), S_OK);
  EXPECT_EQ(std::pair(canvas.At(9, 9), canvas.At(10, 9)), std::pair(0x00C0C0C0u, kWhite));
  EXPECT_EQ(GetBkColor(canvas.dc()), 0x00C0C0C0u);

  // A system colour goes to the context as it is.
  ASSERT_EQ(layer->put_FillColor(0x80000005), S_OK);
  EXPECT_EQ(Get(layer.get(), &IBackgroundLayer::get_FillColor), 0x80000005u);
  EXPECT_EQ(layer->Redraw(LayerInfo(canvas.dc(), 10, 10, 0, 10, 0, 10)), S_OK);
  EXPECT_EQ(GetBkColor(canvas.dc()), 0x80000005u);
}

TEST(BackgroundLayerTest, StoresUseBitmapAndAnswersForItsOwnInterfacesOnly) {
  auto layer = Create<IBackgroundLayer>(CLSID_BackgroundLayer);
  VARIANT_BOOL before = -1, after = -1;
  // Braces: the three calls run in order.
  EXPECT_EQ(
      (std::vector<HRESULT>{layer->get_UseBitmap(&before), layer->put_UseBitmap(5), layer->get_UseBitmap(&after)}),
      std::vector<HRESULT>(3, S_OK));
  EXPECT_EQ(std::pair(before, after), std::pair(VARIANT_FALSE, VARIANT_BOOL{5}));
  EXPECT_TRUE(layer.As<IGraphicsLayer>());
  EXPECT_FALSE(layer.As<IGridLayer>() || layer.As<IConnectionPointContainer>() || layer.As<IPersistStreamInit>());

  // IDispatch is the background layer's own: FillColor is found by name.
  const OLECHAR* name = u"FillColor";
  DISPID id = 0;
  ASSERT_EQ(layer.As<IDispatch>()->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&name), 1, 0, &id), S_OK);
  EXPECT_EQ(id, 1);
}

}  // namespace
}  // namespace kelmira::test

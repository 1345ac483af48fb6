// BackgroundLayer: its interfaces, stored properties and the fill.
#include <kelmira/kelmira.h>
#include <kelmira/platform.h>

#include <gtest/gtest.h>

namespace kelmira::test {
namespace {

class BackgroundLayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    ASSERT_EQ(
        CoCreateInstance(CLSID_BackgroundLayer, nullptr, CLSCTX_INPROC_SERVER, IID_IBackgroundLayer, (void**)&layer_),
        S_OK);
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, 220, 120);
    old_ = SelectObject(dc_, bitmap_);
    const RECT all{0, 0, 220, 120};
    HBRUSH grey = CreateSolidBrush(0x00404040);
    FillRect(dc_, &all, grey);
    DeleteObject(grey);
  }
  void TearDown() override {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
    layer_ = nullptr;
    CoUninitialize();
  }
  DrawLayerInfo Info(LONG right, LONG bottom) const {
    DrawLayerInfo info{};
    info.hDC = static_cast<LONG>(HandleToUlong(dc_));
    info.right = right;
    info.bottom = bottom;
    info.XScale = info.YScale = 1.0;
    return info;
  }

  ComPtr<IBackgroundLayer> layer_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ old_ = nullptr;
};

TEST_F(BackgroundLayerTest, FillsExactlyItsRectangleAndLeavesTheBackgroundColourSet) {
  OLE_COLOR colour = 0;
  EXPECT_EQ(layer_->get_FillColor(&colour), S_OK);
  EXPECT_EQ(colour, 0x00FFFFFFu);  // the documented starting colour
  EXPECT_EQ(layer_->Redraw(Info(200, 100)), S_OK);
  int wrong = 0;
  for (int y = 0; y < 120; ++y)
    for (int x = 0; x < 220; ++x) {
      const COLORREF expected = x < 200 && y < 100 ? 0x00FFFFFF : 0x00404040;
      wrong += (GetPixel(dc_, x, y) & 0xFFFFFF) != expected;
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(GetBkColor(dc_), 0x00FFFFFFu);

  ASSERT_EQ(layer_->put_FillColor(0x00C0C0C0), S_OK);
  EXPECT_EQ(layer_->Redraw(Info(10, 10)), S_OK);
  EXPECT_EQ(GetPixel(dc_, 9, 9) & 0xFFFFFF, 0x00C0C0C0u);
  EXPECT_EQ(GetPixel(dc_, 10, 9) & 0xFFFFFF, 0x00FFFFFFu);
  EXPECT_EQ(GetBkColor(dc_), 0x00C0C0C0u);

  // A system colour goes to the context as it is.
  ASSERT_EQ(layer_->put_FillColor(0x80000005), S_OK);
  EXPECT_EQ(layer_->get_FillColor(&colour), S_OK);
  EXPECT_EQ(colour, 0x80000005u);
  EXPECT_EQ(layer_->Redraw(Info(10, 10)), S_OK);
  EXPECT_EQ(GetBkColor(dc_), 0x80000005u);
}

TEST_F(BackgroundLayerTest, StoresUseBitmapAndAnswersForItsOwnInterfacesOnly) {
  VARIANT_BOOL use = -1;
  EXPECT_EQ(layer_->get_UseBitmap(&use), S_OK);
  EXPECT_EQ(use, VARIANT_FALSE);
  EXPECT_EQ(layer_->put_UseBitmap(5), S_OK);
  EXPECT_EQ(layer_->get_UseBitmap(&use), S_OK);
  EXPECT_EQ(use, 5);
  EXPECT_EQ(layer_->get_UseBitmap(nullptr), E_POINTER);

  ComPtr<IGraphicsLayer> graphics;
  EXPECT_EQ(layer_->QueryInterface(IID_IGraphicsLayer, (void**)&graphics), S_OK);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(layer_->QueryInterface(IID_IDispatch, (void**)&dispatch), S_OK);
  for (const IID* iid : {&IID_IGridLayer, &IID_ILineLayer, &IID_IConnectionPointContainer, &IID_IPersistStreamInit}) {
    ComPtr<IUnknown> other;
    EXPECT_EQ(layer_->QueryInterface(*iid, (void**)&other), E_NOINTERFACE);
  }

  // IDispatch is the background layer's own: FillColor is found by name and read.
  const OLECHAR* name = u"FillColor";
  DISPID id = 0;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(&name), 1, 0, &id), S_OK);
  EXPECT_EQ(id, 1);
  Variant result;
  DISPPARAMS none{};
  ASSERT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(result.vt, VT_UI4);
  EXPECT_EQ(result.ulVal, 0x00FFFFFFu);

  // Aggregated creation gives the same layer behind the outer object.
  ComPtr<IUnknown> outer, inner;
  ASSERT_EQ(CoCreateInstance(CLSID_BackgroundLayer, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&outer), S_OK);
  ASSERT_EQ(CoCreateInstance(CLSID_BackgroundLayer, outer.get(), CLSCTX_INPROC_SERVER, IID_IUnknown, (void**)&inner),
            S_OK);
  ComPtr<IBackgroundLayer> aggregated;
  ASSERT_EQ(inner->QueryInterface(IID_IBackgroundLayer, (void**)&aggregated), S_OK);
  EXPECT_EQ(aggregated->get_FillColor(nullptr), E_POINTER);
}

}  // namespace
}  // namespace kelmira::test

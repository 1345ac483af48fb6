// LineLegendLayer: its settings, the line layer it holds, and a UseBitmap it does not keep.
#include "layer_canvas.h"

#include <gtest/gtest.h>

#include <tuple>

using grid_test::Canvas;
using grid_test::LayerInfo;
using kelmira::ComPtr;

namespace {

ComPtr<ILineLegendLayer> MakeLegend() {
  ComPtr<ILineLegendLayer> legend;
  EXPECT_EQ(CoCreateInstance(CLSID_LineLegendLayer, nullptr, CLSCTX_INPROC_SERVER, IID_ILineLegendLayer,
                             reinterpret_cast<void**>(&legend)),
            S_OK);
  return legend;
}

// A line layer stand-in that counts its references and answers ILineLayer queries with a chosen
// result (E_NOINTERFACE plays an object such as a Line).
class FakeLineLayer final : public ILineLayer {
 public:
  explicit FakeLineLayer(HRESULT queryResult = S_OK) : queryResult_(queryResult) {}
  ULONG refs = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown)) return Hand(ppv);
    if (IsEqualIID(riid, IID_ILineLayer)) return FAILED(queryResult_) ? queryResult_ : Hand(ppv);
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Redraw(DrawLayerInfo) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE get_UseBitmap(VARIANT_BOOL*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_UseBitmap(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE AddLine(BSTR, OLE_COLOR, LONG, ILine**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveLine(VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Count(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Offset(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Offset(LONG) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE RemoveAllLines() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_DesignMode(VARIANT_BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Lines(VARIANT, ILine**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Lines(VARIANT, ILine*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE get_Style(LONG*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_Style(LONG) override { return E_NOTIMPL; }

 private:
  HRESULT Hand(void** ppv) {
    *ppv = static_cast<ILineLayer*>(this);
    AddRef();
    return S_OK;
  }
  HRESULT queryResult_;
};

ILineLayer* HeldLineLayer(ILineLegendLayer* legend) {
  ILineLayer* held = reinterpret_cast<ILineLayer*>(1);
  EXPECT_EQ(legend->get_LineLayer(&held), S_OK);
  if (held) held->Release();  // the fakes outlive the legend; the pointer stays comparable
  return held;
}

}  // namespace

TEST(LineLegendLayerTest, StoresItsSettingsDrawsNothingAndDoesNotKeepUseBitmap) {
  ComPtr<ILineLegendLayer> legend = MakeLegend();
  ASSERT_TRUE(legend);
  LONG h = -1, v = -1;
  legend->get_HorizontalPosition(&h);
  legend->get_VerticalPosition(&v);
  EXPECT_EQ(std::tuple(h, v, HeldLineLayer(legend.get())), std::tuple(0, 0, nullptr));
  EXPECT_EQ(legend->get_HorizontalPosition(nullptr), E_POINTER);
  EXPECT_EQ(legend->get_LineLayer(nullptr), E_POINTER);

  Canvas canvas(50, 40);
  canvas.Fill(grid_test::kGrey);
  EXPECT_EQ(legend->Redraw(LayerInfo(canvas.dc(), 50, 40, 0, 100, 0, 100)), S_OK);
  EXPECT_EQ(kelmira_test::LayerCanvas(50, 40, grid_test::kGrey).Differences(canvas).size(), 0u);
  EXPECT_EQ(legend->Redraw(LayerInfo(nullptr, 0, 0, 0, 0, 0, 0)), S_OK);  // nothing to draw into

  for (VARIANT_BOOL put : {VARIANT_FALSE, VARIANT_TRUE}) {
    VARIANT_BOOL value = VARIANT_FALSE;
    EXPECT_EQ(legend->put_UseBitmap(put), S_OK);
    EXPECT_EQ(legend->get_UseBitmap(&value), E_NOTIMPL);
    EXPECT_EQ(value, VARIANT_TRUE);
  }
  EXPECT_EQ(legend->get_UseBitmap(nullptr), E_POINTER);
}

TEST(LineLegendLayerTest, HoldsOnlyObjectsThatAreLineLayers) {
  FakeLineLayer first, second;
  FakeLineLayer notALineLayer(E_NOINTERFACE);
  FakeLineLayer failing(E_OUTOFMEMORY);
  {
    ComPtr<ILineLegendLayer> legend = MakeLegend();
    ASSERT_TRUE(legend);
    EXPECT_EQ(legend->put_LineLayer(&first), S_OK);
    EXPECT_EQ(HeldLineLayer(legend.get()), &first);
    EXPECT_EQ(first.refs, 2u);

    EXPECT_EQ(legend->put_LineLayer(&second), S_OK);
    EXPECT_EQ(HeldLineLayer(legend.get()), &second);
    EXPECT_EQ(first.refs, 1u);
    EXPECT_EQ(second.refs, 2u);

    // Any other failure of the query is reported and keeps what was held.
    EXPECT_EQ(legend->put_LineLayer(&failing), E_OUTOFMEMORY);
    EXPECT_EQ(HeldLineLayer(legend.get()), &second);

    // An object without ILineLayer empties the legend, and the put still succeeds.
    EXPECT_EQ(legend->put_LineLayer(&notALineLayer), S_OK);
    EXPECT_EQ(HeldLineLayer(legend.get()), nullptr);
    EXPECT_EQ(second.refs, 1u);
    EXPECT_EQ(notALineLayer.refs, 1u);

    EXPECT_EQ(legend->put_LineLayer(&first), S_OK);
    EXPECT_EQ(legend->put_LineLayer(nullptr), S_OK);
    EXPECT_EQ(HeldLineLayer(legend.get()), nullptr);
    EXPECT_EQ(first.refs, 1u);

    EXPECT_EQ(legend->put_LineLayer(&first), S_OK);
    EXPECT_EQ(first.refs, 2u);
  }
  EXPECT_EQ(first.refs, 1u);  // given up with the legend
  EXPECT_EQ(failing.refs, 1u);
}

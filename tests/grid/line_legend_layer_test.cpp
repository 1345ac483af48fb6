// LineLegendLayer: its settings, the line layer it holds, and a UseBitmap it does not keep.
#include "support/canvas.h"
#include "support/create.h"
#include "support/fake_unknown.h"
#include "support/property.h"

#include <tuple>

namespace kelmira::test {
namespace {

ILineLayer* Held(ILineLegendLayer* legend) {
  ComPtr<ILineLayer> held;
  EXPECT_EQ(legend->get_LineLayer(&held), S_OK);
  return held.get();  // the test holds its own reference
}

// The references held on an object besides the test's own.
ULONG OtherRefs(IUnknown* object) {
  object->AddRef();
  return object->Release() - 1;
}

TEST(LineLegendLayerTest, DrawsNothingDoesNotKeepUseBitmapAndHoldsOnlyLineLayers) {
  auto first = Create<ILineLayer>(CLSID_LineLayer), second = Create<ILineLayer>(CLSID_LineLayer);
  // Line layers inside outer objects that answer every query, their own ILineLayer included, with
  // E_NOINTERFACE (as an object that is no line layer would) or E_OUTOFMEMORY.
  FakeUnknown notALineLayer(E_NOINTERFACE), failing(E_OUTOFMEMORY);
  auto innerNot = Create<IUnknown>(CLSID_LineLayer, &notALineLayer),
       innerFailing = Create<IUnknown>(CLSID_LineLayer, &failing);
  auto notALayer = innerNot.As<ILineLayer>(), failingLayer = innerFailing.As<ILineLayer>();
  {
    auto legend = Create<ILineLegendLayer>(CLSID_LineLegendLayer);
    EXPECT_EQ(std::tuple(Get(legend.get(), &ILineLegendLayer::get_HorizontalPosition),
                         Get(legend.get(), &ILineLegendLayer::get_VerticalPosition), Held(legend.get())),
              std::tuple(0, 0, nullptr));

    Canvas canvas(50, 40, kBlue);
    EXPECT_EQ(legend->Redraw(canvas.Info(0, 100, 0, 100)), S_OK);
    EXPECT_PAINTED(canvas, PixelSet{});
    EXPECT_EQ(legend->Redraw(LayerInfo(nullptr, 0, 0, 0, 0, 0, 0)), S_OK);  // nothing to draw into

    VARIANT_BOOL value = VARIANT_FALSE;
    EXPECT_EQ(legend->put_UseBitmap(VARIANT_FALSE), S_OK);
    EXPECT_EQ(std::pair(legend->get_UseBitmap(&value), legend->get_UseBitmap(nullptr)),
              std::pair(E_NOTIMPL, E_POINTER));
    EXPECT_EQ(value, VARIANT_TRUE);

    // What a put answers, the layer held after it, and the references the legend holds on each layer.
    auto put = [&](ILineLayer* layer) {
      const HRESULT hr = legend->put_LineLayer(layer);
      return std::tuple(hr, Held(legend.get()), OtherRefs(first.get()), OtherRefs(second.get()));
    };
    EXPECT_EQ(put(first.get()), std::tuple(S_OK, first.get(), 1u, 0u));
    EXPECT_EQ(put(second.get()), std::tuple(S_OK, second.get(), 0u, 1u));
    // Any other failure of the query is reported and keeps what was held.
    EXPECT_EQ(put(failingLayer.get()), std::tuple(E_OUTOFMEMORY, second.get(), 0u, 1u));
    // An object without ILineLayer empties the legend, and the put still succeeds.
    EXPECT_EQ(put(notALayer.get()), std::tuple(S_OK, nullptr, 0u, 0u));
    EXPECT_EQ(put(first.get()), std::tuple(S_OK, first.get(), 1u, 0u));
    EXPECT_EQ(put(nullptr), std::tuple(S_OK, nullptr, 0u, 0u));
    put(first.get());
  }
  // Given up with the legend; the outer objects hold their own reference and the test's.
  EXPECT_EQ(std::tuple(OtherRefs(first.get()), notALineLayer.refs, failing.refs), std::tuple(0u, 2u, 2u));
}

}  // namespace
}  // namespace kelmira::test

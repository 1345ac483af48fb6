// The layer stack: names and positions, flags, removal, replacement and empty records.
#include "support/create.h"
#include "support/index_variant.h"
#include "support/layer_stack.h"
#include "support/property.h"

namespace kelmira::test {
namespace {

IGraphicsLayer* LayerAt(IGraphicsContainer* c, const VARIANT& index) {
  ComPtr<IGraphicsLayer> layer;
  EXPECT_EQ(c->get_Layers(index, &layer), S_OK);
  return layer.get();  // the stack still holds it
}

std::u16string NameAt(IGraphicsContainer* c, LONG position) {
  Bstr name;
  EXPECT_EQ(c->get_LayerName(position, &name), S_OK);
  return name ? std::u16string(name.get(), name.length()) : u"(null)";
}

VARIANT_BOOL Flag(IGraphicsContainer* c, HRESULT (STDMETHODCALLTYPE IGraphicsContainer::*get)(VARIANT, VARIANT_BOOL*),
                  const VARIANT& at) {
  VARIANT_BOOL flag = 7;
  (c->*get)(at, &flag);
  return flag;
}

TEST(LayerStackTest, LookupsByNameAndPosition) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto first = RecordingLayer::Make(), second = RecordingLayer::Make();
  AddLayer(c.get(), u"Line", first.get());
  AddLayer(c.get(), u"line", second.get());
  AddLayer(c.get(), u"\u00c4", nullptr);
  AddLayer(c.get(), u"", nullptr);
  auto index = [&](BSTR name) {
    LONG i = 7;
    c->get_LayerIndex(name, &i);
    return i;
  };
  // Case-insensitive, the first match; only A-Z fold; NULL equals the empty name.
  EXPECT_EQ(std::tuple(index(Bstr(u"LINE").get()), index(Bstr(u"\u00e4").get()), index(nullptr)), std::tuple(0, -1, 3));
  EXPECT_EQ(LayerAt(c.get(), ByName(u"line")), first.get());
  EXPECT_EQ(LayerAt(c.get(), ByReal(1.0)), second.get());
  // Past the end, and a record added without a layer.
  EXPECT_EQ(std::pair(LayerAt(c.get(), ByPosition(4)), LayerAt(c.get(), ByPosition(2))),
            (std::pair<IGraphicsLayer*, IGraphicsLayer*>(nullptr, nullptr)));
  EXPECT_EQ(NameAt(c.get(), 3), u"(null)");
  Bstr name;
  EXPECT_EQ(c->get_LayerName(4, &name), E_INVALIDARG);
  EXPECT_EQ(c->put_LayerName(-1, nullptr), E_INVALIDARG);
  EXPECT_EQ(c->put_LayerName(1, Bstr(u"Renamed").get()), S_OK);
  EXPECT_EQ(NameAt(c.get(), 1), u"Renamed");
  Variant error;
  error.vt = VT_ERROR;
  VARIANT_BOOL flag = VARIANT_TRUE;
  EXPECT_EQ(c->IsLayerVisible(error, &flag), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(c->AddLayer(nullptr, nullptr, nullptr), E_POINTER);
}

TEST(LayerStackTest, FlagsRemovalAndReplacement) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  const auto visible = &IGraphicsContainer::IsLayerVisible;
  const auto rightY = &IGraphicsContainer::GetLayerRightYAxis;
  EXPECT_EQ(Get(c.get(), &IGraphicsContainer::get_HasRightYAxisLayers), VARIANT_FALSE);
  auto a = RecordingLayer::Make(), b = RecordingLayer::Make(), other = RecordingLayer::Make();
  AddLayer(c.get(), u"A", a.get());
  AddLayer(c.get(), u"B", b.get());
  AddLayer(c.get(), u"C", nullptr);
  EXPECT_EQ(Flag(c.get(), visible, ByPosition(2)), VARIANT_TRUE);
  c->SetLayerVisible(ByName(u"b"), 1);  // stored as -1
  EXPECT_EQ(Flag(c.get(), visible, ByName(u"B")), VARIANT_TRUE);
  c->SetLayerVisible(ByPosition(1), 0);
  c->SetLayerRightYAxis(ByPosition(2), 5);  // stored unchanged
  c->SetLayerVisible(ByName(u"none"), 0);
  EXPECT_EQ(Flag(c.get(), visible, ByName(u"none")), VARIANT_FALSE);
  EXPECT_EQ(Flag(c.get(), rightY, ByPosition(9)), VARIANT_FALSE);

  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(c->RemoveLayer(ByPosition(0), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(std::pair(NameAt(c.get(), 0), NameAt(c.get(), 1)), std::pair(std::u16string(u"B"), std::u16string(u"C")));
  EXPECT_EQ(std::pair(Flag(c.get(), visible, ByPosition(0)), Flag(c.get(), rightY, ByPosition(1))),
            std::pair(VARIANT_FALSE, VARIANT_BOOL{5}));
  EXPECT_EQ(Get(c.get(), &IGraphicsContainer::get_HasRightYAxisLayers), VARIANT_TRUE);
  a->AddRef();
  EXPECT_EQ(a->Release(), 1u);  // the removed record let go of its layer

  EXPECT_EQ(c->RemoveLayer(ByName(u"B"), &ok), DISP_E_TYPEMISMATCH);  // positions only
  EXPECT_EQ(c->RemoveLayer(ByPosition(2), &ok), E_INVALIDARG);
  EXPECT_EQ(c->RemoveLayer(ByPosition(0), nullptr), E_POINTER);
  EXPECT_EQ(Get(c.get(), &IGraphicsContainer::get_Count), 2);

  // Replacing keeps name and flags and releases the old layer; NULL empties the record.
  EXPECT_EQ(c->put_Layers(ByName(u"b"), other.get()), S_OK);
  EXPECT_EQ(LayerAt(c.get(), ByPosition(0)), other.get());
  EXPECT_EQ(NameAt(c.get(), 0), u"B");
  b->AddRef();
  EXPECT_EQ(b->Release(), 1u);
  c->put_Layers(ByPosition(0), nullptr);
  EXPECT_EQ(LayerAt(c.get(), ByPosition(0)), nullptr);
  c->put_Layers(ByName(u"missing"), other.get());
  EXPECT_EQ(LayerAt(c.get(), ByPosition(0)), nullptr);

  c->RemoveAllLayers();
  EXPECT_EQ(Get(c.get(), &IGraphicsContainer::get_Count), 0);
}

}  // namespace
}  // namespace kelmira::test

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

// Each record: its name, its visible and right-Y flags, and its layer.
using Stack = std::vector<std::tuple<std::u16string, VARIANT_BOOL, VARIANT_BOOL, IGraphicsLayer*>>;
Stack Records(IGraphicsContainer* c) {
  Stack records;
  for (LONG i = 0; i < Get(c, &IGraphicsContainer::get_Count); ++i)
    records.emplace_back(NameAt(c, i), Flag(c, &IGraphicsContainer::IsLayerVisible, ByPosition(i)),
                         Flag(c, &IGraphicsContainer::GetLayerRightYAxis, ByPosition(i)), LayerAt(c, ByPosition(i)));
  return records;
}

TEST(LayerStackTest, LookupsByNameAndPosition) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto first = RecordingLayer::Make(), second = RecordingLayer::Make();
  for (auto [name, layer] : {std::pair<const char16_t*, IUnknown*>{u"Line", first.get()},
                             {u"line", second.get()},
                             {u"\u00c4", nullptr},
                             {u"", nullptr}})
    AddLayer(c.get(), name, layer);
  auto index = [&](BSTR name) {
    LONG i = 7;
    c->get_LayerIndex(name, &i);
    return i;
  };
  // Case-insensitive, the first match; only A-Z fold; NULL equals the empty name.
  EXPECT_EQ(std::tuple(index(Bstr(u"LINE").get()), index(Bstr(u"\u00e4").get()), index(nullptr)), std::tuple(0, -1, 3));
  // Past the end, nothing.
  EXPECT_EQ(
      std::tuple(LayerAt(c.get(), ByName(u"line")), LayerAt(c.get(), ByReal(1.0)), LayerAt(c.get(), ByPosition(4))),
      std::tuple(first.get(), second.get(), nullptr));
  Bstr name;
  EXPECT_EQ(std::pair(c->get_LayerName(4, &name), c->put_LayerName(-1, nullptr)),
            std::pair(E_INVALIDARG, E_INVALIDARG));
  EXPECT_EQ(c->put_LayerName(1, Bstr(u"Renamed").get()), S_OK);
  // Records start visible and on the left axis; a record may have no layer, and a name may be null.
  EXPECT_EQ(Records(c.get()), (Stack{{u"Line", -1, 0, first.get()},
                                     {u"Renamed", -1, 0, second.get()},
                                     {u"\u00c4", -1, 0, nullptr},
                                     {u"(null)", -1, 0, nullptr}}));
  Variant error;
  error.vt = VT_ERROR;
  VARIANT_BOOL flag = VARIANT_TRUE;
  EXPECT_EQ(c->IsLayerVisible(error, &flag), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(c->AddLayer(nullptr, nullptr, nullptr), E_POINTER);
}

TEST(LayerStackTest, FlagsRemovalAndReplacement) {
  auto c = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto hasRightY = [&] { return Get(c.get(), &IGraphicsContainer::get_HasRightYAxisLayers); };
  EXPECT_EQ(hasRightY(), VARIANT_FALSE);
  auto a = RecordingLayer::Make(), b = RecordingLayer::Make(), other = RecordingLayer::Make();
  for (auto [name, layer] : {std::pair<const char16_t*, IUnknown*>{u"A", a.get()}, {u"B", b.get()}, {u"C", nullptr}})
    AddLayer(c.get(), name, layer);
  c->SetLayerVisible(ByName(u"c"), 0);
  c->SetLayerVisible(ByName(u"C"), 1);  // stored as -1
  c->SetLayerVisible(ByPosition(1), 0);
  c->SetLayerRightYAxis(ByPosition(2), 5);  // stored unchanged
  c->SetLayerVisible(ByName(u"none"), 0);
  EXPECT_EQ(std::pair(Flag(c.get(), &IGraphicsContainer::IsLayerVisible, ByName(u"none")),
                      Flag(c.get(), &IGraphicsContainer::GetLayerRightYAxis, ByPosition(9))),
            std::pair(VARIANT_FALSE, VARIANT_FALSE));

  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(c->RemoveLayer(ByPosition(0), &ok), S_OK);
  EXPECT_EQ(std::pair(ok, hasRightY()), std::pair(VARIANT_TRUE, VARIANT_TRUE));
  EXPECT_EQ(Records(c.get()), (Stack{{u"B", 0, 0, b.get()}, {u"C", -1, 5, nullptr}}));
  EXPECT_EQ((a->AddRef(), a->Release()), 1u);  // the removed record let go of its layer
  // Positions only, inside the stack, with somewhere to answer.
  EXPECT_EQ(std::tuple(c->RemoveLayer(ByName(u"B"), &ok), c->RemoveLayer(ByPosition(2), &ok),
                       c->RemoveLayer(ByPosition(0), nullptr)),
            std::tuple(DISP_E_TYPEMISMATCH, E_INVALIDARG, E_POINTER));

  // Replacing keeps name and flags and releases the old layer; an unknown name changes nothing.
  EXPECT_EQ(c->put_Layers(ByName(u"b"), other.get()), S_OK);
  c->put_Layers(ByName(u"missing"), b.get());
  EXPECT_EQ((b->AddRef(), b->Release()), 1u);
  EXPECT_EQ(Records(c.get()), (Stack{{u"B", 0, 0, other.get()}, {u"C", -1, 5, nullptr}}));
  c->put_Layers(ByPosition(0), nullptr);  // NULL empties the record
  EXPECT_EQ(LayerAt(c.get(), ByPosition(0)), nullptr);
  c->RemoveAllLayers();
  EXPECT_EQ(Records(c.get()), Stack{});
}

}  // namespace
}  // namespace kelmira::test

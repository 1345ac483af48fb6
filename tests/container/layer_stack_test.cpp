// The layer stack: names and positions, flags, removal, replacement and empty records.
#include "container/container_test_support.h"

#include <gtest/gtest.h>

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

TEST(LayerStackTest, LookupsByNameAndPosition) {
  auto c = NewContainer();
  auto first = MakeLayer(0), second = MakeLayer(0);
  AddNamed(c.get(), u"Line", first.get());
  AddNamed(c.get(), u"line", second.get());
  AddNamed(c.get(), u"\u00c4", nullptr);
  AddNamed(c.get(), u"", nullptr);
  LONG index = 7;
  c->get_LayerIndex(Bstr(u"LINE").get(), &index);
  EXPECT_EQ(index, 0);  // case-insensitive, first match
  EXPECT_EQ(LayerAt(c.get(), Named(u"line")), first.get());
  c->get_LayerIndex(Bstr(u"\u00e4").get(), &index);
  EXPECT_EQ(index, -1);  // only A-Z fold
  c->get_LayerIndex(nullptr, &index);
  EXPECT_EQ(index, 3);  // NULL equals the empty name
  Variant real;
  real.vt = VT_R8;
  real.dblVal = 1.0;
  EXPECT_EQ(LayerAt(c.get(), real), second.get());
  EXPECT_EQ(LayerAt(c.get(), At(4)), nullptr);
  EXPECT_EQ(LayerAt(c.get(), At(2)), nullptr);  // added without a layer
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
  EXPECT_EQ(c->MoveLayerToTop(At(0)), E_NOTIMPL);
  EXPECT_EQ(c->MoveLayerToBottom(Named(u"line")), E_NOTIMPL);
  EXPECT_EQ(c->AddLayer(nullptr, nullptr, nullptr), E_POINTER);
  EXPECT_EQ(c->get_Layers(At(0), nullptr), E_POINTER);
}

TEST(LayerStackTest, FlagsRemovalAndReplacement) {
  auto c = NewContainer();
  auto read = [&](HRESULT (STDMETHODCALLTYPE IGraphicsContainer::*get)(VARIANT, VARIANT_BOOL*), const VARIANT& at) {
    VARIANT_BOOL flag = 7;
    (c.get()->*get)(at, &flag);
    return flag;
  };
  const auto visible = &IGraphicsContainer::IsLayerVisible;
  const auto rightY = &IGraphicsContainer::GetLayerRightYAxis;
  VARIANT_BOOL flag = VARIANT_TRUE;
  c->get_HasRightYAxisLayers(&flag);
  EXPECT_EQ(flag, VARIANT_FALSE);
  auto a = MakeLayer(0), b = MakeLayer(0), other = MakeLayer(0);
  AddNamed(c.get(), u"A", a.get());
  AddNamed(c.get(), u"B", b.get());
  AddNamed(c.get(), u"C", nullptr);
  EXPECT_EQ(read(visible, At(2)), VARIANT_TRUE);
  c->SetLayerVisible(Named(u"b"), 1);  // stored as -1
  EXPECT_EQ(read(visible, Named(u"B")), VARIANT_TRUE);
  c->SetLayerVisible(At(1), 0);
  c->SetLayerRightYAxis(At(2), 5);  // stored unchanged
  c->SetLayerVisible(Named(u"none"), 0);
  EXPECT_EQ(read(visible, Named(u"none")), VARIANT_FALSE);
  EXPECT_EQ(read(rightY, At(9)), VARIANT_FALSE);

  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(c->RemoveLayer(At(0), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  EXPECT_EQ(NameAt(c.get(), 0), u"B");
  EXPECT_EQ(NameAt(c.get(), 1), u"C");
  EXPECT_EQ(read(visible, At(0)), VARIANT_FALSE);
  EXPECT_EQ(read(rightY, At(1)), 5);
  c->get_HasRightYAxisLayers(&flag);
  EXPECT_EQ(flag, VARIANT_TRUE);
  a->AddRef();
  EXPECT_EQ(a->Release(), 1u);  // the removed record let go of its layer

  EXPECT_EQ(c->RemoveLayer(Named(u"B"), &ok), DISP_E_TYPEMISMATCH);  // positions only
  EXPECT_EQ(c->RemoveLayer(At(2), &ok), E_INVALIDARG);
  EXPECT_EQ(c->RemoveLayer(At(0), nullptr), E_POINTER);
  LONG count = 0;
  c->get_Count(&count);
  EXPECT_EQ(count, 2);

  // Replacing keeps name and flags and releases the old layer; NULL empties the record.
  EXPECT_EQ(c->put_Layers(Named(u"b"), other.get()), S_OK);
  EXPECT_EQ(LayerAt(c.get(), At(0)), other.get());
  EXPECT_EQ(NameAt(c.get(), 0), u"B");
  b->AddRef();
  EXPECT_EQ(b->Release(), 1u);
  c->put_Layers(At(0), nullptr);
  EXPECT_EQ(LayerAt(c.get(), At(0)), nullptr);
  c->put_Layers(Named(u"missing"), other.get());
  EXPECT_EQ(LayerAt(c.get(), At(0)), nullptr);

  c->RemoveAllLayers();
  c->get_Count(&count);
  EXPECT_EQ(count, 0);
}

}  // namespace

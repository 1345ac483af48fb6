// The layer stack: adding, finding by name or position, renaming, replacing, removing, flags.
#include "container/container_test_support.h"

#include <gtest/gtest.h>

using kelmira::Bstr;
using kelmira::ComPtr;
using kelmira::Variant;

namespace {

class LayerStackTest : public ::testing::Test {
 protected:
  void SetUp() override {
    container = NewContainer();
    ASSERT_TRUE(container);
  }
  ComPtr<kelmira::Object<TestLayer>> Add(const char16_t* name) {
    auto layer = MakeLayer();
    VARIANT_BOOL ok = VARIANT_FALSE;
    EXPECT_EQ(container->AddLayer(Bstr(name).get(), layer.get(), &ok), S_OK);
    EXPECT_EQ(ok, VARIANT_TRUE);
    return layer;
  }
  std::u16string NameAt(LONG position) {
    Bstr name;
    EXPECT_EQ(container->get_LayerName(position, &name), S_OK);
    return name ? std::u16string(name.get(), name.length()) : std::u16string();
  }
  IGraphicsLayer* LayerAt(const VARIANT& index) {
    ComPtr<IGraphicsLayer> layer;
    EXPECT_EQ(container->get_Layers(index, &layer), S_OK);
    return layer.get();  // still held by the stack
  }
  ComPtr<IGraphicsContainer> container;
};

TEST_F(LayerStackTest, NamesCompareWithoutCaseAndTheFirstMatchWins) {
  auto first = Add(u"Line");
  auto second = Add(u"line");
  LONG index = 7;
  ASSERT_EQ(container->get_LayerIndex(Bstr(u"LINE").get(), &index), S_OK);
  EXPECT_EQ(index, 0);
  container->get_LayerIndex(Bstr(u"Lines").get(), &index);
  EXPECT_EQ(index, -1);

  Variant byName;
  SetName(byName, u"line");
  EXPECT_EQ(LayerAt(byName), static_cast<IGraphicsLayer*>(first.get()));
  EXPECT_EQ(LayerAt(IndexOf(1)), static_cast<IGraphicsLayer*>(second.get()));

  // Only A-Z fold: other characters must match exactly; NULL equals only an empty name.
  Add(u"\u00c4ra");
  container->get_LayerIndex(Bstr(u"\u00e4ra").get(), &index);
  EXPECT_EQ(index, -1);
  container->get_LayerIndex(nullptr, &index);
  EXPECT_EQ(index, -1);
  Add(u"");
  container->get_LayerIndex(nullptr, &index);
  EXPECT_EQ(index, 3);

  // Numbers of other types and numeric strings passed as another type are positions too.
  Variant asDouble;
  asDouble.vt = VT_R8;
  asDouble.dblVal = 1.0;
  EXPECT_EQ(LayerAt(asDouble), static_cast<IGraphicsLayer*>(second.get()));
  Variant shortIndex;
  shortIndex.vt = VT_I2;
  shortIndex.iVal = 0;
  EXPECT_EQ(LayerAt(shortIndex), static_cast<IGraphicsLayer*>(first.get()));
}

TEST_F(LayerStackTest, AddedRecordsStartVisibleNotRightYAndNamesRoundTrip) {
  LONG count = -1;
  ASSERT_EQ(container->get_Count(&count), S_OK);
  EXPECT_EQ(count, 0);
  VARIANT_BOOL flag = VARIANT_TRUE;
  ASSERT_EQ(container->get_HasRightYAxisLayers(&flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);

  Add(u"Background");
  Add(u"Grid");
  container->get_Count(&count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(container->IsLayerVisible(IndexOf(1), &flag), S_OK);
  EXPECT_EQ(flag, VARIANT_TRUE);
  EXPECT_EQ(container->GetLayerRightYAxis(IndexOf(1), &flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);

  EXPECT_EQ(NameAt(1), u"Grid");
  EXPECT_EQ(container->put_LayerName(1, Bstr(u"Renamed").get()), S_OK);
  EXPECT_EQ(NameAt(1), u"Renamed");
  EXPECT_EQ(container->put_LayerName(1, nullptr), S_OK);
  Bstr empty(u"x");
  EXPECT_EQ(container->get_LayerName(1, &empty), S_OK);
  EXPECT_EQ(empty.get(), nullptr);  // an empty name comes back as NULL

  // Positions outside the stack are refused and change nothing.
  EXPECT_EQ(container->get_LayerName(2, &empty), E_INVALIDARG);
  EXPECT_EQ(container->get_LayerName(-1, &empty), E_INVALIDARG);
  EXPECT_EQ(container->put_LayerName(2, Bstr(u"x").get()), E_INVALIDARG);
  EXPECT_EQ(NameAt(0), u"Background");
}

TEST_F(LayerStackTest, FlagsAreStoredAsTheyAreDescribed) {
  Add(u"A");
  Add(u"B");
  Variant b;
  SetName(b, u"b");
  VARIANT_BOOL flag = VARIANT_FALSE;

  EXPECT_EQ(container->SetLayerVisible(b, 1), S_OK);  // any non-zero value is stored as -1
  container->IsLayerVisible(b, &flag);
  EXPECT_EQ(flag, VARIANT_TRUE);
  container->SetLayerVisible(b, 0);
  container->IsLayerVisible(b, &flag);
  EXPECT_EQ(flag, VARIANT_FALSE);

  EXPECT_EQ(container->SetLayerRightYAxis(b, 5), S_OK);  // stored unchanged
  container->GetLayerRightYAxis(b, &flag);
  EXPECT_EQ(flag, 5);
  container->get_HasRightYAxisLayers(&flag);
  EXPECT_EQ(flag, VARIANT_TRUE);

  // Unknown names and positions: FALSE answers, no change, S_OK.
  Variant none;
  SetName(none, u"none");
  flag = VARIANT_TRUE;
  EXPECT_EQ(container->IsLayerVisible(none, &flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);
  flag = VARIANT_TRUE;
  EXPECT_EQ(container->GetLayerRightYAxis(IndexOf(9), &flag), S_OK);
  EXPECT_EQ(flag, VARIANT_FALSE);
  EXPECT_EQ(container->SetLayerVisible(none, 0), S_OK);
  EXPECT_EQ(container->SetLayerVisible(IndexOf(-3), 0), S_OK);
  container->IsLayerVisible(IndexOf(0), &flag);
  EXPECT_EQ(flag, VARIANT_TRUE);

  // An index that does not convert fails with the conversion's code.
  Variant error;
  error.vt = VT_ERROR;
  error.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(container->IsLayerVisible(error, &flag), DISP_E_TYPEMISMATCH);

  EXPECT_EQ(container->MoveLayerToTop(IndexOf(0)), E_NOTIMPL);
  EXPECT_EQ(container->MoveLayerToBottom(b), E_NOTIMPL);
  EXPECT_EQ(NameAt(0), u"A");

  EXPECT_EQ(container->IsLayerVisible(b, nullptr), E_POINTER);
  EXPECT_EQ(container->GetLayerRightYAxis(b, nullptr), E_POINTER);
  EXPECT_EQ(container->get_Count(nullptr), E_POINTER);
  EXPECT_EQ(container->AddLayer(nullptr, nullptr, nullptr), E_POINTER);
}

TEST_F(LayerStackTest, RemovingPositionZeroMovesTheOthersDownWithTheirOwnState) {
  auto a = Add(u"A");
  auto b = Add(u"B");
  auto c = Add(u"C");
  container->SetLayerVisible(IndexOf(1), VARIANT_FALSE);
  container->SetLayerRightYAxis(IndexOf(2), VARIANT_TRUE);

  VARIANT_BOOL ok = VARIANT_FALSE;
  ASSERT_EQ(container->RemoveLayer(IndexOf(0), &ok), S_OK);
  EXPECT_EQ(ok, VARIANT_TRUE);
  LONG count = 0;
  container->get_Count(&count);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(NameAt(0), u"B");
  EXPECT_EQ(NameAt(1), u"C");
  EXPECT_EQ(LayerAt(IndexOf(0)), static_cast<IGraphicsLayer*>(b.get()));
  VARIANT_BOOL flag = VARIANT_TRUE;
  container->IsLayerVisible(IndexOf(0), &flag);
  EXPECT_EQ(flag, VARIANT_FALSE);
  container->GetLayerRightYAxis(IndexOf(1), &flag);
  EXPECT_EQ(flag, VARIANT_TRUE);

  // The removed record let go of its layer: only the test holds it now.
  a->AddRef();
  EXPECT_EQ(a->Release(), 1u);

  // Positions only: a name is converted like any value and fails; out of range removes nothing.
  Variant name;
  SetName(name, u"B");
  EXPECT_EQ(container->RemoveLayer(name, &ok), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(container->RemoveLayer(IndexOf(2), &ok), E_INVALIDARG);
  EXPECT_EQ(container->RemoveLayer(IndexOf(-1), &ok), E_INVALIDARG);
  EXPECT_EQ(container->RemoveLayer(IndexOf(0), nullptr), E_POINTER);
  Variant digits;
  SetName(digits, u"1");  // a numeric string converts to a position
  EXPECT_EQ(container->RemoveLayer(digits, &ok), S_OK);
  container->get_Count(&count);
  EXPECT_EQ(count, 1);
  EXPECT_EQ(NameAt(0), u"B");

  EXPECT_EQ(container->RemoveAllLayers(), S_OK);
  container->get_Count(&count);
  EXPECT_EQ(count, 0);
  container->get_HasRightYAxisLayers(&flag);
  EXPECT_EQ(flag, VARIANT_FALSE);
}

TEST_F(LayerStackTest, ObjectsWithoutTheLayerInterfaceGiveEmptyRecords) {
  auto real = Add(u"Real");
  VARIANT_BOOL ok = VARIANT_FALSE;
  // An object that is not a layer: the record is still added, with no layer.
  ComPtr<IStream> notALayer;
  CreateStreamOnHGlobal(nullptr, TRUE, &notALayer);
  ASSERT_EQ(container->AddLayer(Bstr(u"Odd").get(),
                                reinterpret_cast<IGraphicsLayer*>(static_cast<IUnknown*>(notALayer.get())), &ok),
            S_OK);
  EXPECT_EQ(container->AddLayer(Bstr(u"None").get(), nullptr, &ok), S_OK);
  LONG count = 0;
  container->get_Count(&count);
  EXPECT_EQ(count, 3);
  EXPECT_EQ(LayerAt(IndexOf(1)), nullptr);
  EXPECT_EQ(LayerAt(IndexOf(2)), nullptr);
  EXPECT_EQ(LayerAt(IndexOf(5)), nullptr);

  // Replacing keeps name and flags; NULL empties the record; unknown names change nothing.
  container->SetLayerVisible(IndexOf(0), VARIANT_FALSE);
  auto other = MakeLayer();
  EXPECT_EQ(container->put_Layers(IndexOf(0), other.get()), S_OK);
  EXPECT_EQ(LayerAt(IndexOf(0)), static_cast<IGraphicsLayer*>(other.get()));
  EXPECT_EQ(NameAt(0), u"Real");
  VARIANT_BOOL flag = VARIANT_TRUE;
  container->IsLayerVisible(IndexOf(0), &flag);
  EXPECT_EQ(flag, VARIANT_FALSE);
  real->AddRef();
  EXPECT_EQ(real->Release(), 1u);  // the old layer was released
  EXPECT_EQ(container->put_Layers(IndexOf(0), nullptr), S_OK);
  EXPECT_EQ(LayerAt(IndexOf(0)), nullptr);
  Variant none;
  SetName(none, u"missing");
  EXPECT_EQ(container->put_Layers(none, other.get()), S_OK);
  EXPECT_EQ(LayerAt(IndexOf(0)), nullptr);
  EXPECT_EQ(container->get_Layers(IndexOf(0), nullptr), E_POINTER);
}

TEST_F(LayerStackTest, AutomationReachesTheInheritedMembers) {
  Add(u"Grid");
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(container->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
  ComPtr<IGraphicsContainerImpl> impl;
  ASSERT_EQ(container->QueryInterface(IID_IGraphicsContainerImpl, reinterpret_cast<void**>(&impl)), S_OK);
  OLECHAR name[] = u"LayerIndex";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
  EXPECT_EQ(id, 0x67);
  Variant arg;
  SetName(arg, u"GRID");
  DISPPARAMS params{&arg, nullptr, 1, 0};
  Variant result;
  ASSERT_EQ(dispatch->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYGET, &params, &result, nullptr, nullptr), S_OK);
  EXPECT_EQ(result.vt, VT_I4);
  EXPECT_EQ(result.lVal, 0);
}

}  // namespace

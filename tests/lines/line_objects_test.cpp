// Line and LineLayer as objects: properties, the list of lines, lookup, and aggregation.
#include "line_test_support.h"

#include <string>

using namespace linetest;
using kelmira::Bstr;
using kelmira::Variant;

namespace {

ComPtr<ILine> NewLine() {
  ComPtr<ILine> line;
  EXPECT_EQ(CoCreateInstance(CLSID_Line, nullptr, CLSCTX_INPROC_SERVER, IID_ILine, reinterpret_cast<void**>(&line)),
            S_OK);
  return line;
}

Variant ByName(const char16_t* name) {
  Variant v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(name);
  return v;
}

Variant ByPosition(LONG position) {
  Variant v;
  v.vt = VT_I4;
  v.lVal = position;
  return v;
}

template <class I, class T>
T Get(I* object, HRESULT (I::*get)(T*)) {
  T value{};
  EXPECT_EQ((object->*get)(&value), S_OK);
  return value;
}

std::u16string NameOf(ILine* line) {
  Bstr name;
  EXPECT_EQ(line->get_Name(&name), S_OK);
  return name ? std::u16string(name.get(), name.length()) : u"<null>";
}

ComPtr<ILine> LineAt(ILineLayer* layer, const VARIANT& index) {
  ComPtr<ILine> line;
  EXPECT_EQ(layer->get_Lines(index, &line), S_OK);
  return line;
}

// An outer object that hands every interface but IUnknown to the object it aggregates.
class Outer : public IUnknown {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (IsEqualIID(riid, IID_IUnknown)) {
      *ppv = static_cast<IUnknown*>(this);
      AddRef();
      return S_OK;
    }
    return inner->QueryInterface(riid, ppv);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }

  ComPtr<IUnknown> inner;
  ULONG refs = 1;
};

}  // namespace

TEST(LineObjectTest, PropertiesStartAsDocumentedAndPutsLimitTheirValues) {
  ComPtr<ILine> line = NewLine();
  EXPECT_EQ(Get(line.get(), &ILine::get_Style), 0);
  EXPECT_EQ(Get(line.get(), &ILine::get_Color), 0x000000FFu);
  EXPECT_EQ(Get(line.get(), &ILine::get_Visible), VARIANT_TRUE);
  EXPECT_EQ(Get(line.get(), &ILine::get_PointStyle), 2);
  EXPECT_EQ(Get(line.get(), &ILine::get_Width), 0);
  EXPECT_EQ(NameOf(line.get()), u"");

  const std::pair<LONG, LONG> widths[] = {{-3, 0}, {250, 100}, {37, 37}};
  for (auto [put, stored] : widths) {
    line->put_Width(put);
    EXPECT_EQ(Get(line.get(), &ILine::get_Width), stored);
  }
  const std::pair<LONG, LONG> styles[] = {{3, 0}, {-1, 0}, {2, 2}, {1, 1}};
  for (auto [put, stored] : styles) {
    line->put_Style(put);
    EXPECT_EQ(Get(line.get(), &ILine::get_Style), stored);
    line->put_PointStyle(put);
    EXPECT_EQ(Get(line.get(), &ILine::get_PointStyle), stored);
  }
  line->put_Visible(5);
  EXPECT_EQ(Get(line.get(), &ILine::get_Visible), 5);
  line->put_Name(nullptr);
  EXPECT_EQ(NameOf(line.get()), u"<null>");

  EXPECT_EQ(line->get_Style(nullptr), E_POINTER);
  EXPECT_EQ(line->get_Name(nullptr), E_POINTER);
  EXPECT_EQ(line->get_Data(nullptr), E_POINTER);
}

TEST(LineObjectTest, DataIsCreatedOnFirstReadAndCanBeReplaced) {
  ComPtr<ILine> line = NewLine();
  ComPtr<ILineData> first, second;
  ASSERT_EQ(line->get_Data(&first), S_OK);
  ASSERT_TRUE(first);
  LONG size = -1;
  first->get_Size(&size);
  EXPECT_EQ(size, 0);
  line->get_Data(&second);
  EXPECT_EQ(first.get(), second.get());

  ComPtr<ILineData> other = NewData({1, 2});
  EXPECT_EQ(line->put_Data(other.get()), S_OK);
  line->get_Data(&second);
  EXPECT_EQ(second.get(), other.get());
  // Detaching and reading again gives a fresh object.
  line->put_Data(nullptr);
  line->get_Data(&second);
  EXPECT_NE(second.get(), other.get());
  EXPECT_NE(second.get(), first.get());
}

TEST(LineLayerObjectTest, AddFindReplaceAndRemoveLines) {
  ComPtr<ILineLayer> layer = NewLayer();
  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Count), 0);
  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Offset), 1);
  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Style), 0);

  Bstr t(u"T");
  ComPtr<ILine> added;
  ASSERT_EQ(layer->AddLine(t.get(), 0x00FF0000, 7, &added), S_OK);
  // AddLine keeps the style as given.
  EXPECT_EQ(Get(added.get(), &ILine::get_Style), 7);
  EXPECT_EQ(Get(added.get(), &ILine::get_Color), 0x00FF0000u);
  EXPECT_EQ(LineAt(layer.get(), ByName(u"t")).get(), added.get());
  EXPECT_EQ(LineAt(layer.get(), ByPosition(0)).get(), added.get());
  EXPECT_FALSE(LineAt(layer.get(), ByPosition(1)));
  EXPECT_FALSE(LineAt(layer.get(), ByPosition(-1)));
  EXPECT_FALSE(LineAt(layer.get(), ByName(u"u")));
  EXPECT_FALSE(LineAt(layer.get(), ByName(u"T ")));

  // A second "t": lookups by that name address the first.
  ComPtr<ILine> twin;
  Bstr lower(u"t");
  layer->AddLine(lower.get(), 0, 0, &twin);
  EXPECT_EQ(LineAt(layer.get(), ByName(u"T")).get(), added.get());
  // Other index types convert to a position; a string by reference is still a name.
  Variant real;
  real.vt = VT_R8;
  real.dblVal = 1.0;
  EXPECT_EQ(LineAt(layer.get(), real).get(), twin.get());
  Bstr byRefName(u"T");
  BSTR byRefValue = byRefName.get();
  Variant byRef;
  byRef.vt = VT_BYREF | VT_BSTR;
  byRef.pbstrVal = &byRefValue;
  EXPECT_EQ(LineAt(layer.get(), byRef).get(), added.get());

  // Put by a name nobody has appends and names the line; by a position outside does nothing.
  ComPtr<ILine> outsider = NewLine();
  EXPECT_EQ(layer->put_Lines(ByName(u"N"), outsider.get()), S_OK);
  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Count), 3);
  EXPECT_EQ(NameOf(outsider.get()), u"N");
  ComPtr<ILine> stranger = NewLine();
  EXPECT_EQ(layer->put_Lines(ByPosition(5), stranger.get()), S_OK);
  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Count), 3);
  // Put at a position replaces.
  EXPECT_EQ(layer->put_Lines(ByPosition(1), stranger.get()), S_OK);
  EXPECT_EQ(LineAt(layer.get(), ByPosition(1)).get(), stranger.get());

  // Remove by name removes the first match; the others move up.
  EXPECT_EQ(layer->RemoveLine(ByName(u"t")), S_OK);
  EXPECT_EQ(LineAt(layer.get(), ByPosition(0)).get(), stranger.get());
  EXPECT_EQ(LineAt(layer.get(), ByPosition(1)).get(), outsider.get());
  EXPECT_EQ(layer->RemoveLine(ByPosition(9)), S_OK);
  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Count), 2);
  // A removed line the host still holds stays usable.
  added->put_Width(4);
  EXPECT_EQ(Get(added.get(), &ILine::get_Width), 4);

  EXPECT_EQ(layer->RemoveAllLines(), S_OK);
  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Count), 0);
}

TEST(LineLayerObjectTest, BadArgumentsChangeNothing) {
  ComPtr<ILineLayer> layer = NewLayer();
  ComPtr<ILine> line;
  layer->AddLine(nullptr, 0, 0, &line);
  EXPECT_EQ(NameOf(line.get()), u"<null>");

  EXPECT_EQ(layer->AddLine(nullptr, 0, 0, nullptr), E_POINTER);
  EXPECT_EQ(layer->put_Lines(ByName(u"X"), nullptr), E_POINTER);
  EXPECT_EQ(layer->put_Lines(ByPosition(0), nullptr), E_POINTER);
  EXPECT_EQ(layer->get_Lines(ByPosition(0), nullptr), E_POINTER);
  EXPECT_EQ(layer->get_Count(nullptr), E_POINTER);

  // An index that does not convert to an integer is reported.
  Variant tooBig;
  tooBig.vt = VT_R8;
  tooBig.dblVal = 1e12;
  ComPtr<ILine> found;
  EXPECT_EQ(layer->get_Lines(tooBig, &found), DISP_E_OVERFLOW);
  EXPECT_FALSE(found);
  EXPECT_EQ(layer->RemoveLine(tooBig), DISP_E_OVERFLOW);
  ComPtr<ILine> other = NewLine();
  EXPECT_EQ(layer->put_Lines(tooBig, other.get()), DISP_E_OVERFLOW);

  EXPECT_EQ(Get(layer.get(), &ILineLayer::get_Count), 1);
  EXPECT_EQ(LineAt(layer.get(), ByPosition(0)).get(), line.get());
}

TEST(LineLayerObjectTest, LayerAndLineAggregate) {
  for (const CLSID* clsid : {&CLSID_LineLayer, &CLSID_Line}) {
    Outer outer;
    ASSERT_EQ(CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               reinterpret_cast<void**>(&outer.inner)),
              S_OK);
    void* refused = nullptr;
    EXPECT_EQ(CoCreateInstance(*clsid, &outer, CLSCTX_INPROC_SERVER, IID_IDispatch, &refused),
              CLASS_E_NOAGGREGATION);

    // Interfaces of the inner object hand their IUnknown calls to the outer one.
    ComPtr<IDispatch> dispatch;
    ASSERT_EQ(outer.inner->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)), S_OK);
    ComPtr<IUnknown> identity;
    dispatch->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity));
    EXPECT_EQ(identity.get(), static_cast<IUnknown*>(&outer));
  }

  Outer outer;
  ASSERT_EQ(CoCreateInstance(CLSID_LineLayer, &outer, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&outer.inner)),
            S_OK);
  ComPtr<ILineLayer> layer;
  ASSERT_EQ(outer.inner->QueryInterface(IID_ILineLayer, reinterpret_cast<void**>(&layer)), S_OK);
  ComPtr<IGraphicsLayer> graphics;
  EXPECT_EQ(outer.inner->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&graphics)), S_OK);
  Bstr name(u"A");
  ComPtr<ILine> line;
  EXPECT_EQ(layer->AddLine(name.get(), 0, 0, &line), S_OK);
  EXPECT_EQ(LineAt(layer.get(), ByName(u"a")).get(), line.get());
  EXPECT_EQ(Get(graphics.get(), &IGraphicsLayer::get_UseBitmap), VARIANT_FALSE);
  graphics->put_UseBitmap(5);
  EXPECT_EQ(Get(graphics.get(), &IGraphicsLayer::get_UseBitmap), 5);
}

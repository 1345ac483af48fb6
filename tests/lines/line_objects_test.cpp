// Line and LineLayer as objects: properties, the list of lines and lookup.
#include "line_test_support.h"

#include <string>
#include <tuple>

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

}  // namespace

TEST(LineObjectTest, PropertiesStartAsDocumentedAndPutsLimitTheirValues) {
  ComPtr<ILine> line = NewLine();
  EXPECT_EQ(std::tuple(Get(line.get(), &ILine::get_Style), Get(line.get(), &ILine::get_Color),
                       Get(line.get(), &ILine::get_Visible), Get(line.get(), &ILine::get_PointStyle),
                       Get(line.get(), &ILine::get_Width), NameOf(line.get())),
            std::tuple(0, 0x000000FFu, VARIANT_TRUE, 2, 0, std::u16string()));

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
  EXPECT_EQ(std::tuple(Get(layer.get(), &ILineLayer::get_Count), Get(layer.get(), &ILineLayer::get_Offset),
                       Get(layer.get(), &ILineLayer::get_Style)),
            std::tuple(0, 1, 0));

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

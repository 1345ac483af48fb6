// Line and LineLayer as objects: properties, the list of lines and lookup.
#include "support/index_variant.h"
#include "support/line_data.h"
#include "support/property.h"

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

std::u16string NameOf(ILine* line) {
  Bstr name;
  EXPECT_EQ(line->get_Name(&name), S_OK);
  return name ? std::u16string(name.get(), name.length()) : u"<null>";
}

ILine* LineAt(ILineLayer* layer, const VARIANT& index) {
  ComPtr<ILine> line;
  EXPECT_EQ(layer->get_Lines(index, &line), S_OK);
  return line.get();  // the layer still holds it
}

TEST(LineObjectTest, PropertiesStartAsDocumentedPutsLimitTheirValuesAndDataIsMadeOnFirstRead) {
  auto line = Create<ILine>(CLSID_Line);
  ILine* l = line.get();
  EXPECT_EQ(std::tuple(Get(l, &ILine::get_Style), Get(l, &ILine::get_Color), Get(l, &ILine::get_Visible),
                       Get(l, &ILine::get_PointStyle), Get(l, &ILine::get_Width), NameOf(l)),
            std::tuple(0, 0x000000FFu, VARIANT_TRUE, 2, 0, std::u16string()));
  // Styles outside 0..2 become 0; widths are held to 0..100.
  for (auto [put, style, width] : {std::tuple(3, 0, 3), {-1, 0, 0}, {2, 2, 2}, {1, 1, 1}, {250, 0, 100}}) {
    l->put_Style(put), l->put_PointStyle(put), l->put_Width(put);
    EXPECT_EQ(std::tuple(Get(l, &ILine::get_Style), Get(l, &ILine::get_PointStyle), Get(l, &ILine::get_Width)),
              std::tuple(style, style, width));
  }
  l->put_Name(nullptr);
  EXPECT_EQ(NameOf(l), u"<null>");
  EXPECT_EQ(l->get_Data(nullptr), E_POINTER);

  // Data is created on the first read and can be replaced; detached, the next read makes a fresh one.
  ComPtr<ILineData> first, again, replaced, fresh, other = NewLineData({1, 2});
  ASSERT_EQ(l->get_Data(&first), S_OK);
  l->get_Data(&again), l->put_Data(other.get()), l->get_Data(&replaced), l->put_Data(nullptr), l->get_Data(&fresh);
  EXPECT_EQ(std::tuple(again.get(), replaced.get()), std::tuple(first.get(), other.get()));
  EXPECT_TRUE(first && fresh && fresh.get() != other.get() && fresh.get() != first.get());
}

TEST(LineLayerObjectTest, AddFindReplaceAndRemoveLines) {
  auto layer = Create<ILineLayer>(CLSID_LineLayer);
  ILineLayer* ll = layer.get();
  auto count = [&] { return Get(ll, &ILineLayer::get_Count); };
  EXPECT_EQ(std::tuple(count(), Get(ll, &ILineLayer::get_Offset), Get(ll, &ILineLayer::get_Style)),
            std::tuple(0, 1, 0));
  ComPtr<ILine> added, twin, unnamed, found;
  ASSERT_EQ(ll->AddLine(Bstr(u"T").get(), 0x00FF0000, 7, &added), S_OK);
  // AddLine keeps the style as given.
  EXPECT_EQ(std::pair(Get(added.get(), &ILine::get_Style), Get(added.get(), &ILine::get_Color)),
            std::pair(7, 0x00FF0000u));
  EXPECT_EQ(std::pair(LineAt(ll, ByName(u"t")), LineAt(ll, ByPosition(0))), std::pair(added.get(), added.get()));
  for (const Variant& none : {ByPosition(1), ByPosition(-1), ByName(u"u"), ByName(u"T ")})
    EXPECT_FALSE(LineAt(ll, none));

  // A second "t": lookups by that name address the first.
  ll->AddLine(Bstr(u"t").get(), 0, 0, &twin);
  EXPECT_EQ(LineAt(ll, ByName(u"T")), added.get());
  // Other index types convert to a position; a string by reference is still a name.
  EXPECT_EQ(LineAt(ll, ByReal(1.0)), twin.get());
  Variant name = ByName(u"T"), byRef;
  byRef.vt = VT_BYREF | VT_BSTR;
  byRef.pbstrVal = &name.bstrVal;
  EXPECT_EQ(LineAt(ll, byRef), added.get());

  // Put by a name nobody has appends and names the line; by a position outside does nothing; at a
  // position it replaces.
  auto outsider = Create<ILine>(CLSID_Line), stranger = Create<ILine>(CLSID_Line);
  EXPECT_EQ(ll->put_Lines(ByName(u"N"), outsider.get()) | ll->put_Lines(ByPosition(5), stranger.get()) |
                ll->put_Lines(ByPosition(1), stranger.get()),
            S_OK);
  EXPECT_EQ(std::tuple(count(), NameOf(outsider.get()), LineAt(ll, ByPosition(1)), LineAt(ll, ByPosition(2))),
            std::tuple(3, std::u16string(u"N"), stranger.get(), outsider.get()));

  // Remove by name removes the first match; the others move up. Bad arguments change nothing:
  // missing outputs, positions outside, indexes that are no integer.
  EXPECT_EQ((std::vector<HRESULT>{ll->RemoveLine(ByName(u"t")), ll->AddLine(nullptr, 0, 0, nullptr),
                                  ll->put_Lines(ByName(u"X"), nullptr), ll->get_Lines(ByPosition(0), nullptr),
                                  ll->RemoveLine(ByPosition(9)), ll->get_Lines(ByReal(1e12), &found),
                                  ll->RemoveLine(ByReal(1e12)), ll->put_Lines(ByReal(1e12), twin.get())}),
            (std::vector<HRESULT>{S_OK, E_POINTER, E_POINTER, E_POINTER, S_OK, DISP_E_OVERFLOW, DISP_E_OVERFLOW,
                                  DISP_E_OVERFLOW}));
  EXPECT_EQ(std::tuple(count(), LineAt(ll, ByPosition(0)), LineAt(ll, ByPosition(1)), found.get()),
            std::tuple(2, stranger.get(), outsider.get(), nullptr));
  ll->AddLine(nullptr, 0, 0, &unnamed);
  EXPECT_EQ(NameOf(unnamed.get()), u"<null>");
  EXPECT_EQ(ll->RemoveAllLines(), S_OK);
  EXPECT_EQ(count(), 0);
}

}  // namespace
}  // namespace kelmira::test

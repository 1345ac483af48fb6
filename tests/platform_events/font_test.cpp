// The standard font object: attributes, cloning, comparison, IFontDisp, change notification
// and persistence.
#include "support/create.h"
#include "support/invoke_args.h"
#include "support/memory_stream.h"
#include "support/property.h"
#include "support/property_notify_recorder.h"

#include <string>

namespace kelmira::test {
namespace {

using Hrs = std::vector<HRESULT>;

ComPtr<IFont> MakeFont(const char16_t* name = u"Arial", LONGLONG size = 70000, SHORT weight = 300) {
  FONTDESC d{sizeof(FONTDESC), const_cast<LPOLESTR>(name), {}, weight, 0, FALSE, FALSE, FALSE};
  d.cySize.int64 = size;
  ComPtr<IFont> font;
  EXPECT_EQ(OleCreateFontIndirect(&d, IID_IFont, reinterpret_cast<void**>(&font)), S_OK);
  return font;
}

std::string Narrow(BSTR text) { return std::string(text, text + SysStringLen(text)); }

// Every attribute of a font: "name size weight charset" and the flags that are set.
std::string Describe(IFont* font) {
  std::string out = Narrow(Bstr::Attach(Get(font, &IFont::get_Name)).get()) + " " +
                    std::to_string(Get(font, &IFont::get_Size).int64) + " " +
                    std::to_string(Get(font, &IFont::get_Weight)) + " " +
                    std::to_string(Get(font, &IFont::get_Charset));
  for (auto [get, text] : {std::pair{&IFont::get_Bold, " bold"},
                           {&IFont::get_Italic, " italic"},
                           {&IFont::get_Underline, " underline"},
                           {&IFont::get_Strikethrough, " strike"}})
    if (const BOOL flag = Get(font, get)) out += flag == TRUE ? text : " ?";
  return out;
}

TEST(FontObject, IsMadeFromADescriptionAndChecksIt) {
  FONTDESC d{sizeof(FONTDESC), nullptr, {}, 300, 2, TRUE, FALSE, 5};  // no name: the empty string
  d.cySize.int64 = 70000;
  ComPtr<IFont> font;
  ASSERT_EQ(OleCreateFontIndirect(&d, IID_IFont, reinterpret_cast<void**>(&font)), S_OK);
  EXPECT_EQ(Describe(font.get()), " 70000 300 2 italic strike");
  EXPECT_EQ(font->get_Name(nullptr), E_POINTER);

  // One object: IFontDisp, IDispatch and IPersistStream lead back to the same IUnknown.
  ASSERT_TRUE(font.As<IPersistStream>() && font.As<IDispatch>());
  EXPECT_EQ(font.As<IFontDisp>().As<IUnknown>().get(), font.As<IUnknown>().get());

  void* out = reinterpret_cast<void*>(1);
  EXPECT_EQ((std::pair{OleCreateFontIndirect(nullptr, IID_IFont, &out), out}), std::pair(E_POINTER, (void*)nullptr));
  std::u16string longName(256, u'x');
  FONTDESC bad[] = {d, d, d, d, d};  // each with one field out of range
  bad[0].cbSizeofstruct = 8;
  bad[1].sWeight = 1001;
  bad[2].cySize.int64 = -1;
  bad[3].sCharset = 256;
  bad[4].lpstrName = longName.data();
  for (FONTDESC& b : bad) EXPECT_EQ(OleCreateFontIndirect(&b, IID_IFont, &out), E_INVALIDARG) << "row " << &b - bad;
  EXPECT_EQ(OleCreateFontIndirect(&d, IID_IStream, &out), E_NOINTERFACE);

  // The class is creatable by identifier, with the desktop's default face.
  EXPECT_EQ(Describe(Create<IFont>(CLSID_StdFont).get()), "MS Sans Serif 82500 400 0");
}

// Every successful put is told to the property sinks; values out of range are refused unheard.
TEST(FontObject, PutsChangeAttributesTellTheSinksAndRefuseValuesOutOfRange) {
  ComPtr<IFont> font = MakeFont(), clone;
  ComPtr<Object<PropertyNotifyRecorder>> sink;
  Object<PropertyNotifyRecorder>::Make(&sink);
  DWORD cookie = 0;
  ASSERT_EQ(AtlAdvise(font.get(), static_cast<IPropertyNotifySink*>(sink.get()), IID_IPropertyNotifySink, &cookie),
            S_OK);
  auto after = [&](HRESULT hr) { return hr == S_OK ? Describe(font.get()) : std::string("failed"); };
  // Bold means a weight above 550; putting it sets 700 or 400.
  EXPECT_EQ(after(font->put_Bold(TRUE)), "Arial 70000 700 0 bold");
  EXPECT_EQ(after(font->put_Bold(FALSE)), "Arial 70000 400 0");
  EXPECT_EQ(after(font->put_Weight(550)), "Arial 70000 550 0");
  EXPECT_EQ(after(font->put_Weight(551)), "Arial 70000 551 0 bold");
  EXPECT_EQ(after(font->put_Name(nullptr)), " 70000 551 0 bold");  // the empty string
  EXPECT_EQ(after(font->put_Italic(TRUE)), " 70000 551 0 bold italic");
  EXPECT_EQ(after(font->put_Name(Bstr(u"Liberation Sans").get())), "Liberation Sans 70000 551 0 bold italic");
  CY size{};
  size.int64 = -10000;
  EXPECT_EQ((Hrs{font->put_Weight(-1), font->put_Weight(1001), font->put_Charset(256), font->put_Size(size),
                 font->SetRatio(0, 2540)}),
            Hrs(5, E_INVALIDARG));
  font->Clone(&clone);
  clone->put_Underline(TRUE);  // a clone starts without sinks
  EXPECT_EQ(Describe(font.get()), "Liberation Sans 70000 551 0 bold italic");
  EXPECT_EQ(sink->changed,
            (std::vector<DISPID>{DISPID_FONT_BOLD, DISPID_FONT_BOLD, DISPID_FONT_WEIGHT, DISPID_FONT_WEIGHT,
                                 DISPID_FONT_NAME, DISPID_FONT_ITALIC, DISPID_FONT_NAME}));
}

// Face names match without regard to case; every other attribute counts.
TEST(FontObject, CloneIsIndependentAndIsEqualComparesAttributes) {
  ComPtr<IFont> font = MakeFont(u"Arial"), clone, upper = MakeFont(u"ARIAL");
  ASSERT_EQ(font->Clone(&clone), S_OK);
  EXPECT_NE(clone.get(), font.get());
  const HRESULT sameClone = font->IsEqual(clone.get()), sameUpper = font->IsEqual(upper.get());
  clone->put_Name(Bstr(u"Courier New").get());
  upper->put_Underline(TRUE);
  EXPECT_EQ(Describe(font.get()), "Arial 70000 300 0");
  EXPECT_EQ((Hrs{sameClone, sameUpper, font->IsEqual(clone.get()), font->IsEqual(upper.get()),
                 font->IsEqual(MakeFont(u"Arial", 80000).get()), font->IsEqual(MakeFont(u"Arial", 70000, 301).get()),
                 font->IsEqual(nullptr), font->Clone(nullptr)}),
            (Hrs{S_OK, S_OK, S_FALSE, S_FALSE, S_FALSE, S_FALSE, E_POINTER, E_POINTER}));
}

TEST(FontDisp, NamesAndPropertiesByTheStandardDispatchIds) {
  ComPtr<IFont> font = MakeFont();
  ComPtr<IFontDisp> disp = font.As<IFontDisp>();
  LPOLESTR names[] = {const_cast<LPOLESTR>(u"NAME"), const_cast<LPOLESTR>(u"size"), const_cast<LPOLESTR>(u"UnderLine"),
                      const_cast<LPOLESTR>(u"CHARSET"), const_cast<LPOLESTR>(u"Colour")};
  // Each name alone, then a member and a parameter name (the font has no parameters), then a
  // name asked for another interface.
  std::vector<DISPID> ids(7, 99);
  Hrs found;
  for (int k = 0; k < 5; ++k) found.push_back(disp->GetIDsOfNames(IID_NULL, &names[k], 1, 0, &ids[k]));
  found.push_back(disp->GetIDsOfNames(IID_NULL, &names[1], 2, 0, &ids[5]));
  EXPECT_EQ(std::pair(found, ids),
            std::pair(Hrs{S_OK, S_OK, S_OK, S_OK, DISP_E_UNKNOWNNAME, DISP_E_UNKNOWNNAME},
                      std::vector<DISPID>{0, 2, 5, 8, DISPID_UNKNOWN, DISPID_FONT_SIZE, DISPID_UNKNOWN}));
  EXPECT_EQ(disp->GetIDsOfNames(IID_IFont, names, 1, 0, &ids[0]), DISP_E_UNKNOWNINTERFACE);

  // Gets give each property in its own type, shown as "vt:value"; puts convert their argument to
  // the property's type, then run the IFont put.
  UINT argErr = 9;
  Variant v;
  Args none;
  auto invoke = [&](DISPID id, WORD flags, Args& args, REFIID iid = IID_NULL) {
    v.Clear();
    return disp->Invoke(id, iid, 0, flags, args.Params(), flags == DISPATCH_PROPERTYGET ? &v : nullptr, nullptr,
                        &argErr);
  };
  auto get = [&](DISPID id) {
    if (FAILED(invoke(id, DISPATCH_PROPERTYGET, none))) return std::string("failed");
    Variant text;
    VariantChangeType(&text, &v, 0, VT_BSTR);
    return std::to_string(v.vt) + ":" + Narrow(text.bstrVal);
  };
  // VT_BSTR, VT_CY, VT_I2, VT_BOOL; then bold after a put of weight 650; a missing member
  EXPECT_EQ(
      (std::vector{get(DISPID_FONT_NAME), get(DISPID_FONT_SIZE), get(DISPID_FONT_WEIGHT), get(DISPID_FONT_BOLD),
                   (invoke(DISPID_FONT_WEIGHT, DISPATCH_PROPERTYPUT, Args().I4(650).AsPut()), get(DISPID_FONT_BOLD)),
                   get(1)}),
      (std::vector<std::string>{"8:Arial", "6:7", "2:300", "11:0", "11:-1", "failed"}));
  EXPECT_EQ((Hrs{invoke(DISPID_FONT_SIZE, DISPATCH_PROPERTYPUT, Args().R8(9.5).AsPut()),
                 invoke(DISPID_FONT_BOLD, DISPATCH_PROPERTYPUT, Args().I4(0).AsPut()),
                 invoke(DISPID_FONT_WEIGHT, DISPATCH_PROPERTYPUT, Args().I4(5000).AsPut())}),
            (Hrs{S_OK, S_OK, E_INVALIDARG}));
  EXPECT_TRUE(FAILED(invoke(DISPID_FONT_SIZE, DISPATCH_PROPERTYPUT, Args().Object(nullptr, VT_DISPATCH).AsPut())));
  EXPECT_EQ(std::pair(argErr, Describe(font.get())), std::pair(0u, std::string("Arial 95000 400 0")));
  EXPECT_EQ((Hrs{invoke(DISPID_FONT_SIZE, DISPATCH_PROPERTYPUT, Args().I4(1).I4(2).AsPut()),
                 invoke(DISPID_FONT_SIZE, DISPATCH_PROPERTYGET, Args().I4(1).AsPut()),
                 invoke(DISPID_FONT_SIZE, DISPATCH_PROPERTYGET, none, IID_IFont)}),
            (Hrs{DISP_E_BADPARAMCOUNT, DISP_E_NONAMEDARGS, DISP_E_UNKNOWNINTERFACE}));
}

// Load reads its own record only, and takes nothing of a short or corrupt one.
TEST(FontPersist, RoundTripsEveryAttributeTracksDirtinessAndRefusesShortOrCorruptRecords) {
  ComPtr<IFont> font = MakeFont(u"Liberation Serif", 123456, 650), loaded = MakeFont(u"Other", 10000, 100);
  font->put_Charset(204), font->put_Underline(TRUE), font->put_Strikethrough(TRUE);
  ComPtr<IPersistStream> persist = font.As<IPersistStream>(), into = loaded.As<IPersistStream>();
  EXPECT_EQ(persist->IsDirty(), S_OK);  // new fonts are dirty
  ComPtr<IStream> stream = StreamOf();
  ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  ASSERT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  ULARGE_INTEGER max{};
  EXPECT_EQ(std::tuple(persist->IsDirty(), persist->GetSizeMax(&max), persist->Save(nullptr, TRUE)),
            std::tuple(S_FALSE, S_OK, E_POINTER));
  const std::vector<BYTE> good = BytesOf(stream.get());
  ASSERT_EQ(good.size(), 2 * max.QuadPart);

  auto load = [&](std::vector<BYTE> bytes) { return into->Load(StreamOf(bytes).get()); };
  for (std::size_t n = 0; n < max.QuadPart; ++n)
    EXPECT_EQ(load({good.begin(), good.begin() + n}), STG_E_READFAULT) << "cut at " << n;
  // Layout: version(2) length(4) name(2n) size(8) weight(2) charset(2) flags(1).
  constexpr std::size_t kNameEnd = 6 + 2 * 16;
  const std::tuple<std::size_t, std::vector<BYTE>, HRESULT> patches[] = {
      {0, {2, 0}, STG_E_OLDFORMAT},
      {2, {0x10, 0x27, 0, 0}, STG_E_DOCFILECORRUPT},  // a name of 10000 units
      {2, {0xFF, 0xFF, 0xFF, 0xFF}, STG_E_DOCFILECORRUPT},
      {kNameEnd + 7, {0x80}, STG_E_DOCFILECORRUPT},        // negative size
      {kNameEnd + 8, {0xE9, 0x03}, STG_E_DOCFILECORRUPT},  // weight 1001
      {kNameEnd + 10, {0, 1}, STG_E_DOCFILECORRUPT},       // charset 256
      {kNameEnd + 12, {8}, STG_E_DOCFILECORRUPT},          // an unknown flag
  };
  for (const auto& [at, with, expected] : patches) {
    std::vector<BYTE> patched = good;
    std::copy(with.begin(), with.end(), patched.begin() + at);
    EXPECT_EQ(load(patched), expected) << "patch at " << at;
  }
  EXPECT_EQ(Describe(loaded.get()), "Other 10000 100 0");

  ComPtr<IStream> in = StreamOf(good);
  ASSERT_EQ(into->Load(in.get()), S_OK);
  EXPECT_EQ(Describe(loaded.get()), "Liberation Serif 123456 650 204 bold underline strike");
  EXPECT_EQ(std::pair(PositionOf(in.get()), into->IsDirty()), std::pair(max.QuadPart, S_FALSE));
}

}  // namespace
}  // namespace kelmira::test

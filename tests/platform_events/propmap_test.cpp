// Property-map persistence: raw fields and typed properties written and read in map order through
// a hand-written IDispatch, and every way a stream can be short, corrupt or refused.
#include "support/create.h"
#include "support/memory_stream.h"
#include "support/property_map_object.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

using PropObject = Object<PropertyMapObject>;
constexpr HRESULT kRefused = PropertyMapObject::kRefused;
const ATL_PROPMAP_ENTRY* const kMap = PropertyMapObject::GetPropertyMap();

ComPtr<PropObject> MakeObject() {
  ComPtr<PropObject> o;
  PropObject::Make(&o);
  return o;
}

// A variant of this type holding the bits of `value` (a number or an object).
template <class T = ULONGLONG>
VARIANT Make(VARTYPE vt, T value = 0) {
  static_assert(sizeof(T) <= sizeof(ULONGLONG));
  VARIANT v{};
  v.vt = vt;
  std::memcpy(&v.ullVal, &value, sizeof(T));
  return v;
}

// Every field and property of the map set to a value unlike the defaults.
void Fill(PropertyMapObject* o) {
  o->cx = 0x11223344;
  o->raw = -1.0 / 3.0;
  o->extent = {-5, 7, {1, 2, 3, 4, 5, 6}};
  // Dispatch ids 1 to 16 in order, each a value of its id's type; 19 to 21 and 24 hold a null
  // string, empty, null and no object.
  DISPID id = 0;
  auto set = [&](auto... values) { ((++id, o->Set(id, Make(PropertyMapObject::TypeOf(id), values))), ...); };
  set(std::int8_t{-5}, BYTE{250}, SHORT{-30000}, USHORT{60000}, LONG{-2000000000}, ULONG{4000000000u}, INT{-7}, UINT{7},
      LONGLONG{-1000000000000000}, ULONGLONG{18000000000000000000ull}, 1.5f, -2.25e300, LONGLONG{123456789}, 45000.5,
      VARIANT_TRUE, DISP_E_PARAMNOTFOUND);
  for (auto [empty, vt] : {std::pair<DISPID, VARTYPE>{19, VT_BSTR}, {20, VT_EMPTY}, {21, VT_NULL}, {24, VT_DISPATCH}})
    o->Set(empty, Make(vt));
  const char16_t text[] = u"Gr\u00F6\u00DFe\0x";  // with an embedded NUL
  o->Set(17, Make(VT_BSTR, Bstr::Attach(SysAllocStringLen(text, 7)).get()));
  o->Set(18, Make(VT_BSTR, Bstr::Attach(SysAllocStringLen(text, 0)).get()));
  o->Set(22, Make(VT_DISPATCH, Create<IFontDisp>(CLSID_StdFont).get()));
  o->Set(23, Make(VT_UNKNOWN, Create<IUnknown>(CLSID_StdFont).get()));
}

std::vector<BYTE> Save(PropertyMapObject* o, const ATL_PROPMAP_ENTRY* map, HRESULT expected = S_OK, BOOL clear = TRUE) {
  ComPtr<IStream> stream = StreamOf();
  EXPECT_EQ(AtlIPersistStreamInit_Save(stream.get(), clear, map, o, o->Unknown()), expected);
  return BytesOf(stream.get());
}

HRESULT Load(PropertyMapObject* o, const ATL_PROPMAP_ENTRY* map, const std::vector<BYTE>& bytes) {
  return AtlIPersistStreamInit_Load(StreamOf(bytes).get(), map, o, o->Unknown());
}

TEST(PropMap, RoundTripsRawFieldsAndEveryTypedValueThroughThePuts) {
  auto saved = MakeObject();
  Fill(saved.get());
  std::vector<BYTE> bytes = Save(saved.get(), kMap);
  ASSERT_GE(bytes.size(), 6u);
  // The version word, then the raw field.
  EXPECT_EQ((std::vector<BYTE>(bytes.begin(), bytes.begin() + 6)), (std::vector<BYTE>{1, 0, 0x44, 0x33, 0x22, 0x11}));

  auto loaded = MakeObject();
  ComPtr<IStream> stream = StreamOf(bytes);
  ASSERT_EQ(AtlIPersistStreamInit_Load(stream.get(), kMap, loaded.get(), loaded->Unknown()), S_OK);
  EXPECT_EQ(PositionOf(stream.get()), bytes.size());
  EXPECT_EQ(std::tuple(loaded->cx, loaded->raw), std::tuple(0x11223344u, -1.0 / 3.0));
  for (DISPID id = 1; id <= 24; ++id) EXPECT_EQ(loaded->puts[id], 1) << "dispid " << id;
  EXPECT_TRUE(loaded->gets.empty());
  // Every value came back whole: strings with their NUL, objects as equal fonts, each in its type.
  EXPECT_EQ(Save(loaded.get(), kMap), bytes);
  EXPECT_NE(loaded->values[22].pdispVal, saved->values[22].pdispVal);
}

TEST(PropMap, PagesWriteNothingRawFieldsTheirBytesAndPropertiesTheDeclaredTypePassingClearDirtyOn) {
  auto o = MakeObject();
  o->raw = 1.0;
  o->Set(3, Make(VT_I2, SHORT{-12}));
  ComPtr<IFontDisp> font = Create<IFontDisp>(CLSID_StdFont);
  font.As<IFont>()->put_Bold(TRUE);  // now in need of saving
  o->Set(22, Make(VT_DISPATCH, font.get()));
  static const ATL_PROPMAP_ENTRY pageAndRaw[] = {PropPage(CLSID_StdFont), kMap[7], PropEnd()};
  EXPECT_EQ(Save(o.get(), pageAndRaw), (std::vector<BYTE>{1, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));

  static const ATL_PROPMAP_ENTRY asLong[] = {PropEntry(u"x", 3, CLSID_NULL, VT_I4), PropEntry(u"f", 22, CLSID_NULL),
                                             PropEnd()};
  ComPtr<IPersistStream> persist = font.As<IPersistStream>();
  Save(o.get(), asLong, S_OK, FALSE);
  const HRESULT dirtyAfterKeeping = persist->IsDirty();
  std::vector<BYTE> bytes = Save(o.get(), asLong, S_OK, TRUE);
  EXPECT_EQ(std::pair(dirtyAfterKeeping, persist->IsDirty()), std::pair(S_OK, S_FALSE));
  EXPECT_EQ((std::vector<BYTE>(bytes.begin() + 2, bytes.begin() + 8)),
            (std::vector<BYTE>{VT_I4, 0, 0xF4, 0xFF, 0xFF, 0xFF}));

  auto loaded = MakeObject();
  loaded->checkTypes = false;
  ASSERT_EQ(Load(loaded.get(), asLong, bytes), S_OK);
  EXPECT_EQ(std::pair(loaded->values[3].vt, loaded->values[3].lVal), std::pair(VARTYPE{VT_I4}, LONG{-12}));
}

TEST(PropMap, RefusesOtherVersionsUnknownTagsUndeclaredTagsCorruptLengthsAndNullArguments) {
  auto o = MakeObject(), target = MakeObject();
  o->Set(12, Make(VT_R8, 2.5));
  static const ATL_PROPMAP_ENTRY any[] = {PropEntry(u"r", 12, CLSID_NULL), PropEnd()};
  static const ATL_PROPMAP_ENTRY asLong[] = {PropEntry(u"r", 12, CLSID_NULL, VT_I4), PropEnd()};
  const std::vector<BYTE> bytes = Save(o.get(), any);
  target->checkTypes = false;
  EXPECT_EQ(Load(target.get(), asLong, bytes), DISP_E_TYPEMISMATCH);
  // Another version; VT_FILETIME and VT_DECIMAL, which are not types of the form.
  for (auto [at, value, expected] :
       {std::tuple{0, 2, STG_E_OLDFORMAT}, {2, 0x40, STG_E_DOCFILECORRUPT}, {2, VT_DECIMAL, STG_E_DOCFILECORRUPT}}) {
    std::vector<BYTE> other = bytes;
    other[at] = static_cast<BYTE>(value);
    EXPECT_EQ(Load(target.get(), any, other), expected) << "byte " << at << " = " << value;
  }
  EXPECT_TRUE(target->puts.empty());
  EXPECT_EQ(Load(target.get(), any, bytes), S_OK);
  EXPECT_EQ(target->puts[12], 1);

  // Values the form cannot hold are refused before anything of them is written.
  o->Set(12, Make(VT_DECIMAL));
  EXPECT_EQ(Save(o.get(), any, DISP_E_BADVARTYPE), (std::vector<BYTE>{1, 0}));

  // Corrupt lengths and classes and null arguments fail without reading past the stream.
  static const ATL_PROPMAP_ENTRY text[] = {PropEntry(u"s", 17, CLSID_NULL), PropEnd()};
  std::vector<BYTE> unknownClass = {1, 0, VT_UNKNOWN, 0};  // an object of a class nobody can make
  for (int i = 0; i < 16; ++i) unknownClass.push_back(static_cast<BYTE>(0xA0 + i));
  EXPECT_TRUE(FAILED(Load(target.get(), text, unknownClass)));
  // A string claiming two thousand million units, followed by four bytes.
  EXPECT_EQ((std::vector{Load(target.get(), text, {1, 0, VT_BSTR, 0, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 0, 'b', 0}),
                         Load(target.get(), text, {1, 0, VT_BSTR, 0, 0xFE, 0xFF, 0xFF, 0xFF}),
                         Load(target.get(), text, {1, 0, VT_BSTR, 0, 2, 0, 0, 0, 'a', 0, 'b', 0})}),
            (std::vector{STG_E_READFAULT, STG_E_READFAULT, S_OK}));
  EXPECT_EQ(std::pair(std::u16string(target->values[17].bstrVal), target->puts[17]),
            std::pair(std::u16string(u"ab"), 1));

  ComPtr<IStream> stream = StreamOf();
  IUnknown* unknown = target->Unknown();
  EXPECT_EQ((std::vector{AtlIPersistStreamInit_Save(nullptr, TRUE, kMap, target.get(), unknown),
                         AtlIPersistStreamInit_Save(stream.get(), TRUE, nullptr, target.get(), unknown),
                         AtlIPersistStreamInit_Save(stream.get(), TRUE, kMap, nullptr, unknown),
                         AtlIPersistStreamInit_Load(nullptr, kMap, target.get(), unknown),
                         AtlIPersistStreamInit_Save(stream.get(), TRUE, text, target.get(), nullptr)}),
            std::vector<HRESULT>(5, E_POINTER));
}

TEST(PropMap, AFailingGetOrPutOrAShortStreamEndsTheOperation) {
  auto o = MakeObject(), target = MakeObject(), plain = MakeObject();
  Fill(o.get());
  const std::vector<BYTE> full = Save(o.get(), kMap);
  o->gets.clear();
  o->failGet = 5;
  std::vector<BYTE> partial = Save(o.get(), kMap, kRefused);
  EXPECT_LT(partial.size(), full.size());
  EXPECT_TRUE(std::equal(partial.begin(), partial.end(), full.begin()));
  EXPECT_EQ(std::tuple(o->gets[4], o->gets[5], o->gets.count(6)), std::tuple(1, 1, 0u));

  // The raw entry after the failure is not read.
  target->failPut = 5;
  EXPECT_EQ(Load(target.get(), kMap, full), kRefused);
  EXPECT_EQ(std::tuple(target->puts[4], target->puts[5], target->puts.count(6), target->raw),
            std::tuple(1, 1, 0u, 0.0));

  // An object value that cannot persist itself.
  o->Set(23, Make(VT_UNKNOWN, plain->Unknown()));
  o->failGet = -1000;
  Save(o.get(), kMap, E_NOINTERFACE);

  // Every cut of a saved stream fails to load.
  for (std::size_t n = 0; n < full.size(); ++n)
    EXPECT_TRUE(FAILED(Load(MakeObject().get(), kMap, {full.begin(), full.begin() + n}))) << "cut at " << n;
}

}  // namespace
}  // namespace kelmira::test

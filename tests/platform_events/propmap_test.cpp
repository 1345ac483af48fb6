// Property-map persistence: raw fields and typed properties written and read in map order through
// a hand-written IDispatch, and every way a stream can be short, corrupt or refused.
#include "memory_stream.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <tuple>

using kelmira::ComPtr;
using kelmira::Variant;

struct IPropTest : IDispatch {};
KELMIRA_DEFINE_IID(IPropTest, 0x6b1f0e52, 0x90aa, 0x4d0e, 0xa1, 0x3c, 0x5e, 0x61, 0x70, 0x0b, 0x4c, 0x01);

namespace {

constexpr HRESULT kRefused = KELMIRA_HR(0x80041234);

// The type each dispatch id of the full map carries.
const std::map<DISPID, VARTYPE> kTypes = {
    {1, VT_I1},    {2, VT_UI1},    {3, VT_I2},    {4, VT_UI2},       {5, VT_I4},       {6, VT_UI4},
    {7, VT_INT},   {8, VT_UINT},   {9, VT_I8},    {10, VT_UI8},      {11, VT_R4},      {12, VT_R8},
    {13, VT_CY},   {14, VT_DATE},  {15, VT_BOOL}, {16, VT_ERROR},    {17, VT_BSTR},    {18, VT_BSTR},
    {19, VT_BSTR}, {20, VT_EMPTY}, {21, VT_NULL}, {22, VT_DISPATCH}, {23, VT_UNKNOWN}, {24, VT_DISPATCH},
};

class PropObject : public IPropTest {
 public:
  using Interfaces = kelmira::InterfaceTable<IPropTest, kelmira::Via<IDispatch, IPropTest>>;

  struct Extent {
    LONG a;
    SHORT b;
    BYTE c[6];
  };
  DWORD cx = 0;
  double raw = 0;
  Extent extent{};
  std::map<DISPID, Variant> values;
  std::map<DISPID, int> gets, puts;
  DISPID failGet = -1000, failPut = -1000;
  bool checkTypes = true;

  BEGIN_PROP_MAP(PropObject)
    PROP_DATA_ENTRY("_cx", cx, VT_UI4)
    PROP_ENTRY_TYPE("I1", 1, CLSID_NULL, VT_I1)
    PROP_ENTRY_TYPE("UI1", 2, CLSID_NULL, VT_UI1)
    PROP_ENTRY_TYPE("I2", 3, CLSID_NULL, VT_I2)
    PROP_ENTRY_TYPE("UI2", 4, CLSID_NULL, VT_UI2)
    PROP_ENTRY_TYPE("I4", 5, CLSID_NULL, VT_I4)
    PROP_ENTRY_TYPE("UI4", 6, CLSID_NULL, VT_UI4)
    PROP_DATA_ENTRY("raw", raw, VT_R8)
    PROP_ENTRY_TYPE("INT", 7, CLSID_NULL, VT_INT)
    PROP_ENTRY_TYPE("UINT", 8, CLSID_NULL, VT_UINT)
    PROP_ENTRY_TYPE("I8", 9, CLSID_NULL, VT_I8)
    PROP_ENTRY_TYPE("UI8", 10, CLSID_NULL, VT_UI8)
    PROP_ENTRY_TYPE("R4", 11, CLSID_NULL, VT_R4)
    PROP_ENTRY_TYPE("R8", 12, CLSID_NULL, VT_R8)
    PROP_PAGE(CLSID_StdFont)
    PROP_ENTRY_TYPE("CY", 13, CLSID_NULL, VT_CY)
    PROP_ENTRY_TYPE("DATE", 14, CLSID_NULL, VT_DATE)
    PROP_ENTRY_TYPE("BOOL", 15, CLSID_NULL, VT_BOOL)
    PROP_ENTRY_TYPE_EX("ERROR", 16, CLSID_NULL, IID_IPropTest, VT_ERROR)
    PROP_ENTRY("Text", 17, CLSID_NULL)
    PROP_ENTRY("EmptyText", 18, CLSID_NULL)
    PROP_ENTRY_EX("NullText", 19, CLSID_NULL, IID_IPropTest)
    PROP_ENTRY("Empty", 20, CLSID_NULL)
    PROP_ENTRY("Null", 21, CLSID_NULL)
    PROP_DATA_ENTRY("extent", extent, VT_EMPTY)
    PROP_ENTRY_TYPE("Font", 22, CLSID_NULL, VT_DISPATCH)
    PROP_ENTRY("FontUnknown", 23, CLSID_NULL)
    PROP_ENTRY("NoFont", 24, CLSID_NULL)
  END_PROP_MAP()

  void Set(DISPID id, const VARIANT& v) { VariantCopy(&values[id], &v); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (!IsEqualIID(riid, IID_NULL) || lcid != LOCALE_USER_DEFAULT) return E_INVALIDARG;
    switch (flags) {
      case DISPATCH_PROPERTYGET:
        ++gets[id];
        if (id == failGet) return kRefused;
        if (params->cArgs != 0 || !result || !values.count(id)) return DISP_E_MEMBERNOTFOUND;
        return VariantCopy(result, &values[id]);
      case DISPATCH_PROPERTYPUT:
        ++puts[id];
        if (id == failPut) return kRefused;
        if (params->cArgs != 1 || params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
          return DISP_E_BADPARAMCOUNT;
        if (checkTypes && kTypes.count(id) && params->rgvarg[0].vt != kTypes.at(id)) return DISP_E_TYPEMISMATCH;
        Set(id, params->rgvarg[0]);
        return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }
};

ComPtr<kelmira::Object<PropObject>> MakeObject() {
  ComPtr<kelmira::Object<PropObject>> o;
  kelmira::Object<PropObject>::Make(&o);
  return o;
}

IUnknown* UnknownOf(PropObject* o) { return static_cast<IPropTest*>(o); }

// A variant of this type with these value bits, or holding this object.
VARIANT Make(VARTYPE vt, ULONGLONG bits = 0) {
  VARIANT v{};
  v.vt = vt;
  v.ullVal = bits;
  return v;
}

VARIANT Make(VARTYPE vt, IUnknown* object) {
  VARIANT v = Make(vt);
  v.punkVal = object;
  return v;
}

ComPtr<IFontDisp> MakeFont(const char16_t* name, LONGLONG size, BOOL italic) {
  std::u16string copy = name;
  FONTDESC d{sizeof(FONTDESC), copy.data(), {}, 500, 1, italic, FALSE, TRUE};
  d.cySize.int64 = size;
  ComPtr<IFontDisp> font;
  EXPECT_EQ(OleCreateFontIndirect(&d, IID_IFontDisp, reinterpret_cast<void**>(&font)), S_OK);
  return font;
}

template <class T>
ULONGLONG Bits(T value) {
  ULONGLONG bits = 0;
  std::memcpy(&bits, &value, sizeof(T));
  return bits;
}

void Fill(PropObject* o) {
  o->cx = 0x11223344;
  o->raw = -1.0 / 3.0;
  o->extent = {-5, 7, {1, 2, 3, 4, 5, 6}};
  const std::pair<DISPID, ULONGLONG> scalars[] = {
      {1, Bits<std::int8_t>(-5)},
      {2, Bits<BYTE>(250)},
      {3, Bits<SHORT>(-30000)},
      {4, Bits<USHORT>(60000)},
      {5, Bits<LONG>(-2000000000)},
      {6, Bits<ULONG>(4000000000u)},
      {7, Bits<INT>(-7)},
      {8, Bits<UINT>(7)},
      {9, Bits<LONGLONG>(-1000000000000000)},
      {10, Bits<ULONGLONG>(18000000000000000000ull)},
      {11, Bits(1.5f)},
      {12, Bits(-2.25e300)},
      {13, Bits<LONGLONG>(123456789)},
      {14, Bits(45000.5)},
      {15, Bits(VARIANT_TRUE)},
      {16, Bits(DISP_E_PARAMNOTFOUND)},
      {19, 0},  // null string
      {20, 0},
      {21, 0},
      {24, 0},  // no object
  };
  for (auto [id, bits] : scalars) o->Set(id, Make(kTypes.at(id), bits));
  const char16_t text[] = u"Gr\u00F6\u00DFe\0x";  // with an embedded NUL
  for (auto [id, length] : {std::pair{17, 7u}, std::pair{18, 0u}}) {
    Variant s;
    s.vt = VT_BSTR;
    s.bstrVal = SysAllocStringLen(text, length);
    o->Set(id, s);
  }
  ComPtr<IFontDisp> fonts[] = {MakeFont(u"Liberation Mono", 95000, TRUE), MakeFont(u"Arial", 70000, FALSE)};
  o->Set(22, Make(VT_DISPATCH, fonts[0].get()));
  o->Set(23, Make(VT_UNKNOWN, fonts[1].get()));
}

std::vector<BYTE> Save(PropObject* o, const ATL_PROPMAP_ENTRY* map, HRESULT expected = S_OK, BOOL clear = TRUE) {
  ComPtr<IStream> stream = StreamOf();
  EXPECT_EQ(AtlIPersistStreamInit_Save(stream.get(), clear, map, o, UnknownOf(o)), expected);
  return BytesOf(stream.get());
}

HRESULT Load(PropObject* o, const ATL_PROPMAP_ENTRY* map, std::vector<BYTE> bytes) {
  ComPtr<IStream> stream = StreamOf(std::move(bytes));
  return AtlIPersistStreamInit_Load(stream.get(), map, o, UnknownOf(o));
}

ComPtr<IFont> FontIn(const VARIANT& v) {
  ComPtr<IFont> font;
  if (v.punkVal) v.punkVal->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font));
  return font;
}

void ExpectSameValue(DISPID id, const VARIANT& a, const VARIANT& b) {
  ASSERT_EQ(a.vt, b.vt) << "dispid " << id;
  switch (a.vt) {
    case VT_BSTR:
      ASSERT_EQ(a.bstrVal == nullptr, b.bstrVal == nullptr) << "dispid " << id;
      EXPECT_EQ(std::u16string(a.bstrVal, SysStringLen(a.bstrVal)), std::u16string(b.bstrVal, SysStringLen(b.bstrVal)));
      break;
    case VT_DISPATCH:
    case VT_UNKNOWN: {
      ASSERT_EQ(a.punkVal == nullptr, b.punkVal == nullptr) << "dispid " << id;
      if (!a.punkVal) break;
      EXPECT_NE(a.punkVal, b.punkVal);  // a new object, loaded from the stream
      ComPtr<IFont> fa = FontIn(a), fb = FontIn(b);
      ASSERT_TRUE(fa && fb);
      EXPECT_EQ(fa->IsEqual(fb.get()), S_OK) << "dispid " << id;
      break;
    }
    default: EXPECT_EQ(a.ullVal, b.ullVal) << "dispid " << id;
  }
}

TEST(PropMap, RoundTripsRawFieldsAndEveryTypedValueThroughThePuts) {
  auto saved = MakeObject();
  Fill(saved.get());
  const ATL_PROPMAP_ENTRY* map = PropObject::GetPropertyMap();
  std::vector<BYTE> bytes = Save(saved.get(), map);
  ASSERT_GE(bytes.size(), 6u);
  // The version word, then the raw field.
  EXPECT_EQ((std::vector<BYTE>(bytes.begin(), bytes.begin() + 6)), (std::vector<BYTE>{1, 0, 0x44, 0x33, 0x22, 0x11}));

  auto loaded = MakeObject();
  ComPtr<IStream> stream = StreamOf(bytes);
  ASSERT_EQ(AtlIPersistStreamInit_Load(stream.get(), map, loaded.get(), UnknownOf(loaded.get())), S_OK);
  EXPECT_EQ(PositionOf(stream.get()), bytes.size());

  EXPECT_EQ(loaded->cx, 0x11223344u);
  EXPECT_EQ(loaded->raw, -1.0 / 3.0);
  EXPECT_EQ(std::memcmp(&loaded->extent, &saved->extent, sizeof(PropObject::Extent)), 0);
  for (const auto& [id, type] : kTypes) {
    EXPECT_EQ(loaded->puts[id], 1) << "dispid " << id;
    ASSERT_TRUE(loaded->values.count(id)) << "dispid " << id;
    ExpectSameValue(id, saved->values[id], loaded->values[id]);
  }
  EXPECT_TRUE(loaded->gets.empty());
}

TEST(PropMap, PageEntriesWriteNothingAndRawEntriesExactlyTheirBytes) {
  static const ATL_PROPMAP_ENTRY pageOnly[] = {kelmira::PropPage(CLSID_StdFont), kelmira::PropEnd()};
  auto o = MakeObject();
  EXPECT_EQ(Save(o.get(), pageOnly), (std::vector<BYTE>{1, 0}));

  o->raw = 1.0;
  const ATL_PROPMAP_ENTRY rawOnly[] = {PropObject::GetPropertyMap()[7], kelmira::PropEnd()};
  EXPECT_EQ(Save(o.get(), rawOnly), (std::vector<BYTE>{1, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
}

TEST(PropMap, SaveConvertsToTheDeclaredTypeAndPassesClearDirtyToObjects) {
  auto o = MakeObject();
  o->Set(3, Make(VT_I2, Bits<SHORT>(-12)));
  ComPtr<IFontDisp> font = MakeFont(u"Arial", 70000, FALSE);
  font.As<IFont>()->put_Bold(TRUE);  // now in need of saving
  o->Set(22, Make(VT_DISPATCH, font.get()));

  static const ATL_PROPMAP_ENTRY asLong[] = {kelmira::PropEntry(u"x", 3, CLSID_NULL, VT_I4),
                                             kelmira::PropEntry(u"f", 22, CLSID_NULL), kelmira::PropEnd()};
  ComPtr<IPersistStream> persist = font.As<IPersistStream>();
  Save(o.get(), asLong, S_OK, FALSE);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  std::vector<BYTE> bytes = Save(o.get(), asLong, S_OK, TRUE);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  EXPECT_EQ((std::vector<BYTE>(bytes.begin() + 2, bytes.begin() + 8)),
            (std::vector<BYTE>{VT_I4, 0, 0xF4, 0xFF, 0xFF, 0xFF}));

  auto loaded = MakeObject();
  loaded->checkTypes = false;
  ASSERT_EQ(Load(loaded.get(), asLong, bytes), S_OK);
  EXPECT_EQ(std::pair(loaded->values[3].vt, loaded->values[3].lVal), std::pair(VARTYPE{VT_I4}, LONG{-12}));
}

TEST(PropMap, RefusesOtherVersionsUnknownTagsAndTagsOtherThanDeclared) {
  auto o = MakeObject();
  o->Set(12, Make(VT_R8, Bits(2.5)));
  static const ATL_PROPMAP_ENTRY any[] = {kelmira::PropEntry(u"r", 12, CLSID_NULL), kelmira::PropEnd()};
  static const ATL_PROPMAP_ENTRY asLong[] = {kelmira::PropEntry(u"r", 12, CLSID_NULL, VT_I4), kelmira::PropEnd()};
  std::vector<BYTE> bytes = Save(o.get(), any);

  auto target = MakeObject();
  target->checkTypes = false;
  EXPECT_EQ(Load(target.get(), asLong, bytes), DISP_E_TYPEMISMATCH);
  std::vector<BYTE> other = bytes;
  other[0] = 2;
  EXPECT_EQ(Load(target.get(), any, other), STG_E_OLDFORMAT);
  other = bytes;
  other[2] = 0x40;  // VT_FILETIME: not a type of the form
  EXPECT_EQ(Load(target.get(), any, other), STG_E_DOCFILECORRUPT);
  other[2] = VT_DECIMAL;
  EXPECT_EQ(Load(target.get(), any, other), STG_E_DOCFILECORRUPT);
  EXPECT_TRUE(target->puts.empty());
  EXPECT_EQ(Load(target.get(), any, bytes), S_OK);
  EXPECT_EQ(target->puts[12], 1);

  // Values the form cannot hold are refused before anything of them is written.
  o->Set(12, Make(VT_DECIMAL));
  EXPECT_EQ(Save(o.get(), any, DISP_E_BADVARTYPE), (std::vector<BYTE>{1, 0}));
}

TEST(PropMap, AFailingGetOrPutOrAShortStreamEndsTheOperation) {
  auto o = MakeObject();
  Fill(o.get());
  const ATL_PROPMAP_ENTRY* map = PropObject::GetPropertyMap();
  std::vector<BYTE> full = Save(o.get(), map);

  o->gets.clear();
  o->failGet = 5;
  std::vector<BYTE> partial = Save(o.get(), map, kRefused);
  EXPECT_LT(partial.size(), full.size());
  EXPECT_TRUE(std::equal(partial.begin(), partial.end(), full.begin()));
  EXPECT_EQ(std::tuple(o->gets[4], o->gets[5], o->gets.count(6)), std::tuple(1, 1, 0u));

  auto target = MakeObject();
  target->failPut = 5;
  EXPECT_EQ(Load(target.get(), map, full), kRefused);
  EXPECT_EQ(std::tuple(target->puts[4], target->puts[5], target->puts.count(6)), std::tuple(1, 1, 0u));
  EXPECT_EQ(target->raw, 0.0);  // the raw entry after the failure was not read

  // An object value that cannot persist itself.
  auto plain = MakeObject();
  o->Set(23, Make(VT_UNKNOWN, UnknownOf(plain.get())));
  o->failGet = -1000;
  Save(o.get(), map, E_NOINTERFACE);

  // Every cut of a saved stream fails to load.
  for (std::size_t n = 0; n < full.size(); ++n) {
    auto cut = MakeObject();
    EXPECT_TRUE(FAILED(Load(cut.get(), map, {full.begin(), full.begin() + n}))) << "cut at " << n;
  }
}

TEST(PropMap, CorruptLengthsAndClassesFailWithoutReadingPastTheStream) {
  static const ATL_PROPMAP_ENTRY text[] = {kelmira::PropEntry(u"s", 17, CLSID_NULL), kelmira::PropEnd()};
  auto target = MakeObject();
  // A string claiming two thousand million units, followed by four bytes.
  EXPECT_EQ(Load(target.get(), text, {1, 0, VT_BSTR, 0, 0xF0, 0xFF, 0xFF, 0x7F, 'a', 0, 'b', 0}), STG_E_READFAULT);
  EXPECT_EQ(Load(target.get(), text, {1, 0, VT_BSTR, 0, 0xFE, 0xFF, 0xFF, 0xFF}), STG_E_READFAULT);
  EXPECT_EQ(Load(target.get(), text, {1, 0, VT_BSTR, 0, 2, 0, 0, 0, 'a', 0, 'b', 0}), S_OK);
  EXPECT_EQ(std::u16string(target->values[17].bstrVal), u"ab");

  // An object of a class nobody can make.
  std::vector<BYTE> unknownClass = {1, 0, VT_UNKNOWN, 0};
  for (int i = 0; i < 16; ++i) unknownClass.push_back(static_cast<BYTE>(0xA0 + i));
  EXPECT_TRUE(FAILED(Load(target.get(), text, unknownClass)));
  EXPECT_EQ(target->puts[17], 1);
}

TEST(PropMap, NullArgumentsAreRefused) {
  auto o = MakeObject();
  ComPtr<IStream> stream = StreamOf();
  const ATL_PROPMAP_ENTRY* map = PropObject::GetPropertyMap();
  EXPECT_EQ(AtlIPersistStreamInit_Save(nullptr, TRUE, map, o.get(), UnknownOf(o.get())), E_POINTER);
  EXPECT_EQ(AtlIPersistStreamInit_Save(stream.get(), TRUE, nullptr, o.get(), UnknownOf(o.get())), E_POINTER);
  EXPECT_EQ(AtlIPersistStreamInit_Save(stream.get(), TRUE, map, nullptr, UnknownOf(o.get())), E_POINTER);
  EXPECT_EQ(AtlIPersistStreamInit_Load(nullptr, map, o.get(), UnknownOf(o.get())), E_POINTER);
  static const ATL_PROPMAP_ENTRY prop[] = {kelmira::PropEntry(u"x", 1, CLSID_NULL), kelmira::PropEnd()};
  EXPECT_EQ(AtlIPersistStreamInit_Save(stream.get(), TRUE, prop, o.get(), nullptr), E_POINTER);
}

}  // namespace

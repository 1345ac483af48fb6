// An object whose property map holds a property of every type the stream form can carry, raw
// fields between them and a page entry, behind a hand-written IDispatch that counts its gets and
// puts and checks what it is called with.
#pragma once

#include <kelmira/platform.h>

#include <map>

struct IPropTest : IDispatch {};
KELMIRA_DEFINE_IID(IPropTest, 0x6b1f0e52, 0x90aa, 0x4d0e, 0xa1, 0x3c, 0x5e, 0x61, 0x70, 0x0b, 0x4c, 0x01);

namespace kelmira::test {

class PropertyMapObject : public IPropTest {
 public:
  using Interfaces = InterfaceTable<IPropTest, Via<IDispatch, IPropTest>>;
  static constexpr HRESULT kRefused = KELMIRA_HR(0x80041234);
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
  DISPID failGet = -1000, failPut = -1000;  // answer kRefused for this id
  bool checkTypes = true;                   // refuse a put of another type than the map declares

  BEGIN_PROP_MAP(PropertyMapObject)
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
  // The type the map declares for a property (VT_EMPTY: any).
  static VARTYPE TypeOf(DISPID id) {
    for (const ATL_PROPMAP_ENTRY* e = GetPropertyMap(); e->kind != PROPMAP_END; ++e)
      if (e->kind == PROPMAP_PROPERTY && e->dispid == id) return e->vt;
    return VT_EMPTY;
  }
  IUnknown* Unknown() { return static_cast<IPropTest*>(this); }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (!IsEqualIID(riid, IID_NULL) || lcid != LOCALE_USER_DEFAULT) return E_INVALIDARG;
    if (flags == DISPATCH_PROPERTYGET) {
      ++gets[id];
      if (id == failGet) return kRefused;
      if (params->cArgs != 0 || !result || !values.count(id)) return DISP_E_MEMBERNOTFOUND;
      return VariantCopy(result, &values[id]);
    }
    if (flags != DISPATCH_PROPERTYPUT) return DISP_E_MEMBERNOTFOUND;
    ++puts[id];
    if (id == failPut) return kRefused;
    if (params->cArgs != 1 || params->cNamedArgs != 1 || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT)
      return DISP_E_BADPARAMCOUNT;
    if (checkTypes && TypeOf(id) != VT_EMPTY && params->rgvarg[0].vt != TypeOf(id)) return DISP_E_TYPEMISMATCH;
    Set(id, params->rgvarg[0]);
    return S_OK;
  }
};

}  // namespace kelmira::test

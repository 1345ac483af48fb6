// Small builders for variants and hand-written objects shared by the value tests.
#pragma once

#include <kelmira/platform.h>

#include <string>
#include <string_view>

namespace values_test {

using kelmira::Variant;

inline Variant R8(double d) {
  Variant v;
  v.vt = VT_R8;
  v.dblVal = d;
  return v;
}

inline Variant I8(LONGLONG i) {
  Variant v;
  v.vt = VT_I8;
  v.llVal = i;
  return v;
}

inline Variant Str(std::u16string_view s) {
  Variant v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
  return v;
}

// VariantChangeType with the source taken by reference, so temporaries can be passed.
inline HRESULT Change(VARIANT* dest, const VARIANT& src, VARTYPE vt, USHORT flags = 0) {
  return VariantChangeType(dest, &src, flags, vt);
}

inline std::u16string TextOf(BSTR s) { return s ? std::u16string(s, SysStringLen(s)) : std::u16string(); }

// The converted variant as text, for compact comparisons of VT_BSTR results.
inline std::u16string AsText(const VARIANT& src, USHORT flags = 0) {
  Variant out;
  if (FAILED(VariantChangeType(&out, &src, flags, VT_BSTR))) return u"<failed>";
  return TextOf(out.bstrVal);
}

// An automation object whose default value (DISPID_VALUE) is `value`, counting its references.
class ValueObject : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid != IID_IUnknown && riid != IID_IDispatch) return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    ++invokes;
    if (id != DISPID_VALUE || flags != DISPATCH_PROPERTYGET || !params || params->cArgs != 0 || !result || !hasValue)
      return DISP_E_MEMBERNOTFOUND;
    return VariantCopy(result, &value);
  }

  Variant value;
  bool hasValue = true;
  ULONG refs = 1;
  int invokes = 0;
};

}  // namespace values_test

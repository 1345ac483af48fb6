// An automation object whose default value (DISPID_VALUE) is `value`, counting its references and
// calls; it lives on the stack, so its last Release frees nothing.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::test {

class ValueObject : public IDispatch {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = riid == IID_IUnknown || riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
    return *ppv ? (AddRef(), S_OK) : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
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

}  // namespace kelmira::test

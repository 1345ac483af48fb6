// Property-map persistence: the entries of a map written and read in map order.
#include <kelmira/platform/propmap.h>

#include "com/persist_io.h"

#include <kelmira/platform/com_ptr.h>
#include <kelmira/platform/guarded.h>
#include "control/propmap_value.h"

#include <cstring>
#include <utility>
#include <vector>

namespace kelmira {
namespace {

bool IsNullIid(const IID* iid) { return !iid || IsEqualIID(*iid, IID_NULL); }

// The object's IDispatch for an entry, kept while consecutive entries name the same interface.
class DispatchCache {
 public:
  explicit DispatchCache(IUnknown* object) : object_(object) {}

  HRESULT Get(const ATL_PROPMAP_ENTRY& entry, IDispatch** out) {
    if (!object_) return E_POINTER;
    const IID& iid = IsNullIid(entry.piidDispatch) ? IID_IDispatch : *entry.piidDispatch;
    if (!disp_ || !IsEqualIID(iid, iid_)) {
      disp_.Reset();
      HRESULT hr = object_->QueryInterface(iid, reinterpret_cast<void**>(&disp_));
      if (FAILED(hr)) return hr;
      if (!disp_) return E_NOINTERFACE;
      iid_ = iid;
    }
    *out = disp_.get();
    return S_OK;
  }

 private:
  IUnknown* object_;
  ComPtr<IDispatch> disp_;
  IID iid_ = IID_NULL;
};

BYTE* FieldOf(void* object, const ATL_PROPMAP_ENTRY& entry) { return static_cast<BYTE*>(object) + entry.dwOffsetData; }

HRESULT GetProperty(IDispatch* disp, const ATL_PROPMAP_ENTRY& entry, Variant* value) {
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  HRESULT hr =
      disp->Invoke(entry.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr);
  if (FAILED(hr)) return hr;
  if (entry.vt == VT_EMPTY || value->vt == entry.vt) return S_OK;
  Variant converted;
  hr = VariantChangeType(&converted, value, 0, entry.vt);
  if (FAILED(hr)) return hr;
  std::swap(static_cast<VARIANT&>(*value), static_cast<VARIANT&>(converted));
  return S_OK;
}

HRESULT PutProperty(IDispatch* disp, const ATL_PROPMAP_ENTRY& entry, VARIANT* value) {
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{value, &named, 1, 1};
  return disp->Invoke(entry.dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr,
                      nullptr);
}

HRESULT SaveEntry(IStream* stream, BOOL clearDirty, const ATL_PROPMAP_ENTRY& entry, void* object,
                  DispatchCache& dispatch) {
  switch (entry.kind) {
    case PROPMAP_DATA:
      if (!object) return E_POINTER;
      return persist::WriteAll(stream, FieldOf(object, entry), entry.dwSizeData);
    case PROPMAP_PROPERTY: {
      IDispatch* disp = nullptr;
      HRESULT hr = dispatch.Get(entry, &disp);
      if (FAILED(hr)) return hr;
      Variant value;
      hr = GetProperty(disp, entry, &value);
      if (FAILED(hr)) return hr;
      return propmap::WriteTypedValue(stream, value, clearDirty);
    }
    default: return S_OK;  // page entries persist nothing
  }
}

HRESULT LoadEntry(IStream* stream, const ATL_PROPMAP_ENTRY& entry, void* object, DispatchCache& dispatch) {
  switch (entry.kind) {
    case PROPMAP_DATA: {
      if (!object) return E_POINTER;
      // Read whole first: a short stream must not leave half a field.
      std::vector<BYTE> bytes(entry.dwSizeData);
      HRESULT hr = persist::ReadExact(stream, bytes.data(), entry.dwSizeData);
      if (FAILED(hr)) return hr;
      if (!bytes.empty()) std::memcpy(FieldOf(object, entry), bytes.data(), bytes.size());
      return S_OK;
    }
    case PROPMAP_PROPERTY: {
      IDispatch* disp = nullptr;
      HRESULT hr = dispatch.Get(entry, &disp);
      if (FAILED(hr)) return hr;
      Variant value;
      hr = propmap::ReadTypedValue(stream, entry.vt, &value);
      if (FAILED(hr)) return hr;
      return PutProperty(disp, entry, &value);
    }
    default: return S_OK;
  }
}

}  // namespace
}  // namespace kelmira

HRESULT AtlIPersistStreamInit_Save(IStream* pStm, BOOL fClearDirty, const ATL_PROPMAP_ENTRY* pMap, void* pThis,
                                   IUnknown* pUnk) {
  if (!pStm || !pMap) return E_POINTER;
  return kelmira::Guarded([&] {
    HRESULT hr = kelmira::persist::WriteLE<WORD>(pStm, kPropMapStreamVersion);
    kelmira::DispatchCache dispatch(pUnk);
    for (const ATL_PROPMAP_ENTRY* entry = pMap; SUCCEEDED(hr) && entry->kind != PROPMAP_END; ++entry)
      hr = kelmira::SaveEntry(pStm, fClearDirty, *entry, pThis, dispatch);
    return hr;
  });
}

HRESULT AtlIPersistStreamInit_Load(IStream* pStm, const ATL_PROPMAP_ENTRY* pMap, void* pThis, IUnknown* pUnk) {
  if (!pStm || !pMap) return E_POINTER;
  return kelmira::Guarded([&] {
    WORD version = 0;
    HRESULT hr = kelmira::persist::ReadLE(pStm, &version);
    if (FAILED(hr)) return hr;
    if (version != kPropMapStreamVersion) return STG_E_OLDFORMAT;
    kelmira::DispatchCache dispatch(pUnk);
    for (const ATL_PROPMAP_ENTRY* entry = pMap; SUCCEEDED(hr) && entry->kind != PROPMAP_END; ++entry)
      hr = kelmira::LoadEntry(pStm, *entry, pThis, dispatch);
    return hr;
  });
}

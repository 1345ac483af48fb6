// IRecordInfo over a record of a registered library, and the functions that find one.
#include "com/dispatch_index.h"
#include "com/dispatch_text.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/combase.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>

namespace kelmira::dispatch {

namespace {

class RecordInfoObject : public IRecordInfo {
 public:
  using Interfaces = InterfaceTable<IRecordInfo>;

  RecordInfoObject(std::shared_ptr<LibraryIndex> lib, int node)
      : lib_(std::move(lib)), node_(node), record_(*lib_->nodes[node].record) {}

  HRESULT STDMETHODCALLTYPE RecordInit(PVOID pvNew) override {
    if (!pvNew) return E_INVALIDARG;
    std::memset(pvNew, 0, record_.size);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE RecordClear(PVOID pvExisting) override {
    if (!pvExisting) return E_INVALIDARG;
    for (UINT i = 0; i < record_.fieldCount; ++i) ClearField(record_.fields[i].type, FieldAt(pvExisting, i));
    return S_OK;
  }

  // pvNew is taken as uninitialised memory of the record's size.
  HRESULT STDMETHODCALLTYPE RecordCopy(PVOID pvExisting, PVOID pvNew) override {
    if (!pvExisting || !pvNew) return E_INVALIDARG;
    std::memset(pvNew, 0, record_.size);
    for (UINT i = 0; i < record_.fieldCount; ++i) {
      HRESULT hr = CopyField(record_.fields[i].type, FieldAt(pvExisting, i), FieldAt(pvNew, i));
      if (FAILED(hr)) {
        RecordClear(pvNew);
        return hr;
      }
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetGuid(GUID* pguid) override {
    if (!pguid) return E_INVALIDARG;
    *pguid = *record_.guid;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetName(BSTR* pbstrName) override {
    if (!pbstrName) return E_INVALIDARG;
    *pbstrName = AllocBstr(lib_->nodes[node_].name);
    return *pbstrName ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetSize(ULONG* pcbSize) override {
    if (!pcbSize) return E_INVALIDARG;
    *pcbSize = record_.size;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo** ppTypeInfo) override {
    return MakeTypeInfo(lib_, node_, ppTypeInfo);
  }

  HRESULT STDMETHODCALLTYPE GetField(PVOID pvData, LPCOLESTR szFieldName, VARIANT* pvarField) override {
    if (!pvData || !pvarField) return E_INVALIDARG;
    int field = FindField(szFieldName);
    if (field < 0) return TYPE_E_ELEMENTNOTFOUND;
    VariantClear(pvarField);
    return FieldToVariant(record_.fields[field].type, FieldAt(pvData, field), pvarField);
  }

  // A by-reference variant into the record itself.
  HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID pvData, LPCOLESTR szFieldName, VARIANT* pvarField,
                                           PVOID* ppvDataCArray) override {
    if (!pvData || !pvarField || !ppvDataCArray) return E_INVALIDARG;
    *ppvDataCArray = nullptr;
    int field = FindField(szFieldName);
    if (field < 0) return TYPE_E_ELEMENTNOTFOUND;
    const TypeDesc* type = record_.fields[field].type;
    if (type->cls == TypeClass::Pointer || type->cls == TypeClass::Record) return DISP_E_TYPEMISMATCH;
    VariantClear(pvarField);
    pvarField->vt = VT_BYREF | type->vt;
    pvarField->byref = FieldAt(pvData, field);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE PutField(ULONG, PVOID pvData, LPCOLESTR szFieldName, VARIANT* pvarField) override {
    if (!pvData || !pvarField) return E_INVALIDARG;
    int field = FindField(szFieldName);
    if (field < 0) return TYPE_E_ELEMENTNOTFOUND;
    return VariantToField(record_.fields[field].type, pvarField, FieldAt(pvData, field));
  }

  HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG wFlags, PVOID pvData, LPCOLESTR szFieldName,
                                           VARIANT* pvarField) override {
    return PutField(wFlags, pvData, szFieldName, pvarField);
  }

  // Without a buffer, *pcNames receives the number of fields.
  HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG* pcNames, BSTR* rgBstrNames) override {
    if (!pcNames) return E_INVALIDARG;
    const auto& names = lib_->nodes[node_].varNames;
    if (!rgBstrNames) {
      *pcNames = static_cast<ULONG>(names.size());
      return S_OK;
    }
    ULONG n = std::min<ULONG>(*pcNames, static_cast<ULONG>(names.size()));
    for (ULONG i = 0; i < n; ++i) {
      rgBstrNames[i] = AllocBstr(names[i]);
      if (rgBstrNames[i]) continue;
      for (ULONG k = 0; k < i; ++k) SysFreeString(rgBstrNames[k]);
      return E_OUTOFMEMORY;
    }
    *pcNames = n;
    return S_OK;
  }

  BOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo* pRecordInfo) override {
    GUID other{};
    return pRecordInfo && SUCCEEDED(pRecordInfo->GetGuid(&other)) && IsEqualGUID(other, *record_.guid);
  }

  PVOID STDMETHODCALLTYPE RecordCreate() override {
    void* record = CoTaskMemAlloc(record_.size);
    if (record) std::memset(record, 0, record_.size);
    return record;
  }

  HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID pvSource, PVOID* ppvDest) override {
    if (!pvSource || !ppvDest) return E_INVALIDARG;
    *ppvDest = RecordCreate();
    if (!*ppvDest) return E_OUTOFMEMORY;
    HRESULT hr = RecordCopy(pvSource, *ppvDest);
    if (FAILED(hr)) CoTaskMemFree(std::exchange(*ppvDest, nullptr));
    return hr;
  }

  HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID pvRecord) override {
    if (!pvRecord) return S_OK;
    RecordClear(pvRecord);
    CoTaskMemFree(pvRecord);
    return S_OK;
  }

 private:
  void* FieldAt(void* record, UINT index) const { return static_cast<BYTE*>(record) + record_.fields[index].offset; }

  int FindField(LPCOLESTR name) const {
    const auto& names = lib_->nodes[node_].varNames;
    for (std::size_t i = 0; i < names.size(); ++i)
      if (EqualNoCase(names[i], View(name))) return static_cast<int>(i);
    return -1;
  }

  std::shared_ptr<LibraryIndex> lib_;
  int node_;
  const RecordTypeInfo& record_;
};

}  // namespace

HRESULT MakeRecordInfo(const std::shared_ptr<LibraryIndex>& library, int node, IRecordInfo** out) {
  if (!out) return E_INVALIDARG;
  *out = nullptr;
  if (!library || node < 0 || node >= int(library->nodes.size()) || library->nodes[node].kind != NodeKind::Record)
    return E_INVALIDARG;
  ComPtr<Object<RecordInfoObject>> object;
  HRESULT hr = Object<RecordInfoObject>::Make(&object, library, node);
  if (FAILED(hr)) return hr;
  *out = object.Detach();
  return S_OK;
}

}  // namespace kelmira::dispatch

HRESULT GetRecordInfoFromTypeInfo(ITypeInfo* pTypeInfo, IRecordInfo** ppRecInfo) {
  using namespace kelmira::dispatch;
  if (!pTypeInfo || !ppRecInfo) return E_INVALIDARG;
  *ppRecInfo = nullptr;
  TYPEATTR* attr = nullptr;
  HRESULT hr = pTypeInfo->GetTypeAttr(&attr);
  if (FAILED(hr)) return hr;
  GUID guid = attr->guid;
  bool isRecord = attr->typekind == TKIND_RECORD;
  pTypeInfo->ReleaseTypeAttr(attr);
  if (!isRecord) return E_INVALIDARG;
  return kelmira::Guarded([&] {
    for (auto& lib : RegisteredLibraries()) {
      int node = lib->FindListed(guid);
      if (node >= 0 && lib->nodes[node].kind == NodeKind::Record) return MakeRecordInfo(lib, node, ppRecInfo);
    }
    return TYPE_E_ELEMENTNOTFOUND;
  });
}

HRESULT GetRecordInfoFromGuids(REFGUID rGuidTypeLib, ULONG uVerMajor, ULONG uVerMinor, LCID lcid, REFGUID rGuidTypeInfo,
                               IRecordInfo** ppRecInfo) {
  if (!ppRecInfo) return E_INVALIDARG;
  *ppRecInfo = nullptr;
  kelmira::ComPtr<ITypeLib> lib;
  HRESULT hr = LoadRegTypeLib(rGuidTypeLib, static_cast<WORD>(uVerMajor), static_cast<WORD>(uVerMinor), lcid, &lib);
  if (FAILED(hr)) return hr;
  kelmira::ComPtr<ITypeInfo> info;
  hr = lib->GetTypeInfoOfGuid(rGuidTypeInfo, &info);
  if (FAILED(hr)) return hr;
  return GetRecordInfoFromTypeInfo(info.get(), ppRecInfo);
}

// Persistence of the control base: the property map through a stream, the same stream as
// "Contents" of a storage, and the property pages the map names.
#include <kelmira/platform/combase.h>
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <vector>

namespace kelmira {
namespace {

constexpr OLECHAR kContentsStream[] = u"Contents";

// A control without a map still writes and reads the stream's version word.
const ATL_PROPMAP_ENTRY* MapOrEmpty(const ATL_PROPMAP_ENTRY* map) {
  static const ATL_PROPMAP_ENTRY empty[] = {PropEnd()};
  return map ? map : empty;
}

}  // namespace

HRESULT ControlImpl::GetClassID(CLSID* pClassID) {
  if (!pClassID) return E_POINTER;
  *pClassID = *ControlClass().clsid;
  return S_OK;
}

HRESULT ControlImpl::IsDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT ControlImpl::Load(IStream* pStm) {
  if (!pStm) return E_POINTER;
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  const HRESULT hr = Guarded([&] {
    return AtlIPersistStreamInit_Load(pStm, MapOrEmpty(ControlClass().propertyMap), PropertyMapObject(),
                                      ControlUnknown());
  });
  if (SUCCEEDED(hr)) dirty_ = false;
  return hr;
}

HRESULT ControlImpl::Save(IStream* pStm, BOOL fClearDirty) {
  if (!pStm) return E_POINTER;
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  const HRESULT hr = Guarded([&] {
    return AtlIPersistStreamInit_Save(pStm, fClearDirty, MapOrEmpty(ControlClass().propertyMap), PropertyMapObject(),
                                      ControlUnknown());
  });
  if (SUCCEEDED(hr) && fClearDirty) dirty_ = false;
  return hr;
}

HRESULT ControlImpl::GetSizeMax(ULARGE_INTEGER*) { return E_NOTIMPL; }

HRESULT ControlImpl::InitNew() { return S_OK; }

// The storage's methods go through the stream's, so a control that overrides those gets both.
HRESULT ControlImpl::InitNew(IStorage*) { return static_cast<IPersistStreamInit*>(this)->InitNew(); }

HRESULT ControlImpl::Load(IStorage* pStg) {
  if (!pStg) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr = pStg->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream);
  if (FAILED(hr)) return hr;
  return static_cast<IPersistStreamInit*>(this)->Load(stream.get());
}

HRESULT ControlImpl::Save(IStorage* pStgSave, BOOL fSameAsLoad) {
  if (!pStgSave) return E_POINTER;
  ComPtr<IStream> stream;
  HRESULT hr =
      pStgSave->CreateStream(kContentsStream, STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_CREATE, 0, 0, &stream);
  if (FAILED(hr)) return hr;
  return static_cast<IPersistStreamInit*>(this)->Save(stream.get(), fSameAsLoad);
}

HRESULT ControlImpl::SaveCompleted(IStorage*) { return S_OK; }

HRESULT ControlImpl::HandsOffStorage() { return S_OK; }

HRESULT ControlImpl::GetPages(CAUUID* pPages) {
  if (!pPages) return E_POINTER;
  pPages->cElems = 0;
  pPages->pElems = nullptr;
  std::vector<CLSID> pages;
  HRESULT hr = Guarded([&] {
    for (const ATL_PROPMAP_ENTRY* e = ControlClass().propertyMap; e && e->kind != PROPMAP_END; ++e) {
      if (!e->pclsidPropPage || IsEqualGUID(*e->pclsidPropPage, CLSID_NULL)) continue;
      if (std::find(pages.begin(), pages.end(), *e->pclsidPropPage) != pages.end()) continue;
      pages.push_back(*e->pclsidPropPage);
    }
  });
  if (FAILED(hr)) return hr;
  if (pages.empty()) return S_OK;
  auto* out = static_cast<GUID*>(CoTaskMemAlloc(pages.size() * sizeof(GUID)));
  if (!out) return E_OUTOFMEMORY;
  std::copy(pages.begin(), pages.end(), out);
  pPages->cElems = static_cast<ULONG>(pages.size());
  pPages->pElems = out;
  return S_OK;
}

}  // namespace kelmira

// ITypeLib over a resolved library: the listed types in declaration order, their type infos,
// documentation and name lookup.
#include "com/dispatch_index.h"
#include "com/dispatch_text.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/combase.h>
#include <kelmira/platform/guarded.h>

namespace kelmira::dispatch {

namespace {

TYPEKIND KindOf(NodeKind kind) {
  switch (kind) {
    case NodeKind::Enum: return TKIND_ENUM;
    case NodeKind::Record: return TKIND_RECORD;
    case NodeKind::Dispatch: return TKIND_DISPATCH;
    case NodeKind::Interface: return TKIND_INTERFACE;
    case NodeKind::CoClass: return TKIND_COCLASS;
  }
  return TKIND_MAX;
}

// A name found in the library: the type node, the member id (MEMBERID_NIL for the type
// itself) and the library's spelling.
struct NameMatch {
  int node;
  MEMBERID memid;
  const std::u16string* spelling;
};

template <class Visit>
void ForEachName(const LibraryIndex& lib, Visit&& visit) {
  for (UINT i = 0; i < lib.listedCount; ++i) {
    const TypeNode& node = lib.nodes[i];
    if (!visit(NameMatch{int(i), MEMBERID_NIL, &node.name})) return;
    for (UINT v = 0; v < node.varNames.size(); ++v)
      if (!visit(NameMatch{int(i), kFirstVarId + MEMBERID(v), &node.varNames[v]})) return;
    if (!node.table) continue;
    for (const ResolvedMember& m : node.table->own)
      if (!visit(NameMatch{int(i), m.info->dispid, &m.name})) return;
  }
}

class TypeLibObject : public ITypeLib {
 public:
  using Interfaces = InterfaceTable<ITypeLib>;

  explicit TypeLibObject(std::shared_ptr<LibraryIndex> lib) : lib_(std::move(lib)) {}

  UINT STDMETHODCALLTYPE GetTypeInfoCount() override { return lib_->listedCount; }

  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, ITypeInfo** ppTInfo) override {
    if (!ppTInfo) return E_INVALIDARG;
    *ppTInfo = nullptr;
    if (index >= lib_->listedCount) return TYPE_E_ELEMENTNOTFOUND;
    return MakeTypeInfo(lib_, static_cast<int>(index), ppTInfo);
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoType(UINT index, TYPEKIND* pTKind) override {
    if (!pTKind) return E_INVALIDARG;
    if (index >= lib_->listedCount) return TYPE_E_ELEMENTNOTFOUND;
    *pTKind = KindOf(lib_->nodes[index].kind);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoOfGuid(REFGUID guid, ITypeInfo** ppTinfo) override {
    if (!ppTinfo) return E_INVALIDARG;
    *ppTinfo = nullptr;
    int node = lib_->FindListed(guid);
    if (node < 0) return TYPE_E_ELEMENTNOTFOUND;
    return MakeTypeInfo(lib_, node, ppTinfo);
  }

  HRESULT STDMETHODCALLTYPE GetLibAttr(TLIBATTR** ppTLibAttr) override {
    if (!ppTLibAttr) return E_INVALIDARG;
    auto* attr = static_cast<TLIBATTR*>(CoTaskMemAlloc(sizeof(TLIBATTR)));
    *ppTLibAttr = attr;
    if (!attr) return E_OUTOFMEMORY;
    *attr = TLIBATTR{};
    attr->guid = *lib_->info->libid;
    attr->lcid = LOCALE_NEUTRAL;
    attr->syskind = SYS_WIN32;
    attr->wMajorVerNum = lib_->info->major;
    attr->wMinorVerNum = lib_->info->minor;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override {
    if (ppTComp) *ppTComp = nullptr;
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetDocumentation(INT index, BSTR* pBstrName, BSTR* pBstrDocString, DWORD* pdwHelpContext,
                                             BSTR* pBstrHelpFile) override {
    const std::u16string* name = &lib_->name;
    const std::u16string* doc = &lib_->doc;
    if (index != -1) {
      if (index < 0 || UINT(index) >= lib_->listedCount) return TYPE_E_ELEMENTNOTFOUND;
      name = &lib_->nodes[index].name;
      doc = &lib_->nodes[index].doc;
    }
    if (pdwHelpContext) *pdwHelpContext = 0;
    if (pBstrHelpFile) *pBstrHelpFile = nullptr;
    if (pBstrDocString) *pBstrDocString = nullptr;
    if (pBstrName && !(*pBstrName = AllocBstr(*name))) return E_OUTOFMEMORY;
    if (pBstrDocString && !doc->empty() && !(*pBstrDocString = AllocBstr(*doc))) {
      if (pBstrName) SysFreeString(std::exchange(*pBstrName, nullptr));
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE IsName(LPOLESTR szNameBuf, ULONG, BOOL* pfName) override {
    if (!szNameBuf || !pfName) return E_INVALIDARG;
    std::u16string_view wanted = View(szNameBuf);
    const std::u16string* found = nullptr;
    ForEachName(*lib_, [&](const NameMatch& match) {
      if (EqualNoCase(*match.spelling, wanted)) found = match.spelling;
      return !found;
    });
    *pfName = found ? TRUE : FALSE;
    if (found) std::copy(found->begin(), found->end(), szNameBuf);
    return S_OK;
  }

  // *pcFound: in, the room in ppTInfo and rgMemId; out, the matches stored.
  HRESULT STDMETHODCALLTYPE FindName(LPOLESTR szNameBuf, ULONG, ITypeInfo** ppTInfo, MEMBERID* rgMemId,
                                     USHORT* pcFound) override {
    if (!szNameBuf || !ppTInfo || !rgMemId || !pcFound) return E_INVALIDARG;
    std::u16string_view wanted = View(szNameBuf);
    const USHORT room = *pcFound;
    USHORT found = 0;
    const HRESULT hr = Guarded([&] {
      HRESULT made = S_OK;
      ForEachName(*lib_, [&](const NameMatch& match) {
        if (found >= room) return false;
        if (!EqualNoCase(*match.spelling, wanted)) return true;
        made = MakeTypeInfo(lib_, match.node, &ppTInfo[found]);
        if (FAILED(made)) return false;
        rgMemId[found++] = match.memid;
        return true;
      });
      return made;
    });
    if (FAILED(hr)) {
      for (USHORT i = 0; i < found; ++i) ppTInfo[i]->Release();
      found = 0;
    }
    *pcFound = found;
    return hr;
  }

  void STDMETHODCALLTYPE ReleaseTLibAttr(TLIBATTR* pTLibAttr) override { CoTaskMemFree(pTLibAttr); }

 private:
  std::shared_ptr<LibraryIndex> lib_;
};

}  // namespace

HRESULT MakeTypeLib(const std::shared_ptr<LibraryIndex>& library, ITypeLib** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!library) return TYPE_E_LIBNOTREGISTERED;
  ComPtr<Object<TypeLibObject>> object;
  HRESULT hr = Object<TypeLibObject>::Make(&object, library);
  if (FAILED(hr)) return hr;
  *out = object.Detach();
  return S_OK;
}

}  // namespace kelmira::dispatch

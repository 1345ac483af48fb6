// ITypeInfo over one node of a resolved library: an interface (its dispatch or vtable view),
// an event interface, an enumeration, a record or a coclass.
#include "com/dispatch_index.h"
#include "com/dispatch_text.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/combase.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <memory>

namespace kelmira::dispatch {

namespace {

class TypeInfoObject : public ITypeInfo {
 public:
  using Interfaces = InterfaceTable<ITypeInfo>;

  TypeInfoObject(std::shared_ptr<LibraryIndex> lib, int node) : lib_(std::move(lib)), node_(lib_->nodes[node]) {}

  HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR** ppTypeAttr) override {
    if (!ppTypeAttr) return E_INVALIDARG;
    *ppTypeAttr = BuildTypeAttr(*lib_, node_);
    return *ppTypeAttr ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp** ppTComp) override {
    if (ppTComp) *ppTComp = nullptr;
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT index, FUNCDESC** ppFuncDesc) override {
    if (!ppFuncDesc) return E_INVALIDARG;
    *ppFuncDesc = nullptr;
    const ResolvedMember* member = Function(index);
    if (!member) return TYPE_E_ELEMENTNOTFOUND;
    *ppFuncDesc = BuildFuncDesc(*lib_, *member, node_.kind == NodeKind::Dispatch);
    return *ppFuncDesc ? S_OK : E_OUTOFMEMORY;
  }

  HRESULT STDMETHODCALLTYPE GetVarDesc(UINT index, VARDESC** ppVarDesc) override {
    if (!ppVarDesc) return E_INVALIDARG;
    *ppVarDesc = nullptr;
    if (index >= node_.varNames.size()) return TYPE_E_ELEMENTNOTFOUND;
    *ppVarDesc = BuildVarDesc(*lib_, node_, index);
    return *ppVarDesc ? S_OK : E_OUTOFMEMORY;
  }

  // A function's name followed by its parameter names (the dispatch view leaves the retval out).
  HRESULT STDMETHODCALLTYPE GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) override {
    if (!rgBstrNames || !pcNames) return E_INVALIDARG;
    *pcNames = 0;
    if (int var = VarIndex(memid); var >= 0) return PutNames(rgBstrNames, cMaxNames, pcNames, {node_.varNames[var]});
    const ResolvedMember* member = FunctionById(memid);
    if (!member) return TYPE_E_ELEMENTNOTFOUND;
    std::vector<std::u16string> names{member->name};
    UINT count = node_.kind == NodeKind::Dispatch ? member->dispatchCount : UINT(member->params.size());
    for (UINT i = 0; i < count; ++i) names.push_back(member->params[i].name);
    return PutNames(rgBstrNames, cMaxNames, pcNames, names);
  }

  HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT index, HREFTYPE* pRefType) override {
    if (!pRefType) return E_INVALIDARG;
    if (index == UINT(-1)) {
      if (node_.kind != NodeKind::Dispatch || node_.twin < 0) return TYPE_E_ELEMENTNOTFOUND;
      *pRefType = static_cast<HREFTYPE>(node_.twin);
      return S_OK;
    }
    if (index >= node_.impl.size()) return TYPE_E_ELEMENTNOTFOUND;
    *pRefType = static_cast<HREFTYPE>(node_.impl[index]);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT index, INT* pImplTypeFlags) override {
    if (!pImplTypeFlags) return E_INVALIDARG;
    if (index >= node_.impl.size()) return TYPE_E_ELEMENTNOTFOUND;
    *pImplTypeFlags = node_.kind == NodeKind::CoClass ? INT(node_.coclass->interfaces[index].flags) : 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) override {
    if (!rgszNames || !pMemId) return E_INVALIDARG;
    if (node_.table) return Guarded([&] { return NamesToIds(*node_.table, rgszNames, cNames, pMemId); });
    for (UINT i = 0; i < cNames; ++i) pMemId[i] = MEMBERID_NIL;
    if (cNames == 0) return S_OK;
    for (UINT i = 0; i < node_.varNames.size(); ++i)
      if (EqualNoCase(node_.varNames[i], View(rgszNames[0]))) pMemId[0] = kFirstVarId + MEMBERID(i);
    return pMemId[0] != MEMBERID_NIL && cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
  }

  // pvInstance is an interface pointer of this type; an event interface is reached through
  // the instance's own IDispatch.
  HRESULT STDMETHODCALLTYPE Invoke(PVOID pvInstance, MEMBERID memid, WORD wFlags, DISPPARAMS* pDispParams,
                                   VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    if (!pvInstance) return E_INVALIDARG;
    if (!node_.table) return DISP_E_MEMBERNOTFOUND;
    if (node_.table->dispatchOnly) {
      auto* dispatch = static_cast<IDispatch*>(pvInstance);
      return dispatch->Invoke(memid, IID_NULL, 0, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    }
    return Guarded([&] {
      return InvokeTable(*node_.table, pvInstance, memid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    });
  }

  HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                             DWORD* pdwHelpContext, BSTR* pBstrHelpFile) override {
    std::u16string_view name;
    std::u16string_view doc;
    if (memid == MEMBERID_NIL) {
      name = node_.name;
      doc = node_.doc;
    } else if (int var = VarIndex(memid); var >= 0) {
      name = node_.varNames[var];
    } else if (const ResolvedMember* member = FunctionById(memid)) {
      name = member->name;
    } else {
      return TYPE_E_ELEMENTNOTFOUND;
    }
    return Document(name, doc, pBstrName, pBstrDocString, pdwHelpContext, pBstrHelpFile);
  }

  HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR* pBstrDllName, BSTR* pBstrName,
                                        WORD* pwOrdinal) override {
    if (pBstrDllName) *pBstrDllName = nullptr;
    if (pBstrName) *pBstrName = nullptr;
    if (pwOrdinal) *pwOrdinal = 0;
    return TYPE_E_BADMODULEKIND;
  }

  HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE hRefType, ITypeInfo** ppTInfo) override {
    if (!ppTInfo) return E_INVALIDARG;
    *ppTInfo = nullptr;
    if (hRefType >= lib_->nodes.size()) return TYPE_E_ELEMENTNOTFOUND;
    return MakeTypeInfo(lib_, static_cast<int>(hRefType), ppTInfo);
  }

  HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID* ppv) override {
    if (ppv) *ppv = nullptr;
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID* ppvObj) override {
    if (ppvObj) *ppvObj = nullptr;
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR* pBstrMops) override {
    if (!pBstrMops) return E_INVALIDARG;
    *pBstrMops = nullptr;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib** ppTLib, UINT* pIndex) override {
    if (ppTLib) *ppTLib = nullptr;
    if (node_.libraryIndex < 0) return TYPE_E_ELEMENTNOTFOUND;
    if (pIndex) *pIndex = static_cast<UINT>(node_.libraryIndex);
    return ppTLib ? MakeTypeLib(lib_, ppTLib) : S_OK;
  }

  void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR* pTypeAttr) override { CoTaskMemFree(pTypeAttr); }
  void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC* pFuncDesc) override { FreeFuncDesc(pFuncDesc); }
  void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC* pVarDesc) override { FreeVarDesc(pVarDesc); }

 private:
  // The dispatch view lists the bases' members too; the vtable view only its own.
  const ResolvedMember* Function(UINT index) const {
    if (!node_.table) return nullptr;
    if (node_.kind == NodeKind::Dispatch) return index < node_.table->all.size() ? node_.table->all[index] : nullptr;
    return index < node_.table->own.size() ? &node_.table->own[index] : nullptr;
  }

  const ResolvedMember* FunctionById(MEMBERID memid) const {
    for (UINT i = 0; const ResolvedMember* m = Function(i); ++i)
      if (m->info->dispid == memid) return m;
    return nullptr;
  }

  int VarIndex(MEMBERID memid) const {
    MEMBERID index = memid - kFirstVarId;
    return index >= 0 && UINT(index) < node_.varNames.size() ? int(index) : -1;
  }

  static HRESULT PutNames(BSTR* out, UINT max, UINT* count, const std::vector<std::u16string>& names) {
    UINT n = std::min<UINT>(max, static_cast<UINT>(names.size()));
    for (UINT i = 0; i < n; ++i) {
      out[i] = AllocBstr(names[i]);
      if (out[i]) continue;
      for (UINT k = 0; k < i; ++k) SysFreeString(out[k]);
      return E_OUTOFMEMORY;
    }
    *count = n;
    return S_OK;
  }

  static HRESULT Document(std::u16string_view name, std::u16string_view doc, BSTR* pName, BSTR* pDoc,
                          DWORD* pHelpContext, BSTR* pHelpFile) {
    if (pHelpContext) *pHelpContext = 0;
    if (pHelpFile) *pHelpFile = nullptr;
    if (pDoc) *pDoc = nullptr;
    if (pName && !(*pName = AllocBstr(name))) return E_OUTOFMEMORY;
    if (pDoc && !doc.empty() && !(*pDoc = AllocBstr(doc))) {
      if (pName) SysFreeString(std::exchange(*pName, nullptr));
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

  std::shared_ptr<LibraryIndex> lib_;
  const TypeNode& node_;
};

}  // namespace

HRESULT MakeTypeInfo(const std::shared_ptr<LibraryIndex>& library, int node, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!library || node < 0 || node >= static_cast<int>(library->nodes.size())) return TYPE_E_ELEMENTNOTFOUND;
  ComPtr<Object<TypeInfoObject>> object;
  HRESULT hr = Object<TypeInfoObject>::Make(&object, library, node);
  if (FAILED(hr)) return hr;
  *out = object.Detach();
  return S_OK;
}

}  // namespace kelmira::dispatch

// TYPEATTR, FUNCDESC and VARDESC built from resolved tables. Each description is one
// CoTaskMemAlloc block holding the structure with everything it points to (parameter
// descriptions, default values, type description chains), so one free releases it.
#include "com/dispatch_index.h"

#include <kelmira/platform/combase.h>

namespace kelmira::dispatch {

namespace {

constexpr std::size_t RoundUp(std::size_t n) { return (n + 7) & ~std::size_t(7); }

// Bump allocation inside one zeroed block of a size computed beforehand.
class Block {
 public:
  explicit Block(std::size_t size) : base_(static_cast<BYTE*>(CoTaskMemAlloc(size))), size_(size) {
    if (base_) std::memset(base_, 0, size);
  }
  explicit operator bool() const { return base_ != nullptr; }

  template <class T>
  T* Take(std::size_t count = 1) {
    if (count == 0) return nullptr;
    T* p = reinterpret_cast<T*>(base_ + used_);
    used_ += RoundUp(sizeof(T) * count);
    return used_ <= size_ ? p : nullptr;
  }

 private:
  BYTE* base_;
  std::size_t size_;
  std::size_t used_ = 0;
};

// TYPEDESC nodes a type needs besides the one inside its ELEMDESC.
UINT ExtraTypeDescs(const LibraryIndex& lib, const TypeDesc* type) {
  if (type->cls == TypeClass::Pointer) return 1 + ExtraTypeDescs(lib, type->pointee);
  if (type->cls == TypeClass::Interface && lib.ResolveUserType(type) >= 0) return 1;
  return 0;
}

// Library types are VT_USERDEFINED (interfaces behind a VT_PTR); types outside the library
// fall back to their automation type.
void FillTypeDesc(const LibraryIndex& lib, const TypeDesc* type, TYPEDESC& out, Block& block) {
  int node = -1;
  switch (type->cls) {
    case TypeClass::Value: out.vt = type->vt; return;
    case TypeClass::Enum:
    case TypeClass::Record:
      node = lib.ResolveUserType(type);
      if (node < 0) {
        out.vt = type->vt;
        return;
      }
      out.vt = VT_USERDEFINED;
      out.hreftype = static_cast<HREFTYPE>(node);
      return;
    case TypeClass::Interface:
      node = lib.ResolveUserType(type);
      if (node < 0) {
        out.vt = type->vt;
        return;
      }
      out.vt = VT_PTR;
      out.lptdesc = block.Take<TYPEDESC>();
      out.lptdesc->vt = VT_USERDEFINED;
      out.lptdesc->hreftype = static_cast<HREFTYPE>(node);
      return;
    case TypeClass::Pointer:
      out.vt = VT_PTR;
      out.lptdesc = block.Take<TYPEDESC>();
      FillTypeDesc(lib, type->pointee, *out.lptdesc, block);
      return;
  }
}

USHORT ParamFlags(const ResolvedParam& p) {
  USHORT flags = p.out ? PARAMFLAG_FOUT : PARAMFLAG_FIN;
  if (p.retval) flags |= PARAMFLAG_FRETVAL;
  if (p.optional) flags |= PARAMFLAG_FOPT;
  if (p.hasDefault) flags |= PARAMFLAG_FHASDEFAULT;
  return flags;
}

WORD TypeFlags(const TypeNode& node) {
  if (node.kind == NodeKind::CoClass) {
    UINT flags = node.coclass->flags;
    WORD result = 0;
    if ((flags & kCoClassCreatable) && !(flags & kCoClassDeclaredOnly)) result |= TYPEFLAG_FCANCREATE;
    if (flags & kCoClassControl) result |= TYPEFLAG_FCONTROL;
    return result;
  }
  if (node.kind != NodeKind::Dispatch && node.kind != NodeKind::Interface) return 0;
  if (node.table->dual) return TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
  return node.table->derivesFromDispatch ? TYPEFLAG_FDISPATCHABLE : 0;
}

}  // namespace

TYPEATTR* BuildTypeAttr(const LibraryIndex&, const TypeNode& node) {
  auto* attr = static_cast<TYPEATTR*>(CoTaskMemAlloc(sizeof(TYPEATTR)));
  if (!attr) return nullptr;
  *attr = TYPEATTR{};
  attr->guid = node.guid;
  attr->memidConstructor = MEMBERID_NIL;
  attr->memidDestructor = MEMBERID_NIL;
  attr->wTypeFlags = TypeFlags(node);
  attr->cbSizeInstance = sizeof(void*);
  attr->cbAlignment = alignof(void*);
  attr->tdescAlias.vt = VT_EMPTY;
  switch (node.kind) {
    case NodeKind::Enum:
      attr->typekind = TKIND_ENUM;
      attr->cVars = static_cast<WORD>(node.enumInfo->valueCount);
      attr->cbSizeInstance = sizeof(LONG);
      attr->cbAlignment = alignof(LONG);
      break;
    case NodeKind::Record:
      attr->typekind = TKIND_RECORD;
      attr->cVars = static_cast<WORD>(node.record->fieldCount);
      attr->cbSizeInstance = node.record->size;
      attr->cbAlignment = static_cast<WORD>(node.record->alignment);
      break;
    case NodeKind::Dispatch:
      attr->typekind = TKIND_DISPATCH;
      attr->cFuncs = static_cast<WORD>(node.table->all.size());
      attr->cImplTypes = static_cast<WORD>(node.impl.size());
      attr->cbSizeVft = static_cast<WORD>(7 * sizeof(void*));
      break;
    case NodeKind::Interface:
      attr->typekind = TKIND_INTERFACE;
      attr->cFuncs = static_cast<WORD>(node.table->own.size());
      attr->cImplTypes = static_cast<WORD>(node.impl.size());
      attr->cbSizeVft = static_cast<WORD>(node.table->vtableEnd * sizeof(void*));
      break;
    case NodeKind::CoClass:
      attr->typekind = TKIND_COCLASS;
      attr->cImplTypes = static_cast<WORD>(node.impl.size());
      break;
  }
  return attr;
}

// The vtable view lists every C++ parameter and returns HRESULT; the dispatch view leaves the
// retval out and returns its type.
FUNCDESC* BuildFuncDesc(const LibraryIndex& lib, const ResolvedMember& m, bool dispatchView) {
  const UINT count = dispatchView ? m.dispatchCount : static_cast<UINT>(m.params.size());
  const ResolvedParam* retval = dispatchView && m.info->retval ? &m.params.back() : nullptr;
  UINT defaults = 0;
  UINT extras = retval ? ExtraTypeDescs(lib, retval->type->pointee) : 0;
  for (UINT i = 0; i < count; ++i) {
    defaults += m.params[i].hasDefault ? 1 : 0;
    extras += ExtraTypeDescs(lib, m.params[i].type);
  }
  Block block(RoundUp(sizeof(FUNCDESC)) + RoundUp(sizeof(ELEMDESC) * count) + RoundUp(sizeof(PARAMDESCEX)) * defaults +
              RoundUp(sizeof(TYPEDESC)) * extras);
  if (!block) return nullptr;
  auto* desc = block.Take<FUNCDESC>();
  desc->lprgelemdescParam = block.Take<ELEMDESC>(count);
  desc->memid = m.info->dispid;
  desc->funckind = dispatchView ? FUNC_DISPATCH : FUNC_PUREVIRTUAL;
  desc->invkind = static_cast<INVOKEKIND>(m.info->kind);
  desc->callconv = CC_STDCALL;
  desc->cParams = static_cast<SHORT>(count);
  desc->oVft = static_cast<SHORT>(m.vtableSlot * sizeof(void*));
  if (!dispatchView)
    desc->elemdescFunc.tdesc.vt = VT_HRESULT;
  else if (retval)
    FillTypeDesc(lib, retval->type->pointee, desc->elemdescFunc.tdesc, block);
  else
    desc->elemdescFunc.tdesc.vt = VT_VOID;
  for (UINT i = 0; i < count; ++i) {
    const ResolvedParam& p = m.params[i];
    ELEMDESC& elem = desc->lprgelemdescParam[i];
    FillTypeDesc(lib, p.type, elem.tdesc, block);
    elem.paramdesc.wParamFlags = ParamFlags(p);
    if (p.optional && !p.hasDefault) ++desc->cParamsOpt;
    if (!p.hasDefault) continue;
    elem.paramdesc.pparamdescex = block.Take<PARAMDESCEX>();
    elem.paramdesc.pparamdescex->cBytes = sizeof(PARAMDESCEX);
    VariantInit(&elem.paramdesc.pparamdescex->varDefaultValue);
    VariantCopy(&elem.paramdesc.pparamdescex->varDefaultValue, &p.defaultValue);
  }
  return desc;
}

void FreeFuncDesc(FUNCDESC* desc) {
  if (!desc) return;
  for (SHORT i = 0; i < desc->cParams; ++i) {
    PARAMDESC& param = desc->lprgelemdescParam[i].paramdesc;
    if ((param.wParamFlags & PARAMFLAG_FHASDEFAULT) && param.pparamdescex)
      VariantClear(&param.pparamdescex->varDefaultValue);
  }
  CoTaskMemFree(desc);
}

VARDESC* BuildVarDesc(const LibraryIndex& lib, const TypeNode& node, UINT index) {
  if (node.kind == NodeKind::Enum) {
    Block block(RoundUp(sizeof(VARDESC)) + RoundUp(sizeof(VARIANT)));
    if (!block) return nullptr;
    auto* desc = block.Take<VARDESC>();
    desc->memid = kFirstVarId + static_cast<MEMBERID>(index);
    desc->lpvarValue = block.Take<VARIANT>();
    desc->lpvarValue->vt = VT_I4;
    desc->lpvarValue->lVal = node.enumInfo->values[index].value;
    desc->elemdescVar.tdesc.vt = VT_I4;
    desc->varkind = VAR_CONST;
    return desc;
  }
  const FieldInfo& field = node.record->fields[index];
  Block block(RoundUp(sizeof(VARDESC)) + RoundUp(sizeof(TYPEDESC)) * ExtraTypeDescs(lib, field.type));
  if (!block) return nullptr;
  auto* desc = block.Take<VARDESC>();
  desc->memid = kFirstVarId + static_cast<MEMBERID>(index);
  desc->oInst = field.offset;
  FillTypeDesc(lib, field.type, desc->elemdescVar.tdesc, block);
  desc->varkind = VAR_PERINSTANCE;
  return desc;
}

void FreeVarDesc(VARDESC* desc) {
  if (!desc) return;
  if (desc->varkind == VAR_CONST && desc->lpvarValue) VariantClear(desc->lpvarValue);
  CoTaskMemFree(desc);
}

}  // namespace kelmira::dispatch

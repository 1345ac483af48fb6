// Owners of the descriptions a type info hands out, and small lookups for the type info tests.
#pragma once

#include "platform_dispatch/test_interface.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

struct AttrOf {
  explicit AttrOf(ITypeInfo* info) : info(info) { EXPECT_EQ(S_OK, info->GetTypeAttr(&attr)); }
  ~AttrOf() {
    if (attr) info->ReleaseTypeAttr(attr);
  }
  const TYPEATTR* operator->() const { return attr; }
  kelmira::ComPtr<ITypeInfo> info;
  TYPEATTR* attr = nullptr;
};

struct FuncOf {
  FuncOf(ITypeInfo* info, UINT index) : info(info) { EXPECT_EQ(S_OK, info->GetFuncDesc(index, &desc)); }
  ~FuncOf() {
    if (desc) info->ReleaseFuncDesc(desc);
  }
  const FUNCDESC* operator->() const { return desc; }
  const ELEMDESC& Param(int i) const { return desc->lprgelemdescParam[i]; }
  kelmira::ComPtr<ITypeInfo> info;
  FUNCDESC* desc = nullptr;
};

struct VarOf {
  VarOf(ITypeInfo* info, UINT index) : info(info) { EXPECT_EQ(S_OK, info->GetVarDesc(index, &desc)); }
  ~VarOf() {
    if (desc) info->ReleaseVarDesc(desc);
  }
  const VARDESC* operator->() const { return desc; }
  kelmira::ComPtr<ITypeInfo> info;
  VARDESC* desc = nullptr;
};

inline std::u16string NameOf(ITypeInfo* info, MEMBERID memid = MEMBERID_NIL) {
  kelmira::Bstr name;
  if (FAILED(info->GetDocumentation(memid, &name, nullptr, nullptr, nullptr))) return u"?";
  return Text(name.get());
}

inline kelmira::ComPtr<ITypeInfo> RefOf(ITypeInfo* info, HREFTYPE href) {
  kelmira::ComPtr<ITypeInfo> ref;
  EXPECT_EQ(S_OK, info->GetRefTypeInfo(href, &ref));
  return ref;
}

inline kelmira::ComPtr<ITypeInfo> ImplOf(ITypeInfo* info, UINT index) {
  HREFTYPE href = 0;
  EXPECT_EQ(S_OK, info->GetRefTypeOfImplType(index, &href));
  return RefOf(info, href);
}

// The index of the function with this memory id and kind.
inline UINT FuncIndex(ITypeInfo* info, MEMBERID memid, INVOKEKIND kind) {
  AttrOf attr(info);
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FuncOf f(info, i);
    if (f->memid == memid && f->invkind == kind) return i;
  }
  ADD_FAILURE() << "no function " << memid;
  return 0;
}

// Where a virtual member sits in the vtable (Itanium C++ ABI: 1 + byte offset).
template <class M>
std::ptrdiff_t VtableOffset(M member) {
  struct {
    std::uintptr_t ptr;
    std::ptrdiff_t adj;
  } rep;
  static_assert(sizeof(member) == sizeof(rep));
  std::memcpy(&rep, &member, sizeof rep);
  return static_cast<std::ptrdiff_t>(rep.ptr) - 1;
}

inline kelmira::ComPtr<ITypeLib> TestTypeLib() {
  TestLibrary();
  kelmira::ComPtr<ITypeLib> lib;
  EXPECT_EQ(S_OK, LoadRegTypeLib(LIBID_KelmiraDispatchTest, 2, 0, 0, &lib));
  return lib;
}

inline kelmira::ComPtr<ITypeInfo> TestTypeInfo(REFGUID guid) {
  kelmira::ComPtr<ITypeInfo> info;
  EXPECT_EQ(S_OK, TestTypeLib()->GetTypeInfoOfGuid(guid, &info));
  return info;
}

// Owners of the descriptions a type info hands out, and small lookups for the type info tests.
#pragma once

#include "platform_dispatch/test_interface.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <map>
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

inline std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

// A type as a description shows it: "R8", "R4*", "ITestPeer*", "eTestShape".
inline std::string TypeText(ITypeInfo* info, const TYPEDESC& t) {
  if (t.vt == VT_PTR) return TypeText(info, *t.lptdesc) + "*";
  if (t.vt == VT_USERDEFINED) return Narrow(NameOf(RefOf(info, t.hreftype).get()));
  static const std::map<VARTYPE, std::string> names = {
      {VT_I4, "I4"},   {VT_R4, "R4"},           {VT_R8, "R8"},     {VT_BSTR, "BSTR"},      {VT_BOOL, "BOOL"},
      {VT_UI1, "UI1"}, {VT_VARIANT, "VARIANT"}, {VT_VOID, "void"}, {VT_HRESULT, "HRESULT"}};
  const auto it = names.find(t.vt);
  return it == names.end() ? "vt" + std::to_string(t.vt) : it->second;
}

// A function as "memid kind Name(parameters) result", each parameter with its flags and default,
// "optional N" at the end when it has that many optional VARIANT parameters.
inline std::string Signature(ITypeInfo* info, UINT index) {
  FuncOf f(info, index);
  const char* kind = f->invkind == INVOKE_FUNC          ? "func"
                     : f->invkind == INVOKE_PROPERTYGET ? "get"
                     : f->invkind == INVOKE_PROPERTYPUT ? "put"
                                                        : "putref";
  char memid[16];
  std::snprintf(memid, sizeof memid, "%#x", static_cast<unsigned>(f->memid));
  std::string out = memid + std::string(f->funckind == FUNC_DISPATCH ? " dispatch " : " virtual ") + kind + " " +
                    Narrow(NameOf(info, f->memid)) + "(";
  for (SHORT i = 0; i < f->cParams; ++i) {
    const PARAMDESC& p = f.Param(i).paramdesc;
    out += i ? ", " : "";
    for (auto [flag, name] : {std::pair{PARAMFLAG_FIN, "in "},
                              {PARAMFLAG_FOUT, "out "},
                              {PARAMFLAG_FRETVAL, "retval "},
                              {PARAMFLAG_FOPT, "opt "}})
      if (p.wParamFlags & flag) out += name;
    if (p.wParamFlags & PARAMFLAG_FHASDEFAULT) {
      kelmira::Variant text;
      VariantChangeType(&text, &p.pparamdescex->varDefaultValue, 0, VT_BSTR);
      out += "=" + Narrow(Text(text.bstrVal)) + " ";
    }
    out += TypeText(info, f.Param(i).tdesc);
  }
  out += ") " + TypeText(info, f->elemdescFunc.tdesc);
  return f->cParamsOpt ? out + " optional " + std::to_string(f->cParamsOpt) : out;
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

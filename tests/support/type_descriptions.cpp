#include "support/type_descriptions.h"

#include "support/dispatch_test_library.h"

#include <cstdio>
#include <map>

namespace kelmira::test {

namespace {

// Released through the type info, which the deleter keeps alive.
template <class T, class Get>
Described<T> Describe(ITypeInfo* info, void (STDMETHODCALLTYPE ITypeInfo::*release)(T*), Get get) {
  T* desc = nullptr;
  EXPECT_EQ(S_OK, get(&desc));
  return {desc, [info = ComPtr<ITypeInfo>(info), release](T* d) { (info.get()->*release)(d); }};
}

std::string TypeText(ITypeInfo* info, const TYPEDESC& t) {
  if (t.vt == VT_PTR) return TypeText(info, *t.lptdesc) + "*";
  if (t.vt == VT_USERDEFINED) return NameOf(RefOf(info, t.hreftype).get());
  static const std::map<VARTYPE, std::string> names = {
      {VT_I4, "I4"},   {VT_R4, "R4"},           {VT_R8, "R8"},     {VT_BSTR, "BSTR"},      {VT_BOOL, "BOOL"},
      {VT_UI1, "UI1"}, {VT_VARIANT, "VARIANT"}, {VT_VOID, "void"}, {VT_HRESULT, "HRESULT"}};
  const auto it = names.find(t.vt);
  return it == names.end() ? "vt" + std::to_string(t.vt) : it->second;
}

}  // namespace

Described<TYPEATTR> AttrOf(ITypeInfo* info) {
  return Describe(info, &ITypeInfo::ReleaseTypeAttr, [&](TYPEATTR** a) { return info->GetTypeAttr(a); });
}
Described<FUNCDESC> FuncOf(ITypeInfo* info, UINT index) {
  return Describe(info, &ITypeInfo::ReleaseFuncDesc, [&](FUNCDESC** f) { return info->GetFuncDesc(index, f); });
}
Described<VARDESC> VarOf(ITypeInfo* info, UINT index) {
  return Describe(info, &ITypeInfo::ReleaseVarDesc, [&](VARDESC** v) { return info->GetVarDesc(index, v); });
}

std::string NameOf(ITypeInfo* info, MEMBERID memid) {
  Bstr name;
  return FAILED(info->GetDocumentation(memid, &name, nullptr, nullptr, nullptr)) ? "?" : Text(name.get());
}

ComPtr<ITypeInfo> RefOf(ITypeInfo* info, HREFTYPE href) {
  ComPtr<ITypeInfo> ref;
  EXPECT_EQ(S_OK, info->GetRefTypeInfo(href, &ref));
  return ref;
}

ComPtr<ITypeInfo> ImplOf(ITypeInfo* info, UINT index) {
  HREFTYPE href = 0;
  EXPECT_EQ(S_OK, info->GetRefTypeOfImplType(index, &href));
  return RefOf(info, href);
}

std::string Summary(ITypeInfo* info) {
  auto a = AttrOf(info);
  const char* kinds[] = {"enum", "record", "module", "interface", "dispatch", "coclass", "alias", "union"};
  std::string out = kinds[a->typekind] + (" " + NameOf(info));
  for (auto [n, label] :
       {std::pair{int{a->cFuncs}, " funcs "}, {a->cVars, " vars "}, {a->cbSizeVft / int{sizeof(void*)}, " slots "}})
    if (n) out += label + std::to_string(n);
  if (a->typekind == TKIND_RECORD) out += " size " + std::to_string(a->cbSizeInstance);
  const char* typeFlags[] = {" appobject",    " cancreate",   " licensed",      " predeclid",   " hidden",
                             " control",      " dual",        " nonextensible", " oleauto",     " restricted",
                             " aggregatable", " replaceable", " dispatchable",  " reversebind", " proxy"};
  for (int bit = 0; bit < 15; ++bit)
    if (a->wTypeFlags & (1 << bit)) out += typeFlags[bit];
  for (UINT i = 0; i < UINT(a->cImplTypes); ++i) {
    INT flags = 0;
    EXPECT_EQ(S_OK, info->GetImplTypeFlags(i, &flags));
    out += (i ? ", " : ": ") + NameOf(ImplOf(info, i).get()) + (flags & IMPLTYPEFLAG_FDEFAULT ? " default" : "") +
           (flags & IMPLTYPEFLAG_FSOURCE ? " source" : "");
  }
  return out;
}

std::string Signature(ITypeInfo* info, UINT index) {
  auto f = FuncOf(info, index);
  const char* kinds[] = {"?", "func", "get", "?", "put", "?", "?", "?", "putref"};
  char memid[16];
  std::snprintf(memid, sizeof memid, "%#x", static_cast<unsigned>(f->memid));
  std::string out = memid + std::string(f->funckind == FUNC_DISPATCH ? " dispatch " : " virtual ") + kinds[f->invkind] +
                    " " + NameOf(info, f->memid) + "(";
  const char* flags[] = {"in ", "out ", "lcid ", "retval ", "opt "};
  for (SHORT i = 0; i < f->cParams; ++i) {
    const ELEMDESC& e = f->lprgelemdescParam[i];
    out += i ? ", " : "";
    for (int bit = 0; bit < 5; ++bit)
      if (e.paramdesc.wParamFlags & (1 << bit)) out += flags[bit];
    if (e.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) {
      Variant text;
      VariantChangeType(&text, &e.paramdesc.pparamdescex->varDefaultValue, 0, VT_BSTR);
      out += "=" + Text(text.vt == VT_BSTR ? text.bstrVal : nullptr) + " ";
    }
    out += TypeText(info, e.tdesc);
  }
  out += ") " + TypeText(info, f->elemdescFunc.tdesc);
  return f->cParamsOpt ? out + " optional " + std::to_string(f->cParamsOpt) : out;
}

}  // namespace kelmira::test

#include "support/type_descriptions.h"

#include <cstdio>
#include <map>

namespace kelmira::test {

namespace {

std::string Narrow(const std::u16string& s) { return std::string(s.begin(), s.end()); }

std::string TypeText(ITypeInfo* info, const TYPEDESC& t) {
  if (t.vt == VT_PTR) return TypeText(info, *t.lptdesc) + "*";
  if (t.vt == VT_USERDEFINED) return Narrow(NameOf(RefOf(info, t.hreftype).get()));
  static const std::map<VARTYPE, std::string> names = {
      {VT_I4, "I4"},   {VT_R4, "R4"},           {VT_R8, "R8"},     {VT_BSTR, "BSTR"},      {VT_BOOL, "BOOL"},
      {VT_UI1, "UI1"}, {VT_VARIANT, "VARIANT"}, {VT_VOID, "void"}, {VT_HRESULT, "HRESULT"}};
  const auto it = names.find(t.vt);
  return it == names.end() ? "vt" + std::to_string(t.vt) : it->second;
}

}  // namespace

std::u16string NameOf(ITypeInfo* info, MEMBERID memid) {
  Bstr name;
  if (FAILED(info->GetDocumentation(memid, &name, nullptr, nullptr, nullptr))) return u"?";
  return std::u16string(name.get(), SysStringLen(name.get()));
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
  AttrOf a(info);
  const char* kinds[] = {"enum", "record", "module", "interface", "dispatch", "coclass", "alias", "union"};
  std::string out = kinds[a->typekind] + (" " + Narrow(NameOf(info)));
  for (auto [n, label] : {std::pair{int{a->cFuncs}, " funcs "},
                          {a->cVars, " vars "},
                          {a->cImplTypes, " impls "},
                          {a->cbSizeVft / int{sizeof(void*)}, " slots "}})
    if (n) out += label + std::to_string(n);
  if (a->typekind == TKIND_RECORD) out += " size " + std::to_string(a->cbSizeInstance);
  WORD rest = a->wTypeFlags;
  for (auto [flag, label] : {std::pair{TYPEFLAG_FCANCREATE, " cancreate"},
                             {TYPEFLAG_FCONTROL, " control"},
                             {TYPEFLAG_FDUAL, " dual"},
                             {TYPEFLAG_FOLEAUTOMATION, " oleauto"},
                             {TYPEFLAG_FDISPATCHABLE, " dispatchable"}})
    if (rest & flag) out += label, rest &= ~flag;
  return rest ? out + " flags " + std::to_string(rest) : out;
}

std::string Implemented(ITypeInfo* info) {
  std::string out;
  for (UINT i = 0; i < UINT(AttrOf(info)->cImplTypes); ++i) {
    INT flags = 0;
    EXPECT_EQ(S_OK, info->GetImplTypeFlags(i, &flags));
    out += (i ? ", " : "") + Narrow(NameOf(ImplOf(info, i).get()));
    out +=
        std::string(flags & IMPLTYPEFLAG_FDEFAULT ? " default" : "") + (flags & IMPLTYPEFLAG_FSOURCE ? " source" : "");
  }
  return out;
}

std::string Signature(ITypeInfo* info, UINT index) {
  FuncOf f(info, index);
  const char* kinds[] = {"?", "func", "get", "?", "put", "?", "?", "?", "putref"};
  char memid[16];
  std::snprintf(memid, sizeof memid, "%#x", static_cast<unsigned>(f->memid));
  std::string out = memid + std::string(f->funckind == FUNC_DISPATCH ? " dispatch " : " virtual ") + kinds[f->invkind] +
                    " " + Narrow(NameOf(info, f->memid)) + "(";
  for (SHORT i = 0; i < f->cParams; ++i) {
    const ELEMDESC& e = f->lprgelemdescParam[i];
    out += i ? ", " : "";
    for (auto [flag, name] : {std::pair{PARAMFLAG_FIN, "in "},
                              {PARAMFLAG_FOUT, "out "},
                              {PARAMFLAG_FRETVAL, "retval "},
                              {PARAMFLAG_FOPT, "opt "}})
      if (e.paramdesc.wParamFlags & flag) out += name;
    if (e.paramdesc.wParamFlags & PARAMFLAG_FHASDEFAULT) {
      Variant text;
      VariantChangeType(&text, &e.paramdesc.pparamdescex->varDefaultValue, 0, VT_BSTR);
      out += "=" + Narrow(text.bstrVal ? text.bstrVal : u"") + " ";
    }
    out += TypeText(info, e.tdesc);
  }
  out += ") " + TypeText(info, f->elemdescFunc.tdesc);
  return f->cParamsOpt ? out + " optional " + std::to_string(f->cParamsOpt) : out;
}

UINT FuncIndex(ITypeInfo* info, MEMBERID memid, INVOKEKIND kind) {
  for (UINT i = 0; i < AttrOf(info)->cFuncs; ++i)
    if (FuncOf f(info, i); f->memid == memid && f->invkind == kind) return i;
  ADD_FAILURE() << "no function " << memid;
  return 0;
}

}  // namespace kelmira::test

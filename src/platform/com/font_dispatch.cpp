// IFontDisp: the font's properties by their standard dispatch ids.
#include "com/font_object.h"

#include <kelmira/platform/guarded.h>

namespace kelmira {
namespace {

struct FontMember {
  const char16_t* name;
  DISPID id;
  VARTYPE type;
};

constexpr FontMember kMembers[] = {
    {u"Name", DISPID_FONT_NAME, VT_BSTR},       {u"Size", DISPID_FONT_SIZE, VT_CY},
    {u"Bold", DISPID_FONT_BOLD, VT_BOOL},       {u"Italic", DISPID_FONT_ITALIC, VT_BOOL},
    {u"Underline", DISPID_FONT_UNDER, VT_BOOL}, {u"Strikethrough", DISPID_FONT_STRIKE, VT_BOOL},
    {u"Weight", DISPID_FONT_WEIGHT, VT_I2},     {u"Charset", DISPID_FONT_CHARSET, VT_I2},
};

char16_t FoldAscii(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

bool SameName(const char16_t* a, const OLECHAR* b) {
  for (; *a && *b; ++a, ++b)
    if (FoldAscii(*a) != FoldAscii(*b)) return false;
  return *a == *b;
}

const FontMember* FindMember(DISPID id) {
  for (const auto& m : kMembers)
    if (m.id == id) return &m;
  return nullptr;
}

const FontMember* FindMember(const OLECHAR* name) {
  for (const auto& m : kMembers)
    if (SameName(m.name, name)) return &m;
  return nullptr;
}

VARIANT_BOOL ToVariantBool(BOOL b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

// A put carries one argument, named DISPID_PROPERTYPUT (callers that leave the name out are
// accepted too).
HRESULT CheckPutParams(const DISPPARAMS& params) {
  if (params.cArgs != 1) return DISP_E_BADPARAMCOUNT;
  if (!params.rgvarg) return E_POINTER;
  if (params.cNamedArgs == 0) return S_OK;
  if (params.cNamedArgs > 1 || !params.rgdispidNamedArgs) return DISP_E_NONAMEDARGS;
  return params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT ? S_OK : DISP_E_PARAMNOTFOUND;
}

}  // namespace

HRESULT FontObject::GetTypeInfoCount(UINT* pctinfo) {
  if (!pctinfo) return E_POINTER;
  *pctinfo = 0;
  return S_OK;
}

HRESULT FontObject::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
  if (!ppTInfo) return E_POINTER;
  *ppTInfo = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT FontObject::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  if (cNames == 0) return S_OK;
  if (!rgszNames || !rgDispId) return E_POINTER;
  // The properties take no parameters, so any name after the first is unknown.
  for (UINT i = 0; i < cNames; ++i) rgDispId[i] = DISPID_UNKNOWN;
  const FontMember* member = rgszNames[0] ? FindMember(rgszNames[0]) : nullptr;
  if (member) rgDispId[0] = member->id;
  return member && cNames == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT FontObject::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
  if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  const FontMember* member = FindMember(dispIdMember);
  if (!member) return DISP_E_MEMBERNOTFOUND;
  if (!pDispParams) return E_POINTER;
  return Guarded([&] {
    if (wFlags & DISPATCH_PROPERTYPUT) {
      HRESULT hr = CheckPutParams(*pDispParams);
      if (FAILED(hr)) return hr;
      Variant value;
      hr = VariantChangeType(&value, &pDispParams->rgvarg[0], 0, member->type);
      if (FAILED(hr)) {
        if (puArgErr) *puArgErr = 0;
        return hr;
      }
      return PutProperty(member->id, value);
    }
    if (!(wFlags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD))) return DISP_E_MEMBERNOTFOUND;
    if (pDispParams->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    if (pDispParams->cArgs != 0) return DISP_E_BADPARAMCOUNT;
    if (!pVarResult) return S_OK;  // the caller wants no result
    return GetProperty(member->id, pVarResult);
  });
}

HRESULT FontObject::GetProperty(DISPID id, VARIANT* result) {
  VariantInit(result);
  BOOL flag = FALSE;
  HRESULT hr = S_OK;
  switch (id) {
    case DISPID_FONT_NAME:
      hr = get_Name(&result->bstrVal);
      if (SUCCEEDED(hr)) result->vt = VT_BSTR;
      return hr;
    case DISPID_FONT_SIZE: result->vt = VT_CY; return get_Size(&result->cyVal);
    case DISPID_FONT_WEIGHT: result->vt = VT_I2; return get_Weight(&result->iVal);
    case DISPID_FONT_CHARSET: result->vt = VT_I2; return get_Charset(&result->iVal);
    case DISPID_FONT_BOLD: hr = get_Bold(&flag); break;
    case DISPID_FONT_ITALIC: hr = get_Italic(&flag); break;
    case DISPID_FONT_UNDER: hr = get_Underline(&flag); break;
    case DISPID_FONT_STRIKE: hr = get_Strikethrough(&flag); break;
    default: return DISP_E_MEMBERNOTFOUND;
  }
  result->vt = VT_BOOL;
  result->boolVal = ToVariantBool(flag);
  return hr;
}

HRESULT FontObject::PutProperty(DISPID id, const VARIANT& value) {
  switch (id) {
    case DISPID_FONT_NAME: return put_Name(value.bstrVal);
    case DISPID_FONT_SIZE: return put_Size(value.cyVal);
    case DISPID_FONT_BOLD: return put_Bold(value.boolVal != VARIANT_FALSE);
    case DISPID_FONT_ITALIC: return put_Italic(value.boolVal != VARIANT_FALSE);
    case DISPID_FONT_UNDER: return put_Underline(value.boolVal != VARIANT_FALSE);
    case DISPID_FONT_STRIKE: return put_Strikethrough(value.boolVal != VARIANT_FALSE);
    case DISPID_FONT_WEIGHT: return put_Weight(value.iVal);
    case DISPID_FONT_CHARSET: return put_Charset(value.iVal);
    default: return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace kelmira

// VariantChangeType: converts a variant to another type by the platform's rules.
#include "com/date_text.h"
#include "com/number_text.h"
#include "com/variant_number.h"
#include "com/variant_types.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <string>

namespace {

using namespace kelmira;
using namespace kelmira::variants;

// A default value that is itself an object is followed this many times at most.
constexpr int kMaxDefaultValueDepth = 4;

bool IsConvertibleType(VARTYPE vt) {
  return IsNumericType(vt) || vt == VT_EMPTY || vt == VT_NULL || vt == VT_ERROR || vt == VT_BSTR || vt == VT_DISPATCH ||
         vt == VT_UNKNOWN;
}

std::u16string_view TextOf(const VARIANT& v) {
  return v.bstrVal ? std::u16string_view(v.bstrVal, SysStringLen(v.bstrVal)) : std::u16string_view();
}

bool EqualsIgnoringCase(std::u16string_view text, std::string_view lowerAscii) {
  if (text.size() != lowerAscii.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char16_t c = text[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (c != static_cast<char16_t>(lowerAscii[i])) return false;
  }
  return true;
}

HRESULT StoreText(const std::u16string& text, VARIANT* out) {
  const BSTR s = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!s) return E_OUTOFMEMORY;
  out->vt = VT_BSTR;
  out->bstrVal = s;
  return S_OK;
}

HRESULT ConvertToText(const VARIANT& v, USHORT flags, VARIANT* out) {
  if (v.vt == VT_BOOL && (flags & (VARIANT_ALPHABOOL | VARIANT_LOCALBOOL)))
    return StoreText(v.boolVal ? u"True" : u"False", out);
  if (const auto integer = IntegerValue(v))
    return StoreText(v.vt == VT_EMPTY ? u"" : numtext::FormatInteger(*integer), out);
  switch (v.vt) {
    case VT_R4: return StoreText(numtext::FormatReal(v.fltVal, 7), out);
    case VT_R8: return StoreText(numtext::FormatReal(v.dblVal, 15), out);
    case VT_CY: return StoreText(numtext::FormatCurrency(v.cyVal.int64), out);
    case VT_DATE: {
      const auto text = datetext::FormatDate(v.date);
      return text ? StoreText(*text, out) : DISP_E_OVERFLOW;
    }
    default: return DISP_E_TYPEMISMATCH;
  }
}

HRESULT ConvertToObject(const VARIANT& v, VARTYPE vt, VARIANT* out) {
  if (v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN) return DISP_E_TYPEMISMATCH;
  void* object = nullptr;
  if (v.punkVal) {
    const HRESULT hr = v.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &object);
    if (hr == E_NOINTERFACE) return DISP_E_TYPEMISMATCH;
    if (FAILED(hr)) return hr;
  }
  out->vt = vt;
  if (vt == VT_DISPATCH) {
    out->pdispVal = static_cast<IDispatch*>(object);
  } else {
    out->punkVal = static_cast<IUnknown*>(object);
  }
  return S_OK;
}

HRESULT ConvertTextToBool(const VARIANT& v, VARIANT* out) {
  const std::u16string_view text = numtext::TrimBlanks(TextOf(v));
  const bool isTrue = EqualsIgnoringCase(text, "true") || EqualsIgnoringCase(text, "#true#");
  const bool isFalse = EqualsIgnoringCase(text, "false") || EqualsIgnoringCase(text, "#false#");
  if (!isTrue && !isFalse) {
    Number n;
    const HRESULT hr = ReadNumber(v, &n);
    return FAILED(hr) ? hr : StoreNumber(n, VT_BOOL, out);
  }
  out->vt = VT_BOOL;
  out->boolVal = isTrue ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT ConvertTextToDate(const VARIANT& v, VARIANT* out) {
  Number n;
  if (SUCCEEDED(ReadNumber(v, &n))) return StoreNumber(n, VT_DATE, out);
  const auto date = datetext::ParseDate(TextOf(v));
  if (!date) return DISP_E_TYPEMISMATCH;
  out->vt = VT_DATE;
  out->date = *date;
  return S_OK;
}

HRESULT ConvertToNumber(const VARIANT& v, VARTYPE vt, VARIANT* out) {
  if (v.vt == VT_BSTR && vt == VT_BOOL) return ConvertTextToBool(v, out);
  if (v.vt == VT_BSTR && vt == VT_DATE) return ConvertTextToDate(v, out);
  Number n;
  const HRESULT hr = ReadNumber(v, &n);
  return FAILED(hr) ? hr : StoreNumber(n, vt, out);
}

HRESULT Convert(const VARIANT& src, LCID lcid, USHORT flags, VARTYPE vt, VARIANT* out, int depth);

// Converts the object's default value (its DISPID_VALUE property) instead of the object.
HRESULT ConvertDefaultValue(IDispatch* object, LCID lcid, USHORT flags, VARTYPE vt, VARIANT* out, int depth) {
  if (!object || (flags & VARIANT_NOVALUEPROP) || depth >= kMaxDefaultValueDepth) return DISP_E_TYPEMISMATCH;
  DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
  Variant value;
  const HRESULT hr =
      object->Invoke(DISPID_VALUE, IID_NULL, lcid, DISPATCH_PROPERTYGET, &noArguments, &value, nullptr, nullptr);
  if (hr == DISP_E_MEMBERNOTFOUND) return DISP_E_TYPEMISMATCH;
  if (FAILED(hr)) return hr;
  return Convert(value, lcid, flags, vt, out, depth + 1);
}

HRESULT Convert(const VARIANT& src, LCID lcid, USHORT flags, VARTYPE vt, VARIANT* out, int depth) {
  if (!IsConvertibleType(vt)) return DISP_E_BADVARTYPE;
  VARIANT v;
  VariantInit(&v);
  const HRESULT hr = Dereference(src, &v);
  if (FAILED(hr)) return hr;
  if (!IsConvertibleType(v.vt)) return DISP_E_BADVARTYPE;
  if (v.vt == vt) return VariantCopy(out, &v);
  if (v.vt == VT_DISPATCH && vt != VT_UNKNOWN) return ConvertDefaultValue(v.pdispVal, lcid, flags, vt, out, depth);
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_ERROR: return DISP_E_TYPEMISMATCH;
    case VT_DISPATCH:
    case VT_UNKNOWN: return ConvertToObject(v, vt, out);
    case VT_BSTR: return ConvertToText(v, flags, out);
    default: return ConvertToNumber(v, vt, out);
  }
}

}  // namespace

HRESULT VariantChangeTypeEx(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, LCID lcid, USHORT wFlags, VARTYPE vt) {
  if (!pvargDest || !pvarSrc) return E_INVALIDARG;
  return kelmira::Guarded([&] {
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Convert(*pvarSrc, lcid, wFlags, vt, &result, 0);
    if (FAILED(hr)) return hr;
    hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
      VariantClear(&result);
      return hr;
    }
    *pvargDest = result;
    return S_OK;
  });
}

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvarSrc, USHORT wFlags, VARTYPE vt) {
  return VariantChangeTypeEx(pvargDest, pvarSrc, LOCALE_USER_DEFAULT, wFlags, vt);
}

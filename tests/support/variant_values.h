// Variants made in one expression, and conversion results read back as text, for the value tests.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>

namespace kelmira::test {

using kelmira::Variant;

inline Variant R8(double d) {
  Variant v;
  v.vt = VT_R8, v.dblVal = d;
  return v;
}

inline Variant I8(LONGLONG i) {
  Variant v;
  v.vt = VT_I8, v.llVal = i;
  return v;
}

inline Variant Str(std::u16string_view s) {
  Variant v;
  v.vt = VT_BSTR, v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size()));
  return v;
}

// R8(value) converted to vt, which must succeed.
inline Variant Of(VARTYPE vt, double value) {
  Variant v, real = R8(value);
  EXPECT_EQ(VariantChangeType(&v, &real, 0, vt), S_OK);
  return v;
}

inline std::u16string TextOf(BSTR s) { return s ? std::u16string(s, SysStringLen(s)) : std::u16string(); }

// src converted to vt and then written as text; a failure as "#overflow", "#mismatch" and so on.
inline std::u16string To(VARTYPE vt, const VARIANT& src, USHORT flags = 0) {
  Variant out, text;
  const HRESULT hr = VariantChangeType(&out, &src, flags, vt);
  if (hr == DISP_E_OVERFLOW) return u"#overflow";
  if (hr == DISP_E_TYPEMISMATCH) return u"#mismatch";
  if (hr == DISP_E_BADVARTYPE) return u"#badtype";
  if (FAILED(hr)) return u"#failed";
  if (out.vt != vt) return u"#wrongtype";
  if (FAILED(VariantChangeType(&text, &out, 0, VT_BSTR))) return u"#no text";
  return TextOf(text.bstrVal);
}

// Each source converted to vt, or src converted to each type, the results each ended by '|'.
inline std::u16string Texts(VARTYPE vt, std::initializer_list<Variant> sources) {
  std::u16string out;
  for (const Variant& src : sources) out += To(vt, src) + u"|";
  return out;
}
inline std::u16string Texts(std::initializer_list<VARTYPE> vts, const VARIANT& src) {
  std::u16string out;
  for (VARTYPE vt : vts) out += To(vt, src) + u"|";
  return out;
}

}  // namespace kelmira::test

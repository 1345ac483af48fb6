// Stand-ins for the automation values and class activation until those land in the platform.
// Only what these tests need; removed when the real ones are merged.
#include <kelmira/platform.h>

#include <cstdlib>
#include <cstring>

BSTR SysAllocStringLen(const OLECHAR* pch, UINT cch) {
  auto* block = static_cast<std::uint32_t*>(std::malloc(4 + 2 * std::size_t(cch) + 2));
  block[0] = cch * 2;
  auto* s = reinterpret_cast<OLECHAR*>(block + 1);
  if (pch) std::memcpy(s, pch, 2 * std::size_t(cch));
  s[cch] = 0;
  return s;
}
BSTR SysAllocString(const OLECHAR* psz) {
  if (!psz) return nullptr;
  UINT n = 0;
  while (psz[n]) ++n;
  return SysAllocStringLen(psz, n);
}
void SysFreeString(BSTR b) {
  if (b) std::free(reinterpret_cast<std::uint32_t*>(b) - 1);
}
UINT SysStringLen(BSTR b) { return b ? reinterpret_cast<std::uint32_t*>(b)[-1] / 2 : 0; }

void VariantInit(VARIANTARG* v) { v->vt = VT_EMPTY; }
HRESULT VariantClear(VARIANTARG* v) {
  if (v->vt == VT_BSTR) SysFreeString(v->bstrVal);
  if ((v->vt == VT_DISPATCH || v->vt == VT_UNKNOWN) && v->punkVal) v->punkVal->Release();
  std::memset(v, 0, sizeof *v);
  return S_OK;
}
HRESULT VariantCopy(VARIANTARG* d, const VARIANTARG* s) {
  if (d == s) return S_OK;
  VariantClear(d);
  *d = *s;
  if (s->vt == VT_BSTR && s->bstrVal) d->bstrVal = SysAllocStringLen(s->bstrVal, SysStringLen(s->bstrVal));
  if ((s->vt == VT_DISPATCH || s->vt == VT_UNKNOWN) && s->punkVal) s->punkVal->AddRef();
  return S_OK;
}
HRESULT VariantChangeType(VARIANTARG* d, const VARIANTARG* s, USHORT, VARTYPE vt) {
  VARIANT src;
  VariantInit(&src);
  VariantCopy(&src, s);
  double x = 0;
  switch (src.vt) {
    case VT_I2: x = src.iVal; break;
    case VT_I4: x = src.lVal; break;
    case VT_R8: x = src.dblVal; break;
    case VT_BOOL: x = src.boolVal; break;
    case VT_CY: x = double(src.cyVal.int64) / 10000; break;
    default:
      if (src.vt == vt) {
        VariantClear(d);
        *d = src;
        return S_OK;
      }
      VariantClear(&src);
      return DISP_E_TYPEMISMATCH;
  }
  VariantClear(d);
  d->vt = vt;
  switch (vt) {
    case VT_I2: d->iVal = SHORT(x); break;
    case VT_I4: d->lVal = LONG(x); break;
    case VT_R8: d->dblVal = x; break;
    case VT_BOOL: d->boolVal = x != 0 ? VARIANT_TRUE : VARIANT_FALSE; break;
    case VT_CY: d->cyVal.int64 = LONGLONG(x * 10000); break;
    default: d->vt = VT_EMPTY; return DISP_E_TYPEMISMATCH;
  }
  return S_OK;
}

HRESULT WriteClassStm(IStream* s, REFCLSID c) { return s->Write(&c, sizeof c, nullptr); }
HRESULT ReadClassStm(IStream* s, CLSID* c) {
  ULONG got = 0;
  HRESULT hr = s->Read(c, sizeof *c, &got);
  return FAILED(hr) ? hr : got == sizeof *c ? S_OK : STG_E_READFAULT;
}
HRESULT CoCreateInstance(REFCLSID, IUnknown*, DWORD, REFIID, LPVOID* ppv) {
  *ppv = nullptr;
  return REGDB_E_CLASSNOTREG;
}

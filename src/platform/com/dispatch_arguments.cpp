// Argument conversions shared by every member thunk: values through VariantChangeType,
// interfaces through QueryInterface, records by copy, out-arguments by reference.
#include <kelmira/platform/dispatch_impl.h>

namespace kelmira::detail {

namespace {

// A VT_BYREF|VT_VARIANT argument stands for the variant it points to.
const VARIANT* Deref(const VARIANT* src) {
  if (src && src->vt == (VT_BYREF | VT_VARIANT)) return src->pvarVal;
  return src;
}

HRESULT Change(VARIANT* out, const VARIANT* src, VARTYPE vt) {
  HRESULT hr = VariantChangeType(out, src, 0, vt);
  if (SUCCEEDED(hr) || hr == DISP_E_OVERFLOW || hr == E_OUTOFMEMORY) return hr;
  return DISP_E_TYPEMISMATCH;
}

}  // namespace

HRESULT ConvertArgument(const VARIANT* src, VARTYPE vt, VARIANT* out) {
  src = Deref(src);
  if (!src || !out) return DISP_E_TYPEMISMATCH;
  if (!(src->vt & VT_BYREF)) return Change(out, src, vt);
  Variant direct;
  HRESULT hr = VariantCopyInd(&direct, src);
  if (FAILED(hr)) return hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
  return Change(out, &direct, vt);
}

HRESULT QueryArgument(const VARIANT* src, REFIID iid, void** out) {
  *out = nullptr;
  src = Deref(src);
  if (!src) return DISP_E_TYPEMISMATCH;
  IUnknown* unknown = nullptr;
  switch (src->vt) {
    case VT_EMPTY: return S_OK;
    case VT_DISPATCH: unknown = src->pdispVal; break;
    case VT_UNKNOWN: unknown = src->punkVal; break;
    case VT_BYREF | VT_DISPATCH: unknown = src->ppdispVal ? *src->ppdispVal : nullptr; break;
    case VT_BYREF | VT_UNKNOWN: unknown = src->ppunkVal ? *src->ppunkVal : nullptr; break;
    default: return DISP_E_TYPEMISMATCH;
  }
  if (!unknown) return S_OK;
  HRESULT hr = unknown->QueryInterface(iid, out);
  if (SUCCEEDED(hr) && *out) return S_OK;
  *out = nullptr;
  return hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH;
}

HRESULT CopyRecordArgument(const VARIANT* src, const GUID* recordGuid, ULONG size, void* out) {
  src = Deref(src);
  if (!src || (src->vt & ~VT_BYREF) != VT_RECORD || !src->brecVal.pvRecord) return DISP_E_TYPEMISMATCH;
  if (IRecordInfo* info = src->brecVal.pRecInfo) {
    GUID guid{};
    ULONG recordSize = 0;
    if (recordGuid && (FAILED(info->GetGuid(&guid)) || !IsEqualGUID(guid, *recordGuid))) return DISP_E_TYPEMISMATCH;
    if (FAILED(info->GetSize(&recordSize)) || recordSize != size) return DISP_E_TYPEMISMATCH;
  }
  std::memcpy(out, src->brecVal.pvRecord, size);
  return S_OK;
}

HRESULT BindOutArgument(const VARIANT* src, VARTYPE exactVt, VARIANT** variant, void** exact) {
  *variant = nullptr;
  *exact = nullptr;
  if (src->vt == (VT_BYREF | VT_VARIANT)) {
    *variant = src->pvarVal;
    return S_OK;
  }
  if (exactVt != VT_EMPTY && src->vt == exactVt) {
    *exact = src->byref;
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}

}  // namespace kelmira::detail

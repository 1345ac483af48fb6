// VariantInit, VariantClear, VariantCopy and VariantCopyInd.
#include "com/variant_types.h"

#include <cstring>
#include <new>

namespace kelmira::variants {
namespace {

bool IsValueType(VARTYPE base) {
  switch (base) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I1:
    case VT_I2:
    case VT_I4:
    case VT_I8:
    case VT_UI1:
    case VT_UI2:
    case VT_UI4:
    case VT_UI8:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
    case VT_BSTR:
    case VT_BOOL:
    case VT_ERROR:
    case VT_DISPATCH:
    case VT_UNKNOWN:
    case VT_DECIMAL:
    case VT_RECORD: return true;
    default: return false;
  }
}

bool IsReferenceType(VARTYPE base) {
  return base == VT_VARIANT || (IsValueType(base) && base != VT_EMPTY && base != VT_NULL);
}

// Reads the pointed-to value of a VT_BYREF variant of a non-variant type.
void ReadReferenced(const VARIANT& src, VARTYPE base, VARIANT* view) {
  view->vt = base;
  switch (base) {
    case VT_I1: view->cVal = *src.pcVal; break;
    case VT_UI1: view->bVal = *src.pbVal; break;
    case VT_I2: view->iVal = *src.piVal; break;
    case VT_UI2: view->uiVal = *src.puiVal; break;
    case VT_BOOL: view->boolVal = *src.pboolVal; break;
    case VT_I4: view->lVal = *src.plVal; break;
    case VT_UI4: view->ulVal = *src.pulVal; break;
    case VT_INT: view->intVal = *src.pintVal; break;
    case VT_UINT: view->uintVal = *src.puintVal; break;
    case VT_ERROR: view->scode = *src.pscode; break;
    case VT_I8: view->llVal = *src.pllVal; break;
    case VT_UI8: view->ullVal = *src.pullVal; break;
    case VT_R4: view->fltVal = *src.pfltVal; break;
    case VT_R8: view->dblVal = *src.pdblVal; break;
    case VT_DATE: view->date = *src.pdate; break;
    case VT_CY: view->cyVal = *src.pcyVal; break;
    case VT_BSTR: view->bstrVal = *src.pbstrVal; break;
    case VT_UNKNOWN: view->punkVal = *src.ppunkVal; break;
    case VT_DISPATCH: view->pdispVal = *src.ppdispVal; break;
    case VT_DECIMAL:
      view->decVal = *src.pdecVal;  // overlays the tag
      view->vt = VT_DECIMAL;
      break;
    case VT_RECORD: view->brecVal = src.brecVal; break;  // same layout by reference
    default: break;
  }
}

// Takes the references and copies the strings a shallow copy of a variant shares.
HRESULT DeepenCopy(VARIANT* copy) {
  switch (copy->vt) {
    case VT_BSTR:
      if (copy->bstrVal) {
        const BSTR s = copy->bstrVal;
        copy->bstrVal = SysAllocStringByteLen(reinterpret_cast<LPCSTR>(s), SysStringByteLen(s));
        if (!copy->bstrVal) return E_OUTOFMEMORY;
      }
      return S_OK;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (copy->punkVal) copy->punkVal->AddRef();
      return S_OK;
    case VT_RECORD: {
      if (!copy->brecVal.pvRecord) return S_OK;
      IRecordInfo* info = copy->brecVal.pRecInfo;
      if (!info) return E_INVALIDARG;
      PVOID record = nullptr;
      const HRESULT hr = info->RecordCreateCopy(copy->brecVal.pvRecord, &record);
      if (FAILED(hr)) return hr;
      copy->brecVal.pvRecord = record;
      info->AddRef();
      return S_OK;
    }
    default: return S_OK;
  }
}

}  // namespace

HRESULT CheckTag(VARTYPE vt) {
  if (vt & (VT_VECTOR | VT_ARRAY | VT_RESERVED)) return DISP_E_BADVARTYPE;
  const VARTYPE base = vt & ~VT_BYREF;
  const bool ok = (vt & VT_BYREF) ? IsReferenceType(base) : IsValueType(base);
  return ok ? S_OK : DISP_E_BADVARTYPE;
}

HRESULT Dereference(const VARIANT& src, VARIANT* view) {
  const HRESULT hr = CheckTag(src.vt);
  if (FAILED(hr)) return hr;
  if (!(src.vt & VT_BYREF)) {
    *view = src;
    return S_OK;
  }
  if (!src.byref) return E_INVALIDARG;
  const VARTYPE base = src.vt & ~VT_BYREF;
  if (base != VT_VARIANT) {
    ReadReferenced(src, base, view);
    return S_OK;
  }
  // One level of variant reference; a reference to a variant reference is not allowed.
  const VARIANT& inner = *src.pvarVal;
  if (inner.vt == (VT_BYREF | VT_VARIANT)) return E_INVALIDARG;
  return Dereference(inner, view);
}

}  // namespace kelmira::variants

using namespace kelmira::variants;

namespace {

// Copies src (already dereferenced if wanted) over dest; dest keeps its value on failure.
HRESULT CopyOver(VARIANTARG* dest, const VARIANT& src) {
  VARIANT copy = src;
  HRESULT hr = DeepenCopy(&copy);
  if (FAILED(hr)) return hr;
  hr = VariantClear(dest);
  if (FAILED(hr)) {
    VariantClear(&copy);
    return hr;
  }
  *dest = copy;
  return S_OK;
}

}  // namespace

void VariantInit(VARIANTARG* pvarg) {
  if (pvarg) std::memset(static_cast<void*>(pvarg), 0, sizeof *pvarg);
}

HRESULT VariantClear(VARIANTARG* pvarg) {
  if (!pvarg) return E_INVALIDARG;
  const HRESULT hr = CheckTag(pvarg->vt);
  if (FAILED(hr)) return hr;
  switch (pvarg->vt) {
    case VT_BSTR: SysFreeString(pvarg->bstrVal); break;
    case VT_UNKNOWN:
    case VT_DISPATCH:
      if (pvarg->punkVal) pvarg->punkVal->Release();
      break;
    case VT_RECORD:
      if (IRecordInfo* info = pvarg->brecVal.pRecInfo) {
        if (pvarg->brecVal.pvRecord) info->RecordDestroy(pvarg->brecVal.pvRecord);
        info->Release();
      }
      break;
    default: break;
  }
  pvarg->vt = VT_EMPTY;
  return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
  if (!pvargDest || !pvargSrc) return E_INVALIDARG;
  const HRESULT hr = CheckTag(pvargSrc->vt);
  if (FAILED(hr)) return hr;
  if (pvargDest == pvargSrc) return S_OK;
  // A VT_BYREF variant copies as the reference itself.
  return CopyOver(pvargDest, *pvargSrc);
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
  if (!pvarDest || !pvargSrc) return E_INVALIDARG;
  VARIANT view;
  VariantInit(&view);
  const HRESULT hr = Dereference(*pvargSrc, &view);
  if (FAILED(hr)) return hr;
  return CopyOver(pvarDest, view);
}

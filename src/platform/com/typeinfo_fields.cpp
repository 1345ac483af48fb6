// Record fields read and written as variants, cleared and copied by their described types.
#include "com/dispatch_index.h"

namespace kelmira::dispatch {

namespace {

bool IsBstr(const TypeDesc* t) { return t->cls == TypeClass::Value && t->vt == VT_BSTR; }
bool IsVariant(const TypeDesc* t) { return t->cls == TypeClass::Value && t->vt == VT_VARIANT; }

}  // namespace

HRESULT FieldToVariant(const TypeDesc* type, const void* field, VARIANT* out) {
  VariantInit(out);
  if (IsBstr(type)) {
    BSTR text = *static_cast<const BSTR*>(field);
    out->bstrVal = text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr;
    if (text && !out->bstrVal) return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    return S_OK;
  }
  if (IsVariant(type)) return VariantCopy(out, static_cast<const VARIANT*>(field));
  switch (type->cls) {
    case TypeClass::Value:
    case TypeClass::Enum:
      out->llVal = 0;
      std::memcpy(&out->llVal, field, type->size);  // every scalar starts the value union
      out->vt = type->vt;
      return S_OK;
    case TypeClass::Interface:
      out->punkVal = *static_cast<IUnknown* const*>(field);
      if (out->punkVal) out->punkVal->AddRef();
      out->vt = type->vt;
      return S_OK;
    default: return DISP_E_TYPEMISMATCH;
  }
}

HRESULT VariantToField(const TypeDesc* type, const VARIANT* value, void* field) {
  if (IsVariant(type)) {
    Variant copy;
    HRESULT hr = VariantCopyInd(&copy, value);
    if (FAILED(hr)) return hr;
    auto* target = static_cast<VARIANT*>(field);
    VariantClear(target);
    *target = copy;
    VariantInit(&copy);
    return S_OK;
  }
  if (type->cls == TypeClass::Interface) {
    IUnknown* object = nullptr;
    HRESULT hr = detail::QueryArgument(value, *type->guid, reinterpret_cast<void**>(&object));
    if (FAILED(hr)) return hr;
    if (IUnknown* old = std::exchange(*static_cast<IUnknown**>(field), object)) old->Release();
    return S_OK;
  }
  if (type->cls != TypeClass::Value && type->cls != TypeClass::Enum) return DISP_E_TYPEMISMATCH;
  Variant converted;
  HRESULT hr = detail::ConvertArgument(value, type->vt, &converted);
  if (FAILED(hr)) return hr;
  if (IsBstr(type)) {
    SysFreeString(std::exchange(*static_cast<BSTR*>(field), converted.bstrVal));
    converted.vt = VT_EMPTY;  // the field owns the string now
    return S_OK;
  }
  std::memcpy(field, &converted.llVal, type->size);
  return S_OK;
}

void ClearField(const TypeDesc* type, void* field) {
  if (IsBstr(type)) {
    SysFreeString(std::exchange(*static_cast<BSTR*>(field), nullptr));
  } else if (IsVariant(type)) {
    VariantClear(static_cast<VARIANT*>(field));
  } else if (type->cls == TypeClass::Interface) {
    if (IUnknown* old = std::exchange(*static_cast<IUnknown**>(field), nullptr)) old->Release();
  }
}

HRESULT CopyField(const TypeDesc* type, const void* from, void* to) {
  if (IsBstr(type)) {
    BSTR text = *static_cast<const BSTR*>(from);
    BSTR copy = text ? SysAllocStringLen(text, SysStringLen(text)) : nullptr;
    *static_cast<BSTR*>(to) = copy;
    return text && !copy ? E_OUTOFMEMORY : S_OK;
  }
  if (IsVariant(type)) {
    VariantInit(static_cast<VARIANT*>(to));
    return VariantCopy(static_cast<VARIANT*>(to), static_cast<const VARIANT*>(from));
  }
  std::memcpy(to, from, type->size);
  if (type->cls == TypeClass::Interface)
    if (IUnknown* object = *static_cast<IUnknown**>(to)) object->AddRef();
  return S_OK;
}

}  // namespace kelmira::dispatch

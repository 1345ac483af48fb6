// Typed values of property-map streams.
#include "control/propmap_value.h"

#include "com/font_object.h"
#include "com/persist_io.h"

#include <kelmira/platform/combase.h>

#include <memory>
#include <string>

namespace kelmira::propmap {
namespace {

constexpr DWORD kNullStringLength = 0xFFFFFFFF;

// Bytes of a fixed-size payload; 0 for no payload, -1 for a type that is not fixed-size.
int FixedPayloadSize(VARTYPE vt) {
  switch (vt) {
    case VT_EMPTY:
    case VT_NULL: return 0;
    case VT_I1:
    case VT_UI1: return 1;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_UI4:
    case VT_INT:
    case VT_UINT:
    case VT_R4:
    case VT_ERROR: return 4;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE: return 8;
    default: return -1;
  }
}

bool IsObjectType(VARTYPE vt) { return vt == VT_DISPATCH || vt == VT_UNKNOWN; }
bool IsKnownType(VARTYPE vt) { return FixedPayloadSize(vt) >= 0 || vt == VT_BSTR || IsObjectType(vt); }

HRESULT WriteFixed(IStream* stream, const VARIANT& v, int size) {
  switch (size) {
    case 1: return persist::WriteLE<BYTE>(stream, v.bVal);
    case 2: return persist::WriteLE<USHORT>(stream, v.uiVal);
    case 4: return persist::WriteLE<ULONG>(stream, v.ulVal);
    case 8: return persist::WriteLE<ULONGLONG>(stream, v.ullVal);
    default: return S_OK;
  }
}

HRESULT ReadFixed(IStream* stream, VARIANT* v, int size) {
  switch (size) {
    case 1: return persist::ReadLE(stream, &v->bVal);
    case 2: return persist::ReadLE(stream, &v->uiVal);
    case 4: return persist::ReadLE(stream, &v->ulVal);
    case 8: return persist::ReadLE(stream, &v->ullVal);
    default: return S_OK;
  }
}

HRESULT WriteString(IStream* stream, BSTR text) {
  if (!text) return persist::WriteLE<DWORD>(stream, kNullStringLength);
  UINT length = SysStringLen(text);
  HRESULT hr = persist::WriteLE<DWORD>(stream, length);
  if (FAILED(hr)) return hr;
  return persist::WriteUtf16(stream, text, length);
}

HRESULT ReadString(IStream* stream, BSTR* text) {
  DWORD length = 0;
  HRESULT hr = persist::ReadLE(stream, &length);
  if (FAILED(hr)) return hr;
  if (length == kNullStringLength) {
    *text = nullptr;
    return S_OK;
  }
  std::u16string units;
  hr = persist::ReadUtf16(stream, length, &units);
  if (FAILED(hr)) return hr;
  *text = SysAllocStringLen(units.data(), static_cast<UINT>(units.size()));
  return *text ? S_OK : E_OUTOFMEMORY;
}

// Saves through IPersistStreamInit, or else IPersistStream.
template <class Persist>
HRESULT SaveWith(IStream* stream, Persist* persist, BOOL clearDirty) {
  CLSID clsid{};
  HRESULT hr = persist->GetClassID(&clsid);
  if (FAILED(hr)) return hr;
  if (IsEqualCLSID(clsid, CLSID_NULL)) return E_UNEXPECTED;  // would read back as no object
  hr = WriteClassStm(stream, clsid);
  if (FAILED(hr)) return hr;
  return persist->Save(stream, clearDirty);
}

HRESULT WriteObject(IStream* stream, IUnknown* object, BOOL clearDirty) {
  if (!object) return WriteClassStm(stream, CLSID_NULL);
  ComPtr<IPersistStreamInit> init;
  if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&init))) && init)
    return SaveWith(stream, init.get(), clearDirty);
  ComPtr<IPersistStream> plain;
  HRESULT hr = object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&plain));
  if (FAILED(hr)) return hr;
  if (!plain) return E_NOINTERFACE;
  return SaveWith(stream, plain.get(), clearDirty);
}

HRESULT CreateObject(REFCLSID clsid, ComPtr<IUnknown>* object) {
  return CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, reinterpret_cast<void**>(&*object));
}

HRESULT LoadObject(IStream* stream, IUnknown* object) {
  ComPtr<IPersistStreamInit> init;
  if (SUCCEEDED(object->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&init))) && init)
    return init->Load(stream);
  ComPtr<IPersistStream> plain;
  HRESULT hr = object->QueryInterface(IID_IPersistStream, reinterpret_cast<void**>(&plain));
  if (FAILED(hr)) return hr;
  if (!plain) return E_NOINTERFACE;
  return plain->Load(stream);
}

// Leaves a new reference in *out as IDispatch or IUnknown, as `type` asks.
HRESULT ReadObject(IStream* stream, VARTYPE type, IUnknown** out) {
  CLSID clsid{};
  HRESULT hr = ReadClassStm(stream, &clsid);
  if (FAILED(hr)) return hr;
  if (IsEqualCLSID(clsid, CLSID_NULL)) return S_OK;
  ComPtr<IUnknown> object;
  hr = CreateObject(clsid, std::addressof(object));
  if (FAILED(hr)) return hr;
  if (!object) return E_UNEXPECTED;
  hr = LoadObject(stream, object.get());
  if (FAILED(hr)) return hr;
  const IID& iid = type == VT_DISPATCH ? IID_IDispatch : IID_IUnknown;
  hr = object->QueryInterface(iid, reinterpret_cast<void**>(out));
  if (SUCCEEDED(hr) && !*out) return E_NOINTERFACE;
  return hr;
}

}  // namespace

HRESULT WriteTypedValue(IStream* stream, const VARIANT& value, BOOL clearDirty) {
  VARTYPE vt = value.vt;
  if (!IsKnownType(vt)) return DISP_E_BADVARTYPE;
  HRESULT hr = persist::WriteLE<WORD>(stream, vt);
  if (FAILED(hr)) return hr;
  if (vt == VT_BSTR) return WriteString(stream, value.bstrVal);
  if (IsObjectType(vt)) return WriteObject(stream, value.punkVal, clearDirty);
  return WriteFixed(stream, value, FixedPayloadSize(vt));
}

HRESULT ReadTypedValue(IStream* stream, VARTYPE expected, VARIANT* value) {
  WORD tag = 0;
  HRESULT hr = persist::ReadLE(stream, &tag);
  if (FAILED(hr)) return hr;
  VARTYPE vt = tag;
  if (!IsKnownType(vt)) return STG_E_DOCFILECORRUPT;
  if (expected != VT_EMPTY && vt != expected) return DISP_E_TYPEMISMATCH;

  VARIANT read{};
  if (vt == VT_BSTR) {
    hr = ReadString(stream, &read.bstrVal);
  } else if (IsObjectType(vt)) {
    hr = ReadObject(stream, vt, &read.punkVal);
  } else {
    hr = ReadFixed(stream, &read, FixedPayloadSize(vt));
  }
  if (FAILED(hr)) return hr;
  read.vt = vt;
  *value = read;
  return S_OK;
}

}  // namespace kelmira::propmap

// Line: stored attributes, the name, and the attached LineData.
#include "layers/line.h"
#include "common/stored_property.h"

#include <algorithm>

namespace kelmira::layers {
namespace {

// Style and PointStyle accept 0, 1 and 2; anything else falls back to 0.
LONG ZeroUnlessInRange(LONG value) { return value >= 0 && value <= 2 ? value : 0; }

}  // namespace

HRESULT Line::FinalConstruct() {
  // A new line's name is the empty string, not null.
  name_ = Bstr::Attach(SysAllocStringLen(u"", 0));
  return name_ ? S_OK : E_OUTOFMEMORY;
}

HRESULT Line::get_Style(LONG* pVal) { return common::GetStored(style_, pVal); }

HRESULT Line::put_Style(LONG newVal) {
  style_ = ZeroUnlessInRange(newVal);
  return S_OK;
}

HRESULT Line::get_Color(OLE_COLOR* pVal) { return common::GetStored(color_, pVal); }

HRESULT Line::put_Color(OLE_COLOR newVal) { return common::PutStored(color_, newVal); }

HRESULT Line::get_Visible(VARIANT_BOOL* pVal) { return common::GetStored(visible_, pVal); }

HRESULT Line::put_Visible(VARIANT_BOOL newVal) { return common::PutStored(visible_, newVal); }

HRESULT Line::get_PointStyle(LONG* pVal) { return common::GetStored(pointStyle_, pVal); }

HRESULT Line::put_PointStyle(LONG newVal) {
  pointStyle_ = ZeroUnlessInRange(newVal);
  return S_OK;
}

HRESULT Line::get_Width(LONG* pVal) { return common::GetStored(width_, pVal); }

HRESULT Line::put_Width(LONG newVal) {
  width_ = std::clamp<LONG>(newVal, 0, 100);
  return S_OK;
}

HRESULT Line::get_Name(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  if (!name_) return S_OK;
  Bstr copy(name_);
  if (!copy) return E_OUTOFMEMORY;
  *pVal = copy.Detach();
  return S_OK;
}

HRESULT Line::put_Name(BSTR newVal) {
  if (!newVal) {
    name_ = Bstr();
    return S_OK;
  }
  Bstr copy = Bstr::Attach(SysAllocStringLen(newVal, SysStringLen(newVal)));
  if (!copy) return E_OUTOFMEMORY;
  name_ = std::move(copy);
  return S_OK;
}

HRESULT Line::get_Data(ILineData** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  if (!data_) {
    ComPtr<ILineData> created;
    HRESULT hr = CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData,
                                  reinterpret_cast<void**>(&created));
    if (FAILED(hr)) return hr;
    if (!created) return E_UNEXPECTED;
    data_ = std::move(created);
  }
  return data_.CopyTo(pVal);
}

HRESULT Line::put_Data(ILineData* newVal) {
  // The new reference is taken before the old one goes.
  data_ = ComPtr<ILineData>(newVal);
  return S_OK;
}

HRESULT Line::GetAttachedData(ILineData** ppData) {
  if (!ppData) return E_POINTER;
  return data_.CopyTo(ppData);
}

}  // namespace kelmira::layers

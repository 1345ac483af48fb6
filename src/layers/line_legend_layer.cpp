#include "layers/line_legend_layer.h"
#include "common/stored_property.h"

namespace kelmira::layers {

HRESULT LineLegendLayer::Redraw(DrawLayerInfo) { return S_OK; }

HRESULT LineLegendLayer::get_UseBitmap(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = VARIANT_TRUE;
  return E_NOTIMPL;
}

HRESULT LineLegendLayer::put_UseBitmap(VARIANT_BOOL) { return S_OK; }

HRESULT LineLegendLayer::get_LineLayer(ILineLayer** pVal) { return lineLayer_.CopyTo(pVal); }

HRESULT LineLegendLayer::put_LineLayer(ILineLayer* newVal) {
  if (!newVal) {
    lineLayer_.Reset();
    return S_OK;
  }
  ComPtr<ILineLayer> queried;
  const HRESULT hr = newVal->QueryInterface(IID_ILineLayer, reinterpret_cast<void**>(&queried));
  if (hr == E_NOINTERFACE) {
    lineLayer_.Reset();
    return S_OK;
  }
  if (FAILED(hr)) return hr;
  if (!queried) return E_UNEXPECTED;  // a query that claims success without an interface
  lineLayer_ = std::move(queried);
  return S_OK;
}

HRESULT LineLegendLayer::get_HorizontalPosition(LONG* pVal) { return common::GetStored(horizontalPosition_, pVal); }

HRESULT LineLegendLayer::put_HorizontalPosition(LONG newVal) { return common::PutStored(horizontalPosition_, newVal); }

HRESULT LineLegendLayer::get_VerticalPosition(LONG* pVal) { return common::GetStored(verticalPosition_, pVal); }

HRESULT LineLegendLayer::put_VerticalPosition(LONG newVal) { return common::PutStored(verticalPosition_, newVal); }

}  // namespace kelmira::layers

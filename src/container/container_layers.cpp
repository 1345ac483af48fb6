// The layer-collection members of IGraphicsContainer. None of them repaints; the host calls
// Redraw or RedrawLayer after changing the stack.
#include "container/graphics_container.h"

#include <utility>

namespace kelmira::container {

HRESULT GraphicsContainer::get_Layers(VARIANT vIndex, IGraphicsLayer** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  LONG position = LayerStack::kNotFound;
  HRESULT hr = layers_.FindLayer(vIndex, &position);
  if (FAILED(hr) || position == LayerStack::kNotFound) return hr;
  return layers_.At(position).layer.CopyTo(pVal);
}

HRESULT GraphicsContainer::put_Layers(VARIANT vIndex, IGraphicsLayer* newVal) {
  // Asked first: the object's QueryInterface runs foreign code that might change the stack.
  ComPtr<IGraphicsLayer> replaced = AsLayer(newVal);
  LONG position = LayerStack::kNotFound;
  HRESULT hr = layers_.FindLayer(vIndex, &position);
  if (FAILED(hr) || position == LayerStack::kNotFound) return hr;
  std::swap(layers_.At(position).layer, replaced);
  return S_OK;  // the old layer goes with `replaced`, after the record is consistent
}

HRESULT GraphicsContainer::get_LayerName(LONG nIndex, BSTR* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  if (!layers_.Contains(nIndex)) return E_INVALIDARG;
  const Bstr& name = layers_.At(nIndex).name;
  if (name.length() == 0) return S_OK;
  *pVal = SysAllocStringLen(name.get(), name.length());
  return *pVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT GraphicsContainer::put_LayerName(LONG nIndex, BSTR newVal) {
  if (!layers_.Contains(nIndex)) return E_INVALIDARG;
  Bstr copy;
  if (SysStringLen(newVal) > 0) {
    copy = Bstr::Attach(SysAllocStringLen(newVal, SysStringLen(newVal)));
    if (!copy) return E_OUTOFMEMORY;
  }
  layers_.At(nIndex).name = std::move(copy);
  return S_OK;
}

HRESULT GraphicsContainer::get_LayerIndex(BSTR sLayerName, LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = layers_.IndexOfName(sLayerName);
  return S_OK;
}

HRESULT GraphicsContainer::get_Count(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = layers_.Count();
  return S_OK;
}

HRESULT GraphicsContainer::AddLayer(BSTR sName, IGraphicsLayer* pLayer, VARIANT_BOOL* pbResult) {
  if (!pbResult) return E_POINTER;
  LayerRecord record;
  if (SysStringLen(sName) > 0) {
    record.name = Bstr::Attach(SysAllocStringLen(sName, SysStringLen(sName)));
    if (!record.name) return E_OUTOFMEMORY;
  }
  record.layer = AsLayer(pLayer);
  const HRESULT hr = Guarded([&] { layers_.Add(std::move(record)); });
  if (SUCCEEDED(hr)) *pbResult = VARIANT_TRUE;
  return hr;
}

HRESULT GraphicsContainer::RemoveLayer(VARIANT vIndex, VARIANT_BOOL* pbResult) {
  if (!pbResult) return E_POINTER;
  // A position only: a name is converted like any other value, not looked up.
  Variant position;
  HRESULT hr = VariantChangeType(&position, &vIndex, 0, VT_I4);
  if (FAILED(hr)) return hr;
  if (!layers_.Contains(position.lVal)) return E_INVALIDARG;
  LayerRecord removed = layers_.Remove(position.lVal);
  *pbResult = VARIANT_TRUE;
  return S_OK;  // `removed` releases its layer once the stack is consistent again
}

HRESULT GraphicsContainer::RemoveAllLayers() {
  std::vector<LayerRecord> removed = layers_.TakeAll();
  return S_OK;
}

HRESULT GraphicsContainer::MoveLayerToTop(VARIANT) { return E_NOTIMPL; }

HRESULT GraphicsContainer::MoveLayerToBottom(VARIANT) { return E_NOTIMPL; }

HRESULT GraphicsContainer::IsLayerVisible(VARIANT vIndex, VARIANT_BOOL* pbResult) {
  if (!pbResult) return E_POINTER;
  *pbResult = VARIANT_FALSE;
  LONG position = LayerStack::kNotFound;
  HRESULT hr = layers_.FindLayer(vIndex, &position);
  if (SUCCEEDED(hr) && position != LayerStack::kNotFound) *pbResult = layers_.At(position).visible;
  return hr;
}

HRESULT GraphicsContainer::SetLayerVisible(VARIANT vIndex, VARIANT_BOOL bVisible) {
  LONG position = LayerStack::kNotFound;
  HRESULT hr = layers_.FindLayer(vIndex, &position);
  if (SUCCEEDED(hr) && position != LayerStack::kNotFound)
    layers_.At(position).visible = bVisible ? VARIANT_TRUE : VARIANT_FALSE;
  return hr;
}

HRESULT GraphicsContainer::SetLayerRightYAxis(VARIANT vIndex, VARIANT_BOOL bRightYAxis) {
  LONG position = LayerStack::kNotFound;
  HRESULT hr = layers_.FindLayer(vIndex, &position);
  if (SUCCEEDED(hr) && position != LayerStack::kNotFound) layers_.At(position).rightYAxis = bRightYAxis;
  return hr;
}

HRESULT GraphicsContainer::get_HasRightYAxisLayers(VARIANT_BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = layers_.HasRightYAxisLayers() ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT GraphicsContainer::GetLayerRightYAxis(VARIANT vIndex, VARIANT_BOOL* pbResult) {
  if (!pbResult) return E_POINTER;
  *pbResult = VARIANT_FALSE;
  LONG position = LayerStack::kNotFound;
  HRESULT hr = layers_.FindLayer(vIndex, &position);
  if (SUCCEEDED(hr) && position != LayerStack::kNotFound) *pbResult = layers_.At(position).rightYAxis;
  return hr;
}

}  // namespace kelmira::container

// Finding records by name or position, and the record bookkeeping of the stack.
#include "container/layer_stack.h"

namespace kelmira::container {

ComPtr<IGraphicsLayer> AsLayer(IUnknown* object) {
  ComPtr<IGraphicsLayer> layer;
  if (object) object->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&layer));
  return layer;
}

HRESULT LayerStack::FindLayer(const VARIANT& index, LONG* position) const {
  *position = kNotFound;
  Variant copy;
  HRESULT hr = VariantCopyInd(&copy, &index);
  if (FAILED(hr)) return hr;
  if (copy.vt == VT_BSTR) {
    *position = IndexOfName(copy.bstrVal);
    return S_OK;
  }
  if (copy.vt != VT_I4) {
    hr = VariantChangeType(&copy, &copy, 0, VT_I4);
    if (FAILED(hr)) return hr;
  }
  if (Contains(copy.lVal)) *position = copy.lVal;
  return S_OK;
}

LONG LayerStack::IndexOfName(const OLECHAR* name) const {
  for (LONG i = 0; i < Count(); ++i)
    if (NamesEqualIgnoringCase(At(i).name.get(), name)) return i;
  return kNotFound;
}

bool LayerStack::HasRightYAxisLayers() const {
  for (const LayerRecord& record : records_)
    if (record.rightYAxis != 0) return true;
  return false;
}

LayerRecord LayerStack::Remove(LONG position) {
  LayerRecord removed = std::move(At(position));
  records_.erase(records_.begin() + position);
  return removed;
}

void LayerStack::DeleteCachedBitmaps() {
  for (LayerRecord& record : records_) record.bitmap.Delete();
}

}  // namespace kelmira::container

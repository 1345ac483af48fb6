// Finding records by name or position, and the record bookkeeping of the stack.
#include "container/layer_stack.h"

#include "common/variant_index.h"

namespace kelmira::container {

ComPtr<IGraphicsLayer> AsLayer(IUnknown* object) {
  ComPtr<IGraphicsLayer> layer;
  if (object) object->QueryInterface(IID_IGraphicsLayer, reinterpret_cast<void**>(&layer));
  return layer;
}

HRESULT LayerStack::FindLayer(const VARIANT& index, LONG* position) const {
  std::optional<std::size_t> found;
  const HRESULT hr = common::FindByVariantIndex(
      index, records_.size(),
      [this](std::size_t i, const OLECHAR* name) {
        return common::NamesEqualIgnoringCase(At(static_cast<LONG>(i)).name.get(), name);
      },
      &found);
  *position = found ? static_cast<LONG>(*found) : kNotFound;
  return hr;
}

LONG LayerStack::IndexOfName(const OLECHAR* name) const {
  for (LONG i = 0; i < Count(); ++i)
    if (common::NamesEqualIgnoringCase(At(i).name.get(), name)) return i;
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

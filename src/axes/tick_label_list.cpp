// The ready-made label list of include/kelmira/tick_label_list.h.
#include <kelmira/tick_label_list.h>

#include <kelmira/platform/dispatch_impl.h>

#include <vector>

namespace kelmira::axes {
namespace {

class TickLabelList : public DispatchImpl<ITickLabelList> {
 public:
  using Interfaces = InterfaceTable<ITickLabelList, Via<IDispatch, ITickLabelList>>;

  HRESULT STDMETHODCALLTYPE LabelAt(VARIANT vIndex, VARIANT* pValue) override {
    if (!pValue) return E_POINTER;
    std::size_t i = 0;
    HRESULT hr = Existing(vIndex, &i);
    if (FAILED(hr)) return hr;
    return VariantCopy(pValue, &labels_[i]);
  }
  HRESULT STDMETHODCALLTYPE SetLabel(VARIANT vIndex, VARIANT vValue) override {
    LONG i = 0;
    HRESULT hr = Position(vIndex, &i);
    if (FAILED(hr)) return hr;
    if (i < 0 || static_cast<std::size_t>(i) >= kMaxLabels) return E_INVALIDARG;
    return Guarded([&] {
      Variant value;
      HRESULT copied = VariantCopyInd(&value, &vValue);
      if (FAILED(copied)) return copied;
      if (static_cast<std::size_t>(i) >= labels_.size()) labels_.resize(static_cast<std::size_t>(i) + 1);
      labels_[static_cast<std::size_t>(i)] = value;
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE AddLabel(VARIANT vValue, LONG* pnIndex) override {
    if (!pnIndex) return E_POINTER;
    if (labels_.size() >= kMaxLabels) return E_OUTOFMEMORY;
    return Guarded([&] {
      Variant value;
      HRESULT hr = VariantCopyInd(&value, &vValue);
      if (FAILED(hr)) return hr;
      labels_.push_back(value);
      *pnIndex = static_cast<LONG>(labels_.size() - 1);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE InsertLabel(VARIANT vIndex, VARIANT vValue) override {
    LONG i = 0;
    HRESULT hr = Position(vIndex, &i);
    if (FAILED(hr)) return hr;
    if (i < 0 || static_cast<std::size_t>(i) > labels_.size()) return E_INVALIDARG;
    if (labels_.size() >= kMaxLabels) return E_OUTOFMEMORY;
    return Guarded([&] {
      Variant value;
      HRESULT copied = VariantCopyInd(&value, &vValue);
      if (FAILED(copied)) return copied;
      labels_.insert(labels_.begin() + i, value);
      return S_OK;
    });
  }
  HRESULT STDMETHODCALLTYPE RemoveLabel(VARIANT vIndex) override {
    std::size_t i = 0;
    HRESULT hr = Existing(vIndex, &i);
    if (FAILED(hr)) return hr;
    labels_.erase(labels_.begin() + static_cast<std::ptrdiff_t>(i));
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clear() override {
    labels_.clear();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE LabelCount(LONG* pnCount) override {
    if (!pnCount) return E_POINTER;
    *pnCount = static_cast<LONG>(labels_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetLabelCount(LONG nCount) override {
    if (nCount < 0) return E_INVALIDARG;
    if (static_cast<std::size_t>(nCount) > kMaxLabels) return E_INVALIDARG;
    return Guarded([&] { labels_.resize(static_cast<std::size_t>(nCount)); });
  }
  HRESULT STDMETHODCALLTYPE ClearLabel(VARIANT vIndex) override {
    std::size_t i = 0;
    HRESULT hr = Existing(vIndex, &i);
    if (FAILED(hr)) return hr;
    labels_[i].Clear();
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE HasLabel(VARIANT vIndex, VARIANT_BOOL* pbResult) override {
    if (!pbResult) return E_POINTER;
    *pbResult = VARIANT_FALSE;
    LONG i = 0;
    HRESULT hr = Position(vIndex, &i);
    if (FAILED(hr)) return hr;
    if (i >= 0 && static_cast<std::size_t>(i) < labels_.size() && labels_[static_cast<std::size_t>(i)].vt != VT_EMPTY)
      *pbResult = VARIANT_TRUE;
    return S_OK;
  }

 private:
  // Far more than an axis draws ticks, and small enough that a stray index cannot make the list
  // take gigabytes.
  static constexpr std::size_t kMaxLabels = std::size_t{1} << 24;

  static HRESULT Position(const VARIANT& index, LONG* position) {
    Variant converted;
    const HRESULT hr = VariantChangeType(&converted, &index, 0, VT_I4);
    if (SUCCEEDED(hr)) *position = converted.lVal;
    return hr;
  }
  HRESULT Existing(const VARIANT& index, std::size_t* position) const {
    LONG i = 0;
    const HRESULT hr = Position(index, &i);
    if (FAILED(hr)) return hr;
    if (i < 0 || static_cast<std::size_t>(i) >= labels_.size()) return E_INVALIDARG;
    *position = static_cast<std::size_t>(i);
    return S_OK;
  }

  std::vector<Variant> labels_;
};

}  // namespace
}  // namespace kelmira::axes

HRESULT KelmiraCreateTickLabelList(ITickLabelList** list) {
  if (!list) return E_POINTER;
  *list = nullptr;
  using kelmira::Object;
  using kelmira::axes::TickLabelList;
  Object<TickLabelList>* made = nullptr;
  const HRESULT hr = Object<TickLabelList>::Make(&made);
  if (FAILED(hr)) return hr;
  *list = made;  // Make handed over its reference
  return S_OK;
}

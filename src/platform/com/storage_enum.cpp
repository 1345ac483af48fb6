// IEnumSTATSTG over a snapshot of a storage's elements taken when EnumElements was called.
#include "com/storage_tree.h"
#include "com/utf16_util.h"

#include <kelmira/platform/com_object.h>

namespace kelmira::storage {
namespace {

class ElementEnumerator : public IEnumSTATSTG {
 public:
  using Interfaces = InterfaceTable<IEnumSTATSTG>;

  ElementEnumerator(std::shared_ptr<const std::vector<ElementInfo>> items, std::size_t pos)
      : items_(std::move(items)), pos_(pos) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, STATSTG* rgelt, ULONG* pceltFetched) override {
    if (pceltFetched) *pceltFetched = 0;
    if (!rgelt) return STG_E_INVALIDPOINTER;
    if (celt > 1 && !pceltFetched) return STG_E_INVALIDPARAMETER;
    ULONG fetched = 0;
    while (fetched < celt && pos_ < items_->size()) {
      const ElementInfo& info = (*items_)[pos_];
      STATSTG& s = rgelt[fetched];
      s = STATSTG{};
      s.pwcsName = utf16::TaskStrDup(info.name);
      if (!s.pwcsName) {
        for (ULONG i = 0; i < fetched; ++i) CoTaskMemFree(rgelt[i].pwcsName);
        pos_ -= fetched;
        return E_OUTOFMEMORY;
      }
      s.type = info.type;
      s.cbSize.QuadPart = info.size;
      s.grfMode = STGM_READWRITE | STGM_SHARE_EXCLUSIVE;
      s.clsid = info.clsid;
      s.grfStateBits = info.stateBits;
      ++fetched;
      ++pos_;
    }
    if (pceltFetched) *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override {
    std::size_t left = items_->size() - pos_;
    if (celt > left) {
      pos_ = items_->size();
      return S_FALSE;
    }
    pos_ += celt;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Reset() override {
    pos_ = 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IEnumSTATSTG** ppenum) override {
    if (!ppenum) return STG_E_INVALIDPOINTER;
    *ppenum = nullptr;
    ComPtr<Object<ElementEnumerator>> clone;
    HRESULT hr = Object<ElementEnumerator>::Make(&clone, items_, pos_);
    if (SUCCEEDED(hr)) *ppenum = clone.Detach();
    return hr;
  }

 private:
  std::shared_ptr<const std::vector<ElementInfo>> items_;
  std::size_t pos_;
};

}  // namespace

HRESULT CreateElementEnumerator(std::vector<ElementInfo> elements, IEnumSTATSTG** out) {
  return Guarded([&] {
    auto items = std::make_shared<const std::vector<ElementInfo>>(std::move(elements));
    ComPtr<Object<ElementEnumerator>> e;
    HRESULT hr = Object<ElementEnumerator>::Make(&e, std::move(items), std::size_t{0});
    if (SUCCEEDED(hr)) *out = e.Detach();
    return hr;
  });
}

}  // namespace kelmira::storage

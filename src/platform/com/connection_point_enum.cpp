// The two enumerators share one template: a vector taken at creation and a position in it.
#include "com/connection_point_enum.h"

#include <kelmira/platform/guarded.h>

#include <memory>
#include <utility>

namespace kelmira::detail {
namespace {

void CopyOut(const ConnectionPoint::Connection& from, CONNECTDATA* to) {
  to->pUnk = from.sink.get();
  to->pUnk->AddRef();
  to->dwCookie = from.cookie;
}

void CopyOut(const ComPtr<IConnectionPoint>& from, IConnectionPoint** to) {
  *to = from.get();
  (*to)->AddRef();
}

template <class Base, class Element, class Held>
class SnapshotEnum : public Base {
 public:
  using Interfaces = InterfaceTable<Base>;
  static constexpr bool kAggregatable = false;

  SnapshotEnum(std::vector<Held> items, std::size_t pos) : items_(std::move(items)), pos_(pos) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG count, Element* out, ULONG* fetched) override {
    if (fetched) *fetched = 0;
    if (count == 0) return S_OK;
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    for (; n < count && pos_ < items_.size(); ++n, ++pos_) CopyOut(items_[pos_], &out[n]);
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE Skip(ULONG count) override {
    std::size_t left = items_.size() - pos_;
    if (count > left) {
      pos_ = items_.size();
      return S_FALSE;
    }
    pos_ += count;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Reset() override {
    pos_ = 0;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(Base** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Guarded([&] { return Make(items_, pos_, out); });
  }

  static HRESULT Make(std::vector<Held> items, std::size_t pos, Base** out) {
    ComPtr<Object<SnapshotEnum>> e;
    HRESULT hr = Object<SnapshotEnum>::Make(&e, std::move(items), pos);
    if (FAILED(hr)) return hr;
    *out = e.Detach();
    return S_OK;
  }

 private:
  std::vector<Held> items_;
  std::size_t pos_;
};

using ConnectionEnum = SnapshotEnum<IEnumConnections, CONNECTDATA, ConnectionPoint::Connection>;
using PointEnum = SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, ComPtr<IConnectionPoint>>;

}  // namespace

HRESULT MakeConnectionEnum(std::vector<ConnectionPoint::Connection> items, IEnumConnections** out) {
  return ConnectionEnum::Make(std::move(items), 0, out);
}

HRESULT MakeConnectionPointEnum(std::vector<ComPtr<IConnectionPoint>> items, IEnumConnectionPoints** out) {
  return PointEnum::Make(std::move(items), 0, out);
}

}  // namespace kelmira::detail

// IEnumSTATDATA over a snapshot of a holder's connections.
#include "control/statdata_enum.h"

#include <kelmira/platform/combase.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <cstring>

namespace kelmira {

void AssignFormat(AdviseConnection& connection, const FORMATETC& format) {
  connection.format = format;
  connection.targetDevice.clear();
  connection.format.ptd = nullptr;
  if (!format.ptd || format.ptd->tdSize < sizeof(DWORD)) return;
  const auto* bytes = reinterpret_cast<const BYTE*>(format.ptd);
  connection.targetDevice.assign(bytes, bytes + format.ptd->tdSize);
}

namespace {

// A target device for the receiver, which frees it with CoTaskMemFree.
DVTARGETDEVICE* TaskCopyOf(const std::vector<BYTE>& device) {
  if (device.empty()) return nullptr;
  void* copy = CoTaskMemAlloc(device.size());
  if (!copy) return nullptr;
  std::memcpy(copy, device.data(), device.size());
  return static_cast<DVTARGETDEVICE*>(copy);
}

class StatDataEnum : public IEnumSTATDATA {
 public:
  using Interfaces = InterfaceTable<IEnumSTATDATA>;

  explicit StatDataEnum(std::vector<AdviseConnection> connections) : connections_(std::move(connections)) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, STATDATA* rgelt, ULONG* pceltFetched) override {
    if (pceltFetched) *pceltFetched = 0;
    if (celt && !rgelt) return E_POINTER;
    if (celt > 1 && !pceltFetched) return E_INVALIDARG;
    ULONG fetched = 0;
    while (fetched < celt && position_ < connections_.size()) {
      const AdviseConnection& c = connections_[position_++];
      STATDATA& out = rgelt[fetched++];
      out.formatetc = c.format;
      out.formatetc.ptd = TaskCopyOf(c.targetDevice);
      out.advf = c.advf;
      out.pAdvSink = c.sink.get();
      if (out.pAdvSink) out.pAdvSink->AddRef();
      out.dwConnection = c.cookie;
    }
    if (pceltFetched) *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override {
    const std::size_t left = connections_.size() - position_;
    position_ += std::min<std::size_t>(celt, left);
    return celt <= left ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    position_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumSTATDATA** ppenum) override {
    if (!ppenum) return E_POINTER;
    *ppenum = nullptr;
    ComPtr<Object<StatDataEnum>> clone;
    HRESULT hr = Object<StatDataEnum>::Make(&clone, connections_);
    if (FAILED(hr)) return hr;
    clone->position_ = position_;
    *ppenum = clone.Detach();
    return S_OK;
  }

 private:
  std::vector<AdviseConnection> connections_;
  std::size_t position_ = 0;
};

}  // namespace

HRESULT MakeStatDataEnum(const std::vector<AdviseConnection>& connections, IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return Guarded([&] {
    ComPtr<Object<StatDataEnum>> made;
    HRESULT hr = Object<StatDataEnum>::Make(&made, connections);
    if (FAILED(hr)) return hr;
    *out = made.Detach();
    return S_OK;
  });
}

}  // namespace kelmira

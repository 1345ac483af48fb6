// Test-only interfaces and small objects on the object base: a plain one, one that aggregates it,
// and one that refuses both construction and aggregation.
#pragma once

#include <kelmira/platform.h>

// Interfaces stay in the global namespace, where their IIDs are defined.
struct IAlpha : IUnknown {
  virtual int STDMETHODCALLTYPE Alpha() = 0;
};
struct IBeta : IUnknown {
  virtual int STDMETHODCALLTYPE Beta() = 0;
};
struct IGamma : IUnknown {};
KELMIRA_DEFINE_IID(IAlpha, 0x1d0c2a10, 0x51e4, 0x4f3c, 0x9b, 0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x01);
KELMIRA_DEFINE_IID(IBeta, 0x1d0c2a10, 0x51e4, 0x4f3c, 0x9b, 0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x02);
KELMIRA_DEFINE_IID(IGamma, 0x1d0c2a10, 0x51e4, 0x4f3c, 0x9b, 0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x03);

namespace kelmira::test {

inline int gPairsDestroyed = 0;

// Alpha() answers the value it was made with, Beta() 2.
class Pair : public IAlpha, public IBeta {
 public:
  using Interfaces = InterfaceTable<IAlpha, IBeta>;
  explicit Pair(int alpha = 1) : alpha_(alpha) {}
  ~Pair() { ++gPairsDestroyed; }
  int STDMETHODCALLTYPE Alpha() override { return alpha_; }
  int STDMETHODCALLTYPE Beta() override { return 2; }

 private:
  int alpha_;
};

// Aggregates a Pair and hands it the queries for interfaces of its own table does not have.
class Outer : public IGamma {
 public:
  using Interfaces = InterfaceTable<IGamma>;
  void SetControllingUnknown(IUnknown* unknown) { controlling_ = unknown; }
  HRESULT FinalConstruct() {
    return Object<Pair>::Create(controlling_, IID_IUnknown, reinterpret_cast<void**>(&inner_));
  }
  HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) { return inner_->QueryInterface(riid, ppv); }

 private:
  IUnknown* controlling_ = nullptr;
  ComPtr<IUnknown> inner_;
};

class Refusing : public IAlpha {
 public:
  using Interfaces = InterfaceTable<IAlpha>;
  static constexpr bool kAggregatable = false;
  HRESULT FinalConstruct() { return E_ACCESSDENIED; }
  int STDMETHODCALLTYPE Alpha() override { return 0; }
};

}  // namespace kelmira::test

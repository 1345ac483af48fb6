// The root interfaces: IUnknown and IClassFactory, and the way an interface type names its IID.
//
// Interfaces are abstract classes with pure virtual methods in table order and no virtual
// destructor, so their layout is the COM layout. `KELMIRA_DEFINE_IID(I, ...)` gives an interface
// its identifier as `IID_I` and as `__uuidof(I)`.
#pragma once

#include <kelmira/platform/types.h>

#include <type_traits>

namespace kelmira {
template <class I>
struct InterfaceId;  // specialised by KELMIRA_DEFINE_IID
}  // namespace kelmira

#define __uuidof(I) (::kelmira::InterfaceId<std::remove_cv_t<std::remove_pointer_t<std::remove_cv_t<I>>>>::value)

#define KELMIRA_DEFINE_IID(I, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                  \
  inline constexpr IID IID_##I = KELMIRA_GUID(l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8); \
  template <>                                                                             \
  struct kelmira::InterfaceId<I> {                                                        \
    static constexpr const IID& value = IID_##I;                                          \
  }

#define KELMIRA_DEFINE_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  inline constexpr GUID name = KELMIRA_GUID(l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)

struct IUnknown {
  virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppvObject) = 0;
  virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
  virtual ULONG STDMETHODCALLTYPE Release() = 0;

  // Typed convenience, as the desktop headers offer it.
  template <class Q>
  HRESULT QueryInterface(Q** pp) {
    return QueryInterface(__uuidof(Q), reinterpret_cast<void**>(pp));
  }
};
using LPUNKNOWN = IUnknown*;
KELMIRA_DEFINE_IID(IUnknown, 0x00000000, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

struct IClassFactory : IUnknown {
  virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) = 0;
  virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL fLock) = 0;
};
using LPCLASSFACTORY = IClassFactory*;
KELMIRA_DEFINE_IID(IClassFactory, 0x00000001, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);

// Module entry point signatures, for hosts that load a module themselves.
using LPFNGETCLASSOBJECT = HRESULT (*)(REFCLSID, REFIID, void**);
using LPFNCANUNLOADNOW = HRESULT (*)();

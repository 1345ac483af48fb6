// A class object that refuses to make its class, registered in the process for a scope: for the
// tests of objects that must fail as a whole when one of their parts cannot be made.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::test {

class FailingFactory : public IClassFactory {
 public:
  // Registered ahead of the module's own class object for clsid until the factory goes.
  FailingFactory(REFCLSID clsid, HRESULT answer) : answer_(answer) {
    CoRegisterClassObject(clsid, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_);
  }
  ~FailingFactory() { CoRevokeClassObject(cookie_); }
  FailingFactory(const FailingFactory&) = delete;
  FailingFactory& operator=(const FailingFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    *ppv = riid == IID_IUnknown || riid == IID_IClassFactory ? this : nullptr;
    return *ppv ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void** ppv) override {
    *ppv = nullptr;
    return answer_;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  HRESULT answer_;
  DWORD cookie_ = 0;
};

}  // namespace kelmira::test

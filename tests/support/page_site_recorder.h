// A property page site that records the status changes its page reports.
#pragma once

#include <kelmira/kelmira.h>

#include <vector>

namespace kelmira::test {

struct PageSiteRecorder : IPropertyPageSite {
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override {
    const bool known = IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IPropertyPageSite);
    *ppv = known ? static_cast<IPropertyPageSite*>(this) : nullptr;
    if (!known) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
  ULONG STDMETHODCALLTYPE Release() override { return --refs; }
  HRESULT STDMETHODCALLTYPE OnStatusChange(DWORD flags) override {
    statuses.push_back(flags);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetLocaleID(LCID* id) override { return *id = LOCALE_USER_DEFAULT, S_OK; }
  HRESULT STDMETHODCALLTYPE GetPageContainer(IUnknown** unk) override { return *unk = nullptr, E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

  ULONG refs = 1;
  std::vector<DWORD> statuses;
};

}  // namespace kelmira::test

// OleCreatePropertyFrame: makes every page before anything is shown, gives each one a site and the
// objects, shows the modal frame, and afterwards takes the objects and the site back from every
// page. A page class that is not registered is left out, so an object that lists a page this
// process lacks (the stock colour and font pages) still shows the rest; any other failure to make
// a page, or no page at all, fails the call with nothing on the screen.
#include "control/property_frame.h"

#include "com/codepage.h"

#include <kelmira/platform/combase.h>
#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

namespace kelmira::control {
namespace {

std::string AnsiOf(const OLECHAR* text) {
  std::string out;
  for (const OLECHAR* c = text; c && *c; ++c) {
    int byte = codepage::ToWindows1252(*c);
    out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return out;
}

void FreePageInfo(PROPPAGEINFO& info) {
  CoTaskMemFree(info.pszTitle);
  CoTaskMemFree(info.pszDocString);
  CoTaskMemFree(info.pszHelpFile);
}

HRESULT CreatePages(ULONG count, const CLSID* classes, std::vector<FramePage>* out) {
  HRESULT missing = S_OK;
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IPropertyPage> page;
    HRESULT hr =
        CoCreateInstance(classes[i], nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, reinterpret_cast<void**>(&page));
    if (hr == REGDB_E_CLASSNOTREG || hr == CLASS_E_CLASSNOTAVAILABLE) {
      if (missing == S_OK) missing = hr;
      continue;
    }
    if (FAILED(hr)) return hr;
    if (!page) return E_NOINTERFACE;
    out->emplace_back().page = std::move(page);
  }
  return out->empty() ? missing : S_OK;
}

HRESULT SetUpPage(FramePage& p, ULONG cObjects, IUnknown** objects) {
  if (HRESULT hr = p.page->SetPageSite(p.site.get()); FAILED(hr)) return hr;
  if (HRESULT hr = p.page->SetObjects(cObjects, objects); FAILED(hr)) return hr;
  PROPPAGEINFO info{sizeof info, nullptr, {0, 0}, nullptr, nullptr, 0};
  HRESULT hr = p.page->GetPageInfo(&info);
  if (SUCCEEDED(hr)) {
    p.title = AnsiOf(info.pszTitle);
    p.size = info.size;
  }
  FreePageInfo(info);
  return hr;
}

// Every page that was given a site gets its objects and its site taken away; the sites forget
// the frame.
void TearDown(std::vector<FramePage>& pages) {
  for (FramePage& p : pages) {
    if (!p.page || !p.site) continue;
    p.page->SetObjects(0, nullptr);
    p.page->SetPageSite(nullptr);
    p.site->Detach();
  }
  pages.clear();
}

HRESULT ShowFrame(HWND owner, UINT x, UINT y, LPCOLESTR caption, ULONG cObjects, IUnknown** objects, ULONG cPages,
                  const CLSID* classes, LCID lcid) {
  PropertyFrame frame(caption ? AnsiOf(caption) + " Properties" : "Properties");
  std::vector<FramePage>& pages = frame.Pages();
  HRESULT hr = CreatePages(cPages, classes, &pages);
  if (FAILED(hr)) return hr;
  for (FramePage& p : pages) {
    if (FAILED(hr = Object<PageSite>::Make(&p.site, &frame, lcid))) break;
    if (FAILED(hr = SetUpPage(p, cObjects, objects))) break;
  }
  if (SUCCEEDED(hr)) {
    POINT at{static_cast<LONG>(x), static_cast<LONG>(y)};
    if (owner) ClientToScreen(owner, &at);
    hr = frame.Run(owner, at);
  }
  TearDown(pages);
  return hr;
}

}  // namespace
}  // namespace kelmira::control

HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption, ULONG cObjects, IUnknown** ppUnk,
                               ULONG cPages, const CLSID* pPageClsID, LCID lcid, DWORD, void*) {
  if ((cObjects && !ppUnk) || (cPages && !pPageClsID)) return E_POINTER;
  if (cPages == 0) return E_INVALIDARG;
  if (hwndOwner && !IsWindow(hwndOwner)) return E_INVALIDARG;
  return kelmira::Guarded([&] {
    return kelmira::control::ShowFrame(hwndOwner, x, y, lpszCaption, cObjects, ppUnk, cPages, pPageClsID, lcid);
  });
}

// A property page over a dialog with an edit and a check box, made by class identifier: typing or
// clicking makes it dirty. Pages are numbered in the order they are made and titled "A" and
// "Second page"; every call but Apply is logged ("0 Activate", ...).
#pragma once

#include <kelmira/platform.h>
#include <kelmira/platform/dialog_template.h>

#include <functional>
#include <string>
#include <vector>

namespace kelmira::test {

constexpr CLSID kFakePageClsid = {0x6B1E0C11, 0x2A44, 0x4F0E, {0x9D, 0x51, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}};

struct FakePages {
  std::vector<std::string> log;
  std::string applied;  // the numbers of the pages applied, in order
  HRESULT applyResult = S_OK;
  int made = 0, alive = 0;
};
inline FakePages g_pages;

class FakePage : public IPropertyPage {
 public:
  using Interfaces = InterfaceTable<IPropertyPage>;
  FakePage() : index_(g_pages.made++) { ++g_pages.alive; }
  ~FakePage() { --g_pages.alive; }

  HRESULT STDMETHODCALLTYPE SetPageSite(IPropertyPageSite* site) override {
    LCID lcid = 0;
    site_ = site;
    return Log(site && SUCCEEDED(site->GetLocaleID(&lcid)) ? "SetPageSite " + std::to_string(lcid) : "SetPageSite 0");
  }
  HRESULT STDMETHODCALLTYPE Activate(HWND parent, LPCRECT r, BOOL) override {
    DialogTemplateBuilder b(WS_CHILD | DS_CONTROL, 0, 0, 0, 0, 0, "", 8, "MS Sans Serif");
    b.AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 4, 4, 80, 12, 10, kEditClassAtom, "");
    b.AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX, 4, 22, 80, 12, 11, kButtonClassAtom, "&Check");
    HWND hwnd = CreateDialogIndirectParamA(nullptr, b.Template(), parent, &Proc, reinterpret_cast<LPARAM>(this));
    MoveWindow(hwnd, r->left, r->top, r->right - r->left, r->bottom - r->top, FALSE);
    hwnd_ = hwnd;  // from here on, changes make the page dirty
    return Log("Activate");
  }
  HRESULT STDMETHODCALLTYPE Deactivate() override {
    return DestroyWindow(std::exchange(hwnd_, nullptr)), Log("Deactivate");
  }
  HRESULT STDMETHODCALLTYPE GetPageInfo(PROPPAGEINFO* info) override {
    const std::u16string title = index_ == 0 ? u"A" : u"Second page";
    info->pszTitle = static_cast<LPOLESTR>(CoTaskMemAlloc((title.size() + 1) * sizeof(OLECHAR)));
    std::copy(title.c_str(), title.c_str() + title.size() + 1, info->pszTitle);
    info->size = {index_ == 0 ? 200 : 240, index_ == 0 ? 100 : 80};
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE SetObjects(ULONG n, IUnknown**) override { return Log("SetObjects " + std::to_string(n)); }
  HRESULT STDMETHODCALLTYPE Show(UINT cmd) override { return ShowWindow(hwnd_, cmd), Log("Show"); }
  HRESULT STDMETHODCALLTYPE Move(LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsPageDirty() override { return dirty_ ? S_OK : S_FALSE; }
  HRESULT STDMETHODCALLTYPE Apply() override {
    dirty_ = dirty_ && FAILED(g_pages.applyResult);
    return g_pages.applied += std::to_string(index_), g_pages.applyResult;
  }
  HRESULT STDMETHODCALLTYPE Help(LPCOLESTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE TranslateAccelerator(MSG*) override { return S_FALSE; }

 private:
  HRESULT Log(const std::string& call) { return g_pages.log.push_back(std::to_string(index_) + " " + call), S_OK; }
  static INT_PTR Proc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) SetWindowLongPtrA(hdlg, DWLP_USER, lParam);
    auto* page = reinterpret_cast<FakePage*>(GetWindowLongPtrA(hdlg, DWLP_USER));
    const bool change = msg == WM_COMMAND && (HIWORD(wParam) == EN_CHANGE || HIWORD(wParam) == BN_CLICKED);
    if (change && page && page->hwnd_ && page->site_) page->dirty_ = true, page->site_->OnStatusChange(1);
    return msg == WM_INITDIALOG;
  }

  int index_;
  IPropertyPageSite* site_ = nullptr;
  HWND hwnd_ = nullptr;
  bool dirty_ = false;
};

// Registers the page's class object for the process once; the log starts empty.
inline void ResetFakePages() {
  static ClassFactory factory{&Object<FakePage>::Create};
  static DWORD cookie = 0;
  if (!cookie) CoRegisterClassObject(kFakePageClsid, &factory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie);
  g_pages = FakePages{};
}

// Runs one step each time a modal loop goes idle; once they are spent the loop runs dry.
inline std::vector<std::function<void()>> g_idleSteps;
inline BOOL RunIdleStep(void*) {
  if (g_idleSteps.empty()) return FALSE;
  std::function<void()> step = g_idleSteps.front();
  g_idleSteps.erase(g_idleSteps.begin());
  return step(), TRUE;
}

}  // namespace kelmira::test

#include "proppages/graph_prop_page.h"

#include "proppages/page_fields.h"
#include "proppages/page_strings.h"
#include "proppages/page_template.h"

#include <kelmira/platform/guarded.h>

#include <cstring>

namespace kelmira::proppages {
namespace {

// ---- the colour dialog's hook: it subclasses the dialog as it starts and handles nothing

thread_local WNDPROC dialogProcBefore = nullptr;  // one colour dialog at a time per thread

LRESULT CALLBACK PassThrough(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WNDPROC before = dialogProcBefore;
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(before));
    dialogProcBefore = nullptr;
  }
  return before ? CallWindowProcA(before, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

UINT_PTR CALLBACK SubclassOnInit(HWND hwnd, UINT msg, WPARAM, LPARAM) {
  if (msg == WM_INITDIALOG)
    dialogProcBefore =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PassThrough)));
  return 0;
}

// ---- strings for GetPageInfo

LPOLESTR CoTaskString(UINT id) {
  const char* text = LoadModuleString(id);
  if (!text) text = "";
  const int length = static_cast<int>(std::strlen(text));
  const int chars = length ? MultiByteToWideChar(CP_ACP, 0, text, length, nullptr, 0) : 0;
  auto* out = static_cast<LPOLESTR>(CoTaskMemAlloc((static_cast<SIZE_T>(chars) + 1) * sizeof(OLECHAR)));
  if (!out) return nullptr;
  if (chars) MultiByteToWideChar(CP_ACP, 0, text, length, out, chars);
  out[chars] = 0;
  return out;
}

bool IsColourRequest(UINT msg) {
  return msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || msg == WM_CTLCOLORBTN || msg == WM_CTLCOLORDLG ||
         msg == WM_CTLCOLORSCROLLBAR || msg == WM_CTLCOLORSTATIC;
}

// The swatch a "..." button chooses the colour of; 0 for other controls.
int SwatchOfButton(int id) {
  switch (id) {
    case kBackColourButton: return kBackColourSwatch;
    case kGridColourButton: return kGridColourSwatch;
    case kTextColourButton: return kTextColourSwatch;
    default: return 0;
  }
}

}  // namespace

BaseGraphPropPage::~BaseGraphPropPage() {
  if (hwnd_) {
    SetWindowLongPtrA(hwnd_, DWLP_USER, 0);  // the dialog must not call back into a page being destroyed
    DestroyWindow(hwnd_);
  }
}

HRESULT BaseGraphPropPage::SetPageSite(IPropertyPageSite* pPageSite) {
  if (pPageSite && site_) return E_UNEXPECTED;
  site_ = pPageSite;
  return S_OK;
}

HRESULT BaseGraphPropPage::Activate(HWND hWndParent, LPCRECT pRect, BOOL) {
  if (!pRect) return E_POINTER;
  if (hwnd_) return E_UNEXPECTED;
  HWND hwnd =
      CreateDialogIndirectParamA(nullptr, PageTemplate(), hWndParent, &DialogProc, reinterpret_cast<LPARAM>(this));
  if (!hwnd) {
    const DWORD error = GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
  }
  MoveWindow(hwnd, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, TRUE);
  return S_OK;
}

HRESULT BaseGraphPropPage::Deactivate() {
  if (HWND hwnd = hwnd_) DestroyWindow(hwnd);
  hwnd_ = nullptr;
  styleList_ = nullptr;
  return S_OK;
}

HRESULT BaseGraphPropPage::GetPageInfo(PROPPAGEINFO* pPageInfo) {
  if (!pPageInfo) return E_POINTER;
  SIZE size{};
  if (!KelmiraGetDialogTemplateSize(PageTemplate(), &size)) return E_FAIL;
  LPOLESTR title = CoTaskString(kPageTitleString);
  LPOLESTR doc = CoTaskString(kPageDocString);
  LPOLESTR help = CoTaskString(kPageHelpFileString);
  if (!title || !doc || !help) {
    for (LPOLESTR s : {title, doc, help}) CoTaskMemFree(s);
    return E_OUTOFMEMORY;
  }
  *pPageInfo = PROPPAGEINFO{sizeof(PROPPAGEINFO), title, size, doc, help, 0};
  return S_OK;
}

HRESULT BaseGraphPropPage::SetObjects(ULONG cObjects, IUnknown** ppUnk) {
  if (cObjects && !ppUnk) return E_POINTER;
  return Guarded([&] {
    std::vector<ComPtr<IUnknown>> kept;
    kept.reserve(cObjects);
    for (ULONG i = 0; i < cObjects; ++i) kept.emplace_back(ppUnk[i]);
    objects_.swap(kept);
  });
}

HRESULT BaseGraphPropPage::Show(UINT nCmdShow) {
  if (!hwnd_) return E_UNEXPECTED;
  ShowWindow(hwnd_, static_cast<int>(nCmdShow));
  return S_OK;
}

HRESULT BaseGraphPropPage::Move(LPCRECT pRect) {
  if (!pRect) return E_POINTER;
  if (!hwnd_) return E_UNEXPECTED;
  MoveWindow(hwnd_, pRect->left, pRect->top, pRect->right - pRect->left, pRect->bottom - pRect->top, TRUE);
  return S_OK;
}

HRESULT BaseGraphPropPage::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

HRESULT BaseGraphPropPage::Apply() {
  if (hwnd_) {
    for (const ComPtr<IUnknown>& object : objects_) {
      ComPtr<IGraphBase> graph;
      if (!object || FAILED(object->QueryInterface(IID_IGraphBase, reinterpret_cast<void**>(&graph)))) continue;
      HRESULT hr = ApplyFields(hwnd_, graph.get(), colours_);
      if (SUCCEEDED(hr)) hr = graph->Redraw();
      if (FAILED(hr)) return hr;
    }
  }
  dirty_ = false;
  return S_OK;
}

HRESULT BaseGraphPropPage::Help(LPCOLESTR) { return E_NOTIMPL; }

HRESULT BaseGraphPropPage::TranslateAccelerator(MSG* pMsg) {
  if (!pMsg) return E_POINTER;
  const bool keyboard = pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST;
  const bool mouse = pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST;
  if (!hwnd_ || !(keyboard || mouse)) return S_FALSE;
  return IsDialogMessageA(hwnd_, pMsg) ? S_OK : S_FALSE;
}

void BaseGraphPropPage::SetDirty(bool dirty) {
  if (dirty == dirty_) return;
  dirty_ = dirty;
  if (site_) site_->OnStatusChange(dirty ? PROPPAGESTATUS_DIRTY | PROPPAGESTATUS_VALIDATE : 0);
}

void BaseGraphPropPage::ChooseSwatchColour(int id) {
  const COLORREF current = colours_.GetColour(hwnd_, id);
  CHOOSECOLORA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = hwnd_;
  request.lpCustColors = SharedCustomColours();
  request.Flags = CC_ENABLEHOOK | (current ? CC_RGBINIT : 0);
  request.rgbResult = current;
  request.lpfnHook = &SubclassOnInit;
  if (!ChooseColorA(&request)) return;
  SetDirty(true);
  colours_.SetColour(hwnd_, id, request.rgbResult);
}

ComPtr<IGraphBase> BaseGraphPropPage::FirstGraph() const {
  for (const ComPtr<IUnknown>& object : objects_) {
    ComPtr<IGraphBase> graph;
    if (object && SUCCEEDED(object->QueryInterface(IID_IGraphBase, reinterpret_cast<void**>(&graph)))) return graph;
  }
  return nullptr;
}

INT_PTR BaseGraphPropPage::OnInitDialog(HWND hwnd) {
  hwnd_ = hwnd;
  styleList_ = GetDlgItem(hwnd, kGridStyleList);
  FillGridStyleList(styleList_);
  if (ComPtr<IGraphBase> graph = FirstGraph())
    (void)LoadFields(hwnd, graph.get(), colours_,
                     [this] { SetDirty(false); });  // a failed get leaves later fields empty
  return TRUE;
}

INT_PTR BaseGraphPropPage::OnCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const WORD code = HIWORD(wParam);
  if (code == BN_CLICKED && SwatchOfButton(id)) {
    ChooseSwatchColour(SwatchOfButton(id));  // dirty only when a colour is chosen
    return TRUE;
  }
  if (code != EN_CHANGE && code != BN_CLICKED && code != CBN_SELCHANGE) return FALSE;
  if (id == kAutoPrecisionCheck && code == BN_CLICKED) {
    const bool automatic = IsDlgButtonChecked(hwnd_, kAutoPrecisionCheck) == BST_CHECKED;
    for (int field : {kXPrecisionEdit, kYPrecisionEdit, kRightPrecisionEdit})
      EnableWindow(GetDlgItem(hwnd_, field), !automatic);
  }
  SetDirty(true);
  return TRUE;
}

INT_PTR CALLBACK BaseGraphPropPage::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) {
    auto* page = reinterpret_cast<BaseGraphPropPage*>(lParam);
    SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
    return page ? page->OnInitDialog(hwnd) : TRUE;
  }
  auto* page = reinterpret_cast<BaseGraphPropPage*>(GetWindowLongPtrA(hwnd, DWLP_USER));
  if (!page || page->hwnd_ != hwnd) return FALSE;
  if (IsColourRequest(msg)) {
    bool handled = false;
    HBRUSH brush =
        page->colours_.OnColourRequest(hwnd, reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam), &handled);
    return handled ? reinterpret_cast<INT_PTR>(brush) : FALSE;
  }
  switch (msg) {
    case WM_COMMAND:
      if (lParam) return page->OnCommand(wParam);
      return FALSE;
    case WM_STYLECHANGING:
      if (static_cast<int>(wParam) == GWL_EXSTYLE)
        reinterpret_cast<STYLESTRUCT*>(lParam)->styleNew |= WS_EX_CONTROLPARENT;
      return FALSE;
    case WM_DESTROY:
      page->hwnd_ = nullptr;
      page->styleList_ = nullptr;
      return FALSE;
    default: return FALSE;
  }
}

}  // namespace kelmira::proppages

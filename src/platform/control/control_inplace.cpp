// In-place activation of the control base: the site, the control's own window, UI activation,
// deactivation and the rectangles the site gives.
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/guarded.h>

namespace kelmira {

HRESULT ControlImpl::InPlaceActivate(LONG verb) {
  if (!clientSite_) return E_UNEXPECTED;
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  if (!inPlaceActive_) {
    HRESULT hr = ActivateSite(clientSite_.get());
    if (FAILED(hr)) return hr;
  }
  if (!windowless_ && !hwnd_) {
    HRESULT hr = CreateWindowForSite();
    if (FAILED(hr)) {
      InPlaceDeactivate();
      return hr;
    }
  }
  if (hwnd_ && !(::GetWindowLongPtrA(hwnd_, GWL_STYLE) & WS_VISIBLE)) ::ShowWindow(hwnd_, SW_SHOW);
  if (verb == OLEIVERB_UIACTIVATE || verb == OLEIVERB_PRIMARY) UIActivate();
  if (clientSite_) clientSite_->ShowObject();
  return S_OK;
}

// The in-place site: the richest interface the client site answers; windowless only for a
// control that may go without a window and a site that agrees.
HRESULT ControlImpl::ActivateSite(IOleClientSite* site) {
  ComPtr<IOleInPlaceSiteWindowless> windowlessSite;
  ComPtr<IOleInPlaceSiteEx> siteEx;
  ComPtr<IOleInPlaceSite> plainSite;
  site->QueryInterface(IID_IOleInPlaceSiteWindowless, reinterpret_cast<void**>(&windowlessSite));
  if (windowlessSite)
    siteEx = windowlessSite.get();
  else
    site->QueryInterface(IID_IOleInPlaceSiteEx, reinterpret_cast<void**>(&siteEx));
  if (siteEx)
    plainSite = siteEx.get();
  else
    site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&plainSite));
  if (!plainSite) return E_NOINTERFACE;
  if (plainSite->CanInPlaceActivate() != S_OK) return E_FAIL;

  const bool windowless =
      windowlessSite && !ControlClass().windowOnly && windowlessSite->CanWindowlessActivate() == S_OK;
  HRESULT hr = S_OK;
  if (siteEx) {
    BOOL noRedraw = FALSE;
    hr = siteEx->OnInPlaceActivateEx(&noRedraw, windowless ? ACTIVATE_WINDOWLESS : 0);
  } else {
    hr = plainSite->OnInPlaceActivate();
  }
  if (FAILED(hr)) return hr;

  inPlaceSite_ = plainSite;
  inPlaceSiteEx_ = siteEx;
  windowlessSite_ = windowless ? windowlessSite : nullptr;
  windowless_ = windowless;
  inPlaceActive_ = true;
  hr = TakeWindowContext();
  if (FAILED(hr)) InPlaceDeactivate();
  return hr;
}

HRESULT ControlImpl::TakeWindowContext() {
  ComPtr<IOleInPlaceFrame> frame;
  ComPtr<IOleInPlaceUIWindow> document;
  RECT pos{};
  RECT clip{};
  OLEINPLACEFRAMEINFO frameInfo{};
  frameInfo.cb = sizeof(frameInfo);
  HRESULT hr = inPlaceSite_->GetWindowContext(&frame, &document, &pos, &clip, &frameInfo);
  if (FAILED(hr)) return hr;
  frame_ = frame;
  document_ = document;
  posRect_ = pos;
  clipRect_ = clip;
  return S_OK;
}

HRESULT ControlImpl::CreateWindowForSite() {
  HWND parent = nullptr;
  HRESULT hr = inPlaceSite_->GetWindow(&parent);
  if (FAILED(hr)) return hr;
  if (!parent) return E_FAIL;
  HWND hwnd = CreateControlWindow(parent, posRect_);
  if (!hwnd) return E_FAIL;
  hwnd_ = hwnd;
  return S_OK;
}

HRESULT ControlImpl::UIActivate() {
  if (uiActive_) return S_OK;
  uiActive_ = true;
  inPlaceSite_->OnUIActivate();
  IOleInPlaceActiveObject* active = this;
  if (frame_) frame_->SetActiveObject(active, nullptr);
  if (document_) document_->SetActiveObject(active, nullptr);
  if (windowlessSite_) {
    windowlessSite_->SetFocus(TRUE);
  } else if (hwnd_) {
    HWND focus = ::GetFocus();
    if (focus != hwnd_ && !::IsChild(hwnd_, focus)) ::SetFocus(hwnd_);
  }
  return S_OK;
}

HRESULT ControlImpl::InPlaceDeactivate() {
  if (!inPlaceActive_) return S_OK;
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  if (uiActive_) UIDeactivate();
  inPlaceActive_ = false;
  if (HWND hwnd = hwnd_) {
    ::DestroyWindow(hwnd);
    if (hwnd_ == hwnd) DetachWindow();  // its WM_NCDESTROY normally does this
  }
  ComPtr<IOleInPlaceSite> site = inPlaceSite_;
  ComPtr<IOleInPlaceSiteEx> siteEx = inPlaceSiteEx_;
  inPlaceSite_.Reset();
  inPlaceSiteEx_.Reset();
  windowlessSite_.Reset();
  frame_.Reset();
  document_.Reset();
  windowless_ = false;
  if (siteEx)
    siteEx->OnInPlaceDeactivateEx(TRUE);
  else if (site)
    site->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT ControlImpl::UIDeactivate() {
  if (!uiActive_) return S_OK;
  uiActive_ = false;
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (document_) document_->SetActiveObject(nullptr, nullptr);
  if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
  return S_OK;
}

// The window follows the position rectangle; the clip rectangle is kept but windows here are
// rectangles clipped by their parents, so it changes nothing on screen.
HRESULT ControlImpl::SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) {
  if (!lprcPosRect) return E_POINTER;
  posRect_ = *lprcPosRect;
  clipRect_ = lprcClipRect ? *lprcClipRect : *lprcPosRect;
  if (hwnd_)
    ::SetWindowPos(hwnd_, nullptr, posRect_.left, posRect_.top, posRect_.right - posRect_.left,
                   posRect_.bottom - posRect_.top, SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

HRESULT ControlImpl::ReactivateAndUndo() { return E_NOTIMPL; }

// Messages a windowless site forwards go through the control's message map.
HRESULT ControlImpl::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) {
  if (!plResult) return E_POINTER;
  *plResult = 0;
  if (!inPlaceActive_ || !windowless_) return E_UNEXPECTED;
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  return Guarded([&] { return ProcessWindowMessage(nullptr, msg, wParam, lParam, *plResult) ? S_OK : S_FALSE; });
}

HRESULT ControlImpl::GetDropTarget(IDropTarget** ppDropTarget) {
  if (ppDropTarget) *ppDropTarget = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlImpl::GetWindow(HWND* phwnd) {
  if (!phwnd) return E_POINTER;
  *phwnd = hwnd_;
  return hwnd_ ? S_OK : E_FAIL;
}

HRESULT ControlImpl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT ControlImpl::TranslateAccelerator(LPMSG) { return S_FALSE; }

HRESULT ControlImpl::OnFrameWindowActivate(BOOL) { return S_OK; }

HRESULT ControlImpl::OnDocWindowActivate(BOOL fActivate) {
  if (!fActivate) UIDeactivate();
  return S_OK;
}

HRESULT ControlImpl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }

HRESULT ControlImpl::EnableModeless(BOOL) { return S_OK; }

}  // namespace kelmira

// The host as the control's client site and in-place site.
#include "control/ax_host.h"

namespace kelmira::control {

RECT AxHost::ClientRect() const {
  RECT rc{0, 0, 0, 0};
  ::GetClientRect(hwnd_, &rc);
  return rc;
}

HRESULT AxHost::SaveObject() { return E_NOTIMPL; }

HRESULT AxHost::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
  if (ppmk) *ppmk = nullptr;
  return E_NOTIMPL;
}

// A host window holds one control; there is no container to enumerate.
HRESULT AxHost::GetContainer(IOleContainer** ppContainer) {
  if (!ppContainer) return E_POINTER;
  *ppContainer = nullptr;
  return E_NOINTERFACE;
}

HRESULT AxHost::ShowObject() { return S_OK; }

HRESULT AxHost::OnShowWindow(BOOL) { return S_OK; }

HRESULT AxHost::RequestNewObjectLayout() { return E_NOTIMPL; }

HRESULT AxHost::GetWindow(HWND* phwnd) {
  if (!phwnd) return E_POINTER;
  *phwnd = hwnd_;
  return hwnd_ ? S_OK : E_FAIL;
}

HRESULT AxHost::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT AxHost::CanInPlaceActivate() { return S_OK; }

HRESULT AxHost::OnInPlaceActivate() { return OnInPlaceActivateEx(nullptr, 0); }

HRESULT AxHost::OnInPlaceActivateEx(BOOL* pfNoRedraw, DWORD dwFlags) {
  if (pfNoRedraw) *pfNoRedraw = FALSE;
  if (!control_) return E_UNEXPECTED;
  windowless_ = (dwFlags & ACTIVATE_WINDOWLESS) != 0;
  control_->QueryInterface(IID_IOleInPlaceObjectWindowless, reinterpret_cast<void**>(&windowlessObject_));
  if (windowlessObject_)
    inPlaceObject_ = windowlessObject_.get();
  else
    control_->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&inPlaceObject_));
  if (!windowless_) windowlessObject_.Reset();
  inPlaceActive_ = true;
  return S_OK;
}

HRESULT AxHost::OnUIActivate() {
  uiActive_ = true;
  return S_OK;
}

HRESULT AxHost::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                 LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) {
  if (ppFrame) *ppFrame = nullptr;
  if (ppDoc) *ppDoc = nullptr;
  if (!ppFrame || !ppDoc || !lprcPosRect || !lprcClipRect) return E_POINTER;
  IOleInPlaceFrame* frame = this;
  frame->AddRef();
  *ppFrame = frame;
  *lprcPosRect = ClientRect();
  *lprcClipRect = *lprcPosRect;
  if (lpFrameInfo) {
    HWND parent = ::GetParent(hwnd_);
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = parent ? parent : hwnd_;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
  }
  return S_OK;
}

HRESULT AxHost::Scroll(SIZE) { return E_NOTIMPL; }

HRESULT AxHost::OnUIDeactivate(BOOL) {
  uiActive_ = false;
  activeObject_.Reset();
  return S_OK;
}

HRESULT AxHost::OnInPlaceDeactivate() { return OnInPlaceDeactivateEx(TRUE); }

HRESULT AxHost::OnInPlaceDeactivateEx(BOOL) {
  inPlaceActive_ = false;
  uiActive_ = false;
  windowless_ = false;
  inPlaceObject_.Reset();
  windowlessObject_.Reset();
  activeObject_.Reset();
  return S_OK;
}

HRESULT AxHost::DiscardUndoState() { return S_OK; }

HRESULT AxHost::DeactivateAndUndo() { return inPlaceObject_ ? inPlaceObject_->UIDeactivate() : S_OK; }

// The control asks for another place: the host grants it as asked.
HRESULT AxHost::OnPosRectChange(LPCRECT lprcPosRect) {
  if (!lprcPosRect) return E_POINTER;
  if (inPlaceObject_) inPlaceObject_->SetObjectRects(lprcPosRect, lprcPosRect);
  return S_OK;
}

HRESULT AxHost::RequestUIActivate() { return S_OK; }

HRESULT AxHost::CanWindowlessActivate() { return S_OK; }

HRESULT AxHost::GetCapture() { return capture_ ? S_OK : S_FALSE; }

HRESULT AxHost::SetCapture(BOOL fCapture) {
  capture_ = fCapture != FALSE;
  if (capture_)
    ::SetCapture(hwnd_);
  else if (::GetCapture() == hwnd_)
    ::ReleaseCapture();
  return S_OK;
}

HRESULT AxHost::GetFocus() { return focus_ ? S_OK : S_FALSE; }

HRESULT AxHost::SetFocus(BOOL fFocus) {
  focus_ = fFocus != FALSE;
  if (focus_ && ::GetFocus() != hwnd_) ::SetFocus(hwnd_);
  return S_OK;
}

HRESULT AxHost::GetDC(LPCRECT, DWORD, HDC* phDC) {
  if (!phDC) return E_POINTER;
  *phDC = ::GetDC(hwnd_);
  return *phDC ? S_OK : E_FAIL;
}

HRESULT AxHost::ReleaseDC(HDC hDC) { return ::ReleaseDC(hwnd_, hDC) ? S_OK : E_INVALIDARG; }

HRESULT AxHost::InvalidateRect(LPCRECT pRect, BOOL fErase) {
  return ::InvalidateRect(hwnd_, pRect, fErase) ? S_OK : E_FAIL;
}

// Regions are rectangles here; the whole window is the smallest one that covers any region.
HRESULT AxHost::InvalidateRgn(HRGN, BOOL fErase) { return ::InvalidateRect(hwnd_, nullptr, fErase) ? S_OK : E_FAIL; }

HRESULT AxHost::ScrollRect(INT, INT, LPCRECT, LPCRECT) { return E_NOTIMPL; }

HRESULT AxHost::AdjustRect(LPRECT prc) { return prc ? S_OK : E_POINTER; }

HRESULT AxHost::OnDefWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) {
  if (!plResult) return E_POINTER;
  *plResult = DefaultMessage(msg, wParam, lParam);
  return S_OK;
}

}  // namespace kelmira::control

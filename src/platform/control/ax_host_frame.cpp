// The host as the control's frame, control site and advise sink.
#include "control/ax_host.h"

#include <cmath>

namespace kelmira::control {

HRESULT AxHost::GetBorder(LPRECT lprectBorder) {
  if (!lprectBorder) return E_POINTER;
  return INPLACE_E_NOTOOLSPACE;
}

HRESULT AxHost::RequestBorderSpace(LPCBORDERWIDTHS) { return INPLACE_E_NOTOOLSPACE; }

HRESULT AxHost::SetBorderSpace(LPCBORDERWIDTHS) { return S_OK; }

HRESULT AxHost::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR) {
  activeObject_ = pActiveObject;
  return S_OK;
}

HRESULT AxHost::InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) { return S_OK; }

HRESULT AxHost::SetMenu(HMENU, HOLEMENU, HWND) { return S_OK; }

HRESULT AxHost::RemoveMenus(HMENU) { return S_OK; }

HRESULT AxHost::SetStatusText(LPCOLESTR) { return S_OK; }

HRESULT AxHost::EnableModeless(BOOL) { return S_OK; }

HRESULT AxHost::TranslateAccelerator(LPMSG, WORD) { return S_FALSE; }

HRESULT AxHost::OnControlInfoChanged() { return S_OK; }

HRESULT AxHost::LockInPlaceActive(BOOL) { return S_OK; }

HRESULT AxHost::GetExtendedControl(IDispatch** ppDisp) {
  if (!ppDisp) return E_POINTER;
  *ppDisp = nullptr;
  return E_NOTIMPL;
}

// The host's coordinates are pixels at 96 per inch; positions and sizes convert alike.
HRESULT AxHost::TransformCoords(POINTL* pPtlHimetric, POINTF* pPtfContainer, DWORD dwFlags) {
  if (!pPtlHimetric || !pPtfContainer) return E_POINTER;
  if (dwFlags & XFORMCOORDS_HIMETRICTOCONTAINER) {
    pPtfContainer->x = static_cast<FLOAT>(pPtlHimetric->x) * kelmira::kPixelsPerInch / HIMETRIC_PER_INCH;
    pPtfContainer->y = static_cast<FLOAT>(pPtlHimetric->y) * kelmira::kPixelsPerInch / HIMETRIC_PER_INCH;
    return S_OK;
  }
  if (dwFlags & XFORMCOORDS_CONTAINERTOHIMETRIC) {
    constexpr FLOAT kLimit = 1e8f;  // keeps the HIMETRIC result inside 32 bits
    if (!(std::fabs(pPtfContainer->x) < kLimit) || !(std::fabs(pPtfContainer->y) < kLimit)) return E_INVALIDARG;
    pPtlHimetric->x = HimetricFromPixels(static_cast<LONG>(std::lround(pPtfContainer->x)));
    pPtlHimetric->y = HimetricFromPixels(static_cast<LONG>(std::lround(pPtfContainer->y)));
    return S_OK;
  }
  return E_INVALIDARG;
}

HRESULT AxHost::TranslateAccelerator(MSG*, DWORD) { return S_FALSE; }

HRESULT AxHost::OnFocus(BOOL) { return S_OK; }

HRESULT AxHost::ShowPropertyFrame() { return E_NOTIMPL; }

void AxHost::OnDataChange(FORMATETC*, STGMEDIUM*) {}

// A control without a window of its own is drawn by the host, so its view changes repaint the host.
void AxHost::OnViewChange(DWORD, LONG) {
  if (DrawsControl()) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

void AxHost::OnRename(IMoniker*) {}

void AxHost::OnSave() {}

void AxHost::OnClose() {}

}  // namespace kelmira::control

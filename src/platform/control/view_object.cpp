// IViewObject, IViewObject2 and IViewObjectEx of the control base, and the repaint request.
#include <kelmira/platform/control_base.h>
#include <kelmira/platform/guarded.h>

namespace kelmira {
namespace {

bool AcceptsAspect(DWORD aspect) { return aspect == DVASPECT_CONTENT || aspect == DVASPECT_DOCPRINT; }

bool Contains(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }

bool Overlap(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

HRESULT ControlImpl::Draw(DWORD dwDrawAspect, LONG lindex, void*, DVTARGETDEVICE*, HDC, HDC hdcDraw,
                          LPCRECTL lprcBounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  if (!AcceptsAspect(dwDrawAspect)) return DV_E_DVASPECT;
  if (lindex != -1) return DV_E_LINDEX;
  if (!hdcDraw) return E_INVALIDARG;
  if (lprcBounds) return DrawClipped(hdcDraw, *lprcBounds);
  // Without bounds only a windowless control knows where it is: its position in the site.
  if (inPlaceActive_ && windowless_) return DrawClipped(hdcDraw, posRect_);
  return E_INVALIDARG;
}

// The control draws into the host's DC through its own OnDraw; the clip keeps it inside the
// bounds and the DC's state is given back as it was.
HRESULT ControlImpl::DrawClipped(HDC hdc, const RECT& bounds) {
  if (bounds.right < bounds.left || bounds.bottom < bounds.top) return E_INVALIDARG;
  const int saved = ::SaveDC(hdc);
  if (!saved) return E_INVALIDARG;
  ::IntersectClipRect(hdc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  const HRESULT hr = Guarded([&] { return OnDraw(hdc, bounds); });
  ::RestoreDC(hdc, saved);
  return hr;
}

HRESULT ControlImpl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** ppColorSet) {
  if (ppColorSet) *ppColorSet = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlImpl::Freeze(DWORD, LONG, void*, DWORD* pdwFreeze) {
  if (pdwFreeze) *pdwFreeze = 0;
  return E_NOTIMPL;
}

HRESULT ControlImpl::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT ControlImpl::SetAdvise(DWORD aspects, DWORD advf, IAdviseSink* pAdvSink) {
  viewSink_ = pAdvSink;
  viewAspects_ = pAdvSink ? aspects : 0;
  viewAdvf_ = pAdvSink ? advf : 0;
  if (pAdvSink && (advf & ADVF_PRIMEFIRST)) SendOnViewChange(DVASPECT_CONTENT, -1);
  return S_OK;
}

HRESULT ControlImpl::GetAdvise(DWORD* pAspects, DWORD* pAdvf, IAdviseSink** ppAdvSink) {
  if (pAspects) *pAspects = viewAspects_;
  if (pAdvf) *pAdvf = viewAdvf_;
  if (ppAdvSink) viewSink_.CopyTo(ppAdvSink);
  return S_OK;
}

HRESULT ControlImpl::GetExtent(DWORD dwDrawAspect, LONG, DVTARGETDEVICE*, LPSIZEL lpsizel) {
  if (!lpsizel) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *lpsizel = sizeExtent_;
  return S_OK;
}

HRESULT ControlImpl::GetRect(DWORD, LPRECTL pRect) {
  if (!pRect) return E_POINTER;
  return E_NOTIMPL;
}

HRESULT ControlImpl::GetViewStatus(DWORD* pdwStatus) {
  if (!pdwStatus) return E_POINTER;
  *pdwStatus = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
  return S_OK;
}

HRESULT ControlImpl::QueryHitPoint(DWORD dwAspect, LPCRECT pRectBounds, POINT ptlLoc, LONG, DWORD* pHitResult) {
  if (!pRectBounds || !pHitResult) return E_POINTER;
  if (dwAspect != DVASPECT_CONTENT) return E_FAIL;
  *pHitResult = Contains(*pRectBounds, ptlLoc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT ControlImpl::QueryHitRect(DWORD dwAspect, LPCRECT pRectBounds, LPCRECT pRectLoc, LONG, DWORD* pHitResult) {
  if (!pRectBounds || !pRectLoc || !pHitResult) return E_POINTER;
  if (dwAspect != DVASPECT_CONTENT) return E_FAIL;
  *pHitResult = Overlap(*pRectBounds, *pRectLoc) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
  return S_OK;
}

HRESULT ControlImpl::GetNaturalExtent(DWORD dwAspect, LONG, DVTARGETDEVICE*, HDC, DVEXTENTINFO* pExtentInfo,
                                      LPSIZEL pSizel) {
  if (!pExtentInfo || !pSizel) return E_POINTER;
  if (dwAspect != DVASPECT_CONTENT || pExtentInfo->dwExtentMode != DVEXTENT_CONTENT) return E_NOTIMPL;
  *pSizel = sizeNatural_;
  return S_OK;
}

HRESULT ControlImpl::FireViewChange() {
  if (!inPlaceActive_) return SendOnViewChange(DVASPECT_CONTENT, -1);
  if (hwnd_) return ::InvalidateRect(hwnd_, nullptr, TRUE) ? S_OK : E_FAIL;
  if (windowless_ && windowlessSite_) return windowlessSite_->InvalidateRect(nullptr, TRUE);
  return S_OK;
}

// A sink given with ADVF_ONLYONCE hears one notification and is let go.
HRESULT ControlImpl::SendOnViewChange(DWORD aspect, LONG lindex) {
  ComPtr<IAdviseSink> sink = viewSink_;
  if (!sink) return S_OK;
  if (viewAdvf_ & ADVF_ONLYONCE) SetAdvise(0, 0, nullptr);
  sink->OnViewChange(aspect, lindex);
  return S_OK;
}

}  // namespace kelmira

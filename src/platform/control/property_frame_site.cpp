// The site a page of the property frame talks to: a dirty page enables Apply; the frame offers
// no page container and no accelerators of its own.
#include "control/property_frame.h"

namespace kelmira::control {

HRESULT PageSite::OnStatusChange(DWORD dwFlags) {
  if (frame_ && (dwFlags & PROPPAGESTATUS_DIRTY)) frame_->PageBecameDirty();
  return S_OK;
}

HRESULT PageSite::GetLocaleID(LCID* pLocaleID) {
  if (!pLocaleID) return E_POINTER;
  *pLocaleID = lcid_;
  return S_OK;
}

HRESULT PageSite::GetPageContainer(IUnknown** ppUnk) {
  if (ppUnk) *ppUnk = nullptr;
  return E_NOTIMPL;
}

HRESULT PageSite::TranslateAccelerator(MSG*) { return S_FALSE; }

}  // namespace kelmira::control

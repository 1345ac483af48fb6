// IOleObject of the control base: the client site, verbs, extents, status and advise sinks.
#include <kelmira/platform/control_base.h>

namespace kelmira {

ControlImpl::ControlImpl() = default;

ControlImpl::~ControlImpl() {
  // A control released while it still has a window: the window goes too, without its messages
  // reaching what is left of the control.
  if (HWND hwnd = hwnd_) {
    DetachWindow();
    ::DestroyWindow(hwnd);
  }
}

HRESULT ControlImpl::SetClientSite(IOleClientSite* pClientSite) {
  clientSite_ = pClientSite;
  return S_OK;
}

HRESULT ControlImpl::GetClientSite(IOleClientSite** ppClientSite) { return clientSite_.CopyTo(ppClientSite); }

HRESULT ControlImpl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT ControlImpl::Close(DWORD dwSaveOption) {
  if (dwSaveOption > OLECLOSE_PROMPTSAVE) return E_INVALIDARG;
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  if (inPlaceActive_) InPlaceDeactivate();
  if (dwSaveOption != OLECLOSE_NOSAVE && dirty_) {
    if (clientSite_) clientSite_->SaveObject();
    if (oleAdviseHolder_) oleAdviseHolder_->SendOnSave();
  }
  if (oleAdviseHolder_) oleAdviseHolder_->SendOnClose();
  inPlaceSite_.Reset();
  windowlessSite_.Reset();
  viewSink_.Reset();
  return S_OK;
}

HRESULT ControlImpl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT ControlImpl::GetMoniker(DWORD, DWORD, IMoniker** ppmk) {
  if (ppmk) *ppmk = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlImpl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT ControlImpl::GetClipboardData(DWORD, IDataObject** ppDataObject) {
  if (ppDataObject) *ppDataObject = nullptr;
  return E_NOTIMPL;
}

// Every showing verb activates in place; the site, not hwndParent or lprcPosRect, says where.
HRESULT ControlImpl::DoVerb(LONG iVerb, LPMSG, IOleClientSite*, LONG, HWND, LPCRECT) {
  switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: return InPlaceActivate(iVerb);
    case OLEIVERB_HIDE:
      UIDeactivate();
      if (hwnd_) ::ShowWindow(hwnd_, SW_HIDE);
      return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE: return S_OK;
    default: break;
  }
  if (iVerb < 0) return E_NOTIMPL;  // OPEN, PROPERTIES and unknown standard verbs
  // An unknown verb of the object's own acts as the primary verb.
  HRESULT hr = InPlaceActivate(OLEIVERB_PRIMARY);
  return FAILED(hr) ? hr : OLEOBJ_S_INVALIDVERB;
}

HRESULT ControlImpl::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) {
  if (!ppEnumOleVerb) return E_POINTER;
  *ppEnumOleVerb = nullptr;
  return OLE_S_USEREG;
}

HRESULT ControlImpl::Update() { return S_OK; }

HRESULT ControlImpl::IsUpToDate() { return S_OK; }

HRESULT ControlImpl::GetUserClassID(CLSID* pClsid) {
  if (!pClsid) return E_POINTER;
  *pClsid = *ControlClass().clsid;
  return S_OK;
}

HRESULT ControlImpl::GetUserType(DWORD, LPOLESTR* pszUserType) {
  if (!pszUserType) return E_POINTER;
  *pszUserType = nullptr;
  return OLE_S_USEREG;
}

HRESULT ControlImpl::SetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!psizel) return E_POINTER;
  if (psizel->cx < 0 || psizel->cy < 0) return E_INVALIDARG;
  const bool resized = psizel->cx != sizeExtent_.cx || psizel->cy != sizeExtent_.cy;
  sizeExtent_ = *psizel;
  if (resized && (ControlClass().miscStatus & OLEMISC_RECOMPOSEONRESIZE)) {
    SendOnDataChange();
    FireViewChange();
  }
  return S_OK;
}

HRESULT ControlImpl::GetExtent(DWORD dwDrawAspect, SIZEL* psizel) {
  if (!psizel) return E_POINTER;
  if (dwDrawAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *psizel = sizeExtent_;
  return S_OK;
}

HRESULT ControlImpl::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) {
  if (pdwConnection) *pdwConnection = 0;
  if (!pAdvSink || !pdwConnection) return E_INVALIDARG;
  if (!oleAdviseHolder_) {
    HRESULT hr = CreateOleAdviseHolder(&oleAdviseHolder_);
    if (FAILED(hr)) return hr;
  }
  return oleAdviseHolder_->Advise(pAdvSink, pdwConnection);
}

HRESULT ControlImpl::Unadvise(DWORD dwConnection) {
  if (!oleAdviseHolder_) return OLE_E_NOCONNECTION;
  return oleAdviseHolder_->Unadvise(dwConnection);
}

HRESULT ControlImpl::EnumAdvise(IEnumSTATDATA** ppenumAdvise) {
  if (!ppenumAdvise) return E_POINTER;
  *ppenumAdvise = nullptr;
  if (!oleAdviseHolder_) {
    HRESULT hr = CreateOleAdviseHolder(&oleAdviseHolder_);
    if (FAILED(hr)) return hr;
  }
  return oleAdviseHolder_->EnumAdvise(ppenumAdvise);
}

// The registry speaks first (as a class's registration script wrote it); the class's own value
// answers only when the registry knows nothing of it.
HRESULT ControlImpl::GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) {
  if (!pdwStatus) return E_POINTER;
  if (SUCCEEDED(OleRegGetMiscStatus(*ControlClass().clsid, dwAspect, pdwStatus))) return S_OK;
  *pdwStatus = ControlClass().miscStatus;
  return S_OK;
}

HRESULT ControlImpl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

}  // namespace kelmira

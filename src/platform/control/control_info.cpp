// IOleControl, IQuickActivate and IProvideClassInfo2 of the control base, and property-change
// notifications.
#include <kelmira/platform/control_base.h>

namespace kelmira {

HRESULT ControlImpl::GetControlInfo(CONTROLINFO* pCI) {
  if (!pCI) return E_POINTER;
  // No keyboard mnemonics.
  pCI->cb = sizeof(CONTROLINFO);
  pCI->hAccel = nullptr;
  pCI->cAccel = 0;
  pCI->dwFlags = 0;
  return S_OK;
}

HRESULT ControlImpl::OnMnemonic(MSG*) { return E_NOTIMPL; }

HRESULT ControlImpl::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT ControlImpl::FreezeEvents(BOOL bFreeze) {
  if (bFreeze)
    ++freezeCount_;
  else if (freezeCount_ > 0)
    --freezeCount_;
  return S_OK;
}

// What a container would otherwise do in several calls: site, view sink, property-change sink and
// event sink (at the default source interface's connection point); the control answers its
// status. Sinks the control cannot connect are left out (their cookies stay 0).
HRESULT ControlImpl::QuickActivate(QACONTAINER* pQaContainer, QACONTROL* pQaControl) {
  if (!pQaContainer || !pQaControl) return E_POINTER;
  if (pQaContainer->cbSize < sizeof(QACONTAINER) || pQaControl->cbSize < sizeof(QACONTROL)) return E_INVALIDARG;
  const ULONG size = pQaControl->cbSize;
  *pQaControl = QACONTROL{};
  pQaControl->cbSize = size;

  SetClientSite(pQaContainer->pClientSite);
  if (pQaContainer->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, pQaContainer->pAdviseSink);
  if (pQaContainer->pPropertyNotifySink) {
    if (ConnectionPoint* point = PropertyNotifyPoint())
      point->Advise(pQaContainer->pPropertyNotifySink, &pQaControl->dwPropNotifyCookie);
  }
  GUID source{};
  if (pQaContainer->pUnkEventSink && SUCCEEDED(GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source))) {
    ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(FindConnectionPoint(source, &point)))
      point->Advise(pQaContainer->pUnkEventSink, &pQaControl->dwEventCookie);
  }
  GetViewStatus(&pQaControl->dwViewStatus);
  GetMiscStatus(DVASPECT_CONTENT, &pQaControl->dwMiscStatus);
  return S_OK;
}

HRESULT ControlImpl::SetContentExtent(LPSIZEL pSizel) { return SetExtent(DVASPECT_CONTENT, pSizel); }

HRESULT ControlImpl::GetContentExtent(LPSIZEL pSizel) { return GetExtent(DVASPECT_CONTENT, pSizel); }

HRESULT ControlImpl::GetClassInfo(ITypeInfo** ppTI) {
  if (!ppTI) return E_POINTER;
  *ppTI = nullptr;
  const ControlClassInfo& info = ControlClass();
  if (!info.libid) return E_NOTIMPL;
  ComPtr<ITypeLib> library;
  HRESULT hr = LoadRegTypeLib(*info.libid, info.libMajor, info.libMinor, LOCALE_NEUTRAL, &library);
  if (FAILED(hr)) return hr;
  return library->GetTypeInfoOfGuid(*info.clsid, ppTI);
}

HRESULT ControlImpl::GetGUID(DWORD dwGuidKind, GUID* pGUID) {
  if (!pGUID) return E_POINTER;
  const IID* source = ControlClass().defaultSourceIid;
  if (dwGuidKind == GUIDKIND_DEFAULT_SOURCE_DISP_IID && source) {
    *pGUID = *source;
    return S_OK;
  }
  *pGUID = GUID_NULL;
  return E_FAIL;
}

ConnectionPoint* ControlImpl::PropertyNotifyPoint() const { return ConnectionPointFor(IID_IPropertyNotifySink); }

HRESULT ControlImpl::FireOnChanged(DISPID dispid) {
  if (EventsFrozen()) return S_OK;
  ForEachSink<IPropertyNotifySink>(PropertyNotifyPoint(),
                                   [dispid](IPropertyNotifySink* sink) { sink->OnChanged(dispid); });
  return S_OK;
}

HRESULT ControlImpl::FireOnRequestEdit(DISPID dispid) {
  if (EventsFrozen()) return S_OK;
  HRESULT answer = S_OK;
  ForEachSink<IPropertyNotifySink>(PropertyNotifyPoint(), [dispid, &answer](IPropertyNotifySink* sink) {
    if (sink->OnRequestEdit(dispid) == S_FALSE) answer = S_FALSE;
  });
  return answer;
}

}  // namespace kelmira

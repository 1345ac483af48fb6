// IDataObject of the control base: data advise connections and change notifications. Controls
// render no data formats here.
#include <kelmira/platform/control_base.h>

namespace kelmira {

HRESULT ControlImpl::GetData(FORMATETC* pformatetcIn, STGMEDIUM* pmedium) {
  if (!pformatetcIn || !pmedium) return E_POINTER;
  *pmedium = STGMEDIUM{};
  return DV_E_FORMATETC;
}

HRESULT ControlImpl::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

HRESULT ControlImpl::QueryGetData(FORMATETC*) { return E_NOTIMPL; }

HRESULT ControlImpl::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) { return E_NOTIMPL; }

HRESULT ControlImpl::SetData(FORMATETC*, STGMEDIUM*, BOOL) { return E_NOTIMPL; }

HRESULT ControlImpl::EnumFormatEtc(DWORD, IEnumFORMATETC** ppenumFormatEtc) {
  if (ppenumFormatEtc) *ppenumFormatEtc = nullptr;
  return E_NOTIMPL;
}

HRESULT ControlImpl::DAdvise(FORMATETC* pformatetc, DWORD advf, IAdviseSink* pAdvSink, DWORD* pdwConnection) {
  if (!dataAdviseHolder_) {
    HRESULT hr = CreateDataAdviseHolder(&dataAdviseHolder_);
    if (FAILED(hr)) return hr;
  }
  return dataAdviseHolder_->Advise(static_cast<IDataObject*>(this), pformatetc, advf, pAdvSink, pdwConnection);
}

HRESULT ControlImpl::DUnadvise(DWORD dwConnection) {
  if (!dataAdviseHolder_) return OLE_E_NOCONNECTION;
  return dataAdviseHolder_->Unadvise(dwConnection);
}

HRESULT ControlImpl::EnumDAdvise(IEnumSTATDATA** ppenumAdvise) {
  if (!ppenumAdvise) return E_POINTER;
  *ppenumAdvise = nullptr;
  if (!dataAdviseHolder_) {
    HRESULT hr = CreateDataAdviseHolder(&dataAdviseHolder_);
    if (FAILED(hr)) return hr;
  }
  return dataAdviseHolder_->EnumAdvise(ppenumAdvise);
}

HRESULT ControlImpl::SendOnDataChange(DWORD advf) {
  if (!dataAdviseHolder_) return S_OK;
  ComPtr<IUnknown> keepAlive(ControlUnknown());
  return dataAdviseHolder_->SendOnDataChange(static_cast<IDataObject*>(this), 0, advf);
}

}  // namespace kelmira

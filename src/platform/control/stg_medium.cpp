// ReleaseStgMedium: frees what a storage medium holds.
#include <kelmira/platform/combase.h>
#include <kelmira/platform/oleidl.h>

KELMIRA_EXTERN_C void ReleaseStgMedium(STGMEDIUM* pmedium) {
  if (!pmedium) return;
  IUnknown* owner = pmedium->pUnkForRelease;
  switch (pmedium->tymed) {
    case TYMED_ISTREAM:
      if (pmedium->pstm) pmedium->pstm->Release();
      break;
    case TYMED_ISTORAGE:
      if (pmedium->pstg) pmedium->pstg->Release();
      break;
    case TYMED_HGLOBAL:
      if (!owner && pmedium->hGlobal) GlobalFree(pmedium->hGlobal);
      break;
    case TYMED_FILE:
      if (!owner) CoTaskMemFree(pmedium->lpszFileName);
      break;
    case TYMED_GDI:
      if (!owner && pmedium->hBitmap) DeleteObject(pmedium->hBitmap);
      break;
    default: break;  // metafiles do not exist here; TYMED_NULL holds nothing
  }
  if (owner) owner->Release();
  *pmedium = STGMEDIUM{};
}

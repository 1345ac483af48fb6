// Per-thread initialisation counts. Nothing here is a precondition of activation: objects can be
// created on a thread that never called CoInitialize (there are no apartments to set up), so the
// counts only give callers the desktop platform's answers (S_FALSE when already initialised,
// RPC_E_CHANGED_MODE for a different concurrency model).
#include <kelmira/platform/combase.h>

namespace {

constexpr DWORD kKnownFlags = COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE | COINIT_SPEED_OVER_MEMORY;

struct ThreadState {
  ULONG comCount = 0;
  DWORD model = COINIT_MULTITHREADED;
  ULONG oleCount = 0;
};

thread_local ThreadState tState;

}  // namespace

HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit) {
  if (pvReserved || (dwCoInit & ~kKnownFlags)) return E_INVALIDARG;
  DWORD model = dwCoInit & COINIT_APARTMENTTHREADED;
  if (tState.comCount > 0 && tState.model != model) return RPC_E_CHANGED_MODE;
  tState.model = model;
  return tState.comCount++ == 0 ? S_OK : S_FALSE;
}

HRESULT CoInitialize(LPVOID pvReserved) { return CoInitializeEx(pvReserved, COINIT_APARTMENTTHREADED); }

void CoUninitialize() {
  if (tState.comCount > 0) --tState.comCount;
}

HRESULT OleInitialize(LPVOID pvReserved) {
  if (pvReserved) return E_INVALIDARG;
  HRESULT hr = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  if (FAILED(hr)) return hr;
  ++tState.oleCount;
  return hr;
}

void OleUninitialize() {
  if (tState.oleCount == 0) return;
  --tState.oleCount;
  CoUninitialize();
}

HRESULT OleRun(IUnknown* pUnknown) { return pUnknown ? S_OK : E_INVALIDARG; }

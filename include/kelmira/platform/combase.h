// Class activation: CoCreateInstance and friends, ProgIDs, GUID strings and task memory.
//
// CoCreateInstance first consults class objects registered in this process (CoRegisterClassObject,
// the newest registration of a class first; a loaded module registers its class table), then the
// registry's InprocServer32 path (loaded with dlopen, asked through DllGetClassObject).
//
// Only in-process servers exist: a request must include CLSCTX_INPROC_SERVER or
// CLSCTX_INPROC_HANDLER, else REGDB_E_CLASSNOTREG. A class object registered in the process
// serves every in-process request whatever context it was registered with. Failures of the
// registry path are told apart: REGDB_E_CLASSNOTREG (no InprocServer32 entry), CO_E_DLLNOTFOUND
// (the library cannot be loaded), CO_E_ERRORINDLL (it has no DllGetClassObject),
// REGDB_E_READREGDB (the registry file is damaged). Loaded libraries stay loaded until
// CoFreeUnusedLibraries finds that their DllCanUnloadNow answers S_OK.
//
// CoInitialize and friends keep a per-thread count and answer as the desktop platform does, but
// activation does not require them: every function here works on any thread. All functions are
// thread-safe.
#pragma once

#include <kelmira/platform/oleauto.h>

enum CLSCTX : DWORD {
  CLSCTX_INPROC_SERVER = 0x1,
  CLSCTX_INPROC_HANDLER = 0x2,
  CLSCTX_LOCAL_SERVER = 0x4,
  CLSCTX_REMOTE_SERVER = 0x10,
  CLSCTX_INPROC = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER,
  CLSCTX_SERVER = CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
  CLSCTX_ALL = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
};
enum REGCLS : DWORD { REGCLS_SINGLEUSE = 0, REGCLS_MULTIPLEUSE = 1, REGCLS_MULTI_SEPARATE = 2 };
enum COINIT : DWORD {
  COINIT_APARTMENTTHREADED = 0x2,
  COINIT_MULTITHREADED = 0x0,
  COINIT_DISABLE_OLE1DDE = 0x4,
  COINIT_SPEED_OVER_MEMORY = 0x8,
};
constexpr HRESULT RPC_E_CHANGED_MODE = KELMIRA_HR(0x80010106);
constexpr HRESULT CO_E_OBJNOTREG = KELMIRA_HR(0x800401FB);

KELMIRA_EXTERN_C HRESULT CoInitialize(LPVOID pvReserved);
KELMIRA_EXTERN_C HRESULT CoInitializeEx(LPVOID pvReserved, DWORD dwCoInit);
KELMIRA_EXTERN_C void CoUninitialize();
KELMIRA_EXTERN_C HRESULT OleInitialize(LPVOID pvReserved);
KELMIRA_EXTERN_C void OleUninitialize();

KELMIRA_EXTERN_C HRESULT CoCreateInstance(REFCLSID rclsid, IUnknown* pUnkOuter, DWORD dwClsContext, REFIID riid,
                                          LPVOID* ppv);
KELMIRA_EXTERN_C HRESULT CoGetClassObject(REFCLSID rclsid, DWORD dwClsContext, LPVOID pvReserved, REFIID riid,
                                          LPVOID* ppv);
KELMIRA_EXTERN_C HRESULT CoRegisterClassObject(REFCLSID rclsid, IUnknown* pUnk, DWORD dwClsContext, DWORD flags,
                                               DWORD* lpdwRegister);
// CO_E_OBJNOTREG for a cookie that is not registered.
KELMIRA_EXTERN_C HRESULT CoRevokeClassObject(DWORD dwRegister);
// Unloads modules loaded through InprocServer32 whose DllCanUnloadNow answers S_OK.
KELMIRA_EXTERN_C void CoFreeUnusedLibraries();
// Puts an object into the running state; for in-process objects that is a no-op.
KELMIRA_EXTERN_C HRESULT OleRun(IUnknown* pUnknown);

// HKCR\<ProgID>\CLSID. When the ProgID has a CurVer subkey naming another ProgID (the
// version-independent ProgID names its current versioned one), that ProgID's CLSID is used; the
// key's own CLSID only when CurVer does not resolve. Unknown ProgID: CO_E_CLASSSTRING.
KELMIRA_EXTERN_C HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid);
KELMIRA_EXTERN_C HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID);  // CoTaskMemFree the result
// Text in braces must be a GUID (hex digits in either case, nothing before or after); other text
// is looked up as a ProgID. Bad text gives CO_E_CLASSSTRING; null text gives CLSID_NULL.
KELMIRA_EXTERN_C HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid);
// As CLSIDFromString without the ProgID lookup.
KELMIRA_EXTERN_C HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid);
KELMIRA_EXTERN_C HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz);  // CoTaskMemFree the result
KELMIRA_EXTERN_C HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz);
// Writes "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper case) and returns the characters
// written including the NUL, or 0 when cchMax is below 39.
KELMIRA_EXTERN_C int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax);
// A random (version 4) GUID.
KELMIRA_EXTERN_C HRESULT CoCreateGuid(GUID* pguid);

KELMIRA_EXTERN_C LPVOID CoTaskMemAlloc(SIZE_T cb);
KELMIRA_EXTERN_C LPVOID CoTaskMemRealloc(LPVOID pv, SIZE_T cb);
KELMIRA_EXTERN_C void CoTaskMemFree(LPVOID pv);

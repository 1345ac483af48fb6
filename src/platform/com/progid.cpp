// ProgIDs: names in HKEY_CLASSES_ROOT that lead to class identifiers, and back.
#include "com/guid_text.h"
#include "com/registry_read.h"
#include "com/registry_tree.h"
#include "com/utf16_util.h"

#include <kelmira/platform/combase.h>
#include <kelmira/platform/guarded.h>

namespace {

using kelmira::registry::ReadString;
using kelmira::registry::RegistryErrorToHResult;

// CurVer chains are followed this far; a loop of ProgIDs ends here.
constexpr int kMaxCurVerDepth = 8;

HRESULT Resolve(const std::string& progId, int depth, CLSID* out) {
  if (progId.empty() || progId.find('\\') != std::string::npos) return CO_E_CLASSSTRING;
  std::string curVer;
  LONG rc = ReadString(HKEY_CLASSES_ROOT, progId + "\\CurVer", nullptr, &curVer);
  if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return RegistryErrorToHResult(rc, CO_E_CLASSSTRING);
  if (rc == ERROR_SUCCESS && depth < kMaxCurVerDepth && !kelmira::registry::NameEquals(curVer, progId)) {
    HRESULT hr = Resolve(curVer, depth + 1, out);
    if (SUCCEEDED(hr) || hr == REGDB_E_READREGDB) return hr;
  }
  std::string text;
  rc = ReadString(HKEY_CLASSES_ROOT, progId + "\\CLSID", nullptr, &text);
  if (rc != ERROR_SUCCESS) return RegistryErrorToHResult(rc, CO_E_CLASSSTRING);
  return kelmira::guidtext::Parse(text, out) ? S_OK : CO_E_CLASSSTRING;
}

}  // namespace

HRESULT CLSIDFromProgID(LPCOLESTR lpszProgID, LPCLSID lpclsid) {
  if (!lpszProgID || !lpclsid) return E_INVALIDARG;
  *lpclsid = GUID_NULL;
  return kelmira::Guarded([&] {
    HRESULT hr = Resolve(kelmira::utf16::ToUtf8(lpszProgID), 0, lpclsid);
    if (FAILED(hr)) *lpclsid = GUID_NULL;
    return hr;
  });
}

HRESULT ProgIDFromCLSID(REFCLSID clsid, LPOLESTR* lplpszProgID) {
  if (!lplpszProgID) return E_INVALIDARG;
  *lplpszProgID = nullptr;
  return kelmira::Guarded([&] {
    std::string progId;
    LONG rc =
        ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + kelmira::guidtext::Format(clsid) + "\\ProgID", nullptr, &progId);
    if (rc != ERROR_SUCCESS) return RegistryErrorToHResult(rc, REGDB_E_CLASSNOTREG);
    if (progId.empty()) return REGDB_E_CLASSNOTREG;
    *lplpszProgID = kelmira::utf16::TaskStrDup(kelmira::utf16::FromUtf8(progId));
    return *lplpszProgID ? S_OK : E_OUTOFMEMORY;
  });
}

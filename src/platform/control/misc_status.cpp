// OleRegGetMiscStatus: a class's miscellaneous status from its registry entries.
#include <kelmira/platform/combase.h>
#include <kelmira/platform/oleidl.h>
#include <kelmira/platform/registry.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

std::string ClassKeyPath(REFCLSID clsid) {
  OLECHAR wide[40] = {};
  StringFromGUID2(clsid, wide, 40);
  std::string path = "CLSID\\";
  for (const OLECHAR* c = wide; *c; ++c) path += static_cast<char>(*c);
  return path;
}

// A status value is decimal text as registry scripts write it, or a DWORD.
bool ReadStatus(HKEY key, const char* subKey, DWORD* status) {
  char text[32] = {};
  DWORD type = 0;
  DWORD size = sizeof(text);
  if (RegGetValueA(key, subKey, nullptr, RRF_RT_REG_SZ | RRF_RT_REG_DWORD, &type, text, &size) != ERROR_SUCCESS)
    return false;
  if (type == REG_DWORD) {
    DWORD value = 0;
    static_assert(sizeof(text) >= sizeof(value));
    std::memcpy(&value, text, sizeof(value));
    *status = value;
    return true;
  }
  char* end = nullptr;
  const unsigned long value = std::strtoul(text, &end, 10);
  if (end == text) return false;
  *status = static_cast<DWORD>(value);
  return true;
}

}  // namespace

KELMIRA_EXTERN_C HRESULT OleRegGetMiscStatus(REFCLSID clsid, DWORD dwAspect, DWORD* pdwStatus) {
  if (!pdwStatus) return E_POINTER;
  *pdwStatus = 0;
  HKEY classKey = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, ClassKeyPath(clsid).c_str(), 0, KEY_READ, &classKey) != ERROR_SUCCESS)
    return REGDB_E_CLASSNOTREG;
  HKEY miscKey = nullptr;
  LONG opened = RegOpenKeyExA(classKey, "MiscStatus", 0, KEY_READ, &miscKey);
  RegCloseKey(classKey);
  if (opened != ERROR_SUCCESS) return REGDB_E_KEYMISSING;
  const std::string aspect = std::to_string(dwAspect);
  DWORD status = 0;
  if (ReadStatus(miscKey, aspect.c_str(), &status) || ReadStatus(miscKey, nullptr, &status)) *pdwStatus = status;
  RegCloseKey(miscKey);
  return S_OK;
}

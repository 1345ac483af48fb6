// Reading a string value for the platform's own lookups (ProgIDs, InprocServer32 paths).
#pragma once

#include <kelmira/platform/registry.h>

#include <string>

namespace kelmira::registry {

// The value (default value when name is null) of root\subkey as text, REG_EXPAND_SZ expanded.
inline LONG ReadString(HKEY root, const std::string& subkey, const char* name, std::string* out) {
  for (int attempt = 0; attempt < 8; ++attempt) {  // the value may change between the two reads
    DWORD size = 0;
    LONG rc = RegGetValueA(root, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, nullptr, &size);
    if (rc != ERROR_SUCCESS) return rc;
    std::string buf(size, '\0');
    rc = RegGetValueA(root, subkey.c_str(), name, RRF_RT_REG_SZ, nullptr, buf.data(), &size);
    if (rc == ERROR_MORE_DATA) continue;
    if (rc != ERROR_SUCCESS) return rc;
    buf.resize(size ? size - 1 : 0);  // the size counts the NUL
    *out = std::move(buf);
    return ERROR_SUCCESS;
  }
  return ERROR_MORE_DATA;
}

// A registry failure as the Co* functions report it; `missing` for a missing key or value.
inline HRESULT RegistryErrorToHResult(LONG rc, HRESULT missing) {
  switch (rc) {
    case ERROR_SUCCESS: return S_OK;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_UNSUPPORTED_TYPE: return missing;
    case ERROR_NOT_ENOUGH_MEMORY: return E_OUTOFMEMORY;
    default: return REGDB_E_READREGDB;
  }
}

}  // namespace kelmira::registry

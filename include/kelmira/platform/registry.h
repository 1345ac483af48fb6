// The registry: keys and typed values (REG_SZ, REG_EXPAND_SZ, REG_DWORD, REG_BINARY) under the
// roots HKEY_CLASSES_ROOT, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE, kept in a text file named by
// KELMIRA_REGISTRY (default $XDG_CONFIG_HOME/kelmira/registry, else ~/.config/kelmira/registry;
// the directory is created on the first change).
//
// The file is read when the registry is first used, never when a library loads, and read again
// whenever another process has replaced it. After every change it is rewritten whole to a
// temporary file in the same directory, flushed and renamed over the old one, so a crash leaves
// either the old or the new contents. A damaged file makes every call fail with ERROR_BADDB (the
// Co* functions say REGDB_E_READREGDB) and is never overwritten; repair or remove it. The format
// is a versioned text file described in src/platform/com/registry_text.cpp.
//
// The functions return Win32 error codes: ERROR_FILE_NOT_FOUND for a missing key or value,
// ERROR_MORE_DATA (with the size needed) for a small buffer, ERROR_INVALID_HANDLE for a handle
// that is closed or was never open, ERROR_KEY_DELETED for a handle whose key has been deleted,
// ERROR_ACCESS_DENIED for an operation the handle was not opened for (KEY_QUERY_VALUE,
// KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_ENUMERATE_SUB_KEYS). Open keys are small integers from
// a handle table. All functions are thread-safe.
#pragma once

#include <kelmira/platform/oleauto.h>

#define HKEY_CLASSES_ROOT (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000000u)))
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

using REGSAM = DWORD;
constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
constexpr REGSAM KEY_SET_VALUE = 0x0002;
constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
constexpr REGSAM KEY_READ = 0x20019;
constexpr REGSAM KEY_WRITE = 0x20006;
constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
constexpr DWORD REG_NONE = 0;
constexpr DWORD REG_SZ = 1;
constexpr DWORD REG_EXPAND_SZ = 2;
constexpr DWORD REG_BINARY = 3;
constexpr DWORD REG_DWORD = 4;
constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
constexpr DWORD REG_CREATED_NEW_KEY = 1;
constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Key names are case-insensitive; a null or empty value name is the key's default value.
KELMIRA_EXTERN_C LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                                      REGSAM samDesired, const void* lpSecurityAttributes, HKEY* phkResult,
                                      DWORD* lpdwDisposition);
KELMIRA_EXTERN_C LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult);
KELMIRA_EXTERN_C LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult);
KELMIRA_EXTERN_C LONG RegCloseKey(HKEY hKey);
KELMIRA_EXTERN_C LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                                     DWORD cbData);
KELMIRA_EXTERN_C LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData,
                                       DWORD* lpcbData);
// Reads a value of hKey\lpSubKey (either may be null/empty) whose type dwFlags allows
// (RRF_RT_*; another type gives ERROR_UNSUPPORTED_TYPE); strings come back NUL-terminated.
KELMIRA_EXTERN_C LONG RegGetValueA(HKEY hkey, LPCSTR lpSubKey, LPCSTR lpValue, DWORD dwFlags, DWORD* pdwType,
                                   PVOID pvData, DWORD* pcbData);
KELMIRA_EXTERN_C LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Deletes a key that has no subkeys.
KELMIRA_EXTERN_C LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
// Deletes a key with everything below it (with lpSubKey null: everything below hKey).
KELMIRA_EXTERN_C LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);
// Subkeys enumerate in name order, values in the order they were first set. *lpcchName is the
// buffer size in characters with the NUL; on success it becomes the name's length, on
// ERROR_MORE_DATA the size needed with the NUL.
KELMIRA_EXTERN_C LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD* lpcchName, DWORD* lpReserved,
                                    LPSTR lpClass, DWORD* lpcchClass, FILETIME* lpftLastWriteTime);
KELMIRA_EXTERN_C LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, DWORD* lpcchValueName,
                                    DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData);
constexpr DWORD RRF_RT_REG_NONE = 0x1;
constexpr DWORD RRF_RT_REG_SZ = 0x2;
constexpr DWORD RRF_RT_REG_EXPAND_SZ = 0x4;
constexpr DWORD RRF_RT_REG_BINARY = 0x8;
constexpr DWORD RRF_RT_REG_DWORD = 0x10;
constexpr DWORD RRF_RT_ANY = 0xFFFF;
constexpr DWORD RRF_NOEXPAND = 0x10000000;  // REG_EXPAND_SZ values are otherwise expanded and typed REG_SZ
constexpr LONG ERROR_UNSUPPORTED_TYPE = 1630;

// Where the registry file lives for this process (valid until KelmiraRegistryReload).
KELMIRA_EXTERN_C const char* KelmiraRegistryPath();
// Forgets what was read, and the path, so the next use finds the file again from the environment
// and reads it (tests, tools). Open handles stay valid: they name keys by path.
KELMIRA_EXTERN_C void KelmiraRegistryReload();

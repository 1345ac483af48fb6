// The registry: keys and string values under HKEY_CLASSES_ROOT, kept in a text file named by
// KELMIRA_REGISTRY (default $XDG_CONFIG_HOME/kelmira/registry, else ~/.config/kelmira/registry).
// The file is read when the registry is first used and rewritten atomically (temporary file,
// then rename) after every change; a damaged file gives an error, never a crash.
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
KELMIRA_EXTERN_C LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired,
                                    HKEY* phkResult);
KELMIRA_EXTERN_C LONG RegCloseKey(HKEY hKey);
KELMIRA_EXTERN_C LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType,
                                     const BYTE* lpData, DWORD cbData);
KELMIRA_EXTERN_C LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, DWORD* lpReserved, DWORD* lpType,
                                       BYTE* lpData, DWORD* lpcbData);
// Reads a string value of hKey\lpSubKey (either may be null/empty); as on the desktop platform.
KELMIRA_EXTERN_C LONG RegGetValueA(HKEY hkey, LPCSTR lpSubKey, LPCSTR lpValue, DWORD dwFlags, DWORD* pdwType,
                                   PVOID pvData, DWORD* pcbData);
KELMIRA_EXTERN_C LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName);
// Deletes a key that has no subkeys.
KELMIRA_EXTERN_C LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey);
// Deletes a key with everything below it (with lpSubKey null: everything below hKey).
KELMIRA_EXTERN_C LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey);
KELMIRA_EXTERN_C LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD* lpcchName, DWORD* lpReserved,
                                    LPSTR lpClass, DWORD* lpcchClass, FILETIME* lpftLastWriteTime);
KELMIRA_EXTERN_C LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, DWORD* lpcchValueName,
                                    DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData);
constexpr DWORD RRF_RT_REG_SZ = 0x2;
constexpr DWORD RRF_RT_ANY = 0xFFFF;

// Where the registry file lives for this process.
KELMIRA_EXTERN_C const char* KelmiraRegistryPath();
// Forgets what was read so the next use reads the file again (tests, tools).
KELMIRA_EXTERN_C void KelmiraRegistryReload();

// The Reg* functions over the registry tree. Every function validates its arguments and finds its
// key before it changes anything, so a failure leaves the registry as it was.
#include "com/registry_handles.h"
#include "com/registry_store.h"

#include <kelmira/platform/guarded.h>

#include <cstdlib>
#include <new>

using namespace kelmira::registry;

namespace {

Store& TheStore() { return Store::Instance(); }

// Splits "A\B\C" into names; empty parts (doubled or trailing separators) are skipped.
LONG SplitPath(LPCSTR subKey, std::vector<std::string>* out) {
  out->clear();
  if (!subKey) return ERROR_SUCCESS;
  std::string_view rest(subKey);
  while (!rest.empty()) {
    std::size_t slash = rest.find('\\');
    std::string_view part = rest.substr(0, slash);
    if (part.size() > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    if (!part.empty()) out->emplace_back(part);
    if (slash == std::string_view::npos) break;
    rest.remove_prefix(slash + 1);
  }
  return ERROR_SUCCESS;
}

LONG CheckAccess(const KeyRef& ref, REGSAM needed) {
  return (ref.access & needed) == needed ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
}

// The key a handle names; ERROR_KEY_DELETED when it has gone since the handle was opened.
LONG FindHandleKey(Tree& tree, const KeyRef& ref, Key** out) {
  *out = FindKey(tree, ref.root, ref.path);
  return *out ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

LONG FindHandleKey(const Tree& tree, const KeyRef& ref, const Key** out) {
  *out = FindKey(tree, ref.root, ref.path);
  return *out ? ERROR_SUCCESS : ERROR_KEY_DELETED;
}

// A key below a handle's key: ERROR_KEY_DELETED when the handle's key is gone, ERROR_FILE_NOT_FOUND
// when the subkey is missing.
LONG FindBelow(const Tree& tree, const KeyRef& base, const std::vector<std::string>& rel, const Key** out) {
  const Key* key = nullptr;
  if (LONG rc = FindHandleKey(tree, base, &key); rc != ERROR_SUCCESS) return rc;
  for (const std::string& name : rel) {
    key = key->FindSubkey(name);
    if (!key) return ERROR_FILE_NOT_FOUND;
  }
  *out = key;
  return ERROR_SUCCESS;
}

std::vector<std::string> Join(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  std::vector<std::string> all = a;
  all.insert(all.end(), b.begin(), b.end());
  return all;
}

std::string ValueBytes(const Value& v) {
  if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) return v.data + '\0';
  return v.data;
}

// Copies a value out as the desktop platform does: size only without a buffer, ERROR_MORE_DATA
// (and the size needed) when the buffer is too small.
LONG CopyOut(DWORD type, const std::string& bytes, DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  if (bytes.size() > 0xFFFFFFFFu) return ERROR_NOT_ENOUGH_MEMORY;
  if (lpType) *lpType = type;
  if (!lpcbData) return ERROR_SUCCESS;
  auto needed = static_cast<DWORD>(bytes.size());
  if (lpData && *lpcbData < needed) {
    *lpcbData = needed;
    return ERROR_MORE_DATA;
  }
  if (lpData && needed) std::memcpy(lpData, bytes.data(), needed);
  *lpcbData = needed;
  return ERROR_SUCCESS;
}

// Copies a name into a character buffer of *lpcch characters (NUL included). On success *lpcch
// is the name's length; when it does not fit, ERROR_MORE_DATA and the size needed with the NUL.
LONG CopyName(const std::string& name, LPSTR buffer, DWORD* lpcch) {
  if (name.size() + 1 > *lpcch) {
    *lpcch = static_cast<DWORD>(name.size() + 1);
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *lpcch = static_cast<DWORD>(name.size());
  return ERROR_SUCCESS;
}

// %NAME% from the environment; unknown names stay as written.
std::string ExpandEnvironment(const std::string& text) {
  std::string out;
  std::size_t i = 0;
  while (i < text.size()) {
    std::size_t open = text.find('%', i);
    std::size_t close = open == std::string::npos ? open : text.find('%', open + 1);
    if (close == std::string::npos) break;
    out.append(text, i, open - i);
    std::string name = text.substr(open + 1, close - open - 1);
    const char* value = name.empty() ? nullptr : std::getenv(name.c_str());
    if (value) {
      out += value;
      i = close + 1;
    } else {
      out.append(text, open, close - open);
      i = close;  // the closing '%' may open the next name
    }
  }
  out.append(text, i, std::string::npos);
  return out;
}

// Registry calls return their error instead of setting the last error, so they have a boundary
// of their own.
template <class F>
LONG GuardedStatus(F&& f) {
  try {
    return f();
  } catch (const std::bad_alloc&) {
    return ERROR_NOT_ENOUGH_MEMORY;
  } catch (...) {
    return ERROR_INVALID_PARAMETER;
  }
}

LONG OpenOrCreate(HKEY hKey, LPCSTR lpSubKey, REGSAM samDesired, bool create, HKEY* phkResult, DWORD* lpdwDisposition) {
  if (!phkResult) return ERROR_INVALID_PARAMETER;
  *phkResult = nullptr;
  KeyRef base;
  if (LONG rc = ResolveHandle(hKey, &base); rc != ERROR_SUCCESS) return rc;
  std::vector<std::string> rel;
  if (LONG rc = SplitPath(lpSubKey, &rel); rc != ERROR_SUCCESS) return rc;
  LONG found = TheStore().Read([&](const Tree& tree) {
    const Key* key = nullptr;
    return FindBelow(tree, base, rel, &key);
  });
  bool created = false;
  if (found == ERROR_FILE_NOT_FOUND && create) {
    if (LONG rc = CheckAccess(base, KEY_CREATE_SUB_KEY); rc != ERROR_SUCCESS) return rc;
    if (base.path.size() + rel.size() > kMaxKeyDepth) return ERROR_INVALID_PARAMETER;
    found = TheStore().Write([&](Tree& tree) {
      Key* key = nullptr;
      if (LONG rc = FindHandleKey(tree, base, &key); rc != ERROR_SUCCESS) return rc;
      for (const std::string& name : rel) {
        auto& slot = key->subkeys[name];
        if (!slot) {
          slot = std::make_unique<Key>();
          created = true;
        }
        key = slot.get();
      }
      return ERROR_SUCCESS;
    });
  }
  if (found != ERROR_SUCCESS) return found;
  if (lpdwDisposition) *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  return OpenHandle(KeyRef{base.root, Join(base.path, rel), samDesired}, phkResult);
}

}  // namespace

LONG RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
                     const void* lpSecurityAttributes, HKEY* phkResult, DWORD* lpdwDisposition) {
  return GuardedStatus([&] { return OpenOrCreate(hKey, lpSubKey, samDesired, true, phkResult, lpdwDisposition); });
}

LONG RegCreateKeyA(HKEY hKey, LPCSTR lpSubKey, HKEY* phkResult) {
  return RegCreateKeyExA(hKey, lpSubKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, phkResult,
                         nullptr);
}

LONG RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, HKEY* phkResult) {
  return GuardedStatus([&] { return OpenOrCreate(hKey, lpSubKey, samDesired, false, phkResult, nullptr); });
}

LONG RegCloseKey(HKEY hKey) { return CloseHandle(hKey); }

LONG RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData, DWORD cbData) {
  return GuardedStatus([&] {
    if (!lpData && cbData) return ERROR_INVALID_PARAMETER;
    std::string name = lpValueName ? lpValueName : "";
    if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = ResolveHandle(hKey, &ref); rc != ERROR_SUCCESS) return rc;
    if (LONG rc = CheckAccess(ref, KEY_SET_VALUE); rc != ERROR_SUCCESS) return rc;
    Value value{name, dwType, std::string(reinterpret_cast<const char*>(lpData), lpData ? cbData : 0)};
    if (dwType == REG_SZ || dwType == REG_EXPAND_SZ) value.data.resize(std::strlen(value.data.c_str()));
    return TheStore().Write([&](Tree& tree) {
      Key* key = nullptr;
      if (LONG rc = FindHandleKey(tree, ref, &key); rc != ERROR_SUCCESS) return rc;
      if (Value* existing = key->FindValue(name)) {
        existing->type = value.type;
        existing->data = value.data;
      } else {
        key->values.push_back(value);
      }
      return ERROR_SUCCESS;
    });
  });
}

LONG RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, DWORD* lpReserved, DWORD* lpType, BYTE* lpData, DWORD* lpcbData) {
  return GuardedStatus([&] {
    if (lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = ResolveHandle(hKey, &ref); rc != ERROR_SUCCESS) return rc;
    if (LONG rc = CheckAccess(ref, KEY_QUERY_VALUE); rc != ERROR_SUCCESS) return rc;
    Value found;
    LONG rc = TheStore().Read([&](const Tree& tree) {
      const Key* key = nullptr;
      if (LONG frc = FindHandleKey(tree, ref, &key); frc != ERROR_SUCCESS) return frc;
      const Value* v = key->FindValue(lpValueName ? lpValueName : "");
      if (!v) return ERROR_FILE_NOT_FOUND;
      found = *v;
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    return CopyOut(found.type, ValueBytes(found), lpType, lpData, lpcbData);
  });
}

LONG RegGetValueA(HKEY hkey, LPCSTR lpSubKey, LPCSTR lpValue, DWORD dwFlags, DWORD* pdwType, PVOID pvData,
                  DWORD* pcbData) {
  return GuardedStatus([&] {
    if ((dwFlags & RRF_RT_ANY) == 0 || (pvData && !pcbData)) return ERROR_INVALID_PARAMETER;
    bool expand = !(dwFlags & RRF_NOEXPAND);
    // Expanded strings are REG_SZ; asking for unexpanded ones without RRF_NOEXPAND is an error.
    if (expand && (dwFlags & RRF_RT_ANY) == RRF_RT_REG_EXPAND_SZ) return ERROR_INVALID_PARAMETER;
    KeyRef base;
    if (LONG rc = ResolveHandle(hkey, &base); rc != ERROR_SUCCESS) return rc;
    std::vector<std::string> rel;
    if (LONG rc = SplitPath(lpSubKey, &rel); rc != ERROR_SUCCESS) return rc;
    if (rel.empty())
      if (LONG rc = CheckAccess(base, KEY_QUERY_VALUE); rc != ERROR_SUCCESS) return rc;
    Value found;
    LONG rc = TheStore().Read([&](const Tree& tree) {
      const Key* key = nullptr;
      if (LONG frc = FindBelow(tree, base, rel, &key); frc != ERROR_SUCCESS) return frc;
      const Value* v = key->FindValue(lpValue ? lpValue : "");
      if (!v) return ERROR_FILE_NOT_FOUND;
      found = *v;
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (found.type == REG_EXPAND_SZ && expand) {
      found.type = REG_SZ;
      found.data = ExpandEnvironment(found.data);
    }
    DWORD allowed = found.type == REG_NONE        ? RRF_RT_REG_NONE
                    : found.type == REG_SZ        ? RRF_RT_REG_SZ
                    : found.type == REG_EXPAND_SZ ? RRF_RT_REG_EXPAND_SZ
                    : found.type == REG_BINARY    ? RRF_RT_REG_BINARY
                    : found.type == REG_DWORD     ? RRF_RT_REG_DWORD
                                                  : RRF_RT_ANY;
    if ((dwFlags & RRF_RT_ANY) != RRF_RT_ANY && !(dwFlags & allowed)) return ERROR_UNSUPPORTED_TYPE;
    return CopyOut(found.type, ValueBytes(found), pdwType, static_cast<BYTE*>(pvData), pcbData);
  });
}

LONG RegDeleteValueA(HKEY hKey, LPCSTR lpValueName) {
  return GuardedStatus([&] {
    KeyRef ref;
    if (LONG rc = ResolveHandle(hKey, &ref); rc != ERROR_SUCCESS) return rc;
    if (LONG rc = CheckAccess(ref, KEY_SET_VALUE); rc != ERROR_SUCCESS) return rc;
    std::string name = lpValueName ? lpValueName : "";
    return TheStore().Write([&](Tree& tree) {
      Key* key = nullptr;
      if (LONG rc = FindHandleKey(tree, ref, &key); rc != ERROR_SUCCESS) return rc;
      for (auto it = key->values.begin(); it != key->values.end(); ++it) {
        if (NameEquals(it->name, name)) {
          key->values.erase(it);
          return ERROR_SUCCESS;
        }
      }
      return ERROR_FILE_NOT_FOUND;
    });
  });
}

namespace {

// Deletes hKey\lpSubKey; with `whole` its subkeys go too, else it must have none.
LONG DeleteKey(HKEY hKey, LPCSTR lpSubKey, bool whole) {
  KeyRef base;
  if (LONG rc = ResolveHandle(hKey, &base); rc != ERROR_SUCCESS) return rc;
  std::vector<std::string> rel;
  if (LONG rc = SplitPath(lpSubKey, &rel); rc != ERROR_SUCCESS) return rc;
  std::vector<std::string> full = Join(base.path, rel);
  if (full.empty()) return ERROR_ACCESS_DENIED;  // a root cannot go
  return TheStore().Write([&](Tree& tree) {
    Key* key = nullptr;
    if (LONG rc = FindHandleKey(tree, base, &key); rc != ERROR_SUCCESS) return rc;
    std::vector<std::string> parentPath(full.begin(), full.end() - 1);
    LONG missing = rel.empty() ? ERROR_KEY_DELETED : ERROR_FILE_NOT_FOUND;
    Key* parent = FindKey(tree, base.root, parentPath);
    if (!parent) return missing;
    auto it = parent->subkeys.find(full.back());
    if (it == parent->subkeys.end()) return missing;
    if (!whole && !it->second->subkeys.empty()) return ERROR_ACCESS_DENIED;
    parent->subkeys.erase(it);
    return ERROR_SUCCESS;
  });
}

}  // namespace

LONG RegDeleteKeyA(HKEY hKey, LPCSTR lpSubKey) {
  return GuardedStatus([&] { return lpSubKey ? DeleteKey(hKey, lpSubKey, false) : ERROR_INVALID_PARAMETER; });
}

LONG RegDeleteTreeA(HKEY hKey, LPCSTR lpSubKey) {
  return GuardedStatus([&] {
    if (lpSubKey && *lpSubKey) return DeleteKey(hKey, lpSubKey, true);
    // No subkey: empty hKey itself, keeping the key.
    KeyRef ref;
    if (LONG rc = ResolveHandle(hKey, &ref); rc != ERROR_SUCCESS) return rc;
    return TheStore().Write([&](Tree& tree) {
      Key* key = nullptr;
      if (LONG rc = FindHandleKey(tree, ref, &key); rc != ERROR_SUCCESS) return rc;
      key->subkeys.clear();
      key->values.clear();
      return ERROR_SUCCESS;
    });
  });
}

LONG RegEnumKeyExA(HKEY hKey, DWORD dwIndex, LPSTR lpName, DWORD* lpcchName, DWORD* lpReserved, LPSTR lpClass,
                   DWORD* lpcchClass, FILETIME* lpftLastWriteTime) {
  return GuardedStatus([&] {
    if (!lpName || !lpcchName || lpReserved) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = ResolveHandle(hKey, &ref); rc != ERROR_SUCCESS) return rc;
    if (LONG rc = CheckAccess(ref, KEY_ENUMERATE_SUB_KEYS); rc != ERROR_SUCCESS) return rc;
    std::string name;
    LONG rc = TheStore().Read([&](const Tree& tree) {
      const Key* key = nullptr;
      if (LONG frc = FindHandleKey(tree, ref, &key); frc != ERROR_SUCCESS) return frc;
      if (dwIndex >= key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
      name = std::next(key->subkeys.begin(), dwIndex)->first;
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (LONG crc = CopyName(name, lpName, lpcchName); crc != ERROR_SUCCESS) return crc;
    if (lpClass && lpcchClass && *lpcchClass) lpClass[0] = 0;
    if (lpcchClass) *lpcchClass = 0;
    if (lpftLastWriteTime) *lpftLastWriteTime = FILETIME{0, 0};
    return ERROR_SUCCESS;
  });
}

LONG RegEnumValueA(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, DWORD* lpcchValueName, DWORD* lpReserved, DWORD* lpType,
                   BYTE* lpData, DWORD* lpcbData) {
  return GuardedStatus([&] {
    if (!lpValueName || !lpcchValueName || lpReserved || (lpData && !lpcbData)) return ERROR_INVALID_PARAMETER;
    KeyRef ref;
    if (LONG rc = ResolveHandle(hKey, &ref); rc != ERROR_SUCCESS) return rc;
    if (LONG rc = CheckAccess(ref, KEY_QUERY_VALUE); rc != ERROR_SUCCESS) return rc;
    Value found;
    LONG rc = TheStore().Read([&](const Tree& tree) {
      const Key* key = nullptr;
      if (LONG frc = FindHandleKey(tree, ref, &key); frc != ERROR_SUCCESS) return frc;
      if (dwIndex >= key->values.size()) return ERROR_NO_MORE_ITEMS;
      found = key->values[dwIndex];
      return ERROR_SUCCESS;
    });
    if (rc != ERROR_SUCCESS) return rc;
    if (LONG crc = CopyName(found.name, lpValueName, lpcchValueName); crc != ERROR_SUCCESS) return crc;
    return CopyOut(found.type, ValueBytes(found), lpType, lpData, lpcbData);
  });
}

const char* KelmiraRegistryPath() {
  return kelmira::GuardedOr("", [] { return TheStore().PathCString(); });
}

void KelmiraRegistryReload() {
  (void)kelmira::Guarded([] { TheStore().Forget(); });
}

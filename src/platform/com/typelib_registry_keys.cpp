// Reading and writing the registry entries of type libraries.
#include "com/typelib_registry_keys.h"

#include "com/dispatch_text.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace kelmira::dispatch {

namespace {

class Key {
 public:
  Key() = default;
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  ~Key() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* Out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

bool ParseVersion(const std::string& name, WORD* major, WORD* minor) {
  char* end = nullptr;
  unsigned long hi = std::strtoul(name.c_str(), &end, 16);
  if (end == name.c_str() || *end != '.') return false;
  const char* rest = end + 1;
  unsigned long lo = std::strtoul(rest, &end, 16);
  if (end == rest || *end != '\0' || hi > 0xFFFF || lo > 0xFFFF) return false;
  *major = static_cast<WORD>(hi);
  *minor = static_cast<WORD>(lo);
  return true;
}

std::string Hex(unsigned value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%x", value);
  return buf;
}

}  // namespace

std::string TypeLibKey(REFGUID libid) { return "TypeLib\\" + GuidString(libid); }

std::string VersionName(WORD major, WORD minor) { return Hex(major) + "." + Hex(minor); }

std::vector<std::string> SubKeyNames(HKEY root, const std::string& subKey) {
  std::vector<std::string> names;
  Key key;
  if (RegOpenKeyExA(root, subKey.c_str(), 0, KEY_READ, key.Out()) != ERROR_SUCCESS) return names;
  for (DWORD i = 0; i < 100000; ++i) {
    char name[256];
    DWORD length = sizeof name;
    LONG rc = RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool FindRegisteredVersion(REFGUID libid, WORD major, WORD minor, std::string* versionKey) {
  bool found = false;
  WORD bestMinor = 0;
  for (const std::string& name : SubKeyNames(HKEY_CLASSES_ROOT, TypeLibKey(libid))) {
    WORD hi = 0, lo = 0;
    if (!ParseVersion(name, &hi, &lo) || hi != major || lo < minor) continue;
    if (found && lo <= bestMinor) continue;
    found = true;
    bestMinor = lo;
    *versionKey = TypeLibKey(libid) + "\\" + name;
  }
  return found;
}

HRESULT FindRegisteredPath(REFGUID libid, WORD major, WORD minor, LCID lcid, std::string* path) {
  std::string version;
  if (!FindRegisteredVersion(libid, major, minor, &version)) return TYPE_E_LIBNOTREGISTERED;
  const std::string locales[] = {Hex(lcid), Hex(lcid & 0x3FF), "0"};
  for (const std::string& locale : locales)
    for (const char* platform : {"linux64", "win32", "win64"})
      if (ReadKeyString(HKEY_CLASSES_ROOT, version + "\\" + locale + "\\" + platform, nullptr, path) && !path->empty())
        return S_OK;
  return TYPE_E_LIBNOTREGISTERED;
}

bool ReadKeyString(HKEY root, const std::string& subKey, const char* valueName, std::string* out) {
  DWORD size = 0;
  if (RegGetValueA(root, subKey.c_str(), valueName, RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return false;
  std::vector<char> buffer(size + 1, '\0');
  DWORD capacity = size + 1;
  if (RegGetValueA(root, subKey.c_str(), valueName, RRF_RT_REG_SZ, nullptr, buffer.data(), &capacity) != ERROR_SUCCESS)
    return false;
  *out = buffer.data();
  return true;
}

bool WriteKeyString(HKEY root, const std::string& subKey, const char* valueName, const std::string& value) {
  Key key;
  if (RegCreateKeyExA(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Out(),
                      nullptr) != ERROR_SUCCESS)
    return false;
  return RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace kelmira::dispatch

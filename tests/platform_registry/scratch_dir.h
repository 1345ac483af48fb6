// A scratch directory per test, and a registry file inside it.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kelmira::testing {

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelmira-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data()) ? pattern : std::string();
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  std::string path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

inline void WriteFile(const std::string& path, const std::string& data) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << data;
}

// Sets a value in an open key (the default value when name is null).
inline LONG SetString(HKEY key, const char* name, const std::string& text, DWORD type = REG_SZ) {
  return RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1));
}

// Creates the key if needed and sets one string value in it.
inline LONG SetText(HKEY root, const std::string& subkey, const std::string& text, const char* name = nullptr) {
  HKEY key = nullptr;
  LONG rc = RegCreateKeyA(root, subkey.c_str(), &key);
  if (rc != ERROR_SUCCESS) return rc;
  rc = SetString(key, name, text);
  RegCloseKey(key);
  return rc;
}

// A value's bytes (strings without their terminator), "<missing>" when there is none, or the
// error code of any other failure.
inline std::string Text(HKEY root, const std::string& subkey, const char* name = nullptr) {
  char buf[512];
  DWORD size = sizeof buf, type = 0;
  LONG rc = RegGetValueA(root, subkey.c_str(), name, RRF_RT_ANY, &type, buf, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return "<missing>";
  if (rc != ERROR_SUCCESS) return "<error " + std::to_string(rc) + ">";
  if (type == REG_SZ && size > 0) --size;
  return std::string(buf, size);
}

inline bool KeyExists(HKEY root, const std::string& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

inline std::string GuidText(REFGUID guid) {
  OLECHAR text[39];
  StringFromGUID2(guid, text, 39);
  return std::string(text, text + 38);
}

// Points the registry at a fresh file for the length of a test.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registryPath_ = dir_.path() + "/sub/registry";
    setenv("KELMIRA_REGISTRY", registryPath_.c_str(), 1);
    KelmiraRegistryReload();
  }
  void TearDown() override { KelmiraRegistryReload(); }

  ScratchDir dir_;
  std::string registryPath_;
};

}  // namespace kelmira::testing

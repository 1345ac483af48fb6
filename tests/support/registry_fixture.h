// A registry file of the test's own, and short ways to set and read the values in it.
#pragma once

#include "support/environment.h"
#include "support/scratch_dir.h"

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace kelmira::test {

// Sets a string value in an open key (the default value when name is null).
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

// A value's bytes (a string without its terminator), "<missing>", or "<error N>" for other failures.
inline std::string Text(HKEY root, const std::string& subkey, const char* name = nullptr) {
  char buf[512];
  DWORD size = sizeof buf, type = 0;
  const LONG rc = RegGetValueA(root, subkey.c_str(), name, RRF_RT_ANY, &type, buf, &size);
  if (rc == ERROR_FILE_NOT_FOUND) return "<missing>";
  if (rc != ERROR_SUCCESS) return "<error " + std::to_string(rc) + ">";
  return std::string(buf, type == REG_SZ && size > 0 ? size - 1 : size);
}

inline bool KeyExists(HKEY root, const std::string& subkey) {
  HKEY key = nullptr;
  return RegOpenKeyExA(root, subkey.c_str(), 0, KEY_READ, &key) == ERROR_SUCCESS && RegCloseKey(key) == ERROR_SUCCESS;
}

inline std::string GuidText(REFGUID guid) {
  OLECHAR text[39];
  StringFromGUID2(guid, text, 39);
  return std::string(text, text + 38);
}

// Points the registry at a file in a fresh directory (not yet created) for the length of a test,
// then back at the program's own.
class RegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { KelmiraRegistryReload(); }
  void TearDown() override {
    registry_.reset();
    KelmiraRegistryReload();
  }

  ScratchDir dir_;
  const std::string registryPath_ = dir_ / "sub/registry";
  std::optional<EnvOverride> registry_{std::in_place, "KELMIRA_REGISTRY", registryPath_};
};

}  // namespace kelmira::test

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

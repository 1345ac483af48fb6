// An environment variable set (or with nullopt unset) for a scope, then put back as it was.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace kelmira::test {

class EnvOverride {
 public:
  EnvOverride(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~EnvOverride() { Set(old_); }
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;

 private:
  void Set(const std::optional<std::string>& v) { v ? setenv(name_.c_str(), v->c_str(), 1) : unsetenv(name_.c_str()); }
  std::string name_;
  std::optional<std::string> old_;
};

}  // namespace kelmira::test

// A private X server (Xvfb, 1024 x 768) on a display number it picks itself, stopped on destruction.
#pragma once

#include <sys/types.h>

#include <string>

namespace kelmira::test {

class XServer {
 public:
  static bool Available();
  // Starts Xvfb and waits until it accepts clients; Display() is empty when it could not start.
  XServer();
  ~XServer();
  XServer(const XServer&) = delete;
  XServer& operator=(const XServer&) = delete;
  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

}  // namespace kelmira::test

// Helpers for the display back-end tests: environment changes that undo themselves, child
// processes with their output, a private X server, and a non-blocking message loop.
#pragma once

#include "win_core_support.h"

#include <gtest/gtest.h>
#include <kelmira/platform.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace win_sdl_test {

// Sets (or with nullopt unsets) an environment variable until destruction.
class EnvOverride {
 public:
  EnvOverride(const char* name, std::optional<std::string> value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(name_, value);
  }
  ~EnvOverride() { Set(name_, old_); }
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;

 private:
  static void Set(const std::string& name, const std::optional<std::string>& value) {
    if (value)
      setenv(name.c_str(), value->c_str(), 1);
    else
      unsetenv(name.c_str());
  }
  std::string name_;
  std::optional<std::string> old_;
};

// No way for SDL to find a display.
struct NoDisplay {
  EnvOverride display{"DISPLAY", std::nullopt};
  EnvOverride wayland{"WAYLAND_DISPLAY", std::nullopt};
  EnvOverride driver{"SDL_VIDEODRIVER", std::nullopt};
};

struct ProcessResult {
  int exitCode = -1;   // -1 when it did not exit normally
  std::string output;  // stdout and stderr together
};

// Runs a program with extra environment variables (an empty value unsets one) and waits for it.
inline ProcessResult RunProcess(const std::vector<std::string>& argv,
                                const std::map<std::string, std::string>& env = {}) {
  std::string unset, set;  // env takes its -u options before the assignments
  for (const auto& [name, value] : env) {
    if (value.empty()) {
      unset += " -u " + name;
    } else {
      set += " " + name + "='" + value + "'";
    }
  }
  std::string command = "env" + unset + set;
  for (const std::string& arg : argv) command += " '" + arg + "'";
  ProcessResult result;
  FILE* pipe = popen((command + " 2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  int status = pclose(pipe);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

inline std::string SelfPath() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

// A private X server (Xvfb) on a display number it picks itself; stopped on destruction.
class XServer {
 public:
  static bool Available() { return access("/usr/bin/Xvfb", X_OK) == 0; }

  // Starts Xvfb and waits (up to ten seconds) until it accepts clients.
  bool Start() {
    int fds[2];
    if (pipe(fds) != 0) return false;
    pid_ = fork();
    if (pid_ == 0) {
      close(fds[0]);
      int devnull = open("/dev/null", O_WRONLY);
      dup2(devnull, STDOUT_FILENO);
      dup2(devnull, STDERR_FILENO);
      std::string fd = std::to_string(fds[1]);
      execl("/usr/bin/Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten", "tcp",
            static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    if (pid_ < 0) return false;
    // Xvfb writes its display number once it is ready.
    std::string number;
    char c;
    while (read(fds[0], &c, 1) == 1 && c != '\n') number.push_back(c);
    close(fds[0]);
    if (number.empty()) return false;
    display_ = ":" + number;
    return true;
  }

  ~XServer() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
  }

  const std::string& Display() const { return display_; }

 private:
  pid_t pid_ = -1;
  std::string display_;
};

// The first message msg that hwnd recorded (windows of win-core's test classes record).
inline std::optional<wincore::Event> Find(HWND hwnd, UINT msg) {
  for (const wincore::Event& e : wincore::Recorder::Get().events) {
    if (e.hwnd == hwnd && e.msg == msg) return e;
  }
  return std::nullopt;
}

// Runs the message loop without blocking until done() holds or five seconds pass (native events
// travel through the display server, so they take a moment).
inline bool PumpUntil(const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    MSG msg;
    bool any = false;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      any = true;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (!any) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

}  // namespace win_sdl_test

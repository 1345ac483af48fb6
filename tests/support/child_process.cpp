#include "support/child_process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

namespace kelmira::test {

ProcessResult RunProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
  std::string unset, set;  // env takes its -u options before the assignments
  for (const auto& [name, value] : env) {
    if (value.empty())
      unset += " -u " + name;
    else
      set += " " + name + "='" + value + "'";
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

std::string SelfPath() {
  char path[4096];
  ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
  return n > 0 ? std::string(path, static_cast<std::size_t>(n)) : std::string();
}

}  // namespace kelmira::test

#include "support/child_process.h"

#include <sys/wait.h>

#include <cstdio>

namespace kelmira::test {

ProcessResult RunProcess(const std::vector<std::string>& argv) {
  std::string command;
  for (const std::string& arg : argv) command += "'" + arg + "' ";
  ProcessResult result;
  FILE* pipe = popen((command + "2>&1").c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.output.append(buffer, n);
  int status = pclose(pipe);
  if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}

}  // namespace kelmira::test

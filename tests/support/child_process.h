// Running a program to its end in this program's environment, and reading what it wrote.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace kelmira::test {

struct ProcessResult {
  int exitCode = -1;   // -1 when it did not exit normally
  std::string output;  // stdout and stderr together
};

ProcessResult RunProcess(const std::vector<std::string>& argv);
// The path of the running test program, to run a test of its own in a fresh process.
inline std::string SelfPath() { return std::filesystem::read_symlink("/proc/self/exe").string(); }

}  // namespace kelmira::test

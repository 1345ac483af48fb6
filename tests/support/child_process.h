// Running a program to its end with extra environment variables, and reading what it wrote.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace kelmira::test {

struct ProcessResult {
  int exitCode = -1;   // -1 when it did not exit normally
  std::string output;  // stdout and stderr together
};

// An empty value in env unsets that variable.
ProcessResult RunProcess(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env = {});
// The path of the running test program, to run a test of its own in a fresh process.
std::string SelfPath();

}  // namespace kelmira::test

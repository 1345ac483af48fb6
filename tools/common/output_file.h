// Checks on a file a tool is asked to write, made before any work so that a refusal costs
// nothing and names the real reason. Writing itself replaces only regular files: a symbolic link
// is written through to the file it leads to; directories, pipes, devices, sockets and read-only
// files are refused.
#pragma once

#include <string>

namespace kelmira::tools {

// Empty when `path` can be written, else why not, as a message that names the path.
std::string OutputProblem(const std::string& path);

// The file that writing `path` replaces: the path with its symbolic links followed.
std::string OutputTarget(const std::string& path);

}  // namespace kelmira::tools

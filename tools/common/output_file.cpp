#include "common/output_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmira::tools {
namespace {

const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a named pipe";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a regular file";
}

// Joins the parts of a message (appending, which keeps GCC's overlap warning quiet).
std::string Message(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text.append(part);
  return text;
}

}  // namespace

std::string OutputTarget(const std::string& path) {
  std::error_code ec;
  std::filesystem::path at = path;
  for (int links = 0; links < 40 && std::filesystem::is_symlink(at, ec); ++links) {
    const std::filesystem::path to = std::filesystem::read_symlink(at, ec);
    if (ec) break;
    at = to.is_absolute() ? to : at.parent_path() / to;
  }
  return at.string();
}

std::string OutputProblem(const std::string& path) {
  const std::string target = OutputTarget(path);
  struct stat st;
  if (stat(target.c_str(), &st) == 0) {
    if (!S_ISREG(st.st_mode))
      return Message({"'", path, "' is ", KindOf(st.st_mode), ", not a file that can be replaced"});
    if (access(target.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
      return Message({"'", path, "' is read-only"});
    return {};
  }
  if (errno != ENOENT) return Message({"cannot write '", path, "': ", std::strerror(errno)});
  const std::filesystem::path parent = std::filesystem::path(target).parent_path();
  const std::string dir = parent.empty() ? std::string(".") : parent.string();
  if (stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    return Message({"cannot write '", path, "': the directory '", dir, "' does not exist"});
  // A directory that takes no new files (as under /proc) looks writable to permission bits alone.
  const std::string probe = Message({dir, "/.kelmira-plot-probe-", std::to_string(getpid())});
  const int fd = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
  if (fd < 0)
    return Message({"cannot write '", path, "': no file can be created in '", dir, "' (", std::strerror(errno), ")"});
  close(fd);
  unlink(probe.c_str());
  return {};
}

}  // namespace kelmira::tools

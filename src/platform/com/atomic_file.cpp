// Whole-file reads and atomic replacement.
#include "com/atomic_file.h"

#include <atomic>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmira::files {
namespace {

int WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    ssize_t n = write(fd, data.data(), data.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno;
    if (n == 0) return EIO;
    data.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

std::string TemporaryName(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  return path + ".tmp." + std::to_string(getpid()) + "." + std::to_string(counter.fetch_add(1) + 1);
}

}  // namespace

std::string DirectoryOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeDirectories(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode);
  std::string parent = DirectoryOf(dir);
  if (parent != dir && !MakeDirectories(parent)) return false;
  return mkdir(dir.c_str(), 0755) == 0 || errno == EEXIST;
}

int ReplaceableTarget(const std::string& path, std::string* target, unsigned* mode) {
  std::string at = path;
  for (int links = 0;; ++links) {
    struct stat st;
    if (lstat(at.c_str(), &st) != 0) {
      if (errno != ENOENT) return errno;
      *target = at;  // a new file (a dangling link names where it goes)
      *mode = kNewFileMode;
      return 0;
    }
    if (S_ISLNK(st.st_mode)) {
      if (links == 40) return ELOOP;
      std::string link(static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 4096), '\0');
      const ssize_t n = readlink(at.c_str(), link.data(), link.size());
      if (n < 0) return errno;
      link.resize(static_cast<std::size_t>(n));
      at = link.starts_with('/') ? link : DirectoryOf(at) + "/" + link;
      continue;
    }
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!S_ISREG(st.st_mode)) return ENOTREGULAR;
    // Read-only is read-only, also for a user whom permissions do not stop.
    if (access(at.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return EACCES;
    *target = at;
    *mode = st.st_mode & 07777;
    return 0;
  }
}

int WriteFileAtomically(const std::string& path, std::string_view data) {
  std::string target;
  unsigned mode = kNewFileMode;
  if (int err = ReplaceableTarget(path, &target, &mode); err != 0) return err;
  std::string tmp = TemporaryName(target);
  // A new file takes the umask; a replaced one keeps its own permissions.
  int fd = open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode == kNewFileMode ? 0644 : 0600);
  if (fd < 0) return errno;
  if (mode != kNewFileMode && fchmod(fd, static_cast<mode_t>(mode)) != 0) {
    const int err = errno;
    close(fd);
    unlink(tmp.c_str());
    return err;
  }
  int err = WriteAll(fd, data);
  if (err == 0 && fsync(fd) != 0) err = errno;
  if (close(fd) != 0 && err == 0) err = errno;
  if (err == 0 && rename(tmp.c_str(), target.c_str()) != 0) err = errno;
  if (err != 0) {
    unlink(tmp.c_str());
    return err;
  }
  // Make the rename itself durable.
  int dirFd = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dirFd >= 0) {
    fsync(dirFd);
    close(dirFd);
  }
  return 0;
}

int ReadWholeFile(const std::string& path, std::size_t maxSize, std::string* out) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  int err = 0;
  if (fstat(fd, &st) != 0)
    err = errno;
  else if (S_ISDIR(st.st_mode))
    err = EISDIR;
  else if (!S_ISREG(st.st_mode))
    err = EINVAL;
  else if (static_cast<std::uint64_t>(st.st_size) > maxSize)
    err = EFBIG;
  std::string data;
  char buf[65536];
  while (err == 0) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      err = errno;
      break;
    }
    if (n == 0) break;
    if (data.size() + static_cast<std::size_t>(n) > maxSize) {
      err = EFBIG;  // the file grew while being read
      break;
    }
    data.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  if (err == 0) *out = std::move(data);
  return err;
}

}  // namespace kelmira::files

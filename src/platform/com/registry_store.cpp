// Persistence of the registry. Every change rewrites the whole file: the registry is small, and a
// complete file written to a temporary name, flushed and renamed over the old one means a crash
// at any moment leaves either the old or the new contents. Writers of several processes take
// turns by locking the file's directory; readers notice another process's rename by the file's
// identity, size and modification time, checked before every operation.
#include "com/registry_store.h"

#include "com/atomic_file.h"

#include <cerrno>
#include <cstdlib>
#include <string_view>

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmira::registry {
namespace {

std::string DefaultPath() {
  if (const char* p = std::getenv("KELMIRA_REGISTRY"); p && *p) return p;
  if (const char* x = std::getenv("XDG_CONFIG_HOME"); x && *x == '/') return std::string(x) + "/kelmira/registry";
  const char* home = std::getenv("HOME");
  if (!home || !*home) {
    if (const passwd* pw = getpwuid(getuid())) home = pw->pw_dir;
  }
  if (home && *home) return std::string(home) + "/.config/kelmira/registry";
  return ".kelmira-registry";
}

class FdCloser {
 public:
  explicit FdCloser(int fd) : fd_(fd) {}
  ~FdCloser() {
    if (fd_ >= 0) close(fd_);
  }
  FdCloser(const FdCloser&) = delete;
  FdCloser& operator=(const FdCloser&) = delete;

 private:
  int fd_;
};

}  // namespace

Store& Store::Instance() {
  static Store* store = new Store();  // never destroyed: other objects' destructors may still use it
  return *store;
}

void Store::EnsurePath() {
  if (path_.empty()) path_ = DefaultPath();
}

std::string Store::Path() {
  std::lock_guard lock(mutex_);
  EnsurePath();
  return path_;
}

const char* Store::PathCString() {
  std::lock_guard lock(mutex_);
  EnsurePath();
  return path_.c_str();
}

void Store::Forget() {
  std::lock_guard lock(mutex_);
  if (working_) return;  // not in the middle of a transaction
  path_.clear();
  loaded_ = false;
  damaged_ = false;
  state_ = {};
  tree_ = {};
}

LONG Store::Sync() {
  if (working_) return ERROR_SUCCESS;  // a transaction owns the contents until it ends
  EnsurePath();
  struct stat st;
  if (stat(path_.c_str(), &st) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return ERROR_CANTREAD;
    if (!loaded_ || state_.exists) {
      tree_ = {};
      damaged_ = false;
      state_ = {};
      loaded_ = true;
    }
    return ERROR_SUCCESS;
  }
  FileState now{true, st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
  if (loaded_ && now == state_) return damaged_ ? ERROR_BADDB : ERROR_SUCCESS;
  return LoadFile();
}

LONG Store::LoadFile() {
  int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return ERROR_CANTREAD;
  FdCloser closer(fd);
  struct stat st;
  if (fstat(fd, &st) != 0) return ERROR_CANTREAD;
  if (!S_ISREG(st.st_mode)) return ERROR_BADDB;
  std::string text;
  char buf[65536];
  while (true) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ERROR_CANTREAD;
    if (n == 0) break;
    text.append(buf, static_cast<std::size_t>(n));
  }
  state_ = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
  loaded_ = true;
  Tree tree;
  std::string why;
  // An empty file is an empty registry (a file made by `touch`); a partial one cannot exist.
  if (!text.empty() && !ParseText(text, &tree, &why)) {
    damaged_ = true;
    tree_ = {};
    return ERROR_BADDB;
  }
  damaged_ = false;
  tree_ = std::move(tree);
  return ERROR_SUCCESS;
}

LONG Store::Persist(const Tree& tree) {
  if (files::WriteFileAtomically(path_, FormatText(tree)) != 0) return ERROR_CANTWRITE;
  struct stat st;
  if (stat(path_.c_str(), &st) == 0)
    state_ = {true, st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec};
  else
    state_ = {};  // read again on next use
  loaded_ = true;
  return ERROR_SUCCESS;
}

// Writers of all processes take turns by an advisory lock on the directory.
LONG Store::LockDirectory(int* fd) {
  EnsurePath();
  std::string dir = files::DirectoryOf(path_);
  if (!files::MakeDirectories(dir)) return ERROR_CANTWRITE;
  *fd = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (*fd < 0) return ERROR_CANTWRITE;
  while (flock(*fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(*fd);
      *fd = -1;
      return ERROR_CANTWRITE;
    }
  }
  return ERROR_SUCCESS;
}

LONG Store::Read(const std::function<LONG(const Tree&)>& read) {
  std::lock_guard lock(mutex_);
  if (LONG rc = Sync(); rc != ERROR_SUCCESS) return rc;
  return read(Current());
}

LONG Store::Write(const std::function<LONG(Tree&)>& change) {
  std::lock_guard lock(mutex_);
  if (working_) {
    LONG rc = change(*working_);
    if (rc == ERROR_SUCCESS) workingDirty_ = true;
    return rc;
  }
  int dirFd = -1;
  if (LONG rc = LockDirectory(&dirFd); rc != ERROR_SUCCESS) return rc;
  FdCloser unlock(dirFd);  // closing the descriptor releases the lock
  if (LONG rc = Sync(); rc != ERROR_SUCCESS) return rc;
  Tree copy = tree_;
  if (LONG rc = change(copy); rc != ERROR_SUCCESS) return rc;
  if (LONG rc = Persist(copy); rc != ERROR_SUCCESS) return rc;
  tree_ = std::move(copy);
  return ERROR_SUCCESS;
}

LONG Store::Transact(const std::function<LONG()>& body) {
  std::lock_guard lock(mutex_);
  if (working_) return body();  // nested: part of the outer transaction
  int dirFd = -1;
  if (LONG rc = LockDirectory(&dirFd); rc != ERROR_SUCCESS) return rc;
  FdCloser unlock(dirFd);
  if (LONG rc = Sync(); rc != ERROR_SUCCESS) return rc;
  working_ = tree_;
  workingDirty_ = false;
  LONG rc = ERROR_SUCCESS;
  // Caught here, not at an entry point: the working copy must go whatever the body does.
  try {
    rc = body();
  } catch (...) {
    rc = ERROR_NOT_ENOUGH_MEMORY;
  }
  Tree result = std::move(*working_);
  working_.reset();
  if (rc != ERROR_SUCCESS || !workingDirty_) return rc;
  if (LONG prc = Persist(result); prc != ERROR_SUCCESS) return prc;
  tree_ = std::move(result);
  return ERROR_SUCCESS;
}

}  // namespace kelmira::registry

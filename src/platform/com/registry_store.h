// The registry file behind the tree: found from the environment, read on first use, re-read
// when another process replaced it, and rewritten atomically after every change.
#pragma once

#include "com/registry_tree.h"

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include <sys/types.h>

namespace kelmira::registry {

class Store {
 public:
  static Store& Instance();

  // Runs `read` on the current contents. ERROR_BADDB when the file is damaged, ERROR_CANTREAD
  // when it cannot be read.
  LONG Read(const std::function<LONG(const Tree&)>& read);
  // Runs `change` on a copy of the contents; when it returns ERROR_SUCCESS the copy is written
  // to the file and becomes current. A damaged file is never overwritten (ERROR_BADDB).
  LONG Write(const std::function<LONG(Tree&)>& change);
  // Runs `body` (which may call Read and Write on this thread) as one change: the file is
  // written once at the end, and not at all when the body fails.
  LONG Transact(const std::function<LONG()>& body);

  std::string Path();
  const char* PathCString();
  // Forgets the contents and the path, so both are found again on next use.
  void Forget();

 private:
  struct FileState {
    bool exists = false;
    dev_t dev = 0;
    ino_t ino = 0;
    off_t size = 0;
    long long mtimeNs = 0;
    bool operator==(const FileState&) const = default;
  };

  Store() = default;
  void EnsurePath();
  LONG Sync();
  LONG LoadFile();
  LONG Persist(const Tree& tree);
  LONG LockDirectory(int* fd);
  Tree& Current() { return working_ ? *working_ : tree_; }

  std::recursive_mutex mutex_;
  std::string path_;
  bool loaded_ = false;
  bool damaged_ = false;
  FileState state_;
  Tree tree_;
  std::optional<Tree> working_;  // the transaction's contents
  bool workingDirty_ = false;
};

}  // namespace kelmira::registry

// Realised font handles and their locks.
//
// A font object realises its description as a font handle and keeps it as its current handle
// until the description changes. Drawing code locks a handle with IFont::AddRefHfont for as long
// as it has it selected and unlocks it with ReleaseHfont; a handle is deleted once no font object
// uses it and no lock remains. The table is process-wide, so any font object can lock a handle
// that another realised.
#pragma once

#include <kelmira/platform/types.h>

#include <mutex>
#include <unordered_map>

namespace kelmira {

class FontHandleTable {
 public:
  using Deleter = void (*)(HFONT);
  explicit FontHandleTable(Deleter deleter) : deleter_(deleter) {}

  // A font object took `font` as its current handle.
  void Use(HFONT font) {
    std::lock_guard lock(mutex_);
    ++entries_[font].users;
  }
  // A font object dropped `font` (its description changed or it went away).
  void Drop(HFONT font) {
    std::unique_lock lock(mutex_);
    auto it = entries_.find(font);
    if (it == entries_.end() || it->second.users == 0) return;
    --it->second.users;
    DeleteIfUnused(it, lock);
  }
  // E_INVALIDARG for a handle that is not in the table.
  HRESULT Lock(HFONT font) {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(font);
    if (it == entries_.end()) return E_INVALIDARG;
    ++it->second.locks;
    return S_OK;
  }
  // E_INVALIDARG for a handle that is not in the table or not locked.
  HRESULT Unlock(HFONT font) {
    std::unique_lock lock(mutex_);
    auto it = entries_.find(font);
    if (it == entries_.end() || it->second.locks == 0) return E_INVALIDARG;
    --it->second.locks;
    DeleteIfUnused(it, lock);
    return S_OK;
  }
  bool Contains(HFONT font) const {
    std::lock_guard lock(mutex_);
    return entries_.count(font) != 0;
  }

 private:
  struct Entry {
    ULONG users = 0;
    ULONG locks = 0;
  };
  using Map = std::unordered_map<HFONT, Entry>;

  void DeleteIfUnused(Map::iterator it, std::unique_lock<std::mutex>& lock) {
    if (it->second.users || it->second.locks) return;
    HFONT font = it->first;
    entries_.erase(it);
    lock.unlock();  // the deleter is drawing code and must not run under our lock
    if (deleter_) deleter_(font);
  }

  Deleter deleter_;
  mutable std::mutex mutex_;
  Map entries_;
};

// The table shared by every font object of the process.
FontHandleTable& FontHandles();

}  // namespace kelmira

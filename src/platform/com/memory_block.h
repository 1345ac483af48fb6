// Growable byte blocks: what an HGLOBAL names, and what memory streams and the streams of an
// in-memory storage read and write. A block is shared by every stream over it (clones too).
#pragma once

#include <kelmira/platform/objidl.h>

#include <memory>
#include <mutex>
#include <vector>

namespace kelmira::memory {

// Blocks stay below 2 GiB, as memory blocks of the desktop platform's 32-bit builds do; larger
// requests fail with STG_E_MEDIUMFULL before anything is allocated.
constexpr std::uint64_t kMaxBlockSize = 0x7FFFFFFF;

struct Block {
  std::mutex mutex;
  std::vector<BYTE> bytes;
  LONG locks = 0;  // GlobalLock count
};

// The block an HGLOBAL names; null for a handle that is not (or no longer) allocated.
std::shared_ptr<Block> FindGlobal(HGLOBAL handle);

// A stream over a block. `handle` is the HGLOBAL it was made on (null for storage streams);
// with deleteOnRelease the handle is freed when the last stream over it goes. `name` is what
// Stat reports (storage element names).
HRESULT CreateBlockStream(std::shared_ptr<Block> block, HGLOBAL handle, bool deleteOnRelease, std::u16string name,
                          IStream** out);

}  // namespace kelmira::memory

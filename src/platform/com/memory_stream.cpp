// Streams over memory blocks: CreateStreamOnHGlobal, and the streams of in-memory storages.
// Reading past the end returns S_OK with fewer bytes, as on the desktop platform; writing past
// the end grows the block (zero-filling any gap left by a seek).
#include "com/memory_block.h"
#include "com/stream_util.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <memory>
#include <string>

namespace kelmira::memory {
namespace {

// What every stream and clone over one block shares; frees the HGLOBAL with the last of them
// when asked to.
struct SharedBlock {
  SharedBlock(std::shared_ptr<Block> b, HGLOBAL h, bool del) : block(std::move(b)), handle(h), deleteOnRelease(del) {}
  ~SharedBlock() {
    if (deleteOnRelease && handle) GlobalFree(handle);
  }
  SharedBlock(const SharedBlock&) = delete;
  SharedBlock& operator=(const SharedBlock&) = delete;

  std::shared_ptr<Block> block;
  HGLOBAL handle;
  bool deleteOnRelease;
};

}  // namespace

class MemoryStream : public IStream {
 public:
  using Interfaces = InterfaceTable<IStream, ISequentialStream>;

  MemoryStream(std::shared_ptr<SharedBlock> shared, std::u16string name, std::uint64_t pos)
      : shared_(std::move(shared)), name_(std::move(name)), pos_(pos) {}

  HGLOBAL Handle() const { return shared_->handle; }

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pcbRead) *pcbRead = 0;
    if (!pv) return STG_E_INVALIDPOINTER;
    Block& b = *shared_->block;
    std::lock_guard lock(b.mutex);
    ULONG n = 0;
    if (pos_ < b.bytes.size()) n = static_cast<ULONG>(std::min<std::uint64_t>(cb, b.bytes.size() - pos_));
    if (n) std::memcpy(pv, b.bytes.data() + pos_, n);
    pos_ += n;
    if (pcbRead) *pcbRead = n;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pcbWritten) *pcbWritten = 0;
    if (!pv) return STG_E_INVALIDPOINTER;
    if (cb == 0) return S_OK;
    if (pos_ > kMaxBlockSize || cb > kMaxBlockSize - pos_) return STG_E_MEDIUMFULL;
    Block& b = *shared_->block;
    std::lock_guard lock(b.mutex);
    std::uint64_t end = pos_ + cb;
    if (end > b.bytes.size()) {
      if (HRESULT hr = Guarded([&] { b.bytes.resize(end); }); FAILED(hr)) return hr;
    }
    std::memcpy(b.bytes.data() + pos_, pv, cb);
    pos_ = end;
    if (pcbWritten) *pcbWritten = cb;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
    std::uint64_t size = Size();
    std::uint64_t pos = 0;
    HRESULT hr = streams::ComputeSeek(pos_, size, dlibMove, dwOrigin, &pos);
    if (FAILED(hr)) return hr;
    pos_ = pos;
    if (plibNewPosition) plibNewPosition->QuadPart = pos_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER libNewSize) override {
    if (libNewSize.QuadPart > kMaxBlockSize) return STG_E_MEDIUMFULL;
    Block& b = *shared_->block;
    std::lock_guard lock(b.mutex);
    return Guarded([&] { b.bytes.resize(libNewSize.QuadPart); });
  }

  HRESULT STDMETHODCALLTYPE CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override {
    return streams::CopyStream(this, pstm, cb, pcbRead, pcbWritten);
  }

  HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) override {
    return streams::FillStreamStat(pstatstg, grfStatFlag, name_, Size(), STGM_READWRITE);
  }

  HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override {
    if (!ppstm) return STG_E_INVALIDPOINTER;
    *ppstm = nullptr;
    ComPtr<Object<MemoryStream>> clone;
    HRESULT hr = Object<MemoryStream>::Make(&clone, shared_, name_, pos_);
    if (FAILED(hr)) return hr;
    *ppstm = clone.Detach();
    return S_OK;
  }

 private:
  std::uint64_t Size() {
    Block& b = *shared_->block;
    std::lock_guard lock(b.mutex);
    return b.bytes.size();
  }

  std::shared_ptr<SharedBlock> shared_;
  std::u16string name_;
  std::uint64_t pos_;
};

HRESULT CreateBlockStream(std::shared_ptr<Block> block, HGLOBAL handle, bool deleteOnRelease, std::u16string name,
                          IStream** out) {
  return Guarded([&] {
    auto shared = std::make_shared<SharedBlock>(std::move(block), handle, deleteOnRelease);
    ComPtr<Object<MemoryStream>> stream;
    HRESULT hr = Object<MemoryStream>::Make(&stream, std::move(shared), std::move(name), std::uint64_t{0});
    if (FAILED(hr)) return hr;
    *out = stream.Detach();
    return S_OK;
  });
}

}  // namespace kelmira::memory

using namespace kelmira::memory;

HRESULT CreateStreamOnHGlobal(HGLOBAL hGlobal, BOOL fDeleteOnRelease, IStream** ppstm) {
  if (!ppstm) return E_INVALIDARG;
  *ppstm = nullptr;
  bool ownHandle = false;
  if (!hGlobal) {
    hGlobal = GlobalAlloc(GMEM_MOVEABLE, 0);
    if (!hGlobal) return E_OUTOFMEMORY;
    ownHandle = true;
  }
  std::shared_ptr<Block> block = FindGlobal(hGlobal);
  if (!block) return E_INVALIDARG;
  HRESULT hr = CreateBlockStream(std::move(block), hGlobal, fDeleteOnRelease != FALSE, {}, ppstm);
  if (FAILED(hr) && ownHandle) GlobalFree(hGlobal);
  return hr;
}

HRESULT GetHGlobalFromStream(IStream* pstm, HGLOBAL* phglobal) {
  if (!pstm || !phglobal) return E_INVALIDARG;
  *phglobal = nullptr;
  auto* stream = dynamic_cast<MemoryStream*>(pstm);
  if (!stream || !stream->Handle()) return E_INVALIDARG;
  *phglobal = stream->Handle();
  return S_OK;
}

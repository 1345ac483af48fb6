// SHCreateStreamOnFileA: a stream over an open file. Reads and writes go through pread/pwrite at
// the stream's own position, so clones share the descriptor but not the position.
#include "com/file_errors.h"
#include "com/stream_util.h"
#include "com/utf16_util.h"

#include <kelmira/platform/com_object.h>
#include <kelmira/platform/guarded.h>

#include <cerrno>
#include <memory>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kelmira::files {
namespace {

constexpr std::uint64_t kMaxOffset = 0x7FFFFFFFFFFFFFFFull;

struct OpenFile {
  OpenFile(int f, std::string p, DWORD m) : fd(f), path(std::move(p)), mode(m) {}
  ~OpenFile() { close(fd); }
  OpenFile(const OpenFile&) = delete;
  OpenFile& operator=(const OpenFile&) = delete;

  bool CanRead() const { return (mode & 3) != STGM_WRITE; }
  bool CanWrite() const { return (mode & 3) != STGM_READ; }

  int fd;
  std::string path;
  DWORD mode;
};

FILETIME ToFileTime(const timespec& ts) {
  // 100-nanosecond ticks since 1601-01-01.
  constexpr std::int64_t kEpochDifference = 11644473600LL;
  std::uint64_t ticks = static_cast<std::uint64_t>(ts.tv_sec + kEpochDifference) * 10000000ull +
                        static_cast<std::uint64_t>(ts.tv_nsec / 100);
  return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFF), static_cast<DWORD>(ticks >> 32)};
}

class FileStream : public IStream {
 public:
  using Interfaces = InterfaceTable<IStream, ISequentialStream>;

  FileStream(std::shared_ptr<OpenFile> file, std::uint64_t pos) : file_(std::move(file)), pos_(pos) {}

  HRESULT STDMETHODCALLTYPE Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    if (pcbRead) *pcbRead = 0;
    if (!pv) return STG_E_INVALIDPOINTER;
    if (!file_->CanRead()) return STG_E_ACCESSDENIED;
    ULONG done = 0;
    while (done < cb && pos_ + done <= kMaxOffset) {
      ssize_t n = pread(file_->fd, static_cast<BYTE*>(pv) + done, cb - done, static_cast<off_t>(pos_ + done));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        pos_ += done;
        if (pcbRead) *pcbRead = done;
        return STG_E_READFAULT;
      }
      if (n == 0) break;
      done += static_cast<ULONG>(n);
    }
    pos_ += done;
    if (pcbRead) *pcbRead = done;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Write(const void* pv, ULONG cb, ULONG* pcbWritten) override {
    if (pcbWritten) *pcbWritten = 0;
    if (!pv) return STG_E_INVALIDPOINTER;
    if (!file_->CanWrite()) return STG_E_ACCESSDENIED;
    if (pos_ > kMaxOffset - cb) return STG_E_MEDIUMFULL;
    ULONG done = 0;
    HRESULT hr = S_OK;
    while (done < cb) {
      ssize_t n = pwrite(file_->fd, static_cast<const BYTE*>(pv) + done, cb - done, static_cast<off_t>(pos_ + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        hr = WriteErrorToHResult(n < 0 ? errno : ENOSPC);
        break;
      }
      done += static_cast<ULONG>(n);
    }
    pos_ += done;
    if (pcbWritten) *pcbWritten = done;
    return hr;
  }

  HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override {
    std::uint64_t size = 0;
    if (dwOrigin == STREAM_SEEK_END) {
      if (HRESULT hr = FileSize(&size); FAILED(hr)) return hr;
    }
    std::uint64_t pos = 0;
    if (HRESULT hr = streams::ComputeSeek(pos_, size, dlibMove, dwOrigin, &pos); FAILED(hr)) return hr;
    pos_ = pos;
    if (plibNewPosition) plibNewPosition->QuadPart = pos_;
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER libNewSize) override {
    if (!file_->CanWrite()) return STG_E_ACCESSDENIED;
    if (libNewSize.QuadPart > kMaxOffset) return STG_E_MEDIUMFULL;
    while (ftruncate(file_->fd, static_cast<off_t>(libNewSize.QuadPart)) != 0) {
      if (errno == EINTR) continue;
      return errno == EINVAL ? STG_E_MEDIUMFULL : WriteErrorToHResult(errno);
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                   ULARGE_INTEGER* pcbWritten) override {
    return streams::CopyStream(this, pstm, cb, pcbRead, pcbWritten);
  }

  // Commit makes the written data durable.
  HRESULT STDMETHODCALLTYPE Commit(DWORD) override {
    if (!file_->CanWrite()) return S_OK;
    if (fsync(file_->fd) != 0 && errno != EINVAL && errno != EROFS) return WriteErrorToHResult(errno);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Revert() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return STG_E_INVALIDFUNCTION; }
  HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override {
    return STG_E_INVALIDFUNCTION;
  }

  HRESULT STDMETHODCALLTYPE Stat(STATSTG* pstatstg, DWORD grfStatFlag) override {
    if (!pstatstg) return STG_E_INVALIDPOINTER;
    struct stat st;
    if (fstat(file_->fd, &st) != 0) return STG_E_ACCESSDENIED;
    HRESULT hr = streams::FillStreamStat(pstatstg, grfStatFlag, utf16::FromUtf8(file_->path),
                                         static_cast<std::uint64_t>(st.st_size), file_->mode);
    if (FAILED(hr)) return hr;
    pstatstg->mtime = ToFileTime(st.st_mtim);
    pstatstg->ctime = ToFileTime(st.st_ctim);
    pstatstg->atime = ToFileTime(st.st_atim);
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clone(IStream** ppstm) override {
    if (!ppstm) return STG_E_INVALIDPOINTER;
    *ppstm = nullptr;
    ComPtr<Object<FileStream>> clone;
    HRESULT hr = Object<FileStream>::Make(&clone, file_, pos_);
    if (SUCCEEDED(hr)) *ppstm = clone.Detach();
    return hr;
  }

 private:
  HRESULT FileSize(std::uint64_t* out) {
    struct stat st;
    if (fstat(file_->fd, &st) != 0) return STG_E_ACCESSDENIED;
    *out = static_cast<std::uint64_t>(st.st_size);
    return S_OK;
  }

  std::shared_ptr<OpenFile> file_;
  std::uint64_t pos_;
};

}  // namespace
}  // namespace kelmira::files

HRESULT SHCreateStreamOnFileA(LPCSTR pszFile, DWORD grfMode, IStream** ppstm) {
  using namespace kelmira;
  using namespace kelmira::files;
  if (!ppstm) return E_INVALIDARG;
  *ppstm = nullptr;
  if (!pszFile || !*pszFile) return E_INVALIDARG;
  DWORD access = grfMode & 3;
  if (access == 3) return STG_E_INVALIDFLAG;
  int flags = O_CLOEXEC | (access == STGM_READ ? O_RDONLY : access == STGM_WRITE ? O_WRONLY : O_RDWR);
  if (grfMode & STGM_CREATE) flags = (flags & ~(O_RDONLY | O_WRONLY | O_RDWR)) | O_RDWR | O_CREAT | O_TRUNC;
  int fd = open(pszFile, flags, 0644);
  if (fd < 0) return OpenErrorToHResult(errno, pszFile);
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    return STG_E_ACCESSDENIED;
  }
  std::shared_ptr<OpenFile> file;
  if (HRESULT hr = Guarded([&] { file = std::make_shared<OpenFile>(fd, pszFile, grfMode); }); FAILED(hr)) {
    close(fd);  // not yet owned by a record
    return hr;
  }
  ComPtr<Object<FileStream>> stream;
  HRESULT hr = Object<FileStream>::Make(&stream, std::move(file), std::uint64_t{0});
  if (SUCCEEDED(hr)) *ppstm = stream.Detach();
  return hr;
}

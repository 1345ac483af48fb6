// Seek arithmetic, stream-to-stream copies and STATSTG filling.
#include "com/stream_util.h"
#include "com/utf16_util.h"

#include <limits>
#include <vector>

namespace kelmira::streams {

HRESULT ComputeSeek(std::uint64_t current, std::uint64_t end, LARGE_INTEGER move, DWORD origin, std::uint64_t* out) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
  std::uint64_t base = 0;
  switch (origin) {
    case STREAM_SEEK_SET: break;
    case STREAM_SEEK_CUR: base = current; break;
    case STREAM_SEEK_END: base = end; break;
    default: return STG_E_INVALIDFUNCTION;
  }
  if (base > kMax) return STG_E_INVALIDFUNCTION;
  std::int64_t pos = 0;
  if (__builtin_add_overflow(static_cast<std::int64_t>(base), move.QuadPart, &pos) || pos < 0)
    return STG_E_INVALIDFUNCTION;
  *out = static_cast<std::uint64_t>(pos);
  return S_OK;
}

HRESULT CopyStream(IStream* src, IStream* dst, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) {
  if (pcbRead) pcbRead->QuadPart = 0;
  if (pcbWritten) pcbWritten->QuadPart = 0;
  if (!dst) return STG_E_INVALIDPOINTER;
  std::vector<BYTE> chunk(64 * 1024);
  std::uint64_t left = cb.QuadPart;
  std::uint64_t totalRead = 0;
  std::uint64_t totalWritten = 0;
  HRESULT hr = S_OK;
  while (left > 0) {
    ULONG want = static_cast<ULONG>(std::min<std::uint64_t>(left, chunk.size()));
    ULONG got = 0;
    hr = src->Read(chunk.data(), want, &got);
    if (FAILED(hr) || got == 0) break;
    totalRead += got;
    left -= got;
    ULONG put = 0;
    hr = dst->Write(chunk.data(), got, &put);
    totalWritten += put;
    if (FAILED(hr)) break;
    if (put < got) {
      hr = STG_E_MEDIUMFULL;
      break;
    }
    if (got < want) break;  // end of the source
  }
  if (pcbRead) pcbRead->QuadPart = totalRead;
  if (pcbWritten) pcbWritten->QuadPart = totalWritten;
  return FAILED(hr) ? hr : S_OK;
}

HRESULT FillStreamStat(STATSTG* out, DWORD statFlag, std::u16string_view name, std::uint64_t size, DWORD mode) {
  if (!out) return STG_E_INVALIDPOINTER;
  *out = STATSTG{};
  if (!(statFlag & STATFLAG_NONAME) && !name.empty()) {
    out->pwcsName = utf16::TaskStrDup(name);
    if (!out->pwcsName) return STG_E_INSUFFICIENTMEMORY;
  }
  out->type = STGTY_STREAM;
  out->cbSize.QuadPart = size;
  out->grfMode = mode;
  return S_OK;
}

}  // namespace kelmira::streams

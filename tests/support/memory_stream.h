// Memory streams made from bytes and read back as bytes, so tests can inspect, cut and patch what
// was saved.
#pragma once

#include <kelmira/platform.h>

#include <vector>

namespace kelmira::test {

// A stream holding `bytes`, positioned at the start.
inline ComPtr<IStream> StreamOf(const std::vector<BYTE>& bytes = {}) {
  ComPtr<IStream> stream;
  CreateStreamOnHGlobal(nullptr, TRUE, &stream);
  stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  return stream;
}

inline ULONGLONG PositionOf(IStream* stream) {
  ULARGE_INTEGER pos{};
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_CUR, &pos);
  return pos.QuadPart;
}

// The whole content; the position is kept.
inline std::vector<BYTE> BytesOf(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<BYTE> bytes(stat.cbSize.QuadPart);
  LARGE_INTEGER pos{static_cast<LONGLONG>(PositionOf(stream))};
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  stream->Seek(pos, STREAM_SEEK_SET, nullptr);
  return bytes;
}

}  // namespace kelmira::test

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

// The whole content, read from the start.
inline std::vector<BYTE> BytesOf(IStream* stream) {
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<BYTE> bytes(stat.cbSize.QuadPart);
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  return bytes;
}

}  // namespace kelmira::test

// Memory streams made from bytes, and a stream's position, next bytes and memory block read back.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kelmira::test {

inline LARGE_INTEGER Move(LONGLONG v) { return LARGE_INTEGER{v}; }

inline ComPtr<IStream> MemoryStream(const std::string& bytes = "") {
  ComPtr<IStream> s;
  ULONG n = 0;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
  EXPECT_EQ(s->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &n), S_OK);
  EXPECT_EQ(n, bytes.size());
  return s;
}

inline std::uint64_t Position(IStream* s) {
  ULARGE_INTEGER pos{};
  EXPECT_EQ(s->Seek(Move(0), STREAM_SEEK_CUR, &pos), S_OK);
  return pos.QuadPart;
}

// Up to `size` bytes from the current position.
inline std::string Read(IStream* s, ULONG size = 64) {
  std::string out(size, '\0');
  ULONG n = 0;
  EXPECT_EQ(s->Read(out.data(), size, &n), S_OK);
  return out.substr(0, n);
}

// The bytes of the memory block behind a memory stream.
inline std::string Block(IStream* s) {
  HGLOBAL h = nullptr;
  EXPECT_EQ(GetHGlobalFromStream(s, &h), S_OK);
  std::string out(static_cast<const char*>(GlobalLock(h)), GlobalSize(h));
  GlobalUnlock(h);
  return out;
}

}  // namespace kelmira::test

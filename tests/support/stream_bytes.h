// Memory streams made from bytes (positioned at their end), and a stream's next bytes and memory
// block read back; positions come from support/memory_stream.h.
#pragma once

#include "support/memory_stream.h"

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <string>

namespace kelmira::test {

inline ComPtr<IStream> MemoryStream(const std::string& bytes = "") {
  ComPtr<IStream> s;
  ULONG n = 0;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
  EXPECT_EQ(s->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &n), S_OK);
  EXPECT_EQ(n, bytes.size());
  return s;
}

// Up to 64 bytes from the current position.
inline std::string Read(IStream* s) {
  std::string out(64, '\0');
  ULONG n = 0;
  EXPECT_EQ(s->Read(out.data(), 64, &n), S_OK);
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

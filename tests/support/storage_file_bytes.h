// Storage files made of given bytes, and the CRC-32 trailer that lets forged contents reach the
// parser.
#pragma once

#include "support/scratch_dir.h"

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace kelmira::test {

// Writes bytes to path and opens them; a storage comes back exactly when the result is a success.
inline HRESULT OpenStorageBytes(const std::string& path, const std::string& bytes) {
  WriteFile(path, bytes);
  ComPtr<IStorage> loaded;
  const HRESULT hr = StgOpenStorageFromFile(path.c_str(), &loaded);
  EXPECT_EQ(SUCCEEDED(hr), loaded != nullptr);
  return hr;
}

// body followed by its CRC-32 (IEEE, as zlib computes it), little-endian.
inline std::string WithCrc(std::string body) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (char ch : body) {
    crc ^= static_cast<unsigned char>(ch);
    for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
  }
  for (int i = 0; i < 4; ++i) body.push_back(static_cast<char>(~crc >> (8 * i)));
  return body;
}

}  // namespace kelmira::test

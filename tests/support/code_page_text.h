// Whole strings through MultiByteToWideChar and WideCharToMultiByte: each call sizes first, then
// fills exactly that much, so the two passes must agree.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <string>

namespace kelmira::test {

inline std::u16string ToWide(UINT cp, const std::string& in) {
  const int size = static_cast<int>(in.size()), n = MultiByteToWideChar(cp, 0, in.data(), size, nullptr, 0);
  std::u16string out(static_cast<std::size_t>(n), u'\0');
  EXPECT_EQ(MultiByteToWideChar(cp, 0, in.data(), size, out.data(), n), n);
  return out;
}

inline std::string ToBytes(UINT cp, const std::u16string& in, BOOL* usedDefault = nullptr,
                           LPCSTR defaultChar = nullptr) {
  const int size = static_cast<int>(in.size());
  const int n = WideCharToMultiByte(cp, 0, in.data(), size, nullptr, 0, defaultChar, usedDefault);
  std::string out(static_cast<std::size_t>(n), '\0');
  EXPECT_EQ(WideCharToMultiByte(cp, 0, in.data(), size, out.data(), n, defaultChar, usedDefault), n);
  return out;
}

}  // namespace kelmira::test

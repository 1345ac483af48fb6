// The tools' text is UTF-8; the components take and give BSTRs (UTF-16).
#pragma once

#include <kelmira/platform.h>

#include <string>

namespace kelmira::tools {

inline Bstr ToBstr(const std::string& utf8) {
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, nullptr, 0);
  Bstr text = Bstr::Attach(SysAllocStringLen(nullptr, n > 0 ? static_cast<UINT>(n - 1) : 0));
  if (n > 1 && text) MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, text.get(), n);
  return text;
}

inline std::string Utf8Of(const OLECHAR* text) {
  std::string out;
  const int n = text ? WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr) : 0;
  if (n <= 1) return out;
  out.resize(static_cast<std::size_t>(n));
  WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
  out.pop_back();
  return out;
}

}  // namespace kelmira::tools

// UTF-8 <-> UTF-16 conversion for the platform's own use (registry names, GUID strings, storage
// element names). Invalid input becomes U+FFFD rather than failing: these strings are names, and
// a replacement character is more useful to a caller than an error.
#pragma once

#include <kelmira/platform/combase.h>

#include <cstring>
#include <string>
#include <string_view>

namespace kelmira::utf16 {

inline std::size_t Length(const OLECHAR* s) {
  std::size_t n = 0;
  if (s)
    while (s[n]) ++n;
  return n;
}

inline std::u16string_view View(const OLECHAR* s) { return {s ? s : u"", Length(s)}; }

inline void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
    return;
  }
  c -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
}

// Decodes one UTF-8 sequence at s[i]; returns its length, or 0 when it is not valid.
inline std::size_t DecodeUtf8(std::string_view s, std::size_t i, char32_t* out) {
  auto b = static_cast<unsigned char>(s[i]);
  if (b < 0x80) {
    *out = b;
    return 1;
  }
  std::size_t extra = (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : 0;
  if (extra == 0 || s.size() - i <= extra) return 0;
  char32_t c = b & (0x3F >> extra);
  for (std::size_t k = 1; k <= extra; ++k) {
    auto t = static_cast<unsigned char>(s[i + k]);
    if ((t & 0xC0) != 0x80) return 0;
    c = (c << 6) | (t & 0x3F);
  }
  static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
  if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  *out = c;
  return extra + 1;
}

inline std::u16string FromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  std::size_t i = 0;
  while (i < s.size()) {
    char32_t c = 0;
    std::size_t n = DecodeUtf8(s, i, &c);
    if (n == 0) {
      out.push_back(u'\uFFFD');
      ++i;
      continue;
    }
    AppendUtf16(out, c);
    i += n;
  }
  return out;
}

inline void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

inline std::string ToUtf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size(); ++i) {
    char32_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUtf8(out, c);
  }
  return out;
}

inline std::string ToUtf8(const OLECHAR* s) { return ToUtf8(View(s)); }

// A NUL-terminated copy in task memory, as returned through LPOLESTR out-arguments.
inline LPOLESTR TaskStrDup(std::u16string_view s) {
  auto* p = static_cast<LPOLESTR>(CoTaskMemAlloc((s.size() + 1) * sizeof(OLECHAR)));
  if (!p) return nullptr;
  if (!s.empty()) std::memcpy(p, s.data(), s.size() * sizeof(OLECHAR));
  p[s.size()] = 0;
  return p;
}

}  // namespace kelmira::utf16

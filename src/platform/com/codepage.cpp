// MultiByteToWideChar and WideCharToMultiByte for Windows-1252 and UTF-8.
#include "com/codepage.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace kelmira::codepage {
namespace {

// Bytes 0x80..0x9F; the rest of Windows-1252 is Latin-1.
constexpr char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// One decoded UTF-8 sequence: the code point (U+FFFD if ill-formed) and the bytes it took.
struct Utf8Step {
  char32_t ch;
  std::size_t length;
  bool valid;
};

// Decodes at s[0..n); an ill-formed sequence consumes its maximal well-formed prefix (at least
// one byte), so each one yields a single replacement.
Utf8Step DecodeUtf8(const unsigned char* s, std::size_t n) {
  const unsigned char lead = s[0];
  if (lead < 0x80) return {lead, 1, true};
  std::size_t need;
  unsigned char lo = 0x80, hi = 0xBF;
  char32_t ch;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1, ch = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2, ch = lead & 0x0F;
    if (lead == 0xE0) lo = 0xA0;
    if (lead == 0xED) hi = 0x9F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3, ch = lead & 0x07;
    if (lead == 0xF0) lo = 0x90;
    if (lead == 0xF4) hi = 0x8F;
  } else {
    return {kReplacement, 1, false};
  }
  for (std::size_t i = 1; i <= need; ++i) {
    if (i >= n || s[i] < lo || s[i] > hi) return {kReplacement, i, false};
    ch = (ch << 6) | (s[i] & 0x3F);
    lo = 0x80, hi = 0xBF;
  }
  return {ch, need + 1, true};
}

// One UTF-16 code point: the character (U+FFFD for a lone surrogate) and the units it took.
struct Utf16Step {
  char32_t ch;
  std::size_t length;
  bool valid;
};

Utf16Step DecodeUtf16(const char16_t* s, std::size_t n) {
  const char32_t c = s[0];
  if (IsHighSurrogate(c)) {
    if (n > 1 && IsLowSurrogate(s[1])) return {0x10000 + ((c - 0xD800) << 10) + (s[1] - 0xDC00), 2, true};
    return {kReplacement, 1, false};
  }
  if (IsLowSurrogate(c)) return {kReplacement, 1, false};
  return {c, 1, true};
}

// Collects output units: counts them, and stores them while the caller's buffer has room.
template <class Unit>
class Output {
 public:
  Output(Unit* buffer, int capacity) : buffer_(buffer), capacity_(buffer ? capacity : 0) {}
  void Put(Unit u) {
    if (buffer_ && count_ < capacity_) buffer_[count_] = u;
    ++count_;
  }
  std::int64_t count() const { return count_; }
  bool overflowed() const { return buffer_ && count_ > capacity_; }

 private:
  Unit* buffer_;
  std::int64_t capacity_;
  std::int64_t count_ = 0;
};

// Writes a code point as UTF-16 units through put(char16_t).
template <class Put>
void EncodeUtf16(char32_t ch, Put&& put) {
  if (ch < 0x10000) return put(static_cast<char16_t>(ch));
  ch -= 0x10000;
  put(static_cast<char16_t>(0xD800 + (ch >> 10)));
  put(static_cast<char16_t>(0xDC00 + (ch & 0x3FF)));
}

// Writes a code point as UTF-8 bytes through put(char).
template <class Put>
void EncodeUtf8(char32_t ch, Put&& put) {
  auto byte = [&](char32_t v) { put(static_cast<char>(static_cast<unsigned char>(v))); };
  if (ch < 0x80) return byte(ch);
  if (ch < 0x800) return byte(0xC0 | (ch >> 6)), byte(0x80 | (ch & 0x3F));
  if (ch < 0x10000) return byte(0xE0 | (ch >> 12)), byte(0x80 | ((ch >> 6) & 0x3F)), byte(0x80 | (ch & 0x3F));
  byte(0xF0 | (ch >> 18));
  byte(0x80 | ((ch >> 12) & 0x3F));
  byte(0x80 | ((ch >> 6) & 0x3F));
  byte(0x80 | (ch & 0x3F));
}

}  // namespace

char16_t FromWindows1252(unsigned char byte) {
  return byte >= 0x80 && byte <= 0x9F ? kHighControls[byte - 0x80] : char16_t{byte};
}

int ToWindows1252(char32_t ch) {
  if (ch < 0x80 || (ch >= 0xA0 && ch <= 0xFF)) return static_cast<int>(ch);
  for (int i = 0; i < 32; ++i)
    if (kHighControls[i] == ch) return 0x80 + i;
  return -1;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string result;
  result.reserve(utf8.size());
  const auto* s = reinterpret_cast<const unsigned char*>(utf8.data());
  for (std::size_t i = 0; i < utf8.size();) {
    const Utf8Step step = DecodeUtf8(s + i, utf8.size() - i);
    EncodeUtf16(step.ch, [&](char16_t u) { result.push_back(u); });
    i += step.length;
  }
  return result;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string result;
  result.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size();) {
    const Utf16Step step = DecodeUtf16(utf16.data() + i, utf16.size() - i);
    EncodeUtf8(step.ch, [&](char c) { result.push_back(c); });
    i += step.length;
  }
  return result;
}

}  // namespace kelmira::codepage

namespace {

using namespace kelmira::codepage;

enum class CodePage { Windows1252, Utf8, Unknown };

CodePage Resolve(UINT cp) {
  switch (cp) {
    case CP_ACP:
    case CP_OEMCP:
    case CP_THREAD_ACP:
    case CP_1252: return CodePage::Windows1252;
    case CP_UTF8: return CodePage::Utf8;
    default: return CodePage::Unknown;
  }
}

int Fail(LONG error) {
  SetLastError(static_cast<DWORD>(error));
  return 0;
}

// The converted count, or 0 with the last error set when it does not fit the caller's buffer.
template <class Unit>
int Finish(const Output<Unit>& out) {
  if (out.overflowed()) return Fail(ERROR_INSUFFICIENT_BUFFER);
  if (out.count() > std::numeric_limits<int>::max()) return Fail(ERROR_INSUFFICIENT_BUFFER);
  return static_cast<int>(out.count());
}

std::size_t InputLength(LPCSTR s, int cb) { return cb == -1 ? std::strlen(s) + 1 : static_cast<std::size_t>(cb); }

std::size_t InputLength(LPCWSTR s, int cch) {
  if (cch != -1) return static_cast<std::size_t>(cch);
  std::size_t n = 0;
  while (s[n]) ++n;
  return n + 1;
}

// Returns false (with the error set) when the UTF-8 input is ill-formed and that must fail.
bool DecodeUtf8Into(Output<char16_t>& out, const unsigned char* s, std::size_t n, bool strict) {
  for (std::size_t i = 0; i < n;) {
    const Utf8Step step = DecodeUtf8(s + i, n - i);
    if (!step.valid && strict) return Fail(ERROR_NO_UNICODE_TRANSLATION), false;
    EncodeUtf16(step.ch, [&](char16_t u) { out.Put(u); });
    i += step.length;
  }
  return true;
}

void Encode1252Into(Output<char>& out, LPCWSTR s, std::size_t n, char defaultChar, BOOL* usedDefault) {
  for (std::size_t i = 0; i < n;) {
    const Utf16Step step = DecodeUtf16(s + i, n - i);
    const int byte = step.valid ? ToWindows1252(step.ch) : -1;
    if (byte < 0 && usedDefault) *usedDefault = TRUE;
    out.Put(byte < 0 ? defaultChar : static_cast<char>(static_cast<unsigned char>(byte)));
    i += step.length;
  }
}

bool EncodeUtf8Into(Output<char>& out, LPCWSTR s, std::size_t n, bool strict) {
  for (std::size_t i = 0; i < n;) {
    const Utf16Step step = DecodeUtf16(s + i, n - i);
    if (!step.valid && strict) return Fail(ERROR_NO_UNICODE_TRANSLATION), false;
    EncodeUtf8(step.ch, [&](char c) { out.Put(c); });
    i += step.length;
  }
  return true;
}

constexpr DWORD kAnsiToWideFlags = MB_PRECOMPOSED | MB_COMPOSITE | MB_USEGLYPHCHARS | MB_ERR_INVALID_CHARS;
constexpr DWORD kWideToAnsiFlags =
    WC_DISCARDNS | WC_SEPCHARS | WC_DEFAULTCHAR | WC_COMPOSITECHECK | WC_NO_BEST_FIT_CHARS;

}  // namespace

UINT GetACP() { return CP_1252; }

int MultiByteToWideChar(UINT CodePage, DWORD dwFlags, LPCSTR lpMultiByteStr, int cbMultiByte, LPWSTR lpWideCharStr,
                        int cchWideChar) {
  const auto cp = Resolve(CodePage);
  if (cp == CodePage::Unknown) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpMultiByteStr || cbMultiByte == 0 || cbMultiByte < -1 || cchWideChar < 0) return Fail(ERROR_INVALID_PARAMETER);
  if (cchWideChar > 0 && !lpWideCharStr) return Fail(ERROR_INVALID_PARAMETER);
  const DWORD allowed = cp == CodePage::Utf8 ? MB_ERR_INVALID_CHARS : kAnsiToWideFlags;
  if (dwFlags & ~allowed) return Fail(ERROR_INVALID_FLAGS);

  const std::size_t n = InputLength(lpMultiByteStr, cbMultiByte);
  const auto* bytes = reinterpret_cast<const unsigned char*>(lpMultiByteStr);
  Output<char16_t> out(cchWideChar > 0 ? lpWideCharStr : nullptr, cchWideChar);
  if (cp == CodePage::Utf8) {
    if (!DecodeUtf8Into(out, bytes, n, (dwFlags & MB_ERR_INVALID_CHARS) != 0)) return 0;
  } else {
    for (std::size_t i = 0; i < n; ++i) out.Put(FromWindows1252(bytes[i]));
  }
  return Finish(out);
}

int WideCharToMultiByte(UINT CodePage, DWORD dwFlags, LPCWSTR lpWideCharStr, int cchWideChar, LPSTR lpMultiByteStr,
                        int cbMultiByte, LPCSTR lpDefaultChar, BOOL* lpUsedDefaultChar) {
  const auto cp = Resolve(CodePage);
  if (cp == CodePage::Unknown) return Fail(ERROR_INVALID_PARAMETER);
  if (!lpWideCharStr || cchWideChar == 0 || cchWideChar < -1 || cbMultiByte < 0) return Fail(ERROR_INVALID_PARAMETER);
  if (cbMultiByte > 0 && !lpMultiByteStr) return Fail(ERROR_INVALID_PARAMETER);
  if (cp == CodePage::Utf8 && (lpDefaultChar || lpUsedDefaultChar)) return Fail(ERROR_INVALID_PARAMETER);
  const DWORD allowed = cp == CodePage::Utf8 ? WC_ERR_INVALID_CHARS : kWideToAnsiFlags;
  if (dwFlags & ~allowed) return Fail(ERROR_INVALID_FLAGS);

  const std::size_t n = InputLength(lpWideCharStr, cchWideChar);
  Output<char> out(cbMultiByte > 0 ? lpMultiByteStr : nullptr, cbMultiByte);
  if (cp == CodePage::Utf8) {
    if (!EncodeUtf8Into(out, lpWideCharStr, n, (dwFlags & WC_ERR_INVALID_CHARS) != 0)) return 0;
  } else {
    if (lpUsedDefaultChar) *lpUsedDefaultChar = FALSE;
    Encode1252Into(out, lpWideCharStr, n, lpDefaultChar ? lpDefaultChar[0] : '?', lpUsedDefaultChar);
  }
  return Finish(out);
}

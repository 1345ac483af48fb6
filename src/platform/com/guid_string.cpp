// GUIDs to text and back, and new random GUIDs.
#include "com/guid_text.h"
#include "com/utf16_util.h"

#include <kelmira/platform/combase.h>

#include <sys/random.h>

#include <cerrno>
#include <cstdio>

namespace kelmira::guidtext {
namespace {

int HexValue(char32_t c) {
  if (c >= '0' && c <= '9') return static_cast<int>(c - '0');
  if (c >= 'a' && c <= 'f') return static_cast<int>(c - 'a' + 10);
  if (c >= 'A' && c <= 'F') return static_cast<int>(c - 'A' + 10);
  return -1;
}

// Reads `digits` hex digits at text[pos].
template <class Str>
bool ReadHex(const Str& text, std::size_t pos, int digits, std::uint32_t* out) {
  std::uint32_t v = 0;
  for (int i = 0; i < digits; ++i) {
    int h = HexValue(text[pos + i]);
    if (h < 0) return false;
    v = (v << 4) | static_cast<std::uint32_t>(h);
  }
  *out = v;
  return true;
}

template <class Str>
bool ParseAny(const Str& text, GUID* out) {
  if (text.size() != kLength || text[0] != '{' || text[37] != '}') return false;
  if (text[9] != '-' || text[14] != '-' || text[19] != '-' || text[24] != '-') return false;
  GUID g{};
  std::uint32_t v = 0;
  if (!ReadHex(text, 1, 8, &v)) return false;
  g.Data1 = v;
  if (!ReadHex(text, 10, 4, &v)) return false;
  g.Data2 = static_cast<std::uint16_t>(v);
  if (!ReadHex(text, 15, 4, &v)) return false;
  g.Data3 = static_cast<std::uint16_t>(v);
  static constexpr std::size_t kBytePos[8] = {20, 22, 25, 27, 29, 31, 33, 35};
  for (int i = 0; i < 8; ++i) {
    if (!ReadHex(text, kBytePos[i], 2, &v)) return false;
    g.Data4[i] = static_cast<std::uint8_t>(v);
  }
  *out = g;
  return true;
}

}  // namespace

std::string Format(const GUID& g) {
  char buf[kLength + 1];
  std::snprintf(buf, sizeof buf, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", g.Data1, g.Data2, g.Data3,
                g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  return std::string(buf, kLength);
}

bool Parse(std::string_view text, GUID* out) { return ParseAny(text, out); }
bool Parse(std::u16string_view text, GUID* out) { return ParseAny(text, out); }

}  // namespace kelmira::guidtext

using namespace kelmira;

int StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax) {
  if (!lpsz || cchMax < static_cast<int>(guidtext::kLength + 1)) return 0;
  std::string text = guidtext::Format(rguid);
  for (std::size_t i = 0; i < text.size(); ++i) lpsz[i] = static_cast<OLECHAR>(text[i]);
  lpsz[text.size()] = 0;
  return static_cast<int>(text.size() + 1);
}

HRESULT StringFromCLSID(REFCLSID rclsid, LPOLESTR* lplpsz) {
  if (!lplpsz) return E_INVALIDARG;
  *lplpsz = utf16::TaskStrDup(utf16::FromUtf8(guidtext::Format(rclsid)));
  return *lplpsz ? S_OK : E_OUTOFMEMORY;
}

HRESULT StringFromIID(REFIID rclsid, LPOLESTR* lplpsz) { return StringFromCLSID(rclsid, lplpsz); }

HRESULT IIDFromString(LPCOLESTR lpsz, LPIID lpiid) {
  if (!lpiid) return E_INVALIDARG;
  *lpiid = GUID_NULL;
  if (!lpsz) return S_OK;  // as on the desktop platform: no text is the null IID
  return guidtext::Parse(utf16::View(lpsz), lpiid) ? S_OK : CO_E_CLASSSTRING;
}

// Text in braces must be a GUID; anything else is taken as a ProgID.
HRESULT CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid) {
  if (!pclsid) return E_INVALIDARG;
  *pclsid = GUID_NULL;
  if (!lpsz) return S_OK;
  std::u16string_view text = utf16::View(lpsz);
  if (!text.empty() && text[0] == u'{') return guidtext::Parse(text, pclsid) ? S_OK : CO_E_CLASSSTRING;
  HRESULT hr = CLSIDFromProgID(lpsz, pclsid);
  if (hr == REGDB_E_READREGDB) return hr;
  return FAILED(hr) ? CO_E_CLASSSTRING : S_OK;
}

HRESULT CoCreateGuid(GUID* pguid) {
  if (!pguid) return E_INVALIDARG;
  unsigned char bytes[sizeof(GUID)];
  std::size_t got = 0;
  while (got < sizeof bytes) {
    ssize_t n = getrandom(bytes + got, sizeof bytes - got, 0);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return E_FAIL;
    got += static_cast<std::size_t>(n);
  }
  std::memcpy(pguid, bytes, sizeof bytes);
  pguid->Data3 = static_cast<std::uint16_t>((pguid->Data3 & 0x0FFF) | 0x4000);   // version 4
  pguid->Data4[0] = static_cast<std::uint8_t>((pguid->Data4[0] & 0x3F) | 0x80);  // RFC 4122 variant
  return S_OK;
}

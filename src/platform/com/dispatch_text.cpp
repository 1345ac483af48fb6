// Text helpers of the dispatch engine and type information.
#include "com/dispatch_text.h"

#include "com/guid_text.h"
#include "com/utf16_util.h"

namespace kelmira::dispatch {

namespace {

char16_t FoldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<char16_t>(c + 32);
  return c;
}

}  // namespace

std::u16string Utf16FromUtf8(std::string_view text) { return utf16::FromUtf8(text); }

std::string Utf8FromUtf16(std::u16string_view text) { return utf16::ToUtf8(text); }

std::u16string_view View(const OLECHAR* text) { return utf16::View(text); }

bool EqualNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldCase(a[i]) != FoldCase(b[i])) return false;
  return true;
}

std::string GuidString(REFGUID g) { return guidtext::Format(g); }

BSTR AllocBstr(std::u16string_view text) { return SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

}  // namespace kelmira::dispatch

// Small text helpers of the dispatch engine and type information: UTF-8 <-> UTF-16, names
// compared without regard to case, GUIDs in registry form.
#pragma once

#include <kelmira/platform/oleauto.h>

#include <string>
#include <string_view>

namespace kelmira::dispatch {

std::u16string Utf16FromUtf8(std::string_view text);
std::string Utf8FromUtf16(std::u16string_view text);
// The characters of a NUL-terminated string (empty for null).
std::u16string_view View(const OLECHAR* text);
// Names match without regard to case (ASCII and Latin-1 letters).
bool EqualNoCase(std::u16string_view a, std::u16string_view b);
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case.
std::string GuidString(REFGUID guid);
// A new BSTR with these characters; null when allocation fails.
BSTR AllocBstr(std::u16string_view text);

}  // namespace kelmira::dispatch

// GUIDs as text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}", upper case on output, either case on
// input. Shared by the string functions, the registry users and the registrar.
#pragma once

#include <kelmira/platform/types.h>

#include <string>
#include <string_view>

namespace kelmira::guidtext {

constexpr std::size_t kLength = 38;  // without the NUL

std::string Format(const GUID& g);
// Strict: braces, dashes and exactly 32 hex digits; nothing before or after.
bool Parse(std::string_view text, GUID* out);
bool Parse(std::u16string_view text, GUID* out);

}  // namespace kelmira::guidtext

// Text between the interfaces' UTF-16 strings and the 8-bit text that drawing and windows take,
// in the system's ANSI code page.
#pragma once

#include <kelmira/kelmira.h>

#include <string>

namespace kelmira::common {

// A BSTR as ANSI text (empty for null).
std::string AnsiText(BSTR text);

// ANSI text as a new BSTR; null when it cannot be allocated.
BSTR AnsiToBstr(const std::string& text);

}  // namespace kelmira::common

// Code-page conversion shared inside the runtime: Windows-1252 and UTF-8 against UTF-16.
#pragma once

#include <kelmira/platform/oleauto.h>

#include <string>
#include <string_view>

namespace kelmira::codepage {

// The character a Windows-1252 byte stands for.
char16_t FromWindows1252(unsigned char byte);
// The Windows-1252 byte for a character, or -1 when the code page has none.
int ToWindows1252(char32_t ch);

// UTF-8 to UTF-16; ill-formed input becomes U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
// UTF-16 to UTF-8; lone surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

}  // namespace kelmira::codepage

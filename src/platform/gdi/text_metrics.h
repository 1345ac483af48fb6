// Text metrics records and ANSI text conversion shared by the text functions.
#pragma once

#include "gdi/font_instance.h"

#include <kelmira/platform/wingdi.h>

#include <string>

namespace kelmira::gdi {

void FillTextMetrics(const FontInstance& font, TEXTMETRICA* out);
void FillTextMetrics(const FontInstance& font, TEXTMETRICW* out);

// The metrics of a font object without a device context (for the component runtime's font
// objects); false and ERROR_INVALID_HANDLE for a handle that names no font.
bool FontObjectMetrics(HFONT font, TEXTMETRICW* out);

// ANSI (Windows-1252) text as UTF-16, one character per byte. A negative count means
// NUL-terminated.
std::u16string AnsiToUtf16(LPCSTR text, int count);

}  // namespace kelmira::gdi

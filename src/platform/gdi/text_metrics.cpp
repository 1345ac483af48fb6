// Text metrics records.
#include "gdi/text_metrics.h"

#include "gdi/font_face.h"
#include "gdi/gdi_error.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cstring>

namespace kelmira::gdi {
namespace {

// The character codes the desktop reports for its TrueType fonts in the ANSI code page.
constexpr BYTE kAnsiFirstChar = 0x1E;
constexpr BYTE kAnsiLastChar = 0xFF;
constexpr char16_t kDefaultChar = 0x1F;
constexpr char16_t kBreakChar = 0x20;
constexpr LONG kDpi = 96;

template <class Metrics>
void FillCommon(const FontInstance& font, Metrics* out) {
  const FontMetrics& m = font.Metrics();
  out->tmHeight = m.height;
  out->tmAscent = m.ascent;
  out->tmDescent = m.descent;
  out->tmInternalLeading = m.internalLeading;
  out->tmExternalLeading = m.externalLeading;
  out->tmAveCharWidth = m.aveCharWidth;
  out->tmMaxCharWidth = m.maxCharWidth;
  out->tmWeight = m.weight;
  out->tmOverhang = 0;
  out->tmDigitizedAspectX = kDpi;
  out->tmDigitizedAspectY = kDpi;
  out->tmItalic = m.italic ? 0xFF : 0;
  out->tmUnderlined = m.underline ? 0xFF : 0;
  out->tmStruckOut = m.strikeOut ? 0xFF : 0;
  out->tmPitchAndFamily = m.pitchAndFamily;
  out->tmCharSet = m.charSet;
}

}  // namespace

void FillTextMetrics(const FontInstance& font, TEXTMETRICA* out) {
  FillCommon(font, out);
  out->tmFirstChar = kAnsiFirstChar;
  out->tmLastChar = kAnsiLastChar;
  out->tmDefaultChar = static_cast<BYTE>(kDefaultChar);
  out->tmBreakChar = static_cast<BYTE>(kBreakChar);
}

void FillTextMetrics(const FontInstance& font, TEXTMETRICW* out) {
  FillCommon(font, out);
  out->tmFirstChar = u' ';
  out->tmLastChar = std::max(font.CharRange().second, u'\xFF');
  out->tmDefaultChar = kDefaultChar;
  out->tmBreakChar = kBreakChar;
}

bool FontObjectMetrics(HFONT handle, TEXTMETRICW* out) {
  FontObject* font = LookupFont(handle);
  if (!font) return false;
  auto instance = RealisedFont(*font);
  if (!instance) return Fail(ERROR_NOT_ENOUGH_MEMORY, false);
  FillTextMetrics(*instance, out);
  return true;
}

std::u16string AnsiToUtf16(LPCSTR text, int count) {
  if (!text || count == 0) return {};
  int length = count < 0 ? static_cast<int>(std::strlen(text)) : count;
  std::u16string wide(static_cast<std::size_t>(length), u'\0');
  // Windows-1252 maps every byte to one character, so the sizes agree.
  int converted = MultiByteToWideChar(CP_ACP, 0, text, length, wide.data(), length);
  wide.resize(static_cast<std::size_t>(std::max(converted, 0)));
  return wide;
}

}  // namespace kelmira::gdi

// Font creation and the font queries of a device context.
#include "gdi/device_context.h"
#include "gdi/font_face.h"
#include "gdi/gdi_error.h"
#include "gdi/text_metrics.h"

#include "com/codepage.h"

#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <cstring>

using namespace kelmira::gdi;

namespace {

// Character codes of the ANSI functions are Windows-1252 bytes; larger codes name characters.
char16_t CharOfCode(UINT code) {
  if (code <= 0xFF) return kelmira::codepage::FromWindows1252(static_cast<unsigned char>(code));
  return static_cast<char16_t>(code);
}

constexpr UINT kMaxCharWidthRange = 0x10000;

}  // namespace

HFONT CreateFontIndirectA(const LOGFONTA* lplf) {
  if (!lplf) return Fail<HFONT>(ERROR_INVALID_PARAMETER, nullptr);
  return AddFontObject(*lplf);
}

HFONT CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCSTR pszFaceName) {
  LOGFONTA lf{};
  lf.lfHeight = cHeight;
  lf.lfWidth = cWidth;
  lf.lfEscapement = cEscapement;
  lf.lfOrientation = cOrientation;
  lf.lfWeight = cWeight;
  lf.lfItalic = static_cast<BYTE>(bItalic);
  lf.lfUnderline = static_cast<BYTE>(bUnderline);
  lf.lfStrikeOut = static_cast<BYTE>(bStrikeOut);
  lf.lfCharSet = static_cast<BYTE>(iCharSet);
  lf.lfOutPrecision = static_cast<BYTE>(iOutPrecision);
  lf.lfClipPrecision = static_cast<BYTE>(iClipPrecision);
  lf.lfQuality = static_cast<BYTE>(iQuality);
  lf.lfPitchAndFamily = static_cast<BYTE>(iPitchAndFamily);
  if (pszFaceName) std::strncpy(lf.lfFaceName, pszFaceName, LF_FACESIZE - 1);
  return CreateFontIndirectA(&lf);
}

BOOL GetTextMetricsA(HDC hdc, LPTEXTMETRICA lptm) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!lptm) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  auto font = SelectedFontInstance(*dc);
  if (!font) return Fail(ERROR_NOT_ENOUGH_MEMORY, FALSE);
  FillTextMetrics(*font, lptm);
  return TRUE;
}

int GetTextFaceA(HDC hdc, int c, LPSTR lpName) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return 0;
  auto font = SelectedFontInstance(*dc);
  if (!font) return Fail(ERROR_NOT_ENOUGH_MEMORY, 0);
  return kelmira::GuardedOr(0, [&] {
    std::string ansi;
    for (char16_t ch : kelmira::codepage::Utf8ToUtf16(font->FaceName())) {
      int byte = kelmira::codepage::ToWindows1252(ch);
      ansi.push_back(static_cast<char>(byte < 0 ? '?' : byte));
    }
    const int needed = static_cast<int>(ansi.size()) + 1;
    if (!lpName) return needed;
    if (c <= 0) return Fail(ERROR_INVALID_PARAMETER, 0);
    const int copied = std::min(needed - 1, c - 1);
    std::memcpy(lpName, ansi.data(), static_cast<std::size_t>(copied));
    lpName[copied] = '\0';
    return copied + 1;
  });
}

BOOL GetCharWidth32A(HDC hdc, UINT iFirst, UINT iLast, INT* lpBuffer) {
  DeviceContext* dc = LookupDC(hdc);
  if (!dc) return FALSE;
  if (!lpBuffer || iFirst > iLast || iLast - iFirst >= kMaxCharWidthRange) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  auto font = SelectedFontInstance(*dc);
  if (!font) return Fail(ERROR_NOT_ENOUGH_MEMORY, FALSE);
  for (UINT code = iFirst;; ++code) {
    lpBuffer[code - iFirst] = font->Advance(CharOfCode(code));
    if (code == iLast) break;
  }
  return TRUE;
}

// Realising the fonts of font objects.
#include "gdi/font_face.h"

#include "com/codepage.h"
#include "gdi/device_context.h"

#include <kelmira/platform/guarded.h>

#include <cstring>
#include <mutex>

namespace kelmira::gdi {

// lfOrientation is not read: as on the desktop in the compatible graphics mode, glyphs turn with
// the escapement. The precision and quality fields change nothing; every font is an outline font
// drawn hinted and anti-aliased.
FontRequest RequestFromLogFont(const LOGFONTA& lf) {
  FontRequest request;
  std::u16string name;
  for (std::size_t i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i)
    name.push_back(codepage::FromWindows1252(static_cast<unsigned char>(lf.lfFaceName[i])));
  request.faceName = codepage::Utf16ToUtf8(name);
  request.height = lf.lfHeight;
  request.width = lf.lfWidth;
  request.weight = lf.lfWeight;
  request.escapement = lf.lfEscapement % 3600;
  request.italic = lf.lfItalic != 0;
  request.underline = lf.lfUnderline != 0;
  request.strikeOut = lf.lfStrikeOut != 0;
  request.charSet = lf.lfCharSet;
  request.pitchAndFamily = lf.lfPitchAndFamily;
  return request;
}

std::shared_ptr<const FontInstance> RealisedFont(FontObject& font) {
  // Two threads may draw with one font object at once.
  static std::mutex mutex;
  std::lock_guard lock(mutex);
  if (font.face && font.face->instance) return font.face->instance;
  return GuardedOr(std::shared_ptr<const FontInstance>{}, [&] {
    auto instance = FontInstance::Get(RequestFromLogFont(font.logFont));
    if (instance) font.face = std::make_shared<FontFace>(FontFace{instance});
    return instance;
  });
}

std::shared_ptr<const FontInstance> SelectedFontInstance(const DeviceContext& dc) {
  FontObject* font = SelectedFont(dc);
  return font ? RealisedFont(*font) : nullptr;
}

}  // namespace kelmira::gdi

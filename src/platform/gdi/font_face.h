// The bridge between font objects (LOGFONTA descriptions in the handle table) and realised fonts.
#pragma once

#include "gdi/font_instance.h"
#include "gdi/device_context.h"

#include <memory>

namespace kelmira::gdi {

// What a font object keeps once it has been used: the realised font of its description.
struct FontFace {
  std::shared_ptr<const FontInstance> instance;
};

// The request a logical font makes (the face name converted from Windows-1252).
FontRequest RequestFromLogFont(const LOGFONTA& logFont);

// The realised font of a font object, made on first use; null only when memory runs out.
std::shared_ptr<const FontInstance> RealisedFont(FontObject& font);

// The realised font selected into a device context; null when memory runs out.
std::shared_ptr<const FontInstance> SelectedFontInstance(const DeviceContext& dc);

}  // namespace kelmira::gdi

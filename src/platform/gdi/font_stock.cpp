// The descriptions of the stock fonts, handed to the stock object table.
#include "gdi/gdi_objects.h"

#include <cstring>

namespace kelmira::gdi {
namespace {

LOGFONTA Describe(LONG height, LONG weight, BYTE charSet, BYTE pitchAndFamily, const char* face) {
  LOGFONTA lf{};
  lf.lfHeight = height;
  lf.lfWeight = weight;
  lf.lfCharSet = charSet;
  lf.lfPitchAndFamily = pitchAndFamily;
  std::strncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
  return lf;
}

// Positive heights are cell heights, as the desktop's raster stock fonts give them; the faces
// resolve through the font matcher like any other name.
bool StockFont(int index, LOGFONTA* out) {
  switch (index) {
    case OEM_FIXED_FONT: *out = Describe(12, FW_NORMAL, OEM_CHARSET, FIXED_PITCH | FF_MODERN, "Terminal"); return true;
    case ANSI_FIXED_FONT:
      *out = Describe(13, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Courier New");
      return true;
    case ANSI_VAR_FONT:
      *out = Describe(12, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Sans Serif");
      return true;
    case SYSTEM_FONT:
    case DEVICE_DEFAULT_FONT:
      *out = Describe(16, FW_BOLD, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "System");
      return true;
    case SYSTEM_FIXED_FONT:
      *out = Describe(15, FW_NORMAL, ANSI_CHARSET, FIXED_PITCH | FF_MODERN, "Fixedsys");
      return true;
    case DEFAULT_GUI_FONT:
      *out = Describe(-11, FW_NORMAL, ANSI_CHARSET, VARIABLE_PITCH | FF_SWISS, "MS Shell Dlg");
      return true;
    default: return false;
  }
}

// Installed when the library loads, before any stock font can be asked for.
const bool kInstalled = (SetStockFontProvider(&StockFont), true);

}  // namespace
}  // namespace kelmira::gdi

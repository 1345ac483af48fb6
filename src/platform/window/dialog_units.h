// Dialog base units and the conversion of dialog units to pixels.
#pragma once

#include <kelmira/platform/wingdi.h>

#include "window/dialog_template.h"

namespace kelmira::window {

struct DialogBaseUnits {
  int cx = 8;   // average character width, pixels
  int cy = 16;  // character height, pixels
};

// The platform's base units, for dialogs without a usable font (GetDialogBaseUnits).
DialogBaseUnits SystemDialogBaseUnits();

// The base units of a font: width = (extent of the 52 letters + 26) / 52, height = tmHeight.
// False when the font cannot be measured.
bool MeasureBaseUnits(HFONT font, DialogBaseUnits* out);

// The font of a template (face and size at 96 dpi, weight, italic, character set), or null
// when the template names none or the font cannot be made. The caller deletes it.
HFONT CreateTemplateFont(const DialogDesc& desc);

// Multiply then divide with rounding half away from zero, as MulDiv does; -1 when the divisor
// is 0 or the result does not fit 32 bits.
KELMIRA_API int MulDivRounded(int number, int numerator, int denominator);

inline int DialogUnitsToPixelsX(int units, const DialogBaseUnits& base) { return MulDivRounded(units, base.cx, 4); }
inline int DialogUnitsToPixelsY(int units, const DialogBaseUnits& base) { return MulDivRounded(units, base.cy, 8); }
RECT DialogRectToPixels(short x, short y, short cx, short cy, const DialogBaseUnits& base);

}  // namespace kelmira::window

// The font the axes and the line graph start with: Arial, 7 points, weight 300, character set 0,
// not italic, underlined or struck out.
#pragma once

#include <kelmira/kelmira.h>

namespace kelmira::common {

// A new font object; *font is left as it was when it cannot be made.
HRESULT MakeDefaultFont(ComPtr<IFontDisp>& font);

}  // namespace kelmira::common

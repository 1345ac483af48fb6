// Making bitmap objects (shared by the bitmap functions and the PNG loader).
#pragma once

#include <kelmira/platform/wingdi.h>

namespace kelmira::gdi {

// A bitmap of width x height black pixels; rows bottom-up in memory when bottomUp. dibHeader
// (normalised) makes it a DIB section. Null with ERROR_INVALID_PARAMETER for a size outside
// 1..2^20 per side or 2^28 pixels, ERROR_NOT_ENOUGH_MEMORY when allocation fails.
HBITMAP NewBitmap(int width, int height, bool bottomUp, BITMAPINFOHEADER* dibHeader);

// Gives a new bitmap (whose pixels are all `background`) an empty recording; false when memory
// runs out.
bool StartRecording(HBITMAP bitmap, COLORREF background);

}  // namespace kelmira::gdi

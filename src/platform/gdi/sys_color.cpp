// System colours of the classic scheme, and a brush for each.
#include "gdi/gdi_error.h"
#include "gdi/gdi_objects.h"

#include <array>
#include <mutex>

namespace kelmira::gdi {
namespace {

constexpr int kColorCount = COLOR_MENUBAR + 1;

// Indexed by COLOR_*; index 25 is unused by the platform and reads 0.
constexpr std::array<COLORREF, kColorCount> kClassicColors = {
    RGB(212, 208, 200),  // COLOR_SCROLLBAR
    RGB(58, 110, 165),   // COLOR_BACKGROUND
    RGB(10, 36, 106),    // COLOR_ACTIVECAPTION
    RGB(128, 128, 128),  // COLOR_INACTIVECAPTION
    RGB(212, 208, 200),  // COLOR_MENU
    RGB(255, 255, 255),  // COLOR_WINDOW
    RGB(0, 0, 0),        // COLOR_WINDOWFRAME
    RGB(0, 0, 0),        // COLOR_MENUTEXT
    RGB(0, 0, 0),        // COLOR_WINDOWTEXT
    RGB(255, 255, 255),  // COLOR_CAPTIONTEXT
    RGB(212, 208, 200),  // COLOR_ACTIVEBORDER
    RGB(212, 208, 200),  // COLOR_INACTIVEBORDER
    RGB(128, 128, 128),  // COLOR_APPWORKSPACE
    RGB(10, 36, 106),    // COLOR_HIGHLIGHT
    RGB(255, 255, 255),  // COLOR_HIGHLIGHTTEXT
    RGB(212, 208, 200),  // COLOR_BTNFACE
    RGB(128, 128, 128),  // COLOR_BTNSHADOW
    RGB(128, 128, 128),  // COLOR_GRAYTEXT
    RGB(0, 0, 0),        // COLOR_BTNTEXT
    RGB(212, 208, 200),  // COLOR_INACTIVECAPTIONTEXT
    RGB(255, 255, 255),  // COLOR_BTNHIGHLIGHT
    RGB(64, 64, 64),     // COLOR_3DDKSHADOW
    RGB(212, 208, 200),  // COLOR_3DLIGHT
    RGB(0, 0, 0),        // COLOR_INFOTEXT
    RGB(255, 255, 225),  // COLOR_INFOBK
    RGB(0, 0, 0),        // 25: unused
    RGB(0, 0, 128),      // COLOR_HOTLIGHT
    RGB(166, 202, 240),  // COLOR_GRADIENTACTIVECAPTION
    RGB(192, 192, 192),  // COLOR_GRADIENTINACTIVECAPTION
    RGB(10, 36, 106),    // COLOR_MENUHILIGHT
    RGB(212, 208, 200),  // COLOR_MENUBAR
};

bool ValidIndex(int index) { return index >= 0 && index < kColorCount && index != 25; }

}  // namespace
}  // namespace kelmira::gdi

using namespace kelmira::gdi;

DWORD GetSysColor(int nIndex) {
  if (!ValidIndex(nIndex)) return Fail(ERROR_INVALID_PARAMETER, DWORD{0});
  return kClassicColors[static_cast<std::size_t>(nIndex)];
}

HBRUSH GetSysColorBrush(int nIndex) {
  if (!ValidIndex(nIndex)) return Fail(ERROR_INVALID_PARAMETER, HBRUSH{});
  static std::mutex mutex;
  static std::array<HBRUSH, kColorCount> brushes{};
  std::lock_guard lock(mutex);
  HBRUSH& slot = brushes[static_cast<std::size_t>(nIndex)];
  if (slot) return slot;
  GdiObject object;
  object.type = OBJ_BRUSH;
  object.stock = true;
  object.data = BrushObject{BS_SOLID, kClassicColors[static_cast<std::size_t>(nIndex)], 0};
  slot = static_cast<HBRUSH>(AddObject(std::move(object)));
  return slot;
}

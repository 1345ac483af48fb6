// The US keyboard layout's scan codes.
#pragma once

#include <kelmira/platform/winuser.h>

namespace kelmira::window {

// The set-1 scan code of a virtual key (0 when the key has none).
WORD ScanFromVk(WORD vk);
// The virtual key of a scan code; extended picks the grey keys (arrows, Insert, right Ctrl...).
WORD VkFromScan(WORD scan, bool extended);
// Keys whose scan code comes with the extended prefix.
bool IsExtendedVk(WORD vk);

}  // namespace kelmira::window

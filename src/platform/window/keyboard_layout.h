// The US keyboard layout: scan codes of virtual keys and the characters keys type.
#pragma once

#include <kelmira/platform/winuser.h>

namespace kelmira::window {

// The set-1 scan code of a virtual key (0 when the key has none).
WORD ScanFromVk(WORD vk);
// The virtual key of a scan code; extended picks the grey keys (arrows, Insert, right Ctrl...).
WORD VkFromScan(WORD scan, bool extended);
// Keys whose scan code comes with the extended prefix.
bool IsExtendedVk(WORD vk);

struct Modifiers {
  bool shift = false;
  bool control = false;
  bool capsLock = false;
};
// The character a key types, or -1 for keys that type none. Control with a letter gives the
// control characters 1..26 (and Control with [ \ ] the escapes 27..29).
int CharFromVk(WORD vk, Modifiers modifiers);

}  // namespace kelmira::window

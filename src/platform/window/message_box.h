// The message box: its buttons, its window (a modal dialog built from a template) and the
// internal controls it shows.
#pragma once

#include <kelmira/platform/winuser.h>

namespace kelmira::window {

struct MessageBoxButtons {
  int ids[3] = {0, 0, 0};  // display order, left to right
  int count = 0;

  bool Has(int id) const;
};

// The buttons of uType's MB_TYPEMASK part; false for a type that does not exist.
bool ButtonsOf(UINT type, MessageBoxButtons* out);
// The button that MB_DEFBUTTON1..4 names (the first when there are fewer buttons).
int DefaultButtonOf(UINT type, const MessageBoxButtons& buttons);
// What Escape and closing mean: Cancel when there is one, OK for a lone OK button, else nothing
// (0).
int EscapeResultOf(const MessageBoxButtons& buttons);
const char* ButtonLabel(int id);

// Shows the box and runs its loop; returns the answer (0 when the loop ended without one).
int RunMessageBoxWindow(HWND owner, const char* text, const char* caption, UINT type, const MessageBoxButtons& buttons);

// Pixel layout of a box for a measured text.
struct MessageBoxLayout {
  SIZE client{0, 0};
  RECT icon{0, 0, 0, 0};
  RECT text{0, 0, 0, 0};
  RECT buttons[3]{};
};
// dc has the box's font selected; screen is the virtual screen size (the text wraps at a part of
// its width).
MessageBoxLayout LayoutMessageBox(HDC dc, const char* text, bool hasIcon, int buttonCount, const char* caption,
                                  SIZE screen);

// The box's icon is an internal window class; its buttons are the standard "BUTTON" push buttons.
constexpr const char* kMessageBoxIconClass = "KelmiraMessageBoxIcon";
// The icon control's style holds the MB_ICON* value shifted down by 4 in its low bits.
constexpr DWORD kIconKindMask = 0x000F;

// Registers the internal class unless it exists; false when that failed.
bool EnsureMessageBoxClasses();

}  // namespace kelmira::window

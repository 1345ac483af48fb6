// Input injected at screen pixels, each event pumped before the next one comes.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::test {

void Press(UINT message, int x, int y, WPARAM keys = 0);
inline void Move(int x, int y) { Press(WM_MOUSEMOVE, x, y); }
void Key(UINT message, WPARAM vk);
// Presses and releases each key: < > Left/Right, ^ $ Home/End, B Backspace, D Delete, S/s Shift
// down/up, C Ctrl+A; letters and digits type themselves (lower case).
void Type(const char* keys);
// A SendInput mouse event; with MOUSEEVENTF_ABSOLUTE in flags x and y are pixels, normalised here
// to the 0..65535 coordinate that lands on them.
void Mouse(DWORD flags, int x, int y, DWORD time = 0, DWORD data = 0);
// A left click at the centre of a dialog's item, queued for a modal loop to run (not pumped);
// false when there is no such item.
bool QueueClick(HWND dialog, int id);

}  // namespace kelmira::test

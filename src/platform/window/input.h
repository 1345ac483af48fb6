// The input pipeline: every mouse and key event, injected by a test or fed by a back-end, goes
// through these functions. They update the cursor and key states, pick the window (capture, hit
// testing, focus), send the synchronous messages a real event causes (WM_PARENTNOTIFY,
// WM_MOUSEACTIVATE, WM_SETCURSOR), turn second presses into double clicks and post the result.
//
// Events are routed when they are injected, not when their message is retrieved: a capture taken
// while handling a press applies to the events injected after that press was dispatched.
#pragma once

#include "window/input_state.h"

namespace kelmira::window {

// A screen point kept on the screen and inside the clip rectangle.
POINT ConfineCursor(POINT screen);

// time 0 means now. extraKeys adds MK_SHIFT / MK_CONTROL to the message's key flags.
void MouseMove(POINT screen, DWORD time, WPARAM extraKeys);
// button: WM_[LRMX]BUTTONDOWN or WM_[LRMX]BUTTONUP; xbutton XBUTTON1/XBUTTON2 for the X button.
void MouseButton(UINT message, WORD xbutton, DWORD time, WPARAM extraKeys);
// message WM_MOUSEWHEEL or WM_MOUSEHWHEEL.
void MouseWheel(UINT message, int delta, DWORD time, WPARAM extraKeys);

// A key pressed or released (KEYEVENTF_* flags); false when the key cannot be known.
bool KeyEvent(WORD vk, WORD scan, DWORD flags, DWORD time);

// Sets the capture to hwnd (null: none), telling the previous holder with WM_CAPTURECHANGED.
HWND ChangeCapture(HWND hwnd);
// Moves the focus (null: none) with WM_KILLFOCUS and WM_SETFOCUS; no checks.
HWND ChangeFocus(HWND hwnd);
// Makes top the active window (WM_ACTIVATE to the old and the new one); with giveFocus the focus
// moves to top unless it is already inside it. False when top did not end up active.
bool Activate(HWND top, WORD how, bool giveFocus);

// Records a key-state change that GetKeyState shows once msg has left the queue (posted false:
// nothing was posted, it shows at once in order).
void QueueKeyState(bool posted, const MSG& msg);

// The MK_* flags of the current key state.
WPARAM MouseKeyFlags();

}  // namespace kelmira::window

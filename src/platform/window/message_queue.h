// The message queue of the window-system thread, and the ways into it for input.
//
// Posted messages wait in order. WM_QUIT is a flag that GetMessageA reports once the posted
// messages are gone; WM_PAINT is not queued but generated from the windows' update regions when
// nothing is posted.
#pragma once

#include "window/window.h"

#include <deque>

namespace kelmira::window {

struct MessageQueue {
  std::deque<MSG> posted;
  bool quitPending = false;
  int quitCode = 0;
  MSG last{};  // the last message retrieved (GetMessageTime, GetMessagePos, GetKeyState time)
};

KELMIRA_API MessageQueue& Queue();

// Appends a message with an explicit time and cursor position (input keeps the event's own).
KELMIRA_API void PostWithTime(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, DWORD time, POINT pt);
// Drops every posted message for hwnd (the window is being freed).
void DropMessagesFor(HWND hwnd);

// The platform's tick clock (ms since the process started using it).
KELMIRA_API DWORD TickCount();
// The cursor position that posted messages carry; the input code keeps it up to date.
KELMIRA_API POINT& CursorPosition();

// ---------------------------------------------------------------------------------------------
// Hit testing for input

// The deepest visible, enabled window under a screen point, top-level windows in z-order and
// children in z-order (top first); a disabled child is skipped (its parent takes the point), a
// disabled top-level window is returned as it is (it blocks the point; input to it is dropped).
// Null when the point is over no window.
KELMIRA_API Window* HitTestScreenPoint(POINT screen);
// A screen point in w's client coordinates.
KELMIRA_API POINT ScreenToClientPoint(const Window& w, POINT screen);
// Posts a mouse message for w: lParam is the point in w's client coordinates (in screen
// coordinates for WM_MOUSEWHEEL / WM_MOUSEHWHEEL, as on the desktop), the message keeps the
// event's time and screen position.
KELMIRA_API void PostMouseMessage(Window& w, UINT message, WPARAM wParam, POINT screen, DWORD time);

// ---------------------------------------------------------------------------------------------
// Painting (paint.cpp)

// The first visible window (top-level windows in z-order, parents before children) whose update
// region is not empty, or that asked for an internal paint; null when none.
KELMIRA_API Window* NextWindowToPaint(const Window* within = nullptr);
// Sends WM_PAINT to w when it is visible and has something to paint (UpdateWindow).
KELMIRA_API void PaintNow(Window& w);
// Adds rect (client coordinates of w; null: all) to w's update region. Unless w has
// WS_CLIPCHILDREN, the visible children under rect are invalidated too (w's painting covers
// them), and so on down.
KELMIRA_API void Invalidate(Window& w, const RECT* rect, bool erase);
// Invalidates w and every descendant completely, with erase (w became visible).
KELMIRA_API void InvalidateTree(Window& w);

}  // namespace kelmira::window

// Device contexts over windows (GetDC, BeginPaint) and the bookkeeping that keeps them pointing
// at the right pixels while windows are resized and destroyed.
#pragma once

#include "window/window.h"

namespace kelmira::window {

// A device context over w's part of its top-level window's backing surface, clipped to w's
// visible area (and to clientClip, in w's client coordinates, when given). Released by
// ReleaseWindowDC (ReleaseDC, EndPaint).
HDC MakeWindowDC(Window& w, const RECT* clientClip);
// Restores pixels saved for WS_CLIPCHILDREN/WS_CLIPSIBLINGS, frees the DC and presents the
// top-level window. False when hdc is not a window DC.
bool ReleaseWindowDC(HDC hdc);
// The window a window DC draws into (null when none or when the window is gone).
HWND WindowOfDC(HDC hdc);

// The top-level window's backing surface was reallocated.
void SurfaceReallocated(Window& top);
// w is about to be freed: its DCs (and those of its descendants, when w is top level) draw
// nothing from now on.
void WindowFreed(Window& w);

// w's visible part in its backing surface's coordinates (empty when hidden).
RECT VisibleSurfaceRect(const Window& w);

}  // namespace kelmira::window

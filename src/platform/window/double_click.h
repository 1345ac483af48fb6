// Double-click synthesis: a press of the same button on the same window soon enough after and
// close enough to the previous press becomes a DBLCLK message, for classes with CS_DBLCLKS.
#pragma once

#include "window/input_state.h"

namespace kelmira::window {

// The message a press (WM_[LRMX]BUTTONDOWN) on w turns into, remembering it for the next one.
// A press that made a double click is forgotten, so a third press starts over.
UINT ClassifyPress(const Window& w, UINT press, WORD xbutton, DWORD time, POINT screen);

}  // namespace kelmira::window

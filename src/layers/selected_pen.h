// A pen made for one drawing and selected into a device context; on scope exit the previous pen
// goes back into the context and the pen is deleted.
#pragma once

#include <kelmira/platform.h>

namespace kelmira::layers::grid {

class SelectedPen {
 public:
  SelectedPen(HDC dc, int style, COLORREF color)
      : dc_(dc), pen_(CreatePen(style, 0, color)), previous_(pen_ ? SelectObject(dc, pen_) : nullptr) {}
  ~SelectedPen() {
    if (previous_) SelectObject(dc_, previous_);
    if (pen_) DeleteObject(pen_);
  }
  SelectedPen(const SelectedPen&) = delete;
  SelectedPen& operator=(const SelectedPen&) = delete;

  // False when the pen could not be made or selected (a stale device context): draw nothing.
  bool Selected() const { return previous_ != nullptr; }

 private:
  HDC dc_;
  HPEN pen_;
  HGDIOBJ previous_;
};

}  // namespace kelmira::layers::grid

// ColourTable: the colours of the page's swatches and how the page answers its controls' colour
// requests. A control with an entry that has a background colour is painted with a solid brush
// of it (that is all a swatch is); controls without an entry keep the platform's default look.
//
// The table hands out one brush at a time: answering a request deletes the brush handed out
// before. Entries outlive the page window (the page object owns the table), so a swatch keeps its
// colour from one activation to the next; new entries are made only for identifiers the page
// window has a control for.
#pragma once

#include "common/gdi_guards.h"

#include <kelmira/platform.h>

#include <cstdint>
#include <vector>

namespace kelmira::proppages {

struct ColourEntry {
  std::int32_t id = 0;
  COLORREF background = 0;
  COLORREF text = 0;
  bool hasBackground = false;
  bool hasText = false;
};

class ColourTable {
 public:
  // The entry of control id, made (all zero) when there is none, create is true and the page
  // window has such a control; null otherwise. Valid until the next entry is made.
  ColourEntry* Lookup(HWND page, int id, bool create);

  // Gives control id a background colour and repaints it (erasing) when the page window exists.
  void SetColour(HWND page, int id, COLORREF colour);
  // The background colour of control id; 0 when it has none.
  COLORREF GetColour(HWND page, int id);

  // Answers a WM_CTLCOLOR* request of `requester` (the page window itself or one of its
  // controls): a brush and true when handled, null and false to leave the default colouring.
  HBRUSH OnColourRequest(HWND page, HDC dc, HWND requester, bool* handled);

  // The brush handed out last (null before the first answered request); for tests.
  HBRUSH CurrentBrush() const { return brush_.get(); }

 private:
  HBRUSH HandOut(HDC dc, COLORREF colour);

  std::vector<ColourEntry> entries_;
  ColourEntry default_;
  common::UniqueGdiObject<HBRUSH> brush_;
};

// The 16 custom colours of the colour dialog, shared by every page and swatch for the life of
// the process (each starts white). Touched only on the thread showing the dialog.
COLORREF* SharedCustomColours();

}  // namespace kelmira::proppages

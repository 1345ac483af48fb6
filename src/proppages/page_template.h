// Dialog template 145: the window of the graph property page, 323 x 241 dialog units in
// "MS Sans Serif" 8 pt, a child window without caption (DS_CONTROL: keyboard navigation enters
// it from the frame). The controls sit in six group boxes, in tab order from the top left:
// "General", "Axes", "Extents", "Limits (current view)", "Grid", "Colors and fonts"; each
// field's label stands to its left on the same row, every edit is 13 units high on a 16-unit row
// pitch, and the groups leave 7 units of margin at the sides.
#pragma once

#include <kelmira/platform/winuser.h>

namespace kelmira::proppages {

constexpr WORD kPageTemplateId = 145;

// Control identifiers of the page.
enum PageControl : int {
  kTitleEdit = 208,
  kTitleVisibleCheck = 209,
  kXTitleEdit = 210,
  kXAxisVisibleCheck = 211,
  kYTitleEdit = 212,
  kYAxisVisibleCheck = 213,
  kTickLengthEdit = 214,
  kXPrecisionEdit = 215,
  kYPrecisionEdit = 216,
  kExtentXMinEdit = 217,
  kExtentXMaxEdit = 218,
  kExtentYMinEdit = 219,
  kExtentYMaxEdit = 220,
  kLimitXMinEdit = 221,
  kLimitXMaxEdit = 222,
  kLimitYMinEdit = 223,
  kLimitYMaxEdit = 224,
  kGridStepXEdit = 225,
  kGridStepYEdit = 226,
  kBackColourButton = 227,
  kBackColourSwatch = 228,
  kGridColourSwatch = 229,
  kGridColourButton = 230,
  kTextColourButton = 231,
  kTextColourSwatch = 232,
  kXAxisSizeEdit = 233,
  kYAxisSizeEdit = 234,
  kRightTitleEdit = 235,
  kRightYAxisVisibleCheck = 236,
  kRightPrecisionEdit = 237,
  kGridStyleList = 242,
  kBorderCheck = 243,
  kAutoPrecisionCheck = 244,
};

// The template, built once (DLGTEMPLATE layout, valid for the life of the process).
const DLGTEMPLATE* PageTemplate();

}  // namespace kelmira::proppages

#include "proppages/page_template.h"

#include <kelmira/platform/dialog_template.h>

namespace kelmira::proppages {
namespace {

constexpr WORD kNoId = 0xFFFF;  // labels and group boxes
constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kNumberEdit = kEdit | ES_NUMBER;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
constexpr DWORD kLabel = kChild | SS_LEFT;
constexpr DWORD kGroup = kChild | BS_GROUPBOX;
constexpr short kEditHeight = 13;

using Builder = DialogTemplateBuilder;

void Label(Builder& b, short x, short y, short cx, const char* text) {
  b.AddItem(kLabel, x, static_cast<short>(y + 2), cx, 8, kNoId, kStaticClassAtom, text);
}
void Edit(Builder& b, DWORD style, short x, short y, short cx, WORD id) {
  b.AddItem(style, x, y, cx, kEditHeight, id, kEditClassAtom, "");
}
void Check(Builder& b, short x, short y, short cx, WORD id, const char* text, DWORD extra = 0) {
  b.AddItem(kCheck | extra, x, static_cast<short>(y + 1), cx, 10, id, kButtonClassAtom, text);
}
void Group(Builder& b, short x, short y, short cx, short cy, const char* text) {
  b.AddItem(kGroup, x, y, cx, cy, kNoId, kButtonClassAtom, text);
}

// One axis row: visibility, title and precision.
void AxisRow(Builder& b, short y, WORD check, const char* name, WORD title, WORD precision) {
  Check(b, 14, y, 48, check, name);
  Label(b, 66, y, 20, "Title");
  Edit(b, kEdit, 88, y, 150, title);
  Label(b, 246, y, 34, "Precision");
  Edit(b, kNumberEdit, 284, y, 25, precision);
}

// Four view values in two rows: X min/X max over Y min/Y max.
void RangeGroup(Builder& b, short x, short y, const char* title, WORD first) {
  Group(b, x, y, 152, 46, title);
  const char* labels[] = {"X min:", "X max:", "Y min:", "Y max:"};
  for (int i = 0; i < 4; ++i) {
    const auto column = static_cast<short>(x + 7 + (i % 2) * 72);
    const auto row = static_cast<short>(y + 12 + (i / 2) * 16);
    Label(b, column, row, 24, labels[i]);
    Edit(b, kEdit, static_cast<short>(column + 26), row, 40, static_cast<WORD>(first + i));
  }
}

// A colour row: label, swatch, "..." button.
void ColourRow(Builder& b, short y, const char* label, WORD swatch, WORD button) {
  Label(b, 171, y, 62, label);
  b.AddItem(kChild | SS_LEFT | SS_SUNKEN, 236, y, 40, kEditHeight, swatch, kStaticClassAtom, "");
  b.AddItem(kChild | WS_TABSTOP | BS_PUSHBUTTON, 282, y, 20, kEditHeight, button, kButtonClassAtom, "...");
}

Builder BuildTemplate() {
  Builder b(WS_CHILD | DS_CONTROL | DS_3DLOOK, 0, 0, 0, 323, 241, "", 8, "MS Sans Serif");

  Group(b, 7, 4, 309, 28, "General");
  Check(b, 14, 14, 36, kTitleVisibleCheck, "Title");
  Edit(b, kEdit, 54, 14, 255, kTitleEdit);

  Group(b, 7, 36, 309, 86, "Axes");
  AxisRow(b, 48, kXAxisVisibleCheck, "X axis", kXTitleEdit, kXPrecisionEdit);
  AxisRow(b, 64, kYAxisVisibleCheck, "Y axis", kYTitleEdit, kYPrecisionEdit);
  AxisRow(b, 80, kRightYAxisVisibleCheck, "Y axis(2)", kRightTitleEdit, kRightPrecisionEdit);
  Check(b, 14, 100, 64, kAutoPrecisionCheck, "Auto-precision");
  Label(b, 88, 100, 40, "Tick length");
  Edit(b, kNumberEdit, 130, 100, 25, kTickLengthEdit);
  Label(b, 170, 100, 26, "Height");
  Edit(b, kNumberEdit, 198, 100, 25, kXAxisSizeEdit);
  Label(b, 246, 100, 34, "Width");
  Edit(b, kNumberEdit, 284, 100, 25, kYAxisSizeEdit);

  RangeGroup(b, 7, 126, "Extents", kExtentXMinEdit);
  RangeGroup(b, 164, 126, "Limits (current view)", kLimitXMinEdit);

  Group(b, 7, 176, 152, 61, "Grid");
  Label(b, 14, 188, 24, "X step:");
  Edit(b, kEdit, 40, 188, 40, kGridStepXEdit);
  Label(b, 86, 188, 24, "Y step:");
  Edit(b, kEdit, 112, 188, 40, kGridStepYEdit);
  Label(b, 14, 204, 24, "Style:");
  b.AddItem(kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 40, 204, 60, 60, kGridStyleList, kComboBoxClassAtom,
            "");
  Check(b, 14, 220, 38, kBorderCheck, "Border", BS_LEFTTEXT);

  Group(b, 164, 176, 152, 61, "Colors and fonts");
  ColourRow(b, 188, "Background color", kBackColourSwatch, kBackColourButton);
  ColourRow(b, 204, "Grid color", kGridColourSwatch, kGridColourButton);
  ColourRow(b, 220, "Text Color", kTextColourSwatch, kTextColourButton);
  return b;
}

}  // namespace

const DLGTEMPLATE* PageTemplate() {
  static const Builder built = BuildTemplate();
  return built.Template();
}

}  // namespace kelmira::proppages

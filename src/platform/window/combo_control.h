// What the "COMBOBOX" control and its drop-down list window share: the items, the selection and
// the state of the open list. The combo box owns it; the list window reads it through the combo.
#pragma once

#include <kelmira/platform.h>

#include <string>
#include <vector>

namespace kelmira::window {

// More items than this scroll inside the open list.
constexpr int kComboMaxVisible = 30;

struct ComboItem {
  std::string text;
  LPARAM data = 0;
};

struct ComboState {
  HFONT font = nullptr;  // WM_SETFONT; null draws with DEFAULT_GUI_FONT
  std::vector<ComboItem> items;
  int selected = -1;
  HWND list = nullptr;  // the drop-down window, made on first opening
  bool dropped = false;
  int hot = -1;  // the highlighted item of the open list
  int top = 0;   // the first item the open list shows
};

// The state of a combo box; null when the window is gone or the state could not be made.
ComboState* ComboStateOf(HWND combo);
HFONT ComboFont(const ComboState& s);
int ComboItemHeight(HWND combo, const ComboState& s);
int ComboVisibleRows(const ComboState& s);
// Closes the open list; `accept` takes the highlighted item as the selection.
void CloseComboList(HWND combo, ComboState& s, bool accept);

// The list window (combo_list.cpp). Shows it below the field (above when it would leave the
// screen), sized to the items, and captures the mouse; null when it cannot be made.
HWND ShowComboList(HWND combo, ComboState& s);
void HideComboList(ComboState& s);
// Highlights `index` in the open list, scrolling it into view.
void SetComboHot(ComboState& s, int index);

}  // namespace kelmira::window

#include "proppages/colour_table.h"

#include <algorithm>
#include <array>

namespace kelmira::proppages {

ColourEntry* ColourTable::Lookup(HWND page, int id, bool create) {
  auto found = std::find_if(entries_.begin(), entries_.end(), [id](const ColourEntry& e) { return e.id == id; });
  if (found != entries_.end()) return &*found;
  if (!create || !page || !GetDlgItem(page, id)) return nullptr;
  ColourEntry& added = entries_.emplace_back();
  added.id = id;
  return &added;
}

void ColourTable::SetColour(HWND page, int id, COLORREF colour) {
  ColourEntry* entry = Lookup(page, id, true);
  if (!entry) return;
  entry->background = colour;
  entry->hasBackground = true;
  if (page && IsWindow(page)) InvalidateRect(GetDlgItem(page, id), nullptr, TRUE);
}

COLORREF ColourTable::GetColour(HWND page, int id) {
  const ColourEntry* entry = Lookup(page, id, true);
  return entry && entry->hasBackground ? entry->background : 0;
}

HBRUSH ColourTable::HandOut(HDC dc, COLORREF colour) {
  SetBkColor(dc, colour);
  SetBkMode(dc, TRANSPARENT);
  brush_.Reset();
  brush_.Reset(CreateSolidBrush(colour));
  return brush_.get();
}

HBRUSH ColourTable::OnColourRequest(HWND page, HDC dc, HWND requester, bool* handled) {
  *handled = false;
  const ColourEntry* entry = &default_;
  if (requester != page) {
    const int id = GetDlgCtrlID(requester);
    if (const ColourEntry* own = Lookup(page, id, false)) entry = own;
  }
  if (entry->hasText)
    SetTextColor(dc, entry->text);
  else if (default_.hasText)
    SetTextColor(dc, default_.text);

  COLORREF colour = 0;
  if (entry->hasBackground)
    colour = entry->background;
  else if (default_.hasBackground)
    colour = default_.background;
  else if (entry == &default_ || !entry->hasText)
    return nullptr;
  else
    colour = GetSysColor(COLOR_BTNFACE);
  HBRUSH brush = HandOut(dc, colour);
  *handled = brush != nullptr;
  return brush;
}

COLORREF* SharedCustomColours() {
  static std::array<COLORREF, 16> colours = [] {
    std::array<COLORREF, 16> white{};
    white.fill(0x00FFFFFF);
    return white;
  }();
  return colours.data();
}

}  // namespace kelmira::proppages

// The frame of every axis drawing: a transparent background mode, the tick pen selected, the
// control filled with its background colour, the text colour and the font set; all given back,
// in that order reversed, when the scope ends (the background mode stays transparent).
#pragma once

#include "axes/axis_look.h"
#include "common/gdi_guards.h"

#include <optional>
#include <string>

namespace kelmira::axes {

// The font's handle, locked and selected for the scope. Without a font, or when the font gives no
// handle, the context keeps its own.
class SelectedAxisFont {
 public:
  SelectedAxisFont(HDC dc, IFontDisp* font);
  ~SelectedAxisFont();
  SelectedAxisFont(const SelectedAxisFont&) = delete;
  SelectedAxisFont& operator=(const SelectedAxisFont&) = delete;

 private:
  HDC dc_;
  ComPtr<IFont> font_;
  HFONT handle_ = nullptr;
  HGDIOBJ previous_ = nullptr;
};

class AxisPaintScope {
 public:
  AxisPaintScope(HDC dc, const RECT& bounds, const AxisLook& look);
  ~AxisPaintScope();
  AxisPaintScope(const AxisPaintScope&) = delete;
  AxisPaintScope& operator=(const AxisPaintScope&) = delete;

 private:
  HDC dc_;
  common::UniqueGdiObject<HPEN> pen_;
  std::optional<common::ScopedSelect> penSelected_;
  COLORREF previousTextColor_ = 0;
  std::optional<SelectedAxisFont> font_;
};

// The size DrawTextA gives a text in a copy of `within` with DT_CALCRECT and the layout flags the
// axes measure with; 0 x 0 when it cannot be measured.
SIZE MeasureText(HDC dc, const std::string& text, const RECT& within);

// Draws text in box with the given DrawTextA format.
void DrawTextIn(HDC dc, const std::string& text, RECT box, UINT format);

inline constexpr UINT kMeasureFormat = DT_CALCRECT | DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER;
inline constexpr UINT kTitleFormat = DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER;
inline constexpr UINT kLabelFormat = DT_NOCLIP | DT_EXPANDTABS | DT_WORDBREAK | DT_CENTER;

}  // namespace kelmira::axes

#include "axes/axis_paint.h"

namespace kelmira::axes {

SelectedAxisFont::SelectedAxisFont(HDC dc, IFontDisp* font) : dc_(dc) {
  if (!font || FAILED(font->QueryInterface(IID_IFont, reinterpret_cast<void**>(&font_))) || !font_) return;
  if (FAILED(font_->get_hFont(&handle_)) || !handle_ || FAILED(font_->AddRefHfont(handle_))) {
    handle_ = nullptr;
    return;
  }
  previous_ = SelectObject(dc_, handle_);
}

SelectedAxisFont::~SelectedAxisFont() {
  if (previous_) SelectObject(dc_, previous_);
  if (handle_) font_->ReleaseHfont(handle_);
}

AxisPaintScope::AxisPaintScope(HDC dc, const RECT& bounds, const AxisLook& look) : dc_(dc) {
  SetBkMode(dc, TRANSPARENT);
  pen_.Reset(CreatePen(PS_SOLID, 0, look.tickColor));
  penSelected_.emplace(dc, pen_.get());
  {
    const common::UniqueGdiObject<HBRUSH> brush(CreateSolidBrush(look.backColor));
    FillRect(dc, &bounds, brush.get());
  }
  previousTextColor_ = SetTextColor(dc, look.foreColor);
  font_.emplace(dc, look.font);
}

AxisPaintScope::~AxisPaintScope() {
  font_.reset();
  SetTextColor(dc_, previousTextColor_);
  penSelected_.reset();
}

SIZE MeasureText(HDC dc, const std::string& text, const RECT& within) {
  RECT r = within;
  if (!DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, kMeasureFormat)) return SIZE{0, 0};
  return SIZE{r.right - r.left, r.bottom - r.top};
}

void DrawTextIn(HDC dc, const std::string& text, RECT box, UINT format) {
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
}

}  // namespace kelmira::axes

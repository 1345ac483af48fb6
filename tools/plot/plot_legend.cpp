#include "plot_legend.h"

#include <algorithm>
#include <string>

namespace kelmira::plot {
namespace {

constexpr int kPadding = 6;  // inside the frame
constexpr int kSample = 28;  // length of the line sample
constexpr int kSampleGap = 6;

// Selects the font for the lifetime of the measure or the drawing.
class FontSelected {
 public:
  FontSelected(HDC dc, HFONT font) : dc_(dc), old_(font ? SelectObject(dc, font) : nullptr) {}
  ~FontSelected() {
    if (old_) SelectObject(dc_, old_);
  }
  FontSelected(const FontSelected&) = delete;
  FontSelected& operator=(const FontSelected&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

int RowHeight(HDC dc) {
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  return std::max<int>(metrics.tmHeight, 9) + 2;
}

// The same shapes, 5 pixels across, as the line layer draws at each point.
void DrawMarker(HDC dc, int x, int y, LONG style) {
  auto segment = [dc](int x0, int y0, int x1, int y1) {
    MoveToEx(dc, x0, y0, nullptr);
    LineTo(dc, x1, y1);
  };
  if (style == 0) {
    Ellipse(dc, x - 2, y - 2, x + 2, y + 2);
  } else if (style == 1) {
    segment(x - 2, y, x + 3, y);
    segment(x, y - 2, x, y + 3);
  } else {
    segment(x - 2, y - 2, x + 3, y + 3);
    segment(x - 2, y + 2, x + 3, y - 3);
  }
}

void DrawSample(HDC dc, int left, int y, const LegendEntry& entry, COLORREF background) {
  const HPEN pen = CreatePen(entry.dash, entry.width, entry.color);
  const HBRUSH brush = CreateSolidBrush(entry.color);
  if (!pen || !brush) {
    if (pen) DeleteObject(pen);
    if (brush) DeleteObject(brush);
    return;
  }
  const HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
  // Dash gaps show the box's background, as they show the plot's.
  SetBkColor(dc, background);
  SetBkMode(dc, OPAQUE);
  if (entry.line) {
    MoveToEx(dc, left, y, nullptr);
    LineTo(dc, left + kSample, y);
  }
  if (entry.marker) {
    // Markers are drawn with a solid pen of the line's width, as the line layer draws them.
    const HPEN solid = CreatePen(PS_SOLID, entry.width, entry.color);
    if (solid) SelectObject(dc, solid);
    DrawMarker(dc, left + kSample / 2, y, *entry.marker);
    SelectObject(dc, pen);
    if (solid) DeleteObject(solid);
  }
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace

std::string AnsiText(const std::string& utf8) {
  const int wide = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  if (wide <= 0) return utf8;
  std::u16string text(static_cast<std::size_t>(wide), u'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), wide);
  const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, "?", nullptr);
  if (n <= 0) return utf8;
  std::string ansi(static_cast<std::size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.data(), wide, ansi.data(), n, "?", nullptr);
  return ansi;
}

SIZE MeasureLegend(HDC dc, const std::vector<LegendEntry>& entries, const LegendLook& look) {
  const FontSelected font(dc, look.font);
  LONG widest = 0;
  for (const LegendEntry& entry : entries) {
    const std::string text = AnsiText(entry.name);
    SIZE size{};
    if (GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size))
      widest = std::max(widest, size.cx);
  }
  const int rows = static_cast<int>(entries.size());
  return SIZE{2 * kPadding + kSample + kSampleGap + widest, 2 * kPadding + rows * RowHeight(dc)};
}

std::vector<LegendEntry> FitLegend(HDC dc, std::vector<LegendEntry> entries, const LegendLook& look, int height) {
  const FontSelected font(dc, look.font);
  const std::size_t rows = static_cast<std::size_t>(std::max(1, (height - 2 * kPadding) / RowHeight(dc)));
  if (entries.size() <= rows) return entries;
  const std::size_t more = entries.size() - rows + 1;
  entries.resize(rows);
  entries.back() = LegendEntry{"and " + std::to_string(more) + " more", 0, 0, 1, false, std::nullopt};
  return entries;
}

POINT PlaceLegend(const RECT& area, SIZE box, LegendPlace place) {
  const bool left = place == LegendPlace::UpperLeft || place == LegendPlace::LowerLeft;
  const bool lower = place == LegendPlace::LowerLeft || place == LegendPlace::LowerRight;
  if (place == LegendPlace::Outside) return POINT{area.right + kLegendGap, area.top};
  return POINT{left ? area.left + kLegendGap : area.right - kLegendGap - box.cx,
               lower ? area.bottom - kLegendGap - box.cy : area.top + kLegendGap};
}

void DrawLegend(HDC dc, POINT at, const std::vector<LegendEntry>& entries, const LegendLook& look) {
  const SIZE box = MeasureLegend(dc, entries, look);
  const HPEN frame = CreatePen(PS_SOLID, 1, look.frame);
  const HBRUSH fill = CreateSolidBrush(look.background);
  if (frame && fill) {
    const HGDIOBJ oldPen = SelectObject(dc, frame), oldBrush = SelectObject(dc, fill);
    Rectangle(dc, at.x, at.y, at.x + box.cx, at.y + box.cy);
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
  }
  if (frame) DeleteObject(frame);
  if (fill) DeleteObject(fill);

  const FontSelected font(dc, look.font);
  const int row = RowHeight(dc);
  SetTextColor(dc, look.text);
  int y = at.y + kPadding;
  for (const LegendEntry& entry : entries) {
    DrawSample(dc, at.x + kPadding, y + row / 2, entry, look.background);
    const std::string text = AnsiText(entry.name);
    SetBkMode(dc, TRANSPARENT);
    TextOutA(dc, at.x + kPadding + kSample + kSampleGap, y + 1, text.c_str(), static_cast<int>(text.size()));
    y += row;
  }
}

}  // namespace kelmira::plot

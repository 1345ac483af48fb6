// Where the frame puts its tabs, pages and buttons, and how it draws the tab row. The tabs are
// drawn by the frame itself (there is no tab control): the current tab stands 2 pixels taller and
// wider than the others and opens into the raised body that holds the page.
#include "control/property_frame.h"

#include "window/control_paint.h"

#include <algorithm>

namespace kelmira::control {
namespace {

using window::Edge;
using window::FillSysColour;

constexpr int kMargin = 7;
constexpr int kTabPadding = 6;  // each side of a title
constexpr int kTabRaise = 2;
constexpr int kBodyInset = 4;  // from the body's edge to the page
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr LONG kMaxPageSide = 4096;  // a page asking for more is clipped to it

LONG Clamped(LONG side) { return std::clamp<LONG>(side, 0, kMaxPageSide); }

// The outline of a tab: light on the left and the top with a cut corner, dark on the right; the
// bottom stays open.
void TabOutline(HDC dc, const RECT& r) {
  FillSysColour(dc, r.left, r.top + 2, r.left + 1, r.bottom, COLOR_BTNHIGHLIGHT);
  FillSysColour(dc, r.left + 1, r.top + 1, r.left + 2, r.top + 2, COLOR_BTNHIGHLIGHT);
  FillSysColour(dc, r.left + 2, r.top, r.right - 2, r.top + 1, COLOR_BTNHIGHLIGHT);
  FillSysColour(dc, r.right - 2, r.top + 1, r.right - 1, r.bottom, COLOR_BTNSHADOW);
  FillSysColour(dc, r.right - 1, r.top + 2, r.right, r.bottom, COLOR_3DDKSHADOW);
}

void TabTitle(HDC dc, const FramePage& page, RECT r) {
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  DrawTextA(dc, page.title.c_str(), static_cast<int>(page.title.size()), &r,
            DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

}  // namespace

FrameLayout LayoutFrame(HDC dc, std::vector<FramePage>& pages) {
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int tabTop = kMargin + kTabRaise;
  const int tabHeight = tm.tmHeight + 6;
  int x = kMargin + kTabRaise;
  LONG pageWidth = 0, pageHeight = 0;
  for (FramePage& p : pages) {
    SIZE text{0, 0};
    GetTextExtentPoint32A(dc, p.title.c_str(), static_cast<int>(p.title.size()), &text);
    p.tab = {x, tabTop, x + static_cast<LONG>(text.cx) + 2 * kTabPadding, tabTop + tabHeight};
    x = p.tab.right;
    pageWidth = std::max(pageWidth, Clamped(p.size.cx));
    pageHeight = std::max(pageHeight, Clamped(p.size.cy));
  }
  FrameLayout l;
  const LONG bodyTop = tabTop + tabHeight;
  const LONG buttonsWidth = 3 * kButtonWidth + 2 * kButtonGap;
  const LONG bodyWidth =
      std::max({pageWidth + 2 * kBodyInset, buttonsWidth, static_cast<LONG>(x + kTabRaise - kMargin)});
  l.body = {kMargin, bodyTop, kMargin + bodyWidth, bodyTop + pageHeight + 2 * kBodyInset};
  l.page = {kMargin + kBodyInset, bodyTop + kBodyInset, kMargin + kBodyInset + pageWidth,
            bodyTop + kBodyInset + pageHeight};
  const LONG buttonTop = l.body.bottom + kMargin;
  LONG right = l.body.right;
  for (int i = 2; i >= 0; --i) {
    l.buttons[i] = {right - kButtonWidth, buttonTop, right, buttonTop + kButtonHeight};
    right -= kButtonWidth + kButtonGap;
  }
  l.client = {l.body.right + kMargin, buttonTop + kButtonHeight + kMargin};
  return l;
}

void PaintFrameTabs(HDC dc, const std::vector<FramePage>& pages, int current, const FrameLayout& layout) {
  Edge(dc, layout.body, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
  RECT inner = layout.body;
  InflateRect(&inner, -1, -1);
  Edge(dc, inner, COLOR_3DLIGHT, COLOR_BTNSHADOW);
  for (int i = 0; i < static_cast<int>(pages.size()); ++i) {
    if (i == current) continue;
    TabOutline(dc, pages[i].tab);
    TabTitle(dc, pages[i], pages[i].tab);
  }
  if (current < 0 || current >= static_cast<int>(pages.size())) return;
  // Drawn last, over its neighbours' edges and over the body's top edge, into which it opens.
  const RECT tab = pages[current].tab;
  RECT raised{tab.left - kTabRaise, tab.top - kTabRaise, tab.right + kTabRaise, tab.bottom + 1};
  FillRect(dc, &raised, GetSysColorBrush(COLOR_BTNFACE));
  TabOutline(dc, raised);
  RECT title = tab;
  OffsetRect(&title, 0, -1);
  TabTitle(dc, pages[current], title);
}

}  // namespace kelmira::control

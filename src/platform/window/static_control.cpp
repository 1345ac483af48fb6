// The "STATIC" control: text (left, centred, right, single-line centred vertically), filled and
// framed rectangles. It paints its whole client area in WM_PAINT with the brush its parent
// returns from WM_CTLCOLORSTATIC (the default colours when the parent returns 0) and draws the
// text in the colours the parent set on the device context. SS_SUNKEN adds a one-pixel sunken
// edge inside the client area, over the brush (a colour swatch shows its colour framed). Icons,
// bitmaps, metafiles and owner-drawn statics paint only that background.
#include "window/control_paint.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <memory>
#include <string>

namespace kelmira::window {
namespace {

struct StaticState {
  HFONT font = nullptr;  // WM_SETFONT; null draws with DEFAULT_GUI_FONT
};

StaticState* StateOf(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w) return nullptr;
  if (!w->controlData && FAILED(Guarded([&] { w->controlData = std::make_shared<StaticState>(); }))) return nullptr;
  return static_cast<StaticState*>(w->controlData.get());
}

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }

UINT TextFormat(DWORD style) {
  UINT format = DT_EXPANDTABS;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER: format |= DT_CENTER | DT_WORDBREAK; break;
    case SS_RIGHT: format |= DT_RIGHT | DT_WORDBREAK; break;
    case SS_SIMPLE: format = DT_SINGLELINE; break;
    case SS_LEFTNOWORDWRAP: break;
    default: format |= DT_WORDBREAK; break;
  }
  if (style & SS_CENTERIMAGE) format = (format & ~DT_WORDBREAK) | DT_SINGLELINE | DT_VCENTER;
  if (style & SS_NOPREFIX) format |= DT_NOPREFIX;
  if (style & SS_EDITCONTROL) format |= DT_EDITCONTROL;
  switch (style & SS_ELLIPSISMASK) {
    case SS_ENDELLIPSIS: format |= DT_END_ELLIPSIS; break;
    case SS_PATHELLIPSIS: format |= DT_PATH_ELLIPSIS; break;
    case SS_WORDELLIPSIS: format |= DT_WORD_ELLIPSIS; break;
    default: break;
  }
  return format;
}

bool IsTextType(DWORD type) {
  return type == SS_LEFT || type == SS_CENTER || type == SS_RIGHT || type == SS_SIMPLE || type == SS_LEFTNOWORDWRAP;
}

std::string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), length + 1)));
  return text;
}

void DrawStaticText(HWND hwnd, HDC dc, const RECT& client, DWORD style) {
  std::string text = WindowText(hwnd);
  if (text.empty()) return;
  StaticState* state = StateOf(hwnd);
  HFONT font = state && state->font ? state->font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  HGDIOBJ old = SelectObject(dc, font);
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  RECT r = client;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, TextFormat(style));
  if (old) SelectObject(dc, old);
}

// The rectangle and frame types take the colours of the classic scheme.
int ShapeColour(DWORD type) {
  switch (type) {
    case SS_BLACKRECT:
    case SS_BLACKFRAME: return COLOR_WINDOWFRAME;
    case SS_GRAYRECT:
    case SS_GRAYFRAME: return COLOR_BTNSHADOW;
    default: return COLOR_WINDOW;
  }
}

void DrawFrame(HDC dc, const RECT& r, HBRUSH brush) {
  RECT edges[4] = {{r.left, r.top, r.right, r.top + 1},
                   {r.left, r.bottom - 1, r.right, r.bottom},
                   {r.left, r.top, r.left + 1, r.bottom},
                   {r.right - 1, r.top, r.right, r.bottom}};
  for (const RECT& e : edges) FillRect(dc, &e, brush);
}

void PaintStatic(HWND hwnd, HDC dc) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const DWORD style = StyleOf(hwnd);
  const DWORD type = style & SS_TYPEMASK;
  if (type >= SS_BLACKRECT && type <= SS_WHITERECT) {
    FillRect(dc, &client, GetSysColorBrush(ShapeColour(type)));
    return;
  }
  HBRUSH brush = ParentBrush(hwnd, dc, WM_CTLCOLORSTATIC);
  if (brush) FillRect(dc, &client, brush);
  if (type >= SS_BLACKFRAME && type <= SS_WHITEFRAME) {
    DrawFrame(dc, client, GetSysColorBrush(ShapeColour(type)));
    return;
  }
  if (IsTextType(type)) DrawStaticText(hwnd, dc, client, style);
  if (style & SS_SUNKEN) Edge(dc, client, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
}

LRESULT OnPaint(HWND hwnd) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) (void)Guarded([&] { PaintStatic(hwnd, dc); });  // painting must not leave the DC unreleased
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT OnSetFont(HWND hwnd, WPARAM wParam, LPARAM lParam) {
  if (StaticState* state = StateOf(hwnd)) state->font = reinterpret_cast<HFONT>(wParam);
  if (LOWORD(static_cast<std::uintptr_t>(lParam))) InvalidateRect(hwnd, nullptr, TRUE);
  return 0;
}

LRESULT OnGetFont(HWND hwnd) {
  StaticState* state = StateOf(hwnd);
  return state ? reinterpret_cast<LRESULT>(state->font) : 0;
}

// SS_NOTIFY statics tell their parent about clicks.
LRESULT Notify(HWND hwnd, WORD code) {
  if (StyleOf(hwnd) & SS_NOTIFY) NotifyParent(hwnd, code);
  return 0;
}

LRESULT StaticProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_LBUTTONDOWN: return Notify(hwnd, STN_CLICKED);
    case WM_LBUTTONDBLCLK: return Notify(hwnd, STN_DBLCLK);
    case WM_PAINT: return OnPaint(hwnd);
    case WM_ERASEBKGND: return 1;  // the whole client area is painted with the parent's brush in WM_PAINT
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    }
    case WM_SETFONT: return OnSetFont(hwnd, wParam, lParam);
    case WM_GETFONT: return OnGetFont(hwnd);
    case WM_ENABLE: InvalidateRect(hwnd, nullptr, TRUE); return 0;
    case WM_NCHITTEST: return (StyleOf(hwnd) & SS_NOTIFY) ? HTCLIENT : HTTRANSPARENT;
    case WM_GETDLGCODE: return DLGC_STATIC;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

bool RegisterStaticClass() { return RegisterControlClass("Static", &StaticProc); }

const bool kStaticClassRegistered = RegisterStaticClass();

}  // namespace
}  // namespace kelmira::window

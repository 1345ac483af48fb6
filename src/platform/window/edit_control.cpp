// The "EDIT" control, single line: typing, the caret and the selection, keyboard and mouse
// editing, and its EM_* messages. The content is the window text. Choices the desktop leaves open:
// - Focus selects all only when the Tab key is down as it arrives (tabbing through a dialog); a
//   click or SetFocus keeps the selection as it was.
// - ES_NUMBER filters typed characters only; WM_SETTEXT and EM_REPLACESEL take any text.
// - The limit (30000 until EM_LIMITTEXT; 0 there means 0x7FFFFFFE) cuts what typing and
//   EM_REPLACESEL insert to what fits; WM_SETTEXT is not cut. Lowering it keeps longer content.
// - Without ES_AUTOHSCROLL, an insert that would not fit the width is refused whole.
// - WM_SETTEXT puts the caret at the start, clears the modify flag and sends EN_CHANGE; typing,
//   deleting and EM_REPLACESEL set the flag and send EN_CHANGE when the content changes.
// - ES_READONLY refuses typing, Backspace and Delete; the caret still moves and EM_REPLACESEL
//   still edits.
// - EM_SETSEL keeps start as the anchor and end as the caret (so the caret may sit at the left).
// - Arrows without Shift collapse a selection to its near edge; Ctrl+arrows move by a character.
// - WS_BORDER draws a 2-pixel sunken frame inside the client area; the text sits 1 pixel inside
//   it, centred vertically. The caret, in the text colour, is drawn while focused and enabled;
//   the selection is shown only while focused.
#include "window/control_paint.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <memory>
#include <string>

namespace kelmira::window {
namespace {

constexpr std::size_t kDefaultLimit = 30000;
constexpr std::size_t kLargestLimit = 0x7FFFFFFE;
constexpr int kMargin = 1;
constexpr int kFrame = 2;

struct EditState {
  HFONT font = nullptr;  // WM_SETFONT; null draws with DEFAULT_GUI_FONT
  std::size_t anchor = 0, caret = 0;
  std::size_t first = 0;  // first character shown (ES_AUTOHSCROLL)
  std::size_t limit = kDefaultLimit;
  bool modified = false;
  bool dragging = false;
};

EditState* StateOf(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w) return nullptr;
  if (!w->controlData && FAILED(Guarded([&] { w->controlData = std::make_shared<EditState>(); }))) return nullptr;
  return static_cast<EditState*>(w->controlData.get());
}

std::string& TextOf(HWND hwnd) { return FindWindowObject(hwnd)->text; }

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }
bool HasStyle(HWND hwnd, DWORD style) { return (StyleOf(hwnd) & style) != 0; }

std::size_t SelStart(const EditState& s) { return std::min(s.anchor, s.caret); }
std::size_t SelEnd(const EditState& s) { return std::max(s.anchor, s.caret); }

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void Notify(HWND hwnd, WORD code) { NotifyParent(hwnd, code); }

// ---- geometry

RECT TextArea(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  const int inset = kMargin + (HasStyle(hwnd, WS_BORDER) ? kFrame : 0);
  InflateRect(&r, -inset, -inset);
  return r;
}

// Text measured in the control's font on a screen DC of its own.
class Measure {
 public:
  Measure(HWND hwnd, const EditState& s) : hwnd_(hwnd), dc_(GetDC(hwnd)) {
    if (dc_) old_ = SelectObject(dc_, s.font ? static_cast<HGDIOBJ>(s.font) : GetStockObject(DEFAULT_GUI_FONT));
  }
  ~Measure() {
    if (!dc_) return;
    if (old_) SelectObject(dc_, old_);
    ReleaseDC(hwnd_, dc_);
  }
  Measure(const Measure&) = delete;
  Measure& operator=(const Measure&) = delete;

  int Width(const std::string& text, std::size_t from, std::size_t to) const {
    SIZE size{};
    if (!dc_ || to <= from) return 0;
    GetTextExtentPoint32A(dc_, text.data() + from, static_cast<int>(to - from), &size);
    return size.cx;
  }

 private:
  HWND hwnd_;
  HDC dc_;
  HGDIOBJ old_ = nullptr;
};

int AreaWidth(HWND hwnd) {
  const RECT r = TextArea(hwnd);
  return std::max(0, static_cast<int>(r.right - r.left));
}

// Scrolls so that the caret stays inside the text area.
void KeepCaretVisible(HWND hwnd, EditState& s) {
  const std::string& text = TextOf(hwnd);
  s.first = std::min(s.first, text.size());
  if (!HasStyle(hwnd, ES_AUTOHSCROLL)) {
    s.first = 0;
    return;
  }
  if (s.caret < s.first) s.first = s.caret;
  const Measure m(hwnd, s);
  const int width = AreaWidth(hwnd);
  while (s.first < s.caret && m.Width(text, s.first, s.caret) >= width) ++s.first;
}

// The character boundary nearest to client x.
std::size_t BoundaryAt(HWND hwnd, const EditState& s, int x) {
  const std::string& text = TextOf(hwnd);
  const int dx = x - TextArea(hwnd).left;
  if (dx <= 0) return s.first > 0 ? s.first - 1 : 0;  // a drag past the left edge scrolls back
  const Measure m(hwnd, s);
  std::size_t best = s.first;
  for (std::size_t i = s.first + 1; i <= text.size(); ++i) {
    const int w = m.Width(text, s.first, i);
    if (std::abs(w - dx) < std::abs(m.Width(text, s.first, best) - dx)) best = i;
    if (w > dx) break;
  }
  return best;
}

// ---- editing

void Select(HWND hwnd, EditState& s, std::size_t anchor, std::size_t caret) {
  const std::size_t size = TextOf(hwnd).size();
  s.anchor = std::min(anchor, size);
  s.caret = std::min(caret, size);
  KeepCaretVisible(hwnd, s);
  Redraw(hwnd);
}

// Replaces the selection with `insert`, cut to the limit; false when nothing changed.
bool ReplaceSelection(HWND hwnd, EditState& s, std::string insert) {
  std::string& text = TextOf(hwnd);
  const std::size_t start = SelStart(s), end = SelEnd(s);
  const std::size_t kept = text.size() - (end - start);
  const std::size_t room = s.limit > kept ? s.limit - kept : 0;
  if (insert.size() > room) insert.resize(room);
  if (insert.empty() && start == end) return false;
  std::string edited = text;
  edited.replace(start, end - start, insert);
  if (!HasStyle(hwnd, ES_AUTOHSCROLL) && Measure(hwnd, s).Width(edited, 0, edited.size()) > AreaWidth(hwnd))
    return false;
  text = std::move(edited);
  s.modified = true;
  s.anchor = s.caret = start + insert.size();
  KeepCaretVisible(hwnd, s);
  Redraw(hwnd);
  Notify(hwnd, EN_CHANGE);
  return true;
}

void DeleteAround(HWND hwnd, EditState& s, bool forward) {
  if (HasStyle(hwnd, ES_READONLY)) return;
  if (s.anchor == s.caret) {
    const std::size_t size = TextOf(hwnd).size();
    if (forward ? s.caret >= size : s.caret == 0) return;
    s.anchor = forward ? s.caret + 1 : s.caret - 1;
  }
  (void)ReplaceSelection(hwnd, s, {});
}

LRESULT OnChar(HWND hwnd, EditState& s, WPARAM ch) {
  if (GetKeyState(VK_CONTROL) < 0) return 0;
  if (ch == VK_BACK) {
    DeleteAround(hwnd, s, false);
    return 0;
  }
  if (ch < 0x20 || ch > 0xFF || HasStyle(hwnd, ES_READONLY)) return 0;
  if (HasStyle(hwnd, ES_NUMBER) && (ch < '0' || ch > '9')) return 0;
  (void)ReplaceSelection(hwnd, s, std::string(1, static_cast<char>(ch)));
  return 0;
}

LRESULT OnKeyDown(HWND hwnd, EditState& s, WPARAM key) {
  const bool shift = GetKeyState(VK_SHIFT) < 0, control = GetKeyState(VK_CONTROL) < 0;
  const std::size_t size = TextOf(hwnd).size();
  std::size_t caret = s.caret;
  switch (key) {
    case VK_LEFT:
      if (!shift && s.anchor != s.caret)
        caret = SelStart(s);
      else if (caret > 0)
        --caret;
      break;
    case VK_RIGHT:
      if (!shift && s.anchor != s.caret)
        caret = SelEnd(s);
      else if (caret < size)
        ++caret;
      break;
    case VK_HOME: caret = 0; break;
    case VK_END: caret = size; break;
    case VK_DELETE: DeleteAround(hwnd, s, true); return 0;
    case 'A':
      if (control) Select(hwnd, s, 0, size);
      return 0;
    default: return 0;
  }
  Select(hwnd, s, shift ? s.anchor : caret, caret);
  return 0;
}

LRESULT OnSetText(HWND hwnd, EditState& s, LPARAM lParam) {
  const auto* text = reinterpret_cast<const char*>(lParam);
  TextOf(hwnd) = text ? text : "";
  s.anchor = s.caret = s.first = 0;
  s.modified = false;
  Redraw(hwnd);
  Notify(hwnd, EN_CHANGE);
  return TRUE;
}

LRESULT OnGetSel(const EditState& s, WPARAM wParam, LPARAM lParam) {
  if (auto* start = reinterpret_cast<DWORD*>(wParam)) *start = static_cast<DWORD>(SelStart(s));
  if (auto* end = reinterpret_cast<DWORD*>(lParam)) *end = static_cast<DWORD>(SelEnd(s));
  return static_cast<LRESULT>(MAKELONG(static_cast<WORD>(SelStart(s)), static_cast<WORD>(SelEnd(s))));
}

LRESULT OnSetSel(HWND hwnd, EditState& s, WPARAM wParam, LPARAM lParam) {
  const auto start = static_cast<long long>(static_cast<int>(wParam));
  const auto end = static_cast<long long>(static_cast<int>(lParam));
  const std::size_t size = TextOf(hwnd).size();
  if (start == -1) {
    Select(hwnd, s, s.caret, s.caret);
    return 0;
  }
  const auto clamp = [size](long long v) { return v < 0 ? size : std::min(static_cast<std::size_t>(v), size); };
  Select(hwnd, s, clamp(start), clamp(end));
  return 0;
}

LRESULT OnLimit(EditState& s, WPARAM wParam) {
  s.limit = wParam == 0 ? kLargestLimit : std::min(static_cast<std::size_t>(wParam), kLargestLimit);
  return 0;
}

// ---- focus and mouse

LRESULT OnFocus(HWND hwnd, EditState& s, UINT msg) {
  if (msg == WM_SETFOCUS && GetKeyState(VK_TAB) < 0) Select(hwnd, s, 0, TextOf(hwnd).size());
  if (msg == WM_KILLFOCUS) s.dragging = false;
  Redraw(hwnd);
  Notify(hwnd, msg == WM_SETFOCUS ? EN_SETFOCUS : EN_KILLFOCUS);
  return 0;
}

LRESULT OnButtonDown(HWND hwnd, EditState& s, WPARAM keys, LPARAM lParam) {
  if (!IsWindowEnabled(hwnd)) return 0;
  if (GetFocus() != hwnd) SetFocus(hwnd);
  const std::size_t at = BoundaryAt(hwnd, s, GET_X_LPARAM(lParam));
  Select(hwnd, s, (keys & MK_SHIFT) ? s.anchor : at, at);
  SetCapture(hwnd);
  s.dragging = true;
  return 0;
}

LRESULT OnMouseMove(HWND hwnd, EditState& s, LPARAM lParam) {
  if (s.dragging) Select(hwnd, s, s.anchor, BoundaryAt(hwnd, s, GET_X_LPARAM(lParam)));
  return 0;
}

LRESULT OnButtonUp(EditState& s) {
  if (!s.dragging) return 0;
  s.dragging = false;
  ReleaseCapture();
  return 0;
}

// ---- painting

// Disabled and read-only edits ask with WM_CTLCOLORSTATIC, as on the desktop.
HBRUSH ControlBrush(HWND hwnd, HDC dc) {
  const bool greyed = !IsWindowEnabled(hwnd) || HasStyle(hwnd, ES_READONLY);
  return ParentBrush(hwnd, dc, greyed ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
}

void PaintText(HWND hwnd, HDC dc, const EditState& s, const RECT& area) {
  const std::string& text = TextOf(hwnd);
  const bool focused = GetFocus() == hwnd;
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  const int top = (area.top + area.bottom - tm.tmHeight) / 2;
  const std::size_t first = std::min(s.first, text.size());
  const auto xOf = [&](std::size_t i) {
    SIZE size{};
    if (i > first) GetTextExtentPoint32A(dc, text.data() + first, static_cast<int>(i - first), &size);
    return static_cast<int>(area.left + size.cx);
  };
  SetBkMode(dc, TRANSPARENT);
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  const COLORREF textColour = GetTextColor(dc);
  ExtTextOutA(dc, area.left, top, ETO_CLIPPED, &area, text.data() + first, static_cast<UINT>(text.size() - first),
              nullptr);
  const std::size_t start = std::max(SelStart(s), first), end = SelEnd(s);
  if (focused && end > start) {
    RECT band{xOf(start), top, std::min(xOf(end), static_cast<int>(area.right)), top + tm.tmHeight};
    FillRect(dc, &band, GetSysColorBrush(COLOR_HIGHLIGHT));
    SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    ExtTextOutA(dc, band.left, top, ETO_CLIPPED, &band, text.data() + start, static_cast<UINT>(end - start), nullptr);
  }
  if (focused && IsWindowEnabled(hwnd)) {
    const int x = std::min(xOf(s.caret), static_cast<int>(area.right) - 1);
    RECT bar{x, top, x + 1, top + tm.tmHeight};
    HBRUSH caret = CreateSolidBrush(textColour);
    FillRect(dc, &bar, caret);
    DeleteObject(caret);
  }
}

void Paint(HWND hwnd, HDC dc, const EditState& s) {
  RECT client{};
  GetClientRect(hwnd, &client);
  HBRUSH brush = ControlBrush(hwnd, dc);
  if (brush) FillRect(dc, &client, brush);
  if (HasStyle(hwnd, WS_BORDER)) {
    RECT frame = client;
    Edge(dc, frame, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
    InflateRect(&frame, -1, -1);
    Edge(dc, frame, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  }
  HGDIOBJ old = SelectObject(dc, s.font ? static_cast<HGDIOBJ>(s.font) : GetStockObject(DEFAULT_GUI_FONT));
  PaintText(hwnd, dc, s, TextArea(hwnd));
  if (old) SelectObject(dc, old);
}

LRESULT OnPaint(HWND hwnd, const EditState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) (void)Guarded([&] { Paint(hwnd, dc, s); });  // painting must not leave the DC unreleased
  EndPaint(hwnd, &ps);
  return 0;
}

LRESULT Dispatch(HWND hwnd, EditState& s, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_PAINT: return OnPaint(hwnd, s);
    case WM_ERASEBKGND: return 1;  // the parent's brush fills the client area in WM_PAINT
    case WM_SETTEXT: return OnSetText(hwnd, s, lParam);
    case WM_CHAR: return OnChar(hwnd, s, wParam);
    case WM_KEYDOWN: return OnKeyDown(hwnd, s, wParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocus(hwnd, s, msg);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, s, wParam, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(hwnd, s, lParam);
    case WM_LBUTTONUP: return OnButtonUp(s);
    case WM_CAPTURECHANGED: s.dragging = false; return 0;
    case WM_ENABLE: Redraw(hwnd); return 0;
    case WM_SETFONT:
      s.font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<std::uintptr_t>(lParam))) Redraw(hwnd);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s.font);
    case WM_GETDLGCODE: return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    case EM_GETSEL: return OnGetSel(s, wParam, lParam);
    case EM_SETSEL: return OnSetSel(hwnd, s, wParam, lParam);
    case EM_REPLACESEL: {
      const auto* text = reinterpret_cast<const char*>(lParam);
      (void)ReplaceSelection(hwnd, s, text ? text : "");
      return 0;
    }
    case EM_LIMITTEXT: return OnLimit(s, wParam);
    case EM_GETLIMITTEXT: return static_cast<LRESULT>(s.limit);
    case EM_GETMODIFY: return s.modified ? TRUE : FALSE;
    case EM_SETMODIFY: s.modified = wParam != 0; return 0;
    case EM_SETREADONLY: {
      const DWORD style = StyleOf(hwnd);
      SetWindowLongPtrA(hwnd, GWL_STYLE, static_cast<LONG_PTR>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
      Redraw(hwnd);
      return TRUE;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  EditState* s = StateOf(hwnd);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // Strings grow here; an allocation failure leaves the edit as it was.
  return GuardedOr(LRESULT{0}, [&] { return Dispatch(hwnd, *s, msg, wParam, lParam); });
}

bool RegisterEditClass() { return RegisterControlClass("Edit", &EditProc, CS_DBLCLKS, IDC_IBEAM); }

const bool kEditClassRegistered = RegisterEditClass();

}  // namespace
}  // namespace kelmira::window

// The "BUTTON" control: push buttons (BS_DEFPUSHBUTTON draws a black outer frame and reports
// DLGC_DEFPUSHBUTTON), check boxes (BS_AUTOCHECKBOX toggles itself; BS_LEFTTEXT puts the text
// to the left of the box), radio buttons (BS_AUTORADIOBUTTON checks itself and clears the other
// radio buttons of its WS_GROUP group) and group boxes. Choices the desktop leaves open:
// - The brush the parent answers (WM_CTLCOLORBTN for push buttons, WM_CTLCOLORSTATIC for the
//   others; default colours when it returns 0) fills the whole client area; a push button's face
//   inside its frame is that brush too, so one answer colours the whole control. A group box
//   fills only behind its text: the controls it surrounds are its siblings and must stay visible
//   through it.
// - The other types (three-state, owner-drawn, ...) behave and paint as push buttons.
// - BM_SETCHECK stores BST_CHECKED for BST_CHECKED and BST_UNCHECKED for any other value; it is
//   ignored by push buttons and group boxes, whose BM_GETCHECK is always BST_UNCHECKED.
// - BM_CLICK clicks at once (no focus change, no capture) and does nothing while disabled; a
//   disabled button also ignores mouse and keyboard input that reaches it.
// - Group boxes are transparent to the mouse (HTTRANSPARENT) and never click.
// - A check box's 13 x 13 box sits at the left (right with BS_LEFTTEXT), centred vertically,
//   with the text 4 pixels away; the focus rectangle goes around the text. A radio button's round
//   mark takes the same place. A push button's focus
//   rectangle is 4 pixels inside its client area.
#include "window/control_paint.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <memory>
#include <string>

namespace kelmira::window {
namespace {

constexpr int kBoxSize = 13;
constexpr int kTextGap = 4;

struct ButtonState {
  HFONT font = nullptr;  // WM_SETFONT; null draws with DEFAULT_GUI_FONT
  bool checked = false;
  bool pushed = false;    // drawn pushed in (BM_SETSTATE, a press in progress)
  bool tracking = false;  // the mouse is captured after a press
  bool spaceDown = false;
};

ButtonState* StateOf(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w) return nullptr;
  if (!w->controlData && FAILED(Guarded([&] { w->controlData = std::make_shared<ButtonState>(); }))) return nullptr;
  return static_cast<ButtonState*>(w->controlData.get());
}

enum class Kind { kPush, kCheck, kAutoCheck, kRadio, kAutoRadio, kGroup };

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)); }

Kind KindOf(HWND hwnd) {
  switch (StyleOf(hwnd) & BS_TYPEMASK) {
    case BS_CHECKBOX: return Kind::kCheck;
    case BS_AUTOCHECKBOX: return Kind::kAutoCheck;
    case BS_RADIOBUTTON: return Kind::kRadio;
    case BS_AUTORADIOBUTTON: return Kind::kAutoRadio;
    case BS_GROUPBOX: return Kind::kGroup;
    default: return Kind::kPush;
  }
}

bool IsRadio(Kind k) { return k == Kind::kRadio || k == Kind::kAutoRadio; }
// Check boxes and radio buttons: both keep a check state and draw a mark beside their text.
bool IsCheckBox(Kind k) { return k == Kind::kCheck || k == Kind::kAutoCheck || IsRadio(k); }
bool IsDefault(HWND hwnd) { return (StyleOf(hwnd) & BS_TYPEMASK) == BS_DEFPUSHBUTTON; }

void Redraw(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void SetPushed(HWND hwnd, ButtonState& s, bool pushed) {
  if (s.pushed == pushed) return;
  s.pushed = pushed;
  Redraw(hwnd);
}

// The group runs from the sibling with WS_GROUP at or before hwnd to the next one with WS_GROUP.
void ClearOtherRadios(HWND hwnd) {
  HWND first = hwnd;
  for (HWND prev; !(StyleOf(first) & WS_GROUP) && (prev = GetWindow(first, GW_HWNDPREV)) != nullptr;) first = prev;
  for (HWND h = first; h && (h == first || !(StyleOf(h) & WS_GROUP)); h = GetWindow(h, GW_HWNDNEXT))
    if (h != hwnd && (SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
      SendMessageA(h, BM_SETCHECK, BST_UNCHECKED, 0);
}

void Click(HWND hwnd, ButtonState& s) {
  const Kind kind = KindOf(hwnd);
  if (kind == Kind::kGroup) return;
  if (kind == Kind::kAutoCheck || (kind == Kind::kAutoRadio && !s.checked)) {
    s.checked = !s.checked;
    Redraw(hwnd);
  }
  if (kind == Kind::kAutoRadio) ClearOtherRadios(hwnd);
  NotifyParent(hwnd, BN_CLICKED);
}

// ---- painting

// Push buttons ask with WM_CTLCOLORBTN; check boxes and group boxes, which sit on the dialog's
// face like text, with WM_CTLCOLORSTATIC, as on the desktop.
HBRUSH ControlBrush(HWND hwnd, HDC dc, Kind kind) {
  return ParentBrush(hwnd, dc, kind == Kind::kPush ? WM_CTLCOLORBTN : WM_CTLCOLORSTATIC);
}

void Outline(HDC dc, const RECT& r, int colour) { Edge(dc, r, colour, colour); }

std::string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  text.resize(static_cast<std::size_t>(GetWindowTextA(hwnd, text.data(), length + 1)));
  return text;
}

// Draws the text in r with the colours the parent chose (grey when disabled); returns the
// rectangle the text covers.
RECT DrawLabel(HWND hwnd, HDC dc, const ButtonState& s, RECT r, UINT format) {
  const std::string text = WindowText(hwnd);
  if (text.empty()) return {r.left, r.top, r.left, r.top};
  HGDIOBJ old = SelectObject(dc, s.font ? static_cast<HGDIOBJ>(s.font) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  if (!IsWindowEnabled(hwnd)) SetTextColor(dc, GetSysColor(COLOR_GRAYTEXT));
  RECT measured = r;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &measured, format | DT_CALCRECT);
  const int width = measured.right - measured.left, height = measured.bottom - measured.top;
  if (format & DT_CENTER) r.left = (r.left + r.right - width) / 2;
  if (format & DT_VCENTER) r.top = (r.top + r.bottom - height) / 2;
  RECT covered{r.left, r.top, r.left + width, r.top + height};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &covered, format & ~(DT_CENTER | DT_VCENTER));
  if (old) SelectObject(dc, old);
  return covered;
}

void PaintPush(HWND hwnd, HDC dc, const ButtonState& s, RECT r) {
  if (IsDefault(hwnd)) {
    Outline(dc, r, COLOR_WINDOWFRAME);
    InflateRect(&r, -1, -1);
  }
  if (s.pushed) {
    Outline(dc, r, COLOR_BTNSHADOW);
  } else {
    Edge(dc, r, COLOR_BTNHIGHLIGHT, COLOR_3DDKSHADOW);
    RECT inner = r;
    InflateRect(&inner, -1, -1);
    Edge(dc, inner, COLOR_3DLIGHT, COLOR_BTNSHADOW);
  }
  RECT text = r;
  if (s.pushed) OffsetRect(&text, 1, 1);  // the label sinks with the face
  DrawLabel(hwnd, dc, s, text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  if (GetFocus() == hwnd) {
    RECT focus = r;
    InflateRect(&focus, -3, -3);
    DrawFocusOutline(dc, focus, GetSysColor(COLOR_BTNTEXT));
  }
}

// A tick of 7 columns, each 3 pixels tall, dipping to the third column.
void DrawCheckMark(HDC dc, int left, int top, int colour) {
  constexpr int kDrop[7] = {2, 3, 4, 3, 2, 1, 0};
  for (int i = 0; i < 7; ++i) FillSysColour(dc, left + i, top + kDrop[i], left + i + 1, top + kDrop[i] + 3, colour);
}

void DrawSquareBox(HDC dc, RECT box, const ButtonState& s, bool grey, int markColour) {
  Edge(dc, box, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  InflateRect(&box, -1, -1);
  Edge(dc, box, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  InflateRect(&box, -1, -1);
  FillRect(dc, &box, GetSysColorBrush(grey ? COLOR_BTNFACE : COLOR_WINDOW));
  if (s.checked) DrawCheckMark(dc, box.left + 1, box.top + 1, markColour);
}

void Disc(HDC dc, const RECT& r, int edge, int fill) {
  HGDIOBJ pen = SelectObject(dc, CreatePen(PS_SOLID, 1, GetSysColor(edge)));
  HGDIOBJ brush = SelectObject(dc, GetSysColorBrush(fill));
  Ellipse(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, brush);
  DeleteObject(SelectObject(dc, pen));
}

// A sunken circle, with a dot in the middle when checked.
void DrawRoundBox(HDC dc, RECT box, const ButtonState& s, bool grey, int markColour) {
  Disc(dc, box, COLOR_BTNSHADOW, grey ? COLOR_BTNFACE : COLOR_WINDOW);
  if (!s.checked) return;
  InflateRect(&box, -4, -4);
  Disc(dc, box, markColour, markColour);
}

void PaintCheck(HWND hwnd, HDC dc, const ButtonState& s, const RECT& client) {
  const bool leftText = (StyleOf(hwnd) & BS_LEFTTEXT) != 0;
  const int boxLeft = leftText ? client.right - kBoxSize : client.left;
  const int boxTop = (client.top + client.bottom - kBoxSize) / 2;
  const RECT box{boxLeft, boxTop, boxLeft + kBoxSize, boxTop + kBoxSize};
  const bool grey = s.pushed || !IsWindowEnabled(hwnd);
  const int markColour = IsWindowEnabled(hwnd) ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT;
  if (IsRadio(KindOf(hwnd)))
    DrawRoundBox(dc, box, s, grey, markColour);
  else
    DrawSquareBox(dc, box, s, grey, markColour);

  RECT text = client;
  if (leftText)
    text.right = boxLeft - kTextGap;
  else
    text.left = boxLeft + kBoxSize + kTextGap;
  RECT covered = DrawLabel(hwnd, dc, s, text, DT_VCENTER | DT_SINGLELINE);
  if (GetFocus() == hwnd && covered.right > covered.left) {
    InflateRect(&covered, 1, 1);
    DrawFocusOutline(dc, covered, GetSysColor(COLOR_BTNTEXT));
  }
}

// The frame runs through the middle of the first text line, which interrupts it at the left.
void PaintGroup(HWND hwnd, HDC dc, const ButtonState& s, const RECT& client, HBRUSH background) {
  HGDIOBJ old = SelectObject(dc, s.font ? static_cast<HGDIOBJ>(s.font) : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  if (old) SelectObject(dc, old);
  RECT frame = client;
  frame.top += tm.tmHeight / 2;
  Edge(dc, frame, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  InflateRect(&frame, -1, -1);
  Edge(dc, frame, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW);
  RECT text{client.left + 8, client.top, client.right - 8, client.top + tm.tmHeight};
  if (WindowText(hwnd).empty()) return;
  RECT covered = DrawLabel(hwnd, dc, s, text, DT_SINGLELINE | DT_CALCRECT);
  RECT gap{covered.left - 2, covered.top, covered.right + 2, covered.bottom};
  if (background) FillRect(dc, &gap, background);
  DrawLabel(hwnd, dc, s, text, DT_SINGLELINE);
}

void Paint(HWND hwnd, HDC dc, const ButtonState& s) {
  RECT client{};
  GetClientRect(hwnd, &client);
  const Kind kind = KindOf(hwnd);
  HBRUSH brush = ControlBrush(hwnd, dc, kind);
  if (kind == Kind::kGroup) {
    PaintGroup(hwnd, dc, s, client, brush);
    return;
  }
  if (brush) FillRect(dc, &client, brush);
  if (IsCheckBox(kind))
    PaintCheck(hwnd, dc, s, client);
  else
    PaintPush(hwnd, dc, s, client);
}

LRESULT OnPaint(HWND hwnd, const ButtonState& s) {
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(hwnd, &ps);
  if (dc) (void)Guarded([&] { Paint(hwnd, dc, s); });  // painting must not leave the DC unreleased
  EndPaint(hwnd, &ps);
  return 0;
}

// ---- input

bool InClient(HWND hwnd, LPARAM lParam) {
  RECT r{};
  GetClientRect(hwnd, &r);
  POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  return PtInRect(&r, pt) != FALSE;
}

LRESULT OnButtonDown(HWND hwnd, ButtonState& s) {
  if (!IsWindowEnabled(hwnd) || KindOf(hwnd) == Kind::kGroup) return 0;
  SetFocus(hwnd);
  SetCapture(hwnd);
  s.tracking = true;
  SetPushed(hwnd, s, true);
  return 0;
}

LRESULT OnButtonUp(HWND hwnd, ButtonState& s, LPARAM lParam) {
  if (!s.tracking) return 0;
  const bool inside = InClient(hwnd, lParam);
  s.tracking = false;
  SetPushed(hwnd, s, false);
  ReleaseCapture();
  if (inside) Click(hwnd, s);
  return 0;
}

LRESULT OnKey(HWND hwnd, ButtonState& s, UINT msg, WPARAM key) {
  if (key != VK_SPACE || !IsWindowEnabled(hwnd) || KindOf(hwnd) == Kind::kGroup) return 0;
  if (msg == WM_KEYDOWN) {
    s.spaceDown = true;
    SetPushed(hwnd, s, true);
    return 0;
  }
  if (!s.spaceDown) return 0;
  s.spaceDown = false;
  SetPushed(hwnd, s, false);
  Click(hwnd, s);
  return 0;
}

// ---- button messages

LRESULT OnSetCheck(HWND hwnd, ButtonState& s, WPARAM wParam) {
  if (!IsCheckBox(KindOf(hwnd))) return 0;
  const bool checked = wParam == BST_CHECKED;
  if (checked != s.checked) {
    s.checked = checked;
    Redraw(hwnd);
  }
  return 0;
}

LRESULT OnGetState(HWND hwnd, const ButtonState& s) {
  LRESULT state = s.checked ? BST_CHECKED : BST_UNCHECKED;
  if (s.pushed) state |= BST_PUSHED;
  if (GetFocus() == hwnd) state |= BST_FOCUS;
  return state;
}

LRESULT DialogCode(HWND hwnd) {
  const Kind kind = KindOf(hwnd);
  if (kind == Kind::kGroup) return DLGC_STATIC;
  if (IsRadio(kind)) return DLGC_BUTTON | DLGC_RADIOBUTTON;
  if (IsCheckBox(kind)) return DLGC_BUTTON;
  return DLGC_BUTTON | (IsDefault(hwnd) ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
}

LRESULT OnFocus(HWND hwnd, ButtonState& s, UINT msg) {
  if (msg == WM_KILLFOCUS) {
    s.spaceDown = false;
    if (!s.tracking) SetPushed(hwnd, s, false);
  }
  Redraw(hwnd);
  return 0;
}

LRESULT ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  ButtonState* s = StateOf(hwnd);
  if (!s) return DefWindowProcA(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_PAINT: return OnPaint(hwnd, *s);
    case WM_ERASEBKGND: return 1;  // the whole client area is painted with the parent's brush in WM_PAINT
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: return OnButtonDown(hwnd, *s);
    case WM_MOUSEMOVE:
      if (s->tracking) SetPushed(hwnd, *s, InClient(hwnd, lParam));
      return 0;
    case WM_LBUTTONUP: return OnButtonUp(hwnd, *s, lParam);
    case WM_CAPTURECHANGED:
      s->tracking = false;
      SetPushed(hwnd, *s, s->spaceDown);
      return 0;
    case WM_KEYDOWN:
    case WM_KEYUP: return OnKey(hwnd, *s, msg, wParam);
    case WM_SETFOCUS:
    case WM_KILLFOCUS: return OnFocus(hwnd, *s, msg);
    case WM_ENABLE: Redraw(hwnd); return 0;
    case WM_SETTEXT: {
      LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
      Redraw(hwnd);
      return result;
    }
    case WM_SETFONT:
      s->font = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(static_cast<std::uintptr_t>(lParam))) Redraw(hwnd);
      return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(s->font);
    case WM_GETDLGCODE: return DialogCode(hwnd);
    case WM_NCHITTEST: return KindOf(hwnd) == Kind::kGroup ? HTTRANSPARENT : HTCLIENT;
    case BM_GETCHECK: return s->checked ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK: return OnSetCheck(hwnd, *s, wParam);
    case BM_GETSTATE: return OnGetState(hwnd, *s);
    case BM_SETSTATE: SetPushed(hwnd, *s, wParam != 0); return 0;
    case BM_CLICK:
      if (IsWindowEnabled(hwnd)) Click(hwnd, *s);
      return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

bool RegisterButtonClass() { return RegisterControlClass("Button", &ButtonProc); }

const bool kButtonClassRegistered = RegisterButtonClass();

}  // namespace
}  // namespace kelmira::window

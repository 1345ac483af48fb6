// The colour dialog window: a modal dialog from an in-memory template, laid out in pixels when it
// initialises, run by the same nested loop as the message box. Choices the desktop leaves open:
// - Fixed size: 216 x 296 narrow, 464 x 296 wide, centred on the screen. The editor's items
//   exist from the start, hidden while narrow. "Define Custom Colors >>" widens it once and is
//   then disabled; CC_FULLOPEN opens it wide; CC_PREVENTFULLOPEN disables the button (CC_FULLOPEN
//   still opens it wide). Template flags and CC_SHOWHELP are ignored: there is one built-in
//   template and no Help button. CC_SOLIDCOLOR and CC_ANYCOLOR change nothing: on a true-colour
//   display every colour is solid.
// - Without CC_RGBINIT the current colour is black, as if rgbResult were 0. Either way the first
//   swatch of exactly that colour is selected, basic before custom; none when there is none.
//   The selected swatch has the focus when the dialog opens (OK when none is selected).
// - A selected custom swatch is where "Add to Custom Colors" writes; after each add the target
//   moves to the next custom swatch (16 wraps to the first) while the selection stays. The target
//   starts at the first custom swatch.
// - Colours typed into an edit group (Hue/Sat/Lum or Red/Green/Blue) count once all three are
//   numbers; values above the range are taken as its largest value and are left as typed.
// - The application's hook (CC_ENABLEHOOK) gets WM_INITDIALOG after the dialog has set itself up,
//   then every message before the dialog; a nonzero answer means the dialog does nothing with it.
//   The dialog keeps nothing in the window's extra bytes, so a hook may use DWLP_USER and
//   subclass the window.
// - A dialog that nobody can answer (the headless loop runs dry) answers with its default
//   button, OK, as the message box does. WM_QUIT cancels; the dialog going away on its own fails
//   with CDERR_DIALOGFAILURE.
#include "window/colour_dialog.h"

#include "window/dialog_create.h"
#include "window/dialog_modal.h"
#include "window/dialog_state.h"
#include "window/window_table.h"

#include <kelmira/platform/dialog_template.h>
#include <kelmira/platform/guarded.h>

#include <algorithm>
#include <vector>

namespace kelmira::window {
namespace {

constexpr SIZE kNarrow{216, 296};
constexpr SIZE kWide{464, 296};
constexpr int kCellWidth = 25, kCellHeight = 21;
constexpr POINT kBasicAt{8, 26}, kCustomAt{8, 178};

struct Item {
  WORD id;
  const char* className;  // null: the atom
  WORD atom;
  DWORD style;
  const char* text;
  RECT at;  // pixels
  bool editor;
};

constexpr DWORD kLabel = SS_LEFT, kRight = SS_RIGHT;
constexpr DWORD kPush = WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kNumber = WS_TABSTOP | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL;

constexpr Item kItems[] = {
    {0x300, nullptr, kStaticClassAtom, kLabel, "&Basic colors:", {8, 8, 208, 24}, false},
    {0x301, nullptr, kStaticClassAtom, kLabel, "&Custom colors:", {8, 160, 208, 176}, false},
    {kDefineId, nullptr, kButtonClassAtom, kPush, "&Define Custom Colors >>", {8, 230, 208, 253}, false},
    {IDOK, nullptr, kButtonClassAtom, WS_TABSTOP | BS_DEFPUSHBUTTON, "OK", {8, 263, 104, 286}, false},
    {IDCANCEL, nullptr, kButtonClassAtom, kPush, "Cancel", {112, 263, 208, 286}, false},
    {kFieldId, kFieldClass, 0, 0, "", {224, 8, 424, 180}, true},
    {kLumBarId, kLumBarClass, 0, 0, "", {432, 8, 456, 180}, true},
    {kPreviewId, kPreviewClass, 0, 0, "", {224, 188, 288, 232}, true},
    {0x302, nullptr, kStaticClassAtom, SS_CENTER, "Color|S&olid", {224, 236, 288, 252}, true},
    {0x303, nullptr, kStaticClassAtom, kRight, "Hu&e:", {292, 190, 322, 206}, true},
    {kHueId, nullptr, kEditClassAtom, kNumber | WS_GROUP, "", {324, 188, 360, 208}, true},
    {0x304, nullptr, kStaticClassAtom, kRight, "&Sat:", {292, 213, 322, 229}, true},
    {kHueId + 1, nullptr, kEditClassAtom, kNumber, "", {324, 211, 360, 231}, true},
    {0x305, nullptr, kStaticClassAtom, kRight, "&Lum:", {292, 236, 322, 252}, true},
    {kHueId + 2, nullptr, kEditClassAtom, kNumber, "", {324, 234, 360, 254}, true},
    {0x306, nullptr, kStaticClassAtom, kRight, "&Red:", {364, 190, 412, 206}, true},
    {kRedId, nullptr, kEditClassAtom, kNumber, "", {414, 188, 450, 208}, true},
    {0x307, nullptr, kStaticClassAtom, kRight, "&Green:", {364, 213, 412, 229}, true},
    {kRedId + 1, nullptr, kEditClassAtom, kNumber, "", {414, 211, 450, 231}, true},
    {0x308, nullptr, kStaticClassAtom, kRight, "Bl&ue:", {364, 236, 412, 252}, true},
    {kRedId + 2, nullptr, kEditClassAtom, kNumber, "", {414, 234, 450, 254}, true},
    {kAddId, nullptr, kButtonClassAtom, kPush | WS_DISABLED, "&Add to Custom Colors", {224, 263, 456, 286}, true},
};

// The dialogs open on this thread, innermost last.
thread_local std::vector<ColourDialog*> t_open;

RECT SwatchRect(int id) {
  const bool custom = id >= kCustomFirstId;
  const int index = id - (custom ? kCustomFirstId : kBasicFirstId);
  const POINT at = custom ? kCustomAt : kBasicAt;
  const int x = at.x + index % kSwatchColumns * kCellWidth, y = at.y + index / kSwatchColumns * kCellHeight;
  return RECT{x, y, x + kCellWidth, y + kCellHeight};
}

// The n-th of all swatches, basic ones first.
WORD SwatchId(int n) {
  return static_cast<WORD>(n < kBasicCount ? kBasicFirstId + n : kCustomFirstId + n - kBasicCount);
}

void BuildTemplate(DialogTemplateBuilder& b) {
  for (int n = 0; n < kBasicCount + kCustomCount; ++n)
    b.AddItem(WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, SwatchId(n), kSwatchClass, "");
  for (const Item& item : kItems) {
    const DWORD style = WS_CHILD | item.style | (item.editor ? 0 : WS_VISIBLE);
    if (item.className)
      b.AddItem(style, 0, 0, 0, 0, item.id, item.className, item.text);
    else
      b.AddItem(style, 0, 0, 0, 0, item.id, item.atom, item.text);
  }
}

void MoveItem(HWND hdlg, int id, const RECT& r) {
  if (HWND item = GetDlgItem(hdlg, id)) MoveWindow(item, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

void Resize(HWND hdlg, SIZE size) {
  const int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(kWide.cx)) / 2);
  const int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(size.cy)) / 2);
  MoveWindow(hdlg, x, y, size.cx, size.cy, TRUE);
}

void Arrange(HWND hdlg) {
  for (int n = 0; n < kBasicCount + kCustomCount; ++n) MoveItem(hdlg, SwatchId(n), SwatchRect(SwatchId(n)));
  for (const Item& item : kItems) MoveItem(hdlg, item.id, item.at);
  for (int id = kHueId; id < kRedId + 3; ++id) SendDlgItemMessageA(hdlg, id, EM_LIMITTEXT, 3, 0);
}

void RedrawSwatch(const ColourDialog& d, int id) {
  if (HWND item = GetDlgItem(d.hdlg, id)) InvalidateRect(item, nullptr, FALSE);
}

void Select(ColourDialog& d, int id) {
  const int old = d.selected;
  d.selected = id;
  if (id >= kCustomFirstId) d.customTarget = id - kCustomFirstId;
  RedrawSwatch(d, old);
  RedrawSwatch(d, id);
  if (HWND item = GetDlgItem(d.hdlg, id)) SetFocus(item);
  SetCurrentColour(d, SwatchColour(d, id));
}

void MoveSelection(ColourDialog& d, WPARAM key) {
  if (!IsSwatch(d.selected)) return;
  const bool custom = d.selected >= kCustomFirstId;
  const int first = custom ? kCustomFirstId : kBasicFirstId;
  const int rows = (custom ? kCustomCount : kBasicCount) / kSwatchColumns;
  int row = (d.selected - first) / kSwatchColumns, column = (d.selected - first) % kSwatchColumns;
  switch (key) {
    case VK_LEFT: column = std::max(0, column - 1); break;
    case VK_RIGHT: column = std::min(kSwatchColumns - 1, column + 1); break;
    case VK_UP: row = std::max(0, row - 1); break;
    case VK_DOWN: row = std::min(rows - 1, row + 1); break;
    default: return;
  }
  Select(d, first + row * kSwatchColumns + column);
}

void Widen(ColourDialog& d) {
  if (d.wide) return;
  d.wide = true;
  for (const Item& item : kItems)
    if (item.editor) ShowWindow(GetDlgItem(d.hdlg, item.id), SW_SHOWNA);
  HWND define = GetDlgItem(d.hdlg, kDefineId);
  if (GetFocus() == define) SetFocus(GetDlgItem(d.hdlg, kHueId));
  EnableWindow(define, FALSE);
  EnableWindow(GetDlgItem(d.hdlg, kAddId), TRUE);
  Resize(d.hdlg, kWide);
}

void AddCustom(ColourDialog& d) {
  d.custom[static_cast<std::size_t>(d.customTarget)] = d.colour;
  RedrawSwatch(d, kCustomFirstId + d.customTarget);
  d.customTarget = (d.customTarget + 1) % kCustomCount;
}

int SwatchOf(const ColourDialog& d, COLORREF colour) {
  for (int i = 0; i < kBasicCount; ++i)
    if (kBasicColours[i] == colour) return kBasicFirstId + i;
  for (int i = 0; i < kCustomCount; ++i)
    if (d.custom[static_cast<std::size_t>(i)] == colour) return kCustomFirstId + i;
  return 0;
}

bool CallAppHook(const ColourDialog& d, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!(d.request->Flags & CC_ENABLEHOOK) || !d.request->lpfnHook) return false;
  UINT_PTR answer = 0;  // a hook that throws leaves the message to the dialog
  (void)Guarded([&] { answer = d.request->lpfnHook(d.hdlg, msg, wParam, lParam); });
  return answer != 0;
}

INT_PTR OnInitDialog(HWND hdlg, ColourDialog& d) {
  d.hdlg = hdlg;
  t_open.push_back(&d);
  SetWindowTextA(hdlg, "Color");
  Arrange(hdlg);
  const DWORD flags = d.request->Flags;
  Resize(hdlg, kNarrow);
  if (flags & CC_FULLOPEN) Widen(d);
  if (flags & CC_PREVENTFULLOPEN) EnableWindow(GetDlgItem(hdlg, kDefineId), FALSE);
  const COLORREF colour = flags & CC_RGBINIT ? d.request->rgbResult & 0x00FFFFFF : RGB(0, 0, 0);
  d.selected = SwatchOf(d, colour);
  if (d.selected >= kCustomFirstId) d.customTarget = d.selected - kCustomFirstId;
  SetCurrentColour(d, colour);
  HWND focus = GetDlgItem(hdlg, d.selected ? d.selected : IDOK);
  if (std::shared_ptr<DialogState> state = DialogStateOf(hdlg)) state->savedFocus = focus;
  CallAppHook(d, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(d.request));
  return FALSE;
}

INT_PTR OnCommand(ColourDialog& d, WORD id, WORD code) {
  if (IsSwatch(id) && code == kButtonClicked) {
    Select(d, id);
  } else if (id >= kHueId && id < kRedId + 3) {
    if (code == EN_CHANGE) OnEditChanged(d, id);
  } else if (id == IDOK || id == IDCANCEL) {
    EndDialog(d.hdlg, id);
  } else if (id == kDefineId) {
    Widen(d);
  } else if (id == kAddId) {
    AddCustom(d);
  } else {
    return FALSE;
  }
  return TRUE;
}

INT_PTR ColourDialogProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_INITDIALOG) return OnInitDialog(hdlg, *reinterpret_cast<ColourDialog*>(lParam));
  ColourDialog* d = ColourDialogOf(hdlg);
  if (!d) return FALSE;
  if (CallAppHook(*d, msg, wParam, lParam)) return TRUE;
  switch (msg) {
    case WM_COMMAND: return OnCommand(*d, LOWORD(wParam), HIWORD(wParam));
    case kMoveSelection: MoveSelection(*d, wParam); return TRUE;
    default: return FALSE;
  }
}

// Forgets the dialog however its run ends.
struct OpenScope {
  ColourDialog* dialog;
  ~OpenScope() { std::erase(t_open, dialog); }
};

}  // namespace

ColourDialog* ColourDialogOf(HWND hdlg) {
  for (ColourDialog* d : t_open)
    if (d->hdlg == hdlg && hdlg) return d;
  return nullptr;
}

BOOL RunColourDialog(CHOOSECOLORA& request, DWORD* error) {
  *error = CDERR_DIALOGFAILURE;
  if (!RegisterSwatchClass() || !RegisterEditorClasses()) return FALSE;
  ColourDialog d;
  d.request = &request;
  std::copy_n(request.lpCustColors, kCustomCount, d.custom.begin());
  OpenScope scope{&d};
  HWND owner = DialogOwner(request.hwndOwner);
  DialogTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, 0, 0, 0, 0, "", 8,
                          "MS Sans Serif");
  BuildTemplate(b);
  HWND hdlg =
      CreateDialogFromTemplate(nullptr, b.Template(), owner, &ColourDialogProc, reinterpret_cast<LPARAM>(&d), true);
  if (!hdlg) return FALSE;
  ModalOutcome outcome = RunModalDialog(hdlg, owner, kMsgfDialogBox);
  if (outcome.how == ModalEnd::Destroyed) return FALSE;
  *error = 0;
  const bool ok = (outcome.how == ModalEnd::Ended && outcome.result == IDOK) || outcome.how == ModalEnd::NoInput;
  if (!ok) return FALSE;
  request.rgbResult = d.colour;
  std::copy(d.custom.begin(), d.custom.end(), request.lpCustColors);
  return TRUE;
}

}  // namespace kelmira::window

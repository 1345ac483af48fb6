// The message box window: a modal dialog from an in-memory template holding an icon, a static
// text and the buttons; laid out in pixels when it initialises.
#include "window/message_box.h"

#include "window/dialog_create.h"
#include "window/dialog_modal.h"
#include "window/dialog_state.h"
#include "window/window_table.h"

#include <kelmira/platform/dialog_template.h>
#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <algorithm>

namespace kelmira::window {
namespace {

constexpr WORD kIconId = 20;
constexpr WORD kTextId = 0xFFFF;

struct BoxParams {
  const char* text;
  const char* caption;
  UINT type;
  MessageBoxButtons buttons;
  int defaultId;
  int escapeId;
};

bool HasIcon(UINT type) {
  UINT icon = type & MB_ICONMASK;
  return icon != 0 && icon <= MB_ICONASTERISK;
}

// Sizes are set when the box initialises; the template only carries the parts and the font.
void BuildTemplate(const BoxParams& p, DialogTemplateBuilder& b) {
  const DWORD child = WS_CHILD | WS_VISIBLE;
  if (HasIcon(p.type)) b.AddItem(child | ((p.type & MB_ICONMASK) >> 4), 0, 0, 0, 0, kIconId, kMessageBoxIconClass, "");
  b.AddItem(child | WS_GROUP | SS_LEFT | SS_NOPREFIX, 0, 0, 0, 0, kTextId, kStaticClassAtom, "");
  for (int i = 0; i < p.buttons.count; ++i) {
    int id = p.buttons.ids[i];
    DWORD style = child | WS_TABSTOP | (id == p.defaultId ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | (i == 0 ? WS_GROUP : 0);
    b.AddItem(style, 0, 0, 0, 0, static_cast<WORD>(id), kButtonClassAtom, ButtonLabel(id));
  }
}

void MoveItem(HWND hdlg, int id, const RECT& r) {
  if (HWND item = GetDlgItem(hdlg, id)) MoveWindow(item, r.left, r.top, r.right - r.left, r.bottom - r.top, FALSE);
}

// The layout needs the box's font selected into a device context.
MessageBoxLayout Measure(HWND hdlg, const BoxParams& p) {
  SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  MessageBoxLayout layout{};
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) return layout;
  auto font = reinterpret_cast<HFONT>(SendMessageA(hdlg, WM_GETFONT, 0, 0));
  HGDIOBJ old = SelectObject(dc, font ? static_cast<HGDIOBJ>(font) : GetStockObject(DEFAULT_GUI_FONT));
  layout = LayoutMessageBox(dc, p.text, HasIcon(p.type), p.buttons.count, p.caption, screen);
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  return layout;
}

void Arrange(HWND hdlg, const BoxParams& p) {
  // Text and caption are set here rather than in the template, which limits string lengths.
  SetWindowTextA(hdlg, p.caption);
  SetDlgItemTextA(hdlg, kTextId, p.text);
  MessageBoxLayout layout = Measure(hdlg, p);
  if (HasIcon(p.type)) MoveItem(hdlg, kIconId, layout.icon);
  MoveItem(hdlg, kTextId, layout.text);
  for (int i = 0; i < p.buttons.count; ++i) MoveItem(hdlg, p.buttons.ids[i], layout.buttons[i]);
  // Centred on the screen, as the desktop places message boxes.
  int x = std::max(0, (GetSystemMetrics(SM_CXSCREEN) - static_cast<int>(layout.client.cx)) / 2);
  int y = std::max(0, (GetSystemMetrics(SM_CYSCREEN) - static_cast<int>(layout.client.cy)) / 2);
  MoveWindow(hdlg, x, y, layout.client.cx, layout.client.cy, FALSE);
}

INT_PTR OnInitDialog(HWND hdlg, const BoxParams& p) {
  SetWindowLongPtrA(hdlg, DWLP_USER, reinterpret_cast<LONG_PTR>(&p));
  Arrange(hdlg, p);
  SendMessageA(hdlg, DM_SETDEFID, static_cast<WPARAM>(p.defaultId), 0);
  // The dialog gives the focus to this button when it is shown.
  if (std::shared_ptr<DialogState> state = DialogStateOf(hdlg)) state->savedFocus = GetDlgItem(hdlg, p.defaultId);
  return FALSE;
}

INT_PTR OnCommand(HWND hdlg, WORD id) {
  auto p = reinterpret_cast<const BoxParams*>(GetWindowLongPtrA(hdlg, DWLP_USER));
  if (!p) return FALSE;
  if (p->buttons.Has(id)) {
    EndDialog(hdlg, id);
  } else if (id == IDCANCEL && p->escapeId != 0) {
    EndDialog(hdlg, p->escapeId);
  }
  return TRUE;
}

INT_PTR MessageBoxProc(HWND hdlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG: return OnInitDialog(hdlg, *reinterpret_cast<const BoxParams*>(lParam));
    case WM_COMMAND: return OnCommand(hdlg, LOWORD(wParam));
    default: return FALSE;
  }
}

}  // namespace

int RunMessageBoxWindow(HWND owner, const char* text, const char* caption, UINT type,
                        const MessageBoxButtons& buttons) {
  if (!EnsureMessageBoxClasses()) return 0;
  BoxParams params{text, caption, type, buttons, DefaultButtonOf(type, buttons), EscapeResultOf(buttons)};
  HWND boxOwner = DialogOwner(owner);
  HWND hdlg = GuardedOr(HWND{}, [&] {
    DialogTemplateBuilder b(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, WS_EX_DLGMODALFRAME, 0, 0, 0, 0, "", 8,
                            "MS Sans Serif");
    BuildTemplate(params, b);
    return CreateDialogFromTemplate(nullptr, b.Template(), boxOwner, &MessageBoxProc, reinterpret_cast<LPARAM>(&params),
                                    true);
  });
  if (!hdlg) return 0;
  ModalOutcome outcome = RunModalDialog(hdlg, boxOwner, kMsgfMessageBox);
  switch (outcome.how) {
    case ModalEnd::Ended: return static_cast<int>(outcome.result);
    case ModalEnd::NoInput:
      // Nobody can answer (headless, nothing left to do): the default button is the answer.
      return params.defaultId;
    case ModalEnd::Quit: return 0;
    case ModalEnd::Destroyed: SetLastError(ERROR_INVALID_WINDOW_HANDLE); return 0;
  }
  return 0;
}

}  // namespace kelmira::window

// The BUTTON control: what counts as a click for each style, the dialog check helpers, and what
// a check box and a pressed push button paint.
#include "support/canvas.h"
#include "support/injected_input.h"
#include "support/last_error.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include <kelmira/platform/dialog_template.h>

#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

using ButtonControl = WindowTest;

enum Action { kInside, kOutside, kSpace, kMessage };

HWND MakeButton(HWND parent, DWORD style, int y = 10) {
  HWND b = CreateWindowExA(0, "BUTTON", "Go", WS_CHILD | WS_VISIBLE | style, 10, y, 100, 30, parent,
                           reinterpret_cast<HMENU>(7), nullptr, nullptr);
  Pump();
  return b;
}

TEST_F(ButtonControl, ClicksNotifyTheParentAndToggleAutoCheckBoxes) {
  HWND parent = Top(50, 50, 300, 200, kPopup);
  // clang-format off
  struct Row { DWORD style; bool enabled; Action action; bool click; LRESULT check; };
  const Row rows[] = {
      {BS_PUSHBUTTON, true, kInside, true, 0}, {BS_PUSHBUTTON, true, kOutside, false, 0},
      {BS_DEFPUSHBUTTON, true, kSpace, true, 0}, {BS_PUSHBUTTON, true, kMessage, true, 0},
      {BS_AUTOCHECKBOX, true, kInside, true, BST_CHECKED}, {BS_AUTOCHECKBOX, true, kOutside, false, 0},
      {BS_AUTOCHECKBOX, true, kSpace, true, BST_CHECKED}, {BS_CHECKBOX, true, kMessage, true, 0},
      {BS_AUTOCHECKBOX, false, kInside, false, 0}, {BS_PUSHBUTTON, false, kMessage, false, 0},
      {BS_GROUPBOX, true, kInside, false, 0}, {BS_GROUPBOX, true, kMessage, false, 0}};
  // clang-format on
  for (const Row& row : rows) {
    HWND b = MakeButton(parent, row.style);
    EnableWindow(b, row.enabled);
    const Edges at = Screen(b);
    const bool mouse = row.action == kInside || row.action == kOutside;
    Clear();
    if (row.action == kMessage) SendMessageA(b, BM_CLICK, 0, 0);
    if (row.action == kSpace) SetFocus(b), Key(WM_KEYDOWN, VK_SPACE);
    if (mouse) Press(WM_LBUTTONDOWN, at[0] + 5, at[1] + 5);
    const bool pushedWhileDown = SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED;
    if (row.action == kSpace) Key(WM_KEYUP, VK_SPACE);
    if (mouse) Press(WM_LBUTTONUP, at[0] + 5, row.action == kInside ? at[1] + 5 : at[3] + 20);
    std::vector<Sent> clicks;
    if (row.click) clicks = {{parent, WM_COMMAND, MAKEWPARAM(7, BN_CLICKED), reinterpret_cast<LPARAM>(b)}};
    const bool pressable = row.enabled && row.style != BS_GROUPBOX && row.action != kMessage;
    EXPECT_EQ(std::tuple(Log({WM_COMMAND}, parent), SendMessageA(b, BM_GETCHECK, 0, 0), pushedWhileDown,
                         SendMessageA(b, BM_GETSTATE, 0, 0) & BST_PUSHED),
              std::tuple(clicks, row.check, pressable, 0))
        << row.style << " " << row.action << " " << row.enabled;
    DestroyWindow(b);
  }
}

INT_PTR QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(ButtonControl, CheckDlgButtonThroughADialogTemplate) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  DialogTemplateBuilder t(WS_CHILD | WS_VISIBLE, 0, 0, 0, 180, 90, "", 8, "MS Sans Serif");
  t.AddItem(WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 4, 4, 80, 12, 20, kButtonClassAtom, "&Check");
  t.AddItem(WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON, 4, 20, 40, 14, IDOK, kButtonClassAtom, "OK");
  t.AddItem(WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 50, 20, 60, 40, 30, kButtonClassAtom, "Group");
  HWND dlg = CreateDialogIndirectParamA(nullptr, t.Template(), owner, &QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  const auto code = [dlg](int id) { return SendDlgItemMessageA(dlg, id, WM_GETDLGCODE, 0, 0); };
  EXPECT_EQ((std::tuple{CheckDlgButton(dlg, 20, BST_CHECKED), IsDlgButtonChecked(dlg, 20),
                        CheckDlgButton(dlg, IDOK, BST_CHECKED), IsDlgButtonChecked(dlg, IDOK), code(IDOK), code(30),
                        LastErrorOf([&] { return CheckDlgButton(dlg, 99, BST_CHECKED); })}),
            std::tuple(TRUE, BST_CHECKED, TRUE, BST_UNCHECKED, DLGC_BUTTON | DLGC_DEFPUSHBUTTON, DLGC_STATIC,
                       DWORD{ERROR_CONTROL_ID_NOT_FOUND}));
  CheckDlgButton(dlg, 20, BST_UNCHECKED);
  EXPECT_EQ(IsDlgButtonChecked(dlg, 20), BST_UNCHECKED);
}

TEST_F(ButtonControl, PaintsTheParentsBrushTheCheckMarkAndThePressedFrame) {
  constexpr COLORREF kBrushColour = RGB(20, 40, 230);
  static HBRUSH brush = CreateSolidBrush(kBrushColour);
  Handle([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg != WM_CTLCOLORSTATIC) return std::nullopt;  // what a check box asks
    return reinterpret_cast<LRESULT>(brush);
  });
  HWND parent = Top(50, 50, 300, 200, kPopup);
  HWND box = MakeButton(parent, BS_AUTOCHECKBOX), push = MakeButton(parent, BS_PUSHBUTTON, 60);
  // The 13 x 13 box is centred in the 30-pixel height (top 8); the mark's third column dips lowest.
  const COLORREF unchecked = WindowPixel(box, 5, 16), raised = WindowPixel(push, 0, 0);
  SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(push, BM_SETSTATE, TRUE, 0);
  Pump();
  EXPECT_EQ(std::tuple(WindowPixel(box, 99, 29), unchecked, WindowPixel(box, 5, 16), raised, WindowPixel(push, 0, 0)),
            std::tuple(kBrushColour, GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_WINDOWTEXT),
                       GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW)));
}

}  // namespace
}  // namespace kelmira::test

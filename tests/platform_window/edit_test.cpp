// The EDIT control: what typing does to the text and the selection, the dialog number helpers
// through an edit, and what it paints.
#include "support/canvas.h"
#include "support/injected_input.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include <kelmira/platform/dialog_template.h>

#include <tuple>

namespace kelmira::test {
namespace {

using EditControl = WindowTest;

TEST_F(EditControl, KeysEditTheTextAndTheSelection) {
  HWND parent = Top(50, 50, 300, 200, kPopup);
  // clang-format off
  struct Row { DWORD style; const char* text; int from, to, limit; const char *keys, *result; WORD start, end; int changes; };
  const Row rows[] = {
      {0, "abc", 3, 3, 0, "de", "abcde", 5, 5, 2}, {0, "abc", 0, -1, 0, "x", "x", 1, 1, 1},
      {0, "abc", 0, 0, 0, "B", "abc", 0, 0, 0}, {0, "abc", 3, 3, 0, "BB", "a", 1, 1, 2},
      {0, "abc", 0, 0, 0, "D", "bc", 0, 0, 1}, {ES_NUMBER, "12", 2, 2, 0, "x3y", "123", 3, 3, 1},
      {0, "abc", 3, 3, 4, "de", "abcd", 4, 4, 1}, {0, "abcd", 1, 1, 0, "S>>s", "abcd", 1, 3, 0},
      {0, "abcd", 0, 0, 0, "$S<<s", "abcd", 2, 4, 0}, {0, "abcd", 1, 3, 0, "<", "abcd", 1, 1, 0},
      {0, "abcd", 2, 2, 0, "Cz", "z", 1, 1, 1}, {ES_READONLY, "abc", 3, 3, 0, "xBD<", "abc", 2, 2, 0},
      {0, "abc", 1, 1, 0, "^$", "abc", 3, 3, 0}, {0, "abc", 2, 0, 0, "S>s", "abc", 1, 2, 0}};
  // clang-format on
  for (const Row& row : rows) {
    HWND e = CreateWindowExA(0, "EDIT", row.text, WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL | row.style, 10, 10, 100, 24,
                             parent, reinterpret_cast<HMENU>(7), nullptr, nullptr);
    SetFocus(e), Clear();
    SendMessageA(e, EM_SETSEL, static_cast<WPARAM>(row.from), row.to);
    if (row.limit) SendMessageA(e, EM_LIMITTEXT, static_cast<WPARAM>(row.limit), 0);
    Type(row.keys);
    char text[32] = {};
    GetWindowTextA(e, text, sizeof text);
    int changes = 0;
    for (const Sent& s : Log({WM_COMMAND}, parent)) changes += HIWORD(s.wParam) == EN_CHANGE;
    EXPECT_EQ(
        std::tuple(std::string(text), SendMessageA(e, EM_GETSEL, 0, 0), changes, SendMessageA(e, EM_GETMODIFY, 0, 0)),
        std::tuple(std::string(row.result), LRESULT{MAKELONG(row.start, row.end)}, row.changes, changes > 0))
        << row.text << " " << row.keys;
  }
}

TEST_F(EditControl, DialogNumbersAndTabbingIn) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  DialogTemplateBuilder t(WS_CHILD | WS_VISIBLE, 0, 0, 0, 180, 90, "", 8, "MS Sans Serif");
  t.AddItem(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_NUMBER, 4, 4, 80, 12, 20, kEditClassAtom, "");
  t.AddItem(WS_CHILD | WS_VISIBLE | WS_BORDER, 4, 20, 80, 12, 21, kEditClassAtom, "-17");
  HWND dlg = CreateDialogIndirectParamA(nullptr, t.Template(), owner, nullptr, 0);
  BOOL ok = FALSE, negative = FALSE;
  SetDlgItemInt(dlg, 20, 1234, FALSE);
  const UINT read = GetDlgItemInt(dlg, 20, &ok, FALSE);
  const auto value = static_cast<int>(GetDlgItemInt(dlg, 21, &negative, TRUE));
  SetFocus(GetDlgItem(dlg, 20));
  Key(WM_KEYDOWN, VK_TAB);  // as IsDialogMessage moves the focus while Tab is down
  SetFocus(GetDlgItem(dlg, 21));
  Key(WM_KEYUP, VK_TAB);
  EXPECT_EQ(
      std::tuple(read, ok, value, negative, SendDlgItemMessageA(dlg, 21, EM_GETSEL, 0, 0),
                 SendDlgItemMessageA(dlg, 20, WM_GETDLGCODE, 0, 0)),
      std::tuple(1234u, TRUE, -17, TRUE, LRESULT{MAKELONG(0, 3)}, DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS));
}

TEST_F(EditControl, PaintsTheBrushTheSelectionAndTheCaretWhileFocused) {
  constexpr COLORREF kBrushColour = RGB(20, 40, 230);
  static HBRUSH brush = CreateSolidBrush(kBrushColour);
  Handle([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    return msg == WM_CTLCOLOREDIT ? std::optional(reinterpret_cast<LRESULT>(brush)) : std::nullopt;
  });
  HWND parent = Top(50, 50, 300, 200, kPopup), edits[2] = {};
  for (int i = 0; i < 2; ++i)
    edits[i] = CreateWindowExA(0, "EDIT", i ? "    W" : "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10 + 40 * i, 100, 24,
                               parent, nullptr, nullptr, nullptr);
  SendMessageA(edits[1], EM_SETSEL, 0, -1);
  // The text area starts at x 3, inside the frame; the caret runs through the middle row.
  const auto look = [&] { return Pump(), std::tuple(WindowPixel(edits[0], 3, 12), WindowPixel(edits[1], 4, 12)); };
  const auto unfocused = look();
  SetFocus(edits[0]);
  const COLORREF caret = std::get<0>(look());
  SetFocus(edits[1]);
  EXPECT_EQ(
      std::tuple(unfocused, caret, look(), WindowPixel(edits[1], 0, 0), WindowPixel(edits[1], 90, 12)),
      std::tuple(std::tuple(kBrushColour, kBrushColour), RGB(0, 0, 0),
                 std::tuple(kBrushColour, GetSysColor(COLOR_HIGHLIGHT)), GetSysColor(COLOR_BTNSHADOW), kBrushColour));
}

}  // namespace
}  // namespace kelmira::test

// The COMBOBOX drop-down list: its item messages, the user's choices by keys and through the
// open list, and what it paints.
#include "support/canvas.h"
#include "support/injected_input.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include <kelmira/platform/dialog_template.h>

#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

using ComboControl = WindowTest;

LPARAM T(const char* text) { return reinterpret_cast<LPARAM>(text); }

HWND MakeCombo(HWND parent, DWORD style, std::initializer_list<const char*> items) {
  HWND c = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | style, 10, 10, 120, 200,
                           parent, reinterpret_cast<HMENU>(7), nullptr, nullptr);
  for (const char* item : items) SendMessageA(c, CB_ADDSTRING, 0, T(item));
  return c;
}

int Notes(HWND parent, WORD code) {
  int n = 0;
  for (const Sent& s : WindowTest::Log({WM_COMMAND}, parent)) n += HIWORD(s.wParam) == code;
  return n;
}

TEST_F(ComboControl, ItemMessages) {
  HWND parent = Top(50, 50, 300, 300, kPopup);
  // clang-format off
  struct Step { UINT msg; WPARAM w; LPARAM l; };
  struct Row { DWORD style; std::vector<Step> steps; LRESULT last; const char *items, *shown; LRESULT cursel; };
  const Row rows[] = {
      {0, {{CB_SETCURSEL, 1, 0}}, 1, "pear,apple,fig", "apple", 1},
      {CBS_SORT, {{CB_SETCURSEL, 1, 0}, {CB_ADDSTRING, 0, T("Banana")}}, 1, "apple,Banana,fig,pear", "fig", 2},
      {CBS_SORT, {{CB_ADDSTRING, 0, T("FIG")}}, 2, "apple,fig,FIG,pear", "", -1},
      {0, {{CB_INSERTSTRING, 0, T("kiwi")}}, 0, "kiwi,pear,apple,fig", "", -1},
      {0, {{CB_INSERTSTRING, static_cast<WPARAM>(-1), T("kiwi")}}, 3, "pear,apple,fig,kiwi", "", -1},
      {0, {{CB_SETCURSEL, 0, 0}, {CB_INSERTSTRING, 4, T("kiwi")}}, CB_ERR, "pear,apple,fig", "pear", 0},
      {0, {{CB_SETCURSEL, 2, 0}, {CB_DELETESTRING, 0, 0}}, 2, "apple,fig", "fig", 1},
      {0, {{CB_SETCURSEL, 1, 0}, {CB_DELETESTRING, 1, 0}}, 2, "pear,fig", "", -1},
      {0, {{CB_SETCURSEL, 1, 0}, {CB_DELETESTRING, 3, 0}}, CB_ERR, "pear,apple,fig", "apple", 1},
      {0, {{CB_SETCURSEL, 1, 0}, {CB_SETCURSEL, 3, 0}}, CB_ERR, "pear,apple,fig", "", -1},
      {0, {{CB_SETITEMDATA, 2, 77}, {CB_GETITEMDATA, 2, 0}}, 77, "pear,apple,fig", "", -1},
      {0, {{CB_SETITEMDATA, 3, 77}}, CB_ERR, "pear,apple,fig", "", -1},
      {0, {{CB_GETLBTEXTLEN, 3, 0}}, CB_ERR, "pear,apple,fig", "", -1},
      {0, {{CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), T("FIG")}}, 2, "pear,apple,fig", "", -1},
      {0, {{CB_FINDSTRINGEXACT, 2, T("pear")}}, 0, "pear,apple,fig", "", -1},
      {0, {{CB_FINDSTRINGEXACT, 0, T("pea")}}, CB_ERR, "pear,apple,fig", "", -1},
      {0, {{WM_SETTEXT, 0, T("APPLE")}}, TRUE, "pear,apple,fig", "apple", 1},
      {0, {{CB_SETCURSEL, 0, 0}, {WM_SETTEXT, 0, T("plum")}}, CB_ERR, "pear,apple,fig", "pear", 0},
      {0, {{CB_SETCURSEL, 0, 0}, {CB_RESETCONTENT, 0, 0}}, CB_OKAY, "", "", -1}};
  // clang-format on
  for (const Row& row : rows) {
    HWND c = MakeCombo(parent, row.style, {"pear", "apple", "fig"});
    Clear();
    LRESULT last = 0;
    for (const Step& s : row.steps) last = SendMessageA(c, s.msg, s.w, s.l);
    std::string items;
    char text[32] = {};
    for (WPARAM i = 0; i < static_cast<WPARAM>(SendMessageA(c, CB_GETCOUNT, 0, 0)); ++i)
      SendMessageA(c, CB_GETLBTEXT, i, T(text)), items += (i ? "," : "") + std::string(text);
    GetWindowTextA(c, text, sizeof text);
    EXPECT_EQ(
        std::tuple(last, items, std::string(text), SendMessageA(c, CB_GETCURSEL, 0, 0), Notes(parent, CBN_SELCHANGE)),
        std::tuple(row.last, std::string(row.items), std::string(row.shown), row.cursel, 0))
        << row.items << " " << row.steps[0].msg;
    DestroyWindow(c);
  }
}

// Keys: < > Up/Down, [ ] Home/End, + PageDown, * F4, @ Alt+Down, = Return, # Escape, letters
// type themselves; the mouse: o clicks the field, a digit clicks that row of the open list, ~
// and a digit moves over that row, ! clicks outside the list.
TEST_F(ComboControl, UserChoosesByKeysAndFromTheList) {
  HWND parent = Top(50, 50, 300, 300, kPopup);
  const std::string named = "<>[]+*=#";
  const WPARAM codes[] = {VK_UP, VK_DOWN, VK_HOME, VK_END, VK_NEXT, VK_F4, VK_RETURN, VK_ESCAPE};
  // clang-format off
  struct Row { const char* input; LRESULT cursel; int changes; };
  const Row rows[] = {{">", 1, 1}, {"<", 0, 0}, {"]", 3, 1}, {">>[", 0, 3}, {"+", 3, 1}, {"p", 3, 1}, {"pp", 0, 2},
                      {"o2", 2, 1}, {"o0", 0, 0}, {"o>!", 0, 0}, {"o>#", 0, 0}, {"*>>=", 2, 1}, {"@<#", 0, 0},
                      {"o~3=", 3, 1}, {"*f*", 2, 1}};
  // clang-format on
  for (const Row& row : rows) {
    HWND c = MakeCombo(parent, 0, {"pear", "apple", "fig", "plum"});
    SendMessageA(c, CB_SETCURSEL, 0, 0), SetFocus(c), Clear();
    RECT field{}, list{};
    GetWindowRect(c, &field);
    const auto rowPoint = [&](char digit) {
      GetWindowRect(GetCapture(), &list);
      return POINT{list.left + 20, list.top + 1 + (digit - '0') * (list.bottom - list.top - 2) / 4 + 3};
    };
    for (const char* k = row.input; *k; ++k) {
      const auto at = named.find(*k);
      if (at != std::string::npos) {
        Key(WM_KEYDOWN, codes[at]), Key(WM_KEYUP, codes[at]);
      } else if (*k == '@') {
        Key(WM_KEYDOWN, VK_MENU), Key(WM_KEYDOWN, VK_DOWN), Key(WM_KEYUP, VK_DOWN), Key(WM_KEYUP, VK_MENU);
      } else if (*k == 'o' || *k == '!') {
        const int y = *k == 'o' ? field.top + 5 : field.top - 5;
        Press(WM_LBUTTONDOWN, field.right - 5, y), Press(WM_LBUTTONUP, field.right - 5, y);
      } else if (*k == '~') {
        const POINT p = rowPoint(*++k);
        Move(p.x, p.y);
      } else if (*k >= '0' && *k <= '9') {
        const POINT p = rowPoint(*k);
        Press(WM_LBUTTONDOWN, p.x, p.y), Press(WM_LBUTTONUP, p.x, p.y);
      } else {
        Key(WM_KEYDOWN, static_cast<WPARAM>(std::toupper(*k))), Key(WM_KEYUP, static_cast<WPARAM>(std::toupper(*k)));
      }
    }
    EXPECT_EQ(std::tuple(SendMessageA(c, CB_GETCURSEL, 0, 0), Notes(parent, CBN_SELCHANGE),
                         SendMessageA(c, CB_GETDROPPEDSTATE, 0, 0), GetCapture(), Notes(parent, CBN_DROPDOWN)),
              std::tuple(row.cursel, row.changes, LRESULT{FALSE}, HWND{}, Notes(parent, CBN_CLOSEUP)))
        << row.input;
    DestroyWindow(c);
  }
}

// Made from a dialog template (the list's colour comes from the dialog procedure).
TEST_F(ComboControl, PaintsTheFieldTheArrowAndTheOpenListInADialog) {
  constexpr COLORREF kListColour = RGB(250, 240, 200);
  static HBRUSH brush = CreateSolidBrush(kListColour);
  DialogTemplateBuilder t(WS_CHILD | WS_VISIBLE, 0, 0, 0, 180, 90, "", 8, "MS Sans Serif");
  t.AddItem(WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST, 4, 4, 80, 60, 30, kComboBoxClassAtom, "");
  HWND dlg = CreateDialogIndirectParamA(
      nullptr, t.Template(), Top(50, 50, 300, 300, kPopup),
      [](HWND, UINT msg, WPARAM, LPARAM) -> INT_PTR {
        return msg == WM_CTLCOLORLISTBOX ? reinterpret_cast<INT_PTR>(brush) : 0;
      },
      0);
  HWND c = GetDlgItem(dlg, 30);
  for (const char* item : {"Linear", "Logarithmic", "Date"}) SendMessageA(c, CB_ADDSTRING, 0, T(item));
  SendMessageA(c, CB_SETCURSEL, 1, 0), Pump();
  const COLORREF unfocused = WindowPixel(c, 98, 10);
  const LRESULT closedCode = SendMessageA(c, WM_GETDLGCODE, 0, 0);
  SetFocus(c), SendMessageA(c, CB_SHOWDROPDOWN, TRUE, 0), Pump();
  HWND list = GetCapture();
  RECT field{}, open{};
  GetWindowRect(c, &field), GetWindowRect(list, &open);
  int arrow = 0;  // a 7-4 triangle: 16 pixels inside the button's edges
  for (int y = 4; y < field.bottom - field.top - 4; ++y)
    for (int x = 104; x < 116; ++x) arrow += WindowPixel(c, x, y) == GetSysColor(COLOR_BTNTEXT);
  const int row = (open.bottom - open.top - 2) / 3;
  EXPECT_EQ(
      std::tuple(unfocused, WindowPixel(c, 0, 0), WindowPixel(c, 98, 10), arrow, open.top, WindowPixel(list, 0, 0),
                 WindowPixel(list, 110, 1 + row / 2), WindowPixel(list, 110, 1 + row + row / 2),
                 field.bottom - field.top < 30, closedCode, SendMessageA(c, WM_GETDLGCODE, 0, 0)),
      std::tuple(GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_HIGHLIGHT), 16,
                 field.bottom, GetSysColor(COLOR_WINDOWFRAME), kListColour, GetSysColor(COLOR_HIGHLIGHT), true,
                 DLGC_WANTARROWS, DLGC_WANTARROWS | DLGC_WANTALLKEYS));
}

}  // namespace
}  // namespace kelmira::test

// Dialogs: templates in both layouts, base units and item placement, WM_INITDIALOG, results
// through DWLP_MSGRESULT, modeless and modal dialogs, the modal loop's owner handling, WM_QUIT,
// navigation keys (Tab, arrows within groups, mnemonics) and the number helpers. MessageBoxA:
// answered through the hook, or through its window by injected clicks and keys while its nested
// loop runs, with the owner disabled meanwhile. The STATIC control: colours from WM_CTLCOLORSTATIC, horizontal
// alignment, vertical centring and repainting on new text.
#include "support/canvas.h"
#include "support/last_error.h"
#include "support/pump.h"
#include "support/recording_window.h"
#include "window/dialog_template.h"

#include <kelmira/platform/dialog_template.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace kelmira::test {
namespace {
constexpr DWORD kItem = WS_CHILD | WS_VISIBLE;
constexpr UINT kAppEnd = WM_APP + 1;     // wParam: the result to end the dialog with
constexpr UINT kAppAnswer = WM_APP + 2;  // answered through DWLP_MSGRESULT

using window::DialogDesc;
using window::ParseDialogTemplate;

// A DLGTEMPLATEEX written out by hand (the builder only writes the standard layout), as words:
// version 1, help id 7, WS_POPUP | DS_SETFONT, one item, (0, 0, 50, 40), no menu or class, "Ex",
// 9 pt bold italic Arial, padding to a DWORD; the item: no help id or extended style,
// WS_CHILD | WS_VISIBLE | SS_RIGHT, (1, 2, 3, 4), id 70000, class 0x0082, "right", and 3 bytes of
// creation data (the array's last byte is not part of the template).
constexpr WORD kExtended[] = {1, 0xFFFF, 7,      0,   0,   0,   0x0040,  0x8000, 1,   0,   0,      50,  40,
                              0, 0,      'E',    'x', 0,   9,   FW_BOLD, 1,      'A', 'r', 'i',    'a', 'l',
                              0, 0,      0,      0,   0,   0,   0x0002,  0x5000, 1,   2,   3,      4,   0x1170,
                              1, 0xFFFF, 0x0082, 'r', 'i', 'g', 'h',     't',    0,   3,   0xBBAA, 0xCC};

TEST(DialogTemplateParse, ExtendedLayoutWithCreationDataAndTruncation) {
  const std::size_t size = sizeof kExtended - 1;
  DialogDesc d;
  ASSERT_EQ(ParseDialogTemplate(kExtended, size, &d), S_OK);
  EXPECT_EQ(std::tuple(d.extended, d.italic, d.helpId, d.title, d.pointSize, d.weight, d.face),
            std::tuple(true, true, 7u, std::string("Ex"), 9, FW_BOLD, std::string("Arial")));
  ASSERT_TRUE(d.items.size() == 1 && d.items[0].creationData);
  // 32-bit ids only exist in this layout; the creation data starts with its size word.
  EXPECT_EQ(std::tuple(d.items[0].id, d.items[0].style, d.items[0].creationData[0], d.items[0].creationData[2],
                       d.items[0].text),
            std::tuple(70000u, kItem | SS_RIGHT, 3, 0xAA, std::string("right")));

  // Truncated templates fail without reading past the end, and change nothing.
  d.title = "unchanged";
  for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{30}, size - 1})
    EXPECT_EQ(ParseDialogTemplate(kExtended, cut, &d), E_INVALIDARG) << cut;
  EXPECT_EQ((std::tuple{d.title, ParseDialogTemplate(nullptr, 100, &d)}), std::tuple("unchanged", E_POINTER));
}

using Dialog = WindowTest;

INT_PTR QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST_F(Dialog, PlacementInDialogUnits) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  DialogTemplateBuilder b(WS_CHILD | WS_VISIBLE, 0, 0, 0, 186, 94, "", 8, "MS Sans Serif");
  b.AddItem(kItem | SS_LEFT, 10, 20, 30, 14, 100, kStaticClassAtom, "x");
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &QuietProc, 0);
  ASSERT_NE(dlg, nullptr);
  // "MS Sans Serif" 8 pt measures 6 x 13 base units here, as on the desktop: the dialog is
  // 186 x 94 units = 279 x 152.75 pixels, rounded as MulDiv rounds. The item's (10, 20, 30, 14)
  // units are x 15, y 32.5, width 45, height 22.75 (the dialog is at the owner's origin, 100, 100).
  // MapDialogRect converts each edge with the same units (bottom 55.25).
  RECT mapped{10, 20, 40, 34};
  EXPECT_EQ((std::tuple{Client(dlg), Screen(GetDlgItem(dlg, 100)), MapDialogRect(dlg, &mapped), E(mapped)}),
            std::tuple(Edges{0, 0, 279, 153}, Edges{115, 133, 160, 156}, TRUE, Edges{15, 33, 60, 55}));

  // Popups without a font use GetDialogBaseUnits (8 x 16), relative to the owner or centred.
  MoveWindow(owner, 200, 150, 400, 300, TRUE);
  DialogTemplateBuilder rel(WS_POPUP, 0, 4, 8, 40, 16, ""), centred(WS_POPUP | DS_CENTER, 0, 4, 8, 40, 16, "");
  EXPECT_EQ(Screen(CreateDialogIndirectParamA(nullptr, rel.Template(), owner, &QuietProc, 0)),
            (Edges{200 + 8, 150 + 16, 200 + 8 + 80, 150 + 16 + 32}));
  const LONG x = (GetSystemMetrics(SM_CXSCREEN) - 80) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 32) / 2;
  EXPECT_EQ(Screen(CreateDialogIndirectParamA(nullptr, centred.Template(), owner, &QuietProc, 0)),
            (Edges{x, y, x + 80, y + 32}));
}

// What the test dialog procedure saw, and what it does in WM_INITDIALOG.
struct Probe {
  LPARAM initParam = 0;
  HWND initFocusItem = nullptr;
  INT_PTR endInInit = 0;  // nonzero: EndDialog with it
  WPARAM postEnd = 0;     // nonzero: posts kAppEnd with it
  BOOL ownerEnabledAtEnd = TRUE;
  std::vector<WORD> commands;
} g_probe;

INT_PTR ProbeProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      g_probe.initParam = lParam, g_probe.initFocusItem = reinterpret_cast<HWND>(wParam);
      if (g_probe.endInInit) EndDialog(dlg, g_probe.endInInit);
      if (g_probe.postEnd) PostMessageA(dlg, kAppEnd, g_probe.postEnd, 0);
      return TRUE;
    case kAppEnd:
      g_probe.ownerEnabledAtEnd = IsWindowEnabled(GetWindow(dlg, GW_OWNER));
      EndDialog(dlg, static_cast<INT_PTR>(wParam));
      return TRUE;
    case kAppAnswer: SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 4242); return TRUE;
    case WM_COMMAND:
      g_probe.commands.push_back(LOWORD(wParam));
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, LOWORD(wParam));
      return TRUE;
    case WM_CTLCOLORSTATIC: return reinterpret_cast<INT_PTR>(GetStockObject(GRAY_BRUSH));
    default: return FALSE;
  }
}

// A label (id 10), a hidden tab stop, and two tab stops: IDOK and IDCANCEL.
DialogTemplateBuilder ProbeTemplate(DWORD style) {
  DialogTemplateBuilder b(style, 0, 10, 10, 120, 60, "Probe\x80", 8, "MS Sans Serif");
  b.AddItem(kItem | SS_LEFT, 4, 4, 60, 10, 10, kStaticClassAtom, "Label");
  b.AddItem(WS_CHILD | WS_TABSTOP, 4, 16, 30, 12, 9, kStaticClassAtom, "hidden");
  b.AddItem(kItem | WS_TABSTOP | SS_NOTIFY, 4, 30, 30, 12, IDOK, kStaticClassAtom, "OK");
  b.AddItem(kItem | WS_TABSTOP | SS_NOTIFY, 40, 30, 30, 12, IDCANCEL, kStaticClassAtom, "Cancel");
  return b;
}

// A modeless dialog answers through DWLP_MSGRESULT except for colour requests.
TEST_F(Dialog, ModelessDialogItemNumbersAndCallsOnOtherWindows) {
  g_probe = Probe{};
  HWND owner = Top(100, 100, 400, 300, kPopup);
  HWND dlg = CreateDialogIndirectParamA(nullptr, ProbeTemplate(kPopup).Template(), owner, &ProbeProc, 0x1234);
  ASSERT_NE(dlg, nullptr);
  // The hidden tab stop is skipped.
  // The title's euro sign survives the template's UTF-16 and back.
  EXPECT_EQ(std::tuple(g_probe.initParam, g_probe.initFocusItem, GetFocus(), FindWindowA("#32770", "Probe\x80")),
            std::tuple(LPARAM{0x1234}, GetDlgItem(dlg, IDOK), GetDlgItem(dlg, IDOK), dlg));
  // The background is erased with the WM_CTLCOLORDLG brush (the default one here).
  Pump();
  EXPECT_EQ(WindowPixel(dlg, Client(dlg)[2] - 1, Client(dlg)[3] - 1), GetSysColor(COLOR_3DFACE));

  // WM_COMMAND is handled with no result set: DWLP_MSGRESULT was cleared before the call.
  EXPECT_EQ((std::tuple{SendMessageA(dlg, kAppAnswer, 0, 0), SendMessageA(dlg, WM_COMMAND, 10, 0), g_probe.commands,
                        SendMessageA(dlg, WM_CTLCOLORSTATIC, 0, 0)}),
            std::tuple(LRESULT{4242}, LRESULT{0}, std::vector<WORD>{10},
                       reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH))));

  // The number helpers: text (null: as SetDlgItemInt wrote it), signed, value, success.
  ASSERT_TRUE(SetDlgItemInt(dlg, 10, static_cast<UINT>(-42), TRUE));
  // Negative for an unsigned read; 2147483648 does not fit an int.
  // clang-format off
  const std::tuple<const char*, BOOL, UINT, BOOL> cases[] = {
      {nullptr, TRUE, UINT(-42), TRUE}, {nullptr, FALSE, 0, FALSE}, {" 4294967295 ", FALSE, 4294967295u, TRUE},
      {"2147483647", TRUE, 2147483647u, TRUE}, {"2147483648", TRUE, 0, FALSE}, {"12x", TRUE, 0, FALSE}};
  // clang-format on
  for (auto [text, isSigned, value, success] : cases) {
    if (text) SetDlgItemTextA(dlg, 10, text);
    BOOL ok = !success;
    EXPECT_EQ(std::pair(GetDlgItemInt(dlg, 10, &ok, isSigned), ok), std::pair(value, success))
        << (text ? text : "-42") << " " << isSigned;
  }
  EXPECT_EQ(LastErrorOf([&] { return GetDlgItemInt(dlg, 999, nullptr, TRUE); }), DWORD{ERROR_CONTROL_ID_NOT_FOUND});

  // Calls on windows that are not dialogs, or dead ones, fail cleanly.
  DestroyWindow(dlg);
  RECT r{1, 2, 3, 4};
  EXPECT_FALSE(EndDialog(owner, 1) || EndDialog(dlg, 1) || MapDialogRect(dlg, &r));
  EXPECT_EQ(std::pair(r.left, DefDlgProcA(dlg, WM_GETFONT, 0, 0)), std::pair(LONG{1}, LRESULT{0}));
  // A class of the caller's with junk where DWLP_DLGPROC would be is not taken for a dialog.
  WNDCLASSEXA wc{sizeof wc, 0,       &DefDlgProcA, 0,       DLGWINDOWEXTRA,      nullptr,
                 nullptr,   nullptr, nullptr,      nullptr, "KelmiraNotADialog", nullptr};
  RegisterClassExA(&wc);
  HWND plain = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  SetWindowLongPtrA(plain, DWLP_DLGPROC, 0x1234);
  EXPECT_EQ((std::pair{SendMessageA(plain, WM_APP, 0, 0), EndDialog(plain, 1)}), std::pair(LRESULT{0}, FALSE));
}

TEST_F(Dialog, ItemsOfUnknownClassesFailTheDialogUnlessNoFailCreate) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  for (DWORD style : {DWORD{WS_CHILD}, DWORD{WS_CHILD | DS_NOFAILCREATE}}) {
    DialogTemplateBuilder b(style, 0, 0, 0, 50, 50, "");
    b.AddItem(kItem, 0, 0, 10, 10, 5, "NoSuchClassAnywhere", "");
    b.AddItem(kItem, 0, 0, 10, 10, 6, kStaticClassAtom, "kept");
    SetLastError(0);
    HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &QuietProc, 0);
    // Without the style nothing is left behind; with it the item of the known class is made.
    EXPECT_EQ((std::tuple{dlg ? 0 : GetLastError(), GetWindow(owner, GW_CHILD), GetDlgItem(dlg, 5),
                          GetDlgItem(dlg, 6) != nullptr}),
              (style & DS_NOFAILCREATE) ? std::tuple(DWORD{0}, dlg, HWND{}, true)
                                        : std::tuple(DWORD{ERROR_CANNOT_FIND_WND_CLASS}, HWND{}, HWND{}, false));
  }
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, nullptr, owner, &QuietProc, 0), nullptr);
}

// A modal loop disables the owner until it ends: from a message, by keys, by EndDialog inside
// WM_INITDIALOG, by WM_QUIT (posted again afterwards) or, headless, by running dry.
TEST_F(Dialog, ModalLoops) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  auto modal = [owner] {
    return DialogBoxIndirectParamA(nullptr, ProbeTemplate(WS_POPUP).Template(), owner, &ProbeProc, 0);
  };
  g_probe = Probe{};
  g_probe.postEnd = 55;
  // The dialog is destroyed.
  EXPECT_EQ(
      (std::tuple{modal(), g_probe.ownerEnabledAtEnd, IsWindowEnabled(owner), FindWindowA("#32770", "Probe\x80")}),
      std::tuple(INT_PTR{55}, FALSE, TRUE, HWND{}));

  g_probe = Probe{};
  int script[2] = {0, 0};  // steps, the focus after Tab
  KelmiraSetIdleHook(      // Tab, then Return
      [](void* context) -> BOOL {
        int* s = static_cast<int*>(context);
        if (s[0]++ == 0) return KelmiraInjectKey(WM_KEYDOWN, VK_TAB);
        s[1] = GetDlgCtrlID(GetFocus());
        return KelmiraInjectKey(WM_KEYDOWN, VK_RETURN);
      },
      script);
  // Return presses the default id: the focus (Cancel, a static) is not a push button.
  EXPECT_EQ((std::tuple{modal(), script[1], g_probe.commands}),
            std::tuple(INT_PTR{IDOK}, IDCANCEL, std::vector<WORD>{IDOK}));
  KelmiraSetIdleHook(nullptr, nullptr);

  g_probe = Probe{};
  g_probe.endInInit = 77;
  EXPECT_EQ(modal(), 77);
  g_probe = Probe{};
  PostQuitMessage(9);
  MSG msg{};
  EXPECT_EQ((std::tuple{modal(), PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), msg.message, msg.wParam, modal(),
                        GetLastError(), IsWindowEnabled(owner)}),
            std::tuple(INT_PTR{0}, TRUE, UINT{WM_QUIT}, WPARAM{9}, INT_PTR{-1}, DWORD{ERROR_TIMEOUT}, TRUE));
}

WORD g_clicked = 0;

// Arrows move through the focus's group, wrapping and skipping the disabled radio button, unless
// the focus wants them (the edit); characters are mnemonics unless the focus wants them, Alt+
// character always.
TEST_F(Dialog, ArrowsMoveWithinTheGroupAndMnemonicsReachTheirItem) {
  // A label and an edit; three radio buttons and a disabled one; a check box; a push button.
  const DWORD radio = BS_AUTORADIOBUTTON, group = WS_GROUP | WS_TABSTOP;
  // clang-format off
  const std::tuple<WORD, DWORD, WORD, const char*> items[] = {
      {kStaticClassAtom, WS_GROUP, 10, "&Name"}, {kEditClassAtom, WS_TABSTOP, 11, ""},
      {kButtonClassAtom, radio | group, 20, "&Red"}, {kButtonClassAtom, radio, 21, "&Green"},
      {kButtonClassAtom, radio, 22, "&Blue"}, {kButtonClassAtom, radio | WS_DISABLED, 23, "Gr&ey"},
      {kButtonClassAtom, group | BS_AUTOCHECKBOX, 30, "&Check"}, {kButtonClassAtom, group, 40, "&Apply"}};
  // clang-format on
  DialogTemplateBuilder b(WS_POPUP | WS_VISIBLE, 0, 0, 0, 200, 120, "Keys", 8, "MS Sans Serif");
  for (auto [cls, style, id, text] : items) b.AddItem(WS_CHILD | WS_VISIBLE | style, 4, id, 60, 10, id, cls, text);
  const DLGPROC recordClicks = [](HWND, UINT msg, WPARAM wParam, LPARAM) -> INT_PTR {
    if (msg == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) g_clicked = LOWORD(wParam);
    return msg == WM_INITDIALOG;
  };
  // The focus before, the message and its key, the focus after, the items checked (Green was), the
  // button clicked.
  const std::tuple<int, UINT, WPARAM, int, std::string, WORD> cases[] = {
      {20, WM_KEYDOWN, VK_UP, 22, "22", 22},  {22, WM_KEYDOWN, VK_RIGHT, 20, "20", 20},
      {11, WM_KEYDOWN, VK_DOWN, 11, "21", 0}, {30, WM_KEYDOWN, VK_LEFT, 30, "21", 0},
      {11, WM_CHAR, 'g', 11, "21", 0},        {11, WM_SYSCHAR, 'b', 22, "22", 22},
      {30, WM_CHAR, 'n', 11, "21", 0},        {30, WM_CHAR, 'c', 30, "2130", 30},
      {30, WM_CHAR, 'a', 30, "21", 40},       {11, WM_SYSCHAR, 'e', 11, "21", 0}};
  for (const auto& [from, message, key, focus, checked, clicked] : cases) {
    HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), Top(0, 0, 400, 300, kPopup), recordClicks, 0);
    g_clicked = 0;
    CheckDlgButton(dlg, 21, BST_CHECKED);
    SetFocus(GetDlgItem(dlg, from));
    MSG msg{GetFocus(), message, key, 0, 0, {0, 0}};
    const BOOL handled = IsDialogMessageA(dlg, &msg);
    std::string seen;
    for (int id : {20, 21, 22, 23, 30}) seen += IsDlgButtonChecked(dlg, id) ? std::to_string(id) : "";
    EXPECT_EQ(std::tuple(handled, GetDlgCtrlID(GetFocus()), seen, g_clicked), std::tuple(TRUE, focus, checked, clicked))
        << from << " " << key;
  }
}

// Owner, text, caption, type, and whether the box's window existed when the hook was asked.
using HookCall = std::tuple<HWND, std::string, std::string, UINT, bool>;
struct HookCalls {
  int answer = 0;
  std::vector<HookCall> seen;
};

int RecordingHook(HWND owner, const char* text, const char* caption, UINT type, void* context) {
  auto* calls = static_cast<HookCalls*>(context);
  calls->seen.emplace_back(owner, text, caption, type, FindWindowA("#32770", caption) != nullptr);
  return calls->answer;
}

using MessageBoxTest = WindowTest;

TEST_F(MessageBoxTest, TheHookSeesTheDragReportAndAnswersItUnlessTheAnswerIsNoButton) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  HookCalls calls{IDOK, {}};
  KelmiraSetMessageBoxHook(&RecordingHook, &calls);
  const char *text = "Z: (10.000000,79.000000),(50.000000,94.000000)", *caption = "MouseInput command not found!";
  EXPECT_EQ(MessageBoxA(owner, text, caption, MB_ICONHAND), IDOK);
  EXPECT_TRUE(IsWindowEnabled(owner));
  // A null caption is "Error"; a null text is empty.
  calls.answer = IDNO;
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO | MB_ICONQUESTION), IDNO);

  // Bad types fail before the hook is asked.
  EXPECT_EQ((std::pair{LastErrorOf([] { return MessageBoxA(nullptr, "t", "c", 7); }),
                       MessageBoxA(nullptr, "t", "c", MB_OK | 0x50)}),
            std::pair(DWORD{ERROR_INVALID_PARAMETER}, 0));

  // An answer that is no button of the box shows the box; nobody presses anything and the
  // headless loop runs dry: the default button answers.
  calls.answer = IDYES;
  EXPECT_EQ(
      (std::pair{MessageBoxA(nullptr, "text", "shown", MB_OKCANCEL | MB_DEFBUTTON2), FindWindowA("#32770", "shown")}),
      std::pair(IDCANCEL, HWND{}));
  EXPECT_EQ(calls.seen, (std::vector<HookCall>{{owner, text, caption, MB_ICONHAND, false},
                                               {nullptr, "", "Error", MB_YESNO | MB_ICONQUESTION, false},
                                               {nullptr, "text", "shown", MB_OKCANCEL | MB_DEFBUTTON2, false}}));
}

// The owner clicks the box's button when the box's loop goes idle.
TEST_F(MessageBoxTest, InjectedClicksOnAButtonAnswerTheBox) {
  HWND owner = Top(0, 0, 200, 100, kPopup, kBare);
  HWND box = nullptr;
  std::tuple<BOOL, COLORREF, bool> seen;  // the owner enabled, the icon's centre, some text width
  int button = IDOK;
  On(WM_ENTERIDLE, [&](HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam != MSGF_MESSAGEBOX || box) return;
    box = reinterpret_cast<HWND>(lParam);
    // The box is painted by now (the loop goes idle only when nothing is left to paint).
    seen = {IsWindowEnabled(hwnd), WindowPixel(GetDlgItem(box, 20), 4, 16), Client(GetDlgItem(box, 0xFFFF))[2] > 0};
    RECT r{};
    GetWindowRect(GetDlgItem(box, button), &r);
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
      KelmiraInjectMouse(m, (r.left + r.right) / 2, (r.top + r.bottom) / 2, m == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
  });
  EXPECT_EQ(MessageBoxA(owner, "Z: (10.0,79.0),(50.0,94.0)", "MouseInput command not found!", MB_ICONHAND), IDOK);
  ASSERT_TRUE(box);
  EXPECT_EQ(seen, std::tuple(FALSE, RGB(204, 0, 0), true));  // the stop icon's red disc
  EXPECT_TRUE(IsWindowEnabled(owner) && !IsWindow(box));

  // The second of three buttons, clicked.
  box = nullptr;
  button = IDNO;
  EXPECT_EQ(MessageBoxA(owner, "Save?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_TRUE(box);
}

// Return presses the default button, which has the focus; Escape is Cancel, OK on a lone OK
// button, and nothing on a Yes/No box (the default answers only when the loop runs dry); Space
// presses the focused button.
TEST_F(MessageBoxTest, ReturnEscapeAndSpaceThroughTheNestedLoop) {
  std::pair<WPARAM, int> plan;  // the key, the idle calls so far
  KelmiraSetIdleHook(
      [](void* context) -> BOOL {
        auto& [key, calls] = *static_cast<std::pair<WPARAM, int>*>(context);
        if (calls++ > 0) return FALSE;  // once: a box that ignores the key then runs dry
        return KelmiraInjectKey(WM_KEYDOWN, key) && KelmiraInjectKey(WM_KEYUP, key);
      },
      &plan);
  // The key, the box, its answer and the idle calls it took.
  // clang-format off
  const std::tuple<WPARAM, UINT, int, int> cases[] = {
      {VK_RETURN, MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL, 1},
      {VK_RETURN, MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE, 1}, {VK_ESCAPE, MB_YESNOCANCEL, IDCANCEL, 1},
      {VK_ESCAPE, MB_OK | MB_ICONASTERISK, IDOK, 1}, {VK_ESCAPE, MB_YESNO | MB_DEFBUTTON2, IDNO, 2},
      {VK_SPACE, MB_YESNO, IDYES, 1}};
  // clang-format on
  for (auto [key, type, answer, idleCalls] : cases) {
    plan = {key, 0};
    EXPECT_EQ(std::pair(MessageBoxA(nullptr, "Go?", "Keys", type), plan.second), std::pair(answer, idleCalls))
        << key << " " << std::hex << type;
  }
}

constexpr COLORREF kBrushColour = RGB(20, 40, 230);
constexpr COLORREF kTextColour = RGB(230, 10, 10);

// The parent answers WM_CTLCOLORSTATIC with the colours above; `asked` is the last control that asked.
Answer AnswerColours(HWND& asked) {
  static HBRUSH brush = CreateSolidBrush(kBrushColour);
  return [&asked](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
    asked = reinterpret_cast<HWND>(lParam);
    SetTextColor(reinterpret_cast<HDC>(wParam), kTextColour);
    SetBkColor(reinterpret_cast<HDC>(wParam), kBrushColour);
    return reinterpret_cast<LRESULT>(brush);
  };
}

// A static in bold 20-pixel Arial at (10, 10), 200 x 60, painted.
HWND MakeStatic(HWND parent, DWORD style, const char* text) {
  static HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HWND s = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 60, parent,
                           reinterpret_cast<HMENU>(7), nullptr, nullptr);
  SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  Pump();
  return s;
}

// The box around the pixels of hwnd that are not `background`.
Box Ink(HWND hwnd, COLORREF background = kBrushColour) {
  Box box;
  for (auto [x, y] : WindowPainted(hwnd, background))
    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  return box;
}

// Some pixel of the 200 x 60 static has exactly this colour.
bool Shows(HWND hwnd, COLORREF colour) { return WindowPainted(hwnd, colour).size() < 200 * 60; }

using StaticControl = WindowTest;

TEST_F(StaticControl, PaintsWithTheParentsColoursAlignsAndRepaintsNewText) {
  HWND parent = Top(50, 50, 300, 200, kPopup), asked = nullptr;
  Handle(AnswerColours(asked));
  HWND s = MakeStatic(parent, SS_LEFT, "Hi");
  EXPECT_EQ(asked, s);
  // Every pixel is the brush, the text colour, or a blend of the two at a glyph's edge.
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      COLORREF c = WindowPixel(s, x, y);
      for (int shift : {0, 8, 16}) {
        int v = (c >> shift) & 0xFF, a = (kBrushColour >> shift) & 0xFF, b = (kTextColour >> shift) & 0xFF;
        ASSERT_TRUE(v >= std::min(a, b) && v <= std::max(a, b)) << x << "," << y;
      }
    }
  // SS_LEFT: at the left edge, first line at the top. Outside the static the parent's own background
  // is untouched.
  const Box text = Ink(s);
  EXPECT_TRUE(Shows(s, kTextColour) && Shows(s, kBrushColour) && text.left <= 3 && text.top <= 8 &&
              WindowPixel(parent, 5, 5) == kClassBackground);

  // New text repaints, wrapped at word boundaries.
  const auto retext = [s](const char* to) { return SetWindowTextA(s, to), Pump(), Ink(s); };
  // More than one 20-pixel line.
  EXPECT_TRUE(retext("").Empty() && retext("Word word word word word").Height() > 30);

  // Alignment, and vertical centring of a single line.
  Box c = Ink(MakeStatic(parent, SS_CENTER, "Hi"));
  Box r = Ink(MakeStatic(parent, SS_RIGHT, "Hi"));
  Box m = Ink(MakeStatic(parent, SS_CENTER | SS_CENTERIMAGE, "Hi"));
  ASSERT_FALSE(c.Empty());
  EXPECT_NEAR((c.left + c.right) / 2.0, 100.0, 2.5);
  EXPECT_TRUE(r.right >= 196 && r.Width() == c.Width());
  // SS_CENTERIMAGE centres the line box (tmHeight 24 for this font) in the 60-pixel height.
  EXPECT_EQ(std::pair(m.left, m.top - c.top), std::pair(c.left, (60 - 24) / 2));

  // Without an answer to WM_CTLCOLORSTATIC the default colours apply.
  Handle(nullptr);
  HWND plain = MakeStatic(parent, SS_LEFT, "Hi");
  EXPECT_TRUE(WindowPixel(plain, 199, 59) == GetSysColor(COLOR_3DFACE) && Shows(plain, GetSysColor(COLOR_WINDOWTEXT)));
}

}  // namespace
}  // namespace kelmira::test

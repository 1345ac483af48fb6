// Dialogs: templates in both layouts, base units and item placement, WM_INITDIALOG, results
// through DWLP_MSGRESULT, modeless and modal dialogs, the modal loop's owner handling, WM_QUIT,
// navigation keys and the number helpers.
#include "support/canvas.h"
#include "support/pump.h"
#include "support/recording_window.h"
#include "window/dialog_template.h"

#include <kelmira/platform/dialog_template.h>

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

constexpr DWORD kItem = WS_CHILD | WS_VISIBLE;
constexpr UINT kAppEnd = WM_APP + 1;     // wParam: the result to end the dialog with
constexpr UINT kAppAnswer = WM_APP + 2;  // answered through DWLP_MSGRESULT

using window::DialogDesc;
using window::ParseDialogTemplate;

TEST(DialogTemplateParse, StandardLayoutRoundTrip) {
  DialogTemplateBuilder b(WS_CHILD | DS_CONTROL, 0, 1, 2, 186, 94, "Title\x80", 8, "MS Sans Serif");
  b.AddItem(kItem | SS_CENTER, 10, 20, 30, 14, 100, kStaticClassAtom, "Label");
  b.AddItem(kItem, 1, 2, 3, 4, 101, "MyClass", "");
  DialogDesc d;
  ASSERT_EQ(ParseDialogTemplate(b.Template(), b.SizeInBytes(), &d), S_OK);
  EXPECT_EQ(std::tuple(d.extended, d.style, d.x, d.y, d.cx, d.cy, d.title, d.hasFont, d.pointSize, d.face),
            std::tuple(false, DWORD{WS_CHILD | DS_CONTROL | DS_SETFONT}, 1, 2, 186, 94,
                       std::string("Title\x80"),  // the euro sign survives UTF-16 and back
                       true, 8, std::string("MS Sans Serif")));
  ASSERT_EQ(d.items.size(), 2u);
  EXPECT_EQ(std::tuple(d.items[0].className, d.items[0].classAtom, d.items[0].text, d.items[0].id, d.items[0].y),
            std::tuple(std::string("STATIC"), 0x0082, std::string("Label"), 100u, 20));
  EXPECT_EQ(std::tuple(d.items[1].className, d.items[1].creationData), std::tuple(std::string("MyClass"), nullptr));
}

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
  ASSERT_EQ(d.items.size(), 1u);
  ASSERT_NE(d.items[0].creationData, nullptr);
  // 32-bit ids only exist in this layout; the creation data starts with its size word.
  EXPECT_EQ(std::tuple(d.items[0].id, d.items[0].style, d.items[0].creationData[0], d.items[0].creationData[2],
                       d.items[0].text),
            std::tuple(70000u, kItem | SS_RIGHT, 3, 0xAA, std::string("right")));

  // Truncated templates fail without reading past the end, and change nothing.
  d.title = "unchanged";
  for (std::size_t cut : {std::size_t{0}, std::size_t{10}, std::size_t{30}, size - 1})
    EXPECT_EQ(ParseDialogTemplate(kExtended, cut, &d), E_INVALIDARG) << cut;
  EXPECT_EQ(d.title, "unchanged");
  EXPECT_EQ(ParseDialogTemplate(nullptr, 100, &d), E_POINTER);
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
  // 186 x 94 units = 279 x 152.75 pixels, rounded as MulDiv rounds.
  EXPECT_EQ(Client(dlg), (Edges{0, 0, 279, 153}));
  // (10, 20, 30, 14) units: x 15, y 32.5, width 45, height 22.75 (the dialog is at the owner's origin).
  EXPECT_EQ(Screen(GetDlgItem(dlg, 100)), (Edges{100 + 15, 100 + 33, 100 + 15 + 45, 100 + 33 + 23}));
  // MapDialogRect converts each edge with the same units (bottom 55.25).
  RECT mapped{10, 20, 40, 34};
  ASSERT_TRUE(MapDialogRect(dlg, &mapped));
  EXPECT_EQ(E(mapped), (Edges{15, 33, 60, 55}));

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
  DialogTemplateBuilder b(style, 0, 10, 10, 120, 60, "Probe", 8, "MS Sans Serif");
  b.AddItem(kItem | SS_LEFT, 4, 4, 60, 10, 10, kStaticClassAtom, "Label");
  b.AddItem(WS_CHILD | WS_TABSTOP, 4, 16, 30, 12, 9, kStaticClassAtom, "hidden");
  b.AddItem(kItem | WS_TABSTOP | SS_NOTIFY, 4, 30, 30, 12, IDOK, kStaticClassAtom, "OK");
  b.AddItem(kItem | WS_TABSTOP | SS_NOTIFY, 40, 30, 30, 12, IDCANCEL, kStaticClassAtom, "Cancel");
  return b;
}

TEST_F(Dialog, ModelessDialogAnswersThroughDwlpMsgResultExceptForColourRequests) {
  g_probe = Probe{};
  HWND dlg = CreateDialogIndirectParamA(nullptr, ProbeTemplate(kPopup).Template(), Top(100, 100, 400, 300, kPopup),
                                        &ProbeProc, 0x1234);
  ASSERT_NE(dlg, nullptr);
  // The hidden tab stop is skipped.
  EXPECT_EQ(std::tuple(g_probe.initParam, g_probe.initFocusItem, GetFocus()),
            std::tuple(LPARAM{0x1234}, GetDlgItem(dlg, IDOK), GetDlgItem(dlg, IDOK)));
  // The background is erased with the WM_CTLCOLORDLG brush (the default one here).
  Pump();
  EXPECT_EQ(WindowPixel(dlg, Client(dlg)[2] - 1, Client(dlg)[3] - 1), GetSysColor(COLOR_3DFACE));

  EXPECT_EQ(SendMessageA(dlg, kAppAnswer, 0, 0), 4242);
  // Handled but no result set: DWLP_MSGRESULT was cleared before the call.
  EXPECT_EQ(SendMessageA(dlg, WM_COMMAND, 10, 0), 0);
  EXPECT_EQ(g_probe.commands, std::vector<WORD>{10});
  EXPECT_EQ(SendMessageA(dlg, WM_CTLCOLORSTATIC, 0, 0), reinterpret_cast<LRESULT>(GetStockObject(GRAY_BRUSH)));
}

TEST_F(Dialog, ItemsOfUnknownClassesFailTheDialogUnlessNoFailCreate) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  for (DWORD style : {DWORD{WS_CHILD}, DWORD{WS_CHILD | DS_NOFAILCREATE}}) {
    DialogTemplateBuilder b(style, 0, 0, 0, 50, 50, "");
    b.AddItem(kItem, 0, 0, 10, 10, 5, "NoSuchClassAnywhere", "");
    b.AddItem(kItem, 0, 0, 10, 10, 6, kStaticClassAtom, "kept");
    SetLastError(0);
    HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &QuietProc, 0);
    if (style & DS_NOFAILCREATE) {
      ASSERT_NE(dlg, nullptr);
      EXPECT_EQ(std::pair(GetDlgItem(dlg, 5), GetDlgItem(dlg, 6) != nullptr), std::pair(HWND{}, true));
    } else {
      EXPECT_EQ(std::pair(dlg, GetLastError()), std::pair(HWND{}, DWORD{ERROR_CANNOT_FIND_WND_CLASS}));
      EXPECT_EQ(GetWindow(owner, GW_CHILD), nullptr);  // nothing left behind
    }
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
  EXPECT_EQ(modal(), 55);
  EXPECT_EQ(std::pair(g_probe.ownerEnabledAtEnd, IsWindowEnabled(owner)), std::pair(FALSE, TRUE));
  EXPECT_EQ(FindWindowA("#32770", "Probe"), nullptr);  // destroyed

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
  EXPECT_EQ(modal(), IDOK);
  EXPECT_EQ(std::pair(script[1], g_probe.commands), std::pair(IDCANCEL, std::vector<WORD>{IDOK}));
  KelmiraSetIdleHook(nullptr, nullptr);

  g_probe = Probe{};
  g_probe.endInInit = 77;
  EXPECT_EQ(modal(), 77);
  EXPECT_TRUE(IsWindowEnabled(owner));
  g_probe = Probe{};
  PostQuitMessage(9);
  EXPECT_EQ(modal(), 0);
  EXPECT_TRUE(IsWindowEnabled(owner));
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(std::tuple(msg.message, msg.wParam), std::tuple(UINT{WM_QUIT}, WPARAM{9}));
  EXPECT_EQ(modal(), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(Dialog, DialogItemNumbers) {
  HWND dlg = CreateDialogIndirectParamA(nullptr, ProbeTemplate(WS_CHILD).Template(), Top(0, 0, 9, 9), &ProbeProc, 0);
  ASSERT_TRUE(SetDlgItemInt(dlg, 10, static_cast<UINT>(-42), TRUE));
  struct Case {
    const char* text;  // null: as SetDlgItemInt wrote it
    BOOL isSigned;
    UINT value;
    BOOL ok;
  } cases[] = {{nullptr, TRUE, static_cast<UINT>(-42), TRUE},
               {nullptr, FALSE, 0, FALSE},  // negative, unsigned
               {" 4294967295 ", FALSE, 4294967295u, TRUE},
               {"2147483647", TRUE, 2147483647u, TRUE},
               {"2147483648", TRUE, 0, FALSE},  // does not fit an int
               {"12x", TRUE, 0, FALSE}};
  for (const Case& c : cases) {
    if (c.text) SetDlgItemTextA(dlg, 10, c.text);
    BOOL ok = !c.ok;
    EXPECT_EQ(std::pair(GetDlgItemInt(dlg, 10, &ok, c.isSigned), ok), std::pair(c.value, c.ok))
        << (c.text ? c.text : "-42") << " " << c.isSigned;
  }
  EXPECT_EQ(GetDlgItemInt(dlg, 999, nullptr, TRUE), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
}

TEST_F(Dialog, CallsOnDeadOrForeignWindowsFailCleanly) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  HWND dlg = CreateDialogIndirectParamA(nullptr, ProbeTemplate(WS_CHILD).Template(), owner, &ProbeProc, 0);
  DestroyWindow(dlg);
  RECT r{1, 2, 3, 4};
  EXPECT_FALSE(EndDialog(owner, 1) || EndDialog(dlg, 1) || MapDialogRect(dlg, &r));  // not a dialog, dead
  EXPECT_EQ(std::pair(r.left, DefDlgProcA(dlg, WM_GETFONT, 0, 0)), std::pair(LONG{1}, LRESULT{0}));
  // A class of the caller's with junk where DWLP_DLGPROC would be is not taken for a dialog.
  WNDCLASSEXA wc{sizeof wc, 0,       &DefDlgProcA, 0,       DLGWINDOWEXTRA,      nullptr,
                 nullptr,   nullptr, nullptr,      nullptr, "KelmiraNotADialog", nullptr};
  RegisterClassExA(&wc);
  HWND plain = CreateWindowExA(0, wc.lpszClassName, "", WS_CHILD, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  SetWindowLongPtrA(plain, DWLP_DLGPROC, 0x1234);
  EXPECT_EQ(SendMessageA(plain, WM_APP, 0, 0), 0);
  EXPECT_FALSE(EndDialog(plain, 1));
}

}  // namespace
}  // namespace kelmira::test

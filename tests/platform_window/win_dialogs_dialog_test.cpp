// Dialog behaviour: WM_INITDIALOG, results through DWLP_MSGRESULT, modeless and modal dialogs,
// the modal loop's owner handling, WM_QUIT, navigation keys and the number helpers.
#include "win_dialogs_fixture.h"

#include <kelmira/platform/oleauto.h>

namespace kelmira::test {
namespace {

constexpr DWORD kItem = WS_CHILD | WS_VISIBLE;
constexpr UINT kAppEnd = WM_APP + 1;     // wParam: the result to end the dialog with
constexpr UINT kAppAnswer = WM_APP + 2;  // answered through DWLP_MSGRESULT
constexpr UINT kAppCheckOwner = WM_APP + 3;

// What the test dialog procedure saw and does.
struct Probe {
  int initCount = 0;
  LPARAM initParam = 0;
  HWND initFocusItem = nullptr;
  INT_PTR initResult = TRUE;
  bool endInInit = false;
  HWND owner = nullptr;
  BOOL ownerEnabledInside = TRUE;
  std::vector<WORD> commands;
  HBRUSH staticBrush = nullptr;
};
Probe g_probe;

INT_PTR ProbeProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_INITDIALOG:
      ++g_probe.initCount;
      g_probe.initParam = lParam;
      g_probe.initFocusItem = reinterpret_cast<HWND>(wParam);
      if (g_probe.endInInit) EndDialog(dlg, 77);
      return g_probe.initResult;
    case kAppEnd: EndDialog(dlg, static_cast<INT_PTR>(wParam)); return TRUE;
    case kAppAnswer: SetWindowLongPtrA(dlg, DWLP_MSGRESULT, 4242); return TRUE;
    case kAppCheckOwner: g_probe.ownerEnabledInside = IsWindowEnabled(g_probe.owner); return TRUE;
    case WM_COMMAND:
      g_probe.commands.push_back(LOWORD(wParam));
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dlg, LOWORD(wParam));
      return TRUE;
    case WM_CTLCOLORSTATIC: return reinterpret_cast<INT_PTR>(g_probe.staticBrush);
    default: return FALSE;
  }
}

class DialogBehaviourTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    g_probe = Probe{};
  }
};

// A dialog with a label, two tab stops (ids 1 and 2) and a hidden tab stop.
DialogTemplateBuilder TwoButtonTemplate(DWORD style) {
  DialogTemplateBuilder b(style, 0, 10, 10, 120, 60, "Probe", 8, "MS Sans Serif");
  b.AddItem(kItem | SS_LEFT, 4, 4, 60, 10, 10, kStaticClassAtom, "Label");
  b.AddItem(WS_CHILD | WS_TABSTOP, 4, 16, 30, 12, 9, kStaticClassAtom, "hidden");
  b.AddItem(kItem | WS_TABSTOP | SS_NOTIFY, 4, 30, 30, 12, IDOK, kStaticClassAtom, "OK");
  b.AddItem(kItem | WS_TABSTOP | SS_NOTIFY, 40, 30, 30, 12, IDCANCEL, kStaticClassAtom, "Cancel");
  return b;
}

TEST_F(DialogBehaviourTest, InitDialogGetsTheParameterAndFocusesTheFirstTabStop) {
  HWND owner = MakeOwner();
  DialogTemplateBuilder b = TwoButtonTemplate(WS_POPUP | WS_VISIBLE);
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0x1234);
  ASSERT_NE(dlg, nullptr);
  Track(dlg);
  EXPECT_EQ(g_probe.initCount, 1);
  EXPECT_EQ(g_probe.initParam, 0x1234);
  EXPECT_EQ(g_probe.initFocusItem, GetDlgItem(dlg, IDOK));  // the hidden tab stop is skipped
  EXPECT_EQ(GetFocus(), GetDlgItem(dlg, IDOK));
  // The background is erased with the WM_CTLCOLORDLG brush (the default one here).
  Pump();
  RECT r{};
  GetClientRect(dlg, &r);
  EXPECT_EQ(Pixel(dlg, r.right - 1, r.bottom - 1), GetSysColor(COLOR_3DFACE));
}

TEST_F(DialogBehaviourTest, ResultsComeFromDwlpMsgResultExceptForColourRequests) {
  HWND owner = MakeOwner();
  g_probe.staticBrush = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  DialogTemplateBuilder b = TwoButtonTemplate(WS_CHILD);
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(SendMessageA(dlg, kAppAnswer, 0, 0), 4242);
  // Handled but no result set: DWLP_MSGRESULT was cleared before the call.
  EXPECT_EQ(SendMessageA(dlg, kAppCheckOwner, 0, 0), 0);
  HDC dc = GetDC(dlg);
  EXPECT_EQ(SendMessageA(dlg, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), 0),
            reinterpret_cast<LRESULT>(g_probe.staticBrush));
  ReleaseDC(dlg, dc);
}

TEST_F(DialogBehaviourTest, ItemsOfUnknownClassesFailTheDialogUnlessNoFailCreate) {
  HWND owner = MakeOwner();
  DialogTemplateBuilder bad(WS_CHILD, 0, 0, 0, 50, 50, "");
  bad.AddItem(kItem, 0, 0, 10, 10, 5, "NoSuchClassAnywhere", "");
  bad.AddItem(kItem, 0, 0, 10, 10, 6, kStaticClassAtom, "kept");
  SetLastError(0);
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, bad.Template(), owner, &ProbeProc, 0), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
  EXPECT_EQ(GetWindow(owner, GW_CHILD), nullptr);  // nothing left behind

  DialogTemplateBuilder tolerant(WS_CHILD | DS_NOFAILCREATE, 0, 0, 0, 50, 50, "");
  tolerant.AddItem(kItem, 0, 0, 10, 10, 5, "NoSuchClassAnywhere", "");
  tolerant.AddItem(kItem, 0, 0, 10, 10, 6, kStaticClassAtom, "kept");
  HWND dlg = CreateDialogIndirectParamA(nullptr, tolerant.Template(), owner, &ProbeProc, 0);
  ASSERT_NE(dlg, nullptr);
  EXPECT_EQ(GetDlgItem(dlg, 5), nullptr);
  EXPECT_NE(GetDlgItem(dlg, 6), nullptr);
  EXPECT_EQ(CreateDialogIndirectParamA(nullptr, nullptr, owner, &ProbeProc, 0), nullptr);
}

TEST_F(DialogBehaviourTest, ModalDialogEndedFromAPostedMessage) {
  HWND owner = MakeOwner();
  g_probe.owner = owner;
  DialogTemplateBuilder b = TwoButtonTemplate(WS_POPUP);
  // Posted before the loop starts: the loop dispatches them in order.
  PostMessageA(nullptr, WM_NULL, 0, 0);
  struct Poster {
    static INT_PTR Proc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
      if (msg == WM_INITDIALOG) {
        PostMessageA(dlg, kAppCheckOwner, 0, 0);
        PostMessageA(dlg, kAppEnd, 55, 0);
      }
      return ProbeProc(dlg, msg, wParam, lParam);
    }
  };
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.Template(), owner, &Poster::Proc, 0), 55);
  EXPECT_FALSE(g_probe.ownerEnabledInside);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_EQ(FindWindowA("#32770", "Probe"), nullptr);  // destroyed
}

// Driven from the headless loop's idle hook: Tab, then Return.
struct KeyScript {
  int step = 0;
  int focusAfterTab = 0;
};

BOOL TabThenReturn(void* context) {
  auto* script = static_cast<KeyScript*>(context);
  if (script->step++ == 0) return KelmiraInjectKey(WM_KEYDOWN, VK_TAB);
  script->focusAfterTab = GetDlgCtrlID(GetFocus());
  return KelmiraInjectKey(WM_KEYDOWN, VK_RETURN);
}

TEST_F(DialogBehaviourTest, ModalDialogAnsweredByKeys) {
  HWND owner = MakeOwner();
  DialogTemplateBuilder b = TwoButtonTemplate(WS_POPUP);
  KeyScript script;
  KelmiraSetIdleHook(&TabThenReturn, &script);
  // Return presses the default id: the focus (Cancel, a static) is not a push button.
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0), IDOK);
  EXPECT_EQ(script.focusAfterTab, IDCANCEL);
  EXPECT_EQ(g_probe.commands, std::vector<WORD>{IDOK});
}

// EndDialog inside WM_INITDIALOG, WM_QUIT (posted again afterwards) and a loop nobody answers
// (headless: it runs dry) all end the modal loop and enable the owner again.
TEST_F(DialogBehaviourTest, ModalLoopsEndWithoutAButtonAndEnableTheOwnerAgain) {
  HWND owner = MakeOwner();
  DialogTemplateBuilder b = TwoButtonTemplate(WS_POPUP | WS_VISIBLE);
  g_probe.endInInit = true;
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0), 77);
  EXPECT_TRUE(IsWindowEnabled(owner));
  g_probe.endInInit = false;

  PostQuitMessage(9);
  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0), 0);
  EXPECT_TRUE(IsWindowEnabled(owner));
  MSG msg{};
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
  EXPECT_EQ(msg.wParam, 9u);

  EXPECT_EQ(DialogBoxIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
  EXPECT_TRUE(IsWindowEnabled(owner));
}

TEST_F(DialogBehaviourTest, DialogItemNumbers) {
  HWND owner = MakeOwner();
  DialogTemplateBuilder b = TwoButtonTemplate(WS_CHILD);
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0);
  ASSERT_NE(dlg, nullptr);
  BOOL ok = FALSE;
  ASSERT_TRUE(SetDlgItemInt(dlg, 10, static_cast<UINT>(-42), TRUE));
  EXPECT_EQ(static_cast<int>(GetDlgItemInt(dlg, 10, &ok, TRUE)), -42);
  EXPECT_TRUE(ok);
  EXPECT_EQ(GetDlgItemInt(dlg, 10, &ok, FALSE), 0u);  // negative without bSigned
  EXPECT_FALSE(ok);
  SetDlgItemTextA(dlg, 10, " 4294967295 ");
  EXPECT_EQ(GetDlgItemInt(dlg, 10, &ok, FALSE), 4294967295u);
  EXPECT_EQ(GetDlgItemInt(dlg, 10, &ok, TRUE), 0u);  // does not fit an int
  EXPECT_FALSE(ok);
  SetDlgItemTextA(dlg, 10, "12x");
  EXPECT_EQ(GetDlgItemInt(dlg, 10, &ok, TRUE), 0u);
  EXPECT_FALSE(ok);
  EXPECT_EQ(GetDlgItemInt(dlg, 999, &ok, TRUE), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CONTROL_ID_NOT_FOUND));
}

TEST_F(DialogBehaviourTest, CallsOnDeadOrForeignWindowsFailCleanly) {
  HWND owner = MakeOwner();
  EXPECT_FALSE(EndDialog(owner, 1));  // not a dialog
  DialogTemplateBuilder b = TwoButtonTemplate(WS_CHILD);
  HWND dlg = CreateDialogIndirectParamA(nullptr, b.Template(), owner, &ProbeProc, 0);
  DestroyWindow(dlg);
  EXPECT_FALSE(EndDialog(dlg, 1));
  RECT r{1, 2, 3, 4};
  EXPECT_FALSE(MapDialogRect(dlg, &r));
  EXPECT_EQ(r.left, 1);
  EXPECT_EQ(DefDlgProcA(dlg, WM_GETFONT, 0, 0), 0);
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

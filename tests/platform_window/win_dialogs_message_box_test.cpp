// MessageBoxA: answered through the hook, or through its window by injected clicks and keys while
// its nested loop runs, with the owner disabled meanwhile.
#include "win_dialogs_fixture.h"

#include <kelmira/platform/oleauto.h>

#include <cstdio>
#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

struct HookCall {
  int count = 0;
  HWND owner = nullptr;
  std::string text;
  std::string caption;
  UINT type = 0;
  int answer = 0;
  bool boxWindowExisted = false;
};

int RecordingHook(HWND owner, const char* text, const char* caption, UINT type, void* context) {
  auto* call = static_cast<HookCall*>(context);
  ++call->count;
  call->owner = owner;
  call->text = text;
  call->caption = caption;
  call->type = type;
  call->boxWindowExisted = FindWindowA("#32770", caption) != nullptr;
  return call->answer;
}

class MessageBoxTest : public DialogTest {};

TEST_F(MessageBoxTest, TheHookSeesTheDragReportAndAnswersItUnlessTheAnswerIsNoButton) {
  HWND owner = MakeOwner();
  HookCall call;
  call.answer = IDOK;
  KelmiraSetMessageBoxHook(&RecordingHook, &call);
  char text[128];
  std::snprintf(text, sizeof text, "%s: (%f,%f),(%f,%f)", "Z", 10.0, 79.0, 50.0, 94.0);
  EXPECT_EQ(MessageBoxA(owner, text, "MouseInput command not found!", MB_ICONHAND), IDOK);
  EXPECT_EQ(std::tuple(call.count, call.owner, call.text, call.caption, call.type, call.boxWindowExisted),
            std::tuple(1, owner, std::string("Z: (10.000000,79.000000),(50.000000,94.000000)"),
                       std::string("MouseInput command not found!"), UINT{MB_ICONHAND}, false));
  EXPECT_TRUE(IsWindowEnabled(owner));

  // A null caption is "Error"; a null text is empty.
  call.answer = IDNO;
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(call.caption, "Error");
  EXPECT_EQ(call.text, "");

  // Bad types fail before the hook is asked.
  SetLastError(0);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", 7), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK | 0x50), 0);
  EXPECT_EQ(call.count, 2);

  // An answer that is no button of the box shows the box; nobody presses anything and the
  // headless loop runs dry: the default button answers.
  call.answer = IDYES;
  EXPECT_EQ(MessageBoxA(nullptr, "text", "shown", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(call.count, 3);
  EXPECT_EQ(FindWindowA("#32770", "shown"), nullptr);
}

// The owner clicks the box's button when the box's loop goes idle.
struct ClickPlan {
  int button = IDOK;
  HWND owner = nullptr;
  BOOL ownerEnabled = TRUE;
  HWND box = nullptr;
  bool clicked = false;
  COLORREF iconCentre = CLR_INVALID;
  RECT text{};
};
ClickPlan g_plan;

LRESULT ClickingOwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ENTERIDLE && wParam == MSGF_MESSAGEBOX && !g_plan.clicked) {
    g_plan.clicked = true;
    g_plan.box = reinterpret_cast<HWND>(lParam);
    g_plan.ownerEnabled = IsWindowEnabled(hwnd);
    // The box is painted by now (the loop goes idle only when nothing is left to paint).
    g_plan.iconCentre = CLR_INVALID;
    if (HWND icon = GetDlgItem(g_plan.box, 20)) KelmiraGetWindowPixel(icon, 4, 16, &g_plan.iconCentre);
    if (HWND label = GetDlgItem(g_plan.box, 0xFFFF)) GetClientRect(label, &g_plan.text);
    HWND button = GetDlgItem(g_plan.box, g_plan.button);
    if (button) {
      POINT p = CentreOnScreen(button);
      KelmiraInjectMouse(WM_MOUSEMOVE, p.x, p.y, 0);
      KelmiraInjectMouse(WM_LBUTTONDOWN, p.x, p.y, MK_LBUTTON);
      KelmiraInjectMouse(WM_LBUTTONUP, p.x, p.y, 0);
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(MessageBoxTest, InjectedClicksOnAButtonAnswerTheBox) {
  RegisterPlainClass("KelmiraMessageBoxClickingOwner", &ClickingOwnerProc);
  HWND owner = MakePopup("KelmiraMessageBoxClickingOwner", 0, 0, 200, 100);
  Track(owner);
  g_plan = ClickPlan{};
  g_plan.owner = owner;
  EXPECT_EQ(MessageBoxA(owner, "Z: (10.000000,79.000000),(50.000000,94.000000)", "MouseInput command not found!",
                        MB_ICONHAND),
            IDOK);
  EXPECT_TRUE(g_plan.clicked);
  EXPECT_FALSE(g_plan.ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(g_plan.box));
  EXPECT_EQ(g_plan.iconCentre, RGB(204, 0, 0));  // the stop icon's red disc
  EXPECT_GT(g_plan.text.right, 0);

  // The second of three buttons, clicked.
  g_plan = ClickPlan{};
  g_plan.button = IDNO;
  EXPECT_EQ(MessageBoxA(owner, "Save?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_TRUE(g_plan.clicked);
}

struct KeyPlan {
  WPARAM key = VK_RETURN;
  int idleCalls = 0;
};

BOOL PressKeyWhenIdle(void* context) {
  auto* plan = static_cast<KeyPlan*>(context);
  if (plan->idleCalls++ > 0) return FALSE;  // once: a box that ignores the key then runs dry
  return KelmiraInjectKey(WM_KEYDOWN, plan->key) && KelmiraInjectKey(WM_KEYUP, plan->key);
}

TEST_F(MessageBoxTest, ReturnAndEscapeThroughTheNestedLoop) {
  KeyPlan plan;
  KelmiraSetIdleHook(&PressKeyWhenIdle, &plan);
  // Return presses the default button, which has the focus.
  EXPECT_EQ(MessageBoxA(nullptr, "Retry?", "Keys", MB_RETRYCANCEL | MB_DEFBUTTON2), IDCANCEL);
  plan = KeyPlan{};
  EXPECT_EQ(MessageBoxA(nullptr, "Retry?", "Keys", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3), IDIGNORE);
  // Escape is Cancel, OK on a lone OK button, and nothing on a Yes/No box (the default answers
  // only when the loop runs dry).
  plan = KeyPlan{VK_ESCAPE};
  EXPECT_EQ(MessageBoxA(nullptr, "Go?", "Keys", MB_YESNOCANCEL), IDCANCEL);
  plan = KeyPlan{VK_ESCAPE};
  EXPECT_EQ(MessageBoxA(nullptr, "Note", "Keys", MB_OK | MB_ICONASTERISK), IDOK);
  plan = KeyPlan{VK_ESCAPE};
  EXPECT_EQ(MessageBoxA(nullptr, "Go?", "Keys", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(plan.idleCalls, 2);
  // Space presses the focused button.
  plan = KeyPlan{VK_SPACE};
  EXPECT_EQ(MessageBoxA(nullptr, "Go?", "Keys", MB_YESNO), IDYES);
}

}  // namespace
}  // namespace kelmira::test

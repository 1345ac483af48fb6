// MessageBoxA: answered through the hook, or through its window by injected clicks and keys while
// its nested loop runs, with the owner disabled meanwhile.
#include "support/canvas.h"
#include "support/recording_window.h"

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

struct HookCall {
  int count = 0;
  HWND owner = nullptr;
  std::string text, caption;
  UINT type = 0;
  int answer = 0;
  bool boxWindowExisted = false;
};

int RecordingHook(HWND owner, const char* text, const char* caption, UINT type, void* context) {
  auto* call = static_cast<HookCall*>(context);
  ++call->count;
  call->owner = owner, call->text = text, call->caption = caption, call->type = type;
  call->boxWindowExisted = FindWindowA("#32770", caption) != nullptr;
  return call->answer;
}

using MessageBoxTest = WindowTest;

TEST_F(MessageBoxTest, TheHookSeesTheDragReportAndAnswersItUnlessTheAnswerIsNoButton) {
  HWND owner = Top(100, 100, 400, 300, kPopup);
  HookCall call;
  call.answer = IDOK;
  KelmiraSetMessageBoxHook(&RecordingHook, &call);
  const std::string text = "Z: (10.000000,79.000000),(50.000000,94.000000)", caption = "MouseInput command not found!";
  EXPECT_EQ(MessageBoxA(owner, text.c_str(), caption.c_str(), MB_ICONHAND), IDOK);
  EXPECT_EQ(std::tuple(call.count, call.owner, call.text, call.caption, call.type, call.boxWindowExisted),
            std::tuple(1, owner, text, caption, UINT{MB_ICONHAND}, false));
  EXPECT_TRUE(IsWindowEnabled(owner));

  // A null caption is "Error"; a null text is empty.
  call.answer = IDNO;
  EXPECT_EQ(MessageBoxA(nullptr, nullptr, nullptr, MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(std::tuple(call.caption, call.text), std::tuple(std::string("Error"), std::string()));

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
TEST_F(MessageBoxTest, InjectedClicksOnAButtonAnswerTheBox) {
  HWND owner = Top(0, 0, 200, 100, kPopup, kBare);
  struct Seen {
    HWND box = nullptr;
    BOOL ownerEnabled = TRUE;
    COLORREF iconCentre = CLR_INVALID;
    LONG textWidth = 0;
  } seen;
  int button = IDOK;
  On(WM_ENTERIDLE, [&](HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (wParam != MSGF_MESSAGEBOX || seen.box) return;
    seen.box = reinterpret_cast<HWND>(lParam);
    seen.ownerEnabled = IsWindowEnabled(hwnd);
    // The box is painted by now (the loop goes idle only when nothing is left to paint).
    seen.iconCentre = WindowPixel(GetDlgItem(seen.box, 20), 4, 16);
    seen.textWidth = Client(GetDlgItem(seen.box, 0xFFFF))[2];
    RECT r{};
    GetWindowRect(GetDlgItem(seen.box, button), &r);
    for (UINT m : {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP})
      KelmiraInjectMouse(m, (r.left + r.right) / 2, (r.top + r.bottom) / 2, m == WM_LBUTTONDOWN ? MK_LBUTTON : 0);
  });
  EXPECT_EQ(MessageBoxA(owner, "Z: (10.0,79.0),(50.0,94.0)", "MouseInput command not found!", MB_ICONHAND), IDOK);
  ASSERT_TRUE(seen.box);
  EXPECT_FALSE(seen.ownerEnabled);
  EXPECT_TRUE(IsWindowEnabled(owner));
  EXPECT_FALSE(IsWindow(seen.box));
  EXPECT_EQ(seen.iconCentre, RGB(204, 0, 0));  // the stop icon's red disc
  EXPECT_GT(seen.textWidth, 0);

  // The second of three buttons, clicked.
  seen = Seen{};
  button = IDNO;
  EXPECT_EQ(MessageBoxA(owner, "Save?", "Question", MB_YESNOCANCEL | MB_ICONQUESTION), IDNO);
  EXPECT_TRUE(seen.box);
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

// Return presses the default button, which has the focus; Escape is Cancel, OK on a lone OK
// button, and nothing on a Yes/No box (the default answers only when the loop runs dry); Space
// presses the focused button.
TEST_F(MessageBoxTest, ReturnEscapeAndSpaceThroughTheNestedLoop) {
  KeyPlan plan;
  KelmiraSetIdleHook(&PressKeyWhenIdle, &plan);
  struct Case {
    WPARAM key;
    UINT type;
    int answer, idleCalls;
  } cases[] = {{VK_RETURN, MB_RETRYCANCEL | MB_DEFBUTTON2, IDCANCEL, 1},
               {VK_RETURN, MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE, 1},
               {VK_ESCAPE, MB_YESNOCANCEL, IDCANCEL, 1},
               {VK_ESCAPE, MB_OK | MB_ICONASTERISK, IDOK, 1},
               {VK_ESCAPE, MB_YESNO | MB_DEFBUTTON2, IDNO, 2},
               {VK_SPACE, MB_YESNO, IDYES, 1}};
  for (const Case& c : cases) {
    plan = KeyPlan{c.key};
    EXPECT_EQ(MessageBoxA(nullptr, "Go?", "Keys", c.type), c.answer) << c.key << " " << std::hex << c.type;
    EXPECT_EQ(plan.idleCalls, c.idleCalls) << c.key << " " << std::hex << c.type;
  }
}

}  // namespace
}  // namespace kelmira::test

// MessageBoxA: answered through the hook, or through its window by injected clicks and keys while
// its nested loop runs, with the owner disabled meanwhile.
#include "support/canvas.h"
#include "support/recording_window.h"

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

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
  SetLastError(0);
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", 7), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(MessageBoxA(nullptr, "t", "c", MB_OK | 0x50), 0);

  // An answer that is no button of the box shows the box; nobody presses anything and the
  // headless loop runs dry: the default button answers.
  calls.answer = IDYES;
  EXPECT_EQ(MessageBoxA(nullptr, "text", "shown", MB_OKCANCEL | MB_DEFBUTTON2), IDCANCEL);
  EXPECT_EQ(FindWindowA("#32770", "shown"), nullptr);
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
    EXPECT_EQ(std::pair(MessageBoxA(nullptr, "Go?", "Keys", c.type), plan.idleCalls), std::pair(c.answer, c.idleCalls))
        << c.key << " " << std::hex << c.type;
  }
}

}  // namespace
}  // namespace kelmira::test

// kelmira-view's input scripts: what bad lines say, and the messages a played script delivers.
#include "support/pump.h"
#include "support/recording_window.h"
#include "view/view_script.h"

#include <future>
#include <thread>
#include <tuple>

#if KELMIRA_HAVE_SDL2
#include "support/sdl_window.h"
#endif

using namespace kelmira::test;
using namespace kelmira::view;

TEST(ViewScript, BadLinesAreOneLineErrorsWithWhatIsAllowed) {
  const std::pair<const char*, const char*> cases[] = {
      {"move 1 2\npress lft", "s:2: unknown button 'lft' (left, right, middle, x1, x2)"},
      {"# c\n\n\tMOVE 1 2 # c\r\nzoom 2", "s:4: unknown command 'zoom' (move, press,"},
      {"move 1", "s:1: missing words after 'move' (move X Y)"},
      {"move 1 2 3", "s:1: extra word '3' (move X Y)"},
      {"click left 5", "s:1: a point needs both X and Y (click BUTTON [X Y])"},
      {"move 1x 2", "s:1: bad coordinate '1x' (pixels"},
      {"move 5 nan", "s:1: bad coordinate 'nan'"},
      {"wheel 1 100001% 0", "s:1: bad coordinate '100001%'"},
      {"drag 0 0 9 9 0", "s:1: bad step count '0' (a whole number from 1 to 1000)"},
      {"wheel 0.001", "s:1: bad notch count '0.001'"},
      {"wheel 274", "s:1: bad notch count '274'"},
      {"key f13", "s:1: unknown key 'f13' (a letter"},
      {"key shift+", "s:1: unknown key 'shift+'"},
      {"key ctrl+pgup", "s:1: unknown key 'ctrl+pgup'"},
      {"snapshot # no file", "s:1: missing words after 'snapshot' (snapshot FILE)"},
      {"type ", "s:1: missing text after 'type' (type TEXT)"},
      {"type caf\xC3\xA9", "s:1: cannot type the byte 0xC3 (printable ASCII characters)"},
  };
  for (const auto& [text, message] : cases) {
    std::string error;
    EXPECT_FALSE(ParseScript(text, "s", &error).has_value()) << text;
    EXPECT_EQ(error.substr(0, std::string(message).size()), message) << text;
  }
  std::string error;
  EXPECT_FALSE(ReadScript("no/such.txt", &error).has_value());
  EXPECT_EQ(error, "no/such.txt: cannot read the script file");
}

class ViewScriptPlay : public WindowTest {
 protected:
  // The window's messages of interest after the script has played; key messages without lParam.
  std::vector<std::tuple<UINT, WPARAM, LPARAM>> Play(HWND hwnd, const char* text) {
    std::optional<std::vector<ScriptEvent>> events = ParseScript(text, "s", nullptr);
    EXPECT_TRUE(events.has_value()) << text;
    ScriptPlayer player(events.value_or(std::vector<ScriptEvent>{}), hwnd, nullptr);
    Clear();
    while (player.Step()) Pump();
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> out;
    for (const Sent& s : Log({WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP, WM_XBUTTONDOWN, WM_MOUSEWHEEL, WM_KEYDOWN,
                              WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN},
                             hwnd))
      out.emplace_back(s.msg, s.wParam, s.msg >= WM_KEYDOWN && s.msg <= WM_SYSKEYDOWN ? 0 : s.lParam);
    return out;
  }
};

TEST_F(ViewScriptPlay, LinesDeliverTheirMessagesInClientCoordinates) {
  HWND hwnd = Top(100, 50, 200, 100);
  SetFocus(hwnd);
  SetCapture(hwnd);  // points outside the area still reach it
  using M = std::vector<std::tuple<UINT, WPARAM, LPARAM>>;
  const std::pair<const char*, M> cases[] = {
      {"drag 10 20 30 60 2",
       {{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20)},
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 40)},
        {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 60)},
        {WM_LBUTTONUP, 0, MAKELPARAM(30, 60)}}},
      // The wheel reports screen coordinates; an omitted point is the last one.
      {"move 50% 25\nwheel -1.5",
       {{WM_MOUSEMOVE, 0, MAKELPARAM(100, 25)}, {WM_MOUSEWHEEL, MAKEWPARAM(0, -180), MAKELPARAM(200, 75)}}},
      {"press x2 150% -10%", {{WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), MAKELPARAM(300, -10)}}},
      {"key ctrl+s",
       {{WM_KEYDOWN, VK_CONTROL, 0},
        {WM_KEYDOWN, 'S', 0},
        {WM_CHAR, 0x13, 0},
        {WM_KEYUP, 'S', 0},
        {WM_KEYUP, VK_CONTROL, 0}}},
      {"key ?",
       {{WM_KEYDOWN, VK_SHIFT, 0},
        {WM_KEYDOWN, VK_OEM_2, 0},
        {WM_CHAR, '?', 0},
        {WM_KEYUP, VK_OEM_2, 0},
        {WM_KEYUP, VK_SHIFT, 0}}},
      {"key P", {{WM_KEYDOWN, 'P', 0}, {WM_CHAR, 'p', 0}, {WM_KEYUP, 'P', 0}}},
  };
  for (const auto& [text, messages] : cases) EXPECT_EQ(Play(hwnd, text), messages) << text;
  std::string typed;
  for (const auto& [msg, wParam, lParam] : Play(hwnd, "type Hi, 5+5 = {x}!"))
    if (msg == WM_CHAR) typed += static_cast<char>(wParam);
  EXPECT_EQ(typed, "Hi, 5+5 = {x}!");
}

// The viewer's way: the idle hook steps the player from its message loop, and from the modal loop
// that a key opens; the snapshot command stops the run.
TEST_F(ViewScriptPlay, IdleHookDrivesModalLoopsAndCommandsStopTheRun) {
  HWND hwnd = Top(100, 50, 200, 100);
  SetFocus(hwnd);
  On(WM_KEYDOWN, [](HWND h, WPARAM vk, LPARAM) {
    if (vk == 'P') MessageBoxA(h, "modal", "view", MB_OK);
  });
  std::vector<std::string> commands;
  ScriptPlayer player(
      *ParseScript("key p\nprint limits  x\nkey escape\nclick left 5 5\nsnapshot o.png\nmove 1 1", "s", nullptr), hwnd,
      [&](const ScriptEvent& e) { return commands.push_back(e.text), e.text != "o.png"; });
  KelmiraSetIdleHook(&ScriptPlayer::Hook, &player);
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) TranslateMessage(&msg), DispatchMessageA(&msg);
  EXPECT_EQ(
      std::tuple(commands, Count(hwnd, WM_LBUTTONUP), Count(hwnd, WM_MOUSEMOVE), player.error()),
      std::tuple(std::vector<std::string>{"limits x", "o.png"}, 1, 0, std::string("line 5: snapshot o.png failed")));
}

#if KELMIRA_HAVE_SDL2
using ViewScriptSdl = SdlWindowTest;

// The SDL back-end's loop waits for desktop events, and runs the idle hook before it does.
TEST_F(ViewScriptSdl, IdleHookPlaysTheScriptBeforeTheLoopWaits) {
  HWND hwnd = Top(30, 40, 200, 150, WS_OVERLAPPEDWINDOW | WS_VISIBLE);
  ScriptPlayer player(*ParseScript("drag 10% 10% 50% 50% 4\nwheel 1", "s", nullptr), hwnd, nullptr);
  KelmiraSetIdleHook(&ScriptPlayer::Hook, &player);
  // Were the hook not run, the loop would wait for ever: closing the window ends it then.
  SDL_Event close{};
  close.type = SDL_WINDOWEVENT, close.window.event = SDL_WINDOWEVENT_CLOSE;
  close.window.windowID = kelmira::window::SdlWindowIdOf(hwnd);
  std::promise<void> played;
  std::thread guard([&close, done = played.get_future()] {
    if (done.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) SDL_PushEvent(&close);
  });
  MSG msg{};
  while (!player.done() && GetMessageA(&msg, nullptr, 0, 0) > 0) TranslateMessage(&msg), DispatchMessageA(&msg);
  played.set_value();
  guard.join();
  Pump();
  EXPECT_EQ(
      std::tuple(player.failed(), Count(hwnd, WM_MOUSEMOVE), Count(hwnd, WM_LBUTTONUP), Count(hwnd, WM_MOUSEWHEEL)),
      std::tuple(false, 4, 1, 1));
}
#endif

// kelmira-view's input scripts: what bad lines say, and the messages a played script delivers.
#include "support/create.h"
#include "support/pump.h"
#include "support/recording_window.h"
#include "view/view_script.h"

#include <tuple>

#if KELMIRA_HAVE_SDL2
#include "support/sdl_window.h"
#endif

using namespace kelmira;
using namespace kelmira::test;
using namespace kelmira::view;

TEST(ViewScript, BadLinesAreOneLineErrorsWithWhatIsAllowed) {
  const std::pair<const char*, const char*> cases[] = {
      {"move 1 2\npress lft", "s:2: unknown button 'lft' (left, right, middle, x1, x2)"},
      {"# c\n\n\tMOVE 1 2 # c\r\nzoom 2", "s:4: unknown command 'zoom' (move, press,"},
      {"move 1 2 3", "s:1: extra word '3' (move X Y)"},
      {"click left 5", "s:1: a point needs both X and Y (click BUTTON [X Y])"},
      {"move 1x 2", "s:1: bad coordinate '1x' (pixels"},
      {"wheel 1 100001% 0", "s:1: bad coordinate '100001%'"},
      {"drag 0 0 9 9 0", "s:1: bad step count '0' (a whole number from 1 to 1000)"},
      {"wheel 1e-3 1 1", "s:1: bad notch count '1e-3'"},
      {"key f13", "s:1: unknown key 'f13' (a letter"},
      {"snapshot # no file", "s:1: missing words after 'snapshot' (snapshot FILE)"},
      {"type caf\xC3\xA9", "s:1: cannot type the byte 0xC3 (printable ASCII characters)"},
  };
  std::string error;
  for (const auto& [text, message] : cases)
    EXPECT_TRUE(!ParseScript(text, "s", &error) && error.starts_with(message)) << text << " gave " << error;
  for (const char* path : {"no/such.txt", "."})
    EXPECT_TRUE(!ReadScript(path, &error) && error.starts_with(path + std::string(": cannot read the script file (")))
        << error;
}

class ViewScriptPlay : public WindowTest {
 protected:
  // The window's messages of interest after the script has played; key messages without lParam.
  std::vector<std::tuple<UINT, WPARAM, LPARAM>> Play(HWND hwnd, const char* text) {
    ScriptPlayer player(ParseScript(text, "s", nullptr).value_or(std::vector<ScriptEvent>{}), hwnd, nullptr);
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
  // clang-format off
  const std::pair<const char*, M> cases[] = {
      {"drag 10 20 30 60 2", {{WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 20)},
                              {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(20, 40)},
                              {WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(30, 60)}, {WM_LBUTTONUP, 0, MAKELPARAM(30, 60)}}},
      // The wheel reports screen coordinates; an omitted point is the last one.
      {"move 50% 25\nwheel -1.5",
       {{WM_MOUSEMOVE, 0, MAKELPARAM(100, 25)}, {WM_MOUSEWHEEL, MAKEWPARAM(0, -180), MAKELPARAM(200, 75)}}},
      {"press x2 150% -10%", {{WM_XBUTTONDOWN, MAKEWPARAM(MK_XBUTTON2, XBUTTON2), MAKELPARAM(300, -10)}}},
      {"key ctrl+s", {{WM_KEYDOWN, VK_CONTROL, 0}, {WM_KEYDOWN, 'S', 0}, {WM_CHAR, 0x13, 0}, {WM_KEYUP, 'S', 0},
                      {WM_KEYUP, VK_CONTROL, 0}}},
      {"key ?", {{WM_KEYDOWN, VK_SHIFT, 0}, {WM_KEYDOWN, VK_OEM_2, 0}, {WM_CHAR, '?', 0}, {WM_KEYUP, VK_OEM_2, 0},
                 {WM_KEYUP, VK_SHIFT, 0}}},
      {"key P", {{WM_KEYDOWN, 'P', 0}, {WM_CHAR, 'p', 0}, {WM_KEYUP, 'P', 0}}},
  };
  // clang-format on
  for (const auto& [text, messages] : cases) EXPECT_EQ(Play(hwnd, text), messages) << text;
  std::string typed;
  for (const auto& [msg, wParam, lParam] : Play(hwnd, "type Hi, 5+5 = {x}!"))
    if (msg == WM_CHAR) typed += static_cast<char>(wParam);
  EXPECT_EQ(typed, "Hi, 5+5 = {x}!");
}

// The viewer's way: the idle hook steps the player from its message loop, and from the modal loop
// of the property frame that a key opens; the snapshot command stops the run.
TEST_F(ViewScriptPlay, IdleHookDrivesThePropertyFrameAndCommandsStopTheRun) {
  ComPtr<ILineGraph> g = Create<ILineGraph>(CLSID_LineGraph);
  ComPtr<ISpecifyPropertyPages> specify;
  ASSERT_EQ(g->QueryInterface(IID_ISpecifyPropertyPages, reinterpret_cast<void**>(&specify)), S_OK);
  CAUUID pages{};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  HWND hwnd = Top(40, 40, 600, 500);
  SetFocus(hwnd);
  On(WM_KEYDOWN, [&](HWND h, WPARAM vk, LPARAM) {
    IUnknown* objects[] = {g.get()};
    if (vk == 'P' && h == hwnd) OleCreatePropertyFrame(h, 9, 9, u"", 1, objects, pages.cElems, pages.pElems, 0, 0, 0);
  });
  std::vector<std::string> commands;
  ScriptPlayer player(
      *ParseScript("key p\nprint limits  x\nkey tab\nkey escape\nclick left 5 5\nsnapshot o.png\nmove 1 1", "s",
                   nullptr),
      hwnd, [&](const ScriptEvent& e) {
        commands.push_back(e.text + (FindWindowA("#32770", nullptr) ? " (frame open)" : ""));
        return e.text != "o.png";
      });
  KelmiraSetIdleHook(&ScriptPlayer::Hook, &player);
  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) TranslateMessage(&msg), DispatchMessageA(&msg);
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(std::tuple(commands, Count(hwnd, WM_LBUTTONUP), Count(hwnd, WM_MOUSEMOVE), player.error()),
            std::tuple(std::vector<std::string>{"limits x (frame open)", "o.png"}, 1, 0,
                       std::string("line 6: snapshot o.png failed")));
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
  auto push = [](Uint32, void* event) { return SDL_PushEvent(static_cast<SDL_Event*>(event)), Uint32{0}; };
  SDL_TimerID guard = SDL_AddTimer(20000, push, &close);
  MSG msg{};
  while (!player.done() && GetMessageA(&msg, nullptr, 0, 0) > 0) TranslateMessage(&msg), DispatchMessageA(&msg);
  SDL_RemoveTimer(guard);
  Pump();
  EXPECT_EQ(
      std::tuple(player.failed(), Count(hwnd, WM_MOUSEMOVE), Count(hwnd, WM_LBUTTONUP), Count(hwnd, WM_MOUSEWHEEL)),
      std::tuple(false, 4, 1, 1));
}
#endif

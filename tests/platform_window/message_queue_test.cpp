// Posting, retrieving, filtering, quitting, translating keys and the default procedure.
#include "support/recording_window.h"

#include <stdexcept>

namespace kelmira::test {
namespace {

using Queue = WindowTest;

TEST_F(Queue, PostedMessagesComeBackInOrderWithFiltersAndQuitLast) {
  HWND a = Top(0, 0, 10, 10, WS_OVERLAPPED), b = Top(0, 0, 10, 10, WS_OVERLAPPED);
  PostMessageA(a, WM_USER + 1, 1, 2);
  PostMessageA(b, WM_USER + 2, 0, 0);
  PostMessageA(nullptr, WM_APP, 5, 0);
  MSG m;
  std::vector<Sent> got;
  auto take = [&](BOOL result) { got.push_back({m.hwnd, m.message, m.wParam, static_cast<LPARAM>(result)}); };
  take(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
  take(PeekMessageA(&m, nullptr, WM_APP, WM_APP, PM_REMOVE));
  take(GetMessageA(&m, nullptr, 0, 0));
  take(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  // WM_QUIT comes after what was posted, and once; with nothing left to wait for GetMessageA fails
  // instead of blocking.
  PostQuitMessage(3);
  PostMessageA(a, WM_USER, 0, 0);
  take(GetMessageA(&m, nullptr, 0, 0));
  take(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(got, (std::vector<Sent>{{b, WM_USER + 2, 0, 1},
                                    {nullptr, WM_APP, 5, 1},
                                    {a, WM_USER + 1, 1, 1},
                                    {b, WM_USER + 2, 0, 1},
                                    {a, WM_USER, 0, 1},
                                    {nullptr, WM_QUIT, 3, 0}}));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  SetLastError(0);
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), -1);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TIMEOUT));
  EXPECT_EQ(GetMessageA(nullptr, nullptr, 0, 0), -1);
}

TEST_F(Queue, TranslateMessageMakesCharactersFromKeys) {
  HWND w = Top(0, 0, 10, 10, WS_OVERLAPPED);
  MSG key{w, WM_KEYDOWN, 'A', 1, 0, {0, 0}};
  PostMessageA(w, WM_USER, 0, 0);  // already waiting: the character still comes first
  EXPECT_TRUE(TranslateMessage(&key));
  for (WPARAM vk : {WPARAM{VK_OEM_COMMA}, WPARAM{VK_SHIFT}}) {  // shift makes no character
    key.wParam = vk;
    TranslateMessage(&key);
  }
  MSG m;
  std::vector<Sent> got;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) got.push_back({m.hwnd, m.message, m.wParam, m.lParam});
  EXPECT_EQ(got, (std::vector<Sent>{{w, WM_CHAR, ',', 1}, {w, WM_CHAR, 'a', 1}, {w, WM_USER, 0, 0}}));
}

// Also: an exception from a window procedure stays inside SendMessageA.
TEST_F(Queue, DefaultProcedureAnswers) {
  HWND top = Top(0, 0, 100, 100), child = Child(top, 1, 10, 10, 10, 10);
  Handle([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER) throw std::runtime_error("boom");
    return std::nullopt;
  });
  EXPECT_EQ(SendMessageA(child, WM_USER, 0, 0), 0);
  EXPECT_TRUE(IsWindow(child));
  Handle(nullptr);
  EXPECT_EQ(std::pair(SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(15, 15)),
                      SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(25, 15))),
            std::pair(LRESULT{HTCLIENT}, LRESULT{HTNOWHERE}));
  SendMessageA(top, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(top) || IsWindow(child));
}

}  // namespace
}  // namespace kelmira::test

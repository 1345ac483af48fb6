// Classes, creation and destruction: message order, refusal, stale handles, other threads.
#include "support/recording_window.h"

#include <thread>

namespace kelmira::test {
namespace {

using Lifecycle = WindowTest;

TEST_F(Lifecycle, CreationSendsNcCreateCreateSizeMoveThenShowsWithTheArguments) {
  HWND top = Top(100, 50, 300, 200);
  EXPECT_EQ(Ids(Log({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}, top)),
            (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
  EXPECT_EQ(Log({WM_SIZE}, top).at(0).lParam, MAKELPARAM(300, 200));
  EXPECT_TRUE(IsWindowVisible(top));

  CREATESTRUCTA seen{};
  int param = 7;
  Handle([&](HWND, UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_CREATE) seen = *reinterpret_cast<const CREATESTRUCTA*>(l);
    return std::nullopt;
  });
  HWND child = CreateWindowExA(WS_EX_CONTROLPARENT, kRecording, "c", WS_CHILD, 3, 4, 5, 6, top,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(42)), nullptr, &param);
  ASSERT_TRUE(child);
  EXPECT_EQ(seen.lpCreateParams, &param);
  EXPECT_EQ((std::vector<LONG>{seen.x, seen.y, seen.cx, seen.cy, seen.style, static_cast<LONG>(seen.dwExStyle)}),
            (std::vector<LONG>{3, 4, 5, 6, static_cast<LONG>(WS_CHILD), static_cast<LONG>(WS_EX_CONTROLPARENT)}));
  EXPECT_EQ(GetDlgItem(top, 42), child);
  EXPECT_EQ(Count(top, WM_PARENTNOTIFY), 1);
}

// Windows stay alive (and keep their parent) during their destroy messages; a nested
// DestroyWindow from inside changes nothing.
TEST_F(Lifecycle, DestroyOrderParentsFirstForDestroyChildrenFirstForNcDestroy) {
  HWND top = Top(0, 0, 100, 100);
  HWND a = Child(top, 1, 0, 0, 10, 10);
  HWND a1 = Child(a, 11, 0, 0, 5, 5);
  HWND b = Child(top, 2, 20, 0, 10, 10);
  bool aliveAtParentDestroy = false, parentKnownAtNcDestroy = false;
  Handle([&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == top && msg == WM_DESTROY) aliveAtParentDestroy = IsWindow(a1) && GetParent(a) == top;
    if (h == a && msg == WM_NCDESTROY) parentKnownAtNcDestroy = GetParent(a) == top;
    if (msg == WM_DESTROY) DestroyWindow(h);
    return std::nullopt;
  });
  Clear();
  ASSERT_TRUE(DestroyWindow(top));
  Sequence expected{{top, WM_DESTROY},  {a, WM_DESTROY},   {a1, WM_DESTROY},  {b, WM_DESTROY},
                    {a1, WM_NCDESTROY}, {a, WM_NCDESTROY}, {b, WM_NCDESTROY}, {top, WM_NCDESTROY}};
  EXPECT_EQ(Pairs(Log({WM_DESTROY, WM_NCDESTROY})), expected);
  EXPECT_TRUE(aliveAtParentDestroy);
  EXPECT_TRUE(parentKnownAtNcDestroy);
  for (HWND h : {top, a, a1, b}) EXPECT_FALSE(IsWindow(h));
}

// Refused in WM_CREATE: destroyed with both destroy messages; in WM_NCCREATE: only WM_NCDESTROY.
TEST_F(Lifecycle, RefusedCreationDestroysAndReturnsNull) {
  using Msgs = std::vector<UINT>;
  for (auto [refusing, answer, heard] :
       {std::tuple{UINT{WM_CREATE}, LRESULT{-1}, Msgs{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}},
        {UINT{WM_NCCREATE}, LRESULT{FALSE}, Msgs{WM_NCCREATE, WM_NCDESTROY}}}) {
    HWND refused = nullptr;
    Handle([&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
      if (msg != refusing) return std::nullopt;
      refused = h;
      return answer;
    });
    EXPECT_EQ(Top(0, 0, 10, 10), nullptr);
    ASSERT_TRUE(refused);
    EXPECT_FALSE(IsWindow(refused));
    EXPECT_EQ(Log({}, refused).back().msg, UINT{WM_NCDESTROY});
    EXPECT_EQ(Ids(Log({WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}, refused)), heard);
  }
}

TEST_F(Lifecycle, StaleAndBadHandlesAndBadArgumentsFailCleanly) {
  HWND top = Top(0, 0, 10, 10);
  DestroyWindow(top);
  EXPECT_NE(Top(0, 0, 10, 10), top);  // may reuse the slot, never the value
  SetLastError(0);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(DestroyWindow(top));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(PostMessageA(top, WM_USER, 0, 0));
  EXPECT_FALSE(ShowWindow(reinterpret_cast<HWND>(static_cast<std::intptr_t>(12345)), SW_SHOW));
  // A child needs a parent; the class must exist.
  EXPECT_EQ(CreateWindowExA(0, kRecording, "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(Lifecycle, OwnedWindowsGoFirst) {
  HWND owner = Top(0, 0, 10, 10);
  HWND owned = CreateWindowExA(0, kRecording, "", WS_POPUP, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owned);
  EXPECT_EQ(GetAncestor(owned, GA_PARENT), nullptr);  // owned, not a child
  Clear();
  DestroyWindow(owner);
  EXPECT_EQ(Pairs(Log({WM_DESTROY})), (Sequence{{owned, WM_DESTROY}, {owner, WM_DESTROY}}));
}

TEST_F(Lifecycle, AnotherThreadIsRefused) {
  HWND w = Top(0, 0, 1, 1, 0);
  DWORD error = 0;
  BOOL posted = TRUE;
  HWND created = nullptr;
  std::thread other([&] {
    posted = PostMessageA(w, WM_USER, 0, 0);
    error = GetLastError();
    created = CreateWindowExA(0, kRecording, "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  });
  other.join();
  EXPECT_EQ(std::tuple(posted, error, created), std::tuple(FALSE, DWORD{ERROR_WINDOW_OF_OTHER_THREAD}, nullptr));
}

TEST(WindowClasses, RegistrationQueriesAndUnregistration) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.cbClsExtra = 8;
  wc.lpszClassName = "KelmiraClassA";
  ATOM atom = RegisterClassExA(&wc);
  ASSERT_NE(atom, 0);
  SetLastError(0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));
  WNDCLASSEXA info{};
  EXPECT_EQ(GetClassInfoExA(nullptr, "kelmiraclassa", &info), atom);  // any case

  HWND w = CreateWindowExA(0, MAKEINTATOM(atom), "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  SetLastError(0);
  EXPECT_EQ(GetClassLongPtrA(w, 4), 0u);  // 8 bytes cannot start at 4
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_FALSE(UnregisterClassA("KelmiraClassA", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("KelmiraClassA", nullptr));
  EXPECT_FALSE(GetClassInfoExA(nullptr, "KelmiraClassA", &info));
  wc.lpfnWndProc = nullptr;
  EXPECT_EQ(RegisterClassExA(&wc), 0);
}

}  // namespace
}  // namespace kelmira::test

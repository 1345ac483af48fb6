// Classes, creation and destruction: message order, refusal, stale handles.
#include "win_core_support.h"

namespace wincore {
namespace {

using Lifecycle = WindowTest;

TEST_F(Lifecycle, CreationSendsNcCreateCreateSizeMoveThenShowsWithTheArguments) {
  HWND top = Top(100, 50, 300, 200);
  ASSERT_TRUE(top);
  std::vector<UINT> msgs = Rec().MessagesFor(top);
  std::vector<UINT> firsts(msgs.begin(), msgs.begin() + 5);
  EXPECT_EQ(firsts, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
  EXPECT_TRUE(IsWindowVisible(top));
  EXPECT_EQ(Rec().events[2].lParam, MAKELPARAM(300, 200));

  CREATESTRUCTA seen{};
  int param = 7;
  Rec().handler = [&](HWND, UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_CREATE) seen = *reinterpret_cast<const CREATESTRUCTA*>(l);
    return std::nullopt;
  };
  HWND child = CreateWindowExA(WS_EX_CONTROLPARENT, "WinCoreTest", "c", WS_CHILD, 3, 4, 5, 6, top,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(42)), nullptr, &param);
  ASSERT_TRUE(child);
  EXPECT_EQ(seen.lpCreateParams, &param);
  EXPECT_EQ((std::vector<LONG>{seen.x, seen.y, seen.cx, seen.cy, seen.style, static_cast<LONG>(seen.dwExStyle)}),
            (std::vector<LONG>{3, 4, 5, 6, static_cast<LONG>(WS_CHILD), static_cast<LONG>(WS_EX_CONTROLPARENT)}));
  EXPECT_EQ(GetDlgItem(top, 42), child);
  EXPECT_EQ(Rec().Count(top, WM_PARENTNOTIFY), 1);
}

// Windows stay alive (and keep their parent) during their destroy messages; a nested
// DestroyWindow from inside changes nothing.
TEST_F(Lifecycle, DestroyOrderParentsFirstForDestroyChildrenFirstForNcDestroy) {
  HWND top = Top(0, 0, 100, 100);
  HWND a = Child(top, 1, 0, 0, 10, 10);
  HWND a1 = Child(a, 11, 0, 0, 5, 5);
  HWND b = Child(top, 2, 20, 0, 10, 10);
  bool aliveAtParentDestroy = false, parentKnownAtNcDestroy = false;
  Rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == top && msg == WM_DESTROY) aliveAtParentDestroy = IsWindow(a1) && GetParent(a) == top;
    if (h == a && msg == WM_NCDESTROY) parentKnownAtNcDestroy = GetParent(a) == top;
    if (msg == WM_DESTROY) DestroyWindow(h);
    return std::nullopt;
  };
  Clear();
  ASSERT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> expected{{top, WM_DESTROY}, {a, WM_DESTROY},    {a1, WM_DESTROY},
                                              {b, WM_DESTROY},   {a1, WM_NCDESTROY}, {a, WM_NCDESTROY},
                                              {b, WM_NCDESTROY}, {top, WM_NCDESTROY}};
  EXPECT_EQ(Rec().Sequence({WM_DESTROY, WM_NCDESTROY}), expected);
  EXPECT_TRUE(aliveAtParentDestroy);
  EXPECT_TRUE(parentKnownAtNcDestroy);
  for (HWND h : {top, a, a1, b}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(Lifecycle, RefusedCreationDestroysAndReturnsNull) {
  HWND refused = nullptr;
  Rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_CREATE) {
      refused = h;
      return -1;
    }
    return std::nullopt;
  };
  EXPECT_EQ(Top(0, 0, 10, 10), nullptr);
  ASSERT_TRUE(refused);
  EXPECT_FALSE(IsWindow(refused));
  EXPECT_EQ(Rec().MessagesFor(refused).back(), static_cast<UINT>(WM_NCDESTROY));
  EXPECT_EQ(Rec().Count(refused, WM_DESTROY), 1);

  Clear();
  Rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_NCCREATE) {
      refused = h;
      return FALSE;
    }
    return std::nullopt;
  };
  EXPECT_EQ(Top(0, 0, 10, 10), nullptr);
  EXPECT_EQ(Rec().MessagesFor(refused), (std::vector<UINT>{WM_NCCREATE, WM_NCDESTROY}));
}

TEST_F(Lifecycle, StaleAndBadHandlesAndBadArgumentsFailCleanly) {
  HWND top = Top(0, 0, 10, 10);
  DestroyWindow(top);
  HWND recycled = Top(0, 0, 10, 10);  // may reuse the slot, never the value
  EXPECT_NE(recycled, top);
  SetLastError(0);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(DestroyWindow(top));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_FALSE(PostMessageA(top, WM_USER, 0, 0));
  EXPECT_FALSE(ShowWindow(reinterpret_cast<HWND>(static_cast<std::intptr_t>(12345)), SW_SHOW));
  // A child needs a parent; the class must exist.
  EXPECT_EQ(CreateWindowExA(0, "WinCoreTest", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(Lifecycle, OwnedWindowsGoFirst) {
  HWND owner = Top(0, 0, 10, 10);
  HWND owned = CreateWindowExA(0, "WinCoreTest", "", WS_POPUP, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owned);
  EXPECT_EQ(GetAncestor(owned, GA_PARENT), nullptr);  // owned, not a child
  Clear();
  DestroyWindow(owner);
  auto order = Rec().Sequence({WM_DESTROY});
  ASSERT_EQ(order.size(), 2u);
  EXPECT_EQ(order[0].first, owned);
  EXPECT_FALSE(IsWindow(owned));
}

TEST(WinCoreClasses, RegistrationQueriesAndUnregistration) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = DefWindowProcA;
  wc.cbClsExtra = 8;
  wc.lpszClassName = "WinCoreClassA";
  ATOM atom = RegisterClassExA(&wc);
  ASSERT_NE(atom, 0);
  SetLastError(0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

  WNDCLASSEXA info{};
  EXPECT_EQ(GetClassInfoExA(nullptr, "wincoreclassa", &info), atom);  // any case

  HWND w = CreateWindowExA(0, MAKEINTATOM(atom), "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  SetLastError(0);
  EXPECT_EQ(GetClassLongPtrA(w, 4), 0u);  // 8 bytes cannot start at 4
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

  EXPECT_FALSE(UnregisterClassA("WinCoreClassA", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("WinCoreClassA", nullptr));
  EXPECT_FALSE(GetClassInfoExA(nullptr, "WinCoreClassA", &info));

  wc.lpfnWndProc = nullptr;
  EXPECT_EQ(RegisterClassExA(&wc), 0);
}

TEST(WinCoreThreads, AnotherThreadIsRefused) {
  wincore::RegisterTestClasses();
  HWND w = CreateWindowExA(0, "WinCoreTest", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  DWORD error = 0;
  BOOL posted = TRUE;
  HWND created = nullptr;
  std::thread other([&] {
    posted = PostMessageA(w, WM_USER, 0, 0);
    error = GetLastError();
    created = CreateWindowExA(0, "WinCoreTest", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  });
  other.join();
  EXPECT_FALSE(posted);
  EXPECT_EQ(error, static_cast<DWORD>(ERROR_WINDOW_OF_OTHER_THREAD));
  EXPECT_EQ(created, nullptr);
  DestroyWindow(w);
}

}  // namespace
}  // namespace wincore

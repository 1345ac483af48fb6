// Classes, creation and destruction: message order, refusal, stale handles.
#include "win_core_support.h"

namespace wincore {
namespace {

using Lifecycle = WindowTest;

TEST_F(Lifecycle, CreationSendsNcCreateCreateSizeMoveThenShows) {
  HWND top = Top(100, 50, 300, 200);
  ASSERT_TRUE(top);
  std::vector<UINT> msgs = Rec().MessagesFor(top);
  std::vector<UINT> firsts(msgs.begin(), msgs.begin() + 5);
  EXPECT_EQ(firsts, (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}));
  EXPECT_TRUE(IsWindowVisible(top));
  const Event& create = Rec().events[1];
  auto* cs = reinterpret_cast<const CREATESTRUCTA*>(create.lParam);
  (void)cs;  // only valid during the call; checked in the next test
  const Event& size = Rec().events[2];
  EXPECT_EQ(LOWORD(static_cast<std::uintptr_t>(size.lParam)), 300);
  EXPECT_EQ(HIWORD(static_cast<std::uintptr_t>(size.lParam)), 200);
  char title[16];
  EXPECT_EQ(GetWindowTextA(top, title, sizeof title), 3);
  EXPECT_STREQ(title, "top");
}

TEST_F(Lifecycle, CreateStructCarriesTheArguments) {
  CREATESTRUCTA seen{};
  int param = 7;
  Rec().handler = [&](HWND, UINT msg, WPARAM, LPARAM l) -> std::optional<LRESULT> {
    if (msg == WM_CREATE) seen = *reinterpret_cast<const CREATESTRUCTA*>(l);
    return std::nullopt;
  };
  HWND top = Top(1, 2, 30, 40, WS_OVERLAPPED);
  HWND child = CreateWindowExA(WS_EX_CONTROLPARENT, "WinCoreTest", "c", WS_CHILD, 3, 4, 5, 6, top,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(42)), nullptr, &param);
  ASSERT_TRUE(child);
  EXPECT_EQ(seen.lpCreateParams, &param);
  EXPECT_EQ(seen.hwndParent, top);
  EXPECT_EQ(seen.x, 3);
  EXPECT_EQ(seen.y, 4);
  EXPECT_EQ(seen.cx, 5);
  EXPECT_EQ(seen.cy, 6);
  EXPECT_EQ(static_cast<DWORD>(seen.style), WS_CHILD);
  EXPECT_EQ(seen.dwExStyle, WS_EX_CONTROLPARENT);
  EXPECT_STREQ(seen.lpszName, "c");
  EXPECT_EQ(GetDlgCtrlID(child), 42);
  EXPECT_EQ(GetDlgItem(top, 42), child);
  EXPECT_EQ(GetParent(child), top);
  EXPECT_EQ(Rec().Count(top, WM_PARENTNOTIFY), 1);
}

TEST_F(Lifecycle, DestroyOrderParentsFirstForDestroyChildrenFirstForNcDestroy) {
  HWND top = Top(0, 0, 100, 100);
  HWND a = Child(top, 1, 0, 0, 10, 10);
  HWND a1 = Child(a, 11, 0, 0, 5, 5);
  HWND b = Child(top, 2, 20, 0, 10, 10);
  Clear();
  ASSERT_TRUE(DestroyWindow(top));
  std::vector<std::pair<HWND, UINT>> order = Rec().Sequence({WM_DESTROY, WM_NCDESTROY});
  std::vector<std::pair<HWND, UINT>> expected{
      {top, WM_DESTROY},  {a, WM_DESTROY},    {a1, WM_DESTROY},     {b, WM_DESTROY},
      {a1, WM_NCDESTROY}, {a, WM_NCDESTROY},  {b, WM_NCDESTROY},    {top, WM_NCDESTROY}};
  EXPECT_EQ(order, expected);
  for (HWND h : {top, a, a1, b}) EXPECT_FALSE(IsWindow(h));
}

TEST_F(Lifecycle, WindowsAreAliveDuringTheirDestroyMessages) {
  HWND top = Top(0, 0, 100, 100);
  HWND child = Child(top, 1, 0, 0, 10, 10);
  bool childAliveAtParentDestroy = false;
  bool parentKnownAtChildNcDestroy = false;
  Rec().handler = [&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == top && msg == WM_DESTROY) childAliveAtParentDestroy = IsWindow(child) && GetParent(child) == top;
    if (h == child && msg == WM_NCDESTROY) parentKnownAtChildNcDestroy = GetParent(child) == top;
    if (msg == WM_DESTROY) DestroyWindow(h);  // again, from inside: nothing happens
    return std::nullopt;
  };
  EXPECT_TRUE(DestroyWindow(top));
  EXPECT_TRUE(childAliveAtParentDestroy);
  EXPECT_TRUE(parentKnownAtChildNcDestroy);
  EXPECT_EQ(Rec().Count(top, WM_DESTROY), 1);
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

TEST_F(Lifecycle, StaleAndBadHandlesFailCleanly) {
  HWND top = Top(0, 0, 10, 10);
  DestroyWindow(top);
  HWND recycled = Top(0, 0, 10, 10);  // may reuse the slot, never the value
  EXPECT_NE(recycled, top);
  SetLastError(0);
  EXPECT_FALSE(IsWindow(top));
  EXPECT_FALSE(DestroyWindow(top));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE));
  EXPECT_EQ(SendMessageA(top, WM_USER, 0, 0), 0);
  EXPECT_FALSE(PostMessageA(top, WM_USER, 0, 0));
  RECT r;
  EXPECT_FALSE(GetClientRect(top, &r));
  EXPECT_FALSE(SetWindowTextA(top, "x"));
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(static_cast<std::intptr_t>(0x7FFFFFFF))));
  EXPECT_FALSE(ShowWindow(reinterpret_cast<HWND>(static_cast<std::intptr_t>(12345)), SW_SHOW));
}

TEST_F(Lifecycle, ChildNeedsAParentAndClassMustExist) {
  SetLastError(0);
  EXPECT_EQ(CreateWindowExA(0, "WinCoreTest", "", WS_CHILD, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_TLW_WITH_WSCHILD));
  EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CANNOT_FIND_WND_CLASS));
}

TEST_F(Lifecycle, OwnedWindowsGoFirst) {
  HWND owner = Top(0, 0, 10, 10);
  HWND owned = CreateWindowExA(0, "WinCoreTest", "", WS_POPUP, 0, 0, 5, 5, owner, nullptr, nullptr, nullptr);
  ASSERT_TRUE(owned);
  EXPECT_EQ(GetWindow(owned, GW_OWNER), owner);
  EXPECT_EQ(GetParent(owned), owner);
  EXPECT_EQ(GetAncestor(owned, GA_PARENT), nullptr);
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
  wc.style = CS_DBLCLKS;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<std::intptr_t>(COLOR_WINDOW + 1));
  wc.cbClsExtra = 8;
  wc.lpszClassName = "WinCoreClassA";
  ATOM atom = RegisterClassExA(&wc);
  ASSERT_NE(atom, 0);
  SetLastError(0);
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

  WNDCLASSEXA info{};
  EXPECT_EQ(GetClassInfoExA(nullptr, "wincoreclassa", &info), atom);  // any case
  EXPECT_EQ(info.style, CS_DBLCLKS);
  EXPECT_EQ(info.hbrBackground, wc.hbrBackground);
  EXPECT_EQ(info.cbClsExtra, 8);
  EXPECT_TRUE(GetClassInfoExA(nullptr, MAKEINTATOM(atom), &info));

  HWND w = CreateWindowExA(0, MAKEINTATOM(atom), "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(w);
  char name[32];
  EXPECT_EQ(GetClassNameA(w, name, sizeof name), 13);
  EXPECT_STREQ(name, "WinCoreClassA");
  EXPECT_EQ(GetClassLongPtrA(w, GCL_STYLE), CS_DBLCLKS);
  SetClassLongPtrA(w, 0, 1234);
  EXPECT_EQ(GetClassLongPtrA(w, 0), 1234u);
  SetLastError(0);
  EXPECT_EQ(GetClassLongPtrA(w, 4), 0u);  // 8 bytes cannot start at 4
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));

  EXPECT_FALSE(UnregisterClassA("WinCoreClassA", nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_HAS_WINDOWS));
  DestroyWindow(w);
  EXPECT_TRUE(UnregisterClassA("WinCoreClassA", nullptr));
  EXPECT_FALSE(GetClassInfoExA(nullptr, "WinCoreClassA", &info));

  wc.cbSize = 0;
  EXPECT_EQ(RegisterClassExA(&wc), 0);
  wc.cbSize = sizeof wc;
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

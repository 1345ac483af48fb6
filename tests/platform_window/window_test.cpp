// Windows: classes, creation and destruction (message order, refusal, stale handles, other
// threads), styles, window data, subclassing, window text and finding windows; positions and
// sizes, visibility, the enabled state, the tree and coordinate mapping; the message queue:
// posting, retrieving, filtering, quitting, translating keys and the default procedure.
#include "support/canvas.h"
#include "support/last_error.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include <climits>
#include <cstring>
#include <stdexcept>
#include <thread>

namespace kelmira::test {
namespace {
using Window = WindowTest;
using Msgs = std::vector<UINT>;

TEST_F(Window, CreationSendsNcCreateCreateSizeMoveThenShowsWithTheArguments) {
  HWND top = Top(100, 50, 300, 200);
  EXPECT_EQ(std::pair(Ids(Log({WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}, top)),
                      Log({WM_SIZE}, top).at(0).lParam),
            std::pair(Msgs{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE, WM_SHOWWINDOW}, MAKELPARAM(300, 200)));

  CREATESTRUCTA seen{};
  int param = 7;
  On(WM_CREATE, [&](HWND, WPARAM, LPARAM l) { seen = *reinterpret_cast<const CREATESTRUCTA*>(l); });
  HWND child = CreateWindowExA(WS_EX_CONTROLPARENT, kRecording, "c", WS_CHILD, 3, 4, 5, 6, top,
                               reinterpret_cast<HMENU>(static_cast<std::intptr_t>(42)), nullptr, &param);
  EXPECT_EQ(std::tuple(seen.lpCreateParams, seen.x, seen.y, seen.cx, seen.cy, seen.style, seen.dwExStyle),
            std::tuple(static_cast<void*>(&param), 3, 4, 5, 6, LONG{WS_CHILD}, DWORD{WS_EX_CONTROLPARENT}));
  EXPECT_EQ(std::pair(GetDlgItem(top, 42), Count(top, WM_PARENTNOTIFY)), std::pair(child, 1));
}

// Owned windows go first; windows stay alive (and keep their parent) during their destroy
// messages; a nested DestroyWindow from inside changes nothing.
TEST_F(Window, DestroyOrderParentsFirstForDestroyChildrenFirstForNcDestroy) {
  HWND top = Top(0, 0, 100, 100), a = Child(top, 1, 0, 0, 10, 10), a1 = Child(a, 11, 0, 0, 5, 5);
  HWND b = Child(top, 2, 20, 0, 10, 10);
  HWND owned = CreateWindowExA(0, kRecording, "", WS_POPUP, 0, 0, 5, 5, top, nullptr, nullptr, nullptr);
  EXPECT_EQ(std::pair(GetAncestor(owned, GA_PARENT), GetWindow(owned, GW_OWNER)), std::pair(HWND{}, top));
  bool aliveAtParentDestroy = false, parentKnownAtNcDestroy = false;
  Handle([&](HWND h, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (h == top && msg == WM_DESTROY) aliveAtParentDestroy = IsWindow(a1) && GetParent(a) == top;
    if (h == a && msg == WM_NCDESTROY) parentKnownAtNcDestroy = GetParent(a) == top;
    if (msg == WM_DESTROY) DestroyWindow(h);
    return std::nullopt;
  });
  Clear();
  ASSERT_TRUE(DestroyWindow(top));
  Sequence expected{{owned, WM_DESTROY}, {owned, WM_NCDESTROY}, {top, WM_DESTROY},  {a, WM_DESTROY},
                    {a1, WM_DESTROY},    {b, WM_DESTROY},       {a1, WM_NCDESTROY}, {a, WM_NCDESTROY},
                    {b, WM_NCDESTROY},   {top, WM_NCDESTROY}};
  EXPECT_EQ(Pairs(Log({WM_DESTROY, WM_NCDESTROY})), expected);
  EXPECT_TRUE(aliveAtParentDestroy && parentKnownAtNcDestroy);
  for (HWND h : {top, a, a1, b, owned}) EXPECT_FALSE(IsWindow(h));
}

// Refused in WM_CREATE: destroyed with both destroy messages; in WM_NCCREATE: only WM_NCDESTROY.
TEST_F(Window, RefusedCreationDestroysAndReturnsNull) {
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
    EXPECT_EQ(Ids(Log({WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}, refused)), heard);
  }
}

// Stale and bad handles, a child without a parent, an unknown class, another thread.
TEST_F(Window, BadHandlesArgumentsAndThreadsFailCleanly) {
  HWND top = Top(0, 0, 10, 10);
  DestroyWindow(top);
  EXPECT_NE(Top(0, 0, 10, 10), top);  // may reuse the slot, never the value
  EXPECT_FALSE(IsWindow(top) || PostMessageA(top, WM_USER, 0, 0) ||
               ShowWindow(reinterpret_cast<HWND>(static_cast<std::intptr_t>(12345)), SW_SHOW));
  // A child needs a parent; the class must exist.
  auto made = [](const char* cls, DWORD style) {
    return CreateWindowExA(0, cls, "", style, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr) != nullptr;
  };
  EXPECT_EQ((std::vector<DWORD>{LastErrorOf([&] { return DestroyWindow(top); }),
                                LastErrorOf([&] { return made(kRecording, WS_CHILD); }),
                                LastErrorOf([&] { return made("NoSuchClass", 0); })}),
            (std::vector<DWORD>{ERROR_INVALID_WINDOW_HANDLE, ERROR_TLW_WITH_WSCHILD, ERROR_CANNOT_FIND_WND_CLASS}));

  HWND w = Top(0, 0, 1, 1, 0);
  std::tuple<BOOL, DWORD, bool> seen;  // braces: evaluated in order
  std::thread([&] { seen = {PostMessageA(w, WM_USER, 0, 0), GetLastError(), made(kRecording, 0)}; }).join();
  EXPECT_EQ(seen, std::tuple(FALSE, DWORD{ERROR_WINDOW_OF_OTHER_THREAD}, false));
}

TEST(WindowClasses, RegistrationQueriesAndUnregistration) {
  WNDCLASSEXA wc{sizeof wc, 0,       DefWindowProcA,  8,      0, nullptr, nullptr, nullptr,
                 nullptr,   nullptr, "KelmiraClassA", nullptr};
  const ATOM atom = RegisterClassExA(&wc);
  HWND w = CreateWindowExA(0, MAKEINTATOM(atom), "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(atom && w);
  WNDCLASSEXA info{};
  EXPECT_EQ(GetClassInfoExA(nullptr, "kelmiraclassa", &info), atom);  // any case
  // 8 class bytes cannot be read as a value starting at 4.
  EXPECT_EQ((std::vector<DWORD>{LastErrorOf([&] { return RegisterClassExA(&wc); }),
                                LastErrorOf([&] { return GetClassLongPtrA(w, 4); }),
                                LastErrorOf([&] { return UnregisterClassA("KelmiraClassA", nullptr); })}),
            (std::vector<DWORD>{ERROR_CLASS_ALREADY_EXISTS, ERROR_INVALID_INDEX, ERROR_CLASS_HAS_WINDOWS}));
  wc.lpfnWndProc = nullptr;  // refused
  EXPECT_EQ((std::tuple{DestroyWindow(w), UnregisterClassA("KelmiraClassA", nullptr),
                        GetClassInfoExA(nullptr, "KelmiraClassA", &info), RegisterClassExA(&wc)}),
            std::tuple(TRUE, TRUE, FALSE, ATOM{0}));
}

LRESULT CALLBACK Subclass(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_USER + 1) return 100;
  auto previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return CallWindowProcA(previous, hwnd, msg, wParam, lParam) + (msg == WM_USER + 2);
}

// Style changes are announced and may be adjusted.
TEST_F(Window, WindowLongsAndSubclassing) {
  HWND w = Top(0, 0, 50, 50, WS_OVERLAPPED);
  STYLESTRUCT changing{}, changed{};
  WPARAM which = 0;
  Handle([&](HWND, UINT msg, WPARAM wp, LPARAM lp) -> std::optional<LRESULT> {
    auto* ss = reinterpret_cast<STYLESTRUCT*>(lp);
    if (msg == WM_STYLECHANGING) {
      changing = *ss, which = wp;
      ss->styleNew |= WS_TABSTOP;  // the window insists on a tab stop
    }
    if (msg == WM_STYLECHANGED) changed = *ss;
    return std::nullopt;
  });
  SetWindowLongPtrA(w, GWL_STYLE, WS_OVERLAPPED | WS_CLIPCHILDREN);
  EXPECT_EQ(std::tuple(which, changing.styleOld, changing.styleNew, changed.styleNew, GetWindowLongPtrA(w, GWL_STYLE)),
            std::tuple(WPARAM(GWL_STYLE), DWORD{WS_OVERLAPPED}, DWORD{WS_CLIPCHILDREN},
                       DWORD{WS_CLIPCHILDREN | WS_TABSTOP}, LONG_PTR{WS_CLIPCHILDREN | WS_TABSTOP}));
  // The high bit of a style survives the 32-bit setter.
  SetWindowLongA(w, GWL_STYLE, static_cast<LONG>(WS_POPUP));
  EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(w, GWL_STYLE)), WS_POPUP | WS_TABSTOP);

  // Extra bytes, the id, and bad indices.
  HWND child = Child(w, 5, 0, 0, 10, 10);
  SetLastError(5);  // a successful call returning 0 clears the error
  EXPECT_EQ((std::pair{SetWindowLongPtrA(child, GWLP_USERDATA, 0x1234), GetLastError()}), std::pair(LONG_PTR{0}, 0u));
  SetWindowLongPtrA(child, GWLP_ID, 9);
  SetWindowLongPtrA(child, 8, -77);  // cbWndExtra is 16: the last 8-byte slot
  EXPECT_EQ((std::tuple{GetDlgCtrlID(child), GetWindowLongPtrA(child, 8), GetWindowLongPtrA(child, 9)}),
            std::tuple(9, LONG_PTR{-77}, LONG_PTR{0}));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_INDEX));
  EXPECT_EQ(LastErrorOf([&] { return SetWindowLongPtrA(child, -1000, 1); }), DWORD{ERROR_INVALID_INDEX});

  // Subclassing through the window procedure.
  Clear();
  Handle([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER + 2) return 41;
    return std::nullopt;
  });
  LONG_PTR original = SetWindowLongPtrA(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Subclass));
  SetWindowLongPtrA(w, GWLP_USERDATA, original);
  EXPECT_EQ(std::pair(SendMessageA(w, WM_USER + 1, 0, 0), SendMessageA(w, WM_USER + 2, 0, 0)),
            std::pair(LRESULT{100}, LRESULT{42}));
  EXPECT_EQ(Ids(Log({WM_USER + 1, WM_USER + 2})), Msgs{WM_USER + 2});  // the subclass kept the first
  // Dispatched messages reach the subclass too.
  PostMessageA(w, WM_USER + 1, 0, 0);
  MSG m{};
  // A null procedure is refused.
  EXPECT_EQ((std::tuple{PeekMessageA(&m, w, WM_USER, WM_USER + 10, PM_REMOVE), DispatchMessageA(&m),
                        SetWindowLongPtrA(w, GWLP_WNDPROC, 0)}),
            std::tuple(TRUE, LRESULT{100}, LONG_PTR{0}));
}

// Window text goes through messages; windows are found by class (in any case) and title.
TEST_F(Window, WindowTextAndFindingWindows) {
  HWND w = Top(0, 0, 10, 10, WS_OVERLAPPED), child = Child(w, 3, 0, 0, 1, 1);
  Clear();
  char buf[6];
  // Truncated and terminated.
  EXPECT_EQ((std::tuple{SetWindowTextA(w, "Hello, world"), GetWindowTextA(w, buf, sizeof buf), std::string(buf),
                        Ids(Log({WM_SETTEXT, WM_GETTEXT}, w)), GetWindowTextA(w, buf, 0)}),
            std::tuple(TRUE, 5, "Hello", Msgs{WM_SETTEXT, WM_GETTEXT}, 0));

  // A window that answers WM_GETTEXT itself; an answer that fills the buffer is cut for the terminator.
  Handle([](HWND, UINT msg, WPARAM cap, LPARAM lp) -> std::optional<LRESULT> {
    if (msg != WM_GETTEXT) return std::nullopt;
    std::strncpy(reinterpret_cast<char*>(lp), "own", cap);
    return 3;
  });
  EXPECT_EQ((std::tuple{GetWindowTextA(w, buf, 3), std::string(buf)}), std::tuple(2, "ow"));
  Handle(nullptr);
  EXPECT_EQ((std::tuple{SetDlgItemTextA(w, 3, "item"), SendMessageA(child, WM_GETTEXTLENGTH, 0, 0),
                        SetDlgItemTextA(w, 4, "none")}),
            std::tuple(TRUE, LRESULT{4}, FALSE));

  HWND b = Top(0, 0, 10, 10, WS_OVERLAPPED, kBare);
  SetWindowTextA(b, "beta");
  EXPECT_EQ(std::tuple(FindWindowA("kelmirarecording", "Hello, world"), FindWindowA(nullptr, "beta"),
                       FindWindowA(kBare, nullptr), FindWindowA(kRecording, "beta")),
            std::tuple(w, b, b, HWND{}));
}

using Position = WindowTest;

TEST_F(Position, MoveWindowSendsPositionMessagesWithTheNewClientSize) {
  HWND top = Top(0, 0, 200, 200), child = Child(top, 1, 10, 10, 50, 40);
  Clear();
  ASSERT_TRUE(MoveWindow(child, 20, 30, 80, 60, TRUE));
  // The parent is at the screen origin.
  EXPECT_EQ(std::tuple(Ids(Log({}, child)), Log().back().lParam, Screen(child)),
            std::tuple(Msgs{WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE}, MAKELPARAM(80, 60),
                       Edges{20, 30, 100, 90}));

  Clear();
  SetWindowPos(child, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  SetWindowPos(child, nullptr, 0, 0, 10, 10, SWP_NOMOVE | SWP_NOZORDER);
  // Negative sizes become empty.
  EXPECT_EQ((std::tuple{Pairs(Log({WM_MOVE, WM_SIZE})), Screen(child), MoveWindow(child, 0, 0, -5, -5, FALSE),
                        Client(child)}),
            std::tuple(Sequence{{child, WM_MOVE}, {child, WM_SIZE}}, Edges{5, 5, 15, 15}, TRUE, Edges{0, 0, 0, 0}));
  SIZE seen{-1, -1};  // already in what WM_WINDOWPOSCHANGING is handed
  On(WM_WINDOWPOSCHANGING, [&](HWND, WPARAM, LPARAM lp) {
    seen = {reinterpret_cast<WINDOWPOS*>(lp)->cx, reinterpret_cast<WINDOWPOS*>(lp)->cy};
  });
  SetWindowPos(child, nullptr, 0, 0, -3, -4, SWP_NOMOVE);
  EXPECT_TRUE(seen.cx == 0 && seen.cy == 0) << seen.cx << "," << seen.cy;

  // WM_WINDOWPOSCHANGING may alter the position.
  On(WM_WINDOWPOSCHANGING, [](HWND, WPARAM, LPARAM lp) { reinterpret_cast<WINDOWPOS*>(lp)->cx = 77; });
  MoveWindow(top, 0, 0, 150, 150, TRUE);
  EXPECT_EQ(Client(top)[2], 77);

  // The axis layout guard: a window that adjusts its own size from WM_SIZE gets the nested WM_SIZE
  // while the outer handler is still running, and the outer one then sees the final size.
  int depth = 0;
  std::vector<std::pair<int, int>> sizes;  // (depth, width)
  LONG afterNested = 0;
  On(WM_SIZE, [&](HWND, WPARAM, LPARAM lp) {
    sizes.emplace_back(++depth, LOWORD(lp));
    if (depth == 1 && LOWORD(lp) != 120) MoveWindow(child, 0, 0, 120, 40, TRUE), afterNested = Client(child)[2];
    --depth;
  });
  MoveWindow(child, 0, 0, 90, 40, TRUE);
  EXPECT_EQ(std::pair(sizes, afterNested), std::pair(std::vector<std::pair<int, int>>{{1, 90}, {2, 120}}, LONG{120}));
}

TEST_F(Position, VisibilityFollowsAncestorsAndStateChangesAreAnnouncedOnce) {
  HWND top = Top(0, 0, 100, 100, WS_OVERLAPPED), child = Child(top, 1, 0, 0, 10, 10);
  EXPECT_FALSE(IsWindowVisible(child));  // WS_VISIBLE, but the parent is hidden
  Clear();
  ShowWindow(top, SW_SHOWNORMAL);
  EXPECT_TRUE(IsWindowVisible(child));
  ShowWindow(top, SW_SHOWNA);  // already visible: no message
  EXPECT_FALSE(ShowWindow(top, 99));
  EnableWindow(top, FALSE);
  EnableWindow(top, FALSE);  // already disabled: no message
  EnableWindow(top, TRUE);
  EXPECT_EQ(Log({WM_SHOWWINDOW, WM_ENABLE}),
            (std::vector<Sent>{{top, WM_SHOWWINDOW, TRUE, 0}, {top, WM_ENABLE, FALSE, 0}, {top, WM_ENABLE, TRUE, 0}}));
}

TEST_F(Position, TreeNavigationAndZOrder) {
  HWND top = Top(0, 0, 100, 100), a = Child(top, 1, 0, 0, 10, 10), b = Child(top, 2, 0, 0, 10, 10);
  HWND c = Child(top, 3, 0, 0, 10, 10), grand = Child(b, 4, 0, 0, 5, 5);
  EXPECT_EQ(GetWindow(c, GW_HWNDPREV), b);  // creation order
  EXPECT_EQ(std::pair(IsChild(top, grand), IsChild(a, grand)), std::pair(TRUE, FALSE));
  EXPECT_EQ((std::tuple{SetWindowPos(c, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE), GetWindow(top, GW_CHILD),
                        SetWindowPos(c, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE), GetWindow(a, GW_HWNDLAST)}),
            std::tuple(TRUE, c, TRUE, c));
  SetWindowPos(c, a, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);  // right below a
  std::vector<HWND> seen;
  auto collect = [](HWND h, LPARAM p) { return reinterpret_cast<std::vector<HWND>*>(p)->push_back(h), TRUE; };
  EnumChildWindows(top, collect, reinterpret_cast<LPARAM>(&seen));
  EXPECT_EQ(seen, (std::vector<HWND>{a, c, b, grand}));

  HWND other = Top(300, 300, 50, 50);
  // Into its own subtree: refused.
  EXPECT_EQ((std::tuple{SetParent(b, other), GetAncestor(grand, GA_ROOT),
                        LastErrorOf([&] { return SetParent(other, grand); })}),
            std::tuple(top, other, DWORD{ERROR_INVALID_PARAMETER}));
}

TEST_F(Position, CoordinateMappingAndTheDefaultProcedure) {
  HWND top = Top(100, 200, 400, 300), child = Child(top, 1, 10, 20, 200, 100), grand = Child(child, 2, 5, 6, 50, 50);
  POINT p{1, 2}, q{1, 2};
  ClientToScreen(grand, &p);
  ClientToScreen(grand, &q);
  ScreenToClient(child, &q);
  EXPECT_EQ(std::tuple(p.x, p.y, q.x, q.y), std::tuple(116, 228, 6, 8));
  POINT pts[2] = {{0, 0}, {3, 4}};
  EXPECT_EQ((std::tuple{MapWindowPoints(grand, top, pts, 2), pts[1].x, pts[1].y}),
            std::tuple(MAKELONG(15, 26), 18, 30));
  RECT r{0, 0, 10, 10};
  MapWindowPoints(grand, nullptr, reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(E(r), (Edges{115, 226, 125, 236}));

  EXPECT_EQ(std::tuple(WindowFromPoint(POINT{120, 230}), ChildWindowFromPoint(top, POINT{16, 27}),
                       ChildWindowFromPoint(top, POINT{300, 250}), ChildWindowFromPoint(top, POINT{-1, 0}),
                       WindowFromPoint(POINT{5000, 5000})),
            std::tuple(grand, child, top, HWND{}, HWND{}));

  // The default procedure hit tests in screen coordinates and destroys on WM_CLOSE; an exception
  // from a window procedure stays inside SendMessageA.
  Handle([](HWND, UINT msg, WPARAM, LPARAM) -> std::optional<LRESULT> {
    if (msg == WM_USER) throw std::runtime_error("boom");
    return std::nullopt;
  });
  EXPECT_EQ(SendMessageA(child, WM_USER, 0, 0), 0);
  Handle(nullptr);
  EXPECT_EQ(std::pair(SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(115, 225)),
                      SendMessageA(child, WM_NCHITTEST, 0, MAKELPARAM(105, 225))),
            std::pair(LRESULT{HTCLIENT}, LRESULT{HTNOWHERE}));
  SendMessageA(top, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(top) || IsWindow(child));
}

TEST_F(Position, ExtremeGeometryIsClampedAndDrawsSafely) {
  HWND top = Top(0, 0, 10, 10), child = Child(top, 1, 0, 0, 5, 5);
  MoveWindow(child, INT_MAX, INT_MIN + 1, INT_MAX, INT_MAX, TRUE);
  EXPECT_EQ(Screen(child), (Edges{1000000, -1000000, 2000000, 0}));
  MoveWindow(top, 0, 0, 50000, 10, TRUE);  // wider than a backing surface may be
  Pump();
  Fill(top, RECT{0, 0, 50000, 10}, kBlack);
  COLORREF c;
  EXPECT_EQ(std::pair(WindowPixel(top, 16383, 9), KelmiraGetWindowPixel(top, 20000, 0, &c)),
            std::pair(kBlack, E_INVALIDARG));
  MoveWindow(top, 0, 0, 10, 10, TRUE);
  EXPECT_EQ(WindowPixel(top, 9, 9), kBlack);
}

using Queue = WindowTest;

TEST_F(Queue, PostedMessagesComeBackInOrderWithFiltersAndQuitLastAndTranslatedKeysFirst) {
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
  // clang-format off
  EXPECT_EQ(got, (std::vector<Sent>{{b, WM_USER + 2, 0, 1}, {nullptr, WM_APP, 5, 1}, {a, WM_USER + 1, 1, 1},
                                    {b, WM_USER + 2, 0, 1}, {a, WM_USER, 0, 1}, {nullptr, WM_QUIT, 3, 0}}));
  // clang-format on
  SetLastError(0);
  EXPECT_EQ((std::tuple{PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE), GetMessageA(&m, nullptr, 0, 0), GetLastError(),
                        GetMessageA(nullptr, nullptr, 0, 0)}),
            std::tuple(FALSE, -1, DWORD{ERROR_TIMEOUT}, -1));

  // TranslateMessage makes characters from keys, ahead of what is already waiting.
  MSG key{a, WM_KEYDOWN, 'A', 1, 0, {0, 0}};
  PostMessageA(a, WM_USER, 0, 0);
  EXPECT_TRUE(TranslateMessage(&key));
  for (WPARAM vk : {WPARAM{VK_OEM_COMMA}, WPARAM{VK_SHIFT}}) {  // shift makes no character
    key.wParam = vk;
    TranslateMessage(&key);
  }
  got.clear();
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) got.push_back({m.hwnd, m.message, m.wParam, m.lParam});
  EXPECT_EQ(got, (std::vector<Sent>{{a, WM_CHAR, ',', 1}, {a, WM_CHAR, 'a', 1}, {a, WM_USER, 0, 0}}));
}

}  // namespace
}  // namespace kelmira::test

// Creating and destroying windows.
#include "window/backend.h"
#include "window/message_queue.h"
#include "window/window_dc.h"
#include "window/window_table.h"

#include <kelmira/platform/guarded.h>
#include <kelmira/platform/oleauto.h>

#include <algorithm>

namespace kelmira::window {

LRESULT CallProcedure(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (!proc) return 0;
  LRESULT result = 0;  // a procedure that throws answers 0
  (void)Guarded([&] { result = proc(hwnd, msg, wParam, lParam); });
  return result;
}

}  // namespace kelmira::window

using namespace kelmira::window;

namespace {

constexpr int kDefaultX = 40;
constexpr int kDefaultY = 40;
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

RECT InitialRect(bool child, int x, int y, int cx, int cy) {
  if (x == CW_USEDEFAULT) {
    x = child ? 0 : kDefaultX;
    y = child ? 0 : kDefaultY;
  }
  if (cx == CW_USEDEFAULT) {
    cx = child ? 0 : kDefaultWidth;
    cy = child ? 0 : kDefaultHeight;
  }
  return MakeWindowRect(x, y, cx, cy);
}

// Tells the ancestors of a child about its creation or destruction, up to the first that asks
// not to pass it on.
void NotifyParents(Window& child, UINT event) {
  if (child.exStyle & WS_EX_NOPARENTNOTIFY) return;
  WPARAM wParam = MAKEWPARAM(static_cast<WORD>(event), static_cast<WORD>(child.id));
  LPARAM lParam = reinterpret_cast<LPARAM>(child.handle);
  HWND next = child.parent ? child.parent->handle : nullptr;
  while (next) {
    SendMessageA(next, WM_PARENTNOTIFY, wParam, lParam);
    Window* at = FindWindowObject(next);
    if (!at || !at->parent || (at->exStyle & WS_EX_NOPARENTNOTIFY)) break;
    next = at->parent->handle;
  }
}

void Unlink(Window& w) {
  std::vector<Window*>& siblings = SiblingsOf(w);
  std::erase(siblings, &w);
}

// Frees w and whatever children are left (normally none: they went first).
void FreeNow(Window& w) {
  while (!w.children.empty()) FreeNow(*w.children.front());
  Unlink(w);
  if (!w.parent) CurrentBackend().WindowDestroyed(w);
  WindowFreed(w);
  DropMessagesFor(w.handle);
  if (w.cls && w.cls->liveWindows > 0) --w.cls->liveWindows;
  FreeWindow(w.handle);
}

void MarkDestroying(Window& w) {
  w.destroying = true;
  for (const WindowListener& l : WindowListeners())
    if (l.destroying) l.destroying(w);
  std::vector<HWND> children;
  for (Window* c : w.children) children.push_back(c->handle);
  for (HWND c : children)
    if (Window* child = FindWindowObject(c)) MarkDestroying(*child);
}

void HideForDestroy(Window& w) {
  if (!(w.style & WS_VISIBLE)) return;
  bool wasShowing = IsVisibleChain(w);
  w.style &= ~WS_VISIBLE;
  if (!w.parent) {
    CurrentBackend().WindowHidden(w);
    return;
  }
  if (wasShowing && !w.parent->destroying) Invalidate(*w.parent, &w.rect, true);
}

void SendDestroy(HWND hwnd) {
  SendMessageA(hwnd, WM_DESTROY, 0, 0);
  Window* w = FindWindowObject(hwnd);
  if (!w) return;
  std::vector<HWND> children;
  for (Window* c : w->children) children.push_back(c->handle);
  for (HWND c : children) SendDestroy(c);
}

void SendNcDestroy(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w) return;
  std::vector<HWND> children;
  for (Window* c : w->children) children.push_back(c->handle);
  for (HWND c : children) SendNcDestroy(c);
  SendMessageA(hwnd, WM_NCDESTROY, 0, 0);
  if (Window* again = FindWindowObject(hwnd)) FreeNow(*again);
}

void DestroyOwnedWindows(HWND owner) {
  std::vector<HWND> owned;
  for (Window* t : TopLevelWindows())
    if (t->owner == owner) owned.push_back(t->handle);
  for (HWND h : owned) DestroyWindow(h);
}

// Creation was refused by WM_NCCREATE: the window only hears WM_NCDESTROY.
void AbandonCreation(HWND hwnd) {
  Window* w = FindWindowObject(hwnd);
  if (!w || w->destroying) return;
  MarkDestroying(*w);
  SendNcDestroy(hwnd);
}

struct CreateTarget {
  Window* parent = nullptr;
  HWND owner = nullptr;
};

bool ResolveParent(HWND hWndParent, DWORD style, CreateTarget* target) {
  if (!hWndParent || hWndParent == HWND_MESSAGE) {
    if (style & WS_CHILD) return Fail(ERROR_TLW_WITH_WSCHILD, false);
    return true;
  }
  Window* p = LookupWindow(hWndParent);
  if (!p) return false;
  if (p->destroying) return Fail(ERROR_INVALID_WINDOW_HANDLE, false);
  if (style & WS_CHILD)
    target->parent = p;
  else
    target->owner = TopLevelOf(*p).handle;
  return true;
}

Window* NewWindow(WindowClass* cls, const CreateTarget& target, DWORD exStyle, DWORD style, RECT rect, HMENU hMenu,
                  HINSTANCE instance) {
  auto w = std::make_unique<Window>();
  w->cls = cls;
  w->proc = cls->proc;
  w->instance = instance;
  w->style = style & ~WS_VISIBLE;  // shown once created
  w->exStyle = exStyle;
  w->id = target.parent ? reinterpret_cast<LONG_PTR>(hMenu) : 0;
  w->extra.assign(static_cast<std::size_t>(cls->windowExtraBytes), 0);
  w->rect = rect;
  w->parent = target.parent;
  w->owner = target.owner;
  if (!target.parent) {
    w->backing = std::make_unique<BackingSurface>();
    ResizeBacking(*w);
  }
  HWND hwnd = AddWindow(std::move(w));
  if (!hwnd) return Fail(ERROR_NOT_ENOUGH_MEMORY, nullptr);
  Window* win = FindWindowObject(hwnd);
  ++cls->liveWindows;
  if (target.parent)
    target.parent->children.push_back(win);
  else
    TopLevelWindows().insert(TopLevelWindows().begin(), win);
  return win;
}

}  // namespace

HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X, int Y, int nWidth,
                     int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance, LPVOID lpParam) {
  if (!CheckWindowThread(true)) return nullptr;
  if (!lpClassName) return Fail(ERROR_INVALID_PARAMETER, HWND{});
  WindowClass* cls = FindClass(lpClassName);
  if (!cls) return Fail(ERROR_CANNOT_FIND_WND_CLASS, HWND{});
  if (hWndParent == HWND_MESSAGE) dwStyle &= ~(WS_VISIBLE | WS_CHILD);
  CreateTarget target;
  if (!ResolveParent(hWndParent, dwStyle, &target)) return nullptr;
  RECT rect = InitialRect(target.parent != nullptr, X, Y, nWidth, nHeight);
  Window* w = NewWindow(cls, target, dwExStyle, dwStyle, rect, hMenu, hInstance);
  if (!w) return nullptr;
  HWND hwnd = w->handle;

  CREATESTRUCTA cs{lpParam,      hInstance,    hMenu,
                   hWndParent,   Height(rect), Width(rect),
                   rect.top,     rect.left,    static_cast<LONG>(dwStyle),
                   lpWindowName, lpClassName,  dwExStyle};
  if (!SendMessageA(hwnd, WM_NCCREATE, 0, reinterpret_cast<LPARAM>(&cs))) {
    AbandonCreation(hwnd);
    return nullptr;
  }
  if (!FindWindowObject(hwnd)) return nullptr;
  if (SendMessageA(hwnd, WM_CREATE, 0, reinterpret_cast<LPARAM>(&cs)) == -1) {
    DestroyWindow(hwnd);
    return nullptr;
  }
  w = FindWindowObject(hwnd);
  if (!w || w->destroying) return nullptr;
  SendMessageA(hwnd, WM_SIZE, SIZE_RESTORED,
               MAKELPARAM(static_cast<WORD>(Width(w->rect)), static_cast<WORD>(Height(w->rect))));
  if ((w = FindWindowObject(hwnd)) == nullptr) return nullptr;
  SendMessageA(hwnd, WM_MOVE, 0, MAKELPARAM(static_cast<WORD>(w->rect.left), static_cast<WORD>(w->rect.top)));
  if ((w = FindWindowObject(hwnd)) == nullptr) return nullptr;
  if (w->parent) NotifyParents(*w, WM_CREATE);
  if ((w = FindWindowObject(hwnd)) == nullptr) return nullptr;
  w->creating = false;
  if (dwStyle & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
  return FindWindowObject(hwnd) ? hwnd : nullptr;
}

BOOL DestroyWindow(HWND hWnd) {
  Window* w = LookupWindow(hWnd);
  if (!w) return FALSE;
  if (w->destroying) return TRUE;
  DestroyOwnedWindows(hWnd);
  w = FindWindowObject(hWnd);
  if (!w || w->destroying) return TRUE;
  MarkDestroying(*w);
  if ((w = FindWindowObject(hWnd)) == nullptr) return TRUE;
  HideForDestroy(*w);
  if (w->parent) NotifyParents(*w, WM_DESTROY);
  SendDestroy(hWnd);
  SendNcDestroy(hWnd);
  return TRUE;
}

BOOL IsWindow(HWND hWnd) { return FindWindowObject(hWnd) ? TRUE : FALSE; }

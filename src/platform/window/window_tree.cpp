// The parent/child tree: walking it, re-parenting and searching it.
#include "window/backend.h"
#include "window/message_queue.h"
#include "window/window_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <cctype>
#include <cstring>

using namespace kelmira::window;

namespace {

template <class T>
T Fail(LONG error, T value) {
  SetLastError(static_cast<DWORD>(error));
  return value;
}

HWND HandleOf(const Window* w) { return w ? w->handle : nullptr; }

HWND Neighbour(Window& w, UINT cmd) {
  std::vector<Window*>& siblings = SiblingsOf(w);
  if (siblings.empty()) return nullptr;
  auto it = std::find(siblings.begin(), siblings.end(), &w);
  switch (cmd) {
    case GW_HWNDFIRST: return siblings.front()->handle;
    case GW_HWNDLAST: return siblings.back()->handle;
    case GW_HWNDNEXT: return (it == siblings.end() || it + 1 == siblings.end()) ? nullptr : (*(it + 1))->handle;
    case GW_HWNDPREV: return (it == siblings.end() || it == siblings.begin()) ? nullptr : (*(it - 1))->handle;
    default: return nullptr;
  }
}

bool EnumTree(Window& w, WNDENUMPROC proc, LPARAM lParam) {
  std::vector<HWND> children;
  for (Window* c : w.children) children.push_back(c->handle);
  for (HWND c : children) {
    if (!FindWindowObject(c)) continue;
    if (!proc(c, lParam)) return false;
    Window* child = FindWindowObject(c);
    if (child && !EnumTree(*child, proc, lParam)) return false;
  }
  return true;
}

bool SameText(const std::string& a, const char* b, bool ignoreCase) {
  if (a.size() != std::strlen(b)) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (ignoreCase) {
      x = static_cast<char>(std::tolower(static_cast<unsigned char>(x)));
      y = static_cast<char>(std::tolower(static_cast<unsigned char>(y)));
    }
    if (x != y) return false;
  }
  return true;
}

// Moves w out of its sibling list into new parent's (null: the top-level list), on top.
void Relink(Window& w, Window* newParent) {
  std::erase(SiblingsOf(w), &w);
  bool wasTop = w.parent == nullptr;
  w.parent = newParent;
  if (newParent)
    newParent->children.insert(newParent->children.begin(), &w);
  else
    TopLevelWindows().insert(TopLevelWindows().begin(), &w);
  if (wasTop && newParent) {
    CurrentBackend().WindowDestroyed(w);
    w.backing.reset();
    w.owner = nullptr;
  } else if (!wasTop && !newParent) {
    w.backing = std::make_unique<BackingSurface>();
    ResizeBacking(w);
  }
}

}  // namespace

HWND GetParent(HWND hWnd) {
  Window* w = LookupWindow(hWnd);
  if (!w) return nullptr;
  return w->parent ? w->parent->handle : w->owner;
}

HWND SetParent(HWND hWndChild, HWND hWndNewParent) {
  Window* w = LookupWindow(hWndChild);
  if (!w) return nullptr;
  Window* p = nullptr;
  if (hWndNewParent) {
    p = LookupWindow(hWndNewParent);
    if (!p) return nullptr;
    if (p == w || IsDescendantOf(*p, *w) || p->destroying) return Fail(ERROR_INVALID_PARAMETER, HWND{});
  }
  HWND old = HandleOf(w->parent);
  if (w->parent == p) return old;
  bool wasShowing = IsVisibleChain(*w);
  if (w->parent && wasShowing)
    Invalidate(*w->parent, &w->rect, true);
  else if (!w->parent && wasShowing)
    CurrentBackend().WindowHidden(*w);
  Relink(*w, p);
  if (IsVisibleChain(*w)) {
    if (!w->parent) CurrentBackend().WindowShown(*w);
    InvalidateTree(*w);
  }
  return old;
}

HWND GetWindow(HWND hWnd, UINT uCmd) {
  Window* w = LookupWindow(hWnd);
  if (!w) return nullptr;
  switch (uCmd) {
    case GW_CHILD: return w->children.empty() ? nullptr : w->children.front()->handle;
    case GW_OWNER: return w->parent ? nullptr : w->owner;
    case GW_HWNDFIRST:
    case GW_HWNDLAST:
    case GW_HWNDNEXT:
    case GW_HWNDPREV: return Neighbour(*w, uCmd);
    case GW_ENABLEDPOPUP: return nullptr;
    default: return Fail(ERROR_INVALID_PARAMETER, HWND{});
  }
}

HWND GetTopWindow(HWND hWnd) {
  if (!hWnd) {
    if (!CheckWindowThread()) return nullptr;
    return TopLevelWindows().empty() ? nullptr : TopLevelWindows().front()->handle;
  }
  return GetWindow(hWnd, GW_CHILD);
}

HWND GetAncestor(HWND hwnd, UINT gaFlags) {
  Window* w = LookupWindow(hwnd);
  if (!w) return nullptr;
  switch (gaFlags) {
    case GA_PARENT: return HandleOf(w->parent);
    case GA_ROOT: return TopLevelOf(*w).handle;
    case GA_ROOTOWNER: {
      Window* root = &TopLevelOf(*w);
      for (int guard = 0; root->owner && guard < 1000; ++guard) {
        Window* owner = FindWindowObject(root->owner);
        if (!owner) break;
        root = &TopLevelOf(*owner);
      }
      return root->handle;
    }
    default: return Fail(ERROR_INVALID_PARAMETER, HWND{});
  }
}

BOOL IsChild(HWND hWndParent, HWND hWnd) {
  Window* parent = FindWindowObject(hWndParent);
  Window* w = FindWindowObject(hWnd);
  if (!parent || !w) return FALSE;
  return IsDescendantOf(*w, *parent) ? TRUE : FALSE;
}

HWND GetDesktopWindow() { return nullptr; }

BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam) {
  if (!lpEnumFunc) return Fail(ERROR_INVALID_PARAMETER, FALSE);
  Window* w = LookupWindow(hWndParent);
  if (!w) return FALSE;
  EnumTree(*w, lpEnumFunc, lParam);
  return TRUE;
}

HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName) {
  if (!CheckWindowThread()) return nullptr;
  WindowClass* cls = nullptr;
  if (lpClassName) {
    cls = FindClass(lpClassName);
    if (!cls) return Fail(ERROR_CANNOT_FIND_WND_CLASS, HWND{});
  }
  for (Window* t : TopLevelWindows()) {
    if (t->destroying) continue;
    if (cls && t->cls != cls) continue;
    if (lpWindowName && !SameText(t->text, lpWindowName, false)) continue;
    return t->handle;
  }
  return Fail(ERROR_NOT_FOUND, HWND{});
}

HWND GetDlgItem(HWND hDlg, int nIDDlgItem) {
  Window* w = LookupWindow(hDlg);
  if (!w) return nullptr;
  for (Window* c : w->children)
    if (static_cast<int>(c->id) == nIDDlgItem) return c->handle;
  return Fail(ERROR_NOT_FOUND, HWND{});
}

int GetDlgCtrlID(HWND hWnd) {
  Window* w = LookupWindow(hWnd);
  if (!w) return 0;
  return w->parent ? static_cast<int>(w->id) : 0;
}

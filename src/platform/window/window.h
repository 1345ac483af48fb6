// The window and window-class records behind HWND and ATOM values, shared by every part of the
// window system (creation, positions, painting, input, dialogs, controls, back-ends).
//
// Threading: all of it belongs to the window-system thread (see CheckWindowThread); no locks.
#pragma once

#include <kelmira/platform/winuser.h>

#include "gdi/surface.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace kelmira::window {

struct WindowClass {
  ATOM atom = 0;
  std::string name;  // as registered; lookups ignore case
  UINT style = 0;
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  HICON icon = nullptr;
  HICON iconSmall = nullptr;
  HCURSOR cursor = nullptr;
  HBRUSH background = nullptr;  // a brush or COLOR_* + 1
  std::string menuName;
  int windowExtraBytes = 0;
  std::vector<BYTE> classExtra;
  int liveWindows = 0;  // windows of this class not yet freed
};

// A top-level window's pixels: 32-bit xRGB, top-down, the size of the window.
struct BackingSurface {
  std::vector<std::uint32_t> pixels;
  int width = 0;
  int height = 0;

  gdi::Surface View() { return gdi::Surface{pixels.empty() ? nullptr : pixels.data(), width, height, width}; }
};

struct Window {
  HWND handle = nullptr;
  WindowClass* cls = nullptr;  // stays valid: a class with live windows cannot be unregistered
  WNDPROC proc = nullptr;
  HINSTANCE instance = nullptr;
  DWORD style = 0;
  DWORD exStyle = 0;
  LONG_PTR id = 0;  // control id of a child window (GWLP_ID)
  LONG_PTR userData = 0;
  std::vector<BYTE> extra;  // cbWndExtra bytes
  std::string text;

  RECT rect{0, 0, 0, 0};  // relative to the parent's client area (screen for top level)

  Window* parent = nullptr;       // null for top-level windows
  HWND owner = nullptr;           // top-level windows only
  std::vector<Window*> children;  // z-order, top first

  // The update region as one rectangle in client coordinates (empty: nothing to paint).
  RECT update{0, 0, 0, 0};
  bool erasePending = false;
  bool internalPaint = false;  // RDW_INTERNALPAINT: WM_PAINT even with an empty update region

  bool creating = true;     // between allocation and the end of CreateWindowExA
  bool destroying = false;  // DestroyWindow has started on it (WM_DESTROY sent or about to be)

  // Per-window state of other parts of the window system, freed with the window.
  std::shared_ptr<void> dialogData;   // dialogs
  std::shared_ptr<void> controlData;  // standard controls (STATIC ...)
  std::shared_ptr<void> hostData;     // control hosting windows
  void* backendData = nullptr;        // the back-end's native window (top level only)

  std::unique_ptr<BackingSurface> backing;  // top-level windows only
};

// Geometry helpers (all of them ignore visibility).
inline int Width(const RECT& r) { return r.right - r.left; }
inline int Height(const RECT& r) { return r.bottom - r.top; }
inline RECT ClientRect(const Window& w) { return RECT{0, 0, Width(w.rect), Height(w.rect)}; }
inline bool IsEmpty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }
inline RECT Intersect(const RECT& a, const RECT& b) { return gdi::IntersectRects(a, b); }
// The bounding box of the union (an empty rectangle adds nothing).
RECT Union(const RECT& a, const RECT& b);
// The bounding box of what is left of a after taking b away.
RECT Subtract(const RECT& a, const RECT& b);
// Positions and sizes are kept within +-kMaxCoordinate so that sums over a window chain stay
// exact; negative sizes become 0.
constexpr int kMaxCoordinate = 1000000;
RECT MakeWindowRect(int x, int y, int cx, int cy);
inline RECT Offset(RECT r, POINT by) { return RECT{r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y}; }
// The top-level window at the root of w's parent chain (w itself for a top-level window).
Window& TopLevelOf(Window& w);
// w's client origin in screen coordinates.
KELMIRA_API POINT ScreenOrigin(const Window& w);
// w's client origin in its top-level window's backing surface.
KELMIRA_API POINT SurfaceOrigin(const Window& w);
// w's client rectangle in screen coordinates.
KELMIRA_API RECT ScreenRect(const Window& w);
// WS_VISIBLE on w and every ancestor.
KELMIRA_API bool IsVisibleChain(const Window& w);
// WS_DISABLED on neither w nor an ancestor? (Top-level owners are not consulted.)
KELMIRA_API bool IsEnabledChain(const Window& w);
// True when `ancestor` is a proper ancestor of w.
KELMIRA_API bool IsDescendantOf(const Window& w, const Window& ancestor);

// Calls the window procedure of w (the window may be destroyed by the call; do not touch w
// afterwards without looking it up again). Exceptions from the procedure are caught: 0.
KELMIRA_API LRESULT CallProcedure(WNDPROC proc, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// ---------------------------------------------------------------------------------------------
// Hooks for the parts of the window system that keep per-window state elsewhere (input: capture,
// focus, hover; dialogs). Installed once at load time by static initialisers; called in the
// order installed.

struct WindowListener {
  // Before WM_DESTROY of w (w is still fully alive; capture and focus are released here).
  void (*destroying)(Window& w) = nullptr;
  // After w (or an ancestor) was hidden or disabled.
  void (*hiddenOrDisabled)(Window& w) = nullptr;
  // After ShowWindow made w visible; activate is false for the SW_*NA / SW_SHOWNOACTIVATE
  // commands and for child windows.
  void (*shown)(Window& w, bool activate) = nullptr;
  // DefWindowProcA's WM_SETCURSOR wants `cursor` shown (the input code owns the cursor).
  void (*setCursor)(HCURSOR cursor) = nullptr;
  // The key state TranslateMessage reads (GetKeyState); without it no modifier is down.
  SHORT (*keyState)(int vk) = nullptr;
};
KELMIRA_API void AddWindowListener(const WindowListener& listener);
const std::vector<WindowListener>& WindowListeners();

}  // namespace kelmira::window

// The window API: classes, windows, messages, painting, input, dialogs, the message box and the
// display back-ends, with the names, signatures and constant values of the desktop platform.
//
// Rules that hold for every function here:
// - Windows have no non-client area: the client rectangle is the whole window rectangle, and
//   GetWindowRect is the client rectangle in screen coordinates. Screen coordinates are those of
//   a virtual screen (the headless back-end's is 1920x1080); top-level windows are placed on it,
//   child windows are relative to their parent's client area.
// - HWND values are small integers from a handle table; a destroyed window's handle stays invalid
//   (IsWindow is FALSE) and calls on it fail with the usual failure value and
//   GetLastError() == ERROR_INVALID_WINDOW_HANDLE. Null pointers and bad values fail the same way
//   with ERROR_INVALID_PARAMETER.
// - All windows belong to one thread: the thread that creates the first window owns the window
//   system until the last window is destroyed. Calls from any other thread fail with
//   ERROR_WINDOW_OF_OTHER_THREAD (PostMessageA included); there is one message queue.
// - An exception thrown by a window procedure is caught where the platform called it; the call
//   then returns 0.
// - Only the ANSI ("A") functions exist; text is Windows-1252.
#pragma once

#include <kelmira/platform/types.h>
#include <kelmira/platform/wingdi.h>

using ATOM = WORD;
using WNDPROC = LRESULT (*)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
using DLGPROC = INT_PTR (*)(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
using WNDENUMPROC = BOOL (*)(HWND hwnd, LPARAM lParam);

// Window-system error codes (GetLastError).
constexpr LONG ERROR_NOT_SUPPORTED = 50;
constexpr LONG ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr LONG ERROR_INVALID_MENU_HANDLE = 1401;
constexpr LONG ERROR_TLW_WITH_WSCHILD = 1406;
constexpr LONG ERROR_CANNOT_FIND_WND_CLASS = 1407;
constexpr LONG ERROR_WINDOW_OF_OTHER_THREAD = 1408;
constexpr LONG ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr LONG ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr LONG ERROR_CLASS_HAS_WINDOWS = 1412;
constexpr LONG ERROR_INVALID_INDEX = 1413;
constexpr LONG ERROR_CHILD_WINDOW_MENU = 1436;
constexpr LONG ERROR_TIMEOUT = 1460;
constexpr LONG ERROR_INVALID_DWP_HANDLE = 1405;
constexpr LONG ERROR_NOT_FOUND = 1168;

// Resource names: an integer resource is a pointer value below 0x10000.
inline LPSTR MAKEINTRESOURCEA(WORD i) { return reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(i)); }
#define MAKEINTRESOURCE MAKEINTRESOURCEA
inline bool IS_INTRESOURCE(const void* p) { return (reinterpret_cast<ULONG_PTR>(p) >> 16) == 0; }
inline LPCSTR MAKEINTATOM(ATOM a) { return reinterpret_cast<LPCSTR>(static_cast<ULONG_PTR>(a)); }

// ---------------------------------------------------------------------------------------------
// Messages

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_KEYLAST = 0x0109;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_CHANGEUISTATE = 0x0127;
constexpr UINT WM_UPDATEUISTATE = 0x0128;
constexpr UINT WM_QUERYUISTATE = 0x0129;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_XBUTTONDOWN = 0x020B;
constexpr UINT WM_XBUTTONUP = 0x020C;
constexpr UINT WM_XBUTTONDBLCLK = 0x020D;
constexpr UINT WM_MOUSEHWHEEL = 0x020E;
constexpr UINT WM_MOUSELAST = 0x020E;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

struct MSG {
  HWND hwnd;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
  DWORD time;  // milliseconds of the platform's tick clock when the message was posted
  POINT pt;    // cursor position in screen coordinates when the message was posted
};
using PMSG = MSG*;
using LPMSG = MSG*;

// ---------------------------------------------------------------------------------------------
// Window classes

constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_BYTEALIGNCLIENT = 0x1000;
constexpr UINT CS_BYTEALIGNWINDOW = 0x2000;
constexpr UINT CS_GLOBALCLASS = 0x4000;
constexpr UINT CS_DROPSHADOW = 0x00020000;

// hbrBackground is a brush or a system colour index + 1 (COLOR_WINDOW + 1, ...); null means
// WM_ERASEBKGND leaves the background alone. hCursor is shown while the mouse is over the window
// (DefWindowProcA, WM_SETCURSOR). lpszClassName may be an atom (MAKEINTATOM). cbClsExtra and
// cbWndExtra (at most 1024 bytes each) are zero-filled bytes reached through Get/SetClassLongPtr
// and Get/SetWindowLongPtr with offsets >= 0.
struct WNDCLASSEXA {
  UINT cbSize;
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
  HICON hIconSm;
};
using PWNDCLASSEXA = WNDCLASSEXA*;
using LPWNDCLASSEXA = WNDCLASSEXA*;
using WNDCLASSEX = WNDCLASSEXA;

struct WNDCLASSA {
  UINT style;
  WNDPROC lpfnWndProc;
  int cbClsExtra;
  int cbWndExtra;
  HINSTANCE hInstance;
  HICON hIcon;
  HCURSOR hCursor;
  HBRUSH hbrBackground;
  LPCSTR lpszMenuName;
  LPCSTR lpszClassName;
};
using PWNDCLASSA = WNDCLASSA*;
using LPWNDCLASSA = WNDCLASSA*;
using WNDCLASS = WNDCLASSA;

// Class names are compared without regard to case. A class is found by name whatever the
// hInstance given (one process, one module namespace); registering a name twice fails with
// ERROR_CLASS_ALREADY_EXISTS. The platform registers "AtlAxWin", "STATIC", "BUTTON" and the dialog class
// "#32770" itself.
KELMIRA_EXTERN_C ATOM RegisterClassExA(const WNDCLASSEXA* lpwcx);
KELMIRA_EXTERN_C ATOM RegisterClassA(const WNDCLASSA* lpWndClass);
// Fails with ERROR_CLASS_HAS_WINDOWS while windows of the class exist.
KELMIRA_EXTERN_C BOOL UnregisterClassA(LPCSTR lpClassName, HINSTANCE hInstance);
KELMIRA_EXTERN_C BOOL GetClassInfoExA(HINSTANCE hInstance, LPCSTR lpszClass, LPWNDCLASSEXA lpwcx);
KELMIRA_EXTERN_C BOOL GetClassInfoA(HINSTANCE hInstance, LPCSTR lpClassName, LPWNDCLASSA lpWndClass);
KELMIRA_EXTERN_C int GetClassNameA(HWND hWnd, LPSTR lpClassName, int nMaxCount);

constexpr int GCLP_MENUNAME = -8;
constexpr int GCLP_HBRBACKGROUND = -10;
constexpr int GCLP_HCURSOR = -12;
constexpr int GCLP_HICON = -14;
constexpr int GCLP_HMODULE = -16;
constexpr int GCL_CBWNDEXTRA = -18;
constexpr int GCL_CBCLSEXTRA = -20;
constexpr int GCLP_WNDPROC = -24;
constexpr int GCL_STYLE = -26;
constexpr int GCW_ATOM = -32;
constexpr int GCLP_HICONSM = -34;
KELMIRA_EXTERN_C ULONG_PTR GetClassLongPtrA(HWND hWnd, int nIndex);
KELMIRA_EXTERN_C ULONG_PTR SetClassLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);

inline ATOM RegisterClassEx(const WNDCLASSEXA* c) { return RegisterClassExA(c); }
inline ATOM RegisterClass(const WNDCLASSA* c) { return RegisterClassA(c); }
inline BOOL UnregisterClass(LPCSTR n, HINSTANCE h) { return UnregisterClassA(n, h); }
inline BOOL GetClassInfoEx(HINSTANCE h, LPCSTR n, LPWNDCLASSEXA c) { return GetClassInfoExA(h, n, c); }

// ---------------------------------------------------------------------------------------------
// Window styles

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_TILED = WS_OVERLAPPED;
constexpr DWORD WS_ICONIC = WS_MINIMIZE;
constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
constexpr DWORD WS_CHILDWINDOW = WS_CHILD;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_LEFT = 0x00000000;
constexpr DWORD WS_EX_RTLREADING = 0x00002000;
constexpr DWORD WS_EX_LTRREADING = 0x00000000;
constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr DWORD WS_EX_RIGHTSCROLLBAR = 0x00000000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_LAYERED = 0x00080000;
constexpr DWORD WS_EX_NOINHERITLAYOUT = 0x00100000;
constexpr DWORD WS_EX_LAYOUTRTL = 0x00400000;
constexpr DWORD WS_EX_COMPOSITED = 0x02000000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr DWORD WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// ---------------------------------------------------------------------------------------------
// Creating and destroying windows

constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

#define HWND_DESKTOP (static_cast<HWND>(nullptr))
#define HWND_TOP (static_cast<HWND>(nullptr))
#define HWND_BOTTOM (reinterpret_cast<HWND>(static_cast<std::intptr_t>(1)))
#define HWND_TOPMOST (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1)))
#define HWND_NOTOPMOST (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2)))
#define HWND_MESSAGE (reinterpret_cast<HWND>(static_cast<std::intptr_t>(-3)))

// What WM_NCCREATE and WM_CREATE carry in lParam.
struct CREATESTRUCTA {
  LPVOID lpCreateParams;
  HINSTANCE hInstance;
  HMENU hMenu;  // the control id for a child window
  HWND hwndParent;
  int cy;
  int cx;
  int y;
  int x;
  LONG style;
  LPCSTR lpszName;
  LPCSTR lpszClass;
  DWORD dwExStyle;
};
using LPCREATESTRUCTA = CREATESTRUCTA*;
using CREATESTRUCT = CREATESTRUCTA;
using LPCREATESTRUCT = CREATESTRUCTA*;

// Sends WM_NCCREATE (FALSE stops creation), WM_CREATE (-1 stops creation), then WM_SIZE and
// WM_MOVE; a WS_VISIBLE window is then shown (WM_SHOWWINDOW) and invalidated. A window whose
// creation is stopped is destroyed (WM_DESTROY, WM_NCDESTROY) and null is returned. WS_CHILD needs
// a parent (ERROR_TLW_WITH_WSCHILD); hMenu is then the control id. A child is placed at the bottom
// of its siblings' z-order (the first child created stays GW_CHILD, as dialog items need), a
// top-level window at the top. CW_USEDEFAULT gives a top-level window a default position and size (a
// child: 0). hWndParent of a top-level window is its owner.
KELMIRA_EXTERN_C HWND CreateWindowExA(DWORD dwExStyle, LPCSTR lpClassName, LPCSTR lpWindowName, DWORD dwStyle, int X,
                                      int Y, int nWidth, int nHeight, HWND hWndParent, HMENU hMenu, HINSTANCE hInstance,
                                      LPVOID lpParam);
inline HWND CreateWindowA(LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w, int h, HWND parent, HMENU menu,
                          HINSTANCE inst, LPVOID param) {
  return CreateWindowExA(0, cls, name, style, x, y, w, h, parent, menu, inst, param);
}
inline HWND CreateWindowEx(DWORD ex, LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w, int h, HWND parent,
                           HMENU menu, HINSTANCE inst, LPVOID param) {
  return CreateWindowExA(ex, cls, name, style, x, y, w, h, parent, menu, inst, param);
}
inline HWND CreateWindow(LPCSTR cls, LPCSTR name, DWORD style, int x, int y, int w, int h, HWND parent, HMENU menu,
                         HINSTANCE inst, LPVOID param) {
  return CreateWindowExA(0, cls, name, style, x, y, w, h, parent, menu, inst, param);
}

// Hides the window, releases capture and focus held by it or its descendants, sends WM_DESTROY to
// the window and then to its children (parents before children), then WM_NCDESTROY to the
// children and then to the window (children first), and frees the handles. Owned top-level
// windows are destroyed first. Calling it again from inside those messages does nothing.
KELMIRA_EXTERN_C BOOL DestroyWindow(HWND hWnd);
KELMIRA_EXTERN_C BOOL IsWindow(HWND hWnd);

// ---------------------------------------------------------------------------------------------
// The window tree

constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr UINT GW_ENABLEDPOPUP = 6;

constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;

// The parent of a child window, the owner of a top-level window.
KELMIRA_EXTERN_C HWND GetParent(HWND hWnd);
// Moves the window under a new parent (null: top level), keeping its position relative to the
// new parent's client area; returns the previous parent. The WS_CHILD style is not changed.
KELMIRA_EXTERN_C HWND SetParent(HWND hWndChild, HWND hWndNewParent);
// Children are in z-order, top first: GW_CHILD is the topmost child, GW_HWNDNEXT the sibling
// below. Top-level windows form the siblings of the desktop.
KELMIRA_EXTERN_C HWND GetWindow(HWND hWnd, UINT uCmd);
KELMIRA_EXTERN_C HWND GetTopWindow(HWND hWnd);
KELMIRA_EXTERN_C HWND GetAncestor(HWND hwnd, UINT gaFlags);
KELMIRA_EXTERN_C BOOL IsChild(HWND hWndParent, HWND hWnd);
KELMIRA_EXTERN_C HWND GetDesktopWindow();
// Every descendant, depth first, in z-order; stops when the callback returns FALSE.
KELMIRA_EXTERN_C BOOL EnumChildWindows(HWND hWndParent, WNDENUMPROC lpEnumFunc, LPARAM lParam);
// A top-level window by class and/or title (null matches anything); case-insensitive class,
// exact title.
KELMIRA_EXTERN_C HWND FindWindowA(LPCSTR lpClassName, LPCSTR lpWindowName);
inline HWND FindWindow(LPCSTR c, LPCSTR n) { return FindWindowA(c, n); }
// The deepest visible, enabled window under a screen point (null when none).
KELMIRA_EXTERN_C HWND WindowFromPoint(POINT Point);
// The child of hWndParent (or hWndParent itself) containing a client point, hidden and disabled
// children included; null when the point is outside the parent.
KELMIRA_EXTERN_C HWND ChildWindowFromPoint(HWND hWndParent, POINT Point);

// ---------------------------------------------------------------------------------------------
// Window data (GetWindowLongPtrA / SetWindowLongPtrA)

constexpr int GWL_WNDPROC = -4;
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_HWNDPARENT = -8;
constexpr int GWLP_ID = -12;
constexpr int GWL_ID = -12;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWLP_USERDATA = -21;
constexpr int GWL_USERDATA = -21;

// Dialog window data (offsets into the dialog class's extra bytes).
constexpr int DWLP_MSGRESULT = 0;
constexpr int DWLP_DLGPROC = DWLP_MSGRESULT + static_cast<int>(sizeof(LRESULT));
constexpr int DWLP_USER = DWLP_DLGPROC + static_cast<int>(sizeof(DLGPROC));
constexpr int DLGWINDOWEXTRA = DWLP_USER + static_cast<int>(sizeof(LONG_PTR));

// GWL_STYLE and GWL_EXSTYLE send WM_STYLECHANGING (the handler may change styleNew) and
// WM_STYLECHANGED with wParam GWL_STYLE/GWL_EXSTYLE and lParam a STYLESTRUCT*; changing
// WS_VISIBLE or WS_DISABLED this way only changes the bit (as on the desktop). GWLP_HWNDPARENT
// sets the owner of a top-level window. An offset >= 0 reads or writes the window's extra bytes;
// a bad index fails with ERROR_INVALID_INDEX. A failed call returns 0 (and sets the last error;
// a successful call that returns 0 sets the last error to 0).
KELMIRA_EXTERN_C LONG_PTR GetWindowLongPtrA(HWND hWnd, int nIndex);
KELMIRA_EXTERN_C LONG_PTR SetWindowLongPtrA(HWND hWnd, int nIndex, LONG_PTR dwNewLong);
KELMIRA_EXTERN_C LONG GetWindowLongA(HWND hWnd, int nIndex);
KELMIRA_EXTERN_C LONG SetWindowLongA(HWND hWnd, int nIndex, LONG dwNewLong);
inline LONG_PTR GetWindowLongPtr(HWND h, int i) { return GetWindowLongPtrA(h, i); }
inline LONG_PTR SetWindowLongPtr(HWND h, int i, LONG_PTR v) { return SetWindowLongPtrA(h, i, v); }
inline LONG GetWindowLong(HWND h, int i) { return GetWindowLongA(h, i); }
inline LONG SetWindowLong(HWND h, int i, LONG v) { return SetWindowLongA(h, i, v); }

struct STYLESTRUCT {
  DWORD styleOld;
  DWORD styleNew;
};
using LPSTYLESTRUCT = STYLESTRUCT*;

// ---------------------------------------------------------------------------------------------
// Position, size and visibility

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;

// What WM_WINDOWPOSCHANGING (the handler may change x, y, cx, cy, flags) and
// WM_WINDOWPOSCHANGED carry in lParam.
struct WINDOWPOS {
  HWND hwnd;
  HWND hwndInsertAfter;
  int x;
  int y;
  int cx;
  int cy;
  UINT flags;
};
using LPWINDOWPOS = WINDOWPOS*;
using PWINDOWPOS = WINDOWPOS*;

constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SIZE_MAXSHOW = 3;
constexpr WPARAM SIZE_MAXHIDE = 4;

// Sends WM_WINDOWPOSCHANGING, WM_WINDOWPOSCHANGED and (from DefWindowProcA's handling of
// WM_WINDOWPOSCHANGED) WM_MOVE with the new client origin and WM_SIZE (SIZE_RESTORED, new client
// width and height in LPARAM) when they changed. Everything is sent synchronously, so a move
// inside a WM_SIZE handler sends its own WM_SIZE before the outer handler returns. Negative sizes
// become 0. Unless SWP_NOREDRAW, with erase: the part of the parent the window uncovered, the
// part of the window that appeared (all of it for CS_HREDRAW/CS_VREDRAW classes when that
// dimension changed), and the whole window when a child moves or changes z-order (its pixels live
// in the shared backing bitmap and do not move with it).
KELMIRA_EXTERN_C BOOL SetWindowPos(HWND hWnd, HWND hWndInsertAfter, int X, int Y, int cx, int cy, UINT uFlags);
KELMIRA_EXTERN_C BOOL MoveWindow(HWND hWnd, int X, int Y, int nWidth, int nHeight, BOOL bRepaint);
KELMIRA_EXTERN_C BOOL BringWindowToTop(HWND hWnd);

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int SW_FORCEMINIMIZE = 11;

// Sends WM_SHOWWINDOW when visibility changes and returns the previous visibility (nonzero when
// the window was visible). Minimising and maximising are not modelled: the commands that ask for
// them only show the window. Showing invalidates the window with erase; hiding invalidates the
// area it covered in its parent.
KELMIRA_EXTERN_C BOOL ShowWindow(HWND hWnd, int nCmdShow);
// TRUE when the window and all its ancestors have WS_VISIBLE.
KELMIRA_EXTERN_C BOOL IsWindowVisible(HWND hWnd);
KELMIRA_EXTERN_C BOOL IsIconic(HWND hWnd);
KELMIRA_EXTERN_C BOOL IsZoomed(HWND hWnd);
// Sends WM_ENABLE when the state changes; returns TRUE when the window was disabled before.
// Disabling the focus window or the capture window releases them.
KELMIRA_EXTERN_C BOOL EnableWindow(HWND hWnd, BOOL bEnable);
KELMIRA_EXTERN_C BOOL IsWindowEnabled(HWND hWnd);

// ---------------------------------------------------------------------------------------------
// Coordinates

KELMIRA_EXTERN_C BOOL GetClientRect(HWND hWnd, LPRECT lpRect);
KELMIRA_EXTERN_C BOOL GetWindowRect(HWND hWnd, LPRECT lpRect);
KELMIRA_EXTERN_C BOOL ClientToScreen(HWND hWnd, LPPOINT lpPoint);
KELMIRA_EXTERN_C BOOL ScreenToClient(HWND hWnd, LPPOINT lpPoint);
// hWndFrom/hWndTo null means the screen. Returns the horizontal offset in the low word and the
// vertical offset in the high word (0 with ERROR_INVALID_WINDOW_HANDLE for a bad window; 0 is also
// a valid result, so check GetLastError).
KELMIRA_EXTERN_C int MapWindowPoints(HWND hWndFrom, HWND hWndTo, LPPOINT lpPoints, UINT cPoints);

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CMOUSEBUTTONS = 43;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_MOUSEWHEELPRESENT = 75;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int SM_CMONITORS = 80;
// Screen metrics come from the display back-end; frame metrics are 0 (no non-client area).
KELMIRA_EXTERN_C int GetSystemMetrics(int nIndex);

// Rectangle helpers.
KELMIRA_EXTERN_C BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom);
KELMIRA_EXTERN_C BOOL SetRectEmpty(LPRECT lprc);
KELMIRA_EXTERN_C BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc);
KELMIRA_EXTERN_C BOOL IsRectEmpty(const RECT* lprc);
KELMIRA_EXTERN_C BOOL EqualRect(const RECT* lprc1, const RECT* lprc2);
KELMIRA_EXTERN_C BOOL PtInRect(const RECT* lprc, POINT pt);
KELMIRA_EXTERN_C BOOL OffsetRect(LPRECT lprc, int dx, int dy);
KELMIRA_EXTERN_C BOOL InflateRect(LPRECT lprc, int dx, int dy);
// FALSE (and an empty destination) when the rectangles do not overlap.
KELMIRA_EXTERN_C BOOL IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
KELMIRA_EXTERN_C BOOL UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);

// ---------------------------------------------------------------------------------------------
// Dialog items and window text

// The child whose id is nIDDlgItem (searched among direct children only).
KELMIRA_EXTERN_C HWND GetDlgItem(HWND hDlg, int nIDDlgItem);
KELMIRA_EXTERN_C int GetDlgCtrlID(HWND hWnd);
KELMIRA_EXTERN_C BOOL SetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPCSTR lpString);
KELMIRA_EXTERN_C UINT GetDlgItemTextA(HWND hDlg, int nIDDlgItem, LPSTR lpString, int cchMax);
KELMIRA_EXTERN_C LRESULT SendDlgItemMessageA(HWND hDlg, int nIDDlgItem, UINT Msg, WPARAM wParam, LPARAM lParam);
// The item's text as a decimal number (blanks around it allowed); *lpTranslated (may be null)
// tells whether it was one that fits (a negative number only when bSigned).
KELMIRA_EXTERN_C UINT GetDlgItemInt(HWND hDlg, int nIDDlgItem, BOOL* lpTranslated, BOOL bSigned);
KELMIRA_EXTERN_C BOOL SetDlgItemInt(HWND hDlg, int nIDDlgItem, UINT uValue, BOOL bSigned);
// The item functions fail with this when the dialog has no child with the id.
constexpr LONG ERROR_CONTROL_ID_NOT_FOUND = 1421;

// Through WM_SETTEXT / WM_GETTEXT / WM_GETTEXTLENGTH, which DefWindowProcA answers from the
// window's stored text. GetWindowTextA always terminates the buffer and returns the number of
// characters copied.
KELMIRA_EXTERN_C BOOL SetWindowTextA(HWND hWnd, LPCSTR lpString);
KELMIRA_EXTERN_C int GetWindowTextA(HWND hWnd, LPSTR lpString, int nMaxCount);
KELMIRA_EXTERN_C int GetWindowTextLengthA(HWND hWnd);
inline BOOL SetWindowText(HWND h, LPCSTR s) { return SetWindowTextA(h, s); }
inline int GetWindowText(HWND h, LPSTR s, int n) { return GetWindowTextA(h, s, n); }
inline int GetWindowTextLength(HWND h) { return GetWindowTextLengthA(h); }

// ---------------------------------------------------------------------------------------------
// Sending, posting and dispatching messages

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

// Calls the window procedure directly and returns its result (0 for a bad window).
KELMIRA_EXTERN_C LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// Appends to the queue; hWnd may be null (a thread message, returned by GetMessageA with a null
// hwnd). The message keeps the current tick count and cursor position.
KELMIRA_EXTERN_C BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
KELMIRA_EXTERN_C void PostQuitMessage(int nExitCode);
// A window filter takes the window's and its descendants' messages; (HWND)-1 takes only messages
// posted with a null window.
// Posted messages first, in order (with filters: the first that matches); WM_QUIT once the queue
// holds no other posted message; then WM_PAINT for the first visible window (parents before
// children, top-level windows in z-order) whose update region is not empty. When there is
// nothing, pending native events are taken, then the idle hook is called (KelmiraSetIdleHook),
// then the back-end waits for native events; when still nothing can arrive, GetMessageA returns
// -1 with ERROR_TIMEOUT instead of blocking for ever. GetMessageA returns 0 for WM_QUIT.
KELMIRA_EXTERN_C BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax);
// As GetMessageA without waiting; WM_PAINT is never removed by PM_REMOVE (painting validates).
KELMIRA_EXTERN_C BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg);
// Returns without a message when the queue is empty and the back-end has no event (calling the
// idle hook first, as GetMessageA does).
KELMIRA_EXTERN_C BOOL WaitMessage();
// WM_KEYDOWN of a key that produces a character posts WM_CHAR (letters following the shift and
// caps-lock state, digits, space, punctuation of the US layout, Return, Tab, Backspace, Escape).
KELMIRA_EXTERN_C BOOL TranslateMessage(const MSG* lpMsg);
KELMIRA_EXTERN_C LRESULT DispatchMessageA(const MSG* lpMsg);
// Default handling: WM_NCCREATE stores the title and returns TRUE; WM_SETTEXT/WM_GETTEXT/
// WM_GETTEXTLENGTH; WM_CLOSE destroys the window; WM_ERASEBKGND fills the update region with the
// class background (returns 1, or 0 without a background); WM_PAINT validates (BeginPaint /
// EndPaint); WM_WINDOWPOSCHANGED sends WM_MOVE and WM_SIZE; WM_MOUSEACTIVATE asks the parent and
// otherwise returns MA_ACTIVATE; WM_SETCURSOR asks the parent and otherwise sets the class cursor
// over the client area (returns TRUE when set); WM_CTLCOLOR* returns a system colour brush and
// sets the system text and background colours (COLOR_WINDOW for edit and list box, COLOR_3DFACE
// otherwise); WM_MOUSEWHEEL is passed to the parent; WM_GETDLGCODE, others: 0.
KELMIRA_EXTERN_C LRESULT DefWindowProcA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
KELMIRA_EXTERN_C LRESULT CallWindowProcA(WNDPROC lpPrevWndFunc, HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam);
// The time and cursor position of the last message retrieved by GetMessageA/PeekMessageA.
KELMIRA_EXTERN_C LONG GetMessageTime();
KELMIRA_EXTERN_C DWORD GetMessagePos();
// Milliseconds of the platform's monotonic tick clock.
KELMIRA_EXTERN_C DWORD GetTickCount();

inline LRESULT SendMessage(HWND h, UINT m, WPARAM w, LPARAM l) { return SendMessageA(h, m, w, l); }
inline BOOL PostMessage(HWND h, UINT m, WPARAM w, LPARAM l) { return PostMessageA(h, m, w, l); }
inline BOOL GetMessage(LPMSG m, HWND h, UINT a, UINT b) { return GetMessageA(m, h, a, b); }
inline BOOL PeekMessage(LPMSG m, HWND h, UINT a, UINT b, UINT r) { return PeekMessageA(m, h, a, b, r); }
inline LRESULT DispatchMessage(const MSG* m) { return DispatchMessageA(m); }
inline LRESULT DefWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }
inline LRESULT CallWindowProc(WNDPROC p, HWND h, UINT m, WPARAM w, LPARAM l) { return CallWindowProcA(p, h, m, w, l); }

// ---------------------------------------------------------------------------------------------
// The paint cycle

struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;  // TRUE when the background still has to be erased (WM_ERASEBKGND returned 0)
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
using PPAINTSTRUCT = PAINTSTRUCT*;
using LPPAINTSTRUCT = PAINTSTRUCT*;

constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

// The update region of a window is a rectangle: invalidations add to it as the bounding box of
// their union. lpRect null means the whole client area; bErase marks the background for erasing.
// Hidden windows accumulate invalidations too but are not painted until shown.
KELMIRA_EXTERN_C BOOL InvalidateRect(HWND hWnd, const RECT* lpRect, BOOL bErase);
// Validating part of the update rectangle keeps the bounding box of what remains.
KELMIRA_EXTERN_C BOOL ValidateRect(HWND hWnd, const RECT* lpRect);
// Sends WM_PAINT now when the update region is not empty (and the window is visible).
KELMIRA_EXTERN_C BOOL UpdateWindow(HWND hWnd);
// lprcUpdate is in client coordinates; hrgnUpdate is not supported (must be null). RDW_ALLCHILDREN
// applies the invalidation/validation to every descendant too; RDW_UPDATENOW paints the window
// (and with RDW_ALLCHILDREN its descendants) before returning; RDW_ERASENOW erases only.
KELMIRA_EXTERN_C BOOL RedrawWindow(HWND hWnd, const RECT* lprcUpdate, HRGN hrgnUpdate, UINT flags);
// The update rectangle (client coordinates); TRUE when not empty. bErase sends WM_ERASEBKGND now
// when an erase is pending.
KELMIRA_EXTERN_C BOOL GetUpdateRect(HWND hWnd, LPRECT lpRect, BOOL bErase);
// Sends WM_ERASEBKGND (with the paint DC) when an erase is pending, validates the window and
// returns a device context whose clip box is the update rectangle. Outside WM_PAINT the update
// rectangle may be empty: the DC then draws nothing.
KELMIRA_EXTERN_C HDC BeginPaint(HWND hWnd, LPPAINTSTRUCT lpPaint);
// Releases the paint DC and presents the top-level window.
KELMIRA_EXTERN_C BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// A device context drawing into the top-level window's backing bitmap with the window's client
// origin at (0, 0), clipped to the window and its ancestors. For a window with WS_CLIPCHILDREN
// the visible children's pixels are saved when the DC is made and put back when it is released,
// so the parent's drawing never shows under them (GetPixel through the parent's DC may still see
// the parent's drawing until then); WS_CLIPSIBLINGS does the same with the siblings above the
// window. Hidden windows (or windows with a hidden ancestor) get a DC that draws nothing.
// GetWindowDC is the same as GetDC (no non-client area). ReleaseDC presents the top-level window.
KELMIRA_EXTERN_C HDC GetDC(HWND hWnd);
KELMIRA_EXTERN_C HDC GetWindowDC(HWND hWnd);
KELMIRA_EXTERN_C int ReleaseDC(HWND hWnd, HDC hDC);
KELMIRA_EXTERN_C HWND WindowFromDC(HDC hDC);

// ---------------------------------------------------------------------------------------------
// Mouse input

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr WPARAM MK_XBUTTON1 = 0x0020;
constexpr WPARAM MK_XBUTTON2 = 0x0040;

constexpr WORD XBUTTON1 = 0x0001;
constexpr WORD XBUTTON2 = 0x0002;
constexpr int WHEEL_DELTA = 120;

constexpr short GET_WHEEL_DELTA_WPARAM(WPARAM w) { return static_cast<short>(HIWORD(w)); }
constexpr WORD GET_KEYSTATE_WPARAM(WPARAM w) { return LOWORD(w); }
constexpr WORD GET_XBUTTON_WPARAM(WPARAM w) { return HIWORD(w); }

// WM_MOUSEACTIVATE results.
constexpr LRESULT MA_ACTIVATE = 1;
constexpr LRESULT MA_ACTIVATEANDEAT = 2;
constexpr LRESULT MA_NOACTIVATE = 3;
constexpr LRESULT MA_NOACTIVATEANDEAT = 4;

// Hit-test codes (WM_NCHITTEST, the low word of WM_SETCURSOR's lParam).
constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;

// Mouse messages go to the capture window if there is one (coordinates relative to it), else to
// the deepest visible, enabled window under the cursor. A window gets WM_MOUSEACTIVATE before a
// button press, and WM_SETCURSOR before each mouse message.
KELMIRA_EXTERN_C HWND SetCapture(HWND hWnd);
KELMIRA_EXTERN_C BOOL ReleaseCapture();
KELMIRA_EXTERN_C HWND GetCapture();

// The double-click time (ms, default 500) and distance (SM_CXDOUBLECLK x SM_CYDOUBLECLK, 4x4).
KELMIRA_EXTERN_C UINT GetDoubleClickTime();
KELMIRA_EXTERN_C BOOL SetDoubleClickTime(UINT uInterval);

// ---------------------------------------------------------------------------------------------
// Cursor

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDC_IBEAM MAKEINTRESOURCEA(32513)
#define IDC_WAIT MAKEINTRESOURCEA(32514)
#define IDC_CROSS MAKEINTRESOURCEA(32515)
#define IDC_UPARROW MAKEINTRESOURCEA(32516)
#define IDC_SIZE MAKEINTRESOURCEA(32640)
#define IDC_ICON MAKEINTRESOURCEA(32641)
#define IDC_SIZENWSE MAKEINTRESOURCEA(32642)
#define IDC_SIZENESW MAKEINTRESOURCEA(32643)
#define IDC_SIZEWE MAKEINTRESOURCEA(32644)
#define IDC_SIZENS MAKEINTRESOURCEA(32645)
#define IDC_SIZEALL MAKEINTRESOURCEA(32646)
#define IDC_NO MAKEINTRESOURCEA(32648)
#define IDC_HAND MAKEINTRESOURCEA(32649)
#define IDC_APPSTARTING MAKEINTRESOURCEA(32650)
#define IDC_HELP MAKEINTRESOURCEA(32651)

#define IDI_APPLICATION MAKEINTRESOURCEA(32512)
#define IDI_HAND MAKEINTRESOURCEA(32513)
#define IDI_QUESTION MAKEINTRESOURCEA(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCEA(32515)
#define IDI_ASTERISK MAKEINTRESOURCEA(32516)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

// Only the system cursors and icons exist (hInstance must be null); the handles are stable.
KELMIRA_EXTERN_C HCURSOR LoadCursorA(HINSTANCE hInstance, LPCSTR lpCursorName);
KELMIRA_EXTERN_C HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);
inline HCURSOR LoadCursor(HINSTANCE h, LPCSTR n) { return LoadCursorA(h, n); }
inline HICON LoadIcon(HINSTANCE h, LPCSTR n) { return LoadIconA(h, n); }
// Returns the previous cursor; the back-end shows the new one.
KELMIRA_EXTERN_C HCURSOR SetCursor(HCURSOR hCursor);
KELMIRA_EXTERN_C HCURSOR GetCursor();
// The display counter: the cursor shows while it is >= 0. Returns the new count.
KELMIRA_EXTERN_C int ShowCursor(BOOL bShow);
KELMIRA_EXTERN_C BOOL GetCursorPos(LPPOINT lpPoint);
// Moves the cursor (within the clip rectangle) and produces WM_MOUSEMOVE as real motion does.
KELMIRA_EXTERN_C BOOL SetCursorPos(int X, int Y);
// Confines the cursor to a screen rectangle; null releases it.
KELMIRA_EXTERN_C BOOL ClipCursor(const RECT* lpRect);
KELMIRA_EXTERN_C BOOL GetClipCursor(LPRECT lpRect);

// ---------------------------------------------------------------------------------------------
// Focus, activation and the keyboard

// Sends WM_KILLFOCUS to the old focus window (wParam the new one) and WM_SETFOCUS to the new
// (wParam the old one); returns the previous focus window. Null removes the focus.
KELMIRA_EXTERN_C HWND SetFocus(HWND hWnd);
KELMIRA_EXTERN_C HWND GetFocus();
// The active window is a top-level window: showing one activates it, as do a click in it and
// SetFocus on one of its windows. WM_ACTIVATE (WA_INACTIVE to the old one, WA_ACTIVE or
// WA_CLICKACTIVE to the new one) is the only activation message. When the active window is
// destroyed or hidden, its owner takes over if it is visible and enabled.
KELMIRA_EXTERN_C HWND GetActiveWindow();
KELMIRA_EXTERN_C HWND SetActiveWindow(HWND hWnd);
KELMIRA_EXTERN_C HWND GetForegroundWindow();
KELMIRA_EXTERN_C BOOL SetForegroundWindow(HWND hWnd);

// WM_ACTIVATE's low word.
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_CANCEL = 0x03;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_XBUTTON1 = 0x05;
constexpr int VK_XBUTTON2 = 0x06;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_CLEAR = 0x0C;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SELECT = 0x29;
constexpr int VK_PRINT = 0x2A;
constexpr int VK_EXECUTE = 0x2B;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_HELP = 0x2F;
// '0'..'9' and 'A'..'Z' are their ASCII codes.
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_NUMPAD1 = 0x61;
constexpr int VK_NUMPAD2 = 0x62;
constexpr int VK_NUMPAD3 = 0x63;
constexpr int VK_NUMPAD4 = 0x64;
constexpr int VK_NUMPAD5 = 0x65;
constexpr int VK_NUMPAD6 = 0x66;
constexpr int VK_NUMPAD7 = 0x67;
constexpr int VK_NUMPAD8 = 0x68;
constexpr int VK_NUMPAD9 = 0x69;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SEPARATOR = 0x6C;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F6 = 0x75;
constexpr int VK_F7 = 0x76;
constexpr int VK_F8 = 0x77;
constexpr int VK_F9 = 0x78;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_OEM_1 = 0xBA;
constexpr int VK_OEM_PLUS = 0xBB;
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_MINUS = 0xBD;
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_2 = 0xBF;
constexpr int VK_OEM_3 = 0xC0;
constexpr int VK_OEM_4 = 0xDB;
constexpr int VK_OEM_5 = 0xDC;
constexpr int VK_OEM_6 = 0xDD;
constexpr int VK_OEM_7 = 0xDE;
// The key of KEYEVENTF_UNICODE events; their character follows as WM_CHAR.
constexpr int VK_PACKET = 0xE7;

// The high bit (the result is negative) when the key is down; the low bit toggles with each press
// (caps lock on, ...). Mouse buttons are keys too (VK_LBUTTON ...). State as of the last message
// retrieved from the queue.
KELMIRA_EXTERN_C SHORT GetKeyState(int nVirtKey);
// The state now, with the same bits.
KELMIRA_EXTERN_C SHORT GetAsyncKeyState(int vKey);

// ---------------------------------------------------------------------------------------------
// Input injection: real input from the back-ends and synthetic input from tests take the same
// path (cursor clip, hit testing, capture, WM_MOUSEACTIVATE, WM_SETCURSOR, double-click
// synthesis, key state) and end up as posted messages that the message loop dispatches.

constexpr DWORD INPUT_MOUSE = 0;
constexpr DWORD INPUT_KEYBOARD = 1;
constexpr DWORD INPUT_HARDWARE = 2;

constexpr DWORD MOUSEEVENTF_MOVE = 0x0001;
constexpr DWORD MOUSEEVENTF_LEFTDOWN = 0x0002;
constexpr DWORD MOUSEEVENTF_LEFTUP = 0x0004;
constexpr DWORD MOUSEEVENTF_RIGHTDOWN = 0x0008;
constexpr DWORD MOUSEEVENTF_RIGHTUP = 0x0010;
constexpr DWORD MOUSEEVENTF_MIDDLEDOWN = 0x0020;
constexpr DWORD MOUSEEVENTF_MIDDLEUP = 0x0040;
constexpr DWORD MOUSEEVENTF_XDOWN = 0x0080;
constexpr DWORD MOUSEEVENTF_XUP = 0x0100;
constexpr DWORD MOUSEEVENTF_WHEEL = 0x0800;
constexpr DWORD MOUSEEVENTF_HWHEEL = 0x1000;
constexpr DWORD MOUSEEVENTF_MOVE_NOCOALESCE = 0x2000;
constexpr DWORD MOUSEEVENTF_VIRTUALDESK = 0x4000;
constexpr DWORD MOUSEEVENTF_ABSOLUTE = 0x8000;

constexpr DWORD KEYEVENTF_EXTENDEDKEY = 0x0001;
constexpr DWORD KEYEVENTF_KEYUP = 0x0002;
constexpr DWORD KEYEVENTF_UNICODE = 0x0004;
constexpr DWORD KEYEVENTF_SCANCODE = 0x0008;

// dx/dy: with MOUSEEVENTF_ABSOLUTE a position normalised to 0..65535 over the virtual screen, as
// on the desktop (pixel = value * width / 65536; KelmiraInjectMouse takes plain pixels), otherwise
// a relative move in pixels (no acceleration). mouseData: the wheel delta
// (MOUSEEVENTF_WHEEL) or XBUTTON1/XBUTTON2. time: the event time in ms (0: the tick count now);
// giving times lets a test place two clicks inside or outside the double-click time.
struct MOUSEINPUT {
  LONG dx;
  LONG dy;
  DWORD mouseData;
  DWORD dwFlags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
};
struct KEYBDINPUT {
  WORD wVk;
  WORD wScan;
  DWORD dwFlags;
  DWORD time;
  ULONG_PTR dwExtraInfo;
};
struct HARDWAREINPUT {
  DWORD uMsg;
  WORD wParamL;
  WORD wParamH;
};
struct INPUT {
  DWORD type;
  union {
    MOUSEINPUT mi;
    KEYBDINPUT ki;
    HARDWAREINPUT hi;
  };
};
using PINPUT = INPUT*;
using LPINPUT = INPUT*;

// Events are routed when they are injected: a capture taken while a press is dispatched applies to
// the events injected after that.
// Returns the number of events injected (stops at the first bad one, ERROR_INVALID_PARAMETER).
// cbSize must be sizeof(INPUT). The resulting messages are posted, not dispatched.
KELMIRA_EXTERN_C UINT SendInput(UINT cInputs, LPINPUT pInputs, int cbSize);
// One mouse event as the message it means: message is WM_MOUSEMOVE, WM_[LRMX]BUTTONDOWN/UP or
// WM_MOUSEWHEEL (never a DBLCLK: double clicks are synthesised), at a screen position; for the X
// buttons the high word of keys is XBUTTON1/XBUTTON2, for the wheel the delta. The low word of
// keys gives MK_SHIFT/MK_CONTROL. Posted like SendInput's messages.
KELMIRA_EXTERN_C BOOL KelmiraInjectMouse(UINT message, int screenX, int screenY, WPARAM keys);
// One key event: message WM_KEYDOWN or WM_KEYUP for the virtual key vk.
KELMIRA_EXTERN_C BOOL KelmiraInjectKey(UINT message, WPARAM vk);

// ---------------------------------------------------------------------------------------------
// Message box

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_CANCELTRYCONTINUE = 0x00000006;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_USERICON = 0x00000080;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFBUTTON4 = 0x00000300;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_HELP = 0x00004000;
constexpr UINT MB_NOFOCUS = 0x00008000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_DEFAULT_DESKTOP_ONLY = 0x00020000;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr UINT MB_RIGHT = 0x00080000;
constexpr UINT MB_RTLREADING = 0x00100000;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFMASK = 0x00000F00;
constexpr UINT MB_MODEMASK = 0x00003000;
constexpr UINT MB_MISCMASK = 0x0000C000;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;
constexpr int IDTRYAGAIN = 10;
constexpr int IDCONTINUE = 11;

// A modal window owned by hWnd (disabled while the box is up) with the caption (null: "Error"),
// the text, the icon and the buttons of uType; runs a nested message loop and returns the ID* of
// the button chosen (Escape and closing mean IDCANCEL when there is a Cancel button). 0 on
// failure (bad uType: ERROR_INVALID_PARAMETER).
KELMIRA_EXTERN_C int MessageBoxA(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
inline int MessageBox(HWND h, LPCSTR t, LPCSTR c, UINT u) { return MessageBoxA(h, t, c, u); }

// A process-wide observer of message boxes: called before a box is shown with what MessageBoxA
// got (caption already defaulted). A nonzero result answers the box without showing it (it must
// be one of the ID* values of the box's buttons, else the box shows); 0 shows the box as usual.
// Null removes the hook. In the headless back-end a box nobody answers returns its default
// button's ID once the message loop has nothing left to do. The owner gets WM_ENTERIDLE
// (MSGF_MESSAGEBOX, the box) while the box waits; WM_QUIT closes the box (result 0) and is posted
// again. MB_HELP adds no Help button; the modality flags all disable just the owner.
using KelmiraMessageBoxHook = int (*)(HWND owner, const char* text, const char* caption, UINT type, void* context);
KELMIRA_EXTERN_C void KelmiraSetMessageBoxHook(KelmiraMessageBoxHook hook, void* context);

// ---------------------------------------------------------------------------------------------
// Dialogs

// Dialog styles.
constexpr DWORD DS_ABSALIGN = 0x0001;
constexpr DWORD DS_SYSMODAL = 0x0002;
constexpr DWORD DS_3DLOOK = 0x0004;
constexpr DWORD DS_FIXEDSYS = 0x0008;
constexpr DWORD DS_NOFAILCREATE = 0x0010;
constexpr DWORD DS_LOCALEDIT = 0x0020;
constexpr DWORD DS_SETFONT = 0x0040;
constexpr DWORD DS_MODALFRAME = 0x0080;
constexpr DWORD DS_NOIDLEMSG = 0x0100;
constexpr DWORD DS_SETFOREGROUND = 0x0200;
constexpr DWORD DS_CONTROL = 0x0400;
constexpr DWORD DS_CENTER = 0x0800;
constexpr DWORD DS_CENTERMOUSE = 0x1000;
constexpr DWORD DS_CONTEXTHELP = 0x2000;
constexpr DWORD DS_SHELLFONT = DS_SETFONT | DS_FIXEDSYS;

// WM_ENTERIDLE's wParam: the modal loop of a dialog or of a message box is waiting.
constexpr WPARAM MSGF_DIALOGBOX = 0;
constexpr WPARAM MSGF_MESSAGEBOX = 1;

// Dialog messages.
constexpr UINT DM_GETDEFID = WM_USER + 0;
constexpr UINT DM_SETDEFID = WM_USER + 1;
constexpr UINT DM_REPOSITION = WM_USER + 2;
constexpr WORD DC_HASDEFID = 0x534B;

// WM_GETDLGCODE results.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// The class name of dialog windows.
#define WC_DIALOG MAKEINTATOM(0x8002)

// Templates in memory, laid out as on the desktop (2-byte packing, little-endian):
//   DLGTEMPLATE, then WORD arrays: menu (0x0000 none | 0xFFFF ordinal | UTF-16 string), window
//   class (same; 0x0000 = the dialog class), title (UTF-16 string); with DS_SETFONT a WORD point
//   size and a UTF-16 face name. Then cdit items, each aligned to a DWORD: DLGITEMTEMPLATE, class
//   (0xFFFF + 0x0080 Button, 0x0081 Edit, 0x0082 Static, 0x0083 ListBox, 0x0084 ScrollBar,
//   0x0085 ComboBox, or a UTF-16 string), title (0xFFFF + resource ordinal, or a UTF-16 string),
//   and a WORD count of creation-data bytes followed by them (passed as lpCreateParams).
// Positions and sizes are in dialog units. kelmira/platform/dialog_template.h builds templates.
#pragma pack(push, 2)
struct DLGTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  WORD cdit;
  short x;
  short y;
  short cx;
  short cy;
};
struct DLGITEMTEMPLATE {
  DWORD style;
  DWORD dwExtendedStyle;
  short x;
  short y;
  short cx;
  short cy;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(DLGTEMPLATE) == 18 && sizeof(DLGITEMTEMPLATE) == 18);
using LPDLGTEMPLATEA = DLGTEMPLATE*;
using LPCDLGTEMPLATEA = const DLGTEMPLATE*;
using LPCDLGTEMPLATE = const DLGTEMPLATE*;
using LPDLGITEMTEMPLATEA = DLGITEMTEMPLATE*;

// Creates the dialog (and its items, children with ids from the template, z-order in template
// order), sends WM_SETFONT to items, then WM_INITDIALOG (wParam: the first WS_TABSTOP item,
// lParam: dwInitParam); a TRUE result sets the focus to wParam's window. The dialog procedure
// returns TRUE for a message it handled (the result then comes from DWLP_MSGRESULT for messages
// that return values) and FALSE to get the default handling. Modeless: shown when the template
// has WS_VISIBLE. An item whose class does not exist (the standard controls other than STATIC and
// BUTTON are not there yet) fails the dialog with ERROR_CANNOT_FIND_WND_CLASS, unless the template has
// DS_NOFAILCREATE: the item is then left out. Both template layouts (DLGTEMPLATE and
// DLGTEMPLATEEX) are read; menus in templates are ignored.
KELMIRA_EXTERN_C HWND CreateDialogIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA lpTemplate, HWND hWndParent,
                                                 DLGPROC lpDialogFunc, LPARAM dwInitParam);
// Modal: disables the owner, shows the dialog, runs a nested message loop until EndDialog, then
// destroys the dialog, enables the owner and returns nResult (-1 on failure). While the queue is
// empty the owner gets WM_ENTERIDLE (MSGF_DIALOGBOX, the dialog) unless DS_NOIDLEMSG. WM_QUIT ends
// the loop, is posted again and gives 0; when nothing can ever arrive (headless, nothing left to
// do) the result is -1 with ERROR_TIMEOUT.
KELMIRA_EXTERN_C INT_PTR DialogBoxIndirectParamA(HINSTANCE hInstance, LPCDLGTEMPLATEA hDialogTemplate, HWND hWndParent,
                                                 DLGPROC lpDialogFunc, LPARAM dwInitParam);
KELMIRA_EXTERN_C BOOL EndDialog(HWND hDlg, INT_PTR nResult);
// The default procedure of the dialog class (calls the DLGPROC first).
KELMIRA_EXTERN_C LRESULT DefDlgProcA(HWND hDlg, UINT Msg, WPARAM wParam, LPARAM lParam);
// Handles dialog navigation keys (Tab, arrows, Return, Escape) for msg when it is for hDlg or one
// of its descendants; TRUE when the message was processed (do not dispatch it again).
KELMIRA_EXTERN_C BOOL IsDialogMessageA(HWND hDlg, LPMSG lpMsg);
// The base units of the system font: average character width in the low word, height in the
// high word.
KELMIRA_EXTERN_C LONG GetDialogBaseUnits();
// Dialog units to pixels with the dialog's font: x * baseX / 4, y * baseY / 8.
KELMIRA_EXTERN_C BOOL MapDialogRect(HWND hDlg, LPRECT lpRect);
// The size in pixels of a dialog made from the template, measured with the template's font (the
// system base units when it names none that can be made), as a property page reports its size
// before its window exists (Kelmira extension). FALSE with ERROR_INVALID_PARAMETER for a null
// argument or a malformed template.
KELMIRA_EXTERN_C BOOL KelmiraGetDialogTemplateSize(LPCDLGTEMPLATEA lpTemplate, SIZE* size);
inline HWND CreateDialogIndirectParam(HINSTANCE i, LPCDLGTEMPLATEA t, HWND p, DLGPROC f, LPARAM l) {
  return CreateDialogIndirectParamA(i, t, p, f, l);
}
inline INT_PTR DialogBoxIndirectParam(HINSTANCE i, LPCDLGTEMPLATEA t, HWND p, DLGPROC f, LPARAM l) {
  return DialogBoxIndirectParamA(i, t, p, f, l);
}

// ---------------------------------------------------------------------------------------------
// The STATIC control

constexpr DWORD SS_LEFT = 0x00000000;
constexpr DWORD SS_CENTER = 0x00000001;
constexpr DWORD SS_RIGHT = 0x00000002;
constexpr DWORD SS_ICON = 0x00000003;
constexpr DWORD SS_BLACKRECT = 0x00000004;
constexpr DWORD SS_GRAYRECT = 0x00000005;
constexpr DWORD SS_WHITERECT = 0x00000006;
constexpr DWORD SS_BLACKFRAME = 0x00000007;
constexpr DWORD SS_GRAYFRAME = 0x00000008;
constexpr DWORD SS_WHITEFRAME = 0x00000009;
constexpr DWORD SS_USERITEM = 0x0000000A;
constexpr DWORD SS_SIMPLE = 0x0000000B;
constexpr DWORD SS_LEFTNOWORDWRAP = 0x0000000C;
constexpr DWORD SS_OWNERDRAW = 0x0000000D;
constexpr DWORD SS_BITMAP = 0x0000000E;
constexpr DWORD SS_ENHMETAFILE = 0x0000000F;
constexpr DWORD SS_ETCHEDHORZ = 0x00000010;
constexpr DWORD SS_ETCHEDVERT = 0x00000011;
constexpr DWORD SS_ETCHEDFRAME = 0x00000012;
constexpr DWORD SS_TYPEMASK = 0x0000001F;
constexpr DWORD SS_REALSIZECONTROL = 0x00000040;
constexpr DWORD SS_NOPREFIX = 0x00000080;
constexpr DWORD SS_NOTIFY = 0x00000100;
constexpr DWORD SS_CENTERIMAGE = 0x00000200;
constexpr DWORD SS_RIGHTJUST = 0x00000400;
constexpr DWORD SS_REALSIZEIMAGE = 0x00000800;
constexpr DWORD SS_SUNKEN = 0x00001000;
constexpr DWORD SS_EDITCONTROL = 0x00002000;
constexpr DWORD SS_ENDELLIPSIS = 0x00004000;
constexpr DWORD SS_PATHELLIPSIS = 0x00008000;
constexpr DWORD SS_WORDELLIPSIS = 0x0000C000;
constexpr DWORD SS_ELLIPSISMASK = 0x0000C000;

constexpr WORD STN_CLICKED = 0;
constexpr WORD STN_DBLCLK = 1;
constexpr WORD STN_ENABLE = 2;
constexpr WORD STN_DISABLE = 3;

constexpr UINT STM_SETICON = 0x0170;
constexpr UINT STM_GETICON = 0x0171;
constexpr UINT STM_SETIMAGE = 0x0172;
constexpr UINT STM_GETIMAGE = 0x0173;

#define WC_STATICA "Static"

// ---------------------------------------------------------------------------------------------
// The BUTTON control

constexpr DWORD BS_PUSHBUTTON = 0x00000000;
constexpr DWORD BS_DEFPUSHBUTTON = 0x00000001;
constexpr DWORD BS_CHECKBOX = 0x00000002;
constexpr DWORD BS_AUTOCHECKBOX = 0x00000003;
constexpr DWORD BS_RADIOBUTTON = 0x00000004;
constexpr DWORD BS_3STATE = 0x00000005;
constexpr DWORD BS_AUTO3STATE = 0x00000006;
constexpr DWORD BS_GROUPBOX = 0x00000007;
constexpr DWORD BS_USERBUTTON = 0x00000008;
constexpr DWORD BS_AUTORADIOBUTTON = 0x00000009;
constexpr DWORD BS_PUSHBOX = 0x0000000A;
constexpr DWORD BS_OWNERDRAW = 0x0000000B;
constexpr DWORD BS_TYPEMASK = 0x0000000F;
constexpr DWORD BS_LEFTTEXT = 0x00000020;
constexpr DWORD BS_RIGHTBUTTON = BS_LEFTTEXT;

constexpr UINT BM_GETCHECK = 0x00F0;
constexpr UINT BM_SETCHECK = 0x00F1;
constexpr UINT BM_GETSTATE = 0x00F2;
constexpr UINT BM_SETSTATE = 0x00F3;
constexpr UINT BM_SETSTYLE = 0x00F4;
constexpr UINT BM_CLICK = 0x00F5;

constexpr WORD BN_CLICKED = 0;
constexpr WORD BN_PAINT = 1;
constexpr WORD BN_HILITE = 2;
constexpr WORD BN_UNHILITE = 3;
constexpr WORD BN_DISABLE = 4;
constexpr WORD BN_DOUBLECLICKED = 5;
constexpr WORD BN_SETFOCUS = 6;
constexpr WORD BN_KILLFOCUS = 7;

constexpr UINT BST_UNCHECKED = 0x0000;
constexpr UINT BST_CHECKED = 0x0001;
constexpr UINT BST_INDETERMINATE = 0x0002;
constexpr UINT BST_PUSHED = 0x0004;
constexpr UINT BST_FOCUS = 0x0008;

#define WC_BUTTONA "Button"

// BM_SETCHECK to / BM_GETCHECK from the dialog item; CheckDlgButton fails with
// ERROR_CONTROL_ID_NOT_FOUND and IsDlgButtonChecked gives BST_UNCHECKED when there is no such item.
KELMIRA_EXTERN_C BOOL CheckDlgButton(HWND hDlg, int nIDButton, UINT uCheck);
KELMIRA_EXTERN_C UINT IsDlgButtonChecked(HWND hDlg, int nIDButton);

// ---------------------------------------------------------------------------------------------
// The EDIT control (single line)

constexpr DWORD ES_LEFT = 0x0000;
constexpr DWORD ES_CENTER = 0x0001;
constexpr DWORD ES_RIGHT = 0x0002;
constexpr DWORD ES_MULTILINE = 0x0004;
constexpr DWORD ES_UPPERCASE = 0x0008;
constexpr DWORD ES_LOWERCASE = 0x0010;
constexpr DWORD ES_PASSWORD = 0x0020;
constexpr DWORD ES_AUTOVSCROLL = 0x0040;
constexpr DWORD ES_AUTOHSCROLL = 0x0080;
constexpr DWORD ES_NOHIDESEL = 0x0100;
constexpr DWORD ES_READONLY = 0x0800;
constexpr DWORD ES_WANTRETURN = 0x1000;
constexpr DWORD ES_NUMBER = 0x2000;

constexpr UINT EM_GETSEL = 0x00B0;
constexpr UINT EM_SETSEL = 0x00B1;
constexpr UINT EM_REPLACESEL = 0x00C2;
constexpr UINT EM_GETMODIFY = 0x00B8;
constexpr UINT EM_SETMODIFY = 0x00B9;
constexpr UINT EM_LIMITTEXT = 0x00C5;
constexpr UINT EM_SETLIMITTEXT = EM_LIMITTEXT;
constexpr UINT EM_SETREADONLY = 0x00CF;
constexpr UINT EM_GETLIMITTEXT = 0x00D5;

constexpr WORD EN_SETFOCUS = 0x0100;
constexpr WORD EN_KILLFOCUS = 0x0200;
constexpr WORD EN_CHANGE = 0x0300;
constexpr WORD EN_UPDATE = 0x0400;
constexpr WORD EN_MAXTEXT = 0x0501;

#define WC_EDITA "Edit"

// ---------------------------------------------------------------------------------------------
// The COMBOBOX control (drop-down list)

constexpr DWORD CBS_SIMPLE = 0x0001;
constexpr DWORD CBS_DROPDOWN = 0x0002;
constexpr DWORD CBS_DROPDOWNLIST = 0x0003;
constexpr DWORD CBS_OWNERDRAWFIXED = 0x0010;
constexpr DWORD CBS_OWNERDRAWVARIABLE = 0x0020;
constexpr DWORD CBS_AUTOHSCROLL = 0x0040;
constexpr DWORD CBS_OEMCONVERT = 0x0080;
constexpr DWORD CBS_SORT = 0x0100;
constexpr DWORD CBS_HASSTRINGS = 0x0200;
constexpr DWORD CBS_NOINTEGRALHEIGHT = 0x0400;
constexpr DWORD CBS_DISABLENOSCROLL = 0x0800;

constexpr UINT CB_GETEDITSEL = 0x0140;
constexpr UINT CB_LIMITTEXT = 0x0141;
constexpr UINT CB_SETEDITSEL = 0x0142;
constexpr UINT CB_ADDSTRING = 0x0143;
constexpr UINT CB_DELETESTRING = 0x0144;
constexpr UINT CB_GETCOUNT = 0x0146;
constexpr UINT CB_GETCURSEL = 0x0147;
constexpr UINT CB_GETLBTEXT = 0x0148;
constexpr UINT CB_GETLBTEXTLEN = 0x0149;
constexpr UINT CB_INSERTSTRING = 0x014A;
constexpr UINT CB_RESETCONTENT = 0x014B;
constexpr UINT CB_FINDSTRING = 0x014C;
constexpr UINT CB_SELECTSTRING = 0x014D;
constexpr UINT CB_SETCURSEL = 0x014E;
constexpr UINT CB_SHOWDROPDOWN = 0x014F;
constexpr UINT CB_GETITEMDATA = 0x0150;
constexpr UINT CB_SETITEMDATA = 0x0151;
constexpr UINT CB_GETDROPPEDCONTROLRECT = 0x0152;
constexpr UINT CB_SETITEMHEIGHT = 0x0153;
constexpr UINT CB_GETITEMHEIGHT = 0x0154;
constexpr UINT CB_FINDSTRINGEXACT = 0x0158;
constexpr UINT CB_GETDROPPEDSTATE = 0x0157;
constexpr UINT CB_GETTOPINDEX = 0x015B;
constexpr UINT CB_SETTOPINDEX = 0x015C;

constexpr LRESULT CB_OKAY = 0;
constexpr LRESULT CB_ERR = -1;
constexpr LRESULT CB_ERRSPACE = -2;

constexpr WORD CBN_ERRSPACE = static_cast<WORD>(-1);
constexpr WORD CBN_SELCHANGE = 1;
constexpr WORD CBN_DBLCLK = 2;
constexpr WORD CBN_SETFOCUS = 3;
constexpr WORD CBN_KILLFOCUS = 4;
constexpr WORD CBN_EDITCHANGE = 5;
constexpr WORD CBN_EDITUPDATE = 6;
constexpr WORD CBN_DROPDOWN = 7;
constexpr WORD CBN_CLOSEUP = 8;
constexpr WORD CBN_SELENDOK = 9;
constexpr WORD CBN_SELENDCANCEL = 10;

#define WC_COMBOBOXA "ComboBox"

// ---------------------------------------------------------------------------------------------
// Display back-ends (Kelmira extensions)

// Selects the back-end that presents top-level windows and feeds native input: "headless" (the
// default: a 1920x1080 virtual screen, nothing shown) or "sdl" (each visible top-level window is
// a desktop window). Without a call, the environment variable KELMIRA_DISPLAY chooses
// (headless|sdl); an unknown value falls back to headless. Only possible while no window exists
// (E_ACCESSDENIED otherwise); E_INVALIDARG for an unknown name, E_FAIL when the back-end cannot
// start (no display).
KELMIRA_EXTERN_C HRESULT KelmiraSetDisplayBackend(const char* name);
// The name of the back-end in use ("headless" or "sdl").
KELMIRA_EXTERN_C const char* KelmiraGetDisplayBackend();

// Called by GetMessageA and WaitMessage, under every back-end, when a message loop finds nothing
// to do (an empty queue, nothing to paint, no pending native event) before they wait: the hook may
// post or inject something (a test drives a modal loop, kelmira-view replays a script this way)
// and returns TRUE when it did. It is not called again while it runs. Null removes it.
using KelmiraIdleHook = BOOL (*)(void* context);
KELMIRA_EXTERN_C void KelmiraSetIdleHook(KelmiraIdleHook hook, void* context);

// What a window shows, read from its top-level window's backing bitmap (any back-end). x and y
// are client coordinates of hwnd; E_INVALIDARG outside the window or for a bad window.
KELMIRA_EXTERN_C HRESULT KelmiraGetWindowPixel(HWND hwnd, int x, int y, COLORREF* color);
// Writes the window's area of the backing bitmap as a PNG file (errors as KelmiraSaveBitmapPng).
KELMIRA_EXTERN_C HRESULT KelmiraSaveWindowPng(HWND hwnd, const char* path);

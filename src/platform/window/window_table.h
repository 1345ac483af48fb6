// The handle table of windows and the registry of window classes.
//
// HWND values come from a gdi::HandleTable (index, generation), so a destroyed window's handle
// never resolves again while its slot is reused. The table is owned by the window-system thread:
// the thread that creates the first window, until the last one is freed.
#pragma once

#include "window/window.h"

#include <memory>
#include <vector>

namespace kelmira::window {

// True when the calling thread may use the window system (claiming it if nobody owns it and
// claim is set); otherwise sets ERROR_WINDOW_OF_OTHER_THREAD.
KELMIRA_API bool CheckWindowThread(bool claim = false);

// The live window named by hwnd, or null with ERROR_INVALID_WINDOW_HANDLE (also for calls from
// another thread: ERROR_WINDOW_OF_OTHER_THREAD). Windows being destroyed are still found until
// they are freed after WM_NCDESTROY.
KELMIRA_API Window* LookupWindow(HWND hwnd);
// As LookupWindow without touching the last error.
KELMIRA_API Window* FindWindowObject(HWND hwnd);

// Takes ownership of a new window and gives it its handle (null when the table is full).
HWND AddWindow(std::unique_ptr<Window> window);
// Frees the window's handle and memory.
void FreeWindow(HWND hwnd);

// Top-level windows in z-order, top first.
KELMIRA_API std::vector<Window*>& TopLevelWindows();
// The sibling list w lives in (its parent's children or the top-level list).
KELMIRA_API std::vector<Window*>& SiblingsOf(Window& w);
// The number of live windows.
std::size_t WindowCount();

// Window classes. A name is an atom (MAKEINTATOM) or a string compared without case.
KELMIRA_API WindowClass* FindClass(LPCSTR name);
// Null with ERROR_CLASS_ALREADY_EXISTS for a name in use.
WindowClass* AddClass(std::unique_ptr<WindowClass> cls);
// FALSE with ERROR_CLASS_DOES_NOT_EXIST / ERROR_CLASS_HAS_WINDOWS.
BOOL RemoveClass(LPCSTR name);

}  // namespace kelmira::window

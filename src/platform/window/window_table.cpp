// The window handle table, the top-level z-order list, the class registry and the listeners.
#include "window/window_table.h"

#include "gdi/handle_table.h"

#include <kelmira/platform/oleauto.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <mutex>
#include <thread>

namespace kelmira::window {
namespace {

std::atomic<std::thread::id>& OwnerThread() {
  static std::atomic<std::thread::id> owner{};
  return owner;
}

gdi::HandleTable<Window>& Table() {
  static gdi::HandleTable<Window> table;
  return table;
}

std::size_t& LiveCount() {
  static std::size_t count = 0;
  return count;
}

struct ClassRegistry {
  std::mutex mutex;
  std::vector<std::unique_ptr<WindowClass>> classes;
  ATOM nextAtom = 0xC000;
};

ClassRegistry& Classes() {
  static ClassRegistry registry;
  return registry;
}

bool SameName(const std::string& a, LPCSTR b) {
  std::size_t n = std::strlen(b);
  if (a.size() != n) return false;
  for (std::size_t i = 0; i < n; ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// The dialog class keeps its well-known atom so that WC_DIALOG names it.
constexpr ATOM kDialogAtom = 0x8002;

WindowClass* FindClassLocked(ClassRegistry& r, LPCSTR name) {
  if (!name) return nullptr;
  if (IS_INTRESOURCE(name)) {
    ATOM atom = static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(name));
    for (auto& c : r.classes)
      if (c->atom == atom) return c.get();
    return nullptr;
  }
  for (auto& c : r.classes)
    if (SameName(c->name, name)) return c.get();
  return nullptr;
}

}  // namespace

bool CheckWindowThread(bool claim) {
  std::thread::id self = std::this_thread::get_id();
  std::thread::id owner = OwnerThread().load();
  if (owner == self) return true;
  if (owner == std::thread::id{}) {
    if (!claim) return true;
    if (OwnerThread().compare_exchange_strong(owner, self)) return true;
    if (owner == self) return true;
  }
  SetLastError(ERROR_WINDOW_OF_OTHER_THREAD);
  return false;
}

Window* FindWindowObject(HWND hwnd) {
  if (!hwnd) return nullptr;
  std::thread::id owner = OwnerThread().load();
  if (owner != std::this_thread::get_id()) return nullptr;
  return Table().Find(gdi::HandleValue(hwnd));
}

Window* LookupWindow(HWND hwnd) {
  if (!CheckWindowThread()) return nullptr;
  Window* w = FindWindowObject(hwnd);
  if (!w) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
  return w;
}

HWND AddWindow(std::unique_ptr<Window> window) {
  Window* raw = window.get();
  std::uint32_t value = Table().Add(std::move(window), 0);
  if (!value) return nullptr;
  raw->handle = gdi::HandleFromValue<HWND>(value);
  ++LiveCount();
  return raw->handle;
}

void FreeWindow(HWND hwnd) {
  std::unique_ptr<Window> w = Table().Remove(gdi::HandleValue(hwnd));
  if (!w) return;
  if (LiveCount() > 0) --LiveCount();
  if (LiveCount() == 0) OwnerThread().store(std::thread::id{});
}

std::vector<Window*>& TopLevelWindows() {
  static std::vector<Window*> list;
  return list;
}

std::vector<Window*>& SiblingsOf(Window& w) { return w.parent ? w.parent->children : TopLevelWindows(); }

std::size_t WindowCount() { return LiveCount(); }

WindowClass* FindClass(LPCSTR name) {
  ClassRegistry& r = Classes();
  std::lock_guard lock(r.mutex);
  return FindClassLocked(r, name);
}

WindowClass* AddClass(std::unique_ptr<WindowClass> cls) {
  ClassRegistry& r = Classes();
  std::lock_guard lock(r.mutex);
  if (FindClassLocked(r, cls->name.c_str())) {
    SetLastError(ERROR_CLASS_ALREADY_EXISTS);
    return nullptr;
  }
  if (SameName(cls->name, "#32770") && !FindClassLocked(r, MAKEINTATOM(kDialogAtom))) {
    cls->atom = kDialogAtom;
  } else {
    if (r.nextAtom == 0xFFFF) {
      SetLastError(ERROR_NOT_ENOUGH_MEMORY);
      return nullptr;
    }
    cls->atom = r.nextAtom++;
  }
  r.classes.push_back(std::move(cls));
  return r.classes.back().get();
}

BOOL RemoveClass(LPCSTR name) {
  ClassRegistry& r = Classes();
  std::lock_guard lock(r.mutex);
  WindowClass* cls = FindClassLocked(r, name);
  if (!cls) {
    SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
    return FALSE;
  }
  if (cls->liveWindows > 0) {
    SetLastError(ERROR_CLASS_HAS_WINDOWS);
    return FALSE;
  }
  std::erase_if(r.classes, [cls](const std::unique_ptr<WindowClass>& c) { return c.get() == cls; });
  return TRUE;
}

namespace {
std::vector<WindowListener>& ListenerList() {
  static std::vector<WindowListener> list;
  return list;
}
}  // namespace

void AddWindowListener(const WindowListener& listener) { ListenerList().push_back(listener); }
const std::vector<WindowListener>& WindowListeners() { return ListenerList(); }

}  // namespace kelmira::window

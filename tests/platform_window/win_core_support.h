// Test windows that record the messages they get and let a test answer some of them.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <optional>
#include <tuple>
#include <vector>

namespace wincore {

struct Event {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
};

using Handler = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// Recording state shared by every test window; reset by the fixture.
struct Recorder {
  std::vector<Event> events;
  Handler handler;  // answers a message instead of DefWindowProcA when it returns a value
  bool recording = true;

  static Recorder& Get() {
    static Recorder r;
    return r;
  }

  std::vector<UINT> MessagesFor(HWND hwnd) const {
    std::vector<UINT> out;
    for (const Event& e : events)
      if (e.hwnd == hwnd) out.push_back(e.msg);
    return out;
  }
  int Count(HWND hwnd, UINT msg) const {
    int n = 0;
    for (const Event& e : events) n += (e.hwnd == hwnd && e.msg == msg);
    return n;
  }
  // Only the messages in `of`, in order, as (window, message) pairs.
  std::vector<std::pair<HWND, UINT>> Sequence(std::initializer_list<UINT> of) const {
    std::vector<std::pair<HWND, UINT>> out;
    for (const Event& e : events)
      for (UINT m : of)
        if (e.msg == m) out.emplace_back(e.hwnd, e.msg);
    return out;
  }
};

inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  Recorder& r = Recorder::Get();
  if (r.recording) r.events.push_back(Event{hwnd, msg, wParam, lParam});
  if (r.handler) {
    Handler h = r.handler;  // the handler may replace itself
    if (std::optional<LRESULT> result = h(hwnd, msg, wParam, lParam)) return *result;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

constexpr COLORREF kBackground = RGB(0, 0, 255);

// "WinCoreTest": blue background; "WinCoreRedraw": the same with CS_HREDRAW | CS_VREDRAW;
// "WinCoreBare": no background brush.
inline void RegisterTestClasses() {
  static bool done = [] {
    static HBRUSH brush = CreateSolidBrush(kBackground);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = RecordingProc;
    wc.hbrBackground = brush;
    wc.cbWndExtra = 16;
    wc.lpszClassName = "WinCoreTest";
    RegisterClassExA(&wc);
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpszClassName = "WinCoreRedraw";
    RegisterClassExA(&wc);
    wc.style = 0;
    wc.hbrBackground = nullptr;
    wc.lpszClassName = "WinCoreBare";
    RegisterClassExA(&wc);
    return true;
  }();
  (void)done;
}

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    Recorder::Get() = Recorder{};
  }
  void TearDown() override {
    Recorder::Get().handler = nullptr;
    for (HWND h : created_)
      if (IsWindow(h)) DestroyWindow(h);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) && m.message != WM_PAINT) {
    }
    Recorder::Get() = Recorder{};
  }

  HWND Top(int x, int y, int cx, int cy, DWORD style = WS_OVERLAPPED | WS_VISIBLE, const char* cls = "WinCoreTest") {
    HWND h = CreateWindowExA(0, cls, "top", style, x, y, cx, cy, nullptr, nullptr, nullptr, nullptr);
    created_.push_back(h);
    return h;
  }
  HWND Child(HWND parent, int id, int x, int y, int cx, int cy, DWORD style = WS_CHILD | WS_VISIBLE,
             const char* cls = "WinCoreTest") {
    return CreateWindowExA(0, cls, "child", style, x, y, cx, cy, parent,
                           reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
  }
  static void Clear() { Recorder::Get().events.clear(); }
  static Recorder& Rec() { return Recorder::Get(); }

  // Dispatches everything waiting, WM_PAINT included; returns the number of messages.
  static int Pump() {
    MSG m;
    int n = 0;
    while (n < 1000 && PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageA(&m);
      ++n;
    }
    return n;
  }

  static COLORREF Pixel(HWND hwnd, int x, int y) {
    COLORREF c = CLR_INVALID;
    EXPECT_EQ(KelmiraGetWindowPixel(hwnd, x, y, &c), S_OK);
    return c;
  }
  // Fills `r` (client coordinates) through a window DC, outside any paint cycle.
  static void Fill(HWND hwnd, RECT r, COLORREF colour) {
    HDC hdc = GetDC(hwnd);
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(hdc, &r, brush);
    DeleteObject(brush);
    ReleaseDC(hwnd, hdc);
  }
  static RECT ClientRect(HWND hwnd) {
    RECT r{};
    GetClientRect(hwnd, &r);
    return r;
  }
  static RECT WindowRect(HWND hwnd) {
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
  }
  static std::optional<RECT> UpdateRect(HWND hwnd) {
    RECT r{};
    if (!GetUpdateRect(hwnd, &r, FALSE)) return std::nullopt;
    return r;
  }

  std::vector<HWND> created_;
};

// A rectangle as a comparable, printable value.
inline std::vector<LONG> V(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }
inline std::vector<LONG> V(LONG l, LONG t, LONG r, LONG b) { return {l, t, r, b}; }
inline std::vector<LONG> V(POINT p) { return {p.x, p.y}; }
inline std::vector<LONG> V(LONG x, LONG y) { return {x, y}; }

}  // namespace wincore

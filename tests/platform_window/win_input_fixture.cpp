#include "win_input_fixture.h"

namespace kelmira::test {
namespace {

std::vector<Received> g_received;
std::vector<HWND> g_windows;

bool IsRecorded(UINT msg) {
  if ((msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST)) return true;
  for (UINT m :
       {WM_SETCURSOR, WM_MOUSEACTIVATE, WM_CAPTURECHANGED, WM_SETFOCUS, WM_KILLFOCUS, WM_ACTIVATE, WM_PARENTNOTIFY})
    if (m == msg) return true;
  return false;
}

LRESULT RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (IsRecorded(msg)) g_received.push_back(Received{hwnd, msg, wParam, lParam, GetKeyState(VK_LBUTTON)});
  const InputBehaviour& b = InputTest::Behaviour();
  if (msg == WM_LBUTTONDOWN && b.captureOnPress) SetCapture(hwnd);
  if (msg == WM_MOUSEACTIVATE && b.mouseActivate) return b.mouseActivate;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Register(const char* name, UINT style, LPCSTR cursor) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = RecordingProc;
  wc.hCursor = LoadCursorA(nullptr, cursor);
  wc.lpszClassName = name;
  RegisterClassExA(&wc);  // already there from an earlier test: fine
}

}  // namespace

InputBehaviour& InputTest::Behaviour() {
  static InputBehaviour behaviour;
  return behaviour;
}

void InputTest::SetUp() {
  Register(kDoubleClickClass, CS_DBLCLKS, IDC_CROSS);
  Register(kPlainClass, 0, IDC_IBEAM);
  window::ResetInputState();
  Behaviour() = InputBehaviour{};
  g_received.clear();
  g_windows.clear();
}

void InputTest::TearDown() {
  for (HWND hwnd : g_windows)
    if (IsWindow(hwnd)) DestroyWindow(hwnd);
  Pump();
  window::ResetInputState();
  g_received.clear();
}

HWND InputTest::MakeTop(const char* cls, int x, int y, int w, int h) {
  HWND hwnd = CreateWindowExA(0, cls, "", WS_POPUP | WS_VISIBLE, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(hwnd, nullptr);
  g_windows.push_back(hwnd);
  Pump();
  ClearMessages();
  return hwnd;
}

HWND InputTest::MakeChild(HWND parent, int x, int y, int w, int h) {
  HWND hwnd =
      CreateWindowExA(0, kDoubleClickClass, "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent, nullptr, nullptr, nullptr);
  EXPECT_NE(hwnd, nullptr);
  Pump();
  ClearMessages();
  return hwnd;
}

void InputTest::Pump() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

void InputTest::Press(UINT message, int x, int y, WPARAM keys) {
  ASSERT_TRUE(KelmiraInjectMouse(message, x, y, keys));
  Pump();
}

void InputTest::MouseAt(DWORD flags, int x, int y, DWORD time, DWORD mouseData) {
  SIZE screen{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = Normalised(x, screen.cx);
  in.mi.dy = Normalised(y, screen.cy);
  in.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.time = time;
  in.mi.mouseData = mouseData;
  ASSERT_EQ(SendInput(1, &in, sizeof(in)), 1u);
  Pump();
}

void InputTest::Key(UINT message, WPARAM vk) {
  ASSERT_TRUE(KelmiraInjectKey(message, vk));
  Pump();
}

std::vector<Received> InputTest::Messages(UINT first, UINT last, HWND only) const {
  std::vector<Received> out;
  for (const Received& r : g_received)
    if (r.message >= first && r.message <= last && (!only || r.hwnd == only)) out.push_back(r);
  return out;
}

std::vector<UINT> InputTest::Ids(UINT first, UINT last, HWND only) const {
  std::vector<UINT> ids;
  for (const Received& r : Messages(first, last, only)) ids.push_back(r.message);
  return ids;
}

void InputTest::ClearMessages() { g_received.clear(); }

LONG Normalised(int p, int pixels) {
  return static_cast<LONG>((static_cast<long long>(p) * 65536 + pixels - 1) / pixels);
}

}  // namespace kelmira::test

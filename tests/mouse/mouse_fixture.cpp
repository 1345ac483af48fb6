#include "mouse_fixture.h"

#include "window/input_state.h"

#include <memory>
#include <utility>

namespace kelmira::test {

HRESULT ArmTool(IMouseInputManager* manager, int tool, BSTR command) {
  using Arm = HRESULT (STDMETHODCALLTYPE IMouseInputManager::*)(BSTR);
  static constexpr Arm kTools[] = {&IMouseInputManager::DragPoint,     &IMouseInputManager::DragLine,
                                   &IMouseInputManager::DragRectangle, &IMouseInputManager::DragCircle,
                                   &IMouseInputManager::DragXRange,    &IMouseInputManager::DragYRange,
                                   &IMouseInputManager::DragXLine,     &IMouseInputManager::DragYLine};
  return tool >= 1 && tool <= 8 ? (manager->*kTools[tool - 1])(command) : E_INVALIDARG;
}

MouseTest* MouseTest::current_ = nullptr;

void MouseTest::SetUp() {
  CoInitialize(nullptr);
  window::ResetInputState();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &MouseTest::Proc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "KelmiraMouseTest";
  RegisterClassExA(&wc);  // already there from an earlier test: fine
  current_ = this;
  ASSERT_EQ(mouse::CreateOwnedMouseInputManager(&link_, std::addressof(manager_), &routing_), S_OK);
  hwnd_ = CreateWindowExA(0, "KelmiraMouseTest", "", WS_POPUP | WS_VISIBLE, kLeft, kTop, kSize, kSize, nullptr, nullptr,
                          nullptr, nullptr);
  ASSERT_NE(hwnd_, nullptr);
  link_.window = hwnd_;
  UpdateWindow(hwnd_);
  Pump();
  KelmiraSetMessageBoxHook(&MouseTest::Hook, &box_);
}

void MouseTest::TearDown() {
  KelmiraSetMessageBoxHook(nullptr, nullptr);
  if (routing_) routing_->DetachContainer();
  routing_ = nullptr;
  manager_ = nullptr;
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  Pump();
  current_ = nullptr;
  window::ResetInputState();
  CoUninitialize();
}

void MouseTest::Pump() {
  MSG msg;
  for (int i = 0; i < 10000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE); ++i) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

namespace {

DWORD InputFlags(UINT message) {
  static constexpr std::pair<UINT, DWORD> kFlags[] = {
      {WM_LBUTTONDOWN, MOUSEEVENTF_LEFTDOWN},   {WM_LBUTTONUP, MOUSEEVENTF_LEFTUP},
      {WM_RBUTTONDOWN, MOUSEEVENTF_RIGHTDOWN},  {WM_RBUTTONUP, MOUSEEVENTF_RIGHTUP},
      {WM_MBUTTONDOWN, MOUSEEVENTF_MIDDLEDOWN}, {WM_MBUTTONUP, MOUSEEVENTF_MIDDLEUP}};
  for (auto [m, flags] : kFlags)
    if (m == message) return flags;
  return 0;
}

LONG Normalised(int p, int pixels) {
  return static_cast<LONG>((static_cast<long long>(p) * 65536 + pixels - 1) / pixels);
}

}  // namespace

void MouseTest::Mouse(UINT message, int x, int y, DWORD mouseData, DWORD after) {
  // Event times a second apart unless asked otherwise, so that presses pair into double clicks
  // only where a test wants one.
  clock_ += after;
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = Normalised(kLeft + x, GetSystemMetrics(SM_CXSCREEN));
  in.mi.dy = Normalised(kTop + y, GetSystemMetrics(SM_CYSCREEN));
  in.mi.dwFlags = InputFlags(message) | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in.mi.mouseData = mouseData;
  in.mi.time = clock_;
  ASSERT_EQ(SendInput(1, &in, sizeof(in)), 1u);
  Pump();
}

void MouseTest::Arm(int tool, const char16_t* command) {
  Bstr text(command);
  ASSERT_EQ(ArmTool(manager_.get(), tool, text.get()), S_OK);
}

HRESULT MouseTest::Send(UINT message, int x, int y, WPARAM keys, LRESULT* result) {
  LRESULT r = 0;
  const BOOL handled = routing_->HandleMessage(hwnd_, message, keys, MAKELPARAM(x, y), r);
  if (result) *result = r;
  return handled ? S_OK : S_FALSE;
}

COLORREF MouseTest::Picture(int x, int y) { return RGB((x * 5) & 0xFF, (y * 7) & 0xFF, ((x + y) * 3) & 0xFF); }

Image MouseTest::Snapshot() {
  Image image;
  HDC dc = GetDC(hwnd_);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) image.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  ReleaseDC(hwnd_, dc);
  return image;
}

int MouseTest::CursorCount() {
  const int count = ShowCursor(TRUE) - 1;
  ShowCursor(FALSE);
  return count;
}

RECT MouseTest::Clip() {
  RECT clip{};
  GetClipCursor(&clip);
  return clip;
}

std::tuple<OLE_COLOR, OLE_COLOR, VARIANT_BOOL> MouseTest::Record() {
  OLE_COLOR drag = 1, fill = 1;
  VARIANT_BOOL filled = 1;
  EXPECT_EQ(manager_->get_DragColor(&drag) | manager_->get_FillColor(&fill) | manager_->get_Fill(&filled), S_OK);
  return {drag, fill, filled};
}

LRESULT MouseTest::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MouseTest* test = current_;
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) SetPixelV(dc, x, y, Picture(x, y));
    EndPaint(hwnd, &ps);
    // As the container does at the end of every paint.
    if (test && test->routing_) {
      ++test->paints_;
      test->routing_->RedrawBandIfDragging();
    }
    return 0;
  }
  LRESULT result = 0;
  if (test && test->routing_ && test->routing_->HandleMessage(hwnd, msg, wParam, lParam, result)) return result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

int MouseTest::Hook(HWND owner, const char* text, const char* caption, UINT type, void* context) {
  auto* box = static_cast<BoxCall*>(context);
  ++box->count;
  box->owner = owner;
  box->text = text ? text : "";
  box->caption = caption ? caption : "";
  box->type = type;
  return IDOK;
}

int Differences(const Image& a, const Image& b) {
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

void ExpectInvertedExactly(const Image& before, const Image& after, const std::function<bool(int, int)>& band) {
  int wrong = 0;
  for (int y = 0; y < kWindowSize; ++y)
    for (int x = 0; x < kWindowSize; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * kWindowSize + x);
      const COLORREF expected = band(x, y) ? (~before[i] & 0xFFFFFF) : before[i];
      if (after[i] != expected && wrong++ < 5) ADD_FAILURE() << "pixel (" << x << "," << y << ")";
    }
  EXPECT_EQ(wrong, 0);
}

}  // namespace kelmira::test

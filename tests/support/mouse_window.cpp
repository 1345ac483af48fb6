#include "support/mouse_window.h"

#include "support/injected_input.h"
#include "support/pump.h"
#include "window/input_state.h"

#include <memory>

namespace kelmira::test {
namespace {

MouseWindowTest* current = nullptr;

COLORREF Picture(int x, int y) { return RGB((x * 5) & 0xFF, (y * 7) & 0xFF, ((x + y) * 3) & 0xFF); }

}  // namespace

void MouseWindowTest::SetUp() {
  window::ResetInputState();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = &MouseWindowTest::Proc;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.lpszClassName = "KelmiraMouseTest";
  RegisterClassExA(&wc);  // already there from an earlier test: fine
  current = this;
  ASSERT_EQ(mouse::CreateOwnedMouseInputManager(&link_, std::addressof(manager_), &routing_), S_OK);
  hwnd_ = CreateWindowExA(0, "KelmiraMouseTest", "", WS_POPUP | WS_VISIBLE, kLeft, kTop, kSize, kSize, nullptr, nullptr,
                          nullptr, nullptr);
  ASSERT_NE(hwnd_, nullptr);
  link_.window = hwnd_;
  UpdateWindow(hwnd_);
  Pump();
  before_ = Snapshot();
  KelmiraSetMessageBoxHook(
      [](HWND owner, const char* text, const char* caption, UINT type, void* context) {
        static_cast<MouseWindowTest*>(context)->boxes_.emplace_back(owner, text, caption, type);
        return IDOK;
      },
      this);
}

void MouseWindowTest::TearDown() {
  KelmiraSetMessageBoxHook(nullptr, nullptr);
  if (routing_) routing_->DetachContainer();
  routing_ = nullptr;
  manager_ = nullptr;
  if (IsWindow(hwnd_)) DestroyWindow(hwnd_);
  Pump();
  current = nullptr;
  window::ResetInputState();
}

void MouseWindowTest::Mouse(UINT message, int x, int y, DWORD after) {
  static constexpr std::pair<UINT, DWORD> kFlags[] = {
      {WM_LBUTTONDOWN, MOUSEEVENTF_LEFTDOWN},   {WM_LBUTTONUP, MOUSEEVENTF_LEFTUP},
      {WM_RBUTTONDOWN, MOUSEEVENTF_RIGHTDOWN},  {WM_RBUTTONUP, MOUSEEVENTF_RIGHTUP},
      {WM_MBUTTONDOWN, MOUSEEVENTF_MIDDLEDOWN}, {WM_MBUTTONUP, MOUSEEVENTF_MIDDLEUP}};
  DWORD flags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  for (auto [m, button] : kFlags)
    if (m == message) flags |= button;
  // Events a second apart unless asked otherwise, so that presses pair into double clicks only
  // where a test wants one.
  clock_ += after;
  test::Mouse(flags, kLeft + x, kTop + y, clock_);
}

void MouseWindowTest::Arm(int tool, const char16_t* command) {
  using Tool = HRESULT (STDMETHODCALLTYPE IMouseInputManager::*)(BSTR);
  static constexpr Tool kTools[] = {&IMouseInputManager::DragPoint,     &IMouseInputManager::DragLine,
                                    &IMouseInputManager::DragRectangle, &IMouseInputManager::DragCircle,
                                    &IMouseInputManager::DragXRange,    &IMouseInputManager::DragYRange,
                                    &IMouseInputManager::DragXLine,     &IMouseInputManager::DragYLine};
  ASSERT_EQ((manager_.get()->*kTools[tool - 1])(Bstr(command).get()), S_OK);
}

std::optional<LRESULT> MouseWindowTest::Send(UINT message, int x, int y, WPARAM keys) {
  LRESULT result = 0;
  if (!routing_->HandleMessage(hwnd_, message, keys, MAKELPARAM(x, y), result)) return std::nullopt;
  return result;
}

Image MouseWindowTest::Snapshot() const {
  Image image;
  const HDC dc = GetDC(hwnd_);
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) image.push_back(GetPixel(dc, x, y) & 0xFFFFFF);
  ReleaseDC(hwnd_, dc);
  return image;
}

LRESULT MouseWindowTest::Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  MouseWindowTest* test = current;
  if (msg == WM_ERASEBKGND) return 1;
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    const HDC dc = BeginPaint(hwnd, &ps);
    for (int y = 0; y < kSize; ++y)
      for (int x = 0; x < kSize; ++x) SetPixelV(dc, x, y, Picture(x, y));
    EndPaint(hwnd, &ps);
    if (test && test->routing_) {  // as the container does at the end of every paint
      ++test->paints_;
      test->routing_->RedrawBandIfDragging();
    }
    return 0;
  }
  LRESULT result = 0;
  if (test && test->routing_ && test->routing_->HandleMessage(hwnd, msg, wParam, lParam, result)) return result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void MouseWindowTest::ExpectFrame(int l, int t, int r, int b) const {
  ExpectInvertedExactly(before_, Snapshot(), [=](int x, int y) {
    return x >= l && x < r && y >= t && y < b && (x == l || x == r - 1 || y == t || y == b - 1);
  });
}

int Differences(const Image& a, const Image& b) {
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

void ExpectInvertedExactly(const Image& before, const Image& after, const std::function<bool(int, int)>& band) {
  int wrong = 0;
  for (int i = 0; i < MouseWindowTest::kSize * MouseWindowTest::kSize; ++i) {
    const int x = i % MouseWindowTest::kSize, y = i / MouseWindowTest::kSize;
    const COLORREF expected = band(x, y) ? (~before[i] & 0xFFFFFF) : before[i];
    if (after[i] != expected && wrong++ < 5) ADD_FAILURE() << "pixel (" << x << "," << y << ")";
  }
  EXPECT_EQ(wrong, 0);
}

}  // namespace kelmira::test

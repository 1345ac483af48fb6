#include "support/mouse_window.h"

#include "support/injected_input.h"
#include "support/pump.h"

#include <memory>

namespace kelmira::test {
namespace {

COLORREF Picture(int x, int y) { return RGB((x * 5) & 0xFF, (y * 7) & 0xFF, ((x + y) * 3) & 0xFF); }

}  // namespace

void MouseWindowTest::SetUp() {
  WindowTest::SetUp();
  ASSERT_EQ(mouse::CreateOwnedMouseInputManager(&link_, std::addressof(manager_), &routing_), S_OK);
  Handle([this](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg == WM_ERASEBKGND) return 1;
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      const HDC dc = BeginPaint(hwnd, &ps);
      for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) SetPixelV(dc, x, y, Picture(x, y));
      EndPaint(hwnd, &ps);
      ++paints_;
      if (routing_) routing_->RedrawBandIfDragging();  // as the container does at the end of every paint
      return 0;
    }
    LRESULT result = 0;
    if (routing_ && routing_->HandleMessage(hwnd, msg, wParam, lParam, result)) return result;
    return std::nullopt;
  });
  hwnd_ = Top(kLeft, kTop, kSize, kSize, WS_POPUP | WS_VISIBLE);
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
  if (routing_) routing_->DetachContainer();
  routing_ = nullptr;
  manager_ = nullptr;
  WindowTest::TearDown();
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
  IMouseInputManager* manager = manager_.get();
  ASSERT_EQ((manager->*kTools[tool - 1])(Bstr(command).get()), S_OK);
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

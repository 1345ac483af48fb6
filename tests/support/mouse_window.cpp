#include "support/mouse_window.h"

#include "support/pump.h"
#include "window/input_state.h"

#include <memory>

namespace kelmira::test {
namespace {

MouseWindowTest* current = nullptr;

COLORREF Picture(int x, int y) { return RGB((x * 5) & 0xFF, (y * 7) & 0xFF, ((x + y) * 3) & 0xFF); }

// Calls DragPoint ... DragYLine by tool number 1 ... 8.
HRESULT ArmTool(IMouseInputManager* manager, int tool, BSTR command) {
  using Arm = HRESULT (STDMETHODCALLTYPE IMouseInputManager::*)(BSTR);
  static constexpr Arm kTools[] = {&IMouseInputManager::DragPoint,     &IMouseInputManager::DragLine,
                                   &IMouseInputManager::DragRectangle, &IMouseInputManager::DragCircle,
                                   &IMouseInputManager::DragXRange,    &IMouseInputManager::DragYRange,
                                   &IMouseInputManager::DragXLine,     &IMouseInputManager::DragYLine};
  return tool >= 1 && tool <= 8 ? (manager->*kTools[tool - 1])(command) : E_INVALIDARG;
}

LONG Normalised(int p, int pixels) {
  return static_cast<LONG>((static_cast<long long>(p) * 65536 + pixels - 1) / pixels);
}

}  // namespace

void MouseWindowTest::SetUp() {
  CoInitialize(nullptr);
  window::ResetInputState();
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
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
        auto* test = static_cast<MouseWindowTest*>(context);
        ++test->boxes_;
        test->boxOwner_ = owner, test->boxType_ = type;
        test->boxText_ = text ? text : "", test->boxCaption_ = caption ? caption : "";
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
  CoUninitialize();
}

void MouseWindowTest::Mouse(UINT message, int x, int y, DWORD after) {
  static constexpr std::pair<UINT, DWORD> kFlags[] = {
      {WM_LBUTTONDOWN, MOUSEEVENTF_LEFTDOWN},   {WM_LBUTTONUP, MOUSEEVENTF_LEFTUP},
      {WM_RBUTTONDOWN, MOUSEEVENTF_RIGHTDOWN},  {WM_RBUTTONUP, MOUSEEVENTF_RIGHTUP},
      {WM_MBUTTONDOWN, MOUSEEVENTF_MIDDLEDOWN}, {WM_MBUTTONUP, MOUSEEVENTF_MIDDLEUP}};
  // Events a second apart unless asked otherwise, so that presses pair into double clicks only
  // where a test wants one.
  clock_ += after;
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = Normalised(kLeft + x, GetSystemMetrics(SM_CXSCREEN));
  in.mi.dy = Normalised(kTop + y, GetSystemMetrics(SM_CYSCREEN));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  for (auto [m, flags] : kFlags)
    if (m == message) in.mi.dwFlags |= flags;
  in.mi.time = clock_;
  ASSERT_EQ(SendInput(1, &in, sizeof(in)), 1u);
  Pump();
}

void MouseWindowTest::Arm(int tool, const char16_t* command) {
  const Bstr text(command);
  ASSERT_EQ(ArmTool(manager_.get(), tool, text.get()), S_OK);
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
  if (a.size() != b.size()) return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

void ExpectInvertedExactly(const Image& before, const Image& after, const std::function<bool(int, int)>& band) {
  constexpr int kSize = MouseWindowTest::kSize;
  int wrong = 0;
  for (int y = 0; y < kSize; ++y)
    for (int x = 0; x < kSize; ++x) {
      const std::size_t i = static_cast<std::size_t>(y * kSize + x);
      const COLORREF expected = band(x, y) ? (~before[i] & 0xFFFFFF) : before[i];
      if (after[i] != expected && wrong++ < 5) ADD_FAILURE() << "pixel (" << x << "," << y << ")";
    }
  EXPECT_EQ(wrong, 0);
}

}  // namespace kelmira::test

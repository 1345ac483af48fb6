#include "support/recording_window.h"

#include "support/pump.h"
#include "window/input_state.h"

#include <algorithm>
#include <tuple>

namespace kelmira::test {
namespace {

std::vector<Sent> g_log;
Answer g_answer;

LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  g_log.push_back(Sent{hwnd, msg, wParam, lParam});
  if (Answer answer = g_answer)  // a copy: the answer may replace itself
    if (std::optional<LRESULT> result = answer(hwnd, msg, wParam, lParam)) return *result;
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

template <class Keep>
std::vector<Sent> Select(HWND only, Keep keep) {
  std::vector<Sent> out;
  std::ranges::copy_if(g_log, std::back_inserter(out),
                       [&](const Sent& s) { return (!only || s.hwnd == only) && keep(s.msg); });
  return out;
}

}  // namespace

void PrintTo(const Sent& s, std::ostream* os) {
  *os << "{" << s.hwnd << ", 0x" << std::hex << s.msg << ", 0x" << s.wParam << ", 0x" << s.lParam << std::dec << "}";
}

void WindowTest::SetUp() {
  static HBRUSH brush = CreateSolidBrush(kClassBackground);
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = RecordingProc;
  wc.cbWndExtra = 16;
  for (auto [name, style, background, cursor] : {std::tuple{kRecording, UINT{CS_DBLCLKS}, brush, IDC_CROSS},
                                                 {kRedrawing, UINT{CS_HREDRAW | CS_VREDRAW}, brush, IDC_CROSS},
                                                 {kBare, UINT{0}, HBRUSH{}, IDC_IBEAM}}) {
    wc.lpszClassName = name;
    wc.style = style;
    wc.hbrBackground = background;
    wc.hCursor = LoadCursorA(nullptr, cursor);
    RegisterClassExA(&wc);  // registered by an earlier test: fine
  }
  window::ResetInputState();
  g_log.clear();
}

void WindowTest::TearDown() {
  g_answer = nullptr;
  KelmiraSetMessageBoxHook(nullptr, nullptr);
  KelmiraSetIdleHook(nullptr, nullptr);
  for (HWND h : created_)
    if (IsWindow(h)) DestroyWindow(h);
  Pump();
  window::ResetInputState();
  g_log.clear();
}

HWND WindowTest::Top(int x, int y, int cx, int cy, DWORD style, const char* cls) {
  return created_.emplace_back(CreateWindowExA(0, cls, "top", style, x, y, cx, cy, nullptr, nullptr, nullptr, nullptr));
}

HWND WindowTest::Child(HWND parent, int id, int x, int y, int cx, int cy, DWORD style) {
  return CreateWindowExA(0, kRecording, "child", style, x, y, cx, cy, parent,
                         reinterpret_cast<HMENU>(static_cast<std::intptr_t>(id)), nullptr, nullptr);
}

void WindowTest::Handle(Answer answer) { g_answer = std::move(answer); }
void WindowTest::On(UINT msg, std::function<void(HWND, WPARAM, LPARAM)> watch) {
  Handle([msg, watch](HWND h, UINT m, WPARAM w, LPARAM l) -> std::optional<LRESULT> {
    if (m == msg) watch(h, w, l);
    return std::nullopt;
  });
}

void WindowTest::Clear() { g_log.clear(); }

std::vector<Sent> WindowTest::Log(std::initializer_list<UINT> of, HWND only) {
  return Select(only, [of](UINT msg) { return of.size() == 0 || std::ranges::find(of, msg) != of.end(); });
}

std::vector<Sent> WindowTest::Range(UINT first, UINT last, HWND only) {
  return Select(only, [=](UINT msg) { return msg >= first && msg <= last; });
}

std::vector<UINT> WindowTest::Ids(const std::vector<Sent>& log) {
  std::vector<UINT> out;
  for (const Sent& s : log) out.push_back(s.msg);
  return out;
}

Sequence WindowTest::Pairs(const std::vector<Sent>& log) {
  Sequence out;
  for (const Sent& s : log) out.emplace_back(s.hwnd, s.msg);
  return out;
}

void WindowTest::Fill(HWND hwnd, RECT r, COLORREF colour) {
  HDC hdc = GetDC(hwnd);
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(hdc, &r, brush);
  DeleteObject(brush);
  ReleaseDC(hwnd, hdc);
}

Edges WindowTest::Client(HWND hwnd) {
  RECT r{};
  return GetClientRect(hwnd, &r), E(r);
}

Edges WindowTest::Screen(HWND hwnd) {
  RECT r{};
  return GetWindowRect(hwnd, &r), E(r);
}

std::optional<Edges> WindowTest::Update(HWND hwnd) {
  RECT r{};
  return GetUpdateRect(hwnd, &r, FALSE) ? std::optional(E(r)) : std::nullopt;
}

}  // namespace kelmira::test

// Test windows that record every message they get and let a test answer some of them, and the
// fixture that makes them and leaves the window system clean after each test.
#pragma once

#include <kelmira/platform.h>

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

namespace kelmira::test {

struct Sent {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool operator==(const Sent&) const = default;
};
void PrintTo(const Sent& s, std::ostream* os);

// (window, message) pairs in order.
using Sequence = std::vector<std::pair<HWND, UINT>>;

// Answers a message instead of DefWindowProcA when it returns a value.
using Answer = std::function<std::optional<LRESULT>(HWND, UINT, WPARAM, LPARAM)>;

// kRecording: painted in kClassBackground, 16 extra bytes, double clicks, the cross cursor.
// kRedrawing: the same, repainted whole when resized. kBare: no background, no double clicks, the I-beam.
constexpr COLORREF kClassBackground = RGB(0, 0, 255);
constexpr const char* kRecording = "KelmiraRecording";
constexpr const char* kRedrawing = "KelmiraRedrawing";
constexpr const char* kBare = "KelmiraBare";
constexpr DWORD kPopup = WS_POPUP | WS_VISIBLE;

// A rectangle as one comparable, printable value.
using Edges = std::array<LONG, 4>;
inline Edges E(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Windows made here are destroyed after the test.
  HWND Top(int x, int y, int cx, int cy, DWORD style = WS_OVERLAPPED | WS_VISIBLE, const char* cls = kRecording);
  HWND Child(HWND parent, int id, int x, int y, int cx, int cy, DWORD style = WS_CHILD | WS_VISIBLE);

 public:
  static void Handle(Answer answer);
  // Watches one message and leaves the answer to DefWindowProcA.
  static void On(UINT msg, std::function<void(HWND, WPARAM, LPARAM)> watch);
  static void Clear();
  // The messages among `of` (all when empty) or in [first, last], of `only` (all windows when null).
  static std::vector<Sent> Log(std::initializer_list<UINT> of = {}, HWND only = nullptr);
  static std::vector<Sent> Range(UINT first, UINT last, HWND only = nullptr);
  static std::vector<UINT> Ids(const std::vector<Sent>& log);
  static Sequence Pairs(const std::vector<Sent>& log);
  static int Count(HWND hwnd, UINT msg) { return static_cast<int>(Log({msg}, hwnd).size()); }

  // Fills r (client coordinates) through a window DC, outside any paint cycle.
  static void Fill(HWND hwnd, RECT r, COLORREF colour);
  static Edges Client(HWND hwnd);
  static Edges Screen(HWND hwnd);
  static std::optional<Edges> Update(HWND hwnd);

 private:
  std::vector<HWND> created_;
};

}  // namespace kelmira::test

// The STATIC control: colours from WM_CTLCOLORSTATIC, horizontal alignment, vertical centring and
// repainting on new text.
#include "support/canvas.h"
#include "support/pump.h"
#include "support/recording_window.h"

#include <algorithm>

namespace kelmira::test {
namespace {

constexpr COLORREF kBrushColour = RGB(20, 40, 230);
constexpr COLORREF kTextColour = RGB(230, 10, 10);

// What the parent was asked; it answers with the colours above when `answer` is set.
struct ColourRequests {
  bool answer = true;
  int count = 0;
  HWND lastControl = nullptr;
};

Answer AnswerColours(ColourRequests& requests) {
  static HBRUSH brush = CreateSolidBrush(kBrushColour);
  return [&requests](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
    ++requests.count;
    requests.lastControl = reinterpret_cast<HWND>(lParam);
    if (!requests.answer) return std::nullopt;
    SetTextColor(reinterpret_cast<HDC>(wParam), kTextColour);
    SetBkColor(reinterpret_cast<HDC>(wParam), kBrushColour);
    return reinterpret_cast<LRESULT>(brush);
  };
}

// A static in bold 20-pixel Arial at (10, 10), painted.
HWND MakeStatic(HWND parent, DWORD style, const char* text, int w = 200, int h = 60) {
  static HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HWND s = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, parent,
                           reinterpret_cast<HMENU>(7), nullptr, nullptr);
  SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  Pump();
  return s;
}

// The box around the pixels of hwnd that are not `background`.
Box Ink(HWND hwnd, COLORREF background = kBrushColour) {
  Box box;
  for (auto [x, y] : WindowPainted(hwnd, background))
    box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
  return box;
}

bool Between(int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); }

// The brush, the text colour, or a blend of the two at a glyph's edge.
bool IsBlend(COLORREF c) {
  return Between(GetRValue(c), GetRValue(kBrushColour), GetRValue(kTextColour)) &&
         Between(GetGValue(c), GetGValue(kBrushColour), GetGValue(kTextColour)) &&
         Between(GetBValue(c), GetBValue(kBrushColour), GetBValue(kTextColour));
}

// Some pixel of hwnd has exactly this colour (not every one differs from it).
bool Shows(HWND hwnd, COLORREF colour) {
  Edges client = WindowTest::Client(hwnd);
  return static_cast<LONG>(WindowPainted(hwnd, colour).size()) < client[2] * client[3];
}

using StaticControl = WindowTest;

TEST_F(StaticControl, PaintsWithTheParentsColoursAndRepaintsNewText) {
  HWND parent = Top(50, 50, 300, 200, kPopup);
  ColourRequests requests;
  Handle(AnswerColours(requests));
  HWND s = MakeStatic(parent, SS_LEFT, "Hi");
  EXPECT_EQ(std::pair(requests.count > 0, requests.lastControl), std::pair(true, s));
  EXPECT_EQ(std::pair(WindowPixel(s, 199, 59), WindowPixel(s, 150, 2)), std::pair(kBrushColour, kBrushColour));
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_TRUE(IsBlend(WindowPixel(s, x, y))) << x << "," << y;
  EXPECT_TRUE(Shows(s, kTextColour));
  Box text = Ink(s);
  EXPECT_LE(text.left, 3);  // SS_LEFT: at the left edge, first line at the top
  EXPECT_LE(text.top, 8);
  // Outside the static the parent's own background is untouched.
  EXPECT_EQ(WindowPixel(parent, 5, 5), kClassBackground);

  // New text repaints, wrapped at word boundaries.
  SetWindowTextA(s, "");
  Pump();
  EXPECT_TRUE(Ink(s).Empty());
  SetWindowTextA(s, "Word word word word word");
  Pump();
  EXPECT_GT(Ink(s).Height(), 30);  // more than one 20-pixel line

  // Without an answer to WM_CTLCOLORSTATIC the default colours apply.
  requests.answer = false;
  HWND plain = MakeStatic(parent, SS_LEFT, "Hi");
  EXPECT_EQ(WindowPixel(plain, 199, 59), GetSysColor(COLOR_3DFACE));
  EXPECT_TRUE(Shows(plain, GetSysColor(COLOR_WINDOWTEXT)));
}

TEST_F(StaticControl, AlignmentAndVerticalCentring) {
  HWND parent = Top(50, 50, 300, 200, kPopup);
  ColourRequests requests;
  Handle(AnswerColours(requests));
  Box c = Ink(MakeStatic(parent, SS_CENTER, "Hi"));
  Box r = Ink(MakeStatic(parent, SS_RIGHT, "Hi"));
  Box m = Ink(MakeStatic(parent, SS_CENTER | SS_CENTERIMAGE, "Hi"));
  ASSERT_FALSE(c.Empty());
  EXPECT_NEAR((c.left + c.right) / 2.0, 100.0, 2.5);
  EXPECT_GE(r.right, 196);
  EXPECT_EQ(r.Width(), c.Width());
  // SS_CENTERIMAGE centres the line box (tmHeight 24 for this font) in the 60-pixel height.
  EXPECT_EQ(m.left, c.left);
  EXPECT_EQ(m.top - c.top, (60 - 24) / 2);
}

}  // namespace
}  // namespace kelmira::test

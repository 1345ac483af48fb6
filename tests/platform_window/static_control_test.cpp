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

// The parent answers WM_CTLCOLORSTATIC with the colours above; `asked` is the last control that asked.
Answer AnswerColours(HWND& asked) {
  static HBRUSH brush = CreateSolidBrush(kBrushColour);
  return [&asked](HWND, UINT msg, WPARAM wParam, LPARAM lParam) -> std::optional<LRESULT> {
    if (msg != WM_CTLCOLORSTATIC) return std::nullopt;
    asked = reinterpret_cast<HWND>(lParam);
    SetTextColor(reinterpret_cast<HDC>(wParam), kTextColour);
    SetBkColor(reinterpret_cast<HDC>(wParam), kBrushColour);
    return reinterpret_cast<LRESULT>(brush);
  };
}

// A static in bold 20-pixel Arial at (10, 10), 200 x 60, painted.
HWND MakeStatic(HWND parent, DWORD style, const char* text) {
  static HFONT font = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
  HWND s = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, 200, 60, parent,
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

// Some pixel of the 200 x 60 static has exactly this colour.
bool Shows(HWND hwnd, COLORREF colour) { return WindowPainted(hwnd, colour).size() < 200 * 60; }

using StaticControl = WindowTest;

TEST_F(StaticControl, PaintsWithTheParentsColoursAndRepaintsNewText) {
  HWND parent = Top(50, 50, 300, 200, kPopup), asked = nullptr;
  Handle(AnswerColours(asked));
  HWND s = MakeStatic(parent, SS_LEFT, "Hi");
  EXPECT_EQ(asked, s);
  // Every pixel is the brush, the text colour, or a blend of the two at a glyph's edge.
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) {
      COLORREF c = WindowPixel(s, x, y);
      for (int shift : {0, 8, 16}) {
        int v = (c >> shift) & 0xFF, a = (kBrushColour >> shift) & 0xFF, b = (kTextColour >> shift) & 0xFF;
        ASSERT_TRUE(v >= std::min(a, b) && v <= std::max(a, b)) << x << "," << y;
      }
    }
  EXPECT_TRUE(Shows(s, kTextColour) && Shows(s, kBrushColour));
  Box text = Ink(s);
  EXPECT_TRUE(text.left <= 3 && text.top <= 8);  // SS_LEFT: at the left edge, first line at the top
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
  Handle(nullptr);
  HWND plain = MakeStatic(parent, SS_LEFT, "Hi");
  EXPECT_EQ(WindowPixel(plain, 199, 59), GetSysColor(COLOR_3DFACE));
  EXPECT_TRUE(Shows(plain, GetSysColor(COLOR_WINDOWTEXT)));
}

TEST_F(StaticControl, AlignmentAndVerticalCentring) {
  HWND parent = Top(50, 50, 300, 200, kPopup), asked = nullptr;
  Handle(AnswerColours(asked));
  Box c = Ink(MakeStatic(parent, SS_CENTER, "Hi"));
  Box r = Ink(MakeStatic(parent, SS_RIGHT, "Hi"));
  Box m = Ink(MakeStatic(parent, SS_CENTER | SS_CENTERIMAGE, "Hi"));
  ASSERT_FALSE(c.Empty());
  EXPECT_NEAR((c.left + c.right) / 2.0, 100.0, 2.5);
  EXPECT_TRUE(r.right >= 196 && r.Width() == c.Width());
  // SS_CENTERIMAGE centres the line box (tmHeight 24 for this font) in the 60-pixel height.
  EXPECT_EQ(std::pair(m.left, m.top - c.top), std::pair(c.left, (60 - 24) / 2));
}

}  // namespace
}  // namespace kelmira::test

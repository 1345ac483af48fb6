// The STATIC control: colours from WM_CTLCOLORSTATIC, horizontal alignment, vertical centring and
// repainting on new text.
#include "win_dialogs_fixture.h"

#include <algorithm>

namespace kelmira::test {
namespace {

constexpr COLORREF kBrushColour = RGB(20, 40, 230);
constexpr COLORREF kTextColour = RGB(230, 10, 10);
constexpr const char* kParentClass = "KelmiraStaticTestParent";

struct ColourRequests {
  bool answer = true;  // false: leave the request to DefWindowProcA
  int count = 0;
  HWND lastControl = nullptr;
  HBRUSH brush = nullptr;
};
ColourRequests g_colours;

LRESULT ParentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CTLCOLORSTATIC) {
    ++g_colours.count;
    g_colours.lastControl = reinterpret_cast<HWND>(lParam);
    if (g_colours.answer) {
      auto dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, kTextColour);
      SetBkColor(dc, kBrushColour);
      return reinterpret_cast<LRESULT>(g_colours.brush);
    }
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool Between(int v, int a, int b) { return v >= std::min(a, b) && v <= std::max(a, b); }

bool IsBlend(COLORREF c) {
  return Between(GetRValue(c), GetRValue(kBrushColour), GetRValue(kTextColour)) &&
         Between(GetGValue(c), GetGValue(kBrushColour), GetGValue(kTextColour)) &&
         Between(GetBValue(c), GetBValue(kBrushColour), GetBValue(kTextColour));
}

class StaticControlTest : public DialogTest {
 protected:
  void SetUp() override {
    DialogTest::SetUp();
    RegisterPlainClass(kParentClass, &ParentProc, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    g_colours = ColourRequests{};
    g_colours.brush = CreateSolidBrush(kBrushColour);
    font_ = CreateFontA(-20, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Arial");
    parent_ = MakePopup(kParentClass, 50, 50, 300, 200);
    Track(parent_);
  }
  void TearDown() override {
    DialogTest::TearDown();
    DeleteObject(g_colours.brush);
    DeleteObject(font_);
  }

  HWND MakeStatic(DWORD style, const char* text, int w = 200, int h = 60) {
    HWND s = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | style, 10, 10, w, h, parent_,
                             reinterpret_cast<HMENU>(7), nullptr, nullptr);
    EXPECT_NE(s, nullptr);
    SendMessageA(s, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    Pump();
    return s;
  }

  HWND parent_ = nullptr;
  HFONT font_ = nullptr;
};

TEST_F(StaticControlTest, PaintsWithTheBrushAndTextColourTheParentChooses) {
  HWND s = MakeStatic(SS_LEFT, "Hi");
  EXPECT_GT(g_colours.count, 0);
  EXPECT_EQ(g_colours.lastControl, s);
  EXPECT_EQ(Pixel(s, 199, 59), kBrushColour);
  EXPECT_EQ(Pixel(s, 150, 2), kBrushColour);
  RECT text = BoundsOfColour(s, kTextColour);
  ASSERT_LT(text.left, text.right) << "no pixel in the text colour";
  EXPECT_LE(text.left, 3);  // SS_LEFT: at the left edge, first line at the top
  EXPECT_LE(text.top, 8);
  // Nothing else: every pixel is the brush, the text colour or a blend of the two at glyph edges.
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 200; ++x) ASSERT_TRUE(IsBlend(Pixel(s, x, y))) << x << "," << y;
  // Outside the static the parent's own background is untouched.
  EXPECT_EQ(Pixel(parent_, 5, 5), RGB(255, 255, 255));
}

TEST_F(StaticControlTest, AlignmentAndVerticalCentring) {
  RECT c = BoundsOfColour(MakeStatic(SS_CENTER, "Hi"), kTextColour);
  RECT r = BoundsOfColour(MakeStatic(SS_RIGHT, "Hi"), kTextColour);
  RECT m = BoundsOfColour(MakeStatic(SS_CENTER | SS_CENTERIMAGE, "Hi"), kTextColour);
  ASSERT_LT(c.left, c.right);
  EXPECT_NEAR((c.left + c.right) / 2.0, 100.0, 2.5);
  EXPECT_GE(r.right, 196);
  EXPECT_EQ(r.right - r.left, c.right - c.left);
  // SS_CENTERIMAGE centres the line box (tmHeight 24 for this font) in the 60-pixel height.
  EXPECT_EQ(m.left, c.left);
  EXPECT_EQ(m.top - c.top, (60 - 24) / 2);
}

TEST_F(StaticControlTest, NewTextRepaintsAndWrapsAtWordBoundaries) {
  HWND s = MakeStatic(SS_LEFT, "Hi", 120, 60);
  SetWindowTextA(s, "");
  Pump();
  EXPECT_EQ(BoundsOfColour(s, kTextColour).right, 0);
  SetWindowTextA(s, "Word word word");
  Pump();
  RECT wrapped = BoundsOfColour(s, kTextColour);
  EXPECT_GT(wrapped.bottom - wrapped.top, 30);  // more than one 20-pixel line

  // Without an answer to WM_CTLCOLORSTATIC the default colours apply.
  g_colours.answer = false;
  HWND plain = MakeStatic(SS_LEFT, "Hi");
  EXPECT_EQ(Pixel(plain, 199, 59), GetSysColor(COLOR_3DFACE));
  RECT text = BoundsOfColour(plain, GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_LT(text.left, text.right);
}

}  // namespace
}  // namespace kelmira::test

// Fonts: face lookup and fallback, sizes and metrics, extents, stock fonts.
#include "gdi_canvas.h"

#include <cstring>
#include <thread>
#include <tuple>
#include <vector>

using namespace gdi_test;

namespace {

std::string FaceOf(HDC dc) {
  char name[LF_FACESIZE] = {};
  EXPECT_GT(GetTextFaceA(dc, LF_FACESIZE, name), 0);
  return name;
}

TEST(GdiTextFont, MetricCompatibleFacesAnswerToTheirDesktopNames) {
  Canvas canvas(8, 8);
  for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
    canvas.UseFont(face, -12);
    EXPECT_EQ(FaceOf(canvas.dc()), face);
  }
  // Courier New is monospaced; the desktop's pitch bit is set for variable pitch only.
  canvas.UseFont("Courier New", -12);
  INT widths[2] = {};
  ASSERT_TRUE(GetCharWidth32A(canvas.dc(), 'i', 'i', &widths[0]));
  ASSERT_TRUE(GetCharWidth32A(canvas.dc(), 'W', 'W', &widths[1]));
  EXPECT_EQ(widths[0], widths[1]);
  EXPECT_EQ(canvas.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
  canvas.UseFont("Arial", -12);
  ASSERT_TRUE(GetCharWidth32A(canvas.dc(), 'i', 'i', &widths[0]));
  EXPECT_LT(widths[0], widths[1]);
  EXPECT_NE(canvas.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
}

TEST(GdiTextFont, UnknownFacesFallBackToARealFace) {
  Canvas canvas(8, 8);
  canvas.UseFont("No Such Face 1234", -12);
  std::string face = FaceOf(canvas.dc());
  EXPECT_FALSE(face.empty());
  EXPECT_NE(face, "No Such Face 1234");
  TEXTMETRICA tm = canvas.Metrics();
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 12);
  EXPECT_GT(canvas.Extent("Hello").cx, 0);
  // The desktop's dialog faces stand for a sans-serif face of Arial's widths.
  canvas.UseFont("MS Sans Serif", -11);
  SIZE dialog = canvas.Extent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  canvas.UseFont("Arial", -11);
  EXPECT_EQ(canvas.Extent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").cx, dialog.cx);
}

TEST(GdiTextFont, HeightsFollowTheDesktopSignConvention) {
  Canvas canvas(8, 8);
  for (int em : {8, 9, 11, 12, 16, 24, 40}) {
    canvas.UseFont("Arial", -em);
    TEXTMETRICA tm = canvas.Metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << em;
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, em) << em;
    EXPECT_GT(tm.tmDescent, 0) << em;
    EXPECT_GT(tm.tmAscent, tm.tmDescent) << em;
    EXPECT_GT(tm.tmAveCharWidth, 0) << em;
    EXPECT_GE(tm.tmMaxCharWidth, tm.tmAveCharWidth) << em;
  }
  for (int cell : {10, 13, 16, 20, 33}) {
    canvas.UseFont("Arial", cell);
    TEXTMETRICA tm = canvas.Metrics();
    EXPECT_EQ(tm.tmHeight, cell);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GT(tm.tmInternalLeading, 0);
  }
  canvas.UseFont("Arial", 0);  // the default size
  EXPECT_EQ(canvas.Metrics().tmHeight, 16);
  canvas.UseFont("Arial", INT_MIN);  // absurd sizes are limited, never overflow
  EXPECT_GT(canvas.Metrics().tmHeight, 0);
}

TEST(GdiTextFont, StyleFieldsReachTheMetricsAndTheGlyphs) {
  Canvas canvas(8, 8);
  canvas.UseFont("Arial", -16);
  const TEXTMETRICA normal = canvas.Metrics();
  const SIZE normalExtent = canvas.Extent("Bold text");
  EXPECT_EQ(std::tuple(normal.tmWeight, normal.tmItalic, normal.tmUnderlined), std::tuple(FW_NORMAL, 0, 0));
  canvas.UseFont("Arial", -16, FW_BOLD, true, true);
  TEXTMETRICA bold = canvas.Metrics();
  EXPECT_EQ(bold.tmWeight, FW_BOLD);
  EXPECT_TRUE(bold.tmItalic && bold.tmUnderlined);
  EXPECT_GT(canvas.Extent("Bold text").cx, normalExtent.cx);

  // A width other than 0 stretches the face to that average character width.
  HFONT wide = CreateFontA(-16, 20, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HGDIOBJ old = SelectObject(canvas.dc(), wide);
  TEXTMETRICA stretched{};
  ASSERT_TRUE(GetTextMetricsA(canvas.dc(), &stretched));
  EXPECT_NEAR(stretched.tmAveCharWidth, 20, 1);
  EXPECT_EQ(stretched.tmHeight, normal.tmHeight);
  SIZE s{};
  ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), "Bold text", 9, &s));
  EXPECT_GT(s.cx, normalExtent.cx * 2);
  SelectObject(canvas.dc(), old);
  DeleteObject(wide);
}

TEST(GdiTextFont, ExtentsAreSumsOfAdvancesAndFontHeight) {
  Canvas canvas(8, 8);
  canvas.UseFont("Arial", -13);
  const std::string text = "Axis 12.5 (linegr)";
  std::vector<INT> widths(256);
  ASSERT_TRUE(GetCharWidth32A(canvas.dc(), 0, 255, widths.data()));
  int sum = 0;
  int previous = 0;
  for (std::size_t n = 1; n <= text.size(); ++n) {
    sum += widths[static_cast<unsigned char>(text[n - 1])];
    SIZE size = canvas.Extent(text.substr(0, n));
    EXPECT_EQ(size.cx, sum) << n;
    EXPECT_GT(size.cx, previous) << n;
    EXPECT_EQ(size.cy, canvas.Metrics().tmHeight);
    previous = size.cx;
  }
  SIZE legacy{};
  ASSERT_TRUE(GetTextExtentPointA(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &legacy));
  EXPECT_EQ(legacy.cx, sum);
  SIZE empty{-1, -1};
  ASSERT_TRUE(GetTextExtentPoint32A(canvas.dc(), "", 0, &empty));
  EXPECT_EQ(P(empty.cx, empty.cy), P(0, canvas.Metrics().tmHeight));
  // Windows-1252 bytes above 127 are characters of their own.
  EXPECT_GT(canvas.Extent("\xE9\x80").cx, 0);
}

TEST(GdiTextFont, BadArgumentsFailCleanly) {
  Canvas canvas(8, 8);
  SIZE size{};
  TEXTMETRICA tm{};
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32A(stale, "a", 1, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(GetTextMetricsA(nullptr, &tm));
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc(), "a", 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc(), nullptr, 3, &size));
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc(), "a", -1, &size));
  EXPECT_FALSE(GetTextMetricsA(canvas.dc(), nullptr));
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
  INT w = 0;
  EXPECT_FALSE(GetCharWidth32A(canvas.dc(), 'b', 'a', &w));
  EXPECT_FALSE(GetCharWidth32A(canvas.dc(), 'a', 'a', nullptr));
  char name[6];
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, name), 0);
  // The face name query truncates and reports the size needed.
  canvas.UseFont("Times New Roman", -12);
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, nullptr), 16);
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 6, name), 6);
  EXPECT_STREQ(name, "Times");
}

TEST(GdiTextFont, StockFontsAreTheDesktopOnes) {
  LOGFONTA back{};
  ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::pair(back.lfHeight, std::string(back.lfFaceName)), std::pair(-11, std::string("MS Shell Dlg")));
  ASSERT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof back, &back), static_cast<int>(sizeof back));
  EXPECT_EQ(std::pair(back.lfHeight, back.lfWeight), std::pair(16, FW_BOLD));
  // A new device context draws with the system font: a bold sans-serif face, 16 pixels high.
  Canvas canvas(8, 8);
  EXPECT_EQ(std::pair(canvas.Metrics().tmHeight, canvas.Metrics().tmWeight), std::pair(16, FW_BOLD));
}

// Fonts are shared between threads: each thread draws into its own context with fonts realised
// concurrently, and gets the pictures a single thread gets.
TEST(GdiTextFont, ThreadsDrawTheSamePictures) {
  auto draw = [](int seed, std::vector<COLORREF>* out) {
    Canvas canvas(80, 40);
    canvas.UseFont(seed % 2 ? "Arial" : "Courier New", -17 - seed % 3);
    SetBkMode(canvas.dc(), TRANSPARENT);
    for (int round = 0; round < 20; ++round) {
      canvas.Clear();
      TextOutA(canvas.dc(), 2, 2, "Threads 0123", 12);
      RECT r{0, 15, 80, 40};
      DrawTextA(canvas.dc(), "wrapped words here", -1, &r, DT_WORDBREAK | DT_CENTER);
    }
    *out = canvas.Picture();
  };
  constexpr int kThreads = 6;
  std::vector<std::vector<COLORREF>> alone(kThreads), together(kThreads);
  std::vector<std::thread> threads;
  for (int i = 0; i < kThreads; ++i) threads.emplace_back(draw, i, &together[i]);
  for (std::thread& t : threads) t.join();
  for (int i = 0; i < kThreads; ++i) draw(i, &alone[i]);
  for (int i = 0; i < kThreads; ++i) EXPECT_EQ(alone[i], together[i]) << i;
}

}  // namespace

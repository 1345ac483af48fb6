// Fonts: face lookup and fallback, sizes and metrics, extents, stock fonts, and the handles
// that font objects realise.
#include "support/canvas.h"

#include <cstring>
#include <tuple>

namespace {

using kelmira::ComPtr;
using namespace kelmira::test;

std::string FaceOf(HDC dc) {
  char name[LF_FACESIZE] = {};
  EXPECT_GT(GetTextFaceA(dc, LF_FACESIZE, name), 0);
  return name;
}

// The stock fonts are the desktop's; desktop face names find faces of their metrics, unknown ones
// fall back to a real face. A negative height is the em height, a positive one the cell height, 0
// the default cell.
TEST(Font, FacesAndHeightsFollowTheDesktop) {
  LOGFONTA gui{}, system{};
  ASSERT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof gui, &gui), static_cast<int>(sizeof gui));
  ASSERT_EQ(GetObjectA(GetStockObject(SYSTEM_FONT), sizeof system, &system), static_cast<int>(sizeof system));
  // A new device context draws with the system font, a bold face 16 pixels high.
  Canvas canvas(8, 8);
  EXPECT_EQ(std::tuple(gui.lfHeight, std::string(gui.lfFaceName), system.lfHeight, system.lfWeight,
                       canvas.Metrics().tmHeight, canvas.Metrics().tmWeight),
            std::tuple(-11, std::string("MS Shell Dlg"), 16, FW_BOLD, 16, FW_BOLD));
  for (const char* face : {"Arial", "Times New Roman", "Courier New"}) {
    canvas.UseFont(face, -12);
    EXPECT_EQ(FaceOf(canvas.dc()), face);
  }
  // Courier New is monospaced; the desktop's pitch bit is set for variable pitch only.
  EXPECT_EQ(canvas.Extent("i").cx, canvas.Extent("W").cx);
  EXPECT_EQ(canvas.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
  canvas.UseFont("Arial", -12);
  EXPECT_LT(canvas.Extent("i").cx, canvas.Extent("W").cx);
  EXPECT_NE(canvas.Metrics().tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
  canvas.UseFont("No Such Face 1234", -12);
  EXPECT_NE(FaceOf(canvas.dc()), "No Such Face 1234");
  EXPECT_EQ(canvas.Metrics().tmHeight - canvas.Metrics().tmInternalLeading, 12);
  EXPECT_GT(canvas.Extent("Hello").cx, 0);
  // The desktop's dialog faces stand for a sans-serif face of Arial's widths.
  const std::string alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  canvas.UseFont("MS Sans Serif", -11);
  const LONG dialog = canvas.Extent(alphabet).cx;
  canvas.UseFont("Arial", -11);
  EXPECT_EQ(canvas.Extent(alphabet).cx, dialog);
  for (int height : {-8, -9, -11, -12, -16, -24, -40, 10, 13, 16, 20, 33, 0}) {
    canvas.UseFont("Arial", height);
    const TEXTMETRICA tm = canvas.Metrics();
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent) << height;
    EXPECT_GT(tm.tmInternalLeading, 0) << height;
    EXPECT_EQ(height < 0 ? tm.tmHeight - tm.tmInternalLeading : tm.tmHeight, height ? std::abs(height) : 16) << height;
  }
  canvas.UseFont("Arial", INT_MIN);  // absurd sizes are limited, never overflow
  EXPECT_GT(canvas.Metrics().tmHeight, 0);
}

// Extents are sums of advances by the font height; style fields reach the metrics and glyphs.
TEST(Font, ExtentsAndStyles) {
  Canvas canvas(8, 8);
  canvas.UseFont("Arial", -13);
  const std::string text = "Axis 12.5 (linegr)";
  std::vector<INT> widths(256);
  ASSERT_TRUE(GetCharWidth32A(canvas.dc(), 0, 255, widths.data()));
  int sum = 0;
  for (std::size_t n = 1; n <= text.size(); ++n) {
    const int previous = sum;
    sum += widths[static_cast<unsigned char>(text[n - 1])];
    const SIZE size = canvas.Extent(text.substr(0, n));
    EXPECT_EQ(std::pair(size.cx, size.cy), std::pair(sum, canvas.Metrics().tmHeight)) << n;
    EXPECT_GT(sum, previous) << n;  // no character is empty
  }
  SIZE legacy{}, empty{-1, -1};
  EXPECT_TRUE(GetTextExtentPointA(canvas.dc(), text.c_str(), static_cast<int>(text.size()), &legacy) &&
              GetTextExtentPoint32A(canvas.dc(), "", 0, &empty));
  EXPECT_EQ(std::tuple(legacy.cx, empty.cx, empty.cy), std::tuple(sum, 0, canvas.Metrics().tmHeight));
  // Windows-1252 bytes above 127 are characters of their own.
  EXPECT_GT(canvas.Extent("\xE9\x80").cx, 0);

  canvas.UseFont("Arial", -16);
  const TEXTMETRICA normal = canvas.Metrics();
  const SIZE normalExtent = canvas.Extent("Bold text");
  canvas.UseFont("Arial", -16, FW_BOLD, true, true);
  const TEXTMETRICA bold = canvas.Metrics();
  EXPECT_EQ(std::tuple(normal.tmWeight, normal.tmItalic, normal.tmUnderlined, bold.tmWeight, bold.tmItalic != 0,
                       bold.tmUnderlined != 0),
            std::tuple(FW_NORMAL, 0, 0, FW_BOLD, true, true));
  EXPECT_GT(canvas.Extent("Bold text").cx, normalExtent.cx);
  // A width other than 0 stretches the face to that average character width.
  Selected wide(canvas.dc(), CreateFontA(-16, 20, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
  EXPECT_NEAR(canvas.Metrics().tmAveCharWidth, 20, 1);
  EXPECT_EQ(canvas.Metrics().tmHeight, normal.tmHeight);
  EXPECT_GT(canvas.Extent("Bold text").cx, normalExtent.cx * 2);
}

TEST(Font, BadArgumentsFailCleanly) {
  Canvas canvas(8, 8);
  SIZE size{};
  TEXTMETRICA tm{};
  INT w = 0;
  HDC stale = CreateCompatibleDC(nullptr);
  DeleteDC(stale);
  SetLastError(0);
  EXPECT_FALSE(GetTextExtentPoint32A(stale, "a", 1, &size));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(GetTextExtentPoint32A(canvas.dc(), "a", 1, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(std::vector({GetTextExtentPoint32A(canvas.dc(), nullptr, 3, &size),
                         GetTextExtentPoint32A(canvas.dc(), "a", -1, &size), GetTextMetricsA(nullptr, &tm),
                         GetTextMetricsA(canvas.dc(), nullptr), GetCharWidth32A(canvas.dc(), 'b', 'a', &w),
                         GetCharWidth32A(canvas.dc(), 'a', 'a', nullptr)}),
            std::vector(6, FALSE));
  EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
  // The face name query truncates and reports the size needed.
  char name[6];
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, name), 0);
  canvas.UseFont("Times New Roman", -12);
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 0, nullptr), 16);
  std::memset(name, 'x', sizeof name);
  EXPECT_EQ(GetTextFaceA(canvas.dc(), 6, name), 6);
  EXPECT_STREQ(name, "Times");
}

// Font objects of the component runtime realise font handles for drawing.
ComPtr<IFont> MakeFont(const char16_t* name, LONGLONG size, SHORT weight) {
  std::u16string copy = name;
  FONTDESC desc{sizeof(FONTDESC), copy.data(), {}, weight, 0, FALSE, FALSE, FALSE};
  desc.cySize.int64 = size;
  ComPtr<IFont> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(&font)), S_OK);
  return font;
}

LOGFONTA Describe(HFONT font) {
  LOGFONTA lf{};
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

TEST(FontObject, HandleDescribesTheFontAtNinetySixDpi) {
  ComPtr<IFont> font = MakeFont(u"Arial", 70000, 300);  // 7 points
  HFONT h = nullptr, again = nullptr;
  ASSERT_EQ(std::vector({font->put_Italic(TRUE), font->put_Charset(2), font->get_hFont(&h), font->get_hFont(&again)}),
            std::vector(4, S_OK));
  EXPECT_EQ(again, h);  // kept until something changes
  const LOGFONTA lf = Describe(h);
  // Height: 7 * 96 / 72 = 9.33.
  EXPECT_EQ(std::tuple(lf.lfHeight, lf.lfWeight, lf.lfItalic, lf.lfUnderline, lf.lfCharSet, std::string(lf.lfFaceName)),
            std::tuple(-9, 300, BYTE{TRUE}, BYTE{FALSE}, BYTE{2}, std::string("Arial")));
  TEXTMETRICW metrics{};
  ASSERT_EQ(font->QueryTextMetrics(&metrics), S_OK);
  EXPECT_EQ(std::pair(metrics.tmHeight - metrics.tmInternalLeading, metrics.tmItalic != 0), std::pair(9, true));
  // The ratio scales the height: 1 logical unit per point.
  ASSERT_EQ(std::vector({font->SetRatio(72, 2540), font->get_hFont(&h)}), std::vector(2, S_OK));
  EXPECT_EQ(Describe(h).lfHeight, -7);
  EXPECT_EQ(std::pair(font->QueryTextMetrics(nullptr), font->get_hFont(nullptr)), std::pair(E_POINTER, E_POINTER));
}

TEST(FontObject, LockedHandlesOutliveChangesUntilReleased) {
  ComPtr<IFont> font = MakeFont(u"Times New Roman", 100000, 400);
  HFONT first = nullptr, second = nullptr;
  ASSERT_EQ(font->get_hFont(&first), S_OK);
  // Only a handle the font realised can be locked, and only a locked one released.
  for (HFONT other : {HFONT{}, reinterpret_cast<HFONT>(0x51)}) EXPECT_EQ(font->AddRefHfont(other), E_INVALIDARG);
  EXPECT_EQ(font->ReleaseHfont(first), E_INVALIDARG);
  CY size{};
  size.int64 = 120000;
  ASSERT_EQ(std::vector({font->AddRefHfont(first), font->AddRefHfont(first), font->put_Size(size)}),
            std::vector(3, S_OK));
  ASSERT_EQ(font->get_hFont(&second), S_OK);
  EXPECT_EQ(std::pair(second != first, Describe(second).lfHeight), std::pair(true, -16));
  // Locked twice, it outlives one release and goes with the second.
  const auto release = [&] {
    const HRESULT hr = font->ReleaseHfont(first);
    return std::pair(hr, GetObjectType(first));
  };
  EXPECT_EQ(std::vector({release(), release(), release()}),
            (std::vector<std::pair<HRESULT, DWORD>>{{S_OK, OBJ_FONT}, {S_OK, 0}, {E_INVALIDARG, 0}}));

  // A handle selected into a device context survives its font object.
  Canvas canvas(4, 4);
  HGDIOBJ old = SelectObject(canvas.dc(), second);
  font.Reset();
  TEXTMETRICA tm = canvas.Metrics();
  EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 16);
  SelectObject(canvas.dc(), old);
  EXPECT_EQ(GetObjectType(second), 0u);
}

}  // namespace

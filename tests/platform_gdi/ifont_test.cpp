// Font objects of the component runtime realise font handles for drawing.
#include "support/canvas.h"

#include <string>
#include <tuple>

namespace {

using kelmira::ComPtr;
using namespace kelmira::test;

ComPtr<IFont> MakeFont(const char16_t* name, LONGLONG size, SHORT weight) {
  std::u16string copy = name;
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof(FONTDESC);
  desc.lpstrName = copy.data();
  desc.cySize.int64 = size;
  desc.sWeight = weight;
  ComPtr<IFont> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFont, reinterpret_cast<void**>(&font)), S_OK);
  return font;
}

LOGFONTA Describe(HFONT font) {
  LOGFONTA lf{};
  EXPECT_EQ(GetObjectA(font, sizeof lf, &lf), static_cast<int>(sizeof lf));
  return lf;
}

TEST(IFont, HandleDescribesTheFontAtNinetySixDpi) {
  ComPtr<IFont> font = MakeFont(u"Arial", 70000, 300);  // 7 points
  ASSERT_EQ(font->put_Italic(TRUE), S_OK);
  ASSERT_EQ(font->put_Charset(2), S_OK);
  HFONT h = nullptr, again = nullptr;
  ASSERT_EQ(font->get_hFont(&h), S_OK);
  LOGFONTA lf = Describe(h);
  // Height: 7 * 96 / 72 = 9.33.
  EXPECT_EQ(std::tuple(lf.lfHeight, lf.lfWeight, lf.lfItalic, lf.lfUnderline, lf.lfCharSet, std::string(lf.lfFaceName)),
            std::tuple(-9, 300, BYTE{TRUE}, BYTE{FALSE}, BYTE{2}, std::string("Arial")));
  ASSERT_EQ(font->get_hFont(&again), S_OK);
  EXPECT_EQ(again, h);  // kept until something changes

  // Metrics come from the realised font and agree with a device context's.
  TEXTMETRICW metrics{};
  ASSERT_EQ(font->QueryTextMetrics(&metrics), S_OK);
  Canvas canvas(4, 4);
  HGDIOBJ old = SelectObject(canvas.dc(), h);
  TEXTMETRICA tm = canvas.Metrics();
  SelectObject(canvas.dc(), old);
  EXPECT_EQ(std::tuple(metrics.tmHeight, metrics.tmAscent, metrics.tmAveCharWidth),
            std::tuple(tm.tmHeight, tm.tmAscent, tm.tmAveCharWidth));
  EXPECT_EQ(std::pair(metrics.tmHeight - metrics.tmInternalLeading, metrics.tmItalic != 0), std::pair(9, true));

  // The ratio scales the height: 1 logical unit per point.
  ASSERT_EQ(font->SetRatio(72, 2540), S_OK);
  ASSERT_EQ(font->get_hFont(&h), S_OK);
  EXPECT_EQ(Describe(h).lfHeight, -7);
  EXPECT_EQ(std::pair(font->QueryTextMetrics(nullptr), font->get_hFont(nullptr)), std::pair(E_POINTER, E_POINTER));
}

TEST(IFont, LockedHandlesOutliveChangesUntilReleased) {
  ComPtr<IFont> font = MakeFont(u"Times New Roman", 100000, 400);
  HFONT first = nullptr, second = nullptr;
  ASSERT_EQ(font->get_hFont(&first), S_OK);
  // Only a handle the font realised can be locked, and only a locked one released.
  for (HFONT other : {HFONT{}, reinterpret_cast<HFONT>(0x51)}) EXPECT_EQ(font->AddRefHfont(other), E_INVALIDARG);
  EXPECT_EQ(font->ReleaseHfont(first), E_INVALIDARG);
  ASSERT_EQ(font->AddRefHfont(first), S_OK);
  ASSERT_EQ(font->AddRefHfont(first), S_OK);
  CY size{};
  size.int64 = 120000;
  ASSERT_EQ(font->put_Size(size), S_OK);
  ASSERT_EQ(font->get_hFont(&second), S_OK);
  EXPECT_EQ(std::pair(second != first, Describe(second).lfHeight), std::pair(true, -16));
  EXPECT_EQ(GetObjectType(first), OBJ_FONT);  // still locked twice
  ASSERT_EQ(font->ReleaseHfont(first), S_OK);
  EXPECT_EQ(GetObjectType(first), OBJ_FONT);
  ASSERT_EQ(font->ReleaseHfont(first), S_OK);
  EXPECT_EQ(GetObjectType(first), 0u);  // deleted with the last lock
  EXPECT_EQ(font->ReleaseHfont(first), E_INVALIDARG);

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

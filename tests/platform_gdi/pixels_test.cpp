// Pixels, bitmaps and DIB sections, and FillRect.
#include "support/canvas.h"

#include <climits>

namespace {

using namespace kelmira::test;

HBITMAP Dib(LONG width, LONG height, WORD bits, void** pixels) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

TEST(Pixels, GetAndSetAtTheEdges) {
  Canvas canvas(5, 3, kBlack);
  HDC dc = canvas.dc();
  for (auto [x, y] : {std::pair{0, 0}, {4, 0}, {0, 2}, {4, 2}}) {
    EXPECT_EQ(SetPixel(dc, x, y, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, x, y), RGB(1, 2, 3));
  }
  for (auto [x, y] :
       {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 3}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX, 0}}) {
    EXPECT_EQ(GetPixel(dc, x, y), CLR_INVALID) << x << "," << y;
    EXPECT_EQ(SetPixel(dc, x, y, 0xFF), CLR_INVALID);
    EXPECT_FALSE(SetPixelV(dc, x, y, 0xFF));
  }
  // A system-colour value is stored by its low 24 bits, not looked up.
  EXPECT_EQ(SetPixel(dc, 1, 1, 0x80000005), 0x000005u);
  EXPECT_EQ(GetPixel(dc, 1, 1), 0x000005u);
  // The viewport origin moves logical coordinates; INT_MAX plus an offset does not overflow.
  SetViewportOrgEx(dc, 2, 1, nullptr);
  EXPECT_EQ(std::vector({GetPixel(dc, -2, -1), GetPixel(dc, -1, 0), GetPixel(dc, 3, 1), GetPixel(dc, INT_MAX, INT_MAX),
                         GetPixel(dc, INT_MIN, 0)}),
            std::vector({RGB(1, 2, 3), COLORREF{5}, CLR_INVALID, CLR_INVALID, CLR_INVALID}));
}

TEST(Pixels, DibSectionSharesItsPixels) {
  for (LONG height : {-3, 3}) {
    SCOPED_TRACE(height < 0 ? "top-down" : "bottom-up");
    void* bits = nullptr;
    HBITMAP dib = Dib(4, height, 32, &bits);
    ASSERT_NE(bits, nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    auto at = [&](int x, int y) -> std::uint32_t& { return pixels[(height < 0 ? y : 2 - y) * 4 + x]; };
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    at(1, 0) = 0x00112233;  // B=33 G=22 R=11
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x11, 0x22, 0x33));
    SetPixel(dc, 3, 2, RGB(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(at(3, 2), 0x00AABBCCu);  // bytes B, G, R, X
    // A host that sets the top byte does not change what GetPixel reads.
    at(0, 1) = 0xFF010203;
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(1, 2, 3));
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(std::tuple(ds.dsBm.bmBits, ds.dsBm.bmHeight, ds.dsBm.bmWidthBytes, ds.dsBmih.biHeight),
              std::tuple(bits, 3, 16, height));
    EXPECT_EQ(GetObjectA(dib, sizeof(BITMAP), &ds.dsBm), static_cast<int>(sizeof(BITMAP)));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
  }
}

TEST(Pixels, BitmapsOfOtherFormatsOrSizesAreRefused) {
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(Dib(4, 4, 24, &bits), nullptr);
  EXPECT_EQ(bits, nullptr);
  for (auto [width, height] : {std::pair<LONG, LONG>{4, 0}, {4, INT_MIN}, {1 << 20, 1 << 20}})
    EXPECT_EQ(Dib(width, height, 32, &bits), nullptr) << width << "x" << height;
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateBitmap(2, 2, 1, 1, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(2, 2, 2, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(-2, 2, 1, 32, nullptr), nullptr);
  // CreateBitmap copies its bits, without the top byte.
  const std::uint32_t source[] = {0x00FF0000, 0xFF00FF00, 0x000000FF, 0x00123456};
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, source);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  EXPECT_EQ(std::vector({GetPixel(dc, 0, 0), GetPixel(dc, 1, 0), GetPixel(dc, 1, 1)}),
            std::vector({RGB(255, 0, 0), RGB(0, 255, 0), RGB(0x12, 0x34, 0x56)}));
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(Pixels, FillRectCoversLeftToRightMinusOne) {
  Canvas canvas(10, 8, kBlack);
  HDC dc = canvas.dc();
  HBRUSH brush = CreateSolidBrush(kBlue);
  RECT r{2, 3, 6, 5};
  EXPECT_EQ(FillRect(dc, &r, brush), 1);
  ExpectPicture(canvas, [](int x, int y) { return Box{2, 3, 6, 5}.Contains(x, y) ? kBlue : kBlack; });
  // Inverted and empty rectangles paint nothing; huge ones are clipped.
  canvas.Clear();
  for (RECT nothing : {RECT{6, 3, 2, 5}, RECT{3, 3, 3, 7}}) EXPECT_EQ(FillRect(dc, &nothing, brush), 1);
  EXPECT_TRUE(canvas.Painted().empty());
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ(FillRect(dc, &huge, brush), 1);
  EXPECT_TRUE(canvas.Painted(kBlue).empty());
  // The mix mode does not apply to FillRect; a system colour index + 1 names its brush.
  SetROP2(dc, R2_NOT);
  RECT one{0, 0, 1, 1};
  EXPECT_EQ(FillRect(dc, &one, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 1);
  EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(FillRect(dc, nullptr, brush), 0);
  EXPECT_EQ(FillRect(dc, &one, nullptr), 0);
  DeleteObject(brush);
}

}  // namespace

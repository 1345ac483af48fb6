// Pixels, DIB sections, FillRect and clipping.
#include "gdi_canvas.h"

#include "gdi/device_context.h"

using namespace gdi_test;

namespace {

// The clip box, which must be of the given kind.
Box ClipBox(HDC dc, int kind = SIMPLEREGION) {
  RECT r{};
  EXPECT_EQ(GetClipBox(dc, &r), kind);
  return Box{r.left, r.top, r.right, r.bottom};
}

HBITMAP Dib(LONG width, LONG height, WORD bits, void** pixels) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

TEST(GdiCorePixels, GetAndSetAtTheEdges) {
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
  EXPECT_EQ(GetPixel(dc, -2, -1), RGB(1, 2, 3));  // device (0, 0)
  EXPECT_EQ(GetPixel(dc, -1, 0), 0x000005u);      // device (1, 1)
  EXPECT_EQ(GetPixel(dc, 3, 1), CLR_INVALID);     // device (5, 2)
  EXPECT_EQ(GetPixel(dc, INT_MAX, INT_MAX), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, INT_MIN, 0), CLR_INVALID);
}

TEST(GdiCorePixels, DibSectionSharesItsPixels) {
  for (LONG height : {-3, 3}) {
    SCOPED_TRACE(height < 0 ? "top-down" : "bottom-up");
    void* bits = nullptr;
    HBITMAP dib = Dib(4, height, 32, &bits);
    ASSERT_NE(bits, nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    auto memoryRow = [&](int y) { return height < 0 ? y : 2 - y; };  // of logical row y

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    pixels[memoryRow(0) * 4 + 1] = 0x00112233;  // B=33 G=22 R=11
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x11, 0x22, 0x33));
    SetPixel(dc, 3, 2, RGB(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(pixels[memoryRow(2) * 4 + 3], 0x00AABBCCu);  // bytes B, G, R, X
    // A host that sets the top byte does not change what GetPixel reads.
    pixels[memoryRow(1) * 4] = 0xFF010203;
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(1, 2, 3));

    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmHeight, 3);
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 16);
    EXPECT_EQ(ds.dsBmih.biHeight, height);
    EXPECT_EQ(GetObjectA(dib, sizeof(BITMAP), &ds.dsBm), static_cast<int>(sizeof(BITMAP)));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
  }
}

TEST(GdiCorePixels, BitmapsOfOtherFormatsOrSizesAreRefused) {
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
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0x12, 0x34, 0x56));
  DeleteDC(dc);
  DeleteObject(bitmap);
}

TEST(GdiCorePixels, FillRectCoversLeftToRightMinusOne) {
  Canvas canvas(10, 8, kBlack);
  HDC dc = canvas.dc();
  HBRUSH brush = CreateSolidBrush(RGB(0, 128, 255));
  RECT r{2, 3, 6, 5};
  EXPECT_EQ(FillRect(dc, &r, brush), 1);
  ExpectPicture(canvas, [](int x, int y) { return Inside(x, y, 2, 3, 6, 5) ? RGB(0, 128, 255) : 0u; });
  // Inverted and empty rectangles paint nothing; huge ones are clipped.
  canvas.Clear(kBlack);
  for (RECT nothing : {RECT{6, 3, 2, 5}, RECT{3, 3, 3, 7}}) EXPECT_EQ(FillRect(dc, &nothing, brush), 1);
  EXPECT_TRUE(canvas.Painted(kBlack).empty());
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ(FillRect(dc, &huge, brush), 1);
  EXPECT_TRUE(canvas.Painted(RGB(0, 128, 255)).empty());
  // The mix mode does not apply to FillRect; a system colour index + 1 names its brush.
  SetROP2(dc, R2_NOT);
  RECT one{0, 0, 1, 1};
  EXPECT_EQ(FillRect(dc, &one, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 1);
  EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(FillRect(dc, nullptr, brush), 0);
  EXPECT_EQ(FillRect(dc, &one, nullptr), 0);
  DeleteObject(brush);
}

TEST(GdiCorePixels, HatchedFillFollowsBackgroundMode) {
  Canvas canvas(8, 8, kBlue);
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, kRed);
  SetBkColor(canvas.dc(), kGreen);
  for (int mode : {TRANSPARENT, OPAQUE}) {
    SetBkMode(canvas.dc(), mode);
    RECT all{0, 0, 8, 8};
    FillRect(canvas.dc(), &all, hatch);
    // Gaps keep what was there or take the background colour.
    const COLORREF gap = mode == OPAQUE ? kGreen : kBlue;
    ExpectPicture(canvas, [&](int x, int y) { return x == 0 || y == 0 ? kRed : gap; });
  }
  DeleteObject(hatch);
}

TEST(GdiCorePixels, ClipBoxAndIntersectClipRectAlsoUnderRotation) {
  Canvas canvas(20, 10);
  HDC dc = canvas.dc();
  EXPECT_EQ(ClipBox(dc), (Box{0, 0, 20, 10}));
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, nullptr), ERROR);
  EXPECT_EQ(GetClipBox(nullptr, &box), ERROR);

  EXPECT_EQ(IntersectClipRect(dc, 5, 2, 100, 8), SIMPLEREGION);
  EXPECT_EQ(ClipBox(dc), (Box{5, 2, 20, 8}));
  EXPECT_EQ(SetPixel(dc, 4, 4, 0xFF), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 4, 4), CLR_INVALID);
  EXPECT_EQ(SetPixel(dc, 5, 4, 0xFF), 0xFFu);

  // The clip box is logical: the viewport origin shifts it.
  SetViewportOrgEx(dc, 3, 1, nullptr);
  EXPECT_EQ(ClipBox(dc), (Box{2, 1, 17, 7}));
  SetViewportOrgEx(dc, 0, 0, nullptr);

  // A window's device clip narrows it further and outlives SelectClipRgn.
  kelmira::gdi::SetDeviceClip(*kelmira::gdi::LookupDC(dc), RECT{0, 0, 7, 10});
  EXPECT_EQ(ClipBox(dc), (Box{5, 2, 7, 8}));
  EXPECT_EQ(IntersectClipRect(dc, 50, 50, 60, 60), NULLREGION);
  EXPECT_EQ(ClipBox(dc, NULLREGION), (Box{0, 0, 0, 0}));
  EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(ClipBox(dc), (Box{0, 0, 7, 10}));
  kelmira::gdi::ClearDeviceClip(*kelmira::gdi::LookupDC(dc));
  EXPECT_EQ(ClipBox(dc), (Box{0, 0, 20, 10}));

  // Under a quarter turn (moved back onto the bitmap) the clip box is the turned bitmap;
  // logical (0, 0) lands on device (20, 0), outside, and logical (0, 1) on device (19, 0).
  Canvas square(20, 20);
  SetGraphicsMode(square.dc(), GM_ADVANCED);
  XFORM turn{0.0f, 1.0f, -1.0f, 0.0f, 20.0f, 0.0f};
  ASSERT_TRUE(SetWorldTransform(square.dc(), &turn));
  EXPECT_EQ(ClipBox(square.dc()), (Box{0, 0, 20, 20}));
  EXPECT_EQ(SetPixel(square.dc(), 0, 1, RGB(7, 7, 7)), RGB(7, 7, 7));
  square.ResetMapping();
  EXPECT_EQ(GetPixel(square.dc(), 19, 0), RGB(7, 7, 7));
}

}  // namespace

// Pixels, DIB sections, FillRect and clipping.
#include "gdi_core_support.h"

#include "gdi/device_context.h"

#include <climits>

using gdi_core_test::Canvas;

TEST(GdiCorePixels, GetAndSetAtTheEdges) {
  Canvas canvas(5, 3);
  HDC dc = canvas.dc();
  EXPECT_EQ(GetPixel(dc, 0, 0), 0u) << "new bitmaps are black";
  struct {
    int x, y;
  } inside[] = {{0, 0}, {4, 0}, {0, 2}, {4, 2}};
  for (auto p : inside) {
    EXPECT_EQ(SetPixel(dc, p.x, p.y, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(GetPixel(dc, p.x, p.y), RGB(1, 2, 3));
  }
  struct {
    int x, y;
  } outside[] = {{-1, 0}, {5, 0}, {0, -1}, {0, 3}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX, 0}};
  for (auto p : outside) {
    EXPECT_EQ(GetPixel(dc, p.x, p.y), CLR_INVALID) << p.x << "," << p.y;
    EXPECT_EQ(SetPixel(dc, p.x, p.y, 0xFF), CLR_INVALID);
    EXPECT_FALSE(SetPixelV(dc, p.x, p.y, 0xFF));
  }
  // A system-colour value is stored by its low 24 bits, not looked up.
  EXPECT_EQ(SetPixel(dc, 1, 1, 0x80000005), 0x000005u);
  EXPECT_EQ(GetPixel(dc, 1, 1), 0x000005u);
  // The viewport origin moves logical coordinates; INT_MAX plus an offset does not overflow.
  kelmira::gdi::LookupDC(dc)->state.viewportOrg = POINT{2, 1};
  EXPECT_EQ(GetPixel(dc, -2, -1), RGB(1, 2, 3));  // device (0, 0)
  EXPECT_EQ(GetPixel(dc, -1, 0), 0x000005u);      // device (1, 1)
  EXPECT_EQ(GetPixel(dc, 3, 1), CLR_INVALID);     // device (5, 2)
  EXPECT_EQ(GetPixel(dc, INT_MAX, INT_MAX), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, INT_MIN, 0), CLR_INVALID);
}

TEST(GdiCorePixels, DibSectionSharesItsPixels) {
  for (LONG height : {-3, 3}) {
    SCOPED_TRACE(height < 0 ? "top-down" : "bottom-up");
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    auto* pixels = static_cast<std::uint32_t*>(bits);
    // Memory row of logical row y.
    auto memoryRow = [&](int y) { return height < 0 ? y : 2 - y; };

    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, dib);
    pixels[memoryRow(0) * 4 + 1] = 0x00112233;  // B=33 G=22 R=11
    EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0x11, 0x22, 0x33));
    SetPixel(dc, 3, 2, RGB(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(pixels[memoryRow(2) * 4 + 3], 0x00AABBCCu);
    // Bytes are B, G, R, X.
    auto* bytes = static_cast<std::uint8_t*>(bits) + (memoryRow(2) * 4 + 3) * 4;
    EXPECT_EQ(bytes[0], 0xCC);
    EXPECT_EQ(bytes[2], 0xAA);
    EXPECT_EQ(bytes[3], 0x00);
    // A host that sets the top byte does not change what GetPixel reads.
    pixels[memoryRow(1) * 4] = 0xFF010203;
    EXPECT_EQ(GetPixel(dc, 0, 1), RGB(1, 2, 3));

    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBm.bmHeight, 3);
    EXPECT_EQ(ds.dsBmih.biHeight, height);
    EXPECT_EQ(ds.dsBmih.biBitCount, 32);
    BITMAP bm{};
    EXPECT_EQ(GetObjectA(dib, sizeof bm, &bm), static_cast<int>(sizeof bm));
    EXPECT_EQ(bm.bmWidthBytes, 16);

    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(dib);
  }
}

TEST(GdiCorePixels, DibSectionRejectsOtherFormats) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 4, 4, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(bits, nullptr);
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biHeight = 0;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biHeight = INT_MIN;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  info.bmiHeader.biHeight = 1 << 20;
  info.bmiHeader.biWidth = 1 << 20;
  EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
}

TEST(GdiCorePixels, CreateBitmapCopiesBitsAndRejectsOtherDepths) {
  const std::uint32_t bits[] = {0x00FF0000, 0xFF00FF00, 0x000000FF, 0x00123456};
  HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, bits);
  ASSERT_NE(bitmap, nullptr);
  HDC dc = CreateCompatibleDC(nullptr);
  SelectObject(dc, bitmap);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 1, 0), RGB(0, 255, 0));
  EXPECT_EQ(GetPixel(dc, 0, 1), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(dc, 1, 1), RGB(0x12, 0x34, 0x56));
  DeleteDC(dc);
  DeleteObject(bitmap);
  EXPECT_EQ(CreateBitmap(2, 2, 1, 1, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(2, 2, 2, 32, nullptr), nullptr);
  EXPECT_EQ(CreateBitmap(-2, 2, 1, 32, nullptr), nullptr);
}

TEST(GdiCorePixels, FillRectCoversLeftToRightMinusOne) {
  Canvas canvas(10, 8);
  HDC dc = canvas.dc();
  HBRUSH brush = CreateSolidBrush(RGB(0, 128, 255));
  RECT r{2, 3, 6, 5};
  EXPECT_EQ(FillRect(dc, &r, brush), 1);
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 10; ++x) {
      bool in = x >= 2 && x < 6 && y >= 3 && y < 5;
      EXPECT_EQ(GetPixel(dc, x, y), in ? RGB(0, 128, 255) : 0u) << x << "," << y;
    }
  }
  // Inverted and empty rectangles paint nothing; huge ones are clipped.
  canvas.Fill(0);
  RECT inverted{6, 3, 2, 5};
  RECT empty{3, 3, 3, 7};
  EXPECT_EQ(FillRect(dc, &inverted, brush), 1);
  EXPECT_EQ(FillRect(dc, &empty, brush), 1);
  EXPECT_EQ(GetPixel(dc, 3, 4), 0u);
  RECT huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
  EXPECT_EQ(FillRect(dc, &huge, brush), 1);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(0, 128, 255));
  EXPECT_EQ(GetPixel(dc, 9, 7), RGB(0, 128, 255));
  // The mix mode does not apply to FillRect; a system colour index + 1 names its brush.
  kelmira::gdi::LookupDC(dc)->state.rop2 = R2_NOT;
  RECT one{0, 0, 1, 1};
  EXPECT_EQ(FillRect(dc, &one, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 1);
  EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(FillRect(dc, nullptr, brush), 0);
  EXPECT_EQ(FillRect(dc, &one, nullptr), 0);
  DeleteObject(brush);
}

TEST(GdiCorePixels, HatchedFillFollowsBackgroundMode) {
  Canvas canvas(8, 8);
  HDC dc = canvas.dc();
  canvas.Fill(RGB(0, 0, 255));
  HBRUSH hatch = CreateHatchBrush(HS_CROSS, RGB(255, 0, 0));
  kelmira::gdi::DeviceContext* state = kelmira::gdi::LookupDC(dc);
  state->state.bkColor = RGB(0, 255, 0);
  state->state.bkMode = TRANSPARENT;
  RECT all{0, 0, 8, 8};
  FillRect(dc, &all, hatch);
  EXPECT_EQ(GetPixel(dc, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 0, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 5, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 0, 255)) << "transparent gaps keep what was there";
  state->state.bkMode = OPAQUE;
  FillRect(dc, &all, hatch);
  EXPECT_EQ(GetPixel(dc, 3, 3), RGB(0, 255, 0)) << "opaque gaps take the background colour";
  DeleteObject(hatch);
}

TEST(GdiCorePixels, ClipBoxAndIntersectClipRect) {
  Canvas canvas(20, 10);
  HDC dc = canvas.dc();
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 10);
  EXPECT_EQ(GetClipBox(dc, nullptr), ERROR);
  EXPECT_EQ(GetClipBox(nullptr, &box), ERROR);

  EXPECT_EQ(IntersectClipRect(dc, 5, 2, 100, 8), SIMPLEREGION);
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 8);
  EXPECT_EQ(SetPixel(dc, 4, 4, 0xFF), CLR_INVALID);
  EXPECT_EQ(GetPixel(dc, 4, 4), CLR_INVALID);
  EXPECT_EQ(SetPixel(dc, 5, 4, 0xFF), 0xFFu);

  // The clip box is logical: the viewport origin shifts it.
  kelmira::gdi::LookupDC(dc)->state.viewportOrg = POINT{3, 1};
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 2);
  EXPECT_EQ(box.top, 1);
  kelmira::gdi::LookupDC(dc)->state.viewportOrg = POINT{0, 0};

  // A window's device clip narrows it further.
  kelmira::gdi::SetDeviceClip(*kelmira::gdi::LookupDC(dc), RECT{0, 0, 7, 10});
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.right, 7);

  EXPECT_EQ(IntersectClipRect(dc, 50, 50, 60, 60), NULLREGION);
  EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
  EXPECT_EQ(box.right, 0);
  EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
  GetClipBox(dc, &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 7);
  kelmira::gdi::ClearDeviceClip(*kelmira::gdi::LookupDC(dc));
  GetClipBox(dc, &box);
  EXPECT_EQ(box.right, 20);
}

TEST(GdiCorePixels, ClipBoxUnderRotation) {
  Canvas canvas(20, 20);
  HDC dc = canvas.dc();
  kelmira::gdi::DeviceContext* state = kelmira::gdi::LookupDC(dc);
  state->state.graphicsMode = GM_ADVANCED;
  state->state.world = XFORM{0.0f, 1.0f, -1.0f, 0.0f, 20.0f, 0.0f};  // 90 degrees, moved back onto the bitmap
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 0);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 20);
  // Logical (0, 0) lands on device (20, 0), outside; logical (0, 1) on device (19, 0).
  EXPECT_EQ(SetPixel(dc, 0, 1, RGB(7, 7, 7)), RGB(7, 7, 7));
  state->state.graphicsMode = GM_COMPATIBLE;
  EXPECT_EQ(GetPixel(dc, 19, 0), RGB(7, 7, 7));
}

// BitBlt and PatBlt: raster operations, overlap and clipping.
#include "gdi_core_support.h"

#include "gdi/device_context.h"

#include <climits>

using gdi_core_test::Canvas;

namespace {

// Each pixel (x, y) gets a distinct colour.
COLORREF Marker(int x, int y) { return RGB(x + 1, y + 1, 0x40); }

void PaintMarkers(HDC dc, int width, int height) {
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) SetPixel(dc, x, y, Marker(x, y));
}

}  // namespace

TEST(GdiCoreBlit, RasterOperations) {
  Canvas src(1, 1);
  Canvas dst(1, 1);
  SetPixel(src.dc(), 0, 0, 0x0000FF);
  struct Case {
    DWORD rop;
    COLORREF dest;
    COLORREF expected;
  } cases[] = {
      {SRCCOPY, 0x00FF00, 0x0000FF},     {SRCPAINT, 0x00FF00, 0x00FFFF},   {SRCAND, 0x0000FF, 0x0000FF},
      {SRCAND, 0x00FF00, 0x000000},      {SRCINVERT, 0x0000FF, 0x000000},  {SRCINVERT, 0x00FF00, 0x00FFFF},
      {SRCERASE, 0x000000, 0x0000FF},    {SRCERASE, 0x0000FF, 0x000000},   {NOTSRCCOPY, 0, 0xFFFF00},
      {DSTINVERT, 0x123456, 0xEDCBA9},   {BLACKNESS, 0x123456, 0},         {WHITENESS, 0, 0xFFFFFF},
      {PATCOPY, 0, 0x00FFFF},            {PATINVERT, 0x0000FF, 0x00FF00},  {NOTSRCERASE, 0x00FF00, 0xFF0000},
      {MERGEPAINT, 0x00FF00, 0xFFFF00},
  };
  HBRUSH yellow = CreateSolidBrush(0x00FFFF);
  HGDIOBJ oldBrush = SelectObject(dst.dc(), yellow);
  for (const Case& c : cases) {
    SetPixel(dst.dc(), 0, 0, c.dest);
    EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, src.dc(), 0, 0, c.rop));
    EXPECT_EQ(GetPixel(dst.dc(), 0, 0), c.expected) << std::hex << "rop " << c.rop;
  }
  // PatBlt takes the operations without a source, and refuses the others.
  SetPixel(dst.dc(), 0, 0, 0x0000FF);
  EXPECT_TRUE(PatBlt(dst.dc(), 0, 0, 1, 1, PATINVERT));
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), 0x00FF00u);
  EXPECT_FALSE(PatBlt(dst.dc(), 0, 0, 1, 1, SRCCOPY));
  // A null brush paints nothing.
  SelectObject(dst.dc(), GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(PatBlt(dst.dc(), 0, 0, 1, 1, PATCOPY));
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), 0x00FF00u);
  SelectObject(dst.dc(), oldBrush);
  DeleteObject(yellow);
  // Operations that read a source need one.
  EXPECT_FALSE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
  EXPECT_EQ(GetPixel(dst.dc(), 0, 0), 0u);
}

TEST(GdiCoreBlit, PatBltWithHatchAndNegativeExtent) {
  Canvas canvas(8, 8);
  HBRUSH hatch = CreateHatchBrush(HS_VERTICAL, RGB(255, 255, 255));
  SelectObject(canvas.dc(), hatch);
  // x 8 - 8 .. 7: every column; the hatch lines sit at multiples of 8 from the brush origin.
  EXPECT_TRUE(PatBlt(canvas.dc(), 8, 0, -8, 8, PATCOPY));
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 3), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(canvas.dc(), 1, 3), RGB(255, 255, 255)) << "opaque gaps take the white background";
  kelmira::gdi::LookupDC(canvas.dc())->state.bkColor = RGB(0, 0, 9);
  kelmira::gdi::LookupDC(canvas.dc())->state.brushOrg = POINT{2, 0};
  PatBlt(canvas.dc(), 0, 0, 8, 8, PATCOPY);
  EXPECT_EQ(GetPixel(canvas.dc(), 2, 5), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(canvas.dc(), 0, 5), RGB(0, 0, 9));
  SelectObject(canvas.dc(), GetStockObject(WHITE_BRUSH));
  DeleteObject(hatch);
}

TEST(GdiCoreBlit, OverlappingCopyWithinOneBitmap) {
  const int n = 6;
  struct Shift {
    int dx, dy;
  } shifts[] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 2}, {-2, -1}};
  for (Shift shift : shifts) {
    SCOPED_TRACE(testing::Message() << shift.dx << "," << shift.dy);
    Canvas canvas(n, n);
    PaintMarkers(canvas.dc(), n, n);
    // Copy the centre 4 x 4 block by the shift onto itself.
    ASSERT_TRUE(BitBlt(canvas.dc(), 1 + shift.dx, 1 + shift.dy, 4, 4, canvas.dc(), 1, 1, SRCCOPY));
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        int sx = x - shift.dx, sy = y - shift.dy;
        bool copied = sx >= 1 && sx < 5 && sy >= 1 && sy < 5;
        EXPECT_EQ(GetPixel(canvas.dc(), x, y), copied ? Marker(sx, sy) : Marker(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(GdiCoreBlit, ClippedAtEveryEdge) {
  const int n = 4;
  Canvas src(n, n);
  PaintMarkers(src.dc(), n, n);
  struct Case {
    int x, y, cx, cy, x1, y1;
  } cases[] = {
      {-2, -2, 4, 4, 0, 0},         {2, 2, 4, 4, 0, 0},          {0, 0, 4, 4, -2, -1},
      {0, 0, 4, 4, 3, 3},           {-1000000, 0, INT_MAX, 2, 0, 0}, {0, 0, INT_MAX, INT_MAX, 0, 0},
      {INT_MIN, INT_MIN, 4, 4, 0, 0}, {INT_MAX, INT_MAX, 4, 4, 0, 0}, {0, 0, 4, 4, INT_MIN, INT_MAX},
      {1, 1, INT_MAX, INT_MAX, INT_MIN, INT_MIN},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << "," << c.y << " " << c.cx << "x" << c.cy << " from " << c.x1 << "," << c.y1);
    Canvas dst(n, n);
    ASSERT_TRUE(BitBlt(dst.dc(), c.x, c.y, c.cx, c.cy, src.dc(), c.x1, c.y1, SRCCOPY));
    for (int y = 0; y < n; ++y) {
      for (int x = 0; x < n; ++x) {
        long long sx = static_cast<long long>(x) - c.x + c.x1;
        long long sy = static_cast<long long>(y) - c.y + c.y1;
        bool inDest = x >= c.x && y >= c.y && x < static_cast<long long>(c.x) + c.cx &&
                      y < static_cast<long long>(c.y) + c.cy;
        bool inSource = sx >= 0 && sx < n && sy >= 0 && sy < n;
        COLORREF want = inDest && inSource ? Marker(static_cast<int>(sx), static_cast<int>(sy)) : 0;
        EXPECT_EQ(GetPixel(dst.dc(), x, y), want) << x << "," << y;
      }
    }
  }
}

TEST(GdiCoreBlit, DestinationClipAndViewportOrigin) {
  Canvas src(4, 4);
  Canvas dst(6, 6);
  PaintMarkers(src.dc(), 4, 4);
  IntersectClipRect(dst.dc(), 2, 2, 4, 4);
  kelmira::gdi::LookupDC(src.dc())->state.viewportOrg = POINT{-1, 0};  // logical (1, 0) is device (0, 0)
  BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), 1, 0, SRCCOPY);
  SelectClipRgn(dst.dc(), nullptr);
  for (int y = 0; y < 6; ++y) {
    for (int x = 0; x < 6; ++x) {
      bool in = x >= 2 && x < 4 && y >= 2 && y < 4;
      EXPECT_EQ(GetPixel(dst.dc(), x, y), in ? Marker(x, y) : 0u) << x << "," << y;
    }
  }
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 0, 5, src.dc(), 0, 0, SRCCOPY));
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, -3, 5, src.dc(), 0, 0, SRCCOPY));
}

TEST(GdiCoreBlit, CopiesBetweenTopDownAndBottomUpSurfaces) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 3, 3, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bottomUp = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, bottomUp);
  Canvas top(3, 3);
  PaintMarkers(top.dc(), 3, 3);
  BitBlt(dc, 0, 0, 3, 3, top.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(static_cast<std::uint32_t*>(bits)[0], kelmira::gdi::PixelFromColor(Marker(0, 2))) << "last row first";
  Canvas back(3, 3);
  BitBlt(back.dc(), 0, 0, 3, 3, dc, 0, 0, SRCCOPY);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(GetPixel(back.dc(), x, y), Marker(x, y));
  SelectObject(dc, old);
  DeleteDC(dc);
  DeleteObject(bottomUp);
}

// BitBlt and PatBlt: raster operations, overlap and clipping.
#include "support/canvas.h"

#include "gdi/device_context.h"

namespace {

using namespace kelmira::test;

// Each pixel (x, y) gets a distinct colour.
COLORREF Marker(int x, int y) { return RGB(x + 1, y + 1, 0x40); }

void PaintMarkers(const Canvas& canvas) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) SetPixel(canvas.dc(), x, y, Marker(x, y));
}

TEST(Blit, RasterOperations) {
  Canvas src(1, 1, 0x0000FF), dst(1, 1, kBlack);
  Selected yellow(dst.dc(), CreateSolidBrush(0x00FFFF));
  enum Call { kBitBlt, kPatBlt, kNoSource };
  // clang-format off
  const struct { DWORD rop; COLORREF dest, expected; Call call = kBitBlt; BOOL ok = TRUE; } cases[] = {
      {SRCCOPY, 0x00FF00, 0x0000FF}, {SRCPAINT, 0x00FF00, 0x00FFFF}, {SRCPAINT, 0x1080F0, 0x1080FF},
      {SRCAND, 0x0000FF, 0x0000FF}, {SRCAND, 0x00FF00, 0x000000}, {SRCINVERT, 0x0000FF, 0x000000},
      {SRCINVERT, 0x00FF00, 0x00FFFF}, {SRCERASE, 0x000000, 0x0000FF}, {SRCERASE, 0x0000FF, 0x000000},
      {NOTSRCCOPY, 0, 0xFFFF00}, {DSTINVERT, 0x123456, 0xEDCBA9}, {BLACKNESS, 0x123456, 0},
      {WHITENESS, 0, 0xFFFFFF}, {PATCOPY, 0, 0x00FFFF}, {PATINVERT, 0x0000FF, 0x00FF00},
      {NOTSRCERASE, 0x00FF00, 0xFF0000}, {MERGEPAINT, 0x00FF00, 0xFFFF00}, {MERGEPAINT, 0x000080, 0xFFFF80},
      // PatBlt takes the operations without a source and refuses the others; so does BitBlt
      // without a source.
      {PATINVERT, 0x0000FF, 0x00FF00, kPatBlt}, {SRCCOPY, 0x123456, 0x123456, kPatBlt, FALSE},
      {BLACKNESS, 0x123456, 0, kNoSource}, {SRCCOPY, 0x123456, 0x123456, kNoSource, FALSE}};
  // clang-format on
  for (const auto& c : cases) {
    SetPixel(dst.dc(), 0, 0, c.dest);
    const BOOL ok = c.call == kPatBlt ? PatBlt(dst.dc(), 0, 0, 1, 1, c.rop)
                                      : BitBlt(dst.dc(), 0, 0, 1, 1, c.call ? nullptr : src.dc(), 0, 0, c.rop);
    EXPECT_EQ(std::pair(ok, dst.At(0, 0)), std::pair(c.ok, c.expected)) << std::hex << "rop " << c.rop << " " << c.call;
  }
  // A null brush paints nothing.
  SelectObject(dst.dc(), GetStockObject(NULL_BRUSH));
  EXPECT_TRUE(PatBlt(dst.dc(), 0, 0, 1, 1, PATCOPY));
  EXPECT_EQ(dst.At(0, 0), 0x123456u);
}

TEST(Blit, PatBltWithHatchAndNegativeExtent) {
  Canvas canvas(8, 8, kBlack);
  Selected hatch(canvas.dc(), CreateHatchBrush(HS_VERTICAL, kWhite));
  // 8 - 8 .. 7 both ways: every pixel, white lines and gaps in the (white) background colour.
  EXPECT_TRUE(PatBlt(canvas.dc(), 8, 8, -8, -8, PATCOPY));
  EXPECT_TRUE(canvas.Painted(kWhite).empty());
  // The hatch lines sit at multiples of 8 from the brush origin.
  SetBkColor(canvas.dc(), RGB(0, 0, 9));
  SetBrushOrgEx(canvas.dc(), 2, 0, nullptr);
  PatBlt(canvas.dc(), 0, 0, 8, 8, PATCOPY);
  ExpectPicture(canvas, [](int x, int) { return x == 2 ? kWhite : RGB(0, 0, 9); });
}

TEST(Blit, OverlappingCopyWithinOneBitmap) {
  for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 2}, {-2, -1}}) {
    SCOPED_TRACE(testing::Message() << dx << "," << dy);
    Canvas canvas(6, 6);
    PaintMarkers(canvas);
    // The centre 4 x 4 block, moved by the shift onto itself.
    ASSERT_TRUE(BitBlt(canvas.dc(), 1 + dx, 1 + dy, 4, 4, canvas.dc(), 1, 1, SRCCOPY));
    ExpectPicture(canvas, [&](int x, int y) {
      return Box{1, 1, 5, 5}.Contains(x - dx, y - dy) ? Marker(x - dx, y - dy) : Marker(x, y);
    });
  }
}

// Clipped at every edge of both bitmaps, by the destination's clip rectangle too; the source's
// viewport origin moves its rectangle; rows of either order copy the right way up.
TEST(Blit, ClippedAtEveryEdgeAndBetweenRowOrders) {
  const int n = 4;
  Canvas src(n, n);
  PaintMarkers(src);
  // clang-format off
  const struct { int x, y, cx, cy, x1, y1; } cases[] = {
      {-2, -2, 4, 4, 0, 0}, {2, 2, 4, 4, 0, 0}, {0, 0, 4, 4, -2, -1}, {0, 0, 4, 4, 3, 3},
      {-1000000, 0, INT_MAX, 2, 0, 0}, {0, 0, INT_MAX, INT_MAX, 0, 0}, {INT_MIN, INT_MIN, 4, 4, 0, 0},
      {INT_MAX, INT_MAX, 4, 4, 0, 0},
      {0, 0, 4, 4, INT_MIN, INT_MAX}, {1, 1, INT_MAX, INT_MAX, INT_MIN, INT_MIN}};
  // clang-format on
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.x << " " << c.y << " " << c.cx << " " << c.cy << " " << c.x1 << " " << c.y1);
    Canvas dst(n, n, kBlack);
    ASSERT_TRUE(BitBlt(dst.dc(), c.x, c.y, c.cx, c.cy, src.dc(), c.x1, c.y1, SRCCOPY));
    ExpectPicture(dst, [&](int x, int y) {
      const long long sx = 0LL + x - c.x + c.x1, sy = 0LL + y - c.y + c.y1;
      const bool inDest = x >= c.x && y >= c.y && x < 0LL + c.x + c.cx && y < 0LL + c.y + c.cy;
      const bool inSource = sx >= 0 && sx < n && sy >= 0 && sy < n;
      return inDest && inSource ? Marker(static_cast<int>(sx), static_cast<int>(sy)) : 0u;
    });
  }
  Canvas bottomUp(n, n, kBlack, true), back(n, n, kBlack), dst(6, 6, kBlack);
  BitBlt(bottomUp.dc(), 0, 0, n, n, src.dc(), 0, 0, SRCCOPY);
  EXPECT_EQ(bottomUp.Bits()[0], kelmira::gdi::PixelFromColor(Marker(0, n - 1))) << "last row first";
  BitBlt(back.dc(), 0, 0, n, n, bottomUp.dc(), 0, 0, SRCCOPY);
  ExpectPicture(back, Marker);
  IntersectClipRect(dst.dc(), 2, 2, 4, 4);
  SetViewportOrgEx(src.dc(), -1, 0, nullptr);  // logical (1, 0) is device (0, 0)
  BitBlt(dst.dc(), 0, 0, 6, 6, src.dc(), 1, 0, SRCCOPY);
  SelectClipRgn(dst.dc(), nullptr);
  ExpectPicture(dst, [](int x, int y) { return Box{2, 2, 4, 4}.Contains(x, y) ? Marker(x, y) : 0u; });
  EXPECT_TRUE(BitBlt(dst.dc(), 0, 0, 0, 5, src.dc(), 0, 0, SRCCOPY) &&
              BitBlt(dst.dc(), 0, 0, -3, 5, src.dc(), 0, 0, SRCCOPY));
}

}  // namespace

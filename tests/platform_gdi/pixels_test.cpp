// Pixels, bitmaps and DIB sections, FillRect, and logical coordinates: world transform,
// viewport and brush origins, and the clip box seen through them.
#include "support/canvas.h"

#include "gdi/device_context.h"

#include <cmath>

namespace {

using namespace kelmira::test;

HBITMAP Dib(LONG width, LONG height, WORD bits, void** pixels) {
  BITMAPINFO info{};
  info.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, height, 1, bits, BI_RGB, 0, 0, 0, 0, 0};
  return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, pixels, nullptr, 0);
}

Box ClipBox(HDC dc, int kind = SIMPLEREGION) {
  RECT r{};
  EXPECT_EQ(GetClipBox(dc, &r), kind);
  return Box{r.left, r.top, r.right, r.bottom};
}

TEST(Pixels, GetAndSetAtTheEdges) {
  Canvas canvas(5, 3, kBlack);
  HDC dc = canvas.dc();
  for (auto [x, y] : {std::pair{0, 0}, {4, 0}, {0, 2}, {4, 2}})
    EXPECT_EQ(std::vector({SetPixel(dc, x, y, RGB(1, 2, 3)), GetPixel(dc, x, y)}), std::vector(2, RGB(1, 2, 3)));
  for (auto [x, y] : {std::pair{-1, 0}, {5, 0}, {0, -1}, {0, 3}, {INT_MIN, INT_MIN}, {INT_MAX, INT_MAX}, {INT_MAX, 0}})
    EXPECT_EQ(std::vector({GetPixel(dc, x, y), SetPixel(dc, x, y, 0xFF), COLORREF(SetPixelV(dc, x, y, 0xFF))}),
              std::vector({CLR_INVALID, CLR_INVALID, COLORREF{FALSE}}))
        << x << "," << y;
  // A system-colour value is stored by its low 24 bits, not looked up.
  EXPECT_EQ(std::vector({SetPixel(dc, 1, 1, 0x80000005), GetPixel(dc, 1, 1)}), std::vector(2, COLORREF{5}));
  // The viewport origin moves logical coordinates; INT_MAX plus an offset does not overflow.
  SetViewportOrgEx(dc, 2, 1, nullptr);
  EXPECT_EQ(std::vector({GetPixel(dc, -2, -1), GetPixel(dc, -1, 0), GetPixel(dc, 3, 1), GetPixel(dc, INT_MAX, INT_MAX),
                         GetPixel(dc, INT_MIN, 0)}),
            std::vector({RGB(1, 2, 3), COLORREF{5}, CLR_INVALID, CLR_INVALID, CLR_INVALID}));
}

TEST(Pixels, DibSectionsShareTheirPixelsAndBitmapsCopyTheirs) {
  for (LONG height : {-3, 3}) {
    SCOPED_TRACE(height < 0 ? "top-down" : "bottom-up");
    void* bits = nullptr;
    HBITMAP dib = Dib(4, height, 32, &bits);
    ASSERT_NE(bits, nullptr);
    auto at = [&](int x, int y) -> std::uint32_t& {
      return static_cast<std::uint32_t*>(bits)[(height < 0 ? y : 2 - y) * 4 + x];
    };
    Canvas canvas(4, 3);
    Selected selected(canvas.dc(), dib);
    at(1, 0) = 0x00112233;  // B=33 G=22 R=11
    at(0, 1) = 0xFF010203;  // a top byte set by the host is not read
    SetPixel(canvas.dc(), 3, 2, RGB(0xAA, 0xBB, 0xCC));
    EXPECT_EQ(std::tuple(GetPixel(canvas.dc(), 1, 0), GetPixel(canvas.dc(), 0, 1), at(3, 2)),
              std::tuple(RGB(0x11, 0x22, 0x33), RGB(1, 2, 3), 0x00AABBCCu));  // bytes B, G, R, X
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(dib, sizeof ds, &ds), static_cast<int>(sizeof ds));
    EXPECT_EQ(std::tuple(ds.dsBm.bmBits, ds.dsBm.bmHeight, ds.dsBm.bmWidthBytes, ds.dsBmih.biHeight),
              std::tuple(bits, 3, 16, height));
    EXPECT_EQ(GetObjectA(dib, sizeof(BITMAP), &ds.dsBm), static_cast<int>(sizeof(BITMAP)));
  }
  // Other formats and sizes are refused.
  void* bits = reinterpret_cast<void*>(1);
  EXPECT_EQ(std::pair(Dib(4, 4, 24, &bits), bits), std::pair(HBITMAP{}, static_cast<void*>(nullptr)));
  for (auto [width, height] : {std::pair<LONG, LONG>{4, 0}, {4, INT_MIN}, {1 << 20, 1 << 20}})
    EXPECT_EQ(Dib(width, height, 32, &bits), nullptr) << width << "x" << height;
  EXPECT_EQ(std::vector({CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0),
                         CreateBitmap(2, 2, 1, 1, nullptr), CreateBitmap(2, 2, 2, 32, nullptr),
                         CreateBitmap(-2, 2, 1, 32, nullptr)}),
            std::vector(4, HBITMAP{}));
  // CreateBitmap copies its bits, without the top byte.
  const std::uint32_t source[] = {0x00FF0000, 0xFF00FF00, 0x000000FF, 0x00123456};
  Canvas canvas(2, 2);
  Selected bitmap(canvas.dc(), CreateBitmap(2, 2, 1, 32, source));
  EXPECT_EQ(canvas.Picture(), std::vector({RGB(255, 0, 0), RGB(0, 255, 0), RGB(0, 0, 255), RGB(0x12, 0x34, 0x56)}));
}

TEST(Pixels, FillRectCoversLeftToRightMinusOne) {
  Canvas canvas(10, 8, kBlack);
  HDC dc = canvas.dc();
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  const COLORREF blue = GetSysColor(COLOR_HIGHLIGHT);
  RECT r{2, 3, 6, 5}, huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, one{0, 0, 1, 1};
  // Of these only r paints: the others are inverted or empty. Huge ones are clipped.
  for (RECT rect : {r, RECT{9, 1, 7, 6}, RECT{1, 6, 1, 8}}) EXPECT_EQ(FillRect(dc, &rect, brush), 1);
  ExpectPicture(canvas, [&](int x, int y) { return Box{2, 3, 6, 5}.Contains(x, y) ? blue : kBlack; });
  EXPECT_EQ(FillRect(dc, &huge, brush), 1);
  EXPECT_TRUE(canvas.Painted(blue).empty());
  // The mix mode does not apply to FillRect; a system colour index + 1 names its brush.
  SetROP2(dc, R2_NOT);
  EXPECT_EQ(FillRect(dc, &one, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), 1);
  EXPECT_EQ(GetPixel(dc, 0, 0), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(std::pair(FillRect(dc, nullptr, brush), FillRect(dc, &one, nullptr)), std::pair(0, 0));
}

TEST(Coordinates, WorldTransformAndViewportOrigin) {
  Canvas canvas(10, 10, kBlack);
  HDC dc = canvas.dc();
  XFORM shift{1, 0, 0, 1, 3, 2}, singular{1, 2, 2, 4, 0, 0}, infinite{INFINITY, 0, 0, 1, 0, 0};
  EXPECT_FALSE(SetWorldTransform(dc, &shift)) << "GM_COMPATIBLE";
  SetGraphicsMode(dc, GM_ADVANCED);
  ASSERT_TRUE(SetWorldTransform(dc, &shift));
  for (const XFORM* bad : {&singular, &infinite, static_cast<XFORM*>(nullptr)})
    EXPECT_FALSE(SetWorldTransform(dc, bad));
  SetPixel(dc, 0, 0, RGB(1, 1, 1));
  // ModifyWorldTransform: left multiply acts first, (x + 10) * 2; right multiply acts last.
  XFORM scale{2, 0, 0, 2, 0, 0}, ten{1, 0, 0, 1, 10, 0}, m{};
  const auto modify = [&](const XFORM* by, DWORD mode) {
    return ModifyWorldTransform(dc, by, mode) && GetWorldTransform(dc, &m) ? std::pair(m.eDx, m.eM11)
                                                                           : std::pair(-1.f, -1.f);
  };
  SetWorldTransform(dc, &scale);
  EXPECT_EQ(std::vector({modify(&ten, MWT_LEFTMULTIPLY), modify(&ten, MWT_RIGHTMULTIPLY), modify(nullptr, MWT_IDENTITY),
                         modify(&ten, 7)}),
            (std::vector<std::pair<float, float>>{{20, 2}, {30, 2}, {0, 1}, {-1, -1}}));
  canvas.ResetMapping();
  EXPECT_EQ(GetPixel(dc, 3, 2), RGB(1, 1, 1));  // drawn through the shift
  // Viewport origins offset within 32 bits: one more leaves them, fails and changes nothing.
  POINT previous{-1, -1}, now{};
  ASSERT_TRUE(SetViewportOrgEx(dc, INT_MAX - 1, 2, nullptr));
  EXPECT_TRUE(OffsetViewportOrgEx(dc, 1, -1, &previous));
  EXPECT_FALSE(OffsetViewportOrgEx(dc, 1, 0, nullptr));
  EXPECT_TRUE(GetViewportOrgEx(dc, &now));
  EXPECT_EQ(std::tuple(previous.x, previous.y, now.x, now.y), std::tuple(INT_MAX - 1, 2, INT_MAX, 1));
  EXPECT_FALSE(GetViewportOrgEx(dc, nullptr) || SetBrushOrgEx(nullptr, 0, 0, nullptr));
}

TEST(Coordinates, ClipBoxAndIntersectClipRectAlsoUnderRotation) {
  Canvas canvas(20, 10);
  HDC dc = canvas.dc();
  RECT box{};
  EXPECT_EQ(std::pair(GetClipBox(dc, nullptr), GetClipBox(nullptr, &box)), std::pair(ERROR, ERROR));
  EXPECT_EQ(ClipBox(dc), (Box{0, 0, 20, 10}));
  EXPECT_EQ(IntersectClipRect(dc, 5, 2, 100, 8), SIMPLEREGION);
  EXPECT_EQ(ClipBox(dc), (Box{5, 2, 20, 8}));
  EXPECT_EQ(std::vector({SetPixel(dc, 4, 4, 0xFF), GetPixel(dc, 4, 4), SetPixel(dc, 5, 4, 0xFF)}),
            std::vector({CLR_INVALID, CLR_INVALID, COLORREF{0xFF}}));
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

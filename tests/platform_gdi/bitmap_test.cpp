// Pixels, bitmaps and DIB sections, FillRect, BitBlt and PatBlt, PNG files, and logical
// coordinates: world transform, viewport and brush origins, and the clip box seen through them.
#include "support/canvas.h"
#include "support/scratch_dir.h"

#include "gdi/device_context.h"

#include <cmath>

#include <sys/stat.h>

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

TEST(Pixels, GetSetAndFillRectAtTheEdges) {
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
  // FillRect covers left to right - 1 and top to bottom - 1.
  Canvas filled(10, 8, kBlack);
  dc = filled.dc();
  HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
  const COLORREF blue = GetSysColor(COLOR_HIGHLIGHT);
  RECT r{2, 3, 6, 5}, huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, one{0, 0, 1, 1};
  // Of these only r paints: the others are inverted or empty. Huge ones are clipped.
  for (RECT rect : {r, RECT{9, 1, 7, 6}, RECT{1, 6, 1, 8}}) EXPECT_EQ(FillRect(dc, &rect, brush), 1);
  ExpectPicture(filled, [&](int x, int y) { return Box{2, 3, 6, 5}.Contains(x, y) ? blue : kBlack; });
  EXPECT_EQ((std::tuple{FillRect(dc, &huge, brush), filled.Painted(blue).size()}), std::tuple(1, 0u));
  // The mix mode does not apply to FillRect; a system colour index + 1 names its brush.
  SetROP2(dc, R2_NOT);
  EXPECT_EQ((std::tuple{FillRect(dc, &one, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)), GetPixel(dc, 0, 0),
                        FillRect(dc, nullptr, brush), FillRect(dc, &one, nullptr)}),
            std::tuple(1, GetSysColor(COLOR_BTNFACE), 0, 0));
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
    EXPECT_EQ((std::tuple{GetObjectA(dib, sizeof ds, &ds), ds.dsBm.bmBits, ds.dsBm.bmHeight, ds.dsBm.bmWidthBytes,
                          ds.dsBmih.biHeight, GetObjectA(dib, sizeof(BITMAP), &ds.dsBm)}),
              std::tuple(int(sizeof ds), bits, 3, 16, height, int(sizeof(BITMAP))));
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

TEST(Coordinates, WorldTransformViewportOriginAndClipBox) {
  Canvas canvas(10, 10, kBlack);
  HDC dc = canvas.dc();
  XFORM shift{1, 0, 0, 1, 3, 2}, singular{1, 2, 2, 4, 0, 0}, infinite{INFINITY, 0, 0, 1, 0, 0};
  // Refused in GM_COMPATIBLE; singular, infinite and missing transforms are refused.
  EXPECT_EQ(
      std::vector({SetWorldTransform(dc, &shift), (SetGraphicsMode(dc, GM_ADVANCED), SetWorldTransform(dc, &shift)),
                   SetWorldTransform(dc, &singular), SetWorldTransform(dc, &infinite), SetWorldTransform(dc, nullptr)}),
      std::vector({FALSE, TRUE, FALSE, FALSE, FALSE}));
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
  EXPECT_EQ(std::vector({SetViewportOrgEx(dc, INT_MAX - 1, 2, nullptr), OffsetViewportOrgEx(dc, 1, -1, &previous),
                         OffsetViewportOrgEx(dc, 1, 0, nullptr), GetViewportOrgEx(dc, &now),
                         GetViewportOrgEx(dc, nullptr), SetBrushOrgEx(nullptr, 0, 0, nullptr)}),
            std::vector({TRUE, TRUE, FALSE, TRUE, FALSE, FALSE}));
  EXPECT_EQ(std::tuple(previous.x, previous.y, now.x, now.y), std::tuple(INT_MAX - 1, 2, INT_MAX, 1));
  // The clip box and IntersectClipRect, also under rotation.
  Canvas clipped(20, 10);
  dc = clipped.dc();
  RECT box{};
  EXPECT_EQ((std::tuple{GetClipBox(dc, nullptr), GetClipBox(nullptr, &box), ClipBox(dc),
                        IntersectClipRect(dc, 5, 2, 100, 8), ClipBox(dc)}),
            std::tuple(ERROR, ERROR, Box{0, 0, 20, 10}, SIMPLEREGION, Box{5, 2, 20, 8}));
  EXPECT_EQ(std::vector({SetPixel(dc, 4, 4, 0xFF), GetPixel(dc, 4, 4), SetPixel(dc, 5, 4, 0xFF)}),
            std::vector({CLR_INVALID, CLR_INVALID, COLORREF{0xFF}}));
  // The clip box is logical: the viewport origin shifts it.
  SetViewportOrgEx(dc, 3, 1, nullptr);
  EXPECT_EQ(ClipBox(dc), (Box{2, 1, 17, 7}));
  SetViewportOrgEx(dc, 0, 0, nullptr);
  // A window's device clip narrows it further and outlives SelectClipRgn.
  kelmira::gdi::SetDeviceClip(*kelmira::gdi::LookupDC(dc), RECT{0, 0, 7, 10});
  EXPECT_EQ((std::tuple{ClipBox(dc), IntersectClipRect(dc, 50, 50, 60, 60), ClipBox(dc, NULLREGION),
                        SelectClipRgn(dc, nullptr), ClipBox(dc)}),
            std::tuple(Box{5, 2, 7, 8}, NULLREGION, Box{0, 0, 0, 0}, SIMPLEREGION, Box{0, 0, 7, 10}));
  kelmira::gdi::ClearDeviceClip(*kelmira::gdi::LookupDC(dc));
  EXPECT_EQ(ClipBox(dc), (Box{0, 0, 20, 10}));
  // Under a quarter turn (moved back onto the bitmap) the clip box is the turned bitmap;
  // logical (0, 0) lands on device (20, 0), outside, and logical (0, 1) on device (19, 0).
  Canvas square(20, 20);
  SetGraphicsMode(square.dc(), GM_ADVANCED);
  XFORM turn{0.0f, 1.0f, -1.0f, 0.0f, 20.0f, 0.0f};
  EXPECT_EQ((std::tuple{SetWorldTransform(square.dc(), &turn), ClipBox(square.dc()),
                        SetPixel(square.dc(), 0, 1, RGB(7, 7, 7)), (square.ResetMapping(), square.At(19, 0))}),
            std::tuple(TRUE, Box{0, 0, 20, 20}, RGB(7, 7, 7), RGB(7, 7, 7)));
}

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
  EXPECT_EQ((std::tuple{PatBlt(dst.dc(), 0, 0, 1, 1, PATCOPY), dst.At(0, 0)}), std::tuple(TRUE, 0x123456u));
}

TEST(Blit, PatBltWithHatchAndNegativeExtentAndOverlappingCopies) {
  Canvas canvas(8, 8, kBlack);
  Selected hatch(canvas.dc(), CreateHatchBrush(HS_VERTICAL, kWhite));
  // 8 - 8 .. 7 both ways: every pixel, white lines and gaps in the (white) background colour.
  EXPECT_EQ((std::tuple{PatBlt(canvas.dc(), 8, 8, -8, -8, PATCOPY), canvas.Painted(kWhite).size()}),
            std::tuple(TRUE, 0u));
  // The hatch lines sit at multiples of 8 from the brush origin.
  SetBkColor(canvas.dc(), RGB(0, 0, 9));
  SetBrushOrgEx(canvas.dc(), 2, 0, nullptr);
  PatBlt(canvas.dc(), 0, 0, 8, 8, PATCOPY);
  ExpectPicture(canvas, [](int x, int) { return x == 2 ? kWhite : RGB(0, 0, 9); });
  // BitBlt within one bitmap copies the overlapping block as it was.
  for (auto [dx, dy] : {std::pair{1, 0}, {-1, 0}, {0, 1}, {0, -1}, {2, 2}, {-2, -1}}) {
    SCOPED_TRACE(testing::Message() << dx << "," << dy);
    Canvas markers(6, 6);
    PaintMarkers(markers);
    // The centre 4 x 4 block, moved by the shift onto itself.
    ASSERT_TRUE(BitBlt(markers.dc(), 1 + dx, 1 + dy, 4, 4, markers.dc(), 1, 1, SRCCOPY));
    ExpectPicture(markers, [&](int x, int y) {
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

TEST(Png, WrittenAndReadBackOrFailingWithoutAFile) {
  ScratchDir dir;
  const std::string path = dir / "picture.png";
  Canvas canvas(7, 5, RGB(10, 20, 30));
  SetPixel(canvas.dc(), 0, 0, kRed);
  SetPixel(canvas.dc(), 6, 4, kBlue);
  ASSERT_EQ(KelmiraSaveDCPng(canvas.dc(), path.c_str()), S_OK);
  // The header says 7 x 5, 8 bits per channel, colour type 2 (RGB).
  const std::string bytes = ReadFile(path);
  EXPECT_EQ(bytes.substr(0, 26), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x07\0\0\0\x05\x08\x02", 26));
  // Loaded, a bitmap with the same pixels that saves to the same bytes over the old file.
  HBITMAP loaded = nullptr;
  ASSERT_EQ(KelmiraLoadPng(path.c_str(), &loaded), S_OK);
  Canvas view(7, 5);
  Selected selected(view.dc(), loaded);  // the canvas reads the loaded bitmap
  EXPECT_EQ((std::tuple{view.Picture() == canvas.Picture(), KelmiraSaveBitmapPng(loaded, path.c_str()),
                        ReadFile(path) == bytes}),
            std::tuple(true, S_OK, true));
  std::filesystem::create_directories(dir / "blocker.png");  // a directory in the way of the file name
  // A pipe and a read-only file are refused and left as they are; a link is written through.
  mkfifo((dir / "pipe.png").c_str(), 0644);
  WriteFile(dir / "locked.png", "keep");
  std::filesystem::permissions(dir / "locked.png", std::filesystem::perms::owner_read);
  std::filesystem::create_symlink(path, dir / "link.png");
  EXPECT_EQ(std::vector({KelmiraSaveDCPng(canvas.dc(), (dir / "pipe.png").c_str()),
                         KelmiraSaveDCPng(canvas.dc(), (dir / "locked.png").c_str()),
                         KelmiraSaveDCPng(canvas.dc(), (dir / "link.png").c_str())}),
            std::vector({STG_E_ACCESSDENIED, STG_E_ACCESSDENIED, S_OK}));
  EXPECT_EQ(std::tuple(std::filesystem::is_fifo(dir / "pipe.png"), ReadFile(dir / "locked.png"),
                       std::filesystem::is_symlink(dir / "link.png"), ReadFile(path) == bytes),
            std::tuple(true, std::string("keep"), true, true));
  for (const char* extra : {"pipe.png", "locked.png", "link.png"}) std::filesystem::remove(dir / extra);
  EXPECT_EQ(std::vector({KelmiraSaveDCPng(canvas.dc(), (dir / "missing/x.png").c_str()),
                         KelmiraSaveDCPng(canvas.dc(), (dir / "blocker.png").c_str()),
                         KelmiraSaveDCPng(canvas.dc(), nullptr), KelmiraSaveBitmapPng(nullptr, (dir / "y.png").c_str()),
                         KelmiraSaveDCPng(nullptr, (dir / "y.png").c_str())}),
            std::vector({STG_E_PATHNOTFOUND, STG_E_ACCESSDENIED, E_INVALIDARG, E_INVALIDARG, E_INVALIDARG}));
  // Nothing half-written is left behind.
  std::filesystem::remove(dir / "blocker.png");
  std::filesystem::remove(path);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
  WriteFile(dir / "junk.png", "not a picture");
  EXPECT_EQ(std::vector({KelmiraLoadPng((dir / "absent.png").c_str(), &loaded), KelmiraLoadPng(nullptr, &loaded),
                         KelmiraLoadPng((dir / "junk.png").c_str(), &loaded),
                         KelmiraLoadPng((dir / "junk.png").c_str(), nullptr)}),
            std::vector({STG_E_FILENOTFOUND, E_INVALIDARG, E_FAIL, E_POINTER}));
  EXPECT_EQ(loaded, nullptr);
}

}  // namespace

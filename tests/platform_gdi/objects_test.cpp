// Handles, selection, deletion and saved states of device contexts.
#include "support/canvas.h"
#include "support/last_error.h"

#include "gdi/device_context.h"

#include <tuple>

namespace {

using namespace kelmira::test;

TEST(Objects, StaleAndWrongKindHandlesFail) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  EXPECT_LE(HandleToUlong(pen), 0x7FFFFFFFu);  // survives a 32-bit field
  ASSERT_TRUE(DeleteObject(pen));
  LOGPEN lp{};
  EXPECT_EQ((std::pair{LastErrorOf([&] { return GetObjectA(pen, sizeof lp, &lp); }), DeleteObject(pen)}),
            std::pair(DWORD{ERROR_INVALID_HANDLE}, FALSE));
  // Once new objects have taken its slot, the old handle must still not reach them.
  std::vector<HGDIOBJ> pens(4096);
  for (HGDIOBJ& p : pens) p = CreatePen(PS_SOLID, 1, 0);
  EXPECT_EQ(GetObjectType(pen), 0u);
  // GetObject tells the size it needs and refuses a smaller buffer; bad styles make nothing.
  EXPECT_EQ(std::pair(GetObjectA(pens[0], 0, nullptr), GetObjectA(pens[0], sizeof lp - 1, &lp)),
            std::pair(int(sizeof lp), 0));
  LOGBRUSH pattern{BS_PATTERN, 0, 0};
  EXPECT_EQ(std::tuple(CreatePen(7, 1, 0), CreateHatchBrush(6, 0), CreateBrushIndirect(&pattern),
                       CreateBrushIndirect(nullptr)),
            std::tuple(HPEN{}, HBRUSH{}, HBRUSH{}, HBRUSH{}));
  // A pen handle is not a device context and a device context is not an object.
  HDC dc = CreateCompatibleDC(nullptr), penAsDc = reinterpret_cast<HDC>(pens[0]);
  EXPECT_EQ(std::pair(GetPixel(penAsDc, 0, 0), SelectObject(penAsDc, pens[0])), std::pair(CLR_INVALID, HGDIOBJ{}));
  EXPECT_EQ(std::tuple(DeleteObject(dc), SelectObject(dc, dc), GetObjectType(dc)),
            std::tuple(FALSE, HGDIOBJ{}, DWORD{OBJ_MEMDC}));
  EXPECT_EQ((std::tuple{DeleteDC(dc), DeleteDC(dc), GetPixel(dc, 0, 0)}), std::tuple(TRUE, FALSE, CLR_INVALID));
  // Garbage values, including ones wider than 32 bits, resolve to nothing.
  for (std::uintptr_t garbage : {std::uintptr_t{0x12345678}, ~std::uintptr_t{0}, std::uintptr_t{0}})
    EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(garbage)), 0u);
  for (HGDIOBJ p : pens) DeleteObject(p);
}

TEST(Objects, StockObjectsStayAndSelectedOnesWaitForTheirContexts) {
  const std::pair<int, DWORD> stock[] = {
      {WHITE_BRUSH, OBJ_BRUSH}, {LTGRAY_BRUSH, OBJ_BRUSH}, {GRAY_BRUSH, OBJ_BRUSH},     {DKGRAY_BRUSH, OBJ_BRUSH},
      {BLACK_BRUSH, OBJ_BRUSH}, {NULL_BRUSH, OBJ_BRUSH},   {WHITE_PEN, OBJ_PEN},        {BLACK_PEN, OBJ_PEN},
      {NULL_PEN, OBJ_PEN},      {SYSTEM_FONT, OBJ_FONT},   {DEFAULT_GUI_FONT, OBJ_FONT}};
  for (const auto& [index, type] : stock) {
    HGDIOBJ h = GetStockObject(index);
    EXPECT_EQ((std::tuple{DeleteObject(h), GetStockObject(index), GetObjectType(h)}), std::tuple(TRUE, h, type))
        << index;
  }
  LOGBRUSH gray{}, null{};
  GetObjectA(GetStockObject(GRAY_BRUSH), sizeof gray, &gray);
  GetObjectA(GetStockObject(NULL_BRUSH), sizeof null, &null);
  EXPECT_EQ((std::tuple{gray.lbColor, null.lbStyle, GetStockObject(9), GetStockObject(-1), GetStockObject(1000)}),
            std::tuple(COLORREF{0x808080}, UINT{BS_NULL}, nullptr, nullptr, nullptr));
  EXPECT_EQ(std::vector({GetSysColor(COLOR_WINDOW), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_HIGHLIGHT),
                         GetSysColor(31), GetSysColor(-1)}),
            std::vector<DWORD>({0x00FFFFFF, 0x00C8D0D4, 0x006A240A, 0, 0}));
  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  // 25 is an unused index.
  EXPECT_EQ((std::tuple{DeleteObject(face), GetObjectA(face, sizeof gray, &gray), gray.lbColor, GetSysColorBrush(25),
                        GetSysColorBrush(99)}),
            std::tuple(TRUE, int(sizeof gray), 0x00C8D0D4u, HBRUSH{}, HBRUSH{}));
  Canvas canvas(2, 2);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(9, 8, 7));
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  ASSERT_TRUE(DeleteObject(pen));
  // Still selected: it still answers, but a second delete fails and it cannot be selected anew.
  Canvas other(1, 1);
  EXPECT_EQ(std::tuple(GetObjectA(pen, 0, nullptr), DeleteObject(pen), SelectObject(other.dc(), pen)),
            std::tuple(int(sizeof(LOGPEN)), FALSE, HGDIOBJ{}));
  // Deselecting frees it.
  EXPECT_EQ((std::tuple{SelectObject(canvas.dc(), old), GetObjectType(pen)}), std::tuple(HGDIOBJ(pen), 0u));
  // Deleting a context frees what it and its saved states held past deletion.
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 3);
  HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
  SelectObject(dc, bitmap);
  EXPECT_EQ(SelectObject(dc, brush), GetStockObject(WHITE_BRUSH));  // the previous one of its kind
  SaveDC(dc);
  EXPECT_EQ((std::tuple{DeleteObject(bitmap) && DeleteObject(brush), GetObjectType(bitmap), DeleteDC(dc),
                        GetObjectType(bitmap), GetObjectType(brush)}),
            std::tuple(true, DWORD{OBJ_BITMAP}, TRUE, 0u, 0u));
}

// A new memory context has the desktop's defaults and a bitmap of one pixel; a bitmap goes into
// one memory context at a time.
TEST(Objects, MemoryContextDefaultsAndTheirOneBitmap) {
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  EXPECT_EQ(std::tuple(GetCurrentObject(a, OBJ_PEN), GetCurrentObject(a, OBJ_BRUSH), GetCurrentObject(a, OBJ_FONT)),
            std::tuple(GetStockObject(BLACK_PEN), GetStockObject(WHITE_BRUSH), GetStockObject(SYSTEM_FONT)));
  EXPECT_EQ(std::tuple(GetPixel(a, 0, 0) != CLR_INVALID, GetPixel(a, 1, 0), GetPixel(a, 0, 1)),
            std::tuple(true, CLR_INVALID, CLR_INVALID));
  EXPECT_EQ(std::tuple(GetTextColor(a), GetBkColor(a), GetTextAlign(a), GetBkMode(a), GetROP2(a), GetGraphicsMode(a)),
            std::tuple(kBlack, kWhite, UINT(TA_TOP | TA_LEFT), OPAQUE, R2_COPYPEN, GM_COMPATIBLE));
  // A zero-sized compatible bitmap is the stock one; a real one starts black.
  EXPECT_EQ(std::pair(CreateCompatibleBitmap(a, 0, 5), CreateCompatibleBitmap(a, -1, 5)),
            std::pair(HBITMAP(GetCurrentObject(a, OBJ_BITMAP)), HBITMAP{}));
  HBITMAP bitmap = CreateCompatibleBitmap(a, 8, 8);
  HGDIOBJ stock = SelectObject(a, bitmap);
  // Reselecting into the same context is fine.
  EXPECT_EQ(
      (std::tuple{GetPixel(a, 7, 7), LastErrorOf([&] { return SelectObject(b, bitmap); }), SelectObject(a, bitmap)}),
      std::tuple(kBlack, DWORD{ERROR_INVALID_PARAMETER}, HGDIOBJ(bitmap)));
  // Once a lets go, b may take it; the stock bitmap may be in both.
  SelectObject(a, stock);
  EXPECT_TRUE(SelectObject(b, bitmap) && SelectObject(b, stock));
  // A context over an external surface takes no bitmap.
  std::uint32_t pixels[4] = {};
  HDC surfaceDc = kelmira::gdi::CreateSurfaceDC(kelmira::gdi::Surface{pixels, 2, 2, 2});
  EXPECT_EQ(
      std::tuple(GetObjectType(surfaceDc), SelectObject(surfaceDc, bitmap), GetCurrentObject(surfaceDc, OBJ_BITMAP)),
      std::tuple(DWORD{OBJ_DC}, HGDIOBJ{}, HGDIOBJ{}));
  for (HDC dc : {surfaceDc, a, b}) EXPECT_TRUE(DeleteDC(dc));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(Objects, SaveAndRestoreEveryAttribute) {
  Canvas canvas(4, 4);
  HDC dc = canvas.dc();
  HPEN pen1 = CreatePen(PS_SOLID, 0, RGB(1, 0, 0)), pen2 = CreatePen(PS_SOLID, 0, RGB(2, 0, 0));
  HBITMAP other = CreateCompatibleBitmap(dc, 2, 2);
  EXPECT_EQ(SaveDC(dc), 1);  // defaults
  HGDIOBJ stockPen = SelectObject(dc, pen1);
  SetBkColor(dc, RGB(10, 20, 30));
  SetROP2(dc, R2_NOTXORPEN);
  IntersectClipRect(dc, 1, 1, 3, 3);
  EXPECT_EQ(SaveDC(dc), 2);
  SelectObject(dc, pen2);
  ASSERT_TRUE(DeleteObject(pen1));  // the saved state still holds it
  HGDIOBJ canvasBitmap = SelectObject(dc, other);
  SetBkMode(dc, TRANSPARENT);
  SetViewportOrgEx(dc, 5, 6, nullptr);
  EXPECT_EQ(std::vector({SaveDC(dc), SaveDC(dc)}), std::vector({3, 4}));
  // Relative: one level back is the state saved last, identical to the current one.
  EXPECT_EQ((std::tuple{RestoreDC(dc, -1), GetCurrentObject(dc, OBJ_PEN)}), std::tuple(TRUE, HGDIOBJ(pen2)));
  // Absolute: level 2 brings back pen1, the canvas bitmap, the colours, the clip and the origin.
  ASSERT_TRUE(RestoreDC(dc, 2));
  EXPECT_EQ(std::tuple(GetCurrentObject(dc, OBJ_PEN), GetObjectType(pen1), GetCurrentObject(dc, OBJ_BITMAP)),
            std::tuple(HGDIOBJ(pen1), DWORD{OBJ_PEN}, canvasBitmap));
  EXPECT_EQ(std::tuple(GetBkColor(dc), GetROP2(dc), GetBkMode(dc)), std::tuple(RGB(10, 20, 30), R2_NOTXORPEN, OPAQUE));
  EXPECT_EQ(canvas.Count(kWhite, 0, 0, 4, 4), 4);  // inside the clip only
  // Levels that no longer exist fail and change nothing.
  EXPECT_EQ((std::tuple{RestoreDC(dc, 2), RestoreDC(dc, -2), RestoreDC(dc, 0), GetCurrentObject(dc, OBJ_PEN)}),
            std::tuple(FALSE, FALSE, FALSE, HGDIOBJ(pen1)));
  // The bitmap that only the discarded states held is free again.
  Canvas second(1, 1);
  EXPECT_NE(SelectObject(second.dc(), other), nullptr);
  // Back to the defaults, which lets the deleted pen go.
  EXPECT_EQ((std::tuple{RestoreDC(dc, -1), GetCurrentObject(dc, OBJ_PEN), GetObjectType(pen1),
                        canvas.Count(kWhite, 0, 0, 4, 4), RestoreDC(dc, -1)}),
            std::tuple(TRUE, stockPen, 0u, 16, FALSE));
  EXPECT_TRUE(DeleteObject(pen2) && DeleteObject(other));
}

}  // namespace

// Handles, selection, deletion and saved states of device contexts.
#include "gdi_core_support.h"

#include "gdi/device_context.h"

using gdi_core_test::Canvas;

TEST(GdiCoreHandles, StaleAndWrongKindHandlesFail) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  ASSERT_NE(pen, nullptr);
  EXPECT_LE(HandleToUlong(pen), 0x7FFFFFFFu);  // survives a 32-bit field
  ASSERT_TRUE(DeleteObject(pen));

  // The slot is reused by the next object; the old handle must not reach it.
  HPEN next = CreatePen(PS_SOLID, 1, 0);
  ASSERT_NE(next, nullptr);
  EXPECT_NE(next, pen);
  LOGPEN lp{};
  SetLastError(0);
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), 0);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
  EXPECT_FALSE(DeleteObject(pen));
  EXPECT_EQ(GetObjectType(pen), 0u);

  // A pen handle is not a device context and a device context is not an object.
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(next), 0, 0), CLR_INVALID);
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(next), next), nullptr);
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_EQ(SelectObject(dc, dc), nullptr);
  EXPECT_EQ(GetObjectType(dc), OBJ_MEMDC);
  EXPECT_EQ(GetObjectType(next), OBJ_PEN);
  EXPECT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);

  // Garbage values, including ones wider than 32 bits, resolve to nothing.
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(std::uintptr_t{0x12345678})), 0u);
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(~std::uintptr_t{0})), 0u);
  EXPECT_EQ(GetObjectType(nullptr), 0u);
  EXPECT_TRUE(DeleteObject(next));
}

TEST(GdiCoreHandles, NewMemoryContextDefaults) {
  HDC dc = CreateCompatibleDC(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(GetCurrentObject(dc, OBJ_BITMAP), sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmWidth, 1);
  EXPECT_EQ(bm.bmHeight, 1);
  EXPECT_EQ(bm.bmBitsPixel, 32);

  kelmira::gdi::DeviceContext* state = kelmira::gdi::LookupDC(dc);
  ASSERT_NE(state, nullptr);
  EXPECT_EQ(state->state.textColor, 0u);
  EXPECT_EQ(state->state.bkColor, 0xFFFFFFu);
  EXPECT_EQ(state->state.bkMode, OPAQUE);
  EXPECT_EQ(state->state.rop2, R2_COPYPEN);
  EXPECT_EQ(state->state.textAlign, TA_TOP | TA_LEFT);
  EXPECT_EQ(state->state.graphicsMode, GM_COMPATIBLE);

  // A zero-sized compatible bitmap is the stock one.
  EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 5), GetCurrentObject(dc, OBJ_BITMAP));
  EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 5), nullptr);
  EXPECT_TRUE(DeleteDC(dc));
}

TEST(GdiCoreHandles, StockObjects) {
  struct Expected {
    int index;
    DWORD type;
  } stock[] = {{WHITE_BRUSH, OBJ_BRUSH}, {LTGRAY_BRUSH, OBJ_BRUSH}, {GRAY_BRUSH, OBJ_BRUSH},
               {DKGRAY_BRUSH, OBJ_BRUSH}, {BLACK_BRUSH, OBJ_BRUSH}, {NULL_BRUSH, OBJ_BRUSH},
               {WHITE_PEN, OBJ_PEN},       {BLACK_PEN, OBJ_PEN},    {NULL_PEN, OBJ_PEN},
               {SYSTEM_FONT, OBJ_FONT},    {DEFAULT_GUI_FONT, OBJ_FONT}};
  for (const Expected& e : stock) {
    HGDIOBJ h = GetStockObject(e.index);
    ASSERT_NE(h, nullptr) << e.index;
    EXPECT_EQ(GetStockObject(e.index), h);
    EXPECT_EQ(GetObjectType(h), e.type);
    EXPECT_TRUE(DeleteObject(h));
    EXPECT_EQ(GetObjectType(h), e.type) << "stock object " << e.index << " was deleted";
  }
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(GetStockObject(GRAY_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, BS_SOLID);
  EXPECT_EQ(lb.lbColor, 0x808080u);
  ASSERT_EQ(GetObjectA(GetStockObject(NULL_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, BS_NULL);
  LOGPEN lp{};
  ASSERT_EQ(GetObjectA(GetStockObject(NULL_PEN), sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_NULL));
  LOGFONTA lf{};
  EXPECT_EQ(GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf), static_cast<int>(sizeof lf));
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(-1), nullptr);
  EXPECT_EQ(GetStockObject(1000), nullptr);
}

TEST(GdiCoreHandles, SelectObjectReturnsPreviousOfSameKind) {
  Canvas canvas(4, 4);
  HPEN red = CreatePen(PS_DASH, 3, RGB(255, 0, 0));
  HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, RGB(0, 0, 255));
  EXPECT_EQ(SelectObject(canvas.dc(), red), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(canvas.dc(), hatch), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(canvas.dc(), red), red);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), red);
  EXPECT_EQ(SelectObject(canvas.dc(), GetStockObject(NULL_PEN)), red);
  EXPECT_EQ(SelectObject(canvas.dc(), GetStockObject(NULL_BRUSH)), hatch);

  LOGPEN lp{};
  ASSERT_EQ(GetObjectA(red, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(255, 0, 0));
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(hatch, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, BS_HATCHED);
  EXPECT_EQ(lb.lbHatch, static_cast<ULONG_PTR>(HS_DIAGCROSS));
  EXPECT_EQ(GetObjectA(red, 0, nullptr), static_cast<int>(sizeof(LOGPEN)));
  EXPECT_EQ(GetObjectA(red, sizeof lp - 1, &lp), 0);

  EXPECT_EQ(CreatePen(7, 1, 0), nullptr);
  EXPECT_EQ(CreateHatchBrush(6, 0), nullptr);
  LOGBRUSH pattern{BS_PATTERN, 0, 0};
  EXPECT_EQ(CreateBrushIndirect(&pattern), nullptr);
  EXPECT_EQ(CreateBrushIndirect(nullptr), nullptr);
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_TRUE(DeleteObject(hatch));
}

TEST(GdiCoreHandles, DeletingSelectedObjectWaitsForDeselection) {
  Canvas canvas(2, 2);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(9, 8, 7));
  HGDIOBJ old = SelectObject(canvas.dc(), pen);
  ASSERT_TRUE(DeleteObject(pen));
  // Still selected: it still answers and still draws.
  LOGPEN lp{};
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnColor, RGB(9, 8, 7));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
  EXPECT_FALSE(DeleteObject(pen)) << "a second delete of the same handle";
  // It cannot be selected anew anywhere.
  HDC other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(other, pen), nullptr);
  EXPECT_TRUE(DeleteDC(other));
  // Deselecting frees it.
  EXPECT_EQ(SelectObject(canvas.dc(), old), pen);
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), 0);
  EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST(GdiCoreHandles, DeleteDCFreesPendingObjectsAndBitmap) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(dc, 3, 3);
  HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
  SelectObject(dc, bitmap);
  SelectObject(dc, brush);
  SaveDC(dc);  // the saved state holds them too
  ASSERT_TRUE(DeleteObject(bitmap));
  ASSERT_TRUE(DeleteObject(brush));
  EXPECT_EQ(GetObjectType(bitmap), OBJ_BITMAP);
  ASSERT_TRUE(DeleteDC(dc));
  EXPECT_EQ(GetObjectType(bitmap), 0u);
  EXPECT_EQ(GetObjectType(brush), 0u);
}

TEST(GdiCoreHandles, BitmapGoesIntoOneMemoryContextOnly) {
  HDC a = CreateCompatibleDC(nullptr);
  HDC b = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(a, 8, 8);
  HGDIOBJ oldA = SelectObject(a, bitmap);
  ASSERT_NE(oldA, nullptr);
  EXPECT_EQ(SelectObject(b, bitmap), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
  EXPECT_EQ(SelectObject(a, bitmap), bitmap) << "reselecting into the same context is fine";
  // Once a lets go, b may take it.
  SelectObject(a, oldA);
  EXPECT_NE(SelectObject(b, bitmap), nullptr);
  // The stock bitmap may be in both.
  EXPECT_EQ(GetCurrentObject(a, OBJ_BITMAP), oldA);
  EXPECT_NE(SelectObject(b, oldA), nullptr);
  // A context over an external surface takes no bitmap.
  std::uint32_t pixels[4] = {};
  HDC surfaceDc = kelmira::gdi::CreateSurfaceDC(kelmira::gdi::Surface{pixels, 2, 2, 2});
  EXPECT_EQ(GetObjectType(surfaceDc), OBJ_DC);
  EXPECT_EQ(SelectObject(surfaceDc, bitmap), nullptr);
  EXPECT_EQ(GetCurrentObject(surfaceDc, OBJ_BITMAP), nullptr);
  EXPECT_TRUE(DeleteDC(surfaceDc));
  EXPECT_TRUE(DeleteDC(a));
  EXPECT_TRUE(DeleteDC(b));
  EXPECT_TRUE(DeleteObject(bitmap));
}

TEST(GdiCoreHandles, SaveAndRestoreEveryAttribute) {
  Canvas canvas(4, 4);
  HDC dc = canvas.dc();
  kelmira::gdi::DeviceContext* state = kelmira::gdi::LookupDC(dc);
  ASSERT_NE(state, nullptr);
  HPEN pen1 = CreatePen(PS_SOLID, 0, RGB(1, 0, 0));
  HPEN pen2 = CreatePen(PS_SOLID, 0, RGB(2, 0, 0));
  HBITMAP other = CreateCompatibleBitmap(dc, 2, 2);

  EXPECT_EQ(SaveDC(dc), 1);  // defaults
  HGDIOBJ stockPen = SelectObject(dc, pen1);
  state->state.bkColor = RGB(10, 20, 30);
  state->state.rop2 = R2_NOTXORPEN;
  IntersectClipRect(dc, 1, 1, 3, 3);
  EXPECT_EQ(SaveDC(dc), 2);
  SelectObject(dc, pen2);
  HGDIOBJ canvasBitmap = SelectObject(dc, other);
  state->state.bkMode = TRANSPARENT;
  state->state.viewportOrg = POINT{5, 6};
  EXPECT_EQ(SaveDC(dc), 3);
  EXPECT_EQ(SaveDC(dc), 4);

  // Relative: one level back is the state saved last, identical to the current one.
  ASSERT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen2);
  EXPECT_EQ(state->saved.size(), 3u);

  // Absolute: level 2 brings back pen1, the canvas bitmap, the clip and the colours.
  ASSERT_TRUE(RestoreDC(dc, 2));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen1);
  EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), canvasBitmap);
  EXPECT_EQ(state->state.bkColor, RGB(10, 20, 30));
  EXPECT_EQ(state->state.rop2, R2_NOTXORPEN);
  EXPECT_EQ(state->state.bkMode, OPAQUE);
  EXPECT_EQ(state->state.viewportOrg.x, 0);
  RECT box{};
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 1);
  EXPECT_EQ(box.right, 3);
  EXPECT_EQ(state->surface.width, 4) << "the surface follows the restored bitmap";
  EXPECT_EQ(state->saved.size(), 1u);

  // Levels that no longer exist fail and change nothing.
  EXPECT_FALSE(RestoreDC(dc, 2));
  EXPECT_FALSE(RestoreDC(dc, -2));
  EXPECT_FALSE(RestoreDC(dc, 0));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen1);

  // The bitmap that only the discarded states held is free again.
  HDC second = CreateCompatibleDC(nullptr);
  EXPECT_NE(SelectObject(second, other), nullptr);
  DeleteDC(second);

  ASSERT_TRUE(RestoreDC(dc, -1));
  EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), stockPen);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 4);
  EXPECT_TRUE(state->saved.empty());
  EXPECT_TRUE(DeleteObject(pen1));
  EXPECT_TRUE(DeleteObject(pen2));
  EXPECT_TRUE(DeleteObject(other));
  EXPECT_EQ(GetObjectType(pen1), 0u);
}

TEST(GdiCoreHandles, SystemColours) {
  EXPECT_EQ(GetSysColor(COLOR_WINDOW), 0x00FFFFFFu);
  EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), 0u);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE), 0x00C8D0D4u);
  EXPECT_EQ(GetSysColor(COLOR_BTNSHADOW), 0x00808080u);
  EXPECT_EQ(GetSysColor(COLOR_BTNHIGHLIGHT), 0x00FFFFFFu);
  EXPECT_EQ(GetSysColor(COLOR_3DDKSHADOW), 0x00404040u);
  EXPECT_EQ(GetSysColor(COLOR_3DLIGHT), 0x00C8D0D4u);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHT), 0x006A240Au);
  EXPECT_EQ(GetSysColor(COLOR_HIGHLIGHTTEXT), 0x00FFFFFFu);
  EXPECT_EQ(GetSysColor(COLOR_GRAYTEXT), 0x00808080u);
  EXPECT_EQ(GetSysColor(31), 0u);
  EXPECT_EQ(GetSysColor(-1), 0u);

  HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
  ASSERT_NE(face, nullptr);
  EXPECT_TRUE(DeleteObject(face));
  LOGBRUSH lb{};
  ASSERT_EQ(GetObjectA(face, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbColor, 0x00C8D0D4u);
  EXPECT_EQ(GetSysColorBrush(99), nullptr);
}

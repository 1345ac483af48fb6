// World transform, viewport origin and brush origin.
#include "gdi_core_support.h"

#include "gdi/device_context.h"

#include <climits>
#include <cmath>

using gdi_core_test::Canvas;

namespace {

void UseAdvancedMode(HDC dc) { kelmira::gdi::LookupDC(dc)->state.graphicsMode = GM_ADVANCED; }

}  // namespace

TEST(GdiCoreCoordinates, WorldTransformNeedsAdvancedModeAndAnInvertibleMatrix) {
  Canvas canvas(10, 10);
  HDC dc = canvas.dc();
  XFORM shift{1, 0, 0, 1, 3, 2};
  EXPECT_FALSE(SetWorldTransform(dc, &shift)) << "GM_COMPATIBLE";
  UseAdvancedMode(dc);
  ASSERT_TRUE(SetWorldTransform(dc, &shift));
  XFORM singular{1, 2, 2, 4, 0, 0};
  XFORM infinite{INFINITY, 0, 0, 1, 0, 0};
  EXPECT_FALSE(SetWorldTransform(dc, &singular));
  EXPECT_FALSE(SetWorldTransform(dc, &infinite));
  EXPECT_FALSE(SetWorldTransform(dc, nullptr));
  XFORM read{};
  ASSERT_TRUE(GetWorldTransform(dc, &read));
  EXPECT_EQ(read.eDx, 3.0f);
  EXPECT_EQ(read.eDy, 2.0f);
  SetPixel(dc, 0, 0, RGB(1, 1, 1));
  kelmira::gdi::LookupDC(dc)->state.graphicsMode = GM_COMPATIBLE;
  EXPECT_EQ(GetPixel(dc, 3, 2), RGB(1, 1, 1));
}

TEST(GdiCoreCoordinates, ModifyWorldTransformOrder) {
  Canvas canvas(4, 4);
  HDC dc = canvas.dc();
  UseAdvancedMode(dc);
  XFORM scale{2, 0, 0, 2, 0, 0};
  XFORM shift{1, 0, 0, 1, 10, 0};
  SetWorldTransform(dc, &scale);
  // Left multiply: the new matrix acts first. (x + 10) * 2.
  ASSERT_TRUE(ModifyWorldTransform(dc, &shift, MWT_LEFTMULTIPLY));
  XFORM m{};
  GetWorldTransform(dc, &m);
  EXPECT_EQ(m.eDx, 20.0f);
  EXPECT_EQ(m.eM11, 2.0f);
  // Right multiply: it acts last. (x * 2 + 20) + 10.
  ASSERT_TRUE(ModifyWorldTransform(dc, &shift, MWT_RIGHTMULTIPLY));
  GetWorldTransform(dc, &m);
  EXPECT_EQ(m.eDx, 30.0f);
  ASSERT_TRUE(ModifyWorldTransform(dc, nullptr, MWT_IDENTITY));
  GetWorldTransform(dc, &m);
  EXPECT_EQ(m.eM11, 1.0f);
  EXPECT_EQ(m.eDx, 0.0f);
  EXPECT_FALSE(ModifyWorldTransform(dc, &shift, 7));
}

TEST(GdiCoreCoordinates, ViewportAndBrushOrigins) {
  Canvas canvas(4, 4);
  HDC dc = canvas.dc();
  POINT previous{-1, -1};
  ASSERT_TRUE(SetViewportOrgEx(dc, 1, 2, &previous));
  EXPECT_EQ(previous.x, 0);
  ASSERT_TRUE(OffsetViewportOrgEx(dc, 1, -1, &previous));
  EXPECT_EQ(previous.x, 1);
  EXPECT_EQ(previous.y, 2);
  POINT now{};
  ASSERT_TRUE(GetViewportOrgEx(dc, &now));
  EXPECT_EQ(now.x, 2);
  EXPECT_EQ(now.y, 1);
  SetPixel(dc, 0, 0, RGB(5, 5, 5));
  SetViewportOrgEx(dc, 0, 0, nullptr);
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(5, 5, 5));
  // An offset that leaves 32 bits fails and changes nothing.
  SetViewportOrgEx(dc, INT_MAX, 0, nullptr);
  EXPECT_FALSE(OffsetViewportOrgEx(dc, 1, 0, nullptr));
  GetViewportOrgEx(dc, &now);
  EXPECT_EQ(now.x, INT_MAX);
  EXPECT_FALSE(GetViewportOrgEx(dc, nullptr));
  ASSERT_TRUE(SetBrushOrgEx(dc, 3, 4, nullptr));
  ASSERT_TRUE(SetBrushOrgEx(dc, 0, 0, &previous));
  EXPECT_EQ(previous.x, 3);
  EXPECT_EQ(previous.y, 4);
  EXPECT_FALSE(SetBrushOrgEx(nullptr, 0, 0, nullptr));
}

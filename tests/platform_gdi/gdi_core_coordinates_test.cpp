// World transform, viewport origin and brush origin.
#include "gdi_canvas.h"

#include <cmath>

using namespace gdi_test;

namespace {

XFORM WorldOf(HDC dc) {
  XFORM m{};
  EXPECT_TRUE(GetWorldTransform(dc, &m));
  return m;
}

TEST(GdiCoreCoordinates, WorldTransformNeedsAdvancedModeAndAnInvertibleMatrix) {
  Canvas canvas(10, 10, kBlack);
  HDC dc = canvas.dc();
  XFORM shift{1, 0, 0, 1, 3, 2};
  EXPECT_FALSE(SetWorldTransform(dc, &shift)) << "GM_COMPATIBLE";
  SetGraphicsMode(dc, GM_ADVANCED);
  ASSERT_TRUE(SetWorldTransform(dc, &shift));
  XFORM singular{1, 2, 2, 4, 0, 0};
  XFORM infinite{INFINITY, 0, 0, 1, 0, 0};
  EXPECT_FALSE(SetWorldTransform(dc, &singular));
  EXPECT_FALSE(SetWorldTransform(dc, &infinite));
  EXPECT_FALSE(SetWorldTransform(dc, nullptr));
  EXPECT_EQ(std::pair(WorldOf(dc).eDx, WorldOf(dc).eDy), std::pair(3.0f, 2.0f));
  SetPixel(dc, 0, 0, RGB(1, 1, 1));
  canvas.ResetMapping();
  EXPECT_EQ(GetPixel(dc, 3, 2), RGB(1, 1, 1));

  // ModifyWorldTransform: left multiply acts first, (x + 10) * 2; right multiply acts last.
  XFORM scale{2, 0, 0, 2, 0, 0};
  XFORM ten{1, 0, 0, 1, 10, 0};
  SetGraphicsMode(dc, GM_ADVANCED);
  SetWorldTransform(dc, &scale);
  ASSERT_TRUE(ModifyWorldTransform(dc, &ten, MWT_LEFTMULTIPLY));
  EXPECT_EQ(std::pair(WorldOf(dc).eDx, WorldOf(dc).eM11), std::pair(20.0f, 2.0f));
  ASSERT_TRUE(ModifyWorldTransform(dc, &ten, MWT_RIGHTMULTIPLY));
  EXPECT_EQ(WorldOf(dc).eDx, 30.0f);
  ASSERT_TRUE(ModifyWorldTransform(dc, nullptr, MWT_IDENTITY));
  EXPECT_EQ(std::pair(WorldOf(dc).eDx, WorldOf(dc).eM11), std::pair(0.0f, 1.0f));
  EXPECT_FALSE(ModifyWorldTransform(dc, &ten, 7));
}

TEST(GdiCoreCoordinates, ViewportAndBrushOrigins) {
  Canvas canvas(4, 4, kBlack);
  HDC dc = canvas.dc();
  POINT previous{-1, -1}, now{};
  ASSERT_TRUE(SetViewportOrgEx(dc, 1, 2, &previous));
  EXPECT_EQ(P(previous), P(0, 0));
  ASSERT_TRUE(OffsetViewportOrgEx(dc, 1, -1, &previous));
  EXPECT_EQ(P(previous), P(1, 2));
  SetPixel(dc, 0, 0, RGB(5, 5, 5));
  SetViewportOrgEx(dc, 0, 0, nullptr);
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(5, 5, 5));  // the origin was (2, 1)
  // An offset that leaves 32 bits fails and changes nothing.
  SetViewportOrgEx(dc, INT_MAX, 0, nullptr);
  EXPECT_FALSE(OffsetViewportOrgEx(dc, 1, 0, nullptr));
  GetViewportOrgEx(dc, &now);
  EXPECT_EQ(now.x, INT_MAX);
  EXPECT_FALSE(GetViewportOrgEx(dc, nullptr));
  ASSERT_TRUE(SetBrushOrgEx(dc, 3, 4, nullptr));
  ASSERT_TRUE(SetBrushOrgEx(dc, 0, 0, &previous));
  EXPECT_EQ(P(previous), P(3, 4));
  EXPECT_FALSE(SetBrushOrgEx(nullptr, 0, 0, nullptr));
}

}  // namespace

// Logical coordinates: world transform, viewport and brush origins, and the clip box seen
// through them.
#include "support/canvas.h"

#include "gdi/device_context.h"

#include <climits>
#include <cmath>

namespace {

using namespace kelmira::test;

Box ClipBox(HDC dc, int kind = SIMPLEREGION) {
  RECT r{};
  EXPECT_EQ(GetClipBox(dc, &r), kind);
  return Box{r.left, r.top, r.right, r.bottom};
}

TEST(Coordinates, WorldTransformNeedsAdvancedModeAndAnInvertibleMatrix) {
  Canvas canvas(10, 10, kBlack);
  HDC dc = canvas.dc();
  XFORM shift{1, 0, 0, 1, 3, 2}, singular{1, 2, 2, 4, 0, 0}, infinite{INFINITY, 0, 0, 1, 0, 0};
  EXPECT_FALSE(SetWorldTransform(dc, &shift)) << "GM_COMPATIBLE";
  SetGraphicsMode(dc, GM_ADVANCED);
  ASSERT_TRUE(SetWorldTransform(dc, &shift));
  for (const XFORM* bad : {&singular, &infinite, static_cast<XFORM*>(nullptr)})
    EXPECT_FALSE(SetWorldTransform(dc, bad));
  SetPixel(dc, 0, 0, RGB(1, 1, 1));
  canvas.ResetMapping();
  EXPECT_EQ(GetPixel(dc, 3, 2), RGB(1, 1, 1));
  // ModifyWorldTransform: left multiply acts first, (x + 10) * 2; right multiply acts last.
  XFORM scale{2, 0, 0, 2, 0, 0}, ten{1, 0, 0, 1, 10, 0}, m{};
  SetGraphicsMode(dc, GM_ADVANCED);
  SetWorldTransform(dc, &scale);
  ASSERT_TRUE(ModifyWorldTransform(dc, &ten, MWT_LEFTMULTIPLY));
  GetWorldTransform(dc, &m);
  EXPECT_EQ(std::pair(m.eDx, m.eM11), std::pair(20.0f, 2.0f));
  ASSERT_TRUE(ModifyWorldTransform(dc, &ten, MWT_RIGHTMULTIPLY));
  GetWorldTransform(dc, &m);
  EXPECT_EQ(m.eDx, 30.0f);
  ASSERT_TRUE(ModifyWorldTransform(dc, nullptr, MWT_IDENTITY));
  GetWorldTransform(dc, &m);
  EXPECT_EQ(std::pair(m.eDx, m.eM11), std::pair(0.0f, 1.0f));
  EXPECT_FALSE(ModifyWorldTransform(dc, &ten, 7));
}

TEST(Coordinates, ViewportAndBrushOrigins) {
  Canvas canvas(4, 4, kBlack);
  HDC dc = canvas.dc();
  POINT previous{-1, -1};
  ASSERT_TRUE(SetViewportOrgEx(dc, 1, 2, nullptr));
  ASSERT_TRUE(OffsetViewportOrgEx(dc, 1, -1, &previous));
  EXPECT_EQ(std::pair(previous.x, previous.y), std::pair(1, 2));
  SetPixel(dc, 0, 0, RGB(5, 5, 5));
  SetViewportOrgEx(dc, 0, 0, nullptr);
  EXPECT_EQ(GetPixel(dc, 2, 1), RGB(5, 5, 5));  // the origin was (2, 1)
  // An offset that leaves 32 bits fails and changes nothing.
  SetViewportOrgEx(dc, INT_MAX, 0, nullptr);
  EXPECT_FALSE(OffsetViewportOrgEx(dc, 1, 0, nullptr));
  GetViewportOrgEx(dc, &previous);
  EXPECT_EQ(previous.x, INT_MAX);
  EXPECT_FALSE(GetViewportOrgEx(dc, nullptr));
  ASSERT_TRUE(SetBrushOrgEx(dc, 3, 4, nullptr));
  ASSERT_TRUE(SetBrushOrgEx(dc, 0, 0, &previous));
  EXPECT_EQ(std::pair(previous.x, previous.y), std::pair(3, 4));
  EXPECT_FALSE(SetBrushOrgEx(nullptr, 0, 0, nullptr));
}

TEST(Coordinates, ClipBoxAndIntersectClipRectAlsoUnderRotation) {
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

// Composite controls: the picture when not active, the extent taken from the dialog template, and
// the dialog window that hosts controls.
#include "support/canvas.h"
#include "support/hosted_control.h"
#include "support/test_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <tuple>

namespace kelmira::test {
namespace {

using CompositeTest = ControlTest;

TEST_F(CompositeTest, NotActiveItDrawsOutlineGreyFillAndCentredCaptionAndMeasuresItsTemplate) {
  auto composite = Make<TestComposite>();
  Canvas canvas(260, 80);
  RECTL bounds{10, 10, 250, 70};
  ASSERT_EQ(composite->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0),
            S_OK);
  const COLORREF grey = RGB(128, 128, 128);
  EXPECT_EQ(std::tuple(canvas.Bounds(), canvas.At(10, 10), canvas.At(249, 69), canvas.At(12, 12)),
            std::tuple(Box{10, 10, 250, 70}, kBlack, kBlack, grey));

  // The caption: whatever is neither grey nor the outline, centred both ways with room around it.
  Box caption;
  for (auto [x, y] : canvas.Painted(grey))
    if (x > 10 && x < 249 && y > 10 && y < 69)
      caption = {std::min(caption.left, x), std::min(caption.top, y), std::max(caption.right, x + 1),
                 std::max(caption.bottom, y + 1)};
  const int left = caption.left - 10, right = 250 - caption.right, top = caption.top - 10, bottom = 70 - caption.bottom;
  EXPECT_TRUE(caption.Height() > 3 && left > 20 && std::abs(left - right) <= 4 && top > 6 &&
              std::abs(top - bottom) <= 4)
      << testing::PrintToString(caption);

  // The same template made into a plain dialog gives the pixel size the extent must match.
  HWND frame = MakeFrame();
  auto ignore = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
  HWND plain = AtlAxCreateDialogA(nullptr, TestComposite::GetDialogTemplate(), frame, ignore, 0);
  RECT rc{};
  ASSERT_TRUE(GetClientRect(plain, &rc));
  DestroyWindow(frame);
  SIZEL pixels{rc.right, rc.bottom}, expected{}, extent{};
  AtlPixelToHiMetric(&pixels, &expected);
  ASSERT_EQ(composite->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_GT(rc.right, 186);  // dialog units are larger than pixels
  EXPECT_EQ(std::tuple(extent.cx, extent.cy), std::tuple(expected.cx, expected.cy));
}

TEST_F(CompositeTest, ActiveCompositeIsADialogThatHostsItsItems) {
  std::shared_ptr<ControlProbe> probe;
  {
    HostedControl hosted(CLSID_TestComposite, 320, 200);
    auto& composite = ControlOf<TestComposite>(hosted.control.get());
    probe = composite.probe;
    HWND dialog = composite.ControlWindow();
    RECT rc{};
    ASSERT_TRUE(GetClientRect(dialog, &rc));
    EXPECT_EQ(std::tuple(GetParent(dialog), composite.initDialogs, rc.right, rc.bottom),
              std::tuple(hosted.host, 1, 320, 200));

    // Item 100 is an "AtlAxWin" window hosting a TestControl in a window of its own.
    HWND item = GetDlgItem(dialog, 100);
    ComPtr<IUnknown> inner;
    ASSERT_EQ(AtlAxGetControl(item, &inner), S_OK);
    HWND innerHwnd = ControlOf<TestControl>(inner.get()).ControlWindow();
    EXPECT_TRUE(innerHwnd && GetParent(innerHwnd) == item);

    // Active, the composite leaves drawing to its window.
    Canvas canvas(20, 20);
    RECTL bounds{0, 0, 20, 20};
    composite.Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0);
    EXPECT_TRUE(canvas.Painted().empty());
  }
  EXPECT_TRUE(probe->destroyed);
}

}  // namespace
}  // namespace kelmira::test

// Composite controls: the picture when not active, the dialog window that hosts controls, and
// the extent taken from the dialog template.
#include "platform_control/test_control.h"

#include <gtest/gtest.h>

#include <tuple>

using kelmira::ComPtr;

namespace {

class CompositeTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }
};

TEST_F(CompositeTest, NotActiveDrawsOutlineGreyFillAndCentredCaption) {
  auto composite = Make<TestComposite>();
  MemoryCanvas canvas(260, 80);
  HDC dc = canvas.dc();

  RECTL bounds{10, 10, 250, 70};
  ASSERT_EQ(composite->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0), S_OK);
  const COLORREF grey = RGB(128, 128, 128);
  const COLORREF text = GetSysColor(COLOR_WINDOWTEXT) & 0xFFFFFF;
  EXPECT_EQ(GetPixel(dc, 10, 10), RGB(0, 0, 0));  // outline
  EXPECT_EQ(GetPixel(dc, 249, 69), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(dc, 12, 12), grey);              // fill
  EXPECT_EQ(GetPixel(dc, 9, 9), RGB(255, 255, 255));  // outside the bounds

  // The caption: text-coloured pixels only in a band around the middle row, none near the top
  // and bottom edges, and it starts well to the right of the left edge (centred).
  int textRows = 0, firstColumn = 1000, lastColumn = -1, topRow = 1000, bottomRow = -1;
  for (int y = 12; y < 68; ++y) {
    bool rowHasText = false;
    for (int x = 12; x < 248; ++x) {
      if (GetPixel(dc, x, y) != text) continue;
      rowHasText = true;
      firstColumn = std::min(firstColumn, x);
      lastColumn = std::max(lastColumn, x);
      topRow = std::min(topRow, y);
      bottomRow = std::max(bottomRow, y);
    }
    textRows += rowHasText;
  }
  ASSERT_GT(textRows, 3);
  EXPECT_LT(topRow, 40);
  EXPECT_GT(bottomRow, 40);
  EXPECT_GT(topRow, 16);
  EXPECT_LT(bottomRow, 64);
  const int left = firstColumn - 10, right = 250 - lastColumn;
  EXPECT_GT(left, 20);
  EXPECT_LE(std::abs(left - right), 4);
}

TEST_F(CompositeTest, ActiveCompositeIsADialogThatHostsItsItems) {
  HWND frame = MakeFrame();
  HWND host =
      CreateWindowExA(0, ATLAXWIN_CLASS, "", WS_CHILD | WS_VISIBLE, 0, 0, 320, 200, frame, nullptr, nullptr, nullptr);
  auto probe = std::make_shared<ControlProbe>();
  {
    auto composite = Make<TestComposite>(probe);
    ASSERT_EQ(AtlAxAttachControl(composite->GetUnknown(), host, nullptr), S_OK);
    HWND dialog = composite->ControlWindow();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(GetParent(dialog), host);
    EXPECT_EQ(composite->initDialogs, 1);
    RECT rc{};
    GetClientRect(dialog, &rc);
    EXPECT_EQ(std::tuple(rc.right, rc.bottom), std::tuple(320, 200));

    // Item 100 is an "AtlAxWin" window hosting a TestControl in a window of its own.
    HWND item = GetDlgItem(dialog, 100);
    ASSERT_NE(item, nullptr);
    ComPtr<IUnknown> inner;
    ASSERT_EQ(AtlAxGetControl(item, &inner), S_OK);
    ComPtr<IOleWindow> innerWindow;
    inner->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&innerWindow));
    HWND innerHwnd = nullptr;
    ASSERT_EQ(innerWindow->GetWindow(&innerHwnd), S_OK);
    EXPECT_EQ(GetParent(innerHwnd), item);

    // Active, the composite leaves drawing to its window.
    MemoryCanvas canvas(20, 20);
    RECTL bounds{0, 0, 20, 20};
    composite->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, canvas.dc(), &bounds, nullptr, nullptr, 0);
    EXPECT_EQ(std::tuple(canvas.At(0, 0), canvas.At(5, 5)), std::tuple(RGB(255, 255, 255), RGB(255, 255, 255)));
  }
  DestroyWindow(frame);
  EXPECT_TRUE(probe->destroyed);
}

TEST_F(CompositeTest, ExtentIsTheTemplateSizeInHimetric) {
  // The same template made into a plain dialog gives the pixel size the extent must match.
  HWND frame = MakeFrame();
  auto ignore = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
  HWND plain = AtlAxCreateDialogA(nullptr, TestComposite::GetDialogTemplate(), frame, ignore, 0);
  ASSERT_NE(plain, nullptr);
  RECT rc{};
  GetClientRect(plain, &rc);
  EXPECT_GT(rc.right, 186);  // dialog units are larger than pixels
  SIZEL pixels{rc.right, rc.bottom}, expected{};
  AtlPixelToHiMetric(&pixels, &expected);
  DestroyWindow(frame);

  auto composite = Make<TestComposite>();
  SIZEL extent{};
  ASSERT_EQ(composite->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  EXPECT_EQ(std::tuple(extent.cx, extent.cy), std::tuple(expected.cx, expected.cy));
}

}  // namespace

// Composite controls: the dialog window that hosts the controls its template names. (The extent
// from the template and the picture when not active are checked on LineGraph, a real composite.)
#include "support/canvas.h"
#include "support/hosted_control.h"
#include "support/test_control.h"

#include <gtest/gtest.h>

#include <tuple>

namespace kelmira::test {
namespace {

using CompositeTest = ControlTest;

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

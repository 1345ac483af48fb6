// A control hosted in "AtlAxWin": activation with a window of its own, sizing with the host,
// input reaching the control, and release when the host goes.
#include "support/canvas.h"
#include "support/event_recorder.h"
#include "support/hosted_control.h"
#include "support/pump.h"
#include "support/test_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

using HostingTest = ControlTest;
using Calls = std::vector<std::string>;
// The screen origin of a host moved to (10, 20) in its frame.
constexpr int kX = HostedControl::kFrameX + 10, kY = HostedControl::kFrameY + 20;

TEST_F(HostingTest, AttachedControlGetsItsOwnChildWindowCoveringTheHost) {
  HostedControl hosted(CLSID_NULL);
  MoveWindow(hosted.host, 10, 20, 200, 100, FALSE);
  auto control = Make<TestControl>();
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), hosted.host, nullptr), S_OK);

  // The site came first (OLEMISC_SETCLIENTSITEFIRST), then the extent, then the activation.
  const Calls& calls = control->probe->calls;
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(Calls(calls.begin(), calls.begin() + 3), (Calls{"SetClientSite(site)", "SetExtent", "DoVerb(-5)"}));

  HWND own = control->ControlWindow();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(std::tuple(GetParent(own), IsWindowVisible(own)), std::tuple(hosted.host, TRUE));
  RECT rc{};
  GetWindowRect(own, &rc);
  // The host is at (10, 20) in the frame; 200 x 100 px at 96 dpi in himetric.
  EXPECT_EQ(std::tuple(rc.left, rc.top, rc.right, rc.bottom, control->sizeExtent_.cx, control->sizeExtent_.cy),
            std::tuple(kX, kY, kX + 200, kY + 100, 5292, 2646));

  // The client site is the host window; the control's window shows the control's colour.
  ComPtr<IOleWindow> site;
  ASSERT_EQ(control->ClientSite()->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&site)), S_OK);
  HWND siteHwnd = nullptr;
  site->GetWindow(&siteHwnd);
  EXPECT_EQ(siteHwnd, hosted.host);
  Pump();
  EXPECT_EQ(WindowPixel(own, 5, 5), control->fillColor);
  EXPECT_GE(control->Count(WM_PAINT), 1);
}

// Growing and shrinking, in an "AtlAxWin" host or in any window, which keeps its own procedure.
TEST_F(HostingTest, ControlFollowsTheHostSize) {
  HostedControl hosted(CLSID_NULL);
  HWND plain =
      CreateWindowExA(0, kFrameClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 60, hosted.frame, nullptr, nullptr, nullptr);
  std::shared_ptr<ControlProbe> probe;
  for (HWND container : {hosted.host, plain}) {
    auto control = Make<TestControl>();
    probe = control->probe;
    ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), container, nullptr), S_OK);
    for (auto [cx, cy, himetricX, himetricY] : {std::tuple{300, 150, 7938, 3969}, {40, 30, 1058, 794}}) {
      MoveWindow(container, 0, 0, cx, cy, TRUE);
      RECT rc{};
      GetWindowRect(control->ControlWindow(), &rc);
      MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&rc), 2);
      EXPECT_EQ(std::tuple(rc.left, rc.top, rc.right, rc.bottom, control->sizeExtent_.cx, control->sizeExtent_.cy),
                std::tuple(0, 0, cx, cy, himetricX, himetricY));
    }
  }
  char text[16] = {};
  SetWindowTextA(plain, "kept");  // answered by the window's own procedure
  GetWindowTextA(plain, text, sizeof(text));
  EXPECT_STREQ(text, "kept");
  DestroyWindow(plain);
  EXPECT_TRUE(probe->destroyed);
}

TEST_F(HostingTest, MouseInputReachesTheControlWindowAndRaisesItsEvent) {
  HostedControl hosted(CLSID_TestControl);
  MoveWindow(hosted.host, 10, 20, 200, 100, TRUE);
  auto& control = ControlOf<TestControl>(hosted.control.get());
  auto sink = EventRecorder::Make();
  const DWORD cookie = sink->Advise(hosted.control.get(), DIID__ITestControlEvents);
  ASSERT_NE(cookie, 0u);

  for (auto [msg, keys] : {std::pair<UINT, WPARAM>{WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}})
    ASSERT_TRUE(KelmiraInjectMouse(msg, kX + 15, kY + 25, keys));
  Pump();

  std::vector<std::tuple<UINT, LONG, LONG>> mouse;
  for (const auto& [msg, at] : control.mouse) mouse.emplace_back(msg, at.x, at.y);
  EXPECT_EQ(mouse, (std::vector<std::tuple<UINT, LONG, LONG>>{
                       {WM_MOUSEMOVE, 15, 25}, {WM_LBUTTONDOWN, 15, 25}, {WM_LBUTTONUP, 15, 25}}));
  ASSERT_EQ(sink->Ids(), std::vector<DISPID>{1});
  EXPECT_EQ(sink->Calls()[0].Longs(), (std::vector<LONG>{15, 25}));
  EXPECT_EQ(AtlUnadvise(hosted.control.get(), DIID__ITestControlEvents, cookie), S_OK);
}

TEST_F(HostingTest, DestroyingTheHostDeactivatesClosesAndReleasesTheControl) {
  HostedControl hosted(CLSID_TestControl);
  auto& control = ControlOf<TestControl>(hosted.control.get());
  auto probe = control.probe;
  HWND own = control.ControlWindow();
  hosted.control.Reset();
  EXPECT_FALSE(probe->destroyed);  // the host keeps it

  DestroyWindow(hosted.host);
  EXPECT_TRUE(probe->destroyed);
  EXPECT_GE(probe->inPlaceDeactivations, 1);
  EXPECT_FALSE(IsWindow(own));
  auto close = std::find(probe->calls.begin(), probe->calls.end(), "Close");
  auto noSite = std::find(probe->calls.begin(), probe->calls.end(), "SetClientSite(null)");
  ASSERT_NE(noSite, probe->calls.end());
  EXPECT_LT(close, noSite);
}

TEST_F(HostingTest, WindowlessControlIsDrawnByTheHostAndGetsItsInput) {
  HostedControl hosted(CLSID_WindowlessTestControl);
  MoveWindow(hosted.host, 10, 20, 200, 100, TRUE);
  Pump();
  auto& control = ControlOf<WindowlessTestControl>(hosted.control.get());
  ASSERT_TRUE(control.Windowless());
  EXPECT_EQ(control.ControlWindow(), nullptr);
  EXPECT_EQ(WindowPixel(hosted.host, 199, 99), control.fillColor);

  // A change asks the host to repaint, which draws the new colour.
  control.put_FillColor(RGB(70, 80, 90));
  Pump();
  EXPECT_EQ(WindowPixel(hosted.host, 0, 0), RGB(70, 80, 90));

  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, kX + 7, kY + 9, MK_LBUTTON));
  Pump();
  ASSERT_EQ(control.Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(std::tuple(control.mouse.back().second.x, control.mouse.back().second.y), std::tuple(7, 9));
}

TEST_F(HostingTest, AttachingAgainReleasesTheFirstControl) {
  HostedControl hosted(CLSID_TestControl);
  auto first = ControlOf<TestControl>(hosted.control.get()).probe;
  hosted.control.Reset();
  auto second = Make<TestControl>();
  ASSERT_EQ(AtlAxAttachControl(second->GetUnknown(), hosted.host, nullptr), S_OK);
  EXPECT_TRUE(first->destroyed);
  EXPECT_TRUE(second->InPlaceActive());
}

TEST_F(HostingTest, HostWindowTitleCreatesTheControlByClsidOrProgId) {
  HostedControl hosted(CLSID_NULL);
  const char clsid[] = "{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}";
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Kelmira.ControlTest\\CLSID", &key), ERROR_SUCCESS);
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), sizeof(clsid));
  RegCloseKey(key);
  for (const char* title : {clsid, "Kelmira.ControlTest"}) {
    SCOPED_TRACE(title);
    HWND host = CreateWindowExA(0, ATLAXWIN_CLASS, title, WS_CHILD | WS_VISIBLE, 0, 0, 50, 40, hosted.frame, nullptr,
                                nullptr, nullptr);
    ComPtr<IUnknown> control;
    ASSERT_EQ(AtlAxGetControl(host, &control), S_OK);
    EXPECT_EQ(GetWindow(host, GW_CHILD), ControlOf<TestControl>(control.get()).ControlWindow());
  }
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "Kelmira.ControlTest");

  // A title that names no class makes no window; an empty one makes an empty host.
  EXPECT_EQ(CreateWindowExA(0, ATLAXWIN_CLASS, "No.Such.Control", WS_CHILD, 0, 0, 10, 10, hosted.frame, nullptr,
                            nullptr, nullptr),
            nullptr);
  ComPtr<IUnknown> none;
  EXPECT_EQ(AtlAxGetControl(hosted.host, &none), E_FAIL);
}

TEST_F(HostingTest, BadArgumentsAreRefused) {
  HostedControl hosted(CLSID_NULL);
  auto control = Make<TestControl>();
  ComPtr<IUnknown> none;
  EXPECT_EQ(AtlAxAttachControl(nullptr, hosted.host, nullptr), E_INVALIDARG);
  EXPECT_EQ(AtlAxAttachControl(control->GetUnknown(), reinterpret_cast<HWND>(0x7ff0), nullptr), E_INVALIDARG);
  EXPECT_EQ(AtlAxGetControl(hosted.host, nullptr), E_POINTER);
  EXPECT_EQ(AtlAxGetControl(hosted.frame, &none), E_FAIL);
  EXPECT_EQ(AtlAxGetHost(hosted.frame, &none), E_FAIL);
  EXPECT_EQ(AtlAxCreateControl(u"{00000000-0000-0000-0000-00000000ABCD}", hosted.host, nullptr, nullptr),
            REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace kelmira::test

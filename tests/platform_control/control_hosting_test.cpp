// A windowed control hosted in "AtlAxWin": activation with a window of its own, sizing with the
// host, input reaching the control's window, and release when the host goes.
#include "platform_control/test_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <tuple>

using kelmira::ComPtr;
using kelmira::Object;

namespace {

class HostingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterTestClasses();
    frame = MakeFrame();
    ASSERT_NE(frame, nullptr);
    host = CreateWindowExA(0, ATLAXWIN_CLASS, "", WS_CHILD | WS_VISIBLE, 10, 20, 200, 100, frame, nullptr, nullptr,
                           nullptr);
    ASSERT_NE(host, nullptr);
  }
  void TearDown() override {
    if (IsWindow(frame)) DestroyWindow(frame);
  }

  HWND frame = nullptr;
  HWND host = nullptr;
};

TEST_F(HostingTest, AttachedControlGetsItsOwnChildWindowCoveringTheHost) {
  auto probe = std::make_shared<ControlProbe>();
  auto control = Make<TestControl>(probe);
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);

  // The site came first (OLEMISC_SETCLIENTSITEFIRST), then the extent, then the activation.
  ASSERT_GE(probe->calls.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(probe->calls.begin(), probe->calls.begin() + 3),
            (std::vector<std::string>{"SetClientSite(site)", "SetExtent", "DoVerb(-5)"}));

  HWND own = control->ControlWindow();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(GetParent(own), host);
  EXPECT_TRUE(IsWindowVisible(own));
  RECT rc{};
  GetWindowRect(own, &rc);
  // The frame is at (100, 50), the host at (10, 20) in it; 200 x 100 px at 96 dpi in himetric.
  EXPECT_EQ(std::tuple(rc.left, rc.top, rc.right, rc.bottom, control->sizeExtent_.cx, control->sizeExtent_.cy),
            std::tuple(110, 70, 310, 170, 5292, 2646));

  // The client site is the host window.
  ComPtr<IOleClientSite> site;
  control->GetClientSite(&site);
  ComPtr<IOleWindow> siteWindow;
  ASSERT_EQ(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&siteWindow)), S_OK);
  HWND siteHwnd = nullptr;
  siteWindow->GetWindow(&siteHwnd);
  EXPECT_EQ(siteHwnd, host);

  // The control's window shows the control's colour.
  PumpMessages();
  COLORREF pixel = 0;
  ASSERT_EQ(KelmiraGetWindowPixel(own, 5, 5, &pixel), S_OK);
  EXPECT_EQ(pixel, control->fillColor);
  EXPECT_GE(control->Count(WM_PAINT), 1);
}

// Growing and shrinking, in an "AtlAxWin" host or in any window, which keeps its own procedure.
TEST_F(HostingTest, ControlFollowsTheHostSize) {
  HWND plain = CreateWindowExA(0, "KelmiraControlTestFrame", "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 60, frame, nullptr,
                               nullptr, nullptr);
  auto probe = std::make_shared<ControlProbe>();
  for (HWND container : {host, plain}) {
    auto control = Make<TestControl>(probe);
    ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), container, nullptr), S_OK);
    HWND own = control->ControlWindow();
    for (auto [cx, cy, himetricX, himetricY] : {std::tuple{300, 150, 7938, 3969}, {40, 30, 1058, 794}}) {
      MoveWindow(container, 0, 0, cx, cy, TRUE);
      RECT rc{};
      GetWindowRect(own, &rc);
      MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&rc), 2);
      SIZEL extent{};
      control->GetExtent(DVASPECT_CONTENT, &extent);
      EXPECT_EQ(std::tuple(rc.left, rc.top, rc.right, rc.bottom, extent.cx, extent.cy),
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

TEST_F(HostingTest, MouseInputReachesTheControlWindowInItsClientCoordinates) {
  auto control = Make<TestControl>();
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);
  auto sink = Make<EventSink>();
  DWORD cookie = 0;
  ASSERT_EQ(AtlAdvise(control->GetUnknown(), static_cast<IDispatch*>(sink.get()), DIID__ITestControlEvents, &cookie),
            S_OK);
  PumpMessages();

  // The frame is at (100, 50) and the host at (10, 20) inside it.
  POINT screen{100 + 10 + 15, 50 + 20 + 25};
  ASSERT_TRUE(KelmiraInjectMouse(WM_MOUSEMOVE, screen.x, screen.y, 0));
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, screen.x, screen.y, MK_LBUTTON));
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONUP, screen.x, screen.y, 0));
  PumpMessages();

  std::vector<std::tuple<UINT, LONG, LONG>> mouse;
  for (const auto& [msg, at] : control->mouse) mouse.emplace_back(msg, at.x, at.y);
  EXPECT_EQ(mouse, (std::vector<std::tuple<UINT, LONG, LONG>>{
                       {WM_MOUSEMOVE, 15, 25}, {WM_LBUTTONDOWN, 15, 25}, {WM_LBUTTONUP, 15, 25}}));

  // The press raised the control's event to the connected sink.
  using Event = std::pair<DISPID, std::vector<LONG>>;
  EXPECT_EQ(sink->events, (std::vector<Event>{{1, {15, 25}}}));
  EXPECT_EQ(AtlUnadvise(control->GetUnknown(), DIID__ITestControlEvents, cookie), S_OK);
}

TEST_F(HostingTest, DestroyingTheHostDeactivatesClosesAndReleasesTheControl) {
  auto probe = std::make_shared<ControlProbe>();
  HWND own = nullptr;
  {
    auto control = Make<TestControl>(probe);
    ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);
    own = control->ControlWindow();
  }
  EXPECT_FALSE(probe->destroyed);  // the host keeps it

  DestroyWindow(host);
  EXPECT_TRUE(probe->destroyed);
  EXPECT_GE(probe->inPlaceDeactivations, 1);
  EXPECT_FALSE(IsWindow(own));
  auto close = std::find(probe->calls.begin(), probe->calls.end(), "Close");
  auto noSite = std::find(probe->calls.begin(), probe->calls.end(), "SetClientSite(null)");
  ASSERT_NE(close, probe->calls.end());
  ASSERT_NE(noSite, probe->calls.end());
  EXPECT_LT(close, noSite);
}

TEST_F(HostingTest, WindowlessControlIsDrawnByTheHostAndGetsItsInput) {
  auto control = Make<WindowlessTestControl>();
  control->fillColor = RGB(40, 50, 60);
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);
  ASSERT_TRUE(control->Windowless());
  EXPECT_EQ(control->ControlWindow(), nullptr);
  PumpMessages();
  COLORREF pixel = 0;
  ASSERT_EQ(KelmiraGetWindowPixel(host, 199, 99, &pixel), S_OK);
  EXPECT_EQ(pixel, RGB(40, 50, 60));

  // A change asks the host to repaint, which draws the new colour.
  control->put_FillColor(RGB(70, 80, 90));
  PumpMessages();
  KelmiraGetWindowPixel(host, 0, 0, &pixel);
  EXPECT_EQ(pixel, RGB(70, 80, 90));

  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, 100 + 10 + 7, 50 + 20 + 9, MK_LBUTTON));
  PumpMessages();
  ASSERT_EQ(control->Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(std::tuple(control->mouse.back().second.x, control->mouse.back().second.y), std::tuple(7, 9));
}

TEST_F(HostingTest, AttachingAgainReleasesTheFirstControl) {
  auto first = std::make_shared<ControlProbe>();
  {
    auto control = Make<TestControl>(first);
    ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);
  }
  auto second = Make<TestControl>();
  ASSERT_EQ(AtlAxAttachControl(second->GetUnknown(), host, nullptr), S_OK);
  EXPECT_TRUE(first->destroyed);
  EXPECT_TRUE(second->InPlaceActive());
}

TEST_F(HostingTest, HostWindowTitleCreatesTheControlByClsidOrProgId) {
  HWND byClsid = CreateWindowExA(0, ATLAXWIN_CLASS, "{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}", WS_CHILD | WS_VISIBLE, 0,
                                 0, 50, 40, frame, nullptr, nullptr, nullptr);
  ASSERT_NE(byClsid, nullptr);
  ComPtr<IUnknown> control;
  ASSERT_EQ(AtlAxGetControl(byClsid, &control), S_OK);
  EXPECT_NE(GetWindow(byClsid, GW_CHILD), nullptr);  // the control's own window

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Kelmira.ControlTest\\CLSID", &key), ERROR_SUCCESS);
  const char clsid[] = "{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}";
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), sizeof(clsid));
  RegCloseKey(key);
  HWND byProgId = CreateWindowExA(0, ATLAXWIN_CLASS, "Kelmira.ControlTest", WS_CHILD | WS_VISIBLE, 0, 50, 50, 40, frame,
                                  nullptr, nullptr, nullptr);
  ASSERT_NE(byProgId, nullptr);
  ComPtr<IUnknown> second;
  EXPECT_EQ(AtlAxGetControl(byProgId, &second), S_OK);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "Kelmira.ControlTest");

  // A title that names no class makes no window; an empty one makes an empty host.
  EXPECT_EQ(
      CreateWindowExA(0, ATLAXWIN_CLASS, "No.Such.Control", WS_CHILD, 0, 0, 10, 10, frame, nullptr, nullptr, nullptr),
      nullptr);
  ComPtr<IUnknown> none;
  EXPECT_EQ(AtlAxGetControl(host, &none), E_FAIL);
}

TEST_F(HostingTest, BadArgumentsAreRefused) {
  auto control = Make<TestControl>();
  EXPECT_EQ(AtlAxAttachControl(nullptr, host, nullptr), E_INVALIDARG);
  EXPECT_EQ(AtlAxAttachControl(control->GetUnknown(), reinterpret_cast<HWND>(0x7ff0), nullptr), E_INVALIDARG);
  EXPECT_EQ(AtlAxGetControl(host, nullptr), E_POINTER);
  ComPtr<IUnknown> none;
  EXPECT_EQ(AtlAxGetControl(frame, &none), E_FAIL);
  EXPECT_EQ(AtlAxGetHost(frame, &none), E_FAIL);
  EXPECT_EQ(AtlAxCreateControl(u"{00000000-0000-0000-0000-00000000ABCD}", host, nullptr, nullptr), REGDB_E_CLASSNOTREG);
}

}  // namespace

// A windowed control hosted in "AtlAxWin": activation with a window of its own, sizing with the
// host, input reaching the control's window, and release when the host goes.
#include "platform_control/test_control.h"

#include <gtest/gtest.h>

#include <algorithm>

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

  HWND ControlWindowOf(IUnknown* control) {
    ComPtr<IOleWindow> window;
    control->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window));
    HWND hwnd = nullptr;
    if (window) window->GetWindow(&hwnd);
    return hwnd;
  }

  HWND frame = nullptr;
  HWND host = nullptr;
};

TEST_F(HostingTest, AttachedControlGetsItsOwnChildWindowCoveringTheHost) {
  auto probe = std::make_shared<ControlProbe>();
  auto control = Make<TestControl>(probe);
  ComPtr<IUnknown> container;
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, &container), S_OK);
  EXPECT_NE(container.get(), nullptr);

  // The site came first (OLEMISC_SETCLIENTSITEFIRST), then the extent, then the activation.
  ASSERT_GE(probe->calls.size(), 3u);
  EXPECT_EQ(probe->calls[0], "SetClientSite(site)");
  EXPECT_EQ(probe->calls[1], "SetExtent");
  EXPECT_EQ(probe->calls[2], "DoVerb(-5)");

  HWND own = ControlWindowOf(control->GetUnknown());
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(GetParent(own), host);
  EXPECT_TRUE(IsWindowVisible(own));
  EXPECT_TRUE(control->InPlaceActive());
  RECT rc{};
  GetWindowRect(own, &rc);
  RECT hostRect{};
  GetWindowRect(host, &hostRect);
  EXPECT_EQ(rc.left, hostRect.left);
  EXPECT_EQ(rc.top, hostRect.top);
  EXPECT_EQ(rc.right - rc.left, 200);
  EXPECT_EQ(rc.bottom - rc.top, 100);
  EXPECT_EQ(control->sizeExtent_.cx, 5292);  // 200 px at 96 dpi
  EXPECT_EQ(control->sizeExtent_.cy, 2646);

  // The client site is the host window.
  ComPtr<IOleClientSite> site;
  control->GetClientSite(&site);
  ComPtr<IOleWindow> siteWindow;
  ASSERT_EQ(site->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&siteWindow)), S_OK);
  HWND siteHwnd = nullptr;
  siteWindow->GetWindow(&siteHwnd);
  EXPECT_EQ(siteHwnd, host);

  ComPtr<IUnknown> found;
  ASSERT_EQ(AtlAxGetControl(host, &found), S_OK);
  EXPECT_EQ(found.get(), control->GetUnknown());
  ComPtr<IUnknown> hostObject;
  ASSERT_EQ(AtlAxGetHost(host, &hostObject), S_OK);
  EXPECT_EQ(hostObject.get(), container.get());

  // The control's window shows the control's colour.
  PumpMessages();
  COLORREF pixel = 0;
  ASSERT_EQ(KelmiraGetWindowPixel(own, 5, 5, &pixel), S_OK);
  EXPECT_EQ(pixel, control->fillColor);
  EXPECT_GE(control->Count(WM_PAINT), 1);
}

TEST_F(HostingTest, ControlFollowsTheHostSize) {
  auto control = Make<TestControl>();
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);
  HWND own = ControlWindowOf(control->GetUnknown());
  const int sizesBefore = control->Count(WM_SIZE);

  ASSERT_TRUE(MoveWindow(host, 0, 0, 300, 150, TRUE));
  RECT rc{};
  GetClientRect(own, &rc);
  EXPECT_EQ(rc.right, 300);
  EXPECT_EQ(rc.bottom, 150);
  POINT origin{0, 0};
  MapWindowPoints(own, host, &origin, 1);
  EXPECT_EQ(origin.x, 0);
  EXPECT_EQ(origin.y, 0);
  EXPECT_GT(control->Count(WM_SIZE), sizesBefore);
  SIZEL extent{};
  control->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(extent.cx, 7938);
  EXPECT_EQ(extent.cy, 3969);

  // Shrinking works the same way.
  MoveWindow(host, 0, 0, 40, 30, TRUE);
  GetClientRect(own, &rc);
  EXPECT_EQ(rc.right, 40);
  EXPECT_EQ(rc.bottom, 30);
}

TEST_F(HostingTest, MouseInputReachesTheControlWindowInItsClientCoordinates) {
  auto control = Make<TestControl>();
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);
  auto sink = MakeObject<EventSink>();
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

  ASSERT_EQ(control->Count(WM_LBUTTONDOWN), 1);
  EXPECT_EQ(control->Count(WM_LBUTTONUP), 1);
  auto down = std::find_if(control->mouse.begin(), control->mouse.end(),
                           [](const auto& m) { return m.first == WM_LBUTTONDOWN; });
  ASSERT_NE(down, control->mouse.end());
  EXPECT_EQ(down->second.x, 15);
  EXPECT_EQ(down->second.y, 25);

  // The press raised the control's event to the connected sink.
  ASSERT_EQ(sink->events.size(), 1u);
  EXPECT_EQ(sink->events[0].first, 1);
  EXPECT_EQ(sink->events[0].second, (std::vector<LONG>{15, 25}));
  EXPECT_EQ(AtlUnadvise(control->GetUnknown(), DIID__ITestControlEvents, cookie), S_OK);
}

TEST_F(HostingTest, DestroyingTheHostDeactivatesClosesAndReleasesTheControl) {
  auto probe = std::make_shared<ControlProbe>();
  HWND own = nullptr;
  {
    auto control = Make<TestControl>(probe);
    ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), host, nullptr), S_OK);
    own = ControlWindowOf(control->GetUnknown());
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
  EXPECT_EQ(ControlWindowOf(control->GetUnknown()), nullptr);
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
  EXPECT_EQ(control->mouse.back().second.x, 7);
  EXPECT_EQ(control->mouse.back().second.y, 9);
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
  HWND byClsid = CreateWindowExA(0, ATLAXWIN_CLASS, "{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}", WS_CHILD | WS_VISIBLE,
                                 0, 0, 50, 40, frame, nullptr, nullptr, nullptr);
  ASSERT_NE(byClsid, nullptr);
  ComPtr<IUnknown> control;
  ASSERT_EQ(AtlAxGetControl(byClsid, &control), S_OK);
  ComPtr<ITestControl> typed;
  EXPECT_EQ(control->QueryInterface(IID_ITestControl, reinterpret_cast<void**>(&typed)), S_OK);
  EXPECT_NE(ControlWindowOf(control.get()), nullptr);

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CLASSES_ROOT, "Kelmira.ControlTest\\CLSID", &key), ERROR_SUCCESS);
  const char clsid[] = "{3D0B8E51-6A2C-4F1B-8E4D-217A90C35504}";
  RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid), sizeof(clsid));
  RegCloseKey(key);
  HWND byProgId = CreateWindowExA(0, ATLAXWIN_CLASS, "Kelmira.ControlTest", WS_CHILD | WS_VISIBLE, 0, 50, 50, 40,
                                  frame, nullptr, nullptr, nullptr);
  ASSERT_NE(byProgId, nullptr);
  ComPtr<IUnknown> second;
  EXPECT_EQ(AtlAxGetControl(byProgId, &second), S_OK);
  RegDeleteTreeA(HKEY_CLASSES_ROOT, "Kelmira.ControlTest");

  // A title that names no class makes no window; an empty one makes an empty host.
  EXPECT_EQ(CreateWindowExA(0, ATLAXWIN_CLASS, "No.Such.Control", WS_CHILD, 0, 0, 10, 10, frame, nullptr, nullptr,
                            nullptr),
            nullptr);
  ComPtr<IUnknown> none;
  EXPECT_EQ(AtlAxGetControl(host, &none), E_FAIL);
}

TEST_F(HostingTest, AnyWindowCanHostAndKeepsItsOwnProcedure) {
  HWND plain = CreateWindowExA(0, "KelmiraControlTestFrame", "", WS_CHILD | WS_VISIBLE, 0, 0, 80, 60, frame, nullptr,
                               nullptr, nullptr);
  auto probe = std::make_shared<ControlProbe>();
  {
    auto control = Make<TestControl>(probe);
    ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), plain, nullptr), S_OK);
    MoveWindow(plain, 0, 0, 90, 70, TRUE);
    RECT rc{};
    GetClientRect(ControlWindowOf(control->GetUnknown()), &rc);
    EXPECT_EQ(rc.right, 90);
    EXPECT_EQ(rc.bottom, 70);
  }
  char text[16] = {};
  SetWindowTextA(plain, "kept");  // answered by the window's own procedure
  GetWindowTextA(plain, text, sizeof(text));
  EXPECT_STREQ(text, "kept");
  DestroyWindow(plain);
  EXPECT_TRUE(probe->destroyed);
}

TEST_F(HostingTest, BadArgumentsAreRefused) {
  auto control = Make<TestControl>();
  EXPECT_EQ(AtlAxAttachControl(nullptr, host, nullptr), E_INVALIDARG);
  EXPECT_EQ(AtlAxAttachControl(control->GetUnknown(), reinterpret_cast<HWND>(0x7ff0), nullptr), E_INVALIDARG);
  EXPECT_EQ(AtlAxGetControl(host, nullptr), E_POINTER);
  ComPtr<IUnknown> none;
  EXPECT_EQ(AtlAxGetControl(frame, &none), E_FAIL);
  EXPECT_EQ(AtlAxGetHost(frame, &none), E_FAIL);
  EXPECT_EQ(AtlAxCreateControl(u"{00000000-0000-0000-0000-00000000ABCD}", host, nullptr, nullptr),
            REGDB_E_CLASSNOTREG);
  EXPECT_TRUE(AtlAxWinInit());
}

}  // namespace

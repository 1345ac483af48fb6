// A control hosted in "AtlAxWin": activation with a window of its own, sizing with the host,
// input reaching the control, and release when the host goes; a composite hosting its items.
#include "support/canvas.h"
#include "support/event_recorder.h"
#include "support/hosted_control.h"
#include "support/pump.h"
#include "support/test_control.h"

#include <string>
#include <tuple>

namespace kelmira::test {
namespace {

using HostingTest = ControlTest;
using Mouse = std::vector<std::tuple<UINT, LONG, LONG>>;
// The screen origin of a host moved to (10, 20) in its frame.
constexpr int kX = HostedControl::kFrameX + 10, kY = HostedControl::kFrameY + 20;

TEST_F(HostingTest, AttachedControlGetsItsOwnChildWindowCoveringTheHostAndItsInput) {
  HostedControl hosted(CLSID_NULL);
  MoveWindow(hosted.host, 10, 20, 200, 100, FALSE);
  auto control = Make<TestControl>();
  auto sink = EventRecorder::Make();
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), hosted.host, nullptr), S_OK);
  ASSERT_NE(sink->Advise(control->GetUnknown(), DIID__ITestControlEvents), 0u);

  // The site came first (OLEMISC_SETCLIENTSITEFIRST), then the extent, then the activation.
  EXPECT_EQ(control->probe->calls, (Calls{"SetClientSite(site)", "SetExtent", "DoVerb(-5)"}));
  HWND own = control->ControlWindow();
  RECT rc{};
  GetWindowRect(own, &rc);
  // A visible child of the host, which is at (10, 20) in the frame; 200 x 100 px at 96 dpi in himetric.
  EXPECT_EQ(std::tuple(GetParent(own), IsWindowVisible(own), rc.left, rc.top, rc.right, rc.bottom,
                       control->sizeExtent_.cx, control->sizeExtent_.cy),
            std::tuple(hosted.host, TRUE, kX, kY, kX + 200, kY + 100, 5292, 2646));

  // The client site is the host window; the control's window shows the control's colour.
  HWND siteHwnd = nullptr;
  ComPtr<IOleClientSite>(control->ClientSite()).As<IOleWindow>()->GetWindow(&siteHwnd);
  // Input reaches the control's window; a press raises its event.
  for (auto [msg, keys] : {std::pair<UINT, WPARAM>{WM_MOUSEMOVE, 0}, {WM_LBUTTONDOWN, MK_LBUTTON}, {WM_LBUTTONUP, 0}})
    ASSERT_TRUE(KelmiraInjectMouse(msg, kX + 15, kY + 25, keys));
  Pump();
  EXPECT_EQ(std::tuple(siteHwnd, WindowPixel(own, 5, 5), control->messages[WM_PAINT] > 0),
            std::tuple(hosted.host, control->fillColor, true));
  EXPECT_EQ(control->mouse, (Mouse{{WM_MOUSEMOVE, 15, 25}, {WM_LBUTTONDOWN, 15, 25}, {WM_LBUTTONUP, 15, 25}}));
  ASSERT_EQ(sink->Ids(), std::vector<DISPID>{1});
  EXPECT_EQ(sink->Calls()[0].Longs(), (std::vector<LONG>{15, 25}));
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
  DestroyWindow(plain);
  EXPECT_EQ(std::pair(std::string(text), probe->destroyed), std::pair(std::string("kept"), true));
}

// A second control attached to the host replaces the first; destroying the host lets the second go.
TEST_F(HostingTest, AttachingAgainOrDestroyingTheHostDeactivatesClosesAndReleasesTheControl) {
  HostedControl hosted(CLSID_TestControl);
  auto first = ControlOf<TestControl>(hosted.control.get()).probe;
  hosted.control.Reset();
  EXPECT_FALSE(first->destroyed);  // the host keeps it
  auto control = Make<TestControl>();
  ASSERT_EQ(AtlAxAttachControl(control->GetUnknown(), hosted.host, nullptr), S_OK);
  EXPECT_TRUE(first->destroyed && control->InPlaceActive());
  auto second = control->probe;
  HWND own = control->ControlWindow();
  control.Reset();

  DestroyWindow(hosted.host);
  EXPECT_TRUE(second->destroyed && !IsWindow(own));
  const Calls released{"SetClientSite(site)", "SetExtent", "DoVerb(-5)",
                       "InPlaceDeactivate",   "Close",     "SetClientSite(null)"};
  EXPECT_EQ(first->calls, released);
  EXPECT_EQ(second->calls, released);
}

TEST_F(HostingTest, WindowlessControlIsDrawnByTheHostAndGetsItsInput) {
  HostedControl hosted(CLSID_TestWindowless);
  MoveWindow(hosted.host, 10, 20, 200, 100, TRUE);
  Pump();
  auto& control = ControlOf<WindowlessTestControl>(hosted.control.get());
  ASSERT_TRUE(control.Windowless());
  EXPECT_EQ(std::pair(control.ControlWindow(), WindowPixel(hosted.host, 199, 99)),
            std::pair(HWND{}, control.fillColor));

  // A change asks the host to repaint, which draws the new colour.
  control.put_FillColor(RGB(70, 80, 90));
  ASSERT_TRUE(KelmiraInjectMouse(WM_LBUTTONDOWN, kX + 7, kY + 9, MK_LBUTTON));
  Pump();
  EXPECT_EQ(WindowPixel(hosted.host, 0, 0), RGB(70, 80, 90));
  EXPECT_EQ(control.mouse, (Mouse{{WM_LBUTTONDOWN, 7, 9}}));
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
  auto control = Make<TestControl>();
  EXPECT_EQ((std::vector<HRESULT>{
                AtlAxGetControl(hosted.host, &none), AtlAxAttachControl(nullptr, hosted.host, nullptr),
                AtlAxAttachControl(control->GetUnknown(), reinterpret_cast<HWND>(0x7ff0), nullptr),
                AtlAxGetControl(hosted.host, nullptr), AtlAxGetControl(hosted.frame, &none),
                AtlAxGetHost(hosted.frame, &none),
                AtlAxCreateControl(u"{00000000-0000-0000-0000-00000000ABCD}", hosted.host, nullptr, nullptr)}),
            (std::vector<HRESULT>{E_FAIL, E_INVALIDARG, E_INVALIDARG, E_POINTER, E_FAIL, E_FAIL, REGDB_E_CLASSNOTREG}));
}

// An active composite is a dialog that hosts the controls its template names. (The extent from the
// template and the picture when not active are checked on LineGraph, a real composite.)
TEST_F(HostingTest, ActiveCompositeIsADialogThatHostsItsItems) {
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
    EXPECT_EQ(DrawView(hosted.control.get(), canvas), S_OK);
    EXPECT_TRUE(canvas.Painted().empty());
  }
  EXPECT_TRUE(probe->destroyed);
}

}  // namespace
}  // namespace kelmira::test

// Drawing through IViewObject, the repaint request in its three states, activation in a site,
// extents, hit testing, and view, data and object notifications.
#include "support/advise_recorder.h"
#include "support/canvas.h"
#include "support/hosted_control.h"
#include "support/in_place_site.h"
#include "support/pump.h"
#include "support/test_control.h"

#include <tuple>

namespace kelmira::test {
namespace {

using ViewTest = ControlTest;
using Hrs = std::vector<HRESULT>;

HRESULT DrawInto(IViewObject* view, HDC hdc, const RECTL* bounds, DWORD aspect = DVASPECT_CONTENT, LONG lindex = -1) {
  return view->Draw(aspect, lindex, nullptr, nullptr, nullptr, hdc, bounds, nullptr, nullptr, 0);
}

TEST_F(ViewTest, DrawPaintsExactlyTheBoundsAndLeavesTheHostDcAsItWas) {
  auto control = Make<TestControl>();
  Canvas canvas(50, 40);
  SetTextColor(canvas.dc(), RGB(1, 2, 3));
  HGDIOBJ brushBefore = GetCurrentObject(canvas.dc(), OBJ_BRUSH);
  RECTL bounds{10, 5, 30, 25}, inverted{5, 5, 0, 0};
  ASSERT_EQ(DrawInto(control.get(), canvas.dc(), &bounds), S_OK);

  // The control painted 3 pixels beyond its bounds; none of that shows.
  RECT clip{};
  GetClipBox(canvas.dc(), &clip);
  EXPECT_EQ(std::tuple(canvas.Bounds(), canvas.Count(control->fillColor, 10, 5, 30, 25), GetTextColor(canvas.dc()),
                       GetCurrentObject(canvas.dc(), OBJ_BRUSH), clip.right, clip.bottom),
            std::tuple(Box{10, 5, 30, 25}, 400, RGB(1, 2, 3), brushBefore, 50, 40));

  // What it cannot draw it refuses before drawing: bounds are needed unless it is windowless.
  EXPECT_EQ((Hrs{DrawInto(control.get(), canvas.dc(), &bounds, DVASPECT_ICON),
                 DrawInto(control.get(), canvas.dc(), &bounds, DVASPECT_CONTENT, 0),
                 DrawInto(control.get(), nullptr, &bounds), DrawInto(control.get(), canvas.dc(), nullptr),
                 DrawInto(control.get(), canvas.dc(), &inverted)}),
            (Hrs{DV_E_DVASPECT, DV_E_LINDEX, E_INVALIDARG, E_INVALIDARG, E_INVALIDARG}));
  EXPECT_EQ(control->draws, 1);
}

// Without a site and not active, a repaint request goes to the view sink.
TEST_F(ViewTest, RepaintRequestWithoutActivationTellsTheViewSinkAndActivationNeedsASite) {
  auto control = Make<TestControl>();
  auto sink = Make<AdviseRecorder>(), once = Make<AdviseRecorder>();
  ASSERT_EQ(control->SetAdvise(DVASPECT_CONTENT, 0, sink.get()), S_OK);
  control->put_FillColor(RGB(1, 1, 1));
  EXPECT_EQ(sink->viewChanges, (std::vector<std::pair<DWORD, LONG>>{{DVASPECT_CONTENT, -1}}));

  // ADVF_ONLYONCE: one notification, then the sink is let go.
  control->SetAdvise(DVASPECT_CONTENT, ADVF_ONLYONCE, once.get());
  control->FireViewChange(), control->FireViewChange();
  ComPtr<IAdviseSink> current;
  control->GetAdvise(nullptr, nullptr, &current);
  EXPECT_EQ(std::pair(once->viewChanges.size(), current.get()), std::pair(std::size_t{1}, (IAdviseSink*)nullptr));

  auto site = Make<InPlaceSite>();  // no window to put the control's window in
  const HRESULT noSite = control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr);
  control->SetClientSite(site.get());
  EXPECT_EQ((Hrs{noSite, control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, nullptr),
                 control->DoVerb(OLEIVERB_OPEN, nullptr, site.get(), 0, nullptr, nullptr)}),
            (Hrs{E_UNEXPECTED, E_FAIL, E_NOTIMPL}));
  EXPECT_FALSE(control->InPlaceActive());
  EXPECT_EQ(site->calls,
            (Calls{"CanInPlaceActivate", "OnInPlaceActivateEx", "GetWindowContext", "OnInPlaceDeactivateEx"}));
}

TEST_F(ViewTest, RepaintRequestOfAWindowlessControlAsksTheSite) {
  auto control = Make<WindowlessTestControl>();
  auto site = Make<InPlaceSite>();
  auto sink = Make<AdviseRecorder>();
  control->SetClientSite(site.get()), control->SetAdvise(DVASPECT_CONTENT, 0, sink.get());
  ASSERT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, nullptr), S_OK);
  HWND none = reinterpret_cast<HWND>(1);
  EXPECT_EQ((std::tuple{control->GetWindow(&none), none, control->InPlaceActive() && control->Windowless()}),
            std::tuple(E_FAIL, HWND{}, true));

  // The whole control, erasing; the view sink hears nothing.
  control->put_FillColor(RGB(2, 2, 2));
  EXPECT_TRUE(sink->viewChanges.empty());

  // Without bounds a windowless control draws at its position in the site.
  Canvas canvas(80, 60);
  ASSERT_EQ(DrawInto(control.get(), canvas.dc(), nullptr), S_OK);
  EXPECT_EQ(std::pair(canvas.Bounds(), canvas.Count(RGB(2, 2, 2), 0, 0, 60, 40)), std::pair(Box{0, 0, 60, 40}, 2400));

  // Messages the site forwards go through the control's message map, while it is active.
  LRESULT result = 1;
  EXPECT_EQ((Hrs{control->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6), &result),
                 control->OnWindowMessage(WM_KEYDOWN, 0, 0, &result), control->InPlaceDeactivate(),
                 control->OnWindowMessage(WM_LBUTTONDOWN, 0, 0, &result)}),
            (Hrs{S_OK, S_FALSE, S_OK, E_UNEXPECTED}));
  EXPECT_EQ(control->mouse, (std::vector<std::tuple<UINT, LONG, LONG>>{{WM_LBUTTONDOWN, 4, 6}}));
  EXPECT_EQ(site->calls, (Calls{"CanInPlaceActivate", "OnInPlaceActivateEx(windowless)", "GetWindowContext",
                                "ShowObject", "InvalidateRect(all, erase)", "OnInPlaceDeactivateEx"}));
}

TEST_F(ViewTest, RepaintRequestOfAWindowedControlErasesAndPaintsItsWindow) {
  HWND frame = MakeFrame();
  auto control = Make<TestControl>();
  auto site = Make<InPlaceSite>();
  site->window = frame;
  site->position = RECT{5, 6, 65, 46};
  control->SetClientSite(site.get());
  ASSERT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, frame, nullptr), S_OK);
  HWND own = control->ControlWindow();
  RECT rc{};
  GetWindowRect(own, &rc);
  constexpr int kX = HostedControl::kFrameX, kY = HostedControl::kFrameY;
  EXPECT_EQ(std::tuple(GetParent(own), rc.left, rc.top, rc.right, rc.bottom),
            std::tuple(frame, kX + 5, kY + 6, kX + 65, kY + 46));
  Pump();
  const auto painted = std::pair(control->messages[WM_ERASEBKGND] + 1, control->messages[WM_PAINT] + 1);
  control->put_FillColor(RGB(200, 100, 50));
  Pump();
  EXPECT_EQ(std::pair(control->messages[WM_ERASEBKGND], control->messages[WM_PAINT]), painted);
  EXPECT_EQ(WindowPixel(own, 30, 20), RGB(200, 100, 50));

  // SetObjectRects moves the window; UI activation tells the site.
  RECT moved{0, 0, 20, 10};
  ASSERT_EQ(control->SetObjectRects(&moved, &moved), S_OK);
  GetClientRect(own, &rc);
  EXPECT_EQ(std::pair(rc.right, control->SetObjectRects(nullptr, &moved)), std::pair(LONG{20}, E_POINTER));
  ASSERT_EQ(control->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.get(), 0, frame, nullptr), S_OK);
  EXPECT_TRUE(control->UIActive() && GetFocus() == own);

  ASSERT_EQ(control->DoVerb(OLEIVERB_HIDE, nullptr, site.get(), 0, frame, nullptr), S_OK);
  EXPECT_FALSE(IsWindowVisible(own) || control->UIActive());
  ASSERT_EQ(control->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_FALSE(IsWindow(own) || control->InPlaceActive());
  EXPECT_EQ(site->calls,
            (Calls{"CanInPlaceActivate", "OnInPlaceActivateEx", "GetWindowContext", "ShowObject", "OnUIActivate",
                   "OnFocus(got)", "ShowObject", "OnUIDeactivate", "OnFocus(lost)", "OnInPlaceDeactivateEx"}));
  DestroyWindow(frame);
}

TEST_F(ViewTest, ExtentsAreHimetricAndHitTestingStopsAtTheBoundsEdge) {
  auto control = Make<TestControl>();
  SIZEL set{2540, 1270}, negative{-1, 10}, size{}, natural{};
  EXPECT_EQ((Hrs{control->SetExtent(DVASPECT_ICON, &set), control->SetExtent(DVASPECT_CONTENT, nullptr),
                 control->SetExtent(DVASPECT_CONTENT, &negative), control->GetExtent(DVASPECT_CONTENT, &size)}),
            (Hrs{DV_E_DVASPECT, E_POINTER, E_INVALIDARG, S_OK}));
  // The natural extent stays the construction size.
  ASSERT_EQ(control->SetExtent(DVASPECT_CONTENT, &set), S_OK);
  DVEXTENTINFO info{sizeof(DVEXTENTINFO), DVEXTENT_CONTENT, {0, 0}};
  ASSERT_EQ(control->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &natural), S_OK);
  SIZEL pixels{96, 48}, himetric{}, back{};  // 96 pixels are one inch
  AtlPixelToHiMetric(&pixels, &himetric);
  AtlHiMetricToPixel(&himetric, &back);
  EXPECT_EQ(std::tuple(size.cx, size.cy, natural.cx, himetric.cx, himetric.cy, back.cx, back.cy),
            std::tuple(5080, 5080, 5080, 2540, 1270, 96, 48));

  // Points, then the rectangles away and touching.
  const RECT bounds{0, 0, 10, 10}, away{20, 20, 30, 30}, touching{9, 9, 30, 30};
  const POINT points[] = {{0, 0}, {9, 9}, {10, 3}, {3, 10}, {-1, 3}};
  std::vector<DWORD> hits(7, 99);
  for (int k = 0; k < 5; ++k)
    EXPECT_EQ(control->QueryHitPoint(DVASPECT_CONTENT, &bounds, points[k], 0, &hits[k]), S_OK);
  control->QueryHitRect(DVASPECT_CONTENT, &bounds, &away, 0, &hits[5]);
  control->QueryHitRect(DVASPECT_CONTENT, &bounds, &touching, 0, &hits[6]);
  EXPECT_EQ(hits, (std::vector<DWORD>{HITRESULT_HIT, HITRESULT_HIT, HITRESULT_OUTSIDE, HITRESULT_OUTSIDE,
                                      HITRESULT_OUTSIDE, HITRESULT_OUTSIDE, HITRESULT_HIT}));
}

// Data sinks hear of changes, object sinks of saving and closing, until they unadvise.
TEST_F(ViewTest, DataAndObjectAdviseSinksHearOfChangesSavesAndClosesUntilTheyUnadvise) {
  auto control = Make<TestControl>();
  auto site = Make<InPlaceSite>();
  auto sink = Make<AdviseRecorder>();
  FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  DWORD cookie = 0, objectCookie = 0;
  control->SetClientSite(site.get());
  ASSERT_EQ(control->DAdvise(&format, 0, sink.get(), &cookie), S_OK);
  ASSERT_EQ(control->Advise(sink.get(), &objectCookie), S_OK);
  control->put_Weight(2.0);
  EXPECT_EQ(sink->dataTymeds, std::vector<DWORD>{TYMED_NULL});  // the control renders no data

  ComPtr<IEnumSTATDATA> connections;
  ASSERT_EQ(control->EnumDAdvise(&connections), S_OK);
  STATDATA data{};
  ULONG fetched = 0;
  ASSERT_EQ(connections->Next(1, &data, &fetched), S_OK);
  EXPECT_EQ(std::tuple(data.dwConnection, data.pAdvSink), std::tuple(cookie, static_cast<IAdviseSink*>(sink.get())));
  data.pAdvSink->Release();
  STGMEDIUM medium{};
  EXPECT_EQ(
      (Hrs{connections->Next(1, &data, &fetched), control->DUnadvise(cookie), control->put_Weight(3.0),
           control->DUnadvise(cookie), control->GetData(&format, &medium), control->Close(OLECLOSE_SAVEIFDIRTY),
           control->Unadvise(objectCookie), control->Unadvise(objectCookie), control->Close(7)}),
      (Hrs{S_FALSE, S_OK, S_OK, OLE_E_NOCONNECTION, DV_E_FORMATETC, S_OK, S_OK, OLE_E_NOCONNECTION, E_INVALIDARG}));
  EXPECT_EQ(std::tuple(sink->dataTymeds.size(), sink->saves, sink->closes), std::tuple(1u, 1, 1));
}

TEST_F(ViewTest, DataAdviseHolderPrimesAndEndsOnlyOnceConnections) {
  ComPtr<IDataAdviseHolder> holder;
  ASSERT_EQ(CreateDataAdviseHolder(&holder), S_OK);
  auto control = Make<TestControl>();
  IDataObject* data = control.get();
  FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  auto primed = Make<AdviseRecorder>(), once = Make<AdviseRecorder>(), steady = Make<AdviseRecorder>();
  DWORD cookies[3] = {};
  ASSERT_EQ(holder->Advise(data, &format, ADVF_PRIMEFIRST | ADVF_NODATA, primed.get(), &cookies[0]), S_OK);
  EXPECT_EQ(primed->dataTymeds.size(), 1u);  // primed at once
  ASSERT_EQ(holder->Advise(data, &format, ADVF_ONLYONCE, once.get(), &cookies[1]), S_OK);
  ASSERT_EQ(holder->Advise(data, &format, 0, steady.get(), &cookies[2]), S_OK);
  EXPECT_EQ(
      (Hrs{holder->SendOnDataChange(data, 0, 0), holder->SendOnDataChange(data, 0, 0), holder->Unadvise(cookies[1]),
           holder->Advise(data, nullptr, 0, steady.get(), &cookies[2]), holder->SendOnDataChange(nullptr, 0, 0)}),
      (Hrs{S_OK, S_OK, OLE_E_NOCONNECTION, E_INVALIDARG, E_INVALIDARG}));
  EXPECT_EQ(std::tuple(primed->dataTymeds.size(), once->dataTymeds.size(), steady->dataTymeds.size()),
            std::tuple(3u, 1u, 2u));
}

}  // namespace
}  // namespace kelmira::test

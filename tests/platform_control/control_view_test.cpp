// Drawing through IViewObject, the repaint request in its three states, activation in a site,
// extents, hit testing, and view, data and object notifications.
#include "support/advise_recorder.h"
#include "support/canvas.h"
#include "support/hosted_control.h"
#include "support/in_place_site.h"
#include "support/pump.h"
#include "support/test_control.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace kelmira::test {
namespace {

using ViewTest = ControlTest;

HRESULT DrawInto(IViewObject* view, HDC hdc, const RECTL* bounds, DWORD aspect = DVASPECT_CONTENT, LONG lindex = -1) {
  return view->Draw(aspect, lindex, nullptr, nullptr, nullptr, hdc, bounds, nullptr, nullptr, 0);
}

PixelSet Block(int left, int top, int right, int bottom) {
  PixelSet box;
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) box.insert({x, y});
  return box;
}

TEST_F(ViewTest, DrawPaintsExactlyTheBoundsAndLeavesTheHostDcAsItWas) {
  auto control = Make<TestControl>();
  Canvas canvas(50, 40);
  SetTextColor(canvas.dc(), RGB(1, 2, 3));
  HGDIOBJ brushBefore = GetCurrentObject(canvas.dc(), OBJ_BRUSH);
  RECTL bounds{10, 5, 30, 25};
  ASSERT_EQ(DrawInto(control.get(), canvas.dc(), &bounds), S_OK);

  // The control painted 3 pixels beyond its bounds; none of that shows.
  EXPECT_EQ(control->draws, 1);
  EXPECT_PAINTED(canvas, Block(10, 5, 30, 25));
  EXPECT_EQ(std::tuple(GetTextColor(canvas.dc()), GetCurrentObject(canvas.dc(), OBJ_BRUSH)),
            std::tuple(RGB(1, 2, 3), brushBefore));
  RECT clip{};
  GetClipBox(canvas.dc(), &clip);
  EXPECT_EQ(std::tuple(clip.right, clip.bottom), std::tuple(50, 40));

  // What it cannot draw it refuses before drawing: bounds are needed unless it is windowless.
  RECTL inverted{5, 5, 0, 0};
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), &bounds, DVASPECT_ICON), DV_E_DVASPECT);
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), &bounds, DVASPECT_CONTENT, 0), DV_E_LINDEX);
  EXPECT_EQ(DrawInto(control.get(), nullptr, &bounds), E_INVALIDARG);
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), nullptr), E_INVALIDARG);
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), &inverted), E_INVALIDARG);
  EXPECT_EQ(control->draws, 1);
}

TEST_F(ViewTest, RepaintRequestWithoutActivationTellsTheViewSink) {
  auto control = Make<TestControl>();
  auto sink = Make<AdviseRecorder>();
  ASSERT_EQ(control->SetAdvise(DVASPECT_CONTENT, 0, sink.get()), S_OK);
  control->put_FillColor(RGB(1, 1, 1));
  EXPECT_EQ(sink->viewChanges, (std::vector<std::pair<DWORD, LONG>>{{DVASPECT_CONTENT, -1}}));

  // ADVF_ONLYONCE: one notification, then the sink is let go.
  auto once = Make<AdviseRecorder>();
  control->SetAdvise(DVASPECT_CONTENT, ADVF_ONLYONCE, once.get());
  control->FireViewChange();
  control->FireViewChange();
  EXPECT_EQ(once->viewChanges.size(), 1u);
  ComPtr<IAdviseSink> current;
  control->GetAdvise(nullptr, nullptr, &current);
  EXPECT_EQ(current.get(), nullptr);
}

TEST_F(ViewTest, RepaintRequestOfAWindowlessControlAsksTheSite) {
  auto control = Make<WindowlessTestControl>();
  auto site = Make<InPlaceSite>();
  auto sink = Make<AdviseRecorder>();
  control->SetClientSite(site.get());
  control->SetAdvise(DVASPECT_CONTENT, 0, sink.get());
  ASSERT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, nullptr), S_OK);
  EXPECT_TRUE(control->InPlaceActive() && control->Windowless());
  HWND none = reinterpret_cast<HWND>(1);
  EXPECT_EQ(control->GetWindow(&none), E_FAIL);
  EXPECT_EQ(none, nullptr);
  EXPECT_NE(std::find(site->calls.begin(), site->calls.end(), "OnInPlaceActivateEx(windowless)"), site->calls.end());

  // The whole control, erasing; the view sink hears nothing.
  control->put_FillColor(RGB(2, 2, 2));
  EXPECT_EQ(site->invalidations, (std::vector<std::pair<bool, BOOL>>{{true, TRUE}}));
  EXPECT_TRUE(sink->viewChanges.empty());

  // Without bounds a windowless control draws at its position in the site.
  Canvas canvas(80, 60);
  ASSERT_EQ(DrawInto(control.get(), canvas.dc(), nullptr), S_OK);
  EXPECT_PAINTED(canvas, Block(0, 0, 60, 40));

  // Messages the site forwards go through the control's message map.
  LRESULT result = 1;
  EXPECT_EQ(control->OnWindowMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 6), &result), S_OK);
  ASSERT_EQ(control->mouse.size(), 1u);
  EXPECT_EQ(std::tuple(control->mouse[0].second.x, control->mouse[0].second.y), std::tuple(4, 6));
  EXPECT_EQ(control->OnWindowMessage(WM_KEYDOWN, 0, 0, &result), S_FALSE);

  ASSERT_EQ(control->InPlaceDeactivate(), S_OK);
  EXPECT_EQ(site->calls.back(), "OnInPlaceDeactivateEx");
  EXPECT_EQ(control->OnWindowMessage(WM_LBUTTONDOWN, 0, 0, &result), E_UNEXPECTED);
}

TEST_F(ViewTest, RepaintRequestOfAWindowedControlErasesAndPaintsItsWindow) {
  HWND frame = MakeFrame();
  auto control = Make<TestControl>();
  auto site = Make<InPlaceSite>();
  auto sink = Make<AdviseRecorder>();
  site->window = frame;
  site->position = RECT{5, 6, 65, 46};
  control->SetClientSite(site.get());
  control->SetAdvise(DVASPECT_CONTENT, 0, sink.get());
  ASSERT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, frame, nullptr), S_OK);
  HWND own = control->ControlWindow();
  ASSERT_NE(own, nullptr);
  EXPECT_EQ(GetParent(own), frame);
  RECT rc{};
  GetWindowRect(own, &rc);
  constexpr int kX = HostedControl::kFrameX, kY = HostedControl::kFrameY;
  EXPECT_EQ(std::tuple(rc.left, rc.top, rc.right, rc.bottom), std::tuple(kX + 5, kY + 6, kX + 65, kY + 46));
  Pump();
  const int erases = control->Count(WM_ERASEBKGND), paints = control->Count(WM_PAINT);

  control->put_FillColor(RGB(200, 100, 50));
  Pump();
  EXPECT_EQ(std::tuple(control->Count(WM_ERASEBKGND), control->Count(WM_PAINT)), std::tuple(erases + 1, paints + 1));
  EXPECT_TRUE(sink->viewChanges.empty());
  EXPECT_EQ(WindowPixel(own, 30, 20), RGB(200, 100, 50));

  // SetObjectRects moves the window; UI activation tells the site.
  RECT moved{0, 0, 20, 10};
  ASSERT_EQ(control->SetObjectRects(&moved, &moved), S_OK);
  GetClientRect(own, &rc);
  EXPECT_EQ(rc.right, 20);
  EXPECT_EQ(control->SetObjectRects(nullptr, &moved), E_POINTER);
  ASSERT_EQ(control->DoVerb(OLEIVERB_UIACTIVATE, nullptr, site.get(), 0, frame, nullptr), S_OK);
  EXPECT_TRUE(control->UIActive());
  EXPECT_EQ(GetFocus(), own);
  EXPECT_GE(site->focusChanges, 1);

  ASSERT_EQ(control->DoVerb(OLEIVERB_HIDE, nullptr, site.get(), 0, frame, nullptr), S_OK);
  EXPECT_FALSE(IsWindowVisible(own) || control->UIActive());
  ASSERT_EQ(control->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_FALSE(IsWindow(own) || control->InPlaceActive());
  EXPECT_EQ(site->calls.back(), "OnInPlaceDeactivateEx");
  DestroyWindow(frame);
}

TEST_F(ViewTest, ActivationNeedsASiteThatAgrees) {
  auto control = Make<TestControl>();
  EXPECT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED);
  auto site = Make<InPlaceSite>();  // no window to put the control's window in
  control->SetClientSite(site.get());
  EXPECT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, nullptr), E_FAIL);
  EXPECT_FALSE(control->InPlaceActive());
  EXPECT_EQ(site->calls.back(), "OnInPlaceDeactivateEx");
  EXPECT_EQ(control->DoVerb(OLEIVERB_OPEN, nullptr, site.get(), 0, nullptr, nullptr), E_NOTIMPL);
}

TEST_F(ViewTest, ExtentsAreHimetricAndBadOnesChangeNothing) {
  auto control = Make<TestControl>();
  SIZEL set{2540, 1270}, negative{-1, 10}, size{};
  EXPECT_EQ(control->SetExtent(DVASPECT_ICON, &set), DV_E_DVASPECT);
  EXPECT_EQ(control->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  EXPECT_EQ(control->SetExtent(DVASPECT_CONTENT, &negative), E_INVALIDARG);
  control->GetExtent(DVASPECT_CONTENT, &size);
  EXPECT_EQ(std::tuple(size.cx, size.cy), std::tuple(5080, 5080));  // the construction size

  // The natural extent stays the construction size.
  ASSERT_EQ(control->SetExtent(DVASPECT_CONTENT, &set), S_OK);
  DVEXTENTINFO info{sizeof(DVEXTENTINFO), DVEXTENT_CONTENT, {0, 0}};
  ASSERT_EQ(control->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
  EXPECT_EQ(size.cx, 5080);
  SIZEL pixels{96, 48}, himetric{}, back{};  // 96 pixels are one inch
  AtlPixelToHiMetric(&pixels, &himetric);
  AtlHiMetricToPixel(&himetric, &back);
  EXPECT_EQ(std::tuple(himetric.cx, himetric.cy, back.cx, back.cy), std::tuple(2540, 1270, 96, 48));
}

TEST_F(ViewTest, HitTestingStopsAtTheBoundsEdge) {
  auto control = Make<TestControl>();
  RECT bounds{0, 0, 10, 10}, away{20, 20, 30, 30}, touching{9, 9, 30, 30};
  std::vector<DWORD> hits;
  for (POINT at : {POINT{0, 0}, POINT{9, 9}, POINT{10, 3}, POINT{3, 10}, POINT{-1, 3}}) {
    DWORD hit = 99;
    EXPECT_EQ(control->QueryHitPoint(DVASPECT_CONTENT, &bounds, at, 0, &hit), S_OK);
    hits.push_back(hit);
  }
  for (const RECT* r : {&away, &touching}) {
    DWORD hit = 99;
    control->QueryHitRect(DVASPECT_CONTENT, &bounds, r, 0, &hit);
    hits.push_back(hit);
  }
  EXPECT_EQ(hits, (std::vector<DWORD>{HITRESULT_HIT, HITRESULT_HIT, HITRESULT_OUTSIDE, HITRESULT_OUTSIDE,
                                      HITRESULT_OUTSIDE, HITRESULT_OUTSIDE, HITRESULT_HIT}));
}

TEST_F(ViewTest, DataAdviseSinksHearOfChangesUntilTheyUnadvise) {
  auto control = Make<TestControl>();
  auto sink = Make<AdviseRecorder>();
  FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  DWORD cookie = 0;
  ASSERT_EQ(control->DAdvise(&format, 0, sink.get(), &cookie), S_OK);
  control->put_Weight(2.0);
  EXPECT_EQ(sink->dataTymeds, std::vector<DWORD>{TYMED_NULL});  // the control renders no data

  ComPtr<IEnumSTATDATA> connections;
  ASSERT_EQ(control->EnumDAdvise(&connections), S_OK);
  STATDATA data{};
  ULONG fetched = 0;
  ASSERT_EQ(connections->Next(1, &data, &fetched), S_OK);
  EXPECT_EQ(std::tuple(data.dwConnection, data.pAdvSink), std::tuple(cookie, static_cast<IAdviseSink*>(sink.get())));
  data.pAdvSink->Release();
  EXPECT_EQ(connections->Next(1, &data, &fetched), S_FALSE);

  ASSERT_EQ(control->DUnadvise(cookie), S_OK);
  control->put_Weight(3.0);
  EXPECT_EQ(sink->dataTymeds.size(), 1u);
  EXPECT_EQ(control->DUnadvise(cookie), OLE_E_NOCONNECTION);
  STGMEDIUM medium{};
  EXPECT_EQ(control->GetData(&format, &medium), DV_E_FORMATETC);
}

TEST_F(ViewTest, DataAdviseHolderPrimesAndEndsOnlyOnceConnections) {
  ComPtr<IDataAdviseHolder> holder;
  ASSERT_EQ(CreateDataAdviseHolder(&holder), S_OK);
  auto control = Make<TestControl>();
  IDataObject* data = control.get();
  FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  auto primed = Make<AdviseRecorder>(), once = Make<AdviseRecorder>(), steady = Make<AdviseRecorder>();
  DWORD primedCookie = 0, onceCookie = 0, steadyCookie = 0;
  ASSERT_EQ(holder->Advise(data, &format, ADVF_PRIMEFIRST | ADVF_NODATA, primed.get(), &primedCookie), S_OK);
  EXPECT_EQ(primed->dataTymeds.size(), 1u);  // primed at once
  ASSERT_EQ(holder->Advise(data, &format, ADVF_ONLYONCE, once.get(), &onceCookie), S_OK);
  ASSERT_EQ(holder->Advise(data, &format, 0, steady.get(), &steadyCookie), S_OK);

  ASSERT_EQ(holder->SendOnDataChange(data, 0, 0), S_OK);
  ASSERT_EQ(holder->SendOnDataChange(data, 0, 0), S_OK);
  EXPECT_EQ(std::tuple(primed->dataTymeds.size(), once->dataTymeds.size(), steady->dataTymeds.size()),
            std::tuple(3u, 1u, 2u));
  EXPECT_EQ(holder->Unadvise(onceCookie), OLE_E_NOCONNECTION);
  EXPECT_EQ(holder->Advise(data, nullptr, 0, steady.get(), &steadyCookie), E_INVALIDARG);
  EXPECT_EQ(holder->SendOnDataChange(nullptr, 0, 0), E_INVALIDARG);
}

TEST_F(ViewTest, ObjectAdviseSinksHearOfSaveAndClose) {
  auto control = Make<TestControl>();
  auto site = Make<InPlaceSite>();
  auto sink = Make<AdviseRecorder>();
  control->SetClientSite(site.get());
  DWORD cookie = 0;
  ASSERT_EQ(control->Advise(sink.get(), &cookie), S_OK);
  control->SetDirty(true);
  ASSERT_EQ(control->Close(OLECLOSE_SAVEIFDIRTY), S_OK);
  EXPECT_EQ(std::tuple(sink->saves, sink->closes), std::tuple(1, 1));
  ASSERT_EQ(control->Unadvise(cookie), S_OK);
  EXPECT_EQ(control->Unadvise(cookie), OLE_E_NOCONNECTION);
  EXPECT_EQ(control->Close(7), E_INVALIDARG);
}

}  // namespace
}  // namespace kelmira::test

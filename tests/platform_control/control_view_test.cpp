// Drawing through IViewObject, the repaint request in its three states, extents, and view and
// data notifications.
#include "platform_control/test_control.h"

#include <gtest/gtest.h>

#include <tuple>

using kelmira::ComPtr;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

HRESULT DrawInto(IViewObject* view, HDC hdc, const RECTL* bounds, DWORD aspect = DVASPECT_CONTENT, LONG lindex = -1) {
  return view->Draw(aspect, lindex, nullptr, nullptr, nullptr, hdc, bounds, nullptr, nullptr, 0);
}

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override { RegisterTestClasses(); }
};

TEST_F(ViewTest, DrawPaintsExactlyTheBoundsAndLeavesTheHostDcAsItWas) {
  auto control = Make<TestControl>();
  control->fillColor = RGB(10, 200, 30);
  MemoryCanvas canvas(50, 40);
  SetTextColor(canvas.dc(), RGB(1, 2, 3));
  HGDIOBJ brushBefore = GetCurrentObject(canvas.dc(), OBJ_BRUSH);
  RECTL bounds{10, 5, 30, 25};
  ASSERT_EQ(DrawInto(control.get(), canvas.dc(), &bounds), S_OK);

  EXPECT_EQ(control->draws, 1);
  // The control painted 3 pixels beyond its bounds; none of that shows.
  const COLORREF fill = RGB(10, 200, 30);
  for (auto [x, y, colour] :
       {std::tuple{10, 5, fill}, {29, 24, fill}, {9, 5, kWhite}, {30, 5, kWhite}, {10, 4, kWhite}, {10, 25, kWhite}})
    EXPECT_EQ(canvas.At(x, y), colour) << x << "," << y;
  // The host's DC keeps its state and its full clip.
  EXPECT_EQ(GetTextColor(canvas.dc()), RGB(1, 2, 3));
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_BRUSH), brushBefore);
  RECT clip{};
  GetClipBox(canvas.dc(), &clip);
  EXPECT_EQ(std::tuple(clip.right, clip.bottom), std::tuple(50, 40));
}

TEST_F(ViewTest, DrawRefusesWhatItCannotDraw) {
  auto control = Make<TestControl>();
  MemoryCanvas canvas(10, 10);
  RECTL bounds{0, 0, 5, 5};
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), &bounds, DVASPECT_ICON), DV_E_DVASPECT);
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), &bounds, DVASPECT_CONTENT, 0), DV_E_LINDEX);
  EXPECT_EQ(DrawInto(control.get(), nullptr, &bounds), E_INVALIDARG);
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), nullptr), E_INVALIDARG);  // bounds needed unless windowless
  RECTL inverted{5, 5, 0, 0};
  EXPECT_EQ(DrawInto(control.get(), canvas.dc(), &inverted), E_INVALIDARG);
  EXPECT_EQ(control->draws, 0);
}

TEST_F(ViewTest, RepaintRequestWithoutActivationTellsTheViewSink) {
  auto control = Make<TestControl>();
  auto sink = Make<RecordingSink>();
  ASSERT_EQ(control->SetAdvise(DVASPECT_CONTENT, 0, sink.get()), S_OK);
  control->put_FillColor(RGB(1, 1, 1));
  EXPECT_EQ(sink->viewChanges, (std::vector<std::pair<DWORD, LONG>>{{DVASPECT_CONTENT, -1}}));

  // ADVF_ONLYONCE: one notification, then the sink is let go.
  auto once = Make<RecordingSink>();
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
  auto site = Make<TestSite>();
  auto sink = Make<RecordingSink>();
  control->SetClientSite(site.get());
  control->SetAdvise(DVASPECT_CONTENT, 0, sink.get());
  ASSERT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, nullptr), S_OK);
  EXPECT_TRUE(control->InPlaceActive());
  EXPECT_TRUE(control->Windowless());
  HWND none = reinterpret_cast<HWND>(1);
  EXPECT_EQ(control->GetWindow(&none), E_FAIL);
  EXPECT_EQ(none, nullptr);
  EXPECT_NE(std::find(site->calls.begin(), site->calls.end(), "OnInPlaceActivateEx(windowless)"), site->calls.end());

  control->put_FillColor(RGB(2, 2, 2));
  // The whole control, erasing.
  EXPECT_EQ(site->invalidations, (std::vector<std::pair<bool, BOOL>>{{true, TRUE}}));
  EXPECT_TRUE(sink->viewChanges.empty());

  // Without bounds a windowless control draws at its position in the site.
  MemoryCanvas canvas(80, 60);
  ASSERT_EQ(DrawInto(control.get(), canvas.dc(), nullptr), S_OK);
  EXPECT_EQ(std::tuple(canvas.At(0, 0), canvas.At(59, 39), canvas.At(60, 40)),
            std::tuple(RGB(2, 2, 2), RGB(2, 2, 2), kWhite));

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
  auto site = Make<TestSite>();
  auto sink = Make<RecordingSink>();
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
  EXPECT_EQ(std::tuple(rc.left, rc.top, rc.right, rc.bottom), std::tuple(100 + 5, 50 + 6, 100 + 65, 50 + 46));
  PumpMessages();
  const int erases = control->Count(WM_ERASEBKGND);
  const int paints = control->Count(WM_PAINT);

  control->put_FillColor(RGB(200, 100, 50));
  PumpMessages();
  EXPECT_EQ(std::tuple(control->Count(WM_ERASEBKGND), control->Count(WM_PAINT)), std::tuple(erases + 1, paints + 1));
  EXPECT_TRUE(sink->viewChanges.empty());
  COLORREF pixel = 0;
  KelmiraGetWindowPixel(own, 30, 20, &pixel);
  EXPECT_EQ(pixel, RGB(200, 100, 50));

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
  EXPECT_FALSE(IsWindowVisible(own));
  EXPECT_FALSE(control->UIActive());
  ASSERT_EQ(control->Close(OLECLOSE_NOSAVE), S_OK);
  EXPECT_FALSE(IsWindow(own) || control->InPlaceActive());
  EXPECT_EQ(site->calls.back(), "OnInPlaceDeactivateEx");
  DestroyWindow(frame);
}

TEST_F(ViewTest, ActivationNeedsASiteThatAgrees) {
  auto control = Make<TestControl>();
  EXPECT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr), E_UNEXPECTED);
  auto site = Make<TestSite>();  // no window to put the control's window in
  control->SetClientSite(site.get());
  EXPECT_EQ(control->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, nullptr, nullptr), E_FAIL);
  EXPECT_FALSE(control->InPlaceActive());
  EXPECT_EQ(site->calls.back(), "OnInPlaceDeactivateEx");
  EXPECT_EQ(control->DoVerb(OLEIVERB_OPEN, nullptr, site.get(), 0, nullptr, nullptr), E_NOTIMPL);
}

TEST_F(ViewTest, ExtentsAreHimetricAndBadOnesChangeNothing) {
  auto control = Make<TestControl>();
  SIZEL set{2540, 1270}, size{};
  EXPECT_EQ(control->SetExtent(DVASPECT_ICON, &set), DV_E_DVASPECT);
  EXPECT_EQ(control->SetExtent(DVASPECT_CONTENT, nullptr), E_POINTER);
  SIZEL negative{-1, 10};
  EXPECT_EQ(control->SetExtent(DVASPECT_CONTENT, &negative), E_INVALIDARG);
  control->GetExtent(DVASPECT_CONTENT, &size);
  EXPECT_EQ(std::tuple(size.cx, size.cy), std::tuple(5080, 5080));  // the construction size

  // The natural extent stays the construction size; 96 pixels are one inch.
  ASSERT_EQ(control->SetExtent(DVASPECT_CONTENT, &set), S_OK);
  DVEXTENTINFO info{sizeof(DVEXTENTINFO), DVEXTENT_CONTENT, {0, 0}};
  ASSERT_EQ(control->GetNaturalExtent(DVASPECT_CONTENT, -1, nullptr, nullptr, &info, &size), S_OK);
  EXPECT_EQ(size.cx, 5080);
  SIZEL pixels{96, 48}, himetric{}, back{};
  AtlPixelToHiMetric(&pixels, &himetric);
  AtlHiMetricToPixel(&himetric, &back);
  EXPECT_EQ(std::tuple(himetric.cx, himetric.cy, back.cx, back.cy), std::tuple(2540, 1270, 96, 48));
}

TEST_F(ViewTest, DataAdviseSinksHearOfChangesUntilTheyUnadvise) {
  auto control = Make<TestControl>();
  auto sink = Make<RecordingSink>();
  FORMATETC format{0, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  DWORD cookie = 0;
  ASSERT_EQ(control->DAdvise(&format, 0, sink.get(), &cookie), S_OK);
  EXPECT_NE(cookie, 0u);
  control->put_Weight(2.0);
  ASSERT_EQ(sink->dataTymeds.size(), 1u);
  EXPECT_EQ(sink->dataTymeds[0], TYMED_NULL);  // the control renders no data

  ComPtr<IEnumSTATDATA> connections;
  ASSERT_EQ(control->EnumDAdvise(&connections), S_OK);
  STATDATA data{};
  ULONG fetched = 0;
  ASSERT_EQ(connections->Next(1, &data, &fetched), S_OK);
  EXPECT_EQ(data.dwConnection, cookie);
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
  auto primed = Make<RecordingSink>();
  auto once = Make<RecordingSink>();
  auto steady = Make<RecordingSink>();
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
  auto site = Make<TestSite>();
  auto sink = Make<RecordingSink>();
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

TEST_F(ViewTest, HitTestingStopsAtTheBoundsEdge) {
  auto control = Make<TestControl>();
  RECT bounds{0, 0, 10, 10};
  DWORD hit = 99;
  ASSERT_EQ(control->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{9, 9}, 0, &hit), S_OK);
  EXPECT_EQ(hit, HITRESULT_HIT);
  control->QueryHitPoint(DVASPECT_CONTENT, &bounds, POINT{10, 3}, 0, &hit);
  EXPECT_EQ(hit, HITRESULT_OUTSIDE);
  RECT away{20, 20, 30, 30};
  control->QueryHitRect(DVASPECT_CONTENT, &bounds, &away, 0, &hit);
  EXPECT_EQ(hit, HITRESULT_OUTSIDE);
}

}  // namespace

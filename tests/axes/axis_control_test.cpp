// The axes as controls: what each put marks and requests, the custom-label request inside the
// drawing, the container subscription and its lifetime, persistence, the window's mouse events
// and resizing, and what the class table says about them.
#include <kelmira/tick_label_list.h>

#include "support/advise_recorder.h"
#include "support/canvas.h"
#include "support/create.h"
#include "support/event_recorder.h"
#include "support/fake_unknown.h"
#include "support/hosted_control.h"
#include "support/injected_input.h"
#include "support/memory_stream.h"
#include "support/property.h"
#include "support/pump.h"
#include "support/variant_values.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

constexpr DISPID kOnMouseEvent = 1, kOnLoadCustomLabels = 3;

// How many OnLoadCustomLabels one drawing raises.
int RequestsInADrawing(IUnknown* axis, EventRecorder& sink) {
  sink.Clear();
  Canvas canvas(200, 40);
  EXPECT_EQ(DrawView(axis, canvas), S_OK);
  const std::vector<DISPID> ids = sink.Ids();
  return static_cast<int>(std::count(ids.begin(), ids.end(), kOnLoadCustomLabels));
}

TEST(AxisControl, WhatEachPutMarksAndRequests) {
  auto axis = Create<IXAxis>(CLSID_XAxis);
  auto advise = ComPtr<Object<AdviseRecorder>>();
  Object<AdviseRecorder>::Make(&advise);
  ASSERT_EQ(axis.As<IViewObject>()->SetAdvise(DVASPECT_CONTENT, 0, advise.get()), S_OK);
  auto sink = EventRecorder::Make();
  ASSERT_NE(sink->Advise(axis.get(), DIID_IAxisEvents), 0u);
  auto grid = Create<IGridLayer>(CLSID_GridLayer);
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  auto list = NewTickLabelList();
  ComPtr<IFontDisp> font;
  axis->get_Font(&font);
  // Each put, and after it: whether the axis is marked changed, whether a repaint was asked for,
  // and how many label requests the next drawing raises (one when the range may have changed).
  const std::vector<std::tuple<const char*, std::function<HRESULT()>, std::string>> cases{
      {"TickLength", [&] { return axis->put_TickLength(5); }, "110"},
      {"Title", [&] { return axis->put_Title(Bstr(u"t").get()); }, "110"},
      {"Font", [&] { return axis->putref_Font(font.get()); }, "110"},
      {"DateLabelFormat", [&] { return axis->put_DateLabelFormat(2); }, "110"},
      {"step", [&] { return axis->put_step(2); }, "111"},
      {"StartValue", [&] { return axis->put_StartValue(-1); }, "111"},
      {"TickLabels", [&] { return axis->put_TickLabels(list.get()); }, "111"},
      {"Grid", [&] { return axis->put_Grid(grid.get()); }, "001"},
      {"GraphicContainer", [&] { return axis->put_GraphicContainer(container.get()); }, "001"},
      {"SetParams", [&] { return axis->SetParams(0, 100, 10); }, "001"},
      {"Redraw", [&] { return axis->Redraw(); }, "011"},  // no window: the view sinks
  };
  for (const auto& [what, put, expected] : cases) {
    RequestsInADrawing(axis.get(), *sink);
    ASSERT_EQ(axis.As<IPersistStreamInit>()->Save(StreamOf().get(), TRUE), S_OK);
    advise->viewChanges.clear();
    ASSERT_EQ(put(), S_OK) << what;
    std::string seen{axis.As<IPersistStreamInit>()->IsDirty() == S_OK ? '1' : '0',
                     advise->viewChanges.empty() ? '0' : '1'};
    EXPECT_EQ(seen + std::to_string(RequestsInADrawing(axis.get(), *sink)), expected) << what;
  }
  // The request carries the axis and the values of this drawing, as a plain dispatch call.
  axis->put_Grid(nullptr), axis->put_GraphicContainer(nullptr), axis->SetParams(0, 100, 10);
  ASSERT_EQ(RequestsInADrawing(axis.get(), *sink), 1);
  const EventCall& call = sink->Calls().back();
  ASSERT_EQ(call.args.size(), 4u);
  EXPECT_EQ(std::tuple(call.plain, call.args[3].vt, call.args[3].pdispVal == axis.As<IDispatch>().get(),
                       call.args[2].dblVal, call.args[1].dblVal, call.args[0].dblVal),
            std::tuple(true, VARTYPE{VT_DISPATCH}, true, 0.0, 10.0, 100.0));
  sink->Clear();  // the recorded requests hold the axis
}

TEST(AxisControl, FlagsPointersAndObjectPuts) {
  auto x = Create<IXAxis>(CLSID_XAxis);
  auto y = Create<IYAxis>(CLSID_YAxis);
  x->put_BottomAligned(1), y->put_LeftAligned(VARIANT_TRUE);
  EXPECT_EQ(std::pair(Get(x.get(), &IXAxis::get_BottomAligned), Get(y.get(), &IYAxis::get_LeftAligned)),
            std::pair(VARIANT_FALSE, VARIANT_TRUE));
  EXPECT_EQ(std::tuple(x->get_Title(nullptr), x->get_Font(nullptr), x->get_TickLabels(nullptr), x->get_Window(nullptr)),
            std::tuple(E_POINTER, E_POINTER, E_POINTER, E_POINTER));
  // The font both start with. Fonts put by value are copies; by reference, the object itself.
  ComPtr<IFontDisp> yFont, got;
  y->get_Font(&yFont);
  IFont* font = yFont.As<IFont>().get();
  EXPECT_EQ(std::tuple(TextOf(Bstr::Attach(Get(font, &IFont::get_Name)).get()), Get(font, &IFont::get_Size).int64,
                       Get(font, &IFont::get_Weight)),
            std::tuple(std::u16string(u"Arial"), LONGLONG{70000}, SHORT{300}));
  x->put_Font(yFont.get()), x->get_Font(&got);
  EXPECT_TRUE(got && got.get() != yFont.get());
  x->putref_Font(yFont.get()), x->get_Font(&got);
  EXPECT_EQ(got.get(), yFont.get());

  // Object puts take their interface or nothing. Not a label list: emptied, and fine; a query
  // that breaks: emptied, and its error.
  auto list = NewTickLabelList();
  FakeUnknown other, broken(E_UNEXPECTED);
  auto put = [&](FakeUnknown* object) {
    EXPECT_EQ(x->put_TickLabels(list.get()), S_OK);
    const HRESULT hr = x->put_TickLabels(reinterpret_cast<IDispatch*>(object));
    return std::pair(hr, !ComPtr<IDispatch>::Attach(Get(x.get(), &IAxis::get_TickLabels)));
  };
  EXPECT_EQ(std::pair(put(&other), put(&broken)), std::pair(std::pair(S_OK, true), std::pair(E_UNEXPECTED, true)));
  EXPECT_EQ(x->put_Grid(reinterpret_cast<IGridLayer*>(&broken)), E_UNEXPECTED);
  EXPECT_EQ(x->put_GraphicContainer(reinterpret_cast<IGraphicsContainer*>(&other)), S_OK);
  EXPECT_EQ(std::pair(other.refs, broken.refs), std::pair(1u, 1u));
}

TEST(AxisControl, LabelsPutInsideTheRequestServeThatDrawing) {
  auto axis = Create<IXAxis>(CLSID_XAxis);
  auto list = NewTickLabelList();
  LONG index = 0;
  for (const char16_t* text : {u"zero", u"one", u"two"}) list->AddLabel(Str(text), &index);
  Canvas expected(300, 40), actual(300, 40);
  axis->put_TickLabels(list.get());
  ASSERT_EQ(DrawView(axis.get(), expected), S_OK);

  axis->put_TickLabels(nullptr);
  auto sink = EventRecorder::Make();
  sink->Advise(axis.get(), DIID_IAxisEvents);
  sink->onInvoke = [&] { axis->put_TickLabels(list.get()); };
  ASSERT_EQ(DrawView(axis.get(), actual), S_OK);
  EXPECT_EQ(actual.Picture(), expected.Picture());
  sink->onInvoke = nullptr;
  EXPECT_EQ(sink->Calls().size(), 1u);
  EXPECT_EQ(RequestsInADrawing(axis.get(), *sink), 0);
  sink->Clear();
  // The Y axis never asks.
  auto y = Create<IYAxis>(CLSID_YAxis);
  sink->Advise(y.get(), DIID_IAxisEvents);
  y->SetParams(0, 5, 1), y->Redraw();
  EXPECT_EQ(RequestsInADrawing(y.get(), *sink), 0);
}

// The container's connections for its graphics events.
int Subscribers(IGraphicsContainer* container) {
  ComPtr<IConnectionPoint> point;
  ComPtr<IEnumConnections> connections;
  auto points = ComPtr<IGraphicsContainer>(container).As<IConnectionPointContainer>();
  points->FindConnectionPoint(DIID_IGraphicsEvents, &point);
  point->EnumConnections(&connections);
  CONNECTDATA data[4]{};
  ULONG count = 0;
  connections->Next(4, data, &count);
  for (ULONG i = 0; i < count; ++i) data[i].pUnk->Release();
  return static_cast<int>(count);
}

TEST(AxisControl, FollowsTheContainerWithoutKeepingItselfAlive) {
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  container->SetExtents(0, 50, 0, 1);
  auto axis = Create<IXAxis>(CLSID_XAxis);
  auto sink = EventRecorder::Make();
  sink->Advise(axis.get(), DIID_IAxisEvents);
  auto advise = ComPtr<Object<AdviseRecorder>>();
  Object<AdviseRecorder>::Make(&advise);
  axis.As<IViewObject>()->SetAdvise(DVASPECT_CONTENT, 0, advise.get());
  ASSERT_EQ(axis->put_GraphicContainer(container.get()), S_OK);
  RequestsInADrawing(axis.get(), *sink);
  ASSERT_EQ(container->SetLimits(10, 20, 0, 1), S_OK);
  EXPECT_FALSE(advise->viewChanges.empty());
  ASSERT_EQ(RequestsInADrawing(axis.get(), *sink), 1);
  EXPECT_EQ(std::pair(sink->Calls().back().args[2].dblVal, sink->Calls().back().args[0].dblVal), std::pair(10.0, 20.0));

  // Moving to another container ends the first subscription.
  auto other = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  axis->put_GraphicContainer(other.get());
  EXPECT_EQ(std::pair(Subscribers(container.get()), Subscribers(other.get())), std::pair(0, 1));
  // The last host reference goes: the axis goes, and leaves the container.
  bool gone = false;
  sink->destroyed = &gone;
  sink->Clear();  // the recorded requests hold the axis
  sink.Reset();
  axis.Reset();
  EXPECT_EQ(std::pair(gone, Subscribers(other.get())), std::pair(true, 0));  // it let go of its sinks as it went
  other->SetLimits(1, 2, 0, 1);                                              // nobody left to call

  // The host lets go of the container first: the axis keeps using it, then lets it go in turn.
  auto last = Create<IXAxis>(CLSID_XAxis);
  last->put_GraphicContainer(other.get());
  other.Reset();
  Canvas canvas(100, 30);
  EXPECT_EQ(DrawView(last.get(), canvas), S_OK);
  EXPECT_EQ(last->put_GraphicContainer(nullptr), S_OK);
}

TEST(AxisControl, SavesAndLoadsItsMap) {
  auto axis = Create<IYAxis>(CLSID_YAxis);
  axis->put_BackColor(0x123456), axis->put_ForeColor(0x654321), axis->put_TickColor(0x00FF00);
  axis->put_TickLength(7), axis->put_Margin(4), axis->put_Precision(-1), axis->SetParams(-3, 30, 3);
  axis->put_Title(Bstr(u"Pressure [kPa]").get()), axis->put_LeftAligned(VARIANT_TRUE);
  axis->put_GraphicContainer(Create<IGraphicsContainer>(CLSID_GraphicsContainer).get());
  ComPtr<IStream> stream = StreamOf();
  ASSERT_EQ(axis.As<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  const std::vector<BYTE> bytes = BytesOf(stream.get());
  // After the version word, the natural size in HIMETRIC as two raw 32-bit values.
  SIZEL extent{};
  ASSERT_EQ(axis.As<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent), S_OK);
  ASSERT_GT(bytes.size(), 10u);
  EXPECT_EQ(std::memcmp(bytes.data() + 2, &extent, 8), 0);

  auto loaded = Create<IYAxis>(CLSID_YAxis);
  auto state = [](IYAxis* a) {
    return std::tuple(Get(a, &IAxis::get_BackColor), Get(a, &IAxis::get_ForeColor), Get(a, &IAxis::get_TickColor),
                      Get(a, &IAxis::get_TickLength), Get(a, &IAxis::get_Margin), Get(a, &IAxis::get_Precision),
                      Get(a, &IAxis::get_StartValue), Get(a, &IAxis::get_EndValue), Get(a, &IAxis::get_step),
                      TextOf(Bstr::Attach(Get(a, &IAxis::get_Title)).get()), Get(a, &IYAxis::get_LeftAligned));
  };
  const auto fresh = state(loaded.get());
  // Every cut of the stream fails and leaves the axis as it was.
  for (std::size_t size = 0; size < bytes.size(); size += 3) {
    EXPECT_TRUE(FAILED(loaded.As<IPersistStreamInit>()->Load(StreamOf({bytes.begin(), bytes.begin() + size}).get())))
        << size;
    ASSERT_EQ(state(loaded.get()), fresh) << size;
  }
  ASSERT_EQ(loaded.As<IPersistStreamInit>()->Load(StreamOf(bytes).get()), S_OK);
  EXPECT_EQ(state(loaded.get()), state(axis.get()));
  EXPECT_EQ(loaded.As<IPersistStreamInit>()->IsDirty(), S_FALSE);
}

TEST(AxisControl, MouseEventsFromTheWindow) {
  HostedControl hosted(CLSID_XAxis, 300, 40);
  auto sink = EventRecorder::Make();
  ASSERT_NE(sink->Advise(hosted.control.get(), DIID_IAxisEvents), 0u);
  const int x = HostedControl::kFrameX + 30, y = HostedControl::kFrameY + 10;
  Press(WM_LBUTTONDOWN, x, y), Press(WM_LBUTTONUP, x, y), Press(WM_LBUTTONDOWN, x, y), Press(WM_LBUTTONUP, x, y);
  Press(WM_RBUTTONDOWN, x + 1, y), Press(WM_MOUSEMOVE, x + 2, y, MK_RBUTTON), Press(WM_RBUTTONUP, x + 2, y);
  Press(WM_MBUTTONDOWN, x, y), Press(WM_MOUSEMOVE, x + 3, y + 1, MK_MBUTTON), Press(WM_MBUTTONUP, x, y);
  std::vector<LONG> events;  // event, button, screen x, screen y of each
  for (const EventCall& call : sink->Calls())
    for (LONG v : call.id == kOnMouseEvent ? call.Longs() : std::vector<LONG>{}) events.push_back(v);
  EXPECT_EQ(events, (std::vector<LONG>{2, 0, x,     y, 3, 0, x,     y, 5, 0, x,     y, 3, 0, x,     y,
                                       2, 1, x + 1, y, 4, 1, x + 2, y, 3, 1, x + 2, y, 4, 2, x + 3, y + 1}));
}

}  // namespace
}  // namespace kelmira::test

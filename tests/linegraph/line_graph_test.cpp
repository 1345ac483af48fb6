// The line graph: its parts and defaults, the layout of its child windows, colours reaching every
// part, the line members, the right Y axis, the stream, and a whole graph drawn with its ticks.
#include "support/canvas.h"
#include "support/create.h"
#include "support/failing_factory.h"
#include "support/index_variant.h"
#include "support/hosted_control.h"
#include "support/memory_stream.h"
#include "support/property.h"
#include "support/pump.h"
#include "support/variant_values.h"

#include <array>
#include <string>
#include <strings.h>
#include <tuple>
#include <vector>

namespace kelmira::test {
namespace {

constexpr COLORREF kTickRed = 0x000000FF;

template <class O, class Face, class I>
ComPtr<I> Part(O* object, HRESULT (STDMETHODCALLTYPE Face::*get)(I**)) {
  ComPtr<I> part;
  EXPECT_EQ((object->*get)(&part), S_OK);
  return part;
}

std::vector<std::u16string> LayerNames(IGraphicsContainer* c) {
  std::vector<std::u16string> names;
  for (LONG i = 0; i < Get(c, &IGraphicsContainer::get_Count); ++i) {
    Bstr name;
    c->get_LayerName(i, &name);
    names.push_back(TextOf(name.get()));
  }
  return names;
}

TEST(LineGraph, PartsAndDefaults) {
  auto g = Create<ILineGraph>(CLSID_LineGraph);
  ASSERT_TRUE(g);
  auto c = Part(g.get(), &IGraphBase::get_GraphicsContainer);
  EXPECT_EQ(LayerNames(c.get()), (std::vector<std::u16string>{u"Background", u"Grid", u"Line", u"RightLine"}));
  double view[8];  // limits, then extents
  g->GetLimits(&view[0], &view[1], &view[2], &view[3]), g->GetExtents(&view[4], &view[5], &view[6], &view[7]);
  EXPECT_EQ(std::vector(view, view + 8), (std::vector<double>{0, 100, 0, 100, 0, 100, 0, 100}));
  EXPECT_EQ(std::tuple(Get(g.get(), &IGraphBase::get_BackColor), Get(g.get(), &IGraphBase::get_TextColor),
                       TextOf(Bstr::Attach(Get(g.get(), &IGraphBase::get_Title)).get()),
                       Get(g.get(), &IGraphBase::get_TickLength), Get(g.get(), &IGraphBase::get_GridStepX),
                       Get(g.get(), &IGraphBase::get_GridStepY), Get(g.get(), &IGraphBase::get_XAxisSize),
                       Get(g.get(), &IGraphBase::get_YAxisSize), Get(g.get(), &IGraphBase::get_hwnd)),
            std::tuple(OLE_COLOR{0xFFFFFF}, OLE_COLOR{0}, std::u16string(u"Graph"), 3, 10.0, 10.0, 50, 70, 0));
  EXPECT_EQ(std::tuple(Get(g.get(), &IGraphBase::get_GridColor), Get(g.get(), &IGraphBase::get_GridStyle),
                       Get(g.get(), &IGraphBase::get_Border), Get(g.get(), &IGraphBase::get_GridLines),
                       Get(g.get(), &IGraphBase::get_TickColor), Get(g.get(), &ILineGraph::get_UseRightYAxis)),
            std::tuple(OLE_COLOR{0}, 2, VARIANT_FALSE, VARIANT_TRUE, OLE_COLOR{0xFF}, VARIANT_FALSE));
  // Flags: any non-zero value is true, and reads back as -1.
  g->put_TitleVisible(5), g->put_XAxisVisible(0);
  EXPECT_EQ(std::tuple(Get(g.get(), &IGraphBase::get_TitleVisible), Get(g.get(), &IGraphBase::get_XAxisVisible),
                       Get(g.get(), &IGraphBase::get_YAxisVisible), Get(g.get(), &IGraphBase::get_RightYAxisVisible)),
            std::tuple(VARIANT_TRUE, VARIANT_FALSE, VARIANT_TRUE, VARIANT_TRUE));
  // The axes: titled, sharing the graph's font, the right one left-aligned.
  auto x = Part(g.get(), &IGraphBase::get_XAxis);
  auto y = Part(g.get(), &IGraphBase::get_YAxis), ry = Part(g.get(), &IGraphBase::get_RightYAxis);
  const auto font = Part(g.get(), &IGraphBase::get_Font);
  for (IAxis* axis : {static_cast<IAxis*>(x.get()), static_cast<IAxis*>(y.get()), static_cast<IAxis*>(ry.get())})
    EXPECT_EQ(Part(axis, &IAxis::get_Font).get(), font.get());
  EXPECT_EQ(
      std::tuple(TextOf(Bstr::Attach(Get(x.get(), &IAxis::get_Title)).get()),
                 TextOf(Bstr::Attach(Get(ry.get(), &IAxis::get_Title)).get()), Get(ry.get(), &IYAxis::get_LeftAligned),
                 Get(y.get(), &IYAxis::get_LeftAligned)),
      std::tuple(std::u16string(u"X Axis (linegr)"), std::u16string(u"Y Axis (linegr)"), VARIANT_TRUE, VARIANT_FALSE));
  CAUUID pages{};
  ASSERT_EQ(g.As<ISpecifyPropertyPages>()->GetPages(&pages), S_OK);
  EXPECT_EQ(std::vector<GUID>(pages.pElems, pages.pElems + pages.cElems),
            (std::vector<GUID>{CLSID_StockColorPage, CLSID_StockFontPage, CLSID_BaseGraphPropPage}));
  CoTaskMemFree(pages.pElems);
  EXPECT_EQ(g.As<IPersistStreamInit>()->IsDirty(), S_OK);  // always
  // Its natural size is the dialog's 186 x 94 units in MS Sans Serif 8 pt (6 x 13 base units);
  // not active, it draws the composite's stand-in picture.
  SIZEL extent{}, pixels{279, 153}, expected{};
  AtlPixelToHiMetric(&pixels, &expected);
  g.As<IOleObject>()->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(std::pair(extent.cx, extent.cy), std::pair(expected.cx, expected.cy));
  Canvas canvas(60, 40);
  ASSERT_EQ(DrawView(g.get(), canvas), S_OK);
  EXPECT_EQ(std::pair(canvas.At(0, 0), canvas.At(3, 3)), std::pair(kBlack, RGB(128, 128, 128)));
}

TEST(LineGraph, APartThatCannotBeMadeFailsTheWhole) {
  for (const CLSID* part : {&CLSID_BackgroundLayer, &CLSID_YAxis, &CLSID_GraphicsContainer, &CLSID_LineLayer}) {
    FailingFactory refusing(*part, E_ACCESSDENIED);
    ILineGraph* graph = reinterpret_cast<ILineGraph*>(0x1);
    EXPECT_EQ(CoCreateInstance(CLSID_LineGraph, nullptr, CLSCTX_INPROC_SERVER, IID_ILineGraph,
                               reinterpret_cast<void**>(&graph)),
              E_ACCESSDENIED);
    EXPECT_EQ(graph, nullptr);
  }
}

// The graph's child windows: the title, then the hosts of the X, left Y and right Y axes and of the
// container.
std::array<HWND, 5> ChildrenOf(ILineGraph* g, HWND graph) {
  auto hostOf = [](IUnknown* part) {
    HWND own = nullptr;
    ComPtr<IOleWindow> window;
    if (SUCCEEDED(part->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&window)))) window->GetWindow(&own);
    return GetParent(own);
  };
  HWND title = nullptr;
  for (HWND child = GetWindow(graph, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    char name[16] = {};
    GetClassNameA(child, name, sizeof name);
    if (strcasecmp(name, "STATIC") == 0) title = child;
  }
  return {title, hostOf(Part(g, &IGraphBase::get_XAxis).get()), hostOf(Part(g, &IGraphBase::get_YAxis).get()),
          hostOf(Part(g, &IGraphBase::get_RightYAxis).get()),
          hostOf(Part(g, &IGraphBase::get_GraphicsContainer).get())};
}

TEST(LineGraph, LayoutOfTheChildWindows) {
  HostedControl hosted(CLSID_LineGraph, 400, 300);
  auto g = hosted.control.As<ILineGraph>();
  const std::array<HWND, 5> windows = ChildrenOf(g.get(), hosted.window);
  // Which of title, X, left Y and right Y are shown, the XAxisSize, then each window's place (x, y,
  // width, height) in the graph. Hidden windows stay where the last layout that showed them put them.
  const std::tuple<std::string, LONG, std::vector<LONG>> cases[] = {
      {"1111", 50, {0, 0, 400, 20, 0, 250, 400, 50, 0, 25, 70, 225, 330, 25, 70, 225, 70, 25, 260, 225}},
      {"0111", 50, {0, 0, 400, 20, 0, 250, 400, 50, 0, 5, 70, 245, 330, 5, 70, 245, 70, 5, 260, 245}},
      {"1110", 50, {0, 0, 400, 20, 0, 250, 458, 50, 0, 25, 70, 225, 330, 25, 70, 225, 70, 25, 318, 225}},
      {"0000", 0, {0, 0, 400, 20, 0, 300, 458, 0, 0, 5, 70, 295, 330, 25, 70, 225, 0, 5, 388, 295}},
  };
  for (const auto& [shown, xSize, places] : cases) {
    g->put_XAxisSize(xSize);
    g->put_TitleVisible(shown[0] == '1'), g->put_XAxisVisible(shown[1] == '1');
    g->put_YAxisVisible(shown[2] == '1'), g->put_RightYAxisVisible(shown[3] == '1');
    std::vector<LONG> at;
    std::string seen;
    for (HWND w : windows) {
      RECT r{};
      GetWindowRect(w, &r);
      MapWindowPoints(nullptr, hosted.window, reinterpret_cast<POINT*>(&r), 2);
      at.insert(at.end(), {r.left, r.top, r.right - r.left, r.bottom - r.top});
      seen += IsWindowVisible(w) ? '1' : '0';
    }
    EXPECT_EQ(std::pair(seen, at), std::pair(shown + "1", places));  // the container always shows
  }
  EXPECT_EQ(Get(Part(g.get(), &IGraphBase::get_XAxis).get(), &IAxis::get_Margin), 70);
}

// The grid colour and the back colour repaint at once; a new grid step waits for Redraw.
TEST(LineGraph, ColoursRepaintAtOnceAndTheGridStepWaits) {
  HostedControl hosted(CLSID_LineGraph, 400, 300);
  auto g = hosted.control.As<ILineGraph>();
  Part(g.get(), &IGraphBase::get_GridLayer)->put_AutoStep(VARIANT_FALSE);
  g->put_GridStyle(0);
  ASSERT_EQ(g->put_GridColor(kGreen), S_OK);
  Pump();
  // Plot 260 wide over 0..100: lines every 10 at 70 + 26k.
  EXPECT_EQ(std::tuple(hosted.Pixel(96, 100), hosted.Pixel(109, 100)), std::tuple(kGreen, kWhite));
  ASSERT_EQ(g->put_GridStepX(25), S_OK);
  Pump();
  EXPECT_EQ(hosted.Pixel(96, 100), kGreen);  // still the old lines
  g->Redraw();
  Pump();
  EXPECT_EQ(std::tuple(hosted.Pixel(96, 100), hosted.Pixel(135, 100)), std::tuple(kWhite, kGreen));

  constexpr COLORREF kSand = 0x0080C0E0;
  ASSERT_EQ(g->put_BackColor(kSand), S_OK);
  Pump();
  // The title line, the gap, the plot, the three strips, each away from text and lines.
  for (POINT p : {POINT{5, 10}, {200, 22}, {210, 100}, {5, 100}, {395, 100}, {200, 295}})
    EXPECT_EQ(hosted.Pixel(p.x, p.y), kSand) << p.x << "," << p.y;
  EXPECT_EQ(Get(Part(g.get(), &IGraphBase::get_RightYAxis).get(), &IAxis::get_BackColor), kSand);
}

TEST(LineGraph, LineMembersWorkOnTheLineLayerOnly) {
  auto g = Create<ILineGraph>(CLSID_LineGraph);
  auto name = [&](LONG i) {
    ComPtr<ILine> line;
    EXPECT_EQ(g->get_Lines(ByPosition(i), &line), S_OK);
    return line ? TextOf(Bstr::Attach(Get(line.get(), &ILine::get_Name)).get()) : u"?";
  };
  ASSERT_EQ(g->put_LineCount(3), S_OK);
  ComPtr<ILine> first;
  g->get_Lines(ByPosition(0), &first);
  EXPECT_EQ(std::tuple(Get(first.get(), &ILine::get_Color), Get(first.get(), &ILine::get_Style), name(2)),
            std::tuple(OLE_COLOR{0x00FF00}, 0, std::u16string()));
  first->put_Name(Bstr(u"kept").get());
  ASSERT_EQ(g->put_LineCount(3), S_OK);
  ASSERT_EQ(g->put_LineCount(1), S_OK);                   // the last ones go
  EXPECT_EQ(g->put_LineCount(INT32_MAX), E_OUTOFMEMORY);  // refused before it filled the memory
  EXPECT_EQ(std::pair(Get(g.get(), &ILineGraph::get_LineCount), name(0)), std::pair(1, std::u16string(u"kept")));
  auto right = Part(g.get(), &ILineGraph::get_RightLineLayer);
  ComPtr<ILine> added;
  right->AddLine(Bstr(u"r").get(), 0, 0, &added);
  EXPECT_EQ(Get(g.get(), &ILineGraph::get_LineCount), 1);
  g->RemoveLine(ByName(u"r"));  // not the graph's: the right layer keeps it
  ASSERT_EQ(g->put_LineCount(-4), S_OK);
  EXPECT_EQ(std::pair(Get(g.get(), &ILineGraph::get_LineCount), Get(right.get(), &ILineLayer::get_Count)),
            std::pair(0, 1));
}

TEST(LineGraph, SavesAndLoadsEverythingButTheLines) {
  auto g = Create<ILineGraph>(CLSID_LineGraph);
  g->put_Title(Bstr(u"Run 7").get()), g->put_BackColor(0x102030), g->put_TextColor(0x405060);
  g->put_GridColor(0x708090), g->put_GridStyle(1), g->put_Border(VARIANT_TRUE), g->put_GridLines(VARIANT_FALSE);
  g->put_XAxisSize(44), g->put_YAxisSize(66), g->put_TickLength(5), g->put_TickColor(0x00AA00);
  g->put_RightYAxisVisible(VARIANT_FALSE), g->SetExtents(-5, 5, 1, 2), g->put_LineCount(2);
  Part(g.get(), &IGraphBase::get_YAxis)->put_Precision(3);
  ComPtr<IStream> stream = StreamOf();
  ASSERT_EQ(g.As<IPersistStreamInit>()->Save(stream.get(), TRUE), S_OK);
  const std::vector<BYTE> bytes = BytesOf(stream.get());

  auto state = [](ILineGraph* graph) {
    double e[4];
    graph->GetExtents(&e[0], &e[1], &e[2], &e[3]);
    auto y = Part(graph, &IGraphBase::get_YAxis);
    return std::tuple(TextOf(Bstr::Attach(Get(graph, &IGraphBase::get_Title)).get()),
                      Get(graph, &IGraphBase::get_BackColor), Get(graph, &IGraphBase::get_TextColor),
                      Get(graph, &IGraphBase::get_GridColor), Get(graph, &IGraphBase::get_GridStyle),
                      Get(graph, &IGraphBase::get_Border), Get(graph, &IGraphBase::get_GridLines),
                      Get(graph, &IGraphBase::get_XAxisSize), Get(graph, &IGraphBase::get_YAxisSize),
                      Get(graph, &IGraphBase::get_TickLength), Get(graph, &IGraphBase::get_TickColor),
                      Get(graph, &IGraphBase::get_RightYAxisVisible), e[0], e[3], Get(y.get(), &IAxis::get_Precision),
                      Get(y.get(), &IAxis::get_ForeColor));
  };
  auto loaded = Create<ILineGraph>(CLSID_LineGraph);
  ASSERT_EQ(loaded.As<IPersistStreamInit>()->Load(StreamOf(bytes).get()), S_OK);
  EXPECT_EQ(state(loaded.get()), state(g.get()));
  EXPECT_EQ(Get(loaded.get(), &ILineGraph::get_LineCount), 0);
  // The graph's own section comes last; without its final entry the load fails.
  EXPECT_TRUE(FAILED(loaded.As<IPersistStreamInit>()->Load(StreamOf({bytes.begin(), bytes.end() - 1}).get())));
}

// A whole graph with a range of its own on the right: the tick pixels of the three axes.
TEST(LineGraph, AWholeGraphWithItsTicks) {
  HostedControl hosted(CLSID_LineGraph, 400, 300);
  auto g = hosted.control.As<ILineGraph>();
  g->SetExtents(0, 500, 0, 100), g->put_UseRightYAxis(VARIANT_TRUE);
  Part(g.get(), &IGraphBase::get_GraphicsContainer)->SetRightYLimits(900, 1100);
  g->Redraw();
  Pump();
  // The pixels from (x, y) on by (dx, dy): r for the ticks' red, w for white.
  auto tick = [&](int x, int y, int dx, int dy, int count) {
    std::string seen;
    for (int k = 0; k < count; ++k) {
      const COLORREF c = hosted.Pixel(x + k * dx, y + k * dy);
      seen += c == kTickRed ? 'r' : c == kWhite ? 'w' : '?';
    }
    return seen;
  };
  // X: 0..500 by 50 over 260 pixels from 70, on rows 250 and 251.
  for (int x : {70, 96, 122, 148, 174, 200, 226, 252, 278, 304, 330}) EXPECT_EQ(tick(x, 250, 0, 1, 3), "rrw") << x;
  // Left: 100..0 by 20 over 225 pixels from 25, pointing left from column 69.
  for (int y : {25, 70, 115, 160, 205}) EXPECT_EQ(tick(69, y, -1, 0, 4), "rrrw") << y;
  // Right: 1100..900 by 20, standing on column 330.
  for (int y : {25, 47, 70, 92, 115, 137, 160, 182, 205, 227}) EXPECT_EQ(tick(330, y, 1, 0, 4), "rrrw") << y;
}

}  // namespace
}  // namespace kelmira::test

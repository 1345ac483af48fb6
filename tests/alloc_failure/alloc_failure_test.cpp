// Key operations under failed allocations. Each one is run once to count its allocations (N);
// then, for every n in 1..N, on a fresh object set up the same way, the n-th allocation fails.
// The call must not throw, and must either fail and leave the object as it was or succeed as it
// does with memory to spare; releasing the object must give every block back. A drawing may skip
// what it could not draw, so its state is what a later ordinary drawing shows.
#include "support/canvas.h"
#include "support/create.h"
#include "support/failing_allocation.h"
#include "support/hosted_control.h"
#include "support/index_variant.h"
#include "support/invoke_args.h"
#include "support/line_data.h"
#include "support/memory_stream.h"
#include "support/pump.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace kelmira::test {
namespace {

// What one row works on: the object, its host window if it has one, and what the call hands over.
struct Subject {
  ComPtr<IUnknown> object;
  std::unique_ptr<HostedControl> hosted;
  ComPtr<IUnknown> input;
  Bstr text;
  Args args;
  DISPPARAMS* params = nullptr;
  std::unique_ptr<Canvas> canvas;
  template <class I>
  ComPtr<I> As() const {
    return object.As<I>();
  }
};

struct Operation {
  const char* name;
  std::function<void(Subject&)> make;
  std::function<HRESULT(Subject&)> run;
  std::function<std::string(Subject&)> state;
};

template <class... T>
std::string Text(const T&... values) {
  return ((std::to_string(values) + ",") + ...);
}
std::string Text(BSTR s) { return std::string(reinterpret_cast<const char*>(s), SysStringByteLen(s)) + ","; }

std::string Saved(IUnknown* object) {
  ComPtr<IStream> stream = StreamOf();
  const HRESULT hr = ComPtr<IUnknown>(object).As<IPersistStreamInit>()->Save(stream.get(), FALSE);
  const std::vector<BYTE> bytes = BytesOf(stream.get());
  return Text(hr) + std::string(bytes.begin(), bytes.end());
}

std::string DataState(ILineData* data) {
  LONG size = 0;
  VARIANT_BOOL useX = 0, doubleX = 0;
  data->get_Size(&size), data->get_UseXData(&useX), data->get_UseDoubleForXData(&doubleX);
  std::string out = Text(size, useX, doubleX);
  for (LONG i = 0; i < size; ++i) {
    double x = 0, y = 0;
    LONG mask = 0;
    data->get_DataX(i, &x), data->get_DataY(i, &y), data->get_Mask(i, &mask);
    out += Text(x, y, mask);
  }
  return out;
}

std::string LayersState(IGraphicsContainer* container) {
  LONG count = 0;
  container->get_Count(&count);
  std::string out = Text(count);
  for (LONG i = 0; i < count; ++i) {
    Bstr name;
    container->get_LayerName(i, &name);
    out += Text(name.get());
  }
  return out;
}

std::string LinesState(ILineLayer* layer) {
  LONG count = 0;
  layer->get_Count(&count);
  std::string out = Text(count);
  for (LONG i = 0; i < count; ++i) {
    ComPtr<ILine> line;
    layer->get_Lines(ByPosition(i), &line);
    Bstr name;
    OLE_COLOR color = 0;
    LONG style = 0;
    line->get_Name(&name), line->get_Color(&color), line->get_Style(&style);
    out += Text(name.get()) + Text(color, style);
  }
  return out;
}

// The graph's stream, title and font, and whether every axis shares that font.
std::string GraphState(Subject& s) {
  auto graph = s.As<ILineGraph>();
  Bstr title;
  ComPtr<IFontDisp> font;
  ComPtr<IXAxis> x;
  ComPtr<IYAxis> y, right;
  graph->get_Title(&title), graph->get_Font(&font), graph->get_XAxis(&x), graph->get_YAxis(&y);
  graph->get_RightYAxis(&right);
  std::string out = Saved(graph.get()) + Text(title.get());
  for (IAxis* axis : {static_cast<IAxis*>(x.get()), static_cast<IAxis*>(y.get()), static_cast<IAxis*>(right.get())}) {
    ComPtr<IFontDisp> shared;
    axis->get_Font(&shared);
    out += shared == font ? "same font," : "other font,";
  }
  return out;
}

ComPtr<IFontDisp> NewFont(const char16_t* face, LONGLONG tenThousandthsOfPoint) {
  FONTDESC desc{sizeof(FONTDESC), const_cast<LPOLESTR>(face), {}, 700, 0, FALSE, FALSE, FALSE};
  desc.cySize.int64 = tenThousandthsOfPoint;
  ComPtr<IFontDisp> font;
  OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(&font));
  return font;
}

// A plot with a background, a grid and a line layer holding one line of ten points.
void MakePlot(Subject& s) {
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  VARIANT_BOOL added = 0;
  auto lines = Create<ILineLayer>(CLSID_LineLayer);
  container->AddLayer(Bstr(u"Background").get(), Create<IGraphicsLayer>(CLSID_BackgroundLayer).get(), &added);
  container->AddLayer(Bstr(u"Grid").get(), Create<IGraphicsLayer>(CLSID_GridLayer).get(), &added);
  container->AddLayer(Bstr(u"Line").get(), lines.As<IGraphicsLayer>().get(), &added);
  ComPtr<ILine> line;
  lines->AddLine(Bstr(u"one").get(), kBlue, 0, &line);
  line->put_Data(NewLineData({10, 80, 20, 90, 30, 70, 40, 60, 50, 55}).get());
  container->SetExtents(0, 9, 0, 100), container->SetLimits(0, 9, 0, 100);
  s.object = container.get();
  s.canvas = std::make_unique<Canvas>(120, 80);
}

std::string PlotPixels(Subject& s) {
  Canvas canvas(120, 80);
  const HRESULT hr = DrawView(s.object.get(), canvas);
  const std::vector<std::uint32_t> bits = canvas.Bits();
  return Text(hr) + std::string(reinterpret_cast<const char*>(bits.data()), bits.size() * sizeof bits[0]);
}

// A hosted line graph with one line and a title and font of its own.
void MakeHostedGraph(Subject& s) {
  s.hosted = std::make_unique<HostedControl>(CLSID_LineGraph, 240, 160);
  s.object = s.hosted->control;
  auto graph = s.As<ILineGraph>();
  ComPtr<ILine> line;
  graph->AddLine(Bstr(u"one").get(), kRed, 0, &line);
  line->put_Data(NewLineData({1, 8, 2, 9, 3, 7}).get());
  graph->SetExtents(0, 5, 0, 10), graph->SetLimits(0, 5, 0, 10);
  Pump();
}

// What the graph's window shows after an ordinary repaint of it and its children.
std::string WindowPixels(Subject& s) {
  const HWND window = s.hosted->window;
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  Pump();
  Canvas canvas(240, 160);
  const HDC dc = GetDC(window);
  BitBlt(canvas.dc(), 0, 0, 240, 160, dc, 0, 0, SRCCOPY);
  ReleaseDC(window, dc);
  const std::vector<std::uint32_t> bits = canvas.Bits();
  return std::string(reinterpret_cast<const char*>(bits.data()), bits.size() * sizeof bits[0]);
}

// A graph whose saved stream differs from a new one's in every section.
ComPtr<IStream> ChangedGraphStream() {
  auto graph = Create<ILineGraph>(CLSID_LineGraph);
  graph->put_Title(Bstr(u"Loaded").get());
  graph->put_Font(NewFont(u"Courier New", 120000).get());
  graph->put_BackColor(kGreen), graph->put_GridStyle(0), graph->put_XAxisSize(30);
  graph->SetExtents(-5, 5, -1, 1), graph->SetLimits(-2, 2, -1, 1);
  ComPtr<IXAxis> x;
  graph->get_XAxis(&x);
  x->put_Title(Bstr(u"seconds").get());
  ComPtr<IStream> stream = StreamOf();
  graph.As<IPersistStreamInit>()->Save(stream.get(), FALSE);
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  return stream;
}

ComPtr<IStream> ChangedContainerStream() {
  auto container = Create<IGraphicsContainer>(CLSID_GraphicsContainer);
  container->SetExtents(-5, 5, -1, 1), container->SetLimits(-2, 2, -1, 1);
  ComPtr<IStream> stream = StreamOf();
  container.As<IPersistStreamInit>()->Save(stream.get(), FALSE);
  stream->Seek(LARGE_INTEGER{0}, STREAM_SEEK_SET, nullptr);
  return stream;
}

HRESULT Invoke(Subject& s, DISPID id) {
  return s.As<IDispatch>()->Invoke(id, IID_NULL, 0, DISPATCH_PROPERTYPUT, s.params, nullptr, nullptr, nullptr);
}

HRESULT Painted(Subject& s, HRESULT hr) {
  Pump();
  return hr;
}
std::string PaintedGraph(Subject& s) { return GraphState(s) + WindowPixels(s); }

auto MakeData(bool useX) {
  return [useX](Subject& s) {
    s.object = NewLineData({1, 2, 3, 4, 5}, useX ? XKind::Single : XKind::Index, {10, 20, 30, 40, 50}).get();
  };
}
std::string OfData(Subject& s) { return DataState(s.As<ILineData>().get()); }
void MakeGraph(Subject& s) { s.object = Create<ILineGraph>(CLSID_LineGraph).get(); }
void MakeContainer(Subject& s) { s.object = Create<IGraphicsContainer>(CLSID_GraphicsContainer).get(); }

const Operation kOperations[] = {
    {"LineData.put_Size", MakeData(true), [](Subject& s) { return s.As<ILineData>()->put_Size(300); }, OfData},
    {"LineData.put_UseXData", MakeData(false), [](Subject& s) { return s.As<ILineData>()->put_UseXData(-1); }, OfData},
    {"LineData.put_UseDoubleForXData", MakeData(true),
     [](Subject& s) { return s.As<ILineData>()->put_UseDoubleForXData(-1); }, OfData},
    {"GraphicsContainer.AddLayer",
     [](Subject& s) {
       MakePlot(s);  // four layers fill the stack's room: the fifth makes it grow
       VARIANT_BOOL added = 0;
       s.As<IGraphicsContainer>()->AddLayer(nullptr, Create<IGraphicsLayer>(CLSID_GridLayer).get(), &added);
       s.input = Create<IUnknown>(CLSID_GridLayer), s.text = Bstr(u"Top");
     },
     [](Subject& s) {
       VARIANT_BOOL added = 0;
       return s.As<IGraphicsContainer>()->AddLayer(s.text.get(), s.input.As<IGraphicsLayer>().get(), &added);
     },
     [](Subject& s) { return LayersState(s.As<IGraphicsContainer>().get()); }},
    {"LineLayer.AddLine",
     [](Subject& s) {
       s.object = Create<ILineLayer>(CLSID_LineLayer).get(), s.text = Bstr(u"second");
       ComPtr<ILine> line;
       s.As<ILineLayer>()->AddLine(Bstr(u"first").get(), kRed, 1, &line);
     },
     [](Subject& s) {
       ComPtr<ILine> line;
       return s.As<ILineLayer>()->AddLine(s.text.get(), kGreen, 2, &line);
     },
     [](Subject& s) { return LinesState(s.As<ILineLayer>().get()); }},
    {"GraphicsContainer.Draw", MakePlot,
     [](Subject& s) {
       s.As<IGraphicsContainer>()->Redraw();
       return DrawView(s.object.get(), *s.canvas);
     },
     PlotPixels},
    {"LineGraph.paint", MakeHostedGraph,
     [](Subject& s) {
       const HRESULT hr = s.As<ILineGraph>()->Redraw();
       Pump();
       return hr;
     },
     WindowPixels},
    {"GraphicsContainer.Save", [](Subject& s) { MakePlot(s), s.input = StreamOf().get(); },
     [](Subject& s) { return s.As<IPersistStreamInit>()->Save(s.input.As<IStream>().get(), TRUE); },
     [](Subject& s) { return Saved(s.object.get()); }},
    {"GraphicsContainer.Load", [](Subject& s) { MakeContainer(s), s.input = ChangedContainerStream().get(); },
     [](Subject& s) { return s.As<IPersistStreamInit>()->Load(s.input.As<IStream>().get()); },
     [](Subject& s) { return Saved(s.object.get()); }},
    {"LineGraph.Save", [](Subject& s) { MakeGraph(s), s.input = StreamOf().get(); },
     [](Subject& s) { return s.As<IPersistStreamInit>()->Save(s.input.As<IStream>().get(), TRUE); }, GraphState},
    // A new graph's axes draw 2-pixel ticks while the graph says 3, and a load (or the undoing of
    // one) hands them the graph's value; a graph that agrees with its axes is put back exactly.
    {"LineGraph.Load",
     [](Subject& s) {
       MakeGraph(s), s.input = ChangedGraphStream().get();
       s.As<ILineGraph>()->put_TickLength(3);
     },
     [](Subject& s) { return s.As<IPersistStreamInit>()->Load(s.input.As<IStream>().get()); }, GraphState},
    // Puts on a hosted graph, with the repaint they cause.
    {"LineGraph.put_Title", [](Subject& s) { MakeHostedGraph(s), s.text = Bstr(u"A title long enough"); },
     [](Subject& s) { return Painted(s, s.As<ILineGraph>()->put_Title(s.text.get())); }, PaintedGraph},
    {"LineGraph.put_Font", [](Subject& s) { MakeHostedGraph(s), s.input = NewFont(u"Courier New", 140000).get(); },
     [](Subject& s) { return Painted(s, s.As<ILineGraph>()->put_Font(s.input.As<IFontDisp>().get())); }, PaintedGraph},
    {"LineGraph.Invoke(Title)",
     [](Subject& s) { MakeHostedGraph(s), s.params = s.args.Str(u"A title long enough").AsPut().Params(); },
     [](Subject& s) { return Painted(s, Invoke(s, 0x67)); }, PaintedGraph},
    {"LineGraph.Invoke(Font)",
     [](Subject& s) {
       MakeHostedGraph(s);
       s.params = s.args.Object(NewFont(u"Courier New", 140000).get(), VT_DISPATCH).AsPut().Params();
     },
     [](Subject& s) { return Painted(s, Invoke(s, 0x73)); }, PaintedGraph},
};

// Runs the operation on a fresh subject with the n-th allocation failing (0: none fails);
// gives the result and the state after it, and how many allocations the call made.
struct Outcome {
  HRESULT hr = E_FAIL;
  std::string state;
  std::uint64_t allocations = 0;
  bool failed = false;
  bool threw = false;
};
Outcome RunOnce(const Operation& op, std::uint64_t n) {
  Subject s;
  op.make(s);
  Outcome out;
  const std::uint64_t start = AllocationCount();
  if (n) FailAllocation(n);
  try {
    out.hr = op.run(s);
  } catch (...) {
    out.threw = true;
  }
  out.failed = DisarmAllocationFailure();
  out.allocations = AllocationCount() - start;
  out.state = op.state(s);
  return out;
}

class AllocationFailure : public ::testing::TestWithParam<Operation> {};

TEST_P(AllocationFailure, FailsCleanlyOrSucceeds) {
  const Operation& op = GetParam();
  // Warmed up first, so that what the process keeps for good (classes, caches) is already there.
  RunOnce(op, 0);
  std::string before;
  {
    Subject untouched;
    op.make(untouched);
    before = op.state(untouched);
  }
  const Outcome normal = RunOnce(op, 0);
  ASSERT_TRUE(SUCCEEDED(normal.hr)) << op.name;
  ASSERT_GT(normal.allocations, 0u) << op.name;
  // The first fault of an operation is reported; the ones after it would repeat it.
  for (std::uint64_t n = 1; n <= normal.allocations && !HasFailure(); ++n) {
    // Run twice: what the process keeps for good after this failure (a font realised in place of
    // the one that could not be made) is made by the first run, and only a leak shows in the second.
    RunOnce(op, n);
    const std::int64_t live = LiveBlocks();
    {
      const Outcome out = RunOnce(op, n);
      ASSERT_FALSE(out.threw) << op.name << ": an exception left the call at allocation " << n;
      EXPECT_TRUE(out.failed) << op.name << ": allocation " << n << " never came";
      if (FAILED(out.hr)) {
        EXPECT_TRUE(out.state == before) << op.name << " failed with " << std::hex << out.hr << std::dec
                                         << " but changed the object at allocation " << n;
      } else {
        EXPECT_TRUE(out.state == normal.state) << op.name << " succeeded wrongly at allocation " << n;
      }
    }
    if (HasFailure()) break;
    EXPECT_EQ(LiveBlocks(), live) << op.name << " leaked at allocation " << n;
  }
  std::printf("%s: N = %llu\n", op.name, static_cast<unsigned long long>(normal.allocations));
}

INSTANTIATE_TEST_SUITE_P(KeyOperations, AllocationFailure, ::testing::ValuesIn(kOperations),
                         [](const ::testing::TestParamInfo<Operation>& row) {
                           std::string name = row.param.name;
                           for (char& c : name)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return name;
                         });

}  // namespace
}  // namespace kelmira::test

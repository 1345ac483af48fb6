// A LineGraph as a host uses it, on 1000 x 600 pixels with one line of 1e6 points (smooth, and
// noisy with /noisy:1):
// - BM_LineGraphFirstPaint: create the graph, host it, give it the line and paint it once. Its
//   floor, timed in the same iterations, is the bare line layer drawing the same points into a
//   bitmap of the plot's size: "floor_ratio" is the graph's time over that.
//   "peak_extra_MiB" is the most memory allocated at once during the creation and paint, beyond
//   what existed before (the data is made once, outside), and "budget_MiB" is three window-sized
//   bitmaps plus 4 MiB.
// - BM_LineGraphRepaint: the whole window and its children repainted with nothing changed (the
//   container copies its kept picture). "memcpy_ratio" is that over a memcpy of the window's pixels.
#include "bench_bitmap.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform/atlhost.h>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {

std::atomic<std::size_t> g_live{0}, g_peak{0};

void* Counted(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  const std::size_t live = g_live += malloc_usable_size(p);
  std::size_t peak = g_peak.load();
  while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {
  }
  return p;
}
void Uncounted(void* p) {
  if (!p) return;
  g_live -= malloc_usable_size(p);
  std::free(p);
}

}  // namespace

// Every allocation of the process, the libraries' included, goes through these.
void* operator new(std::size_t n) { return Counted(n); }
void* operator new[](std::size_t n) { return Counted(n); }
void operator delete(void* p) noexcept { Uncounted(p); }
void operator delete[](void* p) noexcept { Uncounted(p); }
void operator delete(void* p, std::size_t) noexcept { Uncounted(p); }
void operator delete[](void* p, std::size_t) noexcept { Uncounted(p); }

namespace {

constexpr int kWidth = 1000, kHeight = 600, kPoints = 1000000;
// The plot inside the graph's default strips: 70 on either side, 25 above, 50 below.
constexpr int kPlotWidth = kWidth - 140, kPlotHeight = kHeight - 75;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void PumpAll() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Smooth: one slow sine. Noisy: the same with a fast ripple, so most points leave the last span.
kelmira::ComPtr<ILineData> MakeData(bool noisy) {
  kelmira::ComPtr<ILineData> data;
  CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData, reinterpret_cast<void**>(&data));
  if (!data) return data;
  data->put_UseXData(VARIANT_FALSE);
  data->put_Size(kPoints);
  float* y = nullptr;
  data->GetDataPtr(&y);
  for (int i = 0; i < kPoints; ++i)
    y[i] = static_cast<float>(std::sin(i * 6e-5) + (noisy ? 0.1 * std::sin(i * 0.37) : 0.0));
  return data;
}

// A hosted graph showing the data; null when something could not be made.
struct HostedGraph {
  HWND host = nullptr;
  kelmira::ComPtr<ILineGraph> graph;

  explicit HostedGraph(ILineData* data) {
    host = CreateWindowExA(0, "AtlAxWin", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr, nullptr,
                           nullptr);
    CoCreateInstance(CLSID_LineGraph, nullptr, CLSCTX_INPROC_SERVER, IID_ILineGraph, reinterpret_cast<void**>(&graph));
    if (!host || !graph || FAILED(AtlAxAttachControl(graph.get(), host, nullptr))) return;
    kelmira::ComPtr<ILine> line;
    kelmira::Bstr name(u"signal");
    graph->AddLine(name.get(), 0x00C00000, 0, &line);
    if (line) line->put_Data(data);
    graph->SetExtents(0, kPoints, -1.2, 1.2);
    UpdateWindow(host);
    PumpAll();
  }
  ~HostedGraph() {
    graph.Reset();
    if (host) DestroyWindow(host);
    PumpAll();
  }
  bool ok() const { return host && graph; }
};

void BM_LineGraphFirstPaint(benchmark::State& state) {
  CoInitialize(nullptr);
  kelmira::ComPtr<ILineData> data = MakeData(state.range(0) != 0);
  kelmira::ComPtr<ILineLayer> layer;
  CoCreateInstance(CLSID_LineLayer, nullptr, CLSCTX_INPROC_SERVER, IID_ILineLayer, reinterpret_cast<void**>(&layer));
  if (!data || !layer) {
    state.SkipWithError("cannot make the data or the layer");
    return;
  }
  kelmira::ComPtr<ILine> floorLine;
  kelmira::Bstr name(u"signal");
  layer->AddLine(name.get(), 0x00C00000, 0, &floorLine);
  floorLine->put_Data(data.get());
  bench::Bitmap plot(kPlotWidth, kPlotHeight);
  const DrawLayerInfo info{static_cast<LONG>(HandleToUlong(plot.dc())),
                           0,
                           0,
                           kPlotWidth,
                           kPlotHeight,
                           0.0,
                           -1.2,
                           static_cast<double>(kPlotWidth) / kPoints,
                           kPlotHeight / 2.4};

  double graphTime = 0, floorTime = 0;
  std::size_t peakExtra = 0;
  for (auto _ : state) {
    const std::size_t before = g_live.load();
    g_peak = before;
    const auto t0 = std::chrono::steady_clock::now();
    {
      HostedGraph hosted(data.get());
      const auto t1 = std::chrono::steady_clock::now();
      if (!hosted.ok()) {
        state.SkipWithError("cannot host a LineGraph");
        break;
      }
      peakExtra = std::max(peakExtra, g_peak.load() - before);
      graphTime += Seconds(t1 - t0);
      state.SetIterationTime(Seconds(t1 - t0));
    }
    const auto t2 = std::chrono::steady_clock::now();
    layer->Redraw(info);
    floorTime += Seconds(std::chrono::steady_clock::now() - t2);
  }
  constexpr double kMiB = 1024.0 * 1024.0;
  state.counters["floor_ratio"] = floorTime > 0 ? graphTime / floorTime : 0;
  state.counters["peak_extra_MiB"] = static_cast<double>(peakExtra) / kMiB;
  state.counters["budget_MiB"] = (3.0 * kWidth * kHeight * 4 + 4 * kMiB) / kMiB;
}
BENCHMARK(BM_LineGraphFirstPaint)->ArgName("noisy")->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_LineGraphRepaint(benchmark::State& state) {
  CoInitialize(nullptr);
  kelmira::ComPtr<ILineData> data = MakeData(false);
  HostedGraph hosted(data.get());
  if (!data || !hosted.ok()) {
    state.SkipWithError("cannot host a LineGraph");
    return;
  }
  std::vector<std::uint32_t> from(static_cast<std::size_t>(kWidth) * kHeight, 1), to(from.size());
  double repaintTime = 0, copyTime = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    RedrawWindow(hosted.host, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const auto t1 = std::chrono::steady_clock::now();
    std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    const auto t2 = std::chrono::steady_clock::now();
    repaintTime += Seconds(t1 - t0);
    copyTime += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.counters["memcpy_ratio"] = copyTime > 0 ? repaintTime / copyTime : 0;
}
BENCHMARK(BM_LineGraphRepaint)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

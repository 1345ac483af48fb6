// A zoom step of the viewer: a LineGraph in a 1000 x 700 "AtlAxWin" window showing one line of
// 1e7 points (X = i * 0.001 in double precision, Y a random walk in single precision). Each
// iteration sets new limits on the container at the given zoom depth (1: the whole line; 2, 16,
// 1000: that fraction of it, around the middle, shifted a little every step), then the graph's
// Redraw and UpdateWindow of the host, so that the layers and the axes all repaint.
// Its floor, timed in the same iterations, is one pass summing the 1e7 doubles and floats the line
// reads: "floor_ratio" is the zoom step's time over that, "floor_ms" the floor's own time.
#include <kelmira/kelmira.h>
#include <kelmira/platform/atlhost.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <random>

namespace {

constexpr int kWidth = 1000, kHeight = 700, kPoints = 10000000;
constexpr double kXStep = 0.001;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void PumpAll() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

struct Measurement {
  kelmira::ComPtr<ILineData> data;
  float* y = nullptr;
  double* x = nullptr;
  double yMin = 0, yMax = 0;
};

Measurement MakeMeasurement() {
  Measurement m;
  CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData, reinterpret_cast<void**>(&m.data));
  if (!m.data) return m;
  m.data->put_UseXData(VARIANT_TRUE);
  m.data->put_UseDoubleForXData(VARIANT_TRUE);
  if (FAILED(m.data->put_Size(kPoints)) || FAILED(m.data->GetDataPtr(&m.y)) ||
      FAILED(m.data->get_DataPtrXDouble(&m.x)) || !m.y || !m.x) {
    m.data.Reset();
    return m;
  }
  std::mt19937 random(11);
  std::normal_distribution<float> step(0.0f, 1.0f);
  float level = 0;
  for (int i = 0; i < kPoints; ++i) {
    m.x[i] = i * kXStep;
    level += step(random);
    m.y[i] = level;
    m.yMin = std::min<double>(m.yMin, level);
    m.yMax = std::max<double>(m.yMax, level);
  }
  return m;
}

double Floor(const Measurement& m) {
  double sum = 0;
  float sumY = 0;
  for (int i = 0; i < kPoints; ++i) {
    sum += m.x[i];
    sumY += m.y[i];
  }
  return sum + sumY;
}

void BM_ZoomStep(benchmark::State& state) {
  CoInitialize(nullptr);
  const Measurement m = MakeMeasurement();
  HWND host = CreateWindowExA(0, "AtlAxWin", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                              nullptr, nullptr);
  kelmira::ComPtr<ILineGraph> graph;
  CoCreateInstance(CLSID_LineGraph, nullptr, CLSCTX_INPROC_SERVER, IID_ILineGraph, reinterpret_cast<void**>(&graph));
  kelmira::ComPtr<IGraphicsContainer> container;
  kelmira::ComPtr<ILine> line;
  kelmira::Bstr name(u"measurement");
  if (!m.data || !host || !graph || FAILED(AtlAxAttachControl(graph.get(), host, nullptr)) ||
      FAILED(graph->get_GraphicsContainer(&container)) || !container ||
      FAILED(graph->AddLine(name.get(), 0x00C00000, 0, &line)) || !line || FAILED(line->put_Data(m.data.get()))) {
    state.SkipWithError("cannot host a LineGraph with the data");
    return;
  }
  const double span = kPoints * kXStep, depth = static_cast<double>(state.range(0));
  graph->SetExtents(0, span, m.yMin, m.yMax);
  UpdateWindow(host);
  PumpAll();

  double stepTime = 0, floorTime = 0;
  std::int64_t n = 0;
  for (auto _ : state) {
    // Around the middle, moved by a hundredth of the view each step so that every step is new.
    const double width = span / depth, low = (span - width) / 2 + width * 0.01 * static_cast<double>(n++ % 8);
    const auto t0 = std::chrono::steady_clock::now();
    container->SetLimits(low, low + width, m.yMin, m.yMax);
    graph->Redraw();
    UpdateWindow(host);
    PumpAll();
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(Floor(m));
    const auto t2 = std::chrono::steady_clock::now();
    stepTime += Seconds(t1 - t0);
    floorTime += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.counters["floor_ratio"] = floorTime > 0 ? stepTime / floorTime : 0;
  state.counters["floor_ms"] = 1e3 * floorTime / std::max<double>(1, static_cast<double>(state.iterations()));
  graph.Reset();
  container.Reset();
  line.Reset();
  DestroyWindow(host);
  PumpAll();
}
BENCHMARK(BM_ZoomStep)
    ->ArgName("depth")
    ->Arg(1)
    ->Arg(2)
    ->Arg(16)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

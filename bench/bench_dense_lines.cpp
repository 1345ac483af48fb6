// A line layer drawing 1e7 points over 1000 x 600 with a one-pixel solid pen, beside two floors
// on the same data, all timed in each iteration so that machine noise falls on every one alike:
// - floor (a), "read": every value the layer must read (Y, and X when there is an array) read once
//   with SSE2, the memory limit;
// - floor (b), "minmax": a plain scalar per-column min/max drawn as one vertical span per column,
//   what a quick plotter that does not paint the exact pixels does.
// The counters "x_read" and "x_minmax" are the layer's time over each floor. Data: "noisy" jumps
// up to about 130 pixels from point to point, "smooth" is three sine periods across the width;
// X is the point index, sorted floats or sorted doubles.
#include "bench_bitmap.h"

#include <kelmira/kelmira.h>
#include <kelmira/platform/atlhost.h>

#include <benchmark/benchmark.h>
#include <emmintrin.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

using kelmira::ComPtr;

constexpr LONG kPoints = 10'000'000;
enum class XKind { Index, Single, Double };

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

ComPtr<ILineData> MakeData(XKind kind, bool noisy) {
  ComPtr<ILineData> data;
  CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData, reinterpret_cast<void**>(&data));
  if (!data) return data;
  data->put_UseXData(kind == XKind::Index ? VARIANT_FALSE : VARIANT_TRUE);
  data->put_UseDoubleForXData(kind == XKind::Double ? VARIANT_TRUE : VARIANT_FALSE);
  data->put_Size(kPoints);
  float* y = nullptr;
  data->GetDataPtr(&y);
  std::mt19937 random(11);
  for (LONG i = 0; i < kPoints; ++i) {
    const double wave = 50.0 + 40.0 * std::sin(3.0 * 2.0 * 3.141592653589793 * i / kPoints);
    y[i] = static_cast<float>(noisy ? wave + (static_cast<int>(random() % 4001) - 2000) * 0.005 : wave);
  }
  if (kind == XKind::Single) {
    float* x = nullptr;
    data->GetDataPtrX(&x);
    for (LONG i = 0; i < kPoints; ++i) x[i] = static_cast<float>(i);
  } else if (kind == XKind::Double) {
    double* x = nullptr;
    data->get_DataPtrXDouble(&x);
    for (LONG i = 0; i < kPoints; ++i) x[i] = static_cast<double>(i);
  }
  return data;
}

// Every value the layer has to read, read once: the Y floats and, when there is one, the X array.
float ReadFloor(const float* y, const float* xSingle, const double* xDouble) {
  __m128 sum = _mm_setzero_ps();
  __m128d sumX = _mm_setzero_pd();
  for (LONG i = 0; i + 4 <= kPoints; i += 4) {
    sum = _mm_add_ps(sum, _mm_loadu_ps(y + i));
    if (xSingle) sum = _mm_add_ps(sum, _mm_loadu_ps(xSingle + i));
    if (xDouble) sumX = _mm_add_pd(sumX, _mm_add_pd(_mm_loadu_pd(xDouble + i), _mm_loadu_pd(xDouble + i + 2)));
  }
  float out[4];
  double outX[2];
  _mm_storeu_ps(out, sum);
  _mm_storeu_pd(outX, sumX);
  return out[0] + out[1] + out[2] + out[3] + static_cast<float>(outX[0] + outX[1]);
}

void MinMaxFloor(HDC dc, const float* y, const DrawLayerInfo& info) {
  const double yScale = info.YScale, bottom = info.bottom - 1;
  const double perColumn = 1.0 / info.XScale;  // points per column; index X makes the bounds known
  LONG first = 0;
  for (LONG column = 0; first < kPoints; ++column) {
    const LONG last = std::min<LONG>(kPoints, static_cast<LONG>(std::ceil((column + 1) * perColumn)));
    float lo = y[first], hi = y[first];
    for (LONG i = first + 1; i < last; ++i) {
      lo = y[i] < lo ? y[i] : lo;
      hi = y[i] > hi ? y[i] : hi;
    }
    MoveToEx(dc, column, static_cast<int>(bottom - (hi - info.YMin) * yScale), nullptr);
    LineTo(dc, column, static_cast<int>(bottom - (lo - info.YMin) * yScale) + 1);
    first = last;
  }
}

void DenseLine(benchmark::State& state, XKind kind, bool noisy) {
  CoInitialize(nullptr);
  ComPtr<ILineData> data = MakeData(kind, noisy);
  ComPtr<ILineLayer> layer;
  CoCreateInstance(CLSID_LineLayer, nullptr, CLSCTX_INPROC_SERVER, IID_ILineLayer, reinterpret_cast<void**>(&layer));
  if (!data || !layer) {
    state.SkipWithError("the module's classes are not available");
    return;
  }
  ComPtr<ILine> line;
  layer->AddLine(nullptr, 0x00FFFFFF, 0, &line);
  line->put_Data(data.get());
  layer->put_Offset(0);
  float* y = nullptr;
  float* xSingle = nullptr;
  double* xDouble = nullptr;
  data->GetDataPtr(&y);
  if (kind == XKind::Single) data->GetDataPtrX(&xSingle);
  if (kind == XKind::Double) data->get_DataPtrXDouble(&xDouble);

  bench::Bitmap bitmap;
  DrawLayerInfo info{};
  info.hDC = static_cast<LONG>(HandleToUlong(bitmap.dc()));
  info.right = bench::kWidth;
  info.bottom = bench::kHeight;
  info.XScale = bench::kWidth / static_cast<double>(kPoints);
  info.YScale = bench::kHeight / 100.0;
  double layerTime = 0, readTime = 0, minmaxTime = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    layer->Redraw(info);
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(ReadFloor(y, xSingle, xDouble));
    const auto t2 = std::chrono::steady_clock::now();
    MinMaxFloor(bitmap.dc(), y, info);
    benchmark::ClobberMemory();
    const auto t3 = std::chrono::steady_clock::now();
    layerTime += Seconds(t1 - t0);
    readTime += Seconds(t2 - t1);
    minmaxTime += Seconds(t3 - t2);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.counters["x_read"] = readTime > 0 ? layerTime / readTime : 0;
  state.counters["x_minmax"] = minmaxTime > 0 ? layerTime / minmaxTime : 0;
  state.counters["minmax_ms"] = 1e3 * minmaxTime / std::max<double>(1, static_cast<double>(state.iterations()));
}

#define KELMIRA_DENSE_BENCH(Name, kind, noisy)                               \
  void BM_##Name(benchmark::State& state) { DenseLine(state, kind, noisy); } \
  BENCHMARK(BM_##Name)->UseManualTime()->Unit(benchmark::kMillisecond)

KELMIRA_DENSE_BENCH(NoisyIndexX, XKind::Index, true);
KELMIRA_DENSE_BENCH(SmoothIndexX, XKind::Index, false);
KELMIRA_DENSE_BENCH(NoisyFloatX, XKind::Single, true);
KELMIRA_DENSE_BENCH(NoisyDoubleX, XKind::Double, true);
KELMIRA_DENSE_BENCH(SmoothFloatX, XKind::Single, false);
KELMIRA_DENSE_BENCH(SmoothDoubleX, XKind::Double, false);

}  // namespace

namespace {

// A container window repainted with nothing changed: it copies its kept picture. "x_memcpy" is
// that over a memcpy of the window's pixels.
void BM_ContainerRepaintKept(benchmark::State& state) {
  CoInitialize(nullptr);
  ComPtr<IGraphicsContainer> container;
  CoCreateInstance(CLSID_GraphicsContainer, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphicsContainer,
                   reinterpret_cast<void**>(&container));
  HWND host = CreateWindowExA(0, "AtlAxWin", "", WS_POPUP | WS_VISIBLE, 0, 0, bench::kWidth, bench::kHeight, nullptr,
                              nullptr, nullptr, nullptr);
  if (!container || !host || FAILED(AtlAxAttachControl(container.get(), host, nullptr))) {
    state.SkipWithError("cannot host a GraphicsContainer");
    return;
  }
  HWND window = GetWindow(host, GW_CHILD);
  UpdateWindow(window);
  std::vector<std::uint32_t> from(static_cast<std::size_t>(bench::kWidth) * bench::kHeight, 1), to(from.size());
  double repaint = 0, copy = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    const auto t1 = std::chrono::steady_clock::now();
    std::memcpy(to.data(), from.data(), from.size() * sizeof(std::uint32_t));
    benchmark::DoNotOptimize(to.data());
    benchmark::ClobberMemory();
    const auto t2 = std::chrono::steady_clock::now();
    repaint += Seconds(t1 - t0);
    copy += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.counters["x_memcpy"] = copy > 0 ? repaint / copy : 0;
  container.Reset();
  DestroyWindow(host);
}
BENCHMARK(BM_ContainerRepaintKept)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

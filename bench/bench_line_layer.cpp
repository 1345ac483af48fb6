// Redraw of a line layer over a 1000 x 600 memory bitmap: the path every plot takes. Items are
// points. Lines have 1e6 or 1e7 points with X as the index, as floats or as doubles, with every
// point shown or with one point in a hundred hidden. "Noisy" data jumps up to 6 pixels from point
// to point, so most points leave the last drawn segment and are drawn (the surface's cost
// dominates); "Smooth" data moves less than a pixel per point, so the column merge leaves a few
// segments per column and the point loop dominates.
#include <kelmira/kelmira.h>

#include <benchmark/benchmark.h>

#include "bench_bitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>

namespace {

using kelmira::ComPtr;

using bench::Bitmap;
using bench::kHeight;
using bench::kWidth;

enum class XKind { Index, Single, Double };

// Many points per pixel column, spread over the whole view.
ComPtr<ILineData> MakeData(LONG count, XKind kind, bool masked, bool noisy) {
  ComPtr<ILineData> data;
  if (FAILED(CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData,
                              reinterpret_cast<void**>(&data))))
    return nullptr;
  if (kind == XKind::Index) data->put_UseXData(VARIANT_FALSE);
  if (kind == XKind::Double) data->put_UseDoubleForXData(VARIANT_TRUE);
  data->put_Size(count);
  float* y = nullptr;
  data->GetDataPtr(&y);
  std::mt19937 random(7);
  float value = 50.0f;
  for (LONG i = 0; i < count; ++i) {
    if (noisy) {
      value = std::clamp(value + static_cast<float>(static_cast<int>(random() % 201) - 100) * 0.01f, 1.0f, 99.0f);
    } else {
      value = static_cast<float>(50.0 + 45.0 * std::sin(31.4159 * static_cast<double>(i) / count));
    }
    y[i] = value;
  }
  if (kind == XKind::Single) {
    float* x = nullptr;
    data->GetDataPtrX(&x);
    for (LONG i = 0; i < count; ++i) x[i] = static_cast<float>(i + 1);
  } else if (kind == XKind::Double) {
    double* x = nullptr;
    data->get_DataPtrXDouble(&x);
    for (LONG i = 0; i < count; ++i) x[i] = static_cast<double>(i + 1);
  }
  if (masked) {
    BYTE* mask = nullptr;
    data->GetMaskPtr(&mask);
    for (LONG i = 0; i < count; ++i)
      if (random() % 100 == 0) mask[i] = 0;
  }
  return data;
}

void RedrawLine(benchmark::State& state, XKind kind, bool masked, bool noisy) {
  const LONG count = static_cast<LONG>(state.range(0));
  ComPtr<ILineData> data = MakeData(count, kind, masked, noisy);
  ComPtr<ILineLayer> layer;
  if (!data || FAILED(CoCreateInstance(CLSID_LineLayer, nullptr, CLSCTX_INPROC_SERVER, IID_ILineLayer,
                                       reinterpret_cast<void**>(&layer)))) {
    state.SkipWithError("the module's classes are not available");
    return;
  }
  ComPtr<ILine> line;
  layer->AddLine(nullptr, 0x00FFFFFF, 0, &line);
  line->put_Data(data.get());

  Bitmap bitmap;
  DrawLayerInfo info{};
  info.hDC = static_cast<LONG>(HandleToUlong(bitmap.dc()));
  info.right = kWidth;
  info.bottom = kHeight;
  // X from 1 to count fills the width (the index with Offset 1 too); Y 0..100 the height.
  info.XMin = 0.0;
  info.YMin = 0.0;
  info.XScale = kWidth / (static_cast<double>(count) + 1.0);
  info.YScale = kHeight / 100.0;
  for (auto _ : state) {
    layer->Redraw(info);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * count);
}

#define KELMIRA_LINE_BENCH(Name, kind, masked, noisy)                                 \
  void BM_##Name(benchmark::State& state) { RedrawLine(state, kind, masked, noisy); } \
  BENCHMARK(BM_##Name)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond)

KELMIRA_LINE_BENCH(IndexXSmooth, XKind::Index, false, false);
KELMIRA_LINE_BENCH(IndexXSmoothMasked, XKind::Index, true, false);
KELMIRA_LINE_BENCH(FloatXSmooth, XKind::Single, false, false);
KELMIRA_LINE_BENCH(FloatXSmoothMasked, XKind::Single, true, false);
KELMIRA_LINE_BENCH(DoubleXSmooth, XKind::Double, false, false);
KELMIRA_LINE_BENCH(DoubleXSmoothMasked, XKind::Double, true, false);
KELMIRA_LINE_BENCH(IndexXNoisy, XKind::Index, false, true);
KELMIRA_LINE_BENCH(IndexXNoisyMasked, XKind::Index, true, true);
KELMIRA_LINE_BENCH(FloatXNoisy, XKind::Single, false, true);
KELMIRA_LINE_BENCH(FloatXNoisyMasked, XKind::Single, true, true);
KELMIRA_LINE_BENCH(DoubleXNoisy, XKind::Double, false, true);
KELMIRA_LINE_BENCH(DoubleXNoisyMasked, XKind::Double, true, true);

}  // namespace

// Redraw of a line layer over a 1000 x 600 memory bitmap: the path every plot takes. Items are
// points. Lines have 1e6 or 1e7 points with X as the index, as floats or as doubles, with every
// point shown or with one point in a hundred hidden.
#include <kelmira/kelmira.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <random>

namespace {

using kelmira::ComPtr;

constexpr int kWidth = 1000;
constexpr int kHeight = 600;

enum class XKind { Index, Single, Double };

class Bitmap {
 public:
  Bitmap() {
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(dc_, kWidth, kHeight);
    previous_ = SelectObject(dc_, bitmap_);
  }
  ~Bitmap() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }

 private:
  HDC dc_;
  HBITMAP bitmap_;
  HGDIOBJ previous_;
};

// A random walk over the whole view: many points per pixel column, as measured data gives.
ComPtr<ILineData> MakeData(LONG count, XKind kind, bool masked) {
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
    value = std::clamp(value + static_cast<float>(static_cast<int>(random() % 201) - 100) * 0.01f, 1.0f, 99.0f);
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

void RedrawLine(benchmark::State& state, XKind kind, bool masked) {
  const LONG count = static_cast<LONG>(state.range(0));
  ComPtr<ILineData> data = MakeData(count, kind, masked);
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

void BM_IndexX(benchmark::State& state) { RedrawLine(state, XKind::Index, false); }
void BM_IndexXMasked(benchmark::State& state) { RedrawLine(state, XKind::Index, true); }
void BM_FloatX(benchmark::State& state) { RedrawLine(state, XKind::Single, false); }
void BM_FloatXMasked(benchmark::State& state) { RedrawLine(state, XKind::Single, true); }
void BM_DoubleX(benchmark::State& state) { RedrawLine(state, XKind::Double, false); }
void BM_DoubleXMasked(benchmark::State& state) { RedrawLine(state, XKind::Double, true); }

}  // namespace

BENCHMARK(BM_IndexX)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_IndexXMasked)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloatX)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloatXMasked)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoubleX)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DoubleXMasked)->Arg(1'000'000)->Arg(10'000'000)->Unit(benchmark::kMillisecond);

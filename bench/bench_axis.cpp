// An X axis redraw with 1,000 labels on a 2,000-pixel strip, through IViewObject::Draw as a host
// draws it. The floor is the text work any axis must do for the same labels: each text measured
// and drawn once with DrawTextA at its place. Both run alternately in every iteration, and
// "floor_ratio" is the axis's time over the floor's, so machine noise falls on both alike.
#include "bench_bitmap.h"

#include <kelmira/kelmira.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

constexpr int kAxisWidth = 2000, kAxisHeight = 50, kLabels = 1000;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_XAxisThousandLabels(benchmark::State& state) {
  CoInitialize(nullptr);
  kelmira::ComPtr<IXAxis> axis;
  kelmira::ComPtr<IViewObject> view;
  if (FAILED(
          CoCreateInstance(CLSID_XAxis, nullptr, CLSCTX_INPROC_SERVER, IID_IXAxis, reinterpret_cast<void**>(&axis))) ||
      FAILED(axis->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view)))) {
    state.SkipWithError("no XAxis");
    return;
  }
  axis->SetParams(0, kLabels - 1, 1);  // ticks 0 .. 999, labelled "0.0" .. "999.0"
  bench::Bitmap bitmap(kAxisWidth, kAxisHeight);
  const RECTL bounds{0, 0, kAxisWidth, kAxisHeight};

  // The floor's labels and places, made once.
  std::vector<std::string> texts;
  for (int i = 0; i < kLabels; ++i) texts.push_back(std::to_string(i) + ".0");
  kelmira::ComPtr<IFontDisp> fontDisp;
  axis->get_Font(&fontDisp);
  kelmira::ComPtr<IFont> font = fontDisp.As<IFont>();
  HFONT hfont = nullptr;
  font->get_hFont(&hfont);

  double axisTime = 0, floorTime = 0;
  for (auto _ : state) {
    auto t0 = std::chrono::steady_clock::now();
    const HRESULT hr =
        view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, bitmap.dc(), &bounds, nullptr, nullptr, 0);
    auto t1 = std::chrono::steady_clock::now();
    const HGDIOBJ previous = SelectObject(bitmap.dc(), hfont);
    for (int i = 0; i < kLabels; ++i) {
      const int x = 1 + i * (kAxisWidth - 2) / (kLabels - 1);
      RECT box{x - 1, 4, x + 1, 4};
      RECT measured = box;
      DrawTextA(bitmap.dc(), texts[i].c_str(), static_cast<int>(texts[i].size()), &measured,
                DT_CALCRECT | DT_NOCLIP | DT_WORDBREAK | DT_CENTER);
      box.bottom = box.top + (measured.bottom - measured.top);
      DrawTextA(bitmap.dc(), texts[i].c_str(), static_cast<int>(texts[i].size()), &box,
                DT_NOCLIP | DT_WORDBREAK | DT_CENTER);
    }
    SelectObject(bitmap.dc(), previous);
    auto t2 = std::chrono::steady_clock::now();
    if (FAILED(hr)) {
      state.SkipWithError("Draw failed");
      break;
    }
    axisTime += Seconds(t1 - t0);
    floorTime += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.counters["floor_ratio"] = floorTime > 0 ? axisTime / floorTime : 0;
  state.counters["ms_per_redraw"] = state.iterations() ? 1e3 * axisTime / static_cast<double>(state.iterations()) : 0;
}
BENCHMARK(BM_XAxisThousandLabels)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

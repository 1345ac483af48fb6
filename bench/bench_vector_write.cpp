// Writing a LineGraph of 1e6 noisy points (1000 x 600 pixels) as a vector file.
// The graph's plot and axes are drawn once into a recording device context; each iteration writes its records as
// SVG or PDF. The peer, timed in the same iterations, writes the same picture as PNG:
// "png_ratio" is the vector file's time over that. "file_KiB" is the vector file's size and
// "records" the recording's length.
#include <kelmira/kelmira.h>
#include <kelmira/platform/atlhost.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

namespace {

constexpr int kWidth = 1000, kHeight = 600, kPoints = 1000000;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

void PumpAll() {
  MSG msg{};
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// A part of the graph drawn through its IViewObject at its window's place in the host.
HRESULT DrawPart(IUnknown* part, LONG window, HWND host, HDC dc) {
  const HWND hwnd = UlongToHandle<HWND>(static_cast<std::uint32_t>(window));
  RECT place{};
  if (!GetClientRect(hwnd, &place)) return E_FAIL;
  MapWindowPoints(hwnd, host, reinterpret_cast<POINT*>(&place), 2);
  kelmira::ComPtr<IViewObject> view;
  part->QueryInterface(IID_IViewObject, reinterpret_cast<void**>(&view));
  const RECTL bounds{place.left, place.top, place.right, place.bottom};
  return view ? view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, dc, &bounds, nullptr, nullptr, 0)
              : E_NOINTERFACE;
}

// The hosted graph with its noisy line, recorded: the plot and the axes (the graph's own
// IViewObject shows a placeholder, as composite controls do); null when something failed.
HDC RecordGraph(HWND host) {
  kelmira::ComPtr<ILineData> data;
  kelmira::ComPtr<ILineGraph> graph;
  CoCreateInstance(CLSID_LineData, nullptr, CLSCTX_INPROC_SERVER, IID_ILineData, reinterpret_cast<void**>(&data));
  CoCreateInstance(CLSID_LineGraph, nullptr, CLSCTX_INPROC_SERVER, IID_ILineGraph, reinterpret_cast<void**>(&graph));
  if (!data || !graph || FAILED(AtlAxAttachControl(graph.get(), host, nullptr))) return nullptr;
  data->put_UseXData(VARIANT_FALSE);
  data->put_Size(kPoints);
  float* y = nullptr;
  data->GetDataPtr(&y);
  for (int i = 0; i < kPoints; ++i) y[i] = static_cast<float>(std::sin(i * 6e-5) + 0.1 * std::sin(i * 0.37));
  kelmira::ComPtr<ILine> line;
  kelmira::Bstr name(u"signal");
  graph->AddLine(name.get(), 0x00C00000, 0, &line);
  if (!line) return nullptr;
  line->put_Data(data.get());
  graph->SetExtents(0, kPoints, -1.2, 1.2);
  UpdateWindow(host);
  PumpAll();
  kelmira::ComPtr<IGraphicsContainer> container;
  kelmira::ComPtr<IXAxis> xAxis;
  kelmira::ComPtr<IYAxis> yAxis;
  LONG plot = 0, x = 0, left = 0;
  graph->get_GraphicsContainer(&container);
  graph->get_XAxis(&xAxis);
  graph->get_YAxis(&yAxis);
  if (!container || !xAxis || !yAxis) return nullptr;
  container->get_hwnd(&plot);
  xAxis->get_Window(&x);
  yAxis->get_Window(&left);
  HDC recording = KelmiraCreateRecordingDC(kWidth, kHeight);
  HRESULT hr = recording ? S_OK : E_OUTOFMEMORY;
  container->Redraw();
  if (SUCCEEDED(hr)) hr = DrawPart(container.get(), plot, host, recording);
  if (SUCCEEDED(hr)) hr = DrawPart(xAxis.get(), x, host, recording);
  if (SUCCEEDED(hr)) hr = DrawPart(yAxis.get(), left, host, recording);
  if (FAILED(hr) && recording) DeleteDC(recording);
  return SUCCEEDED(hr) ? recording : nullptr;
}

void BM_VectorWrite(benchmark::State& state, const char* format) {
  CoInitialize(nullptr);
  HWND host = CreateWindowExA(0, "AtlAxWin", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                              nullptr, nullptr);
  HDC recording = host ? RecordGraph(host) : nullptr;
  if (!recording) {
    state.SkipWithError("cannot record a LineGraph");
    if (host) DestroyWindow(host);
    return;
  }
  const std::string dir = std::filesystem::temp_directory_path().string();
  const std::string path = dir + "/kelmira-bench." + format, png = dir + "/kelmira-bench.png";
  double vectorTime = 0, pngTime = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const HRESULT hr = KelmiraSaveRecording(recording, path.c_str(), format, 0, 0);
    const auto t1 = std::chrono::steady_clock::now();
    KelmiraSaveDCPng(recording, png.c_str());
    const auto t2 = std::chrono::steady_clock::now();
    if (FAILED(hr)) {
      state.SkipWithError("KelmiraSaveRecording failed");
      break;
    }
    vectorTime += Seconds(t1 - t0);
    pngTime += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  std::error_code ec;
  state.counters["png_ratio"] = pngTime > 0 ? vectorTime / pngTime : 0;
  state.counters["file_KiB"] = static_cast<double>(std::filesystem::file_size(path, ec)) / 1024.0;
  state.counters["records"] = KelmiraGetRecordCount(recording);
  std::filesystem::remove(path, ec);
  std::filesystem::remove(png, ec);
  DeleteDC(recording);
  DestroyWindow(host);
  PumpAll();
}
BENCHMARK_CAPTURE(BM_VectorWrite, svg, "svg")->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_VectorWrite, pdf, "pdf")->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

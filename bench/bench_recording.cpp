// What recording costs: a dense plot line (4,096 points, 1,000 x 600) drawn into a recording
// device context, and the recording replayed onto a memory one, each timed beside the same line
// drawn into a plain memory context in the same iteration. "x_plain" is the recorded (or
// replayed) time over the plain time, so machine noise falls on both alike. Each iteration
// starts with a full white fill, which drops the previous iteration's records.
#include "bench_bitmap.h"

#include <kelmira/platform.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <vector>

namespace {

using bench::kHeight;
using bench::kWidth;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::vector<POINT> RandomWalk() {
  std::mt19937 random(1);
  std::vector<POINT> points;
  POINT p{0, kHeight / 2};
  for (int i = 0; i < 4096; ++i) {
    points.push_back(p);
    p.x = (p.x + 1 + static_cast<int>(random() % 3)) % kWidth;
    p.y = std::clamp<int>(p.y + static_cast<int>(random() % 7) - 3, 0, kHeight - 1);
  }
  return points;
}

enum class Mode { Polyline, LineTo, Replay };

void Draw(HDC dc, const std::vector<POINT>& points, Mode mode) {
  const RECT all{0, 0, kWidth, kHeight};
  FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  if (mode == Mode::LineTo) {
    MoveToEx(dc, points[0].x, points[0].y, nullptr);
    for (const POINT& p : points) LineTo(dc, p.x, p.y);
  } else {
    Polyline(dc, points.data(), static_cast<int>(points.size()));
  }
}

void BM_Recording(benchmark::State& state, Mode mode) {
  const std::vector<POINT> points = RandomWalk();
  bench::Bitmap plain;
  const HDC recording = KelmiraCreateRecordingDC(kWidth, kHeight);
  if (mode == Mode::Replay) Draw(recording, points, Mode::Polyline);
  double measured = 0, plainTime = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    if (mode == Mode::Replay)
      KelmiraPlayRecording(recording, plain.dc(), 0, 0);
    else
      Draw(recording, points, mode);
    const auto t1 = std::chrono::steady_clock::now();
    Draw(plain.dc(), points, mode == Mode::Replay ? Mode::Polyline : mode);
    const auto t2 = std::chrono::steady_clock::now();
    measured += Seconds(t1 - t0);
    plainTime += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.counters["x_plain"] = plainTime > 0 ? measured / plainTime : 0;
  state.counters["records"] = KelmiraGetRecordCount(recording);
  DeleteDC(recording);
}
BENCHMARK_CAPTURE(BM_Recording, polyline, Mode::Polyline)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Recording, line_to, Mode::LineTo)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_Recording, replay, Mode::Replay)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

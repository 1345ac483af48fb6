// Throughput of one-pixel solid lines on a 1000 x 600 bitmap: the drawing every plot is made of.
// Items are segments; the "pixels" counter is painted pixels per second.
#include <kelmira/platform.h>

#include <benchmark/benchmark.h>

#include "bench_bitmap.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

using bench::Bitmap;
using bench::kHeight;
using bench::kWidth;
constexpr int kPoints = 4096;

// A dense plot: each point 1 to 3 pixels right of the last, wandering up and down.
std::vector<POINT> RandomWalk() {
  std::mt19937 random(1);
  std::vector<POINT> points;
  POINT p{0, kHeight / 2};
  for (int i = 0; i < kPoints; ++i) {
    points.push_back(p);
    p.x = (p.x + 1 + static_cast<int>(random() % 3)) % kWidth;
    p.y = std::clamp<int>(p.y + static_cast<int>(random() % 7) - 3, 0, kHeight - 1);
  }
  return points;
}

std::vector<POINT> RandomPoints() {
  std::mt19937 random(2);
  std::vector<POINT> points;
  for (int i = 0; i < kPoints; ++i)
    points.push_back({static_cast<LONG>(random() % kWidth), static_cast<LONG>(random() % kHeight)});
  return points;
}

std::int64_t PixelCount(const std::vector<POINT>& points) {
  std::int64_t total = 0;
  for (std::size_t i = 1; i < points.size(); ++i)
    total += std::max(std::abs(points[i].x - points[i - 1].x), std::abs(points[i].y - points[i - 1].y));
  return total;
}

void Report(benchmark::State& state, std::int64_t segments, std::int64_t pixels) {
  state.SetItemsProcessed(state.iterations() * segments);
  state.counters["pixels"] =
      benchmark::Counter(static_cast<double>(state.iterations() * pixels), benchmark::Counter::kIsRate);
}

void LineToPath(benchmark::State& state, const std::vector<POINT>& points) {
  Bitmap bitmap;
  for (auto _ : state) {
    MoveToEx(bitmap.dc(), points[0].x, points[0].y, nullptr);
    for (std::size_t i = 1; i < points.size(); ++i) LineTo(bitmap.dc(), points[i].x, points[i].y);
    benchmark::ClobberMemory();
  }
  Report(state, static_cast<std::int64_t>(points.size()) - 1, PixelCount(points));
}

void PolylinePath(benchmark::State& state, const std::vector<POINT>& points) {
  Bitmap bitmap;
  for (auto _ : state) {
    Polyline(bitmap.dc(), points.data(), static_cast<int>(points.size()));
    benchmark::ClobberMemory();
  }
  Report(state, static_cast<std::int64_t>(points.size()) - 1, PixelCount(points));
}

void BM_LineToShortSegments(benchmark::State& state) { LineToPath(state, RandomWalk()); }
void BM_PolylineShortSegments(benchmark::State& state) { PolylinePath(state, RandomWalk()); }
void BM_LineToLongSegments(benchmark::State& state) { LineToPath(state, RandomPoints()); }
void BM_PolylineLongSegments(benchmark::State& state) { PolylinePath(state, RandomPoints()); }

// Grid-like runs: full-height columns and full-width rows, each its own MoveToEx + LineTo.
void BM_LineToVerticalRuns(benchmark::State& state) {
  Bitmap bitmap;
  for (auto _ : state) {
    for (int x = 0; x < kWidth; ++x) {
      MoveToEx(bitmap.dc(), x, 0, nullptr);
      LineTo(bitmap.dc(), x, kHeight);
    }
    benchmark::ClobberMemory();
  }
  Report(state, kWidth, std::int64_t{kWidth} * kHeight);
}

void BM_LineToHorizontalRuns(benchmark::State& state) {
  Bitmap bitmap;
  for (auto _ : state) {
    for (int y = 0; y < kHeight; ++y) {
      MoveToEx(bitmap.dc(), 0, y, nullptr);
      LineTo(bitmap.dc(), kWidth, y);
    }
    benchmark::ClobberMemory();
  }
  Report(state, kHeight, std::int64_t{kWidth} * kHeight);
}

// Segments that mostly leave the bitmap: the clipping set-up runs for every one.
void BM_LineToClippedSegments(benchmark::State& state) {
  std::vector<POINT> points = RandomPoints();
  for (POINT& p : points) p = {p.x * 4 - 2 * kWidth, p.y * 4 - 2 * kHeight};
  Bitmap bitmap;
  for (auto _ : state) {
    MoveToEx(bitmap.dc(), points[0].x, points[0].y, nullptr);
    for (std::size_t i = 1; i < points.size(); ++i) LineTo(bitmap.dc(), points[i].x, points[i].y);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * (static_cast<std::int64_t>(points.size()) - 1));
}

}  // namespace

BENCHMARK(BM_LineToShortSegments);
BENCHMARK(BM_PolylineShortSegments);
BENCHMARK(BM_LineToLongSegments);
BENCHMARK(BM_PolylineLongSegments);
BENCHMARK(BM_LineToVerticalRuns);
BENCHMARK(BM_LineToHorizontalRuns);
BENCHMARK(BM_LineToClippedSegments);

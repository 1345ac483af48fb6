// kelmira-plot's reader on 1e6 generated rows (time, a random walk, a text column not drawn),
// beside a floor timed in the same iterations: counting the lines of the same file with memchr
// over its mapping. The counter "x_floor" is the reader's time over the floor's.
#include "plot/csv_table.h"
#include "plot/input_file.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>

namespace {

using kelmira::plot::ColumnRef;

constexpr int kRows = 1000000;

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

std::string SampleFile() {
  const std::string path = (std::filesystem::temp_directory_path() / "kelmira_bench_read.csv").string();
  std::ofstream out(path);
  out << "time,level,station\n";
  std::mt19937 random(7);
  std::normal_distribution<double> step(0, 0.1);
  double level = 0;
  char row[96];
  for (int i = 0; i < kRows; ++i) {
    level += step(random);
    std::snprintf(row, sizeof row, "%d,%.6f,%s\n", 1700000000 + i, level, i % 3 ? "north" : "south ridge");
    out << row;
  }
  return path;
}

std::size_t CountLines(std::string_view text) {
  std::size_t n = 0;
  for (const char* p = text.data(); const void* nl = std::memchr(p, '\n', text.size() - (p - text.data()));) {
    ++n;
    p = static_cast<const char*>(nl) + 1;
  }
  return n;
}

void BM_ReadTwoOfThreeColumns(benchmark::State& state) {
  const std::string path = SampleFile();
  kelmira::plot::InputFile mapped;
  std::string error;
  if (!mapped.Open(path, &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  kelmira::plot::CsvReadOptions options;
  options.numbers = std::vector<ColumnRef>{{"time"}, {"level"}};
  double readTime = 0, floorTime = 0;
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    kelmira::plot::CsvError csvError;
    auto table = kelmira::plot::ReadCsvFile(path, options, &csvError);
    const auto t1 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(CountLines(mapped.text()));
    const auto t2 = std::chrono::steady_clock::now();
    if (!table || table->rows() != kRows) {
      state.SkipWithError("the reader failed");
      return;
    }
    readTime += Seconds(t1 - t0);
    floorTime += Seconds(t2 - t1);
    state.SetIterationTime(Seconds(t1 - t0));
  }
  state.counters["x_floor"] = floorTime > 0 ? readTime / floorTime : 0;
  state.counters["floor_ms"] = 1e3 * floorTime / std::max<double>(1, static_cast<double>(state.iterations()));
  state.SetItemsProcessed(state.iterations() * kRows);
  std::filesystem::remove(path);
}
BENCHMARK(BM_ReadTwoOfThreeColumns)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

#include "tick_texts.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kelmira::plot {
namespace {

// The axis visits at most this many ticks in one drawing.
constexpr std::int64_t kMaxTicks = 10000;

}  // namespace

double RowStep(double range, int count, bool whole) {
  const double wanted = range / std::max(count, 1);
  const double power = std::pow(10.0, std::floor(std::log10(wanted > 0 ? wanted : 1.0)));
  double step = power;
  for (double factor : {1.0, 2.0, 5.0, 10.0}) {
    step = factor * power;
    if (step >= wanted) break;
  }
  return whole ? std::max(1.0, std::round(step)) : step;
}

double GridStep(double range, int count) {
  const double wanted = range / std::max(count, 1);
  const double power = std::pow(10.0, std::floor(std::log10(wanted > 0 ? wanted : 1.0)));
  for (double factor : {5.0, 2.0})
    if (factor * power <= wanted) return factor * power;
  return power;
}

std::vector<double> DrawnTicks(double start, double end, double step, long width, long margin) {
  std::vector<double> ticks;
  if (!(step > 0) || !(end > start) || width <= 2 * margin) return ticks;
  const double scale = static_cast<double>(width - 2 * margin) / (end - start);
  const auto first = static_cast<std::int64_t>(start / step);
  for (std::int64_t i = 0; i < kMaxTicks; ++i) {
    const double value = static_cast<double>(first + i) * step;
    if (!(value <= end)) break;
    const double offset = std::trunc((value - start) * scale);
    if (offset >= 0 && offset <= width - 2 * margin) ticks.push_back(value);
  }
  return ticks;
}

std::vector<std::string> TickTexts(const PlotData& data, const std::vector<double>& ticks) {
  std::vector<std::string> texts;
  for (double tick : ticks) {
    std::string text;
    if (data.xIsIndex) {
      // Row r lies at X = r + 1.
      const double row = tick - 1;
      if (row >= 0 && row < static_cast<double>(data.tickTexts.size()) && row == std::floor(row))
        text = data.tickTexts[static_cast<std::size_t>(row)];
    } else {
      const double tolerance = 1e-9 * std::max(1.0, std::fabs(tick));
      for (std::size_t r = 0; r < data.x.size() && r < data.tickTexts.size(); ++r) {
        if (std::fabs(data.x[r] - tick) <= tolerance) {
          text = data.tickTexts[r];
          break;
        }
      }
    }
    texts.push_back(std::move(text));
  }
  return texts;
}

bool WholeX(const PlotData& data) {
  for (double x : data.x)
    if (std::isfinite(x) && x != std::floor(x)) return false;
  return true;
}

}  // namespace kelmira::plot
